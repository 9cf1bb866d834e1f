// The operator session: the link's news, the robot's reports and the
// operator's moves. Steps, playback, recording and files: SessionSteps.cpp.
#include "RobotSession.h"

#include <utility>

// --- The link's news

void CRobotSession::ShowStatus(const char* text)
{
    m_form.status = text;
    m_view.Show(m_form, kFormNews);
}

void CRobotSession::EnableLinkControls(int enable)
{
    m_bControlsEnabled = (enable & 0xFF) == 1;
    m_view.EnableGroup(ISessionView::Group::kLink, enable != 0);
}

void CRobotSession::ShowBox(const char* text, const char* caption, Box kind)
{
    m_view.Box(text, caption, kind == Box::kError ? BoxKind::kError : BoxKind::kInfo);
}

void CRobotSession::PostBox(const char* text, const char* caption, Box kind)
{
    Post({false, text, caption, kind == Box::kError ? BoxKind::kError : BoxKind::kInfo});
}

// The experiment is over once Skype says so, though its end shows only after
// the notice has been answered: a step end in between plays nothing.
void CRobotSession::PostExperimentEnd()
{
    if (m_form.run)
        EndPlayback();
    Post({true, {}, {}, BoxKind::kInfo});
}

// Every close-down (Disconnect, the end of the experiment, the window going)
// begins here: a held jog stops, and so does a playback, before the robot is
// told we leave.
void CRobotSession::CancelJog()
{
    m_view.CancelJog();
    if (m_form.run)
        EndPlayback();
}

void CRobotSession::Post(Posted posted)
{
    m_posted.push_back(std::move(posted));
    m_view.Post();
}

// Another program's message of the view's number finds nothing due and does nothing.
void CRobotSession::RunPosted()
{
    if (m_posted.empty())
        return;
    Posted posted = std::move(m_posted.front());
    m_posted.pop_front();
    if (posted.experimentEnd)
        m_link.RunExperimentEnd();
    else
        m_view.Box(posted.text.c_str(), posted.caption.empty() ? nullptr : posted.caption.c_str(), posted.kind);
}

// Nothing here puts up a box: the report may be inside Skype's own send.
void CRobotSession::ShowRobotReport(const RobotReport& report)
{
    switch (report.kind) {
    case RobotReport::kPosition: {
        m_form.read = report.pose;
        unsigned parts = kFormNews;
        if (m_form.rec) {
            m_form.set = m_form.read;  // while recording, the targets follow the robot
            parts |= kFormSetPose;
        }
        m_view.Show(m_form, parts);
        break;
    }
    case RobotReport::kReady: m_view.EnableGroup(ISessionView::Group::kConnect, true); break;
    case RobotReport::kText:
        m_form.robotText = report.text;
        m_view.Show(m_form, kFormNews);
        break;
    case RobotReport::kStepEnd: OnStepEnd(); break;
    case RobotReport::kRequest: SendDatagram(kRequestAnswer); break;
    case RobotReport::kNone: break;
    }
}

// --- The operator's moves

void CRobotSession::JogStart(int jogId)
{
    EndPlaybackForOperatorMove();
    SendDatagram(JogStartCommand(jogId).c_str());
}

void CRobotSession::JogStop(int jogId) { SendDatagram(JogStopCommand(jogId).c_str()); }

// Move To XYZ and STEP. The targets go out in whole millimetres and degrees;
// the form keeps what the operator typed. A form that cannot be read sends
// nothing and is left as typed: part of it would be old values.
void CRobotSession::MoveTo()
{
    EndPlaybackForOperatorMove();
    if (!m_view.Read(m_form, kFormTyped, true))
        return;
    const RobotPose target = WholeTarget(m_form.set);
    const double speed = WholeSpeed(m_form.speed);
    m_view.Show(m_form, kFormAll);
    SendCartesianTarget(target, speed);
}

// Sent only while the link controls are on. A value that cannot be encoded is
// never sent wrapped: the whole target is dropped and the operator told.
void CRobotSession::SendCartesianTarget(const RobotPose& target, double speed)
{
    if (!m_bControlsEnabled)
        return;
    std::optional<std::string> command = CartesianTargetCommand(target, speed);
    if (!command) {
        m_view.Box(kNotSent, nullptr, BoxKind::kInfo);
        return;
    }
    SendDatagram(command->c_str());
}

void CRobotSession::Calibrate()
{
    if (!Ask("This command will reset the current position\nas the home position.\n\nAre you sure to continue?."))
        return;
    EndPlaybackForOperatorMove();
    SendDatagram(kSetHomeCommand);
}

void CRobotSession::GoHome()
{
    if (!Ask("This command will let robot move to its home position\n\nAre you sure to continue?."))
        return;
    EndPlaybackForOperatorMove();
    SendDatagram(kGoHomeCommand);
}

// A move of the operator's own takes over from a playback: RUN shows unchecked,
// and the step end that follows is that move's, which plays nothing. (A step the
// robot could not reach ends no step, so without this a playback stalled there
// would wake up on the end of the operator's next move.)
void CRobotSession::EndPlaybackForOperatorMove()
{
    if (m_form.run)
        EndPlayback();
}

void CRobotSession::EndPlayback()
{
    m_form.run = false;
    m_view.Show(m_form, kFormRun);
}
