// The operator session's tests: the session over a view and a Skype that
// record, in one log, every effect it asks of them, with no window system.
// Boxes and file dialogs are answered from a script; the boxes the operator
// types in are texts the view reads the way the panel does.
#pragma once
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "ExpectSequence.h"
#include "LineDiff.h"
#include "RobotSession.h"

using Sequence = testsupport::Lines;
using Answer = ISessionView::Answer;
using testsupport::operator+;

// The boxes the operator types in, by the names the log gives them.
enum class TypedBox { kX, kY, kZ, kPitch, kRoll, kHand, kNote, kSpeed };

class RecordingView : public ISessionView, public ISkypeCommands {
public:
    // The log: "send <command>", "show <parts>", "read <parts> asked|silent ->
    // ok|<box>", "enable link|rec-lock|connect 0|1", "box [<caption> | ]<text>
    // | error|info|yes-no|yes-no-cancel -> ok|yes|no|cancel", "post",
    // "open-dialog -> <path>", "list reset|insert|delete|select|load ...",
    // "timer <id> <ms>", "kill timer <id>", "cancel jog", "sleep <ms>",
    // "broadcast".
    Sequence log;
    // What the boxes hold: what the panel showed at start-up, what a show wrote
    // since, or what the test typed.
    std::map<TypedBox, std::string> typed = StartBoxes();
    std::set<unsigned> timers;
    int posted = 0;
    // Runs inside each command sent, as Skype answers inside its send.
    std::function<void(const std::string& command)> onCommand;
    // Runs inside each discovery broadcast; found: whether anybody took it.
    std::function<void()> onDiscover;
    bool found = true;

    static std::map<TypedBox, std::string> StartBoxes();
    // As at start-up: no log, the boxes' start texts, no timer, nothing posted.
    void Reset();

    void ExpectBox(const std::string& text, Answer answer, std::function<void()> whileOpen = {});
    // path empty: Cancel.
    void ExpectFile(bool open, const std::string& path);
    void VerifyScriptsTaken();

    bool Read(PanelForm& form, unsigned parts, bool asked) override;
    void Show(const PanelForm& form, unsigned parts) override;
    void EnableGroup(Group group, bool enable) override;
    Answer Box(const char* text, const char* caption, BoxKind kind) override;
    void Post() override;
    std::filesystem::path AskFile(bool open) override;
    void ShowStepsCleared() override;
    void ShowStepInserted(int at, const std::string& line) override;
    void ShowStepDeleted(int at) override;
    void ShowSelection(int at) override;
    void ShowStepsLoaded(const std::vector<std::string>& lines, long long fileSize, int selected) override;
    void StartTimer(unsigned id, unsigned periodMs) override;
    void StopTimer(unsigned id) override;
    void CancelJog() override;
    void Wait(unsigned ms) override;

    void Send(const char* command) override;
    void SendVital(const char* command) override { Send(command); }
    bool Discover() override;

private:
    struct Script {
        bool box;
        std::string text;
        Answer answer;
        bool open;
        std::function<void()> whileOpen;
    };
    std::deque<Script> m_scripts;
};

class SessionTest : public ::testing::Test {
protected:
    SessionTest() { session.emplace(static_cast<ISkypeCommands&>(view), static_cast<ISessionView&>(view)); }
    void TearDown() override { view.VerifyScriptsTaken(); }
    // A fresh session and view, for a table's next row.
    void StartOver();

    // Started, attached on stream 1 in call 17, the robot's video running: the
    // link controls are on. The log starts empty.
    void Operating();
    void Notice(const std::string& notice) { session->Skype().OnSkypeNotice(notice.c_str()); }
    // A datagram from the robot on stream 1: "WMRP_SE", "WMRP_D|X..."
    void Report(const std::string& payload);
    void StepEnd() { Report("WMRP_SE"); }
    // The work the session posted, run as the message loop would.
    void RunPosted();
    // One second: each running timer's tick.
    void Tick(int count = 1);
    void Type(TypedBox box, const std::string& text) { view.typed[box] = text; }
    // The steps, as LOAD reads them from a file of these lines.
    void LoadSteps(const Sequence& lines);
    void Flush() { view.log.clear(); }

    RecordingView view;
    std::optional<CRobotSession> session;
};

// "send ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$<command>"
std::string SentDatagram(const std::string& command, int stream = 1);
