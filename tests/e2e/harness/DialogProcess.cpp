#include "DialogProcess.h"

#include <sstream>

#include "Text.h"

namespace e2e {

namespace {

bool IsDialogClass(HWND hwnd)
{
    wchar_t name[16] = {};
    GetClassNameW(hwnd, name, 16);
    return std::wstring_view(name) == L"#32770";
}

}  // namespace

std::wstring BesideTestProgram(std::wstring_view fileName)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    path.erase(path.find_last_of(L"\\/") + 1);
    return path + std::wstring(fileName);
}

std::vector<HWND> ProcessDialogs(DWORD pid)
{
    struct Search {
        DWORD pid;
        std::vector<HWND> found;
    } search{pid, {}};
    EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            if (owner == s.pid && IsWindowVisible(hwnd) && IsDialogClass(hwnd))
                s.found.push_back(hwnd);
            return TRUE;
        },
        LPARAM(&search));
    return search.found;
}

DialogProcess::DialogProcess(std::wstring program, std::string mainCaption) : mainCaption_(std::move(mainCaption))
{
    bool bare = program.find_first_of(L"\\/:") == std::wstring::npos;
    path_ = bare ? BesideTestProgram(program) : program;
}

DialogProcess::~DialogProcess()
{
    kill();
    if (process_.hProcess)
        CloseHandle(process_.hProcess);
    if (process_.hThread)
        CloseHandle(process_.hThread);
}

::testing::AssertionResult DialogProcess::start(std::wstring_view arguments, Millis timeout)
{
    if (process_.hProcess)
        return ::testing::AssertionFailure() << "started twice";
    if (GetFileAttributesW(path_.c_str()) == INVALID_FILE_ATTRIBUTES)
        return ::testing::AssertionFailure() << "no program " << Narrow(path_);
    std::wstring commandLine = L"\"" + path_ + L"\"";
    if (!arguments.empty())
        commandLine += L" " + std::wstring(arguments);
    std::wstring folder = path_.substr(0, path_.find_last_of(L"\\/") + 1);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(path_.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &process_))
        return ::testing::AssertionFailure() << "cannot start " << Narrow(path_) << ", error " << GetLastError();
    pid_ = process_.dwProcessId;

    HWND found = nullptr;
    bool ended = false;
    WaitUntil(
        [&] {
            if (!running()) {
                ended = true;
                return true;
            }
            for (HWND hwnd : ProcessDialogs(pid_)) {
                if (RemoteDialog(hwnd).caption() == mainCaption_) {
                    found = hwnd;
                    return true;
                }
            }
            return false;
        },
        timeout);
    if (ended)
        return ::testing::AssertionFailure()
            << Narrow(path_) << " ended during start-up with exit code " << exitCode().value_or(0);
    if (!found)
        return ::testing::AssertionFailure() << "no window " << Quoted(mainCaption_) << " of " << Narrow(path_)
                                             << " within " << timeout.count() << " ms";
    // Sent messages are taken only once the thread pumps again.
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(found, WM_NULL, 0, 0, SMTO_NORMAL, UINT(timeout.count()), &ignored))
        return ::testing::AssertionFailure()
            << "the window " << Quoted(mainCaption_) << " showed but its program does not answer";
    main_ = RemoteDialog(found);
    return ::testing::AssertionSuccess();
}

bool DialogProcess::running() const
{
    return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

std::vector<RemoteDialog> DialogProcess::dialogs() const
{
    std::vector<RemoteDialog> found;
    if (!pid_)
        return found;
    for (HWND hwnd : ProcessDialogs(pid_)) {
        if (hwnd != main_.hwnd())
            found.emplace_back(hwnd);
    }
    return found;
}

RemoteDialog DialogProcess::findDialog(std::string_view caption) const
{
    return findDialogWhere([&](const RemoteDialog& dialog) { return caption.empty() || dialog.caption() == caption; });
}

RemoteDialog DialogProcess::waitForDialog(std::string_view caption, Millis timeout) const
{
    RemoteDialog found;
    WaitUntil([&] { return bool(found = findDialog(caption)); }, timeout);
    return found;
}

RemoteDialog DialogProcess::findDialogWhere(const DialogMatch& match) const
{
    for (const RemoteDialog& dialog : dialogs()) {
        if (match(dialog))
            return dialog;
    }
    return {};
}

RemoteDialog DialogProcess::waitForDialogWhere(const DialogMatch& match, Millis timeout) const
{
    RemoteDialog found;
    WaitUntil([&] { return bool(found = findDialogWhere(match)); }, timeout);
    return found;
}

std::string DialogProcess::describeWindows() const
{
    struct Search {
        DWORD pid;
        std::ostringstream out;
    } search{pid_, {}};
    search.out << "windows of process " << pid_ << ":";
    EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            if (owner == s.pid) {
                RemoteDialog window(hwnd);
                s.out << "\n  " << window.className() << " " << Quoted(window.caption())
                      << (IsWindowVisible(hwnd) ? " visible" : " hidden");
            }
            return TRUE;
        },
        LPARAM(&search));
    return search.out.str();
}

::testing::AssertionResult DialogProcess::noDialogOpen() const
{
    auto open = dialogs();
    if (open.empty())
        return ::testing::AssertionSuccess();
    auto failure = ::testing::AssertionFailure();
    failure << open.size() << " dialog(s) open:";
    for (const RemoteDialog& dialog : open)
        failure << "\n" << dialog.describe();
    return failure;
}

::testing::AssertionResult DialogProcess::waitForExit(Millis timeout)
{
    if (!process_.hProcess)
        return ::testing::AssertionFailure() << "never started";
    return WaitFor(
        Narrow(path_) + " to end", [&] { return !running(); }, timeout);
}

std::optional<DWORD> DialogProcess::exitCode() const
{
    DWORD code = 0;
    if (!process_.hProcess || running() || !GetExitCodeProcess(process_.hProcess, &code))
        return std::nullopt;
    return code;
}

void DialogProcess::kill()
{
    if (!running())
        return;
    TerminateProcess(process_.hProcess, 0xDEAD);
    WaitForSingleObject(process_.hProcess, 10000);
}

}  // namespace e2e
