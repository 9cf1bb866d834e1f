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

DialogProcess::DialogProcess(std::wstring program, std::string mainCaption) : m_mainCaption(std::move(mainCaption))
{
    bool bare = program.find_first_of(L"\\/:") == std::wstring::npos;
    m_path = bare ? BesideTestProgram(program) : program;
}

DialogProcess::~DialogProcess()
{
    kill();
    if (m_process.hProcess)
        CloseHandle(m_process.hProcess);
    if (m_process.hThread)
        CloseHandle(m_process.hThread);
}

::testing::AssertionResult DialogProcess::start(std::wstring_view arguments, Millis timeout)
{
    if (m_process.hProcess)
        return ::testing::AssertionFailure() << "started twice";
    if (GetFileAttributesW(m_path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return ::testing::AssertionFailure() << "no program " << Narrow(m_path);
    std::wstring commandLine = L"\"" + m_path + L"\"";
    if (!arguments.empty())
        commandLine += L" " + std::wstring(arguments);
    std::wstring folder = m_path.substr(0, m_path.find_last_of(L"\\/") + 1);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    // Under Wine a start now and then fails with ERROR_INTERNAL_ERROR before the
    // program has run a line (seen once in three runs of the whole suite); the
    // program itself is not at fault, so the start is tried again.
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (CreateProcessW(m_path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                           &startup, &m_process)) {
            error = ERROR_SUCCESS;
            break;
        }
        error = GetLastError();
        if (error != ERROR_INTERNAL_ERROR)
            break;
    }
    if (error != ERROR_SUCCESS)
        return ::testing::AssertionFailure() << "cannot start " << Narrow(m_path) << ", error " << error;
    m_pid = m_process.dwProcessId;

    HWND found = nullptr;
    bool ended = false;
    WaitUntil(
        [&] {
            if (!running()) {
                ended = true;
                return true;
            }
            for (HWND hwnd : ProcessDialogs(m_pid)) {
                if (RemoteDialog(hwnd).caption() == m_mainCaption) {
                    found = hwnd;
                    return true;
                }
            }
            return false;
        },
        timeout);
    if (ended)
        return ::testing::AssertionFailure()
            << Narrow(m_path) << " ended during start-up with exit code " << exitCode().value_or(0);
    if (!found)
        return ::testing::AssertionFailure() << "no window " << Quoted(m_mainCaption) << " of " << Narrow(m_path)
                                             << " within " << timeout.count() << " ms";
    // Sent messages are taken only once the thread pumps again.
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(found, WM_NULL, 0, 0, SMTO_NORMAL, UINT(timeout.count()), &ignored))
        return ::testing::AssertionFailure()
            << "the window " << Quoted(m_mainCaption) << " showed but its program does not answer";
    m_main = RemoteDialog(found);
    return ::testing::AssertionSuccess();
}

bool DialogProcess::running() const
{
    return m_process.hProcess && WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT;
}

std::vector<RemoteDialog> DialogProcess::dialogs() const
{
    std::vector<RemoteDialog> found;
    if (!m_pid)
        return found;
    for (HWND hwnd : ProcessDialogs(m_pid)) {
        if (hwnd != m_main.hwnd())
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
    } search{m_pid, {}};
    search.out << "windows of process " << m_pid << ":";
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
    if (!m_process.hProcess)
        return ::testing::AssertionFailure() << "never started";
    return WaitFor(
        Narrow(m_path) + " to end", [&] { return !running(); }, timeout);
}

std::optional<DWORD> DialogProcess::exitCode() const
{
    DWORD code = 0;
    if (!m_process.hProcess || running() || !GetExitCodeProcess(m_process.hProcess, &code))
        return std::nullopt;
    return code;
}

void DialogProcess::kill()
{
    if (!running())
        return;
    TerminateProcess(m_process.hProcess, 0xDEAD);
    WaitForSingleObject(m_process.hProcess, 10000);
}

}  // namespace e2e
