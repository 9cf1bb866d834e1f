// An operator's session: presses and releases (the mouse going down and up in
// turn), capture taken away, the panel deactivated, clicks, typing, list
// selections, timer ticks, Skype's notices and attach answers, Skype quitting
// and starting again, boxes answered either way, and some of Skype's notices
// arriving inside the panel's own sends or while a box is up; at the end the
// panel is closed, the mouse still held or not.
//
// The operator also plays and records: RUN and REC checked and unchecked,
// lines clicked, DEL and Backward.
//
// Properties: every jog start is followed by a jog stop once the hold ends.
// After each of the operator's actions a started joint is still moving only
// while its button holds the mouse; once the panel is closed none is. A Skype
// that quits takes the jogs it carried with it (the station stops a client
// that went silent), and no jog is started through a Skype window that has
// gone. While RUN shows unchecked no Cartesian target goes out, but for the
// operator's own Move To XYZ and STEP. A step-end report sends the step of the
// line the list highlights, or nothing; none at all once the call has ended or
// the link is closing down, until the operator clicks RUN again. Once RUN shows
// unchecked only the operator's click checks it again. The handling of a robot report opens no
// modal box.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <deque>
#include <set>
#include <string>
#include <vector>

#include "ControlNames.h"
#include "FuzzSupport.h"
#include "PlaybackOrder.h"
#include "SkypeChannel.h"

namespace {

const int kClicked[] = {
    IDC_MOVE_XYZ, IDC_STEP,    IDC_ADD,        IDC_DEL,       IDC_CHG,       IDC_RUN,    IDC_REC,
    IDC_BACKWARD, IDC_CONNECT, IDC_DISCONNECT, IDC_CALIBRATE, IDC_GOTO_HOME, IDC_ON_TOP, IDC_MORE,
};
const int kTyped[] = {IDC_X_SET, IDC_Y_SET, IDC_Z_SET, IDC_PITCH_SET, IDC_ROLL_SET, IDC_HAND_SET, IDC_SPEED, IDC_NOTE};
const char* const kTexts[] = {"", "-", "5", "-5", "12.7", "abc", "3000000000", "1e10", " 7 ", "grip", "300000000"};
const LPARAM kAttachStatuses[] = {kAttachSuccess, kAttachPendingAuthorization, kAttachRefused, kAttachNotAvailable,
                                  kAttachApiAvailable};

const int kPlaying[] = {IDC_RUN, IDC_REC, IDC_DEL, IDC_BACKWARD, IDC_ADD};

constexpr const char kStart[] = "Msg$WMCA_BSTARTM|";
constexpr const char kStop[] = "Msg$WMCA_BSTOPM|";
constexpr const char kTarget[] = "Msg$WMCA_PCD|";

// What the panel is handling when it sends a command or opens a box: the
// innermost of the deliveries under way.
enum class Source { kOperator, kTargetClick, kRobotReport, kStepEnd, kOther };

class Session {
public:
    explicit Session(FuzzedDataProvider& in) : m_in(in), m_panel(StartState(in)), m_desk(m_panel.desk)
    {
        m_desk.onCommand = [this](const std::string& command) {
            Track(command);
            CheckTarget(command);
            Nested();
        };
        m_desk.onUnscriptedBox = [this](const std::string& text, UINT type) {
            if (Handling() == Source::kRobotReport || Handling() == Source::kStepEnd)
                fuzz::Broken("a box opened while a robot report was handled: " + text + "; " + History());
            Nested();  // the box's own message loop runs
            if ((type & MB_TYPEMASK) == MB_YESNO)
                return m_in.ConsumeBool() ? IDYES : IDNO;
            // Unsaved steps at a close: Yes would open a save dialog.
            if ((type & MB_TYPEMASK) == MB_YESNOCANCEL)
                return m_in.ConsumeBool() ? IDNO : IDCANCEL;
            return IDOK;
        };
    }

    void Run()
    {
        while (m_in.remaining_bytes() > 0) {
            Act();
            CheckHolds("after " + m_last);
            if (m_runStopped && m_desk.Check(IDC_RUN) == BST_CHECKED)
                fuzz::Broken("RUN was checked again, not by a click; " + History());
            WatchRun();
        }
        if (m_mouseDown && m_in.ConsumeBool()) {
            m_desk.Release(IDC_STATUS);
            CheckHolds("after the last release");
        }
        m_last = m_mouseDown ? "closing the panel with the mouse held" : "closing the panel";
        m_panel.Close();
        for (int id : m_moving)
            fuzz::Broken("joint " + std::to_string(id) + " was started and never stopped; " + History());
    }

private:
    static fuzz::Panel::State StartState(FuzzedDataProvider& in)
    {
        switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0: return fuzz::Panel::State::Open;
        case 1: return fuzz::Panel::State::Attached;
        default: return fuzz::Panel::State::Operating;
        }
    }

    void Track(const std::string& command)
    {
        if (command.starts_with("ALTER CALL ") && command.ends_with(" HANGUP"))
            m_linkEnding = true;  // a close-down is under way
        m_history.push_back(command.substr(command.find('$') == std::string::npos ? 0 : command.find('$') + 1));
        if (m_history.size() > 40)
            m_history.pop_front();
        int id = 0;
        if (size_t at = command.find(kStart);
            at != std::string::npos && std::sscanf(command.c_str() + at + sizeof kStart - 1, "%d", &id) == 1)
            m_moving.insert(id);
        else if (size_t at = command.find(kStop);
                 at != std::string::npos && std::sscanf(command.c_str() + at + sizeof kStop - 1, "%d", &id) == 1)
            m_moving.erase(id);
    }

    Source Handling() const { return m_handling.empty() ? Source::kOperator : m_handling.back(); }

    // RUN unchecked sends no target but the operator's own; a step end sends the
    // highlighted line's.
    void CheckTarget(const std::string& command)
    {
        size_t at = command.find(kTarget);
        if (at == std::string::npos)
            return;
        const std::string sent = command.substr(at + 4);
        const Source source = Handling();
        WatchRun();
        if (source != Source::kTargetClick && m_runStopped)
            fuzz::Broken("a target went out after RUN was unchecked: " + sent + "; " + History());
        if (source != Source::kStepEnd)
            return;
        if (m_linkEnding)
            fuzz::Broken("a step end sent " + sent + " after the call ended; " + History());
        const std::vector<std::string> lines = m_desk.Lines();
        const int line = m_desk.Selection();
        std::optional<StepLine> step;
        if (line >= 0 && line < int(lines.size()))
            step = ParseStepLine(lines[size_t(line)]);
        std::optional<std::string> expected = step ? StepTargetCommand(*step) : std::nullopt;
        if (sent != expected)
            fuzz::Broken("a step end sent " + sent + ", not the step of line " + std::to_string(line) + " (" +
                         (line >= 0 && line < int(lines.size()) ? lines[size_t(line)] : "none") + "); " + History());
    }

    // Once RUN shows unchecked, only the operator's click checks it again.
    void WatchRun()
    {
        if (m_desk.Check(IDC_RUN) != BST_CHECKED)
            m_runStopped = true;
    }

    // Skype's notice, its handling marked; what it posts runs after it unless
    // another of Skype's sends comes first.
    void DeliverNotice(const std::string& text, bool thenPosted = true)
    {
        if (text.find("STATUS FINISHED") != std::string::npos)
            m_linkEnding = true;
        m_handling.push_back(m_noticeSource);
        COPYDATASTRUCT record{0, DWORD(text.size() + 1), const_cast<char*>(text.c_str())};
        m_desk.Deliver(m_desk.Panel(), WM_COPYDATA, WPARAM(m_desk.SkypeWindow()), LPARAM(&record));
        m_handling.pop_back();
        if (thenPosted)
            m_desk.Pump();
    }

    std::string History() const
    {
        std::string out = "the last action: " + m_last + "; the last commands:";
        for (const std::string& c : m_history)
            out += "\n    " + c;
        return out;
    }

    void CheckHolds(const std::string& when)
    {
        for (int id : m_moving)
            if (m_desk.Capture() != m_desk.Item(id))
                fuzz::Broken("joint " + std::to_string(id) + " still moves " + when +
                             ", but its button does not hold the mouse; " + History());
    }

    // Sets m_noticeSource to what the text is.
    std::string Notice()
    {
        char report[120];
        const int kind = m_in.ConsumeIntegralInRange(0, 14);
        m_noticeSource = kind == 1 ? Source::kStepEnd : kind <= 5 ? Source::kRobotReport : Source::kOther;
        switch (kind) {
        case 0:
            std::snprintf(report, sizeof report, "WMRP_D|X%dY%dZ%dP%dR%dG%d", m_in.ConsumeIntegral<int16_t>(),
                          m_in.ConsumeIntegral<int16_t>(), m_in.ConsumeIntegral<int16_t>(),
                          m_in.ConsumeIntegral<int16_t>(), m_in.ConsumeIntegral<int16_t>(),
                          m_in.ConsumeIntegral<int16_t>());
            return RobotNotice(report, m_panel->Link().StreamId());
        case 1: return RobotNotice("WMRP_SE", m_panel->Link().StreamId());
        case 2: return RobotNotice("WMRSS|RoBoT_ReAdY", m_panel->Link().StreamId());
        case 3: return RobotNotice("WMRSS|RoBoT_TiMeOuT", m_panel->Link().StreamId());
        case 4: return RobotNotice("WMRD_U|*arm ready", m_panel->Link().StreamId());
        case 5: return RobotNotice("WMIT_D", m_panel->Link().StreamId());
        case 6: return "CALL 17 VIDEO_RECEIVE_STATUS RUNNING";
        case 7: return "CALL 17 VIDEO_RECEIVE_STATUS REJECTED";
        case 8: return "USERSTATUS LOGGEDOUT";
        case 9: return "USERSTATUS ONLINE";
        case 10: return "CALL 17 STATUS FINISHED";
        case 11: return "APPLICATION remotecontrol STREAMS ";
        case 12:
            return "APPLICATION remotecontrol STREAMS orvanta.robot:" +
                std::to_string(m_in.ConsumeIntegralInRange(1, 3));
        case 13: return "CALL 17 DURATION 5";
        default: return m_in.ConsumeRandomLengthString(64);
        }
    }

    // What Skype or the window system does while the panel waits: inside a
    // send or while a box is up.
    void Nested()
    {
        if (m_nested.empty())
            return;
        int kind = m_nested.front();
        m_nested.pop_front();
        if (kind == 0) {
            DeliverNotice(Notice());
            return;
        }
        m_handling.push_back(Source::kOther);
        switch (kind) {
        case 1: m_desk.Attach(kAttachStatuses[m_in.ConsumeIntegralInRange<size_t>(0, 4)]); break;
        case 2: m_desk.TakeCapture(); break;
        default: m_desk.Deactivate(); break;
        }
        m_handling.pop_back();
    }

    void Click(int id)
    {
        m_last = "click on " + testsupport::ControlName(id);
        if (id == IDC_RUN && m_desk.Enabled(IDC_RUN) && m_desk.Check(IDC_RUN) != BST_CHECKED) {
            m_runStopped = false;  // the click checks it before its handler runs
            m_linkEnding = false;
        }
        m_handling.push_back(id == IDC_MOVE_XYZ || id == IDC_STEP ? Source::kTargetClick : Source::kOperator);
        m_desk.Click(id);
        m_handling.pop_back();
    }

    int Jog() { return IDC_BASE_PLUS + m_in.ConsumeIntegralInRange(0, IDC_HAND_OPEN - IDC_BASE_PLUS); }

    void Act()
    {
        switch (m_in.ConsumeIntegralInRange(0, 13)) {
        case 0:
        case 1: {
            // The mouse goes down on a jog button, or up over any control.
            int id = m_mouseDown ? IDC_BASE_PLUS + m_in.ConsumeIntegralInRange(0, 45) : Jog();
            m_last = (m_mouseDown ? "release over " : "press on ") + testsupport::ControlName(id);
            if (m_mouseDown)
                m_desk.Release(id);
            else
                m_desk.Press(id);
            m_mouseDown = !m_mouseDown;
            break;
        }
        case 2:
            if (!m_mouseDown) {
                int id = Jog();
                m_last = "double-click's press on " + testsupport::ControlName(id);
                m_desk.DoubleClickPress(id);
                m_mouseDown = true;
            }
            break;
        case 3:
            if (!m_mouseDown)
                Click(kClicked[m_in.ConsumeIntegralInRange<size_t>(0, std::size(kClicked) - 1)]);
            break;
        case 4:
            m_last = "capture taken";
            m_desk.TakeCapture();
            break;
        case 5:
            m_last = "panel deactivated";
            m_desk.Deactivate();
            break;
        case 6:
            m_last = "tick";
            m_desk.Tick(m_in.ConsumeIntegralInRange(1, 3));
            break;
        case 7: {
            std::string text = Notice();
            m_last = "notice " + text;
            DeliverNotice(text);
            break;
        }
        case 8: {
            LPARAM status = kAttachStatuses[m_in.ConsumeIntegralInRange<size_t>(0, 4)];
            m_last = "attach answer " + std::to_string(status);
            m_desk.Attach(status);
            break;
        }
        case 9: {
            int id = kTyped[m_in.ConsumeIntegralInRange<size_t>(0, std::size(kTyped) - 1)];
            m_last = "typing into " + testsupport::ControlName(id);
            m_desk.Type(id, kTexts[m_in.ConsumeIntegralInRange<size_t>(0, std::size(kTexts) - 1)]);
            break;
        }
        case 10:
            if (!m_mouseDown) {
                m_last = "line selected";
                m_desk.SelectLine(m_in.ConsumeIntegralInRange(0, 4));
            }
            break;
        case 11:
            m_last = "Skype quit and started again";
            m_desk.QuitSkype();
            m_moving.clear();
            m_desk.StartSkype();
            break;
        case 12: {
            // Playing and recording: their buttons, the lines they go through,
            // and the robot's step ends.
            if (m_mouseDown)
                break;
            const size_t pick = m_in.ConsumeIntegralInRange<size_t>(0, std::size(kPlaying) + 2);
            if (pick < std::size(kPlaying)) {
                Click(kPlaying[pick]);
            } else if (pick == std::size(kPlaying)) {
                m_last = "line selected";
                m_desk.SelectLine(m_in.ConsumeIntegralInRange(0, 4));
            } else if (pick == std::size(kPlaying) + 1) {
                m_last = "step end";
                m_noticeSource = Source::kStepEnd;
                DeliverNotice(RobotNotice("WMRP_SE", m_panel->Link().StreamId()));
            } else {
                // Skype's sends come before the panel's posted messages: the
                // step end is handled before the end the call's notice posted.
                m_last = "the call's end and a step end in a row";
                m_noticeSource = Source::kOther;
                DeliverNotice("CALL 17 STATUS FINISHED", false);
                m_noticeSource = Source::kStepEnd;
                DeliverNotice(RobotNotice("WMRP_SE", m_panel->Link().StreamId()));
            }
            break;
        }
        default: m_nested.push_back(m_in.ConsumeIntegralInRange(0, 3)); break;
        }
    }

    FuzzedDataProvider& m_in;
    fuzz::Panel m_panel;
    SkypeDesktop& m_desk;
    std::deque<int> m_nested;
    std::set<int> m_moving;
    std::deque<std::string> m_history;
    std::vector<Source> m_handling;
    Source m_noticeSource = Source::kOther;
    bool m_runStopped = true;
    // The call ended or a close-down began since the operator last checked RUN.
    bool m_linkEnding = false;
    std::string m_last = "none";
    bool m_mouseDown = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    Session(in).Run();
    return 0;
}
