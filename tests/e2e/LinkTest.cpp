// The link to the robot station as the Skype client sees it: the commands that
// follow an attach answer, the one-second poll, notices nested in commands,
// and the close-down of an attached panel.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "OrvantaFixture.h"

namespace e2e {
namespace {

class Link : public OrvantaTest {
protected:
    // Starts Orvanta with an attach answer 0 and waits for its two link commands.
    ::testing::AssertionResult startAttached(AttachTiming timing = AttachTiming::AfterDiscover)
    {
        skype.answerDiscovery(kAttachSuccess, timing);
        auto started = startOrvanta();
        if (!started)
            return started;
        return skype.waitForCommands(2);
    }
};

TEST_F(Link, AttachAnswerOpensTheRobotLink)
{
    ASSERT_TRUE(startAttached());
    // Attach answer 0 -> create the application, then connect it to the robot.
    const std::vector<std::string> kExpected = {kCreate, kConnect};
    auto commands = skype.commands();
    ASSERT_GE(commands.size(), 2u);
    ExpectSequence(kExpected, WithoutPolls(skype.commandTexts()));
    for (const CopyData& command : commands) {
        EXPECT_EQ(command.from, panel.hwnd()) << command.text();
        EXPECT_EQ(command.tag, 0u) << command.text();
        // The zero byte travels with the text.
        EXPECT_EQ(command.byteCount, command.text().size() + 1) << command.text();
        EXPECT_EQ(command.bytes.back(), '\0') << command.text();
    }
    EXPECT_EQ(panel.text(IDC_STATUS), "Searching Robot ......");
    for (int id : kLinkControls)
        EXPECT_FALSE(panel.enabled(id)) << ControlName(id);
}

TEST_F(Link, AttachAnswerInsideTheBroadcastIsHandledAtOnce)
{
    skype.answerDiscovery(kAttachSuccess, AttachTiming::Nested);
    ASSERT_TRUE(startOrvanta());
    // All of it happened inside the start-up broadcast, before the panel showed.
    const std::vector<std::string> kExpected = {"discover", "attach 0", "command " + kCreate, "command " + kConnect,
                                                "done = 1"};
    auto transcript = skype.transcript();
    transcript.resize(std::min(transcript.size(), kExpected.size()));
    ExpectSequence(kExpected, transcript);
    // Start-up still disables the link controls after the answer.
    for (int id : kLinkControls)
        EXPECT_FALSE(panel.enabled(id)) << ControlName(id);
}

// A window on the desktop whose thread pumps nothing: a hung program.
class HungWindow {
public:
    HungWindow()
    {
        m_thread = std::thread([this] {
            m_hwnd = CreateWindowExA(0, "STATIC", "hung", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
            SetEvent(m_created);
            WaitForSingleObject(m_release, INFINITE);
            DestroyWindow(m_hwnd);
        });
        WaitForSingleObject(m_created, INFINITE);
    }
    ~HungWindow()
    {
        SetEvent(m_release);
        m_thread.join();
        CloseHandle(m_created);
        CloseHandle(m_release);
    }
    HWND hwnd() const { return m_hwnd; }

private:
    HANDLE m_created = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE m_release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HWND m_hwnd = nullptr;
    std::thread m_thread;
};

TEST_F(Link, HungWindowOnTheDesktopHoldsNeitherStartUpNorTheLink)
{
    // The hung window is there before Orvanta starts; the start-up broadcast
    // passes it by, and Skype's answer still opens the link.
    HungWindow hung;
    ASSERT_NE(hung.hwnd(), nullptr);
    ASSERT_FALSE(Responds(hung.hwnd(), 200ms));
    skype.answerDiscovery(kAttachSuccess);
    ASSERT_TRUE(startOrvanta());
    ASSERT_TRUE(skype.waitForCommands(2));
    const std::vector<std::string> kExpected = {kCreate, kConnect};
    auto texts = WithoutPolls(skype.commandTexts());
    texts.resize(std::min(texts.size(), kExpected.size()));
    ExpectSequence(kExpected, texts);
    EXPECT_TRUE(Responds(panel.hwnd()));
}

TEST_F(Link, CallEndIsAnsweredAtOnceThenTheCloseDownAndTheThanksBox)
{
    ASSERT_TRUE(startAttached());
    ASSERT_EQ(skype.sendNotice(kStreams3), Answered(1));
    ASSERT_EQ(skype.sendNotice("CALL 17 DURATION 42"), Answered(1));
    skype.clear();
    // Skype's own rule: a client that holds one of its messages for more than a
    // second is counted as gone.
    skype.setSendTimeout(1000ms);
    EXPECT_EQ(skype.sendNotice("CALL 17 STATUS FINISHED"), Answered(1));
    RemoteDialog thanks = orvanta.waitForDialog("Message", 10000ms);
    ASSERT_TRUE(thanks) << orvanta.describeWindows();
    EXPECT_EQ(thanks.messageText(), "Thanks for using robot!\n\n Hope to see you again!\n\n ");
    // The notice was answered within Skype's second (above), so the close-down
    // and the box came after it: a box inside the notice would have held it.
    // The whole close-down comes before the box. Where the answer stands among
    // the commands is not compared: the answer is recorded by the sending
    // thread once it wakes, the commands by Skype's window as they arrive, and
    // the panel may send the first of them before the sender has woken.
    std::vector<std::string> transcript = skype.transcript();
    std::erase_if(transcript, [](const std::string& line) {
        return line == "done = 1" || (line.starts_with("command ") && IsPoll(line.substr(8)));
    });
    const std::vector<std::string> kExpected = {"notice CALL 17 STATUS FINISHED",
                                                "command " + DatagramCommand(3, "WMCD"), "command ALTER CALL 17 HANGUP",
                                                "command ALTER APPLICATION remotecontrol DISCONNECT " + kRobot + ":3",
                                                "command DELETE APPLICATION remotecontrol"};
    ExpectSequence(kExpected, transcript);
    EXPECT_EQ(panel.text(IDC_STATUS), "Please restart this program again for next experiment.");
    ASSERT_TRUE(thanks.pressButton(IDOK));
    EXPECT_TRUE(WaitFor("the thanks box to close", [&] { return orvanta.dialogs().empty(); }));
}

TEST_F(Link, TimerPollsTheRobotEverySecond)
{
    ASSERT_TRUE(startAttached());
    ASSERT_EQ(skype.sendNotice(kStreams3), Answered(1));
    skype.clear();
    ASSERT_TRUE(skype.waitForCommands(4, 4000ms));
    // Two ticks, each: query the pose, query the state.
    const std::vector<std::string> kExpected = {DatagramCommand(3, "WMCA_QD"), DatagramCommand(3, "WMCA_QU"),
                                                DatagramCommand(3, "WMCA_QD"), DatagramCommand(3, "WMCA_QU")};
    auto texts = skype.commandTexts();
    texts.resize(4);
    ExpectSequence(kExpected, texts);
    auto commands = skype.commands();
    auto gap = std::chrono::duration_cast<Millis>(commands[2].at - commands[0].at).count();
    EXPECT_GE(gap, 700) << "ticks closer than a second";
    EXPECT_LE(gap, 2000) << "ticks further apart than a second";
}

TEST_F(Link, NoticeSentInsideACommandIsHandledBeforeTheNextCommand)
{
    skype.onCommand([this](const CopyData& command) -> LRESULT {
        if (command.text() == kCreate)
            skype.sendNotice("USERSTATUS ONLINE", command.from);
        return 1;
    });
    ASSERT_TRUE(startAttached());
    const std::vector<std::string> kExpected = {
        "discover", "attach 0", "command " + kCreate, "notice USERSTATUS ONLINE", "done = 1", "command " + kConnect,
        "done = 1"};
    auto transcript = skype.transcript();
    transcript.resize(std::min(transcript.size(), kExpected.size()));
    ExpectSequence(kExpected, transcript);
    EXPECT_EQ(panel.text(IDC_STATUS), "Searching Robot, please wait......");
}

TEST_F(Link, OnlyTheAttachedSkypeWindowIsHeard)
{
    ASSERT_TRUE(startAttached());
    EXPECT_EQ(skype.sendForeignNotice("USERSTATUS LOGGEDOUT"), Answered(1));
    EXPECT_EQ(panel.text(IDC_STATUS), "Searching Robot ......");
    // The same notice from the Skype window does take effect.
    EXPECT_EQ(skype.sendNotice("USERSTATUS LOGGEDOUT"), Answered(1));
    EXPECT_EQ(panel.text(IDC_STATUS), "User offline");
}

TEST_F(Link, CloseDownHangsUpWaitsAndDeletesTheApplication)
{
    ASSERT_TRUE(startAttached());
    ASSERT_EQ(skype.sendNotice(kStreams3), Answered(1));
    ASSERT_EQ(skype.sendNotice("CALL 17 DURATION 42"), Answered(1));
    skype.clear();
    panel.close();
    ASSERT_TRUE(orvanta.waitForExit(15000ms));
    const std::vector<std::string> kExpected = {DatagramCommand(3, "WMCD"), "ALTER CALL 17 HANGUP",
                                                "ALTER APPLICATION remotecontrol DISCONNECT " + kRobot + ":3",
                                                "DELETE APPLICATION remotecontrol"};
    ExpectSequence(kExpected, WithoutPolls(skype.commandTexts()));
    // The 5 s wait lies between the hang-up and the disconnect.
    std::vector<CopyData> commands;
    for (const CopyData& command : skype.commands()) {
        if (!IsPoll(command.text()))
            commands.push_back(command);
    }
    ASSERT_EQ(commands.size(), 4u);
    auto wait = std::chrono::duration_cast<Millis>(commands[2].at - commands[1].at).count();
    EXPECT_GE(wait, 4500);
    EXPECT_LE(wait, 8000);
}

TEST_F(Link, PollsFollowTheLatestStreamNumber)
{
    ASSERT_TRUE(startAttached());
    ASSERT_EQ(skype.sendNotice(kStreams3), Answered(1));
    ASSERT_EQ(skype.sendNotice("APPLICATION remotecontrol STREAMS " + kRobot + ":8"), Answered(1));
    skype.clear();
    ASSERT_TRUE(skype.waitForCommands(2, 3000ms));
    const std::vector<std::string> kExpected = {DatagramCommand(8, "WMCA_QD"), DatagramCommand(8, "WMCA_QU")};
    auto texts = skype.commandTexts();
    texts.resize(2);
    ExpectSequence(kExpected, texts);
}

// Polls in the order each tick sends them, starting with the first one given:
// what reaches Skype when none is repeated, reordered or sent twice.
std::vector<std::string> AlternatingPolls(const std::vector<std::string>& polls)
{
    std::vector<std::string> expected;
    bool pose = !polls.empty() && polls[0] == DatagramCommand(3, "WMCA_QD");
    for (size_t i = 0; i < polls.size(); ++i, pose = !pose)
        expected.push_back(DatagramCommand(3, pose ? "WMCA_QD" : "WMCA_QU"));
    return expected;
}

// Skype stops answering for 4 s while the panel is linked. A click posted while
// the panel waits in a poll's send is handled before Skype answers again, and
// afterwards the link works as before. (Wine drops a message whose send ran
// out of time; Windows hands it over later. Either way it is never sent twice.)
TEST_F(Link, PanelStaysUsableWhileSkypeHangs)
{
    ASSERT_TRUE(startAttached());
    ASSERT_EQ(skype.sendNotice(kStreams3), Answered(1));
    ASSERT_TRUE(panel.topmost());
    skype.clear();
    skype.stopAnswering(4000ms);
    ASSERT_TRUE(WaitFor(
        "a poll waiting in the hung Skype", [&] { return skype.commandWaiting(); }, 3000ms));
    auto posted = std::chrono::steady_clock::now();
    ASSERT_TRUE(panel.mouseClick(IDC_ON_TOP));
    ASSERT_TRUE(WaitFor(
        "the On Top click handled", [&] { return !panel.topmost(); }, 3000ms));
    auto took = std::chrono::duration_cast<Millis>(std::chrono::steady_clock::now() - posted).count();
    EXPECT_TRUE(skype.hanging()) << "the click waited " << took << " ms, until Skype answered again";
    EXPECT_LE(took, 2500) << "a second for the send, and time to spare";

    ASSERT_TRUE(WaitFor(
        "Skype answering again", [&] { return !skype.hanging(); }, 6000ms));
    size_t before = skype.commandCount();
    ASSERT_TRUE(skype.waitForCommands(before + 2, 3000ms)) << "a tick's polls after the hang";
    const std::string request = "APPLICATION remotecontrol DATAGRAM " + kRobot + ":3 Msg$WMIT_D";
    ASSERT_EQ(skype.sendNotice(request), Answered(1));
    const std::vector<std::string> kAnswer = {DatagramCommand(3, "WMCA_ITD")};
    ExpectSequence(kAnswer, WithoutPolls(skype.commandTexts()));
    auto commands = skype.commands();
    auto answer =
        std::find_if(commands.begin(), commands.end(), [&](const CopyData& c) { return c.text() == kAnswer[0]; });
    ASSERT_NE(answer, commands.end());
    EXPECT_TRUE(answer->nested) << "the answer came after the request's send";

    std::vector<std::string> polls = skype.commandTexts();
    std::erase_if(polls, [](const std::string& c) { return !IsPoll(c); });
    ExpectSequence(AlternatingPolls(polls), polls);
}

// Closing while Skype hangs: each close-down command waits at most a second,
// and the 5 s wait stays. When Skype answers again during that wait, the rest
// of the close-down reaches it in order, WMCD sent once more among it.
TEST_F(Link, ClosingWhileSkypeHangsTakesTheWaitAndASecondACommand)
{
    ASSERT_TRUE(startAttached());
    ASSERT_EQ(skype.sendNotice(kStreams3), Answered(1));
    ASSERT_EQ(skype.sendNotice("CALL 17 DURATION 42"), Answered(1));
    skype.clear();
    skype.stopAnswering(60000ms);
    auto closed = std::chrono::steady_clock::now();
    panel.close();
    // Waiting in a send, the panel still answers us; in its 5 s wait it does not.
    EXPECT_TRUE(WaitFor(
        "the close-down's wait", [&] { return !Responds(panel.hwnd(), 200ms); }, 5000ms));
    skype.answerAgain();
    ASSERT_TRUE(orvanta.waitForExit(20000ms));
    auto took = std::chrono::duration_cast<Millis>(std::chrono::steady_clock::now() - closed).count();
    EXPECT_GE(took, 5000) << "the close-down's wait";
    // The wait, a second for each of the four commands and one for a poll that may be waiting.
    EXPECT_LE(took, 10000);

    // What ran out of time before the wait may be lost (Wine drops it). The
    // disconnect, answered after the wait, brings WMCD once more (the robot must
    // hear that we leave), then the delete.
    const std::string wmcd = DatagramCommand(3, "WMCD");
    const std::vector<std::string> kBeforeWait = {wmcd, "ALTER CALL 17 HANGUP"};
    const std::vector<std::string> kAfterWait = {"ALTER APPLICATION remotecontrol DISCONNECT " + kRobot + ":3", wmcd,
                                                 "DELETE APPLICATION remotecontrol"};
    auto received = WithoutPolls(skype.commandTexts());
    ASSERT_GE(received.size(), kAfterWait.size());
    ASSERT_LE(received.size(), kAfterWait.size() + kBeforeWait.size());
    const auto split = received.end() - std::ptrdiff_t(kAfterWait.size());
    ExpectSequence(kAfterWait, std::vector<std::string>(split, received.end()));
    // Windows hands the late ones to Skype after all, in order.
    ExpectSequence(std::vector<std::string>(kBeforeWait.begin(), kBeforeWait.begin() + (split - received.begin())),
                   std::vector<std::string>(received.begin(), split));
}

const char kRefusedText[] = "You probably have chosen disallowing this software to access Skype\n\n"
                            " If you want to use this software, please change the following setting in Skype:\n"
                            "    Skype menu->Tools->Options->Privacy->Manage other programs access to Skype\n"
                            " Or \n"
                            "    Skype menu->Tools->Options->Advanced->Manage other programs access to Skype\n\n"
                            " The 'Manage API Access Control' panel will appear, then Change the settings to "
                            "'Allow this program to use Skype'";
const char kNotAvailableText[] = "Skype API not available, please log in Skype to operate robot";

// Skype may send its answer or post it. Sent, it is answered at once: the box
// opens after it, in the program's own loop.
void ExpectAttachBox(FakeSkype& skype, OrvantaProcess& orvanta, LPARAM status, const std::string& text, bool sent)
{
    if (sent)
        ASSERT_EQ(skype.sendAttach(status), Answered(1));
    else
        ASSERT_TRUE(skype.postAttach(status).delivered);
    RemoteDialog box = orvanta.waitForDialog("Error Message");
    ASSERT_TRUE(box) << orvanta.describeWindows();
    EXPECT_EQ(box.owner(), orvanta.panel().hwnd());
    EXPECT_EQ(box.messageText(), text);
    EXPECT_TRUE(WaitFor(
        "the stop icon", [&] { return MessageBoxIcon(box) == "error"; }, 2000ms))
        << "shows " << MessageBoxIcon(box);
    ASSERT_TRUE(box.pressButton(IDOK));
    EXPECT_TRUE(WaitFor("the box to close", [&] { return !box.exists() || !box.isVisible(); }));
    // Nothing is sent and the link stays closed.
    EXPECT_TRUE(skype.commands().empty());
    EXPECT_EQ(orvanta.panel().text(IDC_STATUS), "Searching Robot ......");
}

TEST_F(Link, RefusedAttachShowsHowToAllowTheProgram)
{
    ASSERT_TRUE(startOrvanta());
    ExpectAttachBox(skype, orvanta, kAttachRefused, kRefusedText, true);
}

TEST_F(Link, UnavailableApiAsksTheUserToLogIn)
{
    ASSERT_TRUE(startOrvanta());
    ExpectAttachBox(skype, orvanta, kAttachNotAvailable, kNotAvailableText, false);
}

TEST_F(Link, ConnectCallsTheRobotAccount)
{
    ASSERT_TRUE(startAttached());
    ASSERT_EQ(skype.sendNotice(kStreams3), Answered(1));
    ASSERT_EQ(skype.sendNotice("CALL 17 VIDEO_RECEIVE_STATUS RUNNING"), Answered(1));
    skype.clear();
    ASSERT_TRUE(panel.click(IDC_CONNECT));
    ASSERT_TRUE(WaitFor("the call", [&] { return !WithoutPolls(skype.commandTexts()).empty(); }));
    const std::vector<std::string> kExpected = {"call " + kRobot};
    EXPECT_TRUE(HoldsFor(
        "nothing more", [&] { return WithoutPolls(skype.commandTexts()).size() == 1; }, 300ms));
    ExpectSequence(kExpected, WithoutPolls(skype.commandTexts()));
}

TEST_F(Link, VideoStateSwitchesTheLinkControls)
{
    ASSERT_TRUE(startAttached());
    for (int id : kLinkControls)
        ASSERT_FALSE(panel.enabled(id)) << ControlName(id);
    ASSERT_EQ(skype.sendNotice("CALL 17 VIDEO_RECEIVE_STATUS RUNNING"), Answered(1));
    for (int id : kLinkControls)
        EXPECT_TRUE(panel.enabled(id)) << ControlName(id);
    // Another video state leaves them as they are.
    ASSERT_EQ(skype.sendNotice("CALL 17 VIDEO_RECEIVE_STATUS STARTING"), Answered(1));
    for (int id : kLinkControls)
        EXPECT_TRUE(panel.enabled(id)) << ControlName(id);
    ASSERT_EQ(skype.sendNotice("CALL 17 VIDEO_RECEIVE_STATUS REJECTED"), Answered(1));
    for (int id : kLinkControls)
        EXPECT_FALSE(panel.enabled(id)) << ControlName(id);
    // The controls the link never switches stay usable throughout.
    for (int id : {IDC_ADD, IDC_DEL, IDC_CHG, IDC_LOAD, IDC_SAVE, IDC_ON_TOP, IDC_BACKWARD, IDC_MORE, IDC_ABOUT})
        EXPECT_TRUE(panel.enabled(id)) << ControlName(id);
    // Only the two link commands of the attach went out.
    EXPECT_EQ(WithoutPolls(skype.commandTexts()).size(), 2u);
}

TEST_F(Link, DisconnectHangsUpTheLastCallAndClosesTheLink)
{
    ASSERT_TRUE(startAttached());
    ASSERT_EQ(skype.sendNotice(kStreams3), Answered(1));
    ASSERT_EQ(skype.sendNotice("CALL 17 DURATION 42"), Answered(1));
    ASSERT_EQ(skype.sendNotice("CALL 17 VIDEO_RECEIVE_STATUS RUNNING"), Answered(1));
    skype.clear();
    ASSERT_TRUE(panel.click(IDC_DISCONNECT));
    ASSERT_TRUE(WaitFor("the close-down", [&] { return WithoutPolls(skype.commandTexts()).size() >= 4; }));
    const std::vector<std::string> kExpected = {DatagramCommand(3, "WMCD"), "ALTER CALL 17 HANGUP",
                                                "ALTER APPLICATION remotecontrol DISCONNECT " + kRobot + ":3",
                                                "DELETE APPLICATION remotecontrol"};
    ExpectSequence(kExpected, WithoutPolls(skype.commandTexts()));
    // No wait here: that belongs to the window's close-down.
    auto commands = skype.commands();
    std::erase_if(commands, [](const CopyData& command) { return IsPoll(command.text()); });
    auto took = std::chrono::duration_cast<Millis>(commands.back().at - commands.front().at).count();
    EXPECT_LT(took, 3000);
    // The last step of the close-down, after the four sends.
    EXPECT_TRUE(WaitFor("the link controls to go off", [&] {
        return std::none_of(kLinkControls.begin(), kLinkControls.end(), [&](int id) { return panel.enabled(id); });
    }));
    EXPECT_TRUE(orvanta.running());
}

}  // namespace
}  // namespace e2e
