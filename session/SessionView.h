// What the operator session asks of its view: the effects of the operator's
// intents and of the link's news. The session knows no window; the panel is
// one view, a test's recording fake another.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "PanelForm.h"

class ISessionView {
public:
    // The groups of controls the session switches together; the view knows
    // their members and the order they are switched in.
    enum class Group {
        kLink,     // what needs the link to the robot: the motion controls, Connect, RUN, REC ...
        kRecLock,  // what recording locks: the step editing, the files, RUN and the moves
        kConnect,  // Connect and Disconnect, once the robot says it is ready
    };
    enum class BoxKind {
        kError,        // a stop icon, OK
        kInfo,         // an information icon, OK
        kYesNo,        // a question
        kYesNoCancel,  // a question that may be called off
    };
    enum class Answer { kOk, kYes, kNo, kCancel };

    // Reads the boxes of the parts named (typed parts only) into form, in the
    // order they stand on the panel; false when one holds no number: the read
    // stopped there, and the values after it are as they were. A read the
    // operator asked for gives that box the focus with a beep; any other read is
    // silent.
    virtual bool Read(PanelForm& form, unsigned parts, bool asked) = 0;
    // Shows the parts of the form named, and no other.
    virtual void Show(const PanelForm& form, unsigned parts) = 0;
    virtual void EnableGroup(Group group, bool enable) = 0;

    // A box, modal: the operator's answer. caption null: the program's name.
    virtual Answer Box(const char* text, const char* caption, BoxKind kind) = 0;
    // The session has work to do once the message under way has been answered
    // (a box, the end of the experiment): the view calls RunPosted once for
    // each call of this, later, from its own message loop.
    virtual void Post() = 0;
    // The file dialogs: a path, or empty when the operator cancelled.
    virtual std::filesystem::path AskFile(bool open) = 0;

    // The step list as the view shows it, line for line; the selection is -1
    // for none.
    virtual void ShowStepsCleared() = 0;
    virtual void ShowStepInserted(int at, const std::string& line) = 0;
    virtual void ShowStepDeleted(int at) = 0;
    virtual void ShowSelection(int at) = 0;
    // A whole list at once (a file read): fileSize helps the view make room.
    virtual void ShowStepsLoaded(const std::vector<std::string>& lines, long long fileSize, int selected) = 0;

    virtual void StartTimer(unsigned id, unsigned periodMs) = 0;
    virtual void StopTimer(unsigned id) = 0;
    // A jog button held lets go: its stop goes out now.
    virtual void CancelJog() = 0;
    // Blocks the whole program.
    virtual void Wait(unsigned ms) = 0;

protected:
    ~ISessionView() = default;
};
