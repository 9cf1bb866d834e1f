#include <gtest/gtest.h>

#include "CommandText.h"
#include "ModelTest.h"

namespace standin::test {
namespace {

TEST(CommandText, SplitsTheIdAndReadsWordsAndTheRest)
{
    CommandText cmd("#abc7 ALTER APPLICATION app DATAGRAM user:1 Msg$two  spaces ");
    EXPECT_EQ(cmd.replyPrefix(), "#abc7 ");
    EXPECT_TRUE(cmd.Take("alter"));
    EXPECT_FALSE(cmd.Take("CALL"));
    EXPECT_TRUE(cmd.Take("Application"));
    EXPECT_EQ(cmd.Next(), "app");
    EXPECT_EQ(cmd.Next(), "DATAGRAM");
    EXPECT_EQ(cmd.Next(), "user:1");
    // The text keeps its own spaces, trailing ones included.
    EXPECT_EQ(cmd.Rest(), "Msg$two  spaces ");
}

TEST(CommandText, WithoutIdAndAtTheEnd)
{
    CommandText cmd("PING");
    EXPECT_EQ(cmd.replyPrefix(), "");
    EXPECT_EQ(cmd.Next(), "PING");
    EXPECT_EQ(cmd.Next(), "");
    EXPECT_EQ(cmd.Rest(), "");
    EXPECT_TRUE(cmd.empty());
}

TEST(CommandText, NumbersAndCase)
{
    int n = -1;
    EXPECT_TRUE(ParseNumber("1402", n));
    EXPECT_EQ(n, 1402);
    for (const char* bad : {"", "-1", "+1", "1x", " 1", "1234567890"})
        EXPECT_FALSE(ParseNumber(bad, n)) << bad;
    EXPECT_TRUE(EqualsNoCase("Connect", "CONNECT"));
    EXPECT_FALSE(EqualsNoCase("CONNECTS", "CONNECT"));
    EXPECT_EQ(Upper("call Echo123"), "CALL ECHO123");
    EXPECT_EQ(Lower("Orvanta.Robot"), "orvanta.robot");
}

TEST(CommandText, ErrorTexts)
{
    EXPECT_EQ(ErrorText(2), "ERROR 2 Unknown command");
    EXPECT_EQ(ErrorText(551), "ERROR 551 ALTER APPLICATION DATAGRAM: Missing or invalid stream identifier");
    EXPECT_EQ(ErrorText(9999), "ERROR 9999");
}

// One malformed or unknown command per row, with the reply it gets.
struct ErrorRow {
    const char* command;
    const char* reply;
};
const ErrorRow kErrorReplies[] = {
    {"", "ERROR 1 General syntax error"},
    {"FLY AWAY", "ERROR 2 Unknown command"},
    {"#9 FLY", "#9 ERROR 2 Unknown command"},
    {"GET NOTHING", "ERROR 7 GET: invalid WHAT"},
    {"PROTOCOL x", "ERROR 27 Invalid version number"},
    {"SET USERSTATUS SLEEPY", "ERROR 28 Unknown userstatus"},
    {"CREATE", "ERROR 536 CREATE: no object type given"},
    {"CREATE CHAT x", "ERROR 537 CREATE: Unknown object type given"},
    {"CREATE APPLICATION", "ERROR 540 CREATE APPLICATION: Missing or invalid name"},
    {"CREATE APPLICATION abcdefghijklmnopqrstuvwxyz0123456", "ERROR 540 CREATE APPLICATION: Missing or invalid name"},
    {"DELETE", "ERROR 538 DELETE: no object type given"},
    {"DELETE CHAT x", "ERROR 539 DELETE: unknown object type given"},
    {"DELETE APPLICATION", "ERROR 542 DELETE APPLICATION : missing or invalid application name"},
    {"DELETE APPLICATION never", "ERROR 541 APPLICATION: operation failed"},
    {"ALTER", "ERROR 526 ALTER: no object type given"},
    {"ALTER CHAT x", "ERROR 527 ALTER: unknown object type given"},
    {"ALTER APPLICATION", "ERROR 545 ALTER APPLICATION: Missing or invalid action"},
    {"ALTER APPLICATION never", "ERROR 545 ALTER APPLICATION: Missing or invalid action"},
    {"ALTER APPLICATION never FLY", "ERROR 546 ALTER APPLICATION: Missing or invalid action"},
    {"ALTER APPLICATION never CONNECT orvanta.robot", "ERROR 541 APPLICATION: operation failed"},
    {"GET APPLICATION never STREAMS", "ERROR 543 GET APPLICATION : missing or invalid application name"},
    {"CALL", "ERROR 34 Invalid user handle"},
    {"CALL ,", "ERROR 34 Invalid user handle"},
    {"CALL orvanta.operator", "ERROR 94 Cannot call yourself"},
    {"ALTER CALL 0 HANGUP", "ERROR 555 CALL: No proper call ID given"},
    {"ALTER CALL x HANGUP", "ERROR 555 CALL: No proper call ID given"},
    {"GET CALL x STATUS", "ERROR 11 Invalid call id"},
    {"GET CALL 5 STATUS", "ERROR 12 Unknown call"},
    {"SET CALL x STATUS FINISHED", "ERROR 19 Invalid call id"},
    {"SET CALL 5 STATUS FINISHED", "ERROR 20 Unknown call"},
};

TEST_F(AttachedModel, MalformedCommandsGetErrorReplies)
{
    for (const ErrorRow& row : kErrorReplies)
        EXPECT_LINES(Lines{std::string("nested ") + row.reply}, SendLines(row.command)) << row.command;
}

TEST_F(AttachedModel, ApplicationErrorsNeedAnApplication)
{
    Send("CREATE APPLICATION remotecontrol");
    EXPECT_LINES(Lines{"nested ERROR 541 APPLICATION: operation failed"},
                 SendLines("CREATE APPLICATION remotecontrol"));
    EXPECT_LINES(Lines{"nested ERROR 547 ALTER APPLICATION CONNECT: Invalid user handle"},
                 SendLines("ALTER APPLICATION remotecontrol CONNECT"));
    EXPECT_LINES(Lines{"nested ERROR 548 ALTER APPLICATION DISCONNECT: Invalid stream identifier"},
                 SendLines("ALTER APPLICATION remotecontrol DISCONNECT orvanta.robot:1"));
    EXPECT_LINES(Lines{"nested ERROR 549 ALTER APPLICATION WRITE : Missing or invalid stream identifier"},
                 SendLines("ALTER APPLICATION remotecontrol WRITE orvanta.robot:1 hi"));
    EXPECT_LINES(Lines{"nested ERROR 550 ALTER APPLICATION READ: Missing or invalid stream identifier"},
                 SendLines("ALTER APPLICATION remotecontrol READ orvanta.robot:1"));
    EXPECT_LINES(Lines{"nested ERROR 551 ALTER APPLICATION DATAGRAM: Missing or invalid stream identifier"},
                 SendLines("ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMCA_QD"));
    EXPECT_LINES(Lines{"nested ERROR 544 GET APPLICATION : missing or invalid property name"},
                 SendLines("GET APPLICATION remotecontrol COLOUR"));
}

// Simple questions and their answers.
struct AnswerRow {
    const char* command;
    Lines sent;
};

TEST_F(AttachedModel, GeneralCommands)
{
    const AnswerRow rows[] = {
        {"PROTOCOL 5", {"nested PROTOCOL 5"}},
        {"#0 PROTOCOL 9999", {"nested #0 PROTOCOL 8"}},
        {"NAME Orvanta", {"nested OK"}},
        {"ping", {"nested PONG"}},
        {"GET CURRENTUSERHANDLE", {"nested CURRENTUSERHANDLE orvanta.operator"}},
        {"get userstatus", {"nested USERSTATUS ONLINE"}},
        {"GET CONNSTATUS", {"nested CONNSTATUS ONLINE"}},
        {"GET SKYPEVERSION", {"nested SKYPEVERSION 2.5.0.130"}},
        {"SET USERSTATUS away", {"nested USERSTATUS AWAY", "posted USERSTATUS AWAY"}},
    };
    for (const AnswerRow& row : rows)
        EXPECT_LINES(row.sent, SendLines(row.command)) << row.command;
}

}  // namespace
}  // namespace standin::test
