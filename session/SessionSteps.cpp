// The operator session's steps: the list as the operator edits it, playback,
// recording, and the trajectory files behind LOAD and SAVE. The check boxes'
// states arrive with their clicks, so that no step end after a click plays or
// records on.
#include <array>

#include "Files.h"
#include "PlaybackOrder.h"
#include "RobotSession.h"
#include "TrajectoryFile.h"

namespace {
const char kRecQuestion[] = "This command will clear the previous steps.\n\nAre you sure to continue?.";
const char kUnsavedQuestion[] = "The trajectory has changes that are not saved.\n\nSave them?";
}  // namespace

// --- The list

// As a list box takes a selection: an index outside the list selects nothing.
int CRobotSession::LineOrNone(int at) const { return at >= 0 && at < m_steps.Count() ? at : -1; }

void CRobotSession::Select(int at)
{
    m_selected = LineOrNone(at);
    m_view.ShowSelection(at);
}

void CRobotSession::InsertStep(int at, const std::string& line)
{
    m_steps.Insert(at, line);
    m_view.ShowStepInserted(at, line);
    Select(at);
}

std::array<double, 7> CRobotSession::SetStepValues() const
{
    const RobotPose& s = m_form.set;
    return {s.x, s.y, s.z, s.pitch, s.roll, s.hand, m_form.speed};
}

std::string CRobotSession::FormatSetStep() const { return FormatStepLine(SetStepValues().data(), m_form.note); }

// A line is written only from a form read whole, only when it reads back (a
// line that does not would be skipped by LOAD and by playback), and only when
// its target can be sent (playback would stop at it).
bool CRobotSession::StepFits(const char* refusal)
{
    const std::array<double, 7> values = SetStepValues();
    if (StepValuesFit(values.data())) {
        std::optional<StepLine> step = ParseStepLine(FormatStepLine(values.data(), std::string()));
        if (step && StepTargetCommand(*step))
            return true;
    }
    m_view.Box(refusal, nullptr, BoxKind::kInfo);
    return false;
}

unsigned CRobotSession::TakeStep(const StepLine& step)
{
    const int* v = step.values;
    m_form.set = {double(v[0]), double(v[1]), double(v[2]), double(v[3]), double(v[4]), double(v[5])};
    m_form.speed = step.values[6];
    if (!step.hasNote)
        return kFormSetPose | kFormSpeed;
    m_form.note = step.note;
    return kFormSetPose | kFormSpeed | kFormNote;
}

// Inserts after the highlighted line (at the top when none) and highlights the new one.
void CRobotSession::Add()
{
    if (!m_view.Read(m_form, kFormTyped, true) || !StepFits("The step is out of range and was not added."))
        return;
    InsertStep(m_selected + 1, FormatSetStep());
}

// The line that moves up takes the highlight; none when the last line went.
void CRobotSession::Del()
{
    const int selected = m_selected;
    if (selected >= 0) {
        m_steps.Erase(selected);
        m_view.ShowStepDeleted(selected);
    }
    Select(selected);
}

void CRobotSession::Chg()
{
    if (!m_view.Read(m_form, kFormTyped, true))
        return;
    const int selected = m_selected;
    if (selected < 0 || !StepFits("The step is out of range and was not changed."))
        return;
    std::string line = FormatSetStep();
    m_steps.Replace(selected, line);
    m_view.ShowStepDeleted(selected);
    m_view.ShowStepInserted(selected, line);
    Select(selected);
}

// The operator chose a line. Only the boxes the step changes are written: a box
// the operator is typing in that the step does not fill keeps what it shows.
void CRobotSession::SelectStep(int index)
{
    m_selected = LineOrNone(index);
    unsigned parts = kFormNews;
    if (std::optional<StepLine> step = m_steps.Step(m_selected))
        parts |= TakeStep(*step);
    m_view.Show(m_form, parts);
}

// --- Recording and playback

// REC on reads the form first: a form that cannot be read starts nothing and
// changes nothing. Recording starts only once the question is answered Yes;
// nothing records while it is up.
void CRobotSession::Rec(bool checked)
{
    if (!checked) {
        m_form.rec = false;
        m_view.EnableGroup(ISessionView::Group::kRecLock, true);
        return;
    }
    if (!m_view.Read(m_form, kFormTyped, true) || !Ask(kRecQuestion)) {
        m_view.Show(m_form, kFormRec);
        return;
    }
    m_form.rec = true;
    m_form.set = m_form.read;  // the current pose becomes the first step
    m_view.Show(m_form, kFormAll);
    m_steps.Clear();
    m_selected = -1;
    m_view.ShowStepsCleared();
    Add();
    m_view.EnableGroup(ISessionView::Group::kRecLock, false);
}

// RUN on plays the highlighted step: it is loaded into the Set values, as a
// choice of its line loads it, and sent; each step end then plays the next one.
// With no line highlighted the Set values are sent as they are, and the first
// step end goes on with line 0. A form that cannot be read, or a target that
// cannot be sent, starts nothing, and RUN shows it.
void CRobotSession::Run(bool checked)
{
    m_form.run = checked;
    if (!checked || m_steps.Count() < 1)
        return;
    if (!m_view.Read(m_form, kFormTyped, true)) {
        EndPlayback();
        return;
    }
    if (std::optional<StepLine> step = m_steps.Step(m_selected))
        TakeStep(*step);
    m_view.Show(m_form, kFormAll);
    std::optional<std::string> command = CartesianTargetCommand(WholeTarget(m_form.set), WholeSpeed(m_form.speed));
    if (!command) {
        EndPlayback();  // before the box: a step end while it is up plays nothing
        m_view.Box(kNotSent, nullptr, BoxKind::kInfo);
        return;
    }
    SendPlayedTarget(*command);
}

// Only highlights: the step is not loaded into the Set values (RUN loads it).
void CRobotSession::Backward(bool checked)
{
    m_form.backward = checked;
    Select(checked ? m_steps.Count() - 1 : 0);
}

void CRobotSession::OnStepEnd()
{
    if (m_form.run)
        PlayNextStep();
    else if (m_form.rec)
        RecordStep();
}

// The next line is highlighted, loaded into the Set values and sent. A line that
// does not read, or whose target cannot be sent, ends the playback there; the
// operator is told of the second by a box once this report has been handled.
void CRobotSession::PlayNextStep()
{
    std::optional<int> next = NextPlaybackLine(m_selected, m_steps.Count(), m_form.backward);
    if (!next) {
        EndPlayback();
        return;
    }
    Select(*next);
    std::optional<StepLine> step = m_steps.Step(*next);
    if (!step) {
        EndPlayback();
        return;
    }
    m_view.Show(m_form, kFormNews | TakeStep(*step));
    std::optional<std::string> command = StepTargetCommand(*step);
    if (!command) {
        EndPlayback();
        Post({false, kNotSent, {}, BoxKind::kInfo});
        return;
    }
    SendPlayedTarget(*command);
}

// Playback's own send, apart from the operator's Move To XYZ.
void CRobotSession::SendPlayedTarget(const std::string& command)
{
    if (m_bControlsEnabled)
        SendDatagram(command.c_str());
}

// Every step end appends one step after the highlighted line: the pose the
// robot reported, with the last speed and note that could be read (a silent
// read: the operator may be half-way through typing). A speed whose step could
// not be played takes that of the step before.
void CRobotSession::RecordStep()
{
    m_view.Read(m_form, kFormNote | kFormSpeed, false);
    const int at = m_selected + 1;
    const RobotPose& r = m_form.read;
    double values[7] = {r.x, r.y, r.z, r.pitch, r.roll, r.hand, m_form.speed};
    std::string line = FormatStepLine(values, m_form.note);
    std::optional<StepLine> step = ParseStepLine(line);
    if (!step || !StepTargetCommand(*step)) {
        std::optional<StepLine> before = m_steps.Step(at - 1);
        values[6] = before ? before->values[6] : 0;
        line = FormatStepLine(values, m_form.note);
        if (!ParseStepLine(line))
            return;
    }
    InsertStep(at, line);
}

// --- Files

void CRobotSession::Load()
{
    if (!MayDiscardSteps())
        return;
    const std::filesystem::path path = m_view.AskFile(true);
    if (path.empty())
        return;

    TrajectoryRead file = ReadTrajectory(path);
    if (file.result == TrajectoryRead::kMissing) {
        // A new trajectory: its ".txt" file is made empty, but an existing one is
        // never touched.
        std::filesystem::path created = path;
        created += ".txt";
        CreateTrajectoryIfMissing(created);
        m_steps.Clear();
        m_steps.Unchanged();
        m_selected = -1;
        m_view.ShowStepsCleared();
        return;
    }
    if (file.result != TrajectoryRead::kRead) {
        // The file is there: neither it nor the steps shown are thrown away.
        m_view.Box(TrajectoryReadFailure(path, file).c_str(), nullptr, BoxKind::kError);
        return;
    }
    // The form takes the last step's values, but the boxes still show what they
    // showed: nothing is written to them.
    m_steps.Clear();
    for (const StepLine& step : file.steps) {
        TakeStep(step);
        m_steps.Append(RewriteStepLine(step));
    }
    m_steps.Unchanged();
    m_selected = LineOrNone(0);
    m_view.ShowStepsLoaded(m_steps.Lines(), file.size, 0);
}

// A failed save leaves the previous file as it was, and says so.
bool CRobotSession::SaveSteps()
{
    std::filesystem::path path = m_view.AskFile(false);
    if (path.empty())
        return false;
    if (path.native().find(std::filesystem::path(".txt").native()) == std::filesystem::path::string_type::npos)
        path += ".txt";
    if (SaveTrajectory(path, m_steps.Lines())) {
        m_steps.Unchanged();
        return true;
    }
    const std::string text = "The trajectory could not be saved to " + os::PathText(path) + ".";
    m_view.Box(text.c_str(), nullptr, BoxKind::kError);
    return false;
}

// Yes saves through SAVE's dialog and goes on only once the steps are saved;
// No goes on; Cancel stops.
bool CRobotSession::MayDiscardSteps()
{
    if (!m_steps.Changed())
        return true;
    switch (m_view.Box(kUnsavedQuestion, nullptr, BoxKind::kYesNoCancel)) {
    case ISessionView::Answer::kYes: return SaveSteps();
    case ISessionView::Answer::kNo: return true;
    default: return false;
    }
}
