#include "SessionFixture.h"

#include "TempFolder.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <utility>

#include "DataExchange.h"
#include "SkypeApi.h"

namespace {

// In the order the panel reads them.
struct BoxField {
    TypedBox box;
    const char* name;
    unsigned part;
};
const BoxField kReadOrder[] = {
    {TypedBox::kPitch, "pitch", kFormSetPose}, {TypedBox::kRoll, "roll", kFormSetPose},
    {TypedBox::kX, "x", kFormSetPose},         {TypedBox::kY, "y", kFormSetPose},
    {TypedBox::kZ, "z", kFormSetPose},         {TypedBox::kHand, "hand", kFormSetPose},
    {TypedBox::kNote, "note", kFormNote},      {TypedBox::kSpeed, "speed", kFormSpeed},
};

double* NumberOf(PanelForm& form, TypedBox box)
{
    switch (box) {
    case TypedBox::kX: return &form.set.x;
    case TypedBox::kY: return &form.set.y;
    case TypedBox::kZ: return &form.set.z;
    case TypedBox::kPitch: return &form.set.pitch;
    case TypedBox::kRoll: return &form.set.roll;
    case TypedBox::kHand: return &form.set.hand;
    case TypedBox::kSpeed: return &form.speed;
    case TypedBox::kNote: break;
    }
    return nullptr;
}

std::string Parts(unsigned parts)
{
    static const std::pair<unsigned, const char*> names[] = {
        {kFormNews, "news"}, {kFormSetPose, "set"}, {kFormNote, "note"},         {kFormSpeed, "speed"},
        {kFormRec, "rec"},   {kFormRun, "run"},     {kFormBackward, "backward"},
    };
    std::string out;
    for (const auto& [part, name] : names)
        if (parts & part)
            out += (out.empty() ? "" : "+") + std::string(name);
    return out;
}

std::string Number(double value) { return FormatDouble(value).str(); }

const char* AnswerName(ISessionView::Answer answer)
{
    switch (answer) {
    case ISessionView::Answer::kOk: return "ok";
    case ISessionView::Answer::kYes: return "yes";
    case ISessionView::Answer::kNo: return "no";
    case ISessionView::Answer::kCancel: return "cancel";
    }
    return "?";
}

}  // namespace

std::map<TypedBox, std::string> RecordingView::StartBoxes()
{
    return {{TypedBox::kX, "0"},    {TypedBox::kY, "0"},    {TypedBox::kZ, "0"},   {TypedBox::kPitch, "-90"},
            {TypedBox::kRoll, "0"}, {TypedBox::kHand, "0"}, {TypedBox::kNote, ""}, {TypedBox::kSpeed, "200"}};
}

void RecordingView::Reset()
{
    log.clear();
    typed = StartBoxes();
    onCommand = nullptr;
    onDiscover = nullptr;
    found = true;
    timers.clear();
    posted = 0;
}

void RecordingView::ExpectBox(const std::string& text, Answer answer, std::function<void()> whileOpen)
{
    m_scripts.push_back({true, text, answer, false, std::move(whileOpen)});
}

void RecordingView::ExpectFile(bool open, const std::string& path)
{
    m_scripts.push_back({false, path, Answer::kOk, open, {}});
}

void RecordingView::VerifyScriptsTaken()
{
    for (const Script& s : m_scripts)
        ADD_FAILURE() << (s.box ? "box never shown: " : "file dialog never shown: ") << testsupport::Quoted(s.text);
    m_scripts.clear();
}

bool RecordingView::Read(PanelForm& form, unsigned parts, bool asked)
{
    std::string entry = "read " + Parts(parts) + (asked ? " asked -> " : " silent -> ");
    for (const BoxField& f : kReadOrder) {
        if (!(parts & f.part))
            continue;
        const std::string& text = typed[f.box];
        if (f.box == TypedBox::kNote) {
            form.note = text;
            continue;
        }
        std::optional<double> value = ParseDouble(text);
        if (!value) {
            log.push_back(entry + f.name);
            return false;
        }
        *NumberOf(form, f.box) = *value;
    }
    log.push_back(entry + "ok");
    return true;
}

void RecordingView::Show(const PanelForm& form, unsigned parts)
{
    std::string entry = "show " + Parts(parts);
    PanelForm shown = form;
    if (parts & kFormSetPose) {
        const RobotPose& s = form.set;
        entry += " set=" + Number(s.x) + "," + Number(s.y) + "," + Number(s.z) + "," + Number(s.pitch) + "," +
            Number(s.roll) + "," + Number(s.hand);
        for (TypedBox box :
             {TypedBox::kX, TypedBox::kY, TypedBox::kZ, TypedBox::kPitch, TypedBox::kRoll, TypedBox::kHand})
            typed[box] = Number(*NumberOf(shown, box));
    }
    if (parts & kFormNote) {
        entry += " note=" + form.note;
        typed[TypedBox::kNote] = form.note;
    }
    if (parts & kFormSpeed) {
        entry += " speed=" + Number(form.speed);
        typed[TypedBox::kSpeed] = Number(form.speed);
    }
    if (parts & kFormRec)
        entry += form.rec ? " rec=1" : " rec=0";
    if (parts & kFormRun)
        entry += form.run ? " run=1" : " run=0";
    if (parts & kFormBackward)
        entry += form.backward ? " backward=1" : " backward=0";
    log.push_back(entry);
}

void RecordingView::EnableGroup(Group group, bool enable)
{
    const char* name = group == Group::kLink ? "link" : group == Group::kRecLock ? "rec-lock" : "connect";
    log.push_back(std::string("enable ") + name + (enable ? " 1" : " 0"));
}

ISessionView::Answer RecordingView::Box(const char* text, const char* caption, BoxKind kind)
{
    static const char* const kinds[] = {"error", "info", "yes-no", "yes-no-cancel"};
    std::string entry = "box ";
    if (caption)
        entry += std::string(caption) + " | ";
    entry += testsupport::Quoted(text) + " | " + kinds[int(kind)] + " -> ";
    if (m_scripts.empty() || !m_scripts.front().box || m_scripts.front().text != text) {
        ADD_FAILURE() << "unexpected box: " << testsupport::Quoted(text);
        log.push_back(entry + "ok");
        return Answer::kOk;
    }
    Script script = std::move(m_scripts.front());
    m_scripts.pop_front();
    log.push_back(entry + AnswerName(script.answer));
    if (script.whileOpen)
        script.whileOpen();
    return script.answer;
}

void RecordingView::Post()
{
    ++posted;
    log.push_back("post");
}

std::filesystem::path RecordingView::AskFile(bool open)
{
    const char* name = open ? "open-dialog -> " : "save-dialog -> ";
    if (m_scripts.empty() || m_scripts.front().box || m_scripts.front().open != open) {
        ADD_FAILURE() << "unexpected " << (open ? "open" : "save") << " dialog";
        log.push_back(name);
        return {};
    }
    std::string path = std::move(m_scripts.front().text);
    m_scripts.pop_front();
    log.push_back(name + path);
    return path;
}

void RecordingView::ShowStepsCleared() { log.push_back("list reset"); }
void RecordingView::ShowStepInserted(int at, const std::string& line)
{
    log.push_back("list insert " + std::to_string(at) + " " + line);
}
void RecordingView::ShowStepDeleted(int at) { log.push_back("list delete " + std::to_string(at)); }
void RecordingView::ShowSelection(int at) { log.push_back("list select " + std::to_string(at)); }
void RecordingView::ShowStepsLoaded(const std::vector<std::string>& lines, long long, int selected)
{
    log.push_back("list load " + std::to_string(lines.size()) + " select " + std::to_string(selected));
}

void RecordingView::StartTimer(unsigned id, unsigned periodMs)
{
    timers.insert(id);
    log.push_back("timer " + std::to_string(id) + " " + std::to_string(periodMs));
}

void RecordingView::StopTimer(unsigned id)
{
    timers.erase(id);
    log.push_back("kill timer " + std::to_string(id));
}

void RecordingView::CancelJog() { log.push_back("cancel jog"); }
void RecordingView::Wait(unsigned ms) { log.push_back("sleep " + std::to_string(ms)); }

void RecordingView::Send(const char* command)
{
    log.push_back(std::string("send ") + command);
    if (onCommand)
        onCommand(command);
}

bool RecordingView::Discover()
{
    log.push_back("broadcast");
    if (onDiscover)
        onDiscover();
    return found;
}

std::string SentDatagram(const std::string& command, int stream)
{
    return "send ALTER APPLICATION remotecontrol DATAGRAM orvanta.robot:" + std::to_string(stream) + " Msg$" + command;
}

void SessionTest::StartOver()
{
    view.VerifyScriptsTaken();
    session.reset();
    view.Reset();
    session.emplace(static_cast<ISkypeCommands&>(view), static_cast<ISessionView&>(view));
}

void SessionTest::Operating()
{
    session->Start();
    session->Skype().OnAttachAnswer(kAttachSuccess);
    Notice("APPLICATION remotecontrol STREAMS orvanta.robot:1");
    Notice("CALL 17 VIDEO_RECEIVE_STATUS RUNNING");
    Notice("CALL 17 DURATION 1");
    Flush();
}

void SessionTest::Report(const std::string& payload)
{
    Notice("APPLICATION remotecontrol DATAGRAM orvanta.robot:1 Msg$" + payload);
}

void SessionTest::RunPosted()
{
    while (view.posted > 0) {
        --view.posted;
        session->RunPosted();
    }
}

void SessionTest::Tick(int count)
{
    for (int i = 0; i < count; ++i)
        for (unsigned id : std::set<unsigned>(view.timers))
            session->Tick(id);
}

void SessionTest::LoadSteps(const Sequence& lines)
{
    const std::string path = TempFileOfLines(lines);
    view.ExpectFile(true, path);
    session->Load();
    std::remove(path.c_str());
    Flush();
}
