// The Skype channel: discovery, commands out, notices in.
#include "PanelFixture.h"

#include <cstring>

#include "SkypeChannel.h"

namespace {

// A channel of its own on the desktop, its listener a record of what it hands on.
class ChannelTest : public PanelTest, protected ISkypeListener {
protected:
    void SetUp() override
    {
        PanelTest::SetUp();
        channel.Listen(this);
    }
    void OnAttachAnswer(std::intptr_t status) override { answers.push_back(status); }
    void OnSkypeNotice(const char* notice) override { notices.push_back(notice); }
    void OnSkypeGone() override { ++gone; }

    void Attach() { channel.OnAttachAnswer(kAttachSuccess, desk.SkypeWindow()); }
    // The notices heard from a copy-data of count bytes.
    Sequence Heard(const std::string& bytes, DWORD count, HWND from = nullptr, bool noData = false)
    {
        COPYDATASTRUCT record{0, count, noData ? nullptr : const_cast<char*>(bytes.data())};
        notices.clear();
        channel.OnCopyData(from ? from : desk.SkypeWindow(), &record);
        return notices;
    }
    Sequence Heard(const std::string& text) { return Heard(text + '\0', DWORD(text.size() + 1)); }

    CWnd owner;
    CSessionLog log;
    CSkypeChannel channel{owner, log};
    std::vector<std::intptr_t> answers;
    Sequence notices;
    int gone = 0;
};

// A text of length characters: a robot's text report padded with 'x'.
std::string Padded(size_t length)
{
    std::string notice = "APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$WMRD_U*";
    notice.resize(length, 'x');
    return notice;
}

TEST_F(ChannelTest, DiscoveryAndAttachMessagesAreRegisteredByName)
{
    EXPECT_EQ(g_uAttachMsg, ws::RegisterWindowMessage("SkypeControlAPIAttach"));
    EXPECT_EQ(g_uDiscoverMsg, ws::RegisterWindowMessage("SkypeControlAPIDiscover"));
    EXPECT_NE(g_uAttachMsg, g_uDiscoverMsg);
}

TEST_F(ChannelTest, PanelTakesAttachAnswersAndNoticesAndAnswersThemWithOne)
{
    OpenPanel();
    EXPECT_EQ(desk.Attach(1), 1);
    EXPECT_EQ(desk.Attach(0), 1);
    EXPECT_EQ(desk.Notice("USERSTATUS ONLINE"), 1);
    EXPECT_EQ(desk.Text(IDC_STATUS), "Searching Robot, please wait......");
}

TEST_F(ChannelTest, CommandGoesOutWholeWithItsZeroByteFromTheCopyBuffer)
{
    Attach();
    const char* buffer = nullptr;
    desk.onCommand = [&](const std::string&) { buffer = g_szCopyBuffer; };
    const std::string longest(1023, 'C');
    channel.Send("GET USERSTATUS");
    channel.Send(longest.c_str());
    ExpectSequence((Sequence{"send GET USERSTATUS", "send " + longest}), Sent());
    EXPECT_EQ(desk.CommandByteCounts(), (std::vector<DWORD>{15, 1024}));
    EXPECT_EQ(buffer, g_szCopyBuffer);
    EXPECT_EQ(g_szCopyBuffer, longest);
}

TEST_F(ChannelTest, EmptyCommandOrOneOf1024CharactersOrMoreIsNotSentAtAll)
{
    Attach();
    channel.Send("");
    channel.Send(nullptr);
    for (size_t length : {size_t(1024), size_t(1025), size_t(5000)})
        channel.Send(std::string(length, 'C').c_str());
    EXPECT_TRUE(Log(headless::kAll).empty());
}

TEST_F(ChannelTest, SkypeThatStopsAnsweringCostsOneSecondAndLosesNoCommand)
{
    // Skype hangs through four commands, then answers again before two more.
    static const Sequence expected = {
        "no answer in 1000 ms: A",
        "no answer in 100 ms: B",
        "no answer in 100 ms: C",
        "no answer in 100 ms: D",
        // The waiting commands, taken in order once Skype answers again, then the new ones.
        "send A",
        "send B",
        "send C",
        "send D",
        "send E",
        "send F",
    };
    Attach();
    desk.StopAnswering(desk.SkypeWindow());
    for (const char* command : {"A", "B", "C", "D"})
        channel.Send(command);
    desk.AnswerAgain(desk.SkypeWindow());
    channel.Send("E");
    channel.Send("F");
    ExpectSequence(expected, Sent());
    // The first answer in time restores the full second; so does an attach.
    EXPECT_EQ(desk.SendLimits(), (std::vector<UINT>{1000, 100, 100, 100, 100, 1000}));
    desk.StopAnswering(desk.SkypeWindow());
    channel.Send("G");
    Attach();
    channel.Send("H");
    EXPECT_EQ(desk.SendLimits().back(), 1000u);
}

TEST_F(ChannelTest, VitalCommandGetsTheFullSecondAndGoesOnceMoreWhenSkypeAnswersAgain)
{
    // Skype hangs: A runs out of its second, the vital STOP still gets its own
    // and runs out too, B gets 100 ms. Skype answers again: the waiting commands
    // are taken; C, the first answered in time, brings STOP once more, then D.
    // A vital command that runs out of time on its second try is not tried again.
    static const Sequence expected = {
        "no answer in 1000 ms: A",
        "no answer in 1000 ms: STOP",
        "no answer in 100 ms: B",
        "send A",
        "send STOP",
        "send B",
        "send C",
        "send STOP",
        "send D",
    };
    Attach();
    desk.StopAnswering(desk.SkypeWindow());
    channel.Send("A");
    channel.SendVital("STOP");
    channel.Send("B");
    desk.AnswerAgain(desk.SkypeWindow());
    channel.Send("C");
    channel.Send("D");
    ExpectSequence(expected, Sent());
    EXPECT_EQ(desk.SendLimits(), (std::vector<UINT>{1000, 1000, 100, 100, 1000, 1000}));

    Flush();
    desk.StopAnswering(desk.SkypeWindow());
    channel.SendVital("LEAVE");
    desk.AnswerAgain(desk.SkypeWindow());
    desk.StopAnswering(desk.SkypeWindow());
    channel.Send("E");  // runs out of time: no repeat yet
    desk.AnswerAgain(desk.SkypeWindow());
    desk.onCommand = [&](const std::string& command) {
        if (command == "F")
            desk.StopAnswering(desk.SkypeWindow());  // hangs again, under LEAVE's second try
    };
    channel.Send("F");
    desk.onCommand = nullptr;
    desk.AnswerAgain(desk.SkypeWindow());
    channel.Send("G");
    static const Sequence again = {
        "no answer in 1000 ms: LEAVE",
        "send LEAVE",
        "no answer in 100 ms: E",
        "send E",
        "send F",
        "no answer in 1000 ms: LEAVE",
        "send LEAVE",
        "send G",
    };
    ExpectSequence(again, Sent());
    EXPECT_EQ(gone, 0);
}

TEST_F(ChannelTest, SkypeWindowGoneUnderACommandIsForgottenAndToldOnce)
{
    // Skype quits; the next command finds no window. Later commands are
    // undelivered, its notices unheard, and only a new attachment brings it back.
    static const Sequence expected = {
        "send A",
        "undelivered B",
        "undelivered C",
        "send D",
    };
    Attach();
    channel.Send("A");
    const HWND first = desk.SkypeWindow();
    desk.QuitSkype();
    channel.Send("B");
    EXPECT_EQ(gone, 1);
    EXPECT_EQ(channel.SkypeWindow(), nullptr);
    channel.Send("C");
    EXPECT_EQ(gone, 1);
    EXPECT_TRUE(Heard("USERSTATUS ONLINE", 18, first).empty());
    desk.StartSkype();
    Attach();
    channel.Send("D");
    ExpectSequence(expected, Sent());
    EXPECT_EQ(gone, 1);
    // Sent before any attachment, a command finds no window either: that is no loss.
    CSkypeChannel fresh{owner, log};
    fresh.Listen(this);
    fresh.Send("E");
    EXPECT_EQ(gone, 1);
}

TEST_F(ChannelTest, CommandsBeforeAnyAttachAreUndelivered)
{
    static const Sequence expected = {"undelivered call orvanta.robot"};
    channel.Send("call orvanta.robot");
    ExpectSequence(expected, Sent());
    EXPECT_TRUE(desk.Commands().empty());
}

TEST_F(ChannelTest, NoticeEndsAtItsFirstZeroByteOrItsByteCount)
{
    // "USERSTATUS ONLIN" is no ONLINE notice: a cut loses the word at its end.
    struct Row {
        std::string bytes;
        DWORD count;
        const char* heard;
    };
    const Row rows[] = {
        {"USERSTATUS ONLINE", 17, "USERSTATUS ONLINE"},
        {"USERSTATUS ONLINE", 16, "USERSTATUS ONLIN"},
        {"USERSTATUS ONLINE", 1, "U"},
        {std::string("CALL 1 DURATION 2\0USERSTATUS ONLINE", 35) + '\0', 36, "CALL 1 DURATION 2"},
        // A byte count of zero, or no data, or only the zero: an empty notice.
        {"USERSTATUS ONLINE", 0, ""},
        {std::string(1, '\0'), 1, ""},
    };
    Attach();
    for (const Row& r : rows)
        ExpectSequence(Sequence{r.heard}, Heard(r.bytes, r.count));
    ExpectSequence(Sequence{""}, Heard("", 18, nullptr, true));
    ExpectSequence(Sequence{Padded(1023)}, Heard(Padded(1023)));
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
    struct Row {
        std::string bytes;
        DWORD count;
        bool taken;
    };
    const Row rows[] = {
        {position + '\0', 1027, false},
        {position, 1026, false},
        {Padded(1018) + "ONLINE" + std::string(100, 'y'), 1124, false},
        {Padded(1024), 5000, false},
        // A 1024-byte text and its zero byte: the zero is not among the bytes looked at.
        {Padded(1024) + '\0', 1025, false},
        {Padded(1024), 1024, true},
        {Padded(1023) + '\0' + std::string(100, 'y'), 1124, true},
    };
    Attach();
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.bytes.size()) + " bytes, count " + std::to_string(row.count));
        std::string bytes = row.bytes;
        bytes.resize(std::max<size_t>(bytes.size(), row.count), 'z');  // readable up to the count
        const size_t end = std::min(bytes.find('\0'), size_t(1024));
        ExpectSequence(row.taken ? Sequence{bytes.substr(0, end)} : Sequence{}, Heard(bytes, row.count));
    }
}

TEST_F(ChannelTest, OnlyTheAttachedSkypeWindowIsHeard)
{
    // Before any attach (no sender at all included), after a pending answer, and
    // from a foreign window once attached: nothing is heard.
    EXPECT_TRUE(Heard("USERSTATUS ONLINE").empty());
    EXPECT_TRUE(Heard("CONNSTATUS ONLINE", 18, HWND(nullptr)).empty());
    channel.OnAttachAnswer(kAttachPendingAuthorization, desk.SkypeWindow());
    EXPECT_EQ(channel.SkypeWindow(), nullptr);
    EXPECT_TRUE(Heard("USERSTATUS ONLINE").empty());
    Attach();
    EXPECT_EQ(answers, (std::vector<std::intptr_t>{kAttachPendingAuthorization, kAttachSuccess}));
    EXPECT_TRUE(Heard("CALL 17 STATUS FINISHED", 24, desk.ForeignWindow()).empty());
    ExpectSequence(Sequence{"CALL 17 STATUS FINISHED"}, Heard("CALL 17 STATUS FINISHED"));
    EXPECT_TRUE(Log(headless::kAll).empty());
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
    ExpectSequence(expected, Sent());
    EXPECT_STREQ(g_szCopyBuffer, "DELETE APPLICATION remotecontrol");
}

}  // namespace
