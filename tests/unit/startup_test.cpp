// Start-up, the state record, data exchange and the ways the panel closes.
#include "PanelFixture.h"

#include "App.h"
#include "ClientApp.h"

namespace {

class StartupTest : public PanelTest {
protected:
    // The About box's OK, as the operator presses it.
    void PressAboutOk()
    {
        desk.Deliver(desk.Dialog(IDD_ABOUTBOX), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        desk.Pump();
    }
    void PanelCommand(int id)
    {
        desk.Deliver(desk.Panel(), WM_COMMAND, MAKEWPARAM(WORD(id), BN_CLICKED), 0);
        desk.Pump();
    }
};

// Every field pushed into its control, in the exchange order; onTop: On Top's check.
Sequence FreshPush(int onTop)
{
    return {
        "text IDC_STATUS Searching Robot ......",
        "text IDC_PITCH_READ 0",
        "text IDC_PITCH_SET -90",
        "text IDC_ROLL_READ 0",
        "text IDC_ROLL_SET 0",
        "text IDC_X_READ 0",
        "text IDC_X_SET 0",
        "text IDC_Y_READ 0",
        "text IDC_Y_SET 0",
        "text IDC_Z_READ 0",
        "text IDC_Z_SET 0",
        "text IDC_HAND_READ 0",
        "text IDC_HAND_SET 0",
        "text IDC_ROBOT_MESSAGE ",
        "text IDC_NOTE ",
        "text IDC_SPEED 200",
        "check IDC_REC 0",
        onTop ? "check IDC_ON_TOP 1" : "check IDC_ON_TOP 0",
        "check IDC_RUN 0",
        "check IDC_BACKWARD 0",
    };
}

const Sequence kAboutRun = {"dialog IDD_ABOUTBOX", "end IDD_ABOUTBOX", "destroy IDD_ABOUTBOX"};

// --- Initialisation

TEST_F(StartupTest, InitialisationDiscoversSkypeThenShowsThePanelWithTheLinkControlsOff)
{
    // Create, answered and unanswered: a box between the broadcast and the
    // enables; then On Top placed and pushed, then the compact size.
    for (bool answered : {true, false}) {
        SCOPED_TRACE(answered);
        StartOver();
        desk.broadcastResult = answered;
        if (!answered)
            desk.ExpectBox("Skype API not found.");
        panel = std::make_unique<CControlPanelDlg>();
        ASSERT_TRUE(panel->Create());
        const Sequence box = {"box ErrorMessage | Skype API not found. | stop ok -> IDOK"};
        ExpectSequence((Sequence{"broadcast SkypeControlAPIDiscover"} + (answered ? Sequence{} : box) +
                        LinkControlEntries(0) + Sequence{"place TOPMOST", "place TOPMOST 315x350"}),
                       Log(headless::kBroadcast | headless::kBox | headless::kEnable | headless::kPlace));
        ExpectSequence(FreshPush(0) + FreshPush(1), Log(headless::kText | headless::kCheck));
        ExpectSequence((Sequence{"icon big 128", "icon small 128"}), Log(headless::kIcon));
    }
}

TEST_F(StartupTest, AttachAnswerDuringTheBroadcastIsHandledAtOnceAndStartUpGoesOn)
{
    // Create, Skype answering 0 from inside the broadcast.
    static const Sequence expected =
        Sequence{"broadcast SkypeControlAPIDiscover", "send CREATE APPLICATION remotecontrol",
                 "send ALTER APPLICATION remotecontrol CONNECT orvanta.robot", "timer 1 1000"} +
        LinkControlEntries(0);
    desk.onDiscover = [&] { desk.Attach(0); };
    panel = std::make_unique<CControlPanelDlg>();
    ASSERT_TRUE(panel->Create());
    ExpectSequence(expected, Log(headless::kBroadcast | headless::kSend | headless::kTimer | headless::kEnable));
    // Skype's window is known: its notices are heard.
    desk.Notice("USERSTATUS ONLINE");
    EXPECT_EQ(desk.Text(IDC_STATUS), "Searching Robot, please wait......");
    EXPECT_EQ(desk.Timers(), std::vector<UINT_PTR>{1});
}

TEST_F(StartupTest, FreshPanelShowsItsStartValues)
{
    OpenPanel();
    struct Row {
        int id;
        const char* text;
    };
    static const Row rows[] = {
        {IDC_STATUS, "Searching Robot ......"},
        {IDC_PITCH_SET, "-90"},
        {IDC_SPEED, "200"},
        {IDC_PITCH_READ, "0"},
        {IDC_ROLL_READ, "0"},
        {IDC_ROLL_SET, "0"},
        {IDC_X_READ, "0"},
        {IDC_X_SET, "0"},
        {IDC_Y_READ, "0"},
        {IDC_Y_SET, "0"},
        {IDC_Z_READ, "0"},
        {IDC_Z_SET, "0"},
        {IDC_HAND_READ, "0"},
        {IDC_HAND_SET, "0"},
        {IDC_ROBOT_MESSAGE, ""},
        {IDC_NOTE, ""},
        {IDC_MORE, "More >>>>"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(desk.Text(r.id), r.text) << testsupport::ControlName(r.id);
    EXPECT_EQ(desk.Check(IDC_ON_TOP), 1);
    EXPECT_EQ(desk.Check(IDC_REC), 0);
    EXPECT_EQ(desk.Check(IDC_RUN), 0);
    EXPECT_EQ(desk.Check(IDC_BACKWARD), 0);
    EXPECT_TRUE(desk.Topmost());
    EXPECT_EQ(desk.Width(), 315);
    EXPECT_EQ(desk.Height(), 350);
    EXPECT_EQ(desk.SystemMenu(),
              (std::vector<std::pair<UINT, std::string>>{{0, ""}, {16, "&About Orvanta..."}, {32, "&Session Log..."}}));
    // Only the discovery timer, waiting for Skype's answer.
    EXPECT_EQ(desk.Timers(), std::vector<UINT_PTR>{2});
}

// --- The link-controls group

TEST_F(StartupTest, EnableLinkControlsSwitchesExactlyItsGroupInOrder)
{
    static const int untouched[] = {IDC_LOAD,   IDC_SAVE,     IDC_ADD,  IDC_DEL,  IDC_CHG,
                                    IDC_ON_TOP, IDC_BACKWARD, IDC_MORE, IDC_ABOUT};
    OpenAttached();
    desk.Notice("CALL 17 VIDEO_RECEIVE_STATUS REJECTED");
    for (int id : untouched)
        EXPECT_TRUE(desk.Enabled(id)) << testsupport::ControlName(id);
    desk.Notice("CALL 17 VIDEO_RECEIVE_STATUS RUNNING");
    ExpectSequence(LinkControlEntries(0) + LinkControlEntries(1), Log(headless::kEnable));
    EXPECT_TRUE(desk.Enabled(IDC_REC));
}

// --- Data exchange

TEST_F(StartupTest, ReadStopsAtTheFirstBoxThatHoldsNoNumber)
{
    // The boxes the operator types in, in the exchange order; the note comes
    // between the hand target and the speed. ADD reads them; On Top then shows
    // what the form holds. A check box follows its click alone.
    static const int edits[] = {IDC_PITCH_SET, IDC_ROLL_SET, IDC_X_SET, IDC_Y_SET, IDC_Z_SET, IDC_HAND_SET, IDC_SPEED};
    const size_t n = std::size(edits);
    // bad == n: every edit holds a number.
    for (size_t bad = 0; bad <= n; ++bad) {
        SCOPED_TRACE("bad entry at " + std::to_string(bad));
        StartOver();
        OpenPanel();
        std::vector<std::string> before;
        for (size_t i = 0; i < n; ++i) {
            before.push_back(desk.Text(edits[i]));
            desk.Type(edits[i], i == bad ? "abc" : std::to_string(i + 1) + ".5");
        }
        desk.Type(IDC_NOTE, "near");
        ws::SendMessage(desk.Item(IDC_REC), BM_SETCHECK, BST_CHECKED, 0);
        Flush();
        PanelCommand(IDC_ADD);
        ExpectSequence(bad == n ? Sequence{} : Sequence{"beep"}, Log(headless::kBeep | headless::kBox));
        EXPECT_EQ(desk.Lines().size(), bad == n ? 1u : 0u);
        desk.Click(IDC_ON_TOP);
        for (size_t i = 0; i < n; ++i)
            EXPECT_EQ(desk.Text(edits[i]), i < bad ? std::to_string(i + 1) + ".5" : before[i])
                << testsupport::ControlName(edits[i]);
        EXPECT_EQ(desk.Text(IDC_NOTE), bad >= n - 1 ? "near" : "");
        EXPECT_EQ(desk.Check(IDC_REC), 0);
    }
}

TEST_F(StartupTest, ReadTakesNumbersWithBlanksAroundButNotAnEmptyBox)
{
    struct Row {
        const char* text;
        const char* read;
    };
    static const Row rows[] = {
        {" 12.5 ", "12.5"}, {"-3", "-3"},       {"1e2", "100"},   {"", nullptr},
        {"   ", nullptr},   {"12 mm", nullptr}, {"1,5", nullptr},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string("\"") + r.text + "\"");
        StartOver();
        OpenPanel();
        desk.Type(IDC_X_SET, r.text);
        PanelCommand(IDC_ADD);
        ExpectSequence(r.read ? Sequence{} : Sequence{"beep"}, Log(headless::kBeep | headless::kBox));
        desk.Click(IDC_ON_TOP);
        EXPECT_EQ(desk.Text(IDC_X_SET), r.read ? r.read : "0");
    }
}

// --- Closing

TEST_F(StartupTest, CloseBoxEndsThePanelWithOne)
{
    // The caption's close box.
    static const Sequence expected = {"end IDD_CONTROL_PANEL"};
    OpenPanel();
    desk.CloseBox();
    ExpectSequence(expected, Log(headless::kDialog | headless::kBox | headless::kBeep));
    EXPECT_EQ(panel->GetModalResult(), 1);
}

TEST_F(StartupTest, OtherCloseRequestsCancelThePanel)
{
    OpenPanel();
    desk.Deliver(desk.Panel(), WM_CLOSE, 0, 0);
    desk.Pump();
    EXPECT_EQ(panel->GetModalResult(), IDCANCEL);

    // A close command with its low bits set is not exactly SC_CLOSE: default processing.
    StartOver();
    OpenPanel();
    desk.SysCommand(SC_CLOSE | 2);
    EXPECT_EQ(panel->GetModalResult(), IDCANCEL);
}

TEST_F(StartupTest, OkWithASetBoxThatHoldsNoNumberKeepsThePanelOpen)
{
    OpenPanel();
    desk.Type(IDC_Y_SET, "12");
    desk.Type(IDC_Z_SET, "high");
    PanelCommand(IDOK);
    EXPECT_FALSE(panel->HasEnded());
    ExpectSequence(Sequence{"beep"}, Log(headless::kBeep | headless::kBox | headless::kDialog));

    desk.Type(IDC_Z_SET, "40");
    PanelCommand(IDOK);
    EXPECT_EQ(panel->GetModalResult(), IDOK);
}

TEST_F(StartupTest, CancelEndsWithoutARead)
{
    OpenPanel();
    desk.Type(IDC_X_SET, "5");
    desk.Type(IDC_Y_SET, "not a number");
    PanelCommand(IDCANCEL);
    EXPECT_EQ(panel->GetModalResult(), IDCANCEL);
    desk.Click(IDC_ON_TOP);  // shows the form as the panel holds it
    EXPECT_EQ(desk.Text(IDC_X_SET), "0");
    EXPECT_TRUE(Log(headless::kBeep | headless::kBox).empty());
}

// --- About

TEST_F(StartupTest, AboutButtonOpensTheAboutBox)
{
    OpenPanel();
    desk.ExpectDialog(IDD_ABOUTBOX, [&] { PressAboutOk(); });
    desk.Click(IDC_ABOUT);
    ExpectSequence(kAboutRun, Log(headless::kDialog));
    // The version block's first two parts (1, 0, 0, 1).
    ExpectSequence(Sequence{"text IDC_ABOUT_VERSION Orvanta Version 1.0"}, Log(headless::kText));
}

TEST_F(StartupTest, SystemMenuAboutItemOpensTheAboutBoxWhateverItsLowBits)
{
    for (UINT command : {16u, 16u | 1u, 16u | 15u}) {
        SCOPED_TRACE(command);
        StartOver();
        OpenPanel();
        desk.ExpectDialog(IDD_ABOUTBOX, [&] { PressAboutOk(); });
        desk.SysCommand(command);
        ExpectSequence(kAboutRun, Log(headless::kDialog));
        EXPECT_FALSE(panel->HasEnded());
    }
}

TEST_F(StartupTest, OtherSystemCommandsOpenNothing)
{
    OpenPanel();
    for (UINT command : {48u, UINT(SC_MINIMIZE), UINT(SC_RESTORE)})
        desk.SysCommand(command);
    EXPECT_TRUE(Log(headless::kDialog | headless::kBox).empty());
    EXPECT_FALSE(panel->HasEnded());
}

TEST_F(StartupTest, AboutThenCloseBoxDoNotInterfere)
{
    // The About item, then the close box.
    static const Sequence expected = kAboutRun + Sequence{"end IDD_CONTROL_PANEL"};
    OpenPanel();
    desk.ExpectDialog(IDD_ABOUTBOX, [&] { PressAboutOk(); });
    desk.SysCommand(IDM_ABOUTBOX);
    desk.CloseBox();
    ExpectSequence(expected, Log(headless::kDialog));
    EXPECT_EQ(panel->GetModalResult(), 1);
}

// --- The application

TEST_F(StartupTest, InitInstanceRunsThePanelModallyThenAnswersFalse)
{
    // InitInstance, the operator closing the panel at once: close-down, then the window goes.
    static const Sequence expected = {
        "dialog IDD_CONTROL_PANEL",
        "end IDD_CONTROL_PANEL",
        "undelivered ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:0 Msg$WMCD",
        "undelivered ALTER CALL 0 HANGUP",
        "sleep 5000",
        "undelivered ALTER APPLICATION remotecontrol DISCONNECT orvanta.robot:0",
        "undelivered DELETE APPLICATION remotecontrol",
        "destroy IDD_CONTROL_PANEL",
    };
    bool panelIsMainWindow = false;
    desk.ExpectDialog(IDD_CONTROL_PANEL, [&] {
        CWnd* main = theApp.m_pMainWnd;
        panelIsMainWindow = dynamic_cast<CControlPanelDlg*>(main) && main->m_hWnd == desk.Panel();
        desk.CloseBox();
    });
    EXPECT_EQ(theApp.InitInstance(), FALSE);
    ExpectSequence(expected, Log(headless::kDialog | headless::kSend | headless::kSleep));
    EXPECT_TRUE(panelIsMainWindow);
    EXPECT_EQ(theApp.m_pMainWnd, nullptr);
    EXPECT_EQ(desk.Panel(), nullptr);
}

TEST_F(StartupTest, ApplicationHasNoNameAndHandlesOnlyHelp)
{
    EXPECT_EQ(theApp.m_pszAppName, nullptr);
    EXPECT_EQ(AfxGetApp(), &theApp);
    EXPECT_FALSE(theApp.OnCmdMsg(IDOK, 0));
    EXPECT_FALSE(theApp.OnCmdMsg(IDC_ABOUT, 0));
    EXPECT_TRUE(Log(headless::kAll).empty());
}

TEST_F(StartupTest, HelpCommandGoesToTheFrameworksHelp)
{
    // ID_HELP (57670) from the panel's menu or accelerator.
    static const Sequence expected = {
        "box Orvanta | No help file is installed for this program. | information ok -> IDOK"};
    OpenPanel();
    desk.ExpectBox("No help file is installed for this program.");
    desk.Deliver(desk.Panel(), WM_COMMAND, MAKEWPARAM(WORD(ID_HELP), 0), 0);
    ExpectSequence(expected, Log(headless::kBox));
    EXPECT_EQ(ID_HELP, 57670u);
}

}  // namespace
