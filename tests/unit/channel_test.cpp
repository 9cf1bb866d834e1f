// The Skype channel: discovery, commands out, notices in.
#include "PanelFixture.h"

#include <cstring>

#include "SkypeChannel.h"

namespace {

class ChannelTest : public PanelTest {
protected:
    // A text report on stream 1, padded with 'x' to a notice of length characters.
    static std::string TextReport(size_t length)
    {
        std::string notice = "APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMRD_U*";
        notice.resize(length, 'x');
        return notice;
    }
    // The robot text a notice of these bytes leaves on the panel.
    std::string RobotTextOf(const std::vector<char>& bytes, DWORD count)
    {
        desk.CopyData(desk.SkypeWindow(), bytes.data(), count);
        return panel->m_strRobotMessage.str();
    }
};

// The length of "APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMRD_U", before the '*'.
const size_t kPrefixToStar = std::strlen("APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMRD_U");

TEST_F(ChannelTest, DiscoveryAndAttachMessagesAreRegisteredByName)
{
    EXPECT_EQ(g_uAttachMsg, ws::RegisterWindowMessage("SkypeControlAPIAttach"));
    EXPECT_EQ(g_uDiscoverMsg, ws::RegisterWindowMessage("SkypeControlAPIDiscover"));
    EXPECT_NE(g_uAttachMsg, g_uDiscoverMsg);
}

TEST_F(ChannelTest, AttachAnswerIsTakenAndAnsweredWithOne)
{
    OpenPanel();
    EXPECT_EQ(desk.Attach(1), 1);
    EXPECT_EQ(desk.Attach(0), 1);
    EXPECT_EQ(panel->m_hSkypeWnd, desk.SkypeWindow());
}

TEST_F(ChannelTest, CommandGoesOutWithItsZeroByteFromTheCopyBuffer)
{
    OpenAttached();
    const char* buffer = nullptr;
    desk.onCommand = [&](const std::string&) { buffer = g_szCopyBuffer; };
    EXPECT_EQ(panel->SendSkypeCommand("GET USERSTATUS"), 1);
    EXPECT_SEQUENCE(Sequence{"send GET USERSTATUS"}, Sent());
    EXPECT_EQ(desk.CommandByteCounts().back(), 15u);
    EXPECT_STREQ(buffer, "GET USERSTATUS");
}

TEST_F(ChannelTest, EmptyCommandSendsNothing)
{
    OpenAttached();
    EXPECT_EQ(panel->SendSkypeCommand(""), 0);
    EXPECT_EQ(panel->SendSkypeCommand(nullptr), 0);
    EXPECT_TRUE(Log(headless::kAll).empty());
}

TEST_F(ChannelTest, CommandOf1023CharactersIsSentWhole)
{
    OpenAttached();
    const std::string command(1023, 'C');
    EXPECT_EQ(panel->SendSkypeCommand(command.c_str()), 1);
    EXPECT_SEQUENCE(Sequence{"send " + command}, Sent());
    EXPECT_EQ(desk.Commands().back(), command);
    EXPECT_EQ(desk.CommandByteCounts().back(), 1024u);
}

TEST_F(ChannelTest, CommandOf1024CharactersOrMoreIsNotSentAtAll)
{
    OpenAttached();
    for (size_t length : {size_t(1024), size_t(1025), size_t(5000)}) {
        const std::string command(length, 'C');
        EXPECT_EQ(panel->SendSkypeCommand(command.c_str()), 0) << length;
    }
    EXPECT_TRUE(Log(headless::kAll).empty());
}

TEST_F(ChannelTest, SkypeThatStopsAnsweringCostsOneSecondAndLosesNoCommand)
{
    // Skype hangs through two ticks, then answers again before a third.
    auto unanswered = [](UINT ms, const std::string& poll) {
        return "no answer in " + std::to_string(ms) + " ms: " + Datagram(poll, 3).substr(5);
    };
    static const Sequence expected = {
        unanswered(1000, "WMCA_QD"), unanswered(100, "WMCA_QU"),
        unanswered(100, "WMCA_QD"), unanswered(100, "WMCA_QU"),
        // The waiting polls, taken in order once Skype answers again, then the third tick's.
        Datagram("WMCA_QD", 3), Datagram("WMCA_QU", 3), Datagram("WMCA_QD", 3), Datagram("WMCA_QU", 3),
        Datagram("WMCA_QD", 3), Datagram("WMCA_QU", 3),
    };
    OpenAttached(3);
    // Answered: every command waits at most a second.
    EXPECT_EQ(desk.SendLimits(), (std::vector<UINT>{1000, 1000}));
    Flush();
    desk.StopAnswering(desk.SkypeWindow());
    desk.Tick(2);
    desk.AnswerAgain(desk.SkypeWindow());
    desk.Tick();
    EXPECT_SEQUENCE(expected, Sent());
    // The first answer in time restores the full second.
    EXPECT_EQ(desk.SendLimits(), (std::vector<UINT>{1000, 1000, 1000, 100, 100, 100, 100, 1000}));
}

TEST_F(ChannelTest, CommandsBeforeAnyAttachAreUndelivered)
{
    // Connect's command on a panel that never attached.
    static const Sequence expected = {"undelivered call orvanta.robot"};
    OpenPanel();
    panel->CallRobot();
    EXPECT_SEQUENCE(expected, Sent());
    EXPECT_TRUE(desk.Commands().empty());
}

TEST_F(ChannelTest, NoticeOf1023CharactersArrivesWhole)
{
    OpenAttached();
    const std::string notice = TextReport(1023);
    EXPECT_EQ(desk.Notice(notice), 1);
    EXPECT_EQ(panel->m_strRobotMessage.str(), notice.substr(kPrefixToStar));
    EXPECT_EQ(panel->m_strRobotMessage.GetLength(), 1023 - int(kPrefixToStar));
}

TEST_F(ChannelTest, NoticeEndsAtItsFirstZeroByte)
{
    OpenAttached();
    std::string bytes = TextReport(80) + '\0' + "USERSTATUS ONLINE";
    std::vector<char> data(bytes.begin(), bytes.end());
    data.push_back('\0');
    EXPECT_EQ(RobotTextOf(data, DWORD(data.size())), TextReport(80).substr(kPrefixToStar));
    EXPECT_EQ(panel->m_strStatus, "Link to Robot OK!");
}

TEST_F(ChannelTest, NoticeWithoutAZeroByteIsCutAtItsByteCount)
{
    struct Row { DWORD count; const char* robotText; };
    const Row rows[] = {{DWORD(kPrefixToStar + 1), "*"}, {DWORD(kPrefixToStar + 5), "*hell"},
                        {DWORD(kPrefixToStar + 11), "*hello worl"}};
    const std::string text = "APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMRD_U*hello world";
    ASSERT_EQ(text.find('*'), kPrefixToStar);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.count);
        StartOver();
        OpenAttached();
        std::vector<char> data(text.begin(), text.end());  // no zero byte
        EXPECT_EQ(RobotTextOf(data, r.count), r.robotText);
    }
}

TEST_F(ChannelTest, CutNoticeLosesTheWordAtItsEnd)
{
    // "USERSTATUS ONLIN" is no ONLINE notice; the whole 17 bytes are.
    OpenAttached();
    const char text[] = {'U', 'S', 'E', 'R', 'S', 'T', 'A', 'T', 'U', 'S', ' ', 'O', 'N', 'L', 'I', 'N', 'E'};
    desk.CopyData(desk.SkypeWindow(), text, 16);
    EXPECT_EQ(panel->m_strStatus, "Searching Robot ......");
    desk.CopyData(desk.SkypeWindow(), text, 17);
    EXPECT_EQ(panel->m_strStatus, "Searching Robot, please wait......");
}

// A notice is looked at up to 1024 bytes. One whose text does not end within
// them is dropped whole, since its cut could land inside a number; one that does
// is taken, as is one without a zero byte whose byte count is at most 1024.
TEST_F(ChannelTest, NoticeThatDoesNotEndWithin1024BytesIsDropped)
{
    // A position report padded to 1026 characters: cut after 1024, the hand would read 6.
    const std::string report = "WMRP_D|X0Y0Z0P0R0G6780";
    std::string position = "APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$";
    position += std::string(1026 - position.size() - report.size(), 'x') + report;
    ASSERT_EQ(position.size(), 1026u);
    const std::string online = TextReport(1018) + "ONLINE";
    struct Row { std::string bytes; DWORD count; bool taken; };
    const Row rows[] = {
        {position + '\0', 1027, false},
        {position, 1026, false},
        {online + std::string(100, 'y'), 1124, false},
        {TextReport(1024), 5000, false},
        // A 1024-byte text and its zero byte: the zero is not among the bytes looked at.
        {TextReport(1024) + '\0', 1025, false},
        {TextReport(1024), 1024, true},
        {TextReport(1023) + '\0' + std::string(100, 'y'), 1124, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.bytes.size()) + " bytes, count " + std::to_string(row.count));
        StartOver();
        OpenAttached();
        std::vector<char> data(row.bytes.begin(), row.bytes.end());
        EXPECT_EQ(desk.CopyData(desk.SkypeWindow(), data.data(), row.count), 1);
        EXPECT_EQ(panel->m_nReplyCount, row.taken ? 1u : 0u);
        EXPECT_EQ(panel->m_strStatus, row.taken ? "Link to Robot OK!" : "Searching Robot ......");
        EXPECT_DOUBLE_EQ(panel->m_dHandRead, 0.0);
        if (!row.taken) {
            EXPECT_TRUE(Log(headless::kAll).empty());
        }
    }
}

TEST_F(ChannelTest, ByteCountZeroOrNoDataGivesAnEmptyNoticeWithoutEffect)
{
    OpenAttached();
    const std::string online = "USERSTATUS ONLINE";
    EXPECT_EQ(desk.CopyData(desk.SkypeWindow(), online.c_str(), 0), 1);
    EXPECT_EQ(desk.CopyData(desk.SkypeWindow(), nullptr, 18, nullptr, true), 1);
    EXPECT_EQ(desk.CopyData(desk.SkypeWindow(), "", 1), 1);
    EXPECT_TRUE(Log(headless::kAll).empty());
    EXPECT_EQ(panel->m_strStatus, "Searching Robot ......");
}

TEST_F(ChannelTest, CopyDataFromAForeignWindowIsConsumedWithoutEffect)
{
    OpenOperating();
    const std::string notice = "CALL 17 VIDEO_RECEIVE_STATUS REJECTED";
    EXPECT_EQ(desk.CopyData(desk.ForeignWindow(), notice.c_str(), DWORD(notice.size() + 1)), 1);
    const std::string finished = "CALL 17 STATUS FINISHED";
    EXPECT_EQ(desk.CopyData(desk.ForeignWindow(), finished.c_str(), DWORD(finished.size() + 1)), 1);
    EXPECT_TRUE(Log(headless::kAll).empty());
    EXPECT_EQ(panel->m_bControlsEnabled, 1);
}

TEST_F(ChannelTest, NoNoticeIsAcceptedBeforeTheFirstAttach)
{
    OpenPanel();
    EXPECT_EQ(desk.Notice("USERSTATUS ONLINE"), 1);
    EXPECT_EQ(desk.Notice("CALL 17 VIDEO_RECEIVE_STATUS RUNNING"), 1);
    // No sender at all is no match for the Skype window not known yet.
    const std::string online = "CONNSTATUS ONLINE";
    EXPECT_EQ(desk.CopyData(nullptr, online.c_str(), DWORD(online.size() + 1)), 1);
    EXPECT_TRUE(Log(headless::kAll).empty());
    EXPECT_EQ(panel->m_strStatus, "Searching Robot ......");
    EXPECT_EQ(panel->m_bControlsEnabled, 0);
}

TEST_F(ChannelTest, OnlyASuccessfulAttachTeachesTheSkypeWindow)
{
    // Pending authorisation: Skype's window is in the answer, but not yet ours to hear.
    OpenPanel();
    desk.Attach(1);
    EXPECT_EQ(panel->m_hSkypeWnd, nullptr);
    desk.Notice("USERSTATUS ONLINE");
    EXPECT_EQ(panel->m_strStatus, "Searching Robot ......");
}

TEST_F(ChannelTest, NoticeProvokedByACommandIsHandledInsideItsSend)
{
    // Disconnect, Skype passing on the robot's request while it takes the hang-up.
    static const Sequence expected = {
        Datagram("WMCD"),
        "send ALTER CALL 0 HANGUP",
        Datagram("WMCA_ITD"),
        "send ALTER APPLICATION remotecontrol DISCONNECT orvanta.robot:1",
        "send DELETE APPLICATION remotecontrol",
    };
    OpenOperating();
    desk.onCommand = [&](const std::string& command) {
        if (command == "ALTER CALL 0 HANGUP")
            desk.Notice("APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMIT_D");
    };
    desk.Click(IDC_DISCONNECT);
    EXPECT_SEQUENCE(expected, Sent());
    EXPECT_STREQ(g_szCopyBuffer, "DELETE APPLICATION remotecontrol");
}

} // namespace
