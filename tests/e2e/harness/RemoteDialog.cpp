#include "RemoteDialog.h"

#include <optional>
#include <sstream>

#include "Text.h"

namespace e2e {

namespace {

std::function<std::string(int)>& Namer()
{
    static std::function<std::string(int)> namer;
    return namer;
}

// A read that keeps meeting a control in the middle of a change gives up after
// this many tries; inside a wait the next poll tries again.
constexpr int kReadAttempts = 4;

bool SendWithTimeout(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& result,
                     Millis timeout = kSendTimeout)
{
    // SMTO_NORMAL only: SMTO_ABORTIFHUNG would give up at once on a program
    // that is busy on purpose (the close-down sleeps 5 s).
    return SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_NORMAL, UINT(timeout.count()), &result) != 0;
}

POINT Centre(HWND control)
{
    RECT r{};
    GetClientRect(control, &r);
    return {(r.right - r.left) / 2, (r.bottom - r.top) / 2};
}

std::string ClassOf(HWND hwnd)
{
    wchar_t name[256] = {};
    GetClassNameW(hwnd, name, 256);
    return Narrow(name);
}

}  // namespace

void SetControlNamer(std::function<std::string(int id)> namer) { Namer() = std::move(namer); }

std::string ControlName(int id)
{
    if (Namer()) {
        std::string name = Namer()(id);
        if (!name.empty())
            return name + " (" + std::to_string(id) + ")";
    }
    return "control " + std::to_string(id);
}

bool ReadWindowText(HWND hwnd, std::string& text, Millis timeout)
{
    std::wstring wide;
    if (!ReadWindowText(hwnd, wide, timeout))
        return false;
    text = Narrow(wide);
    return true;
}

bool ReadWindowText(HWND hwnd, std::wstring& text, Millis timeout)
{
    // The text can change between its length and its copy; read until the
    // length after the copy is the one the copy was made for.
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        DWORD_PTR length = 0;
        if (!SendWithTimeout(hwnd, WM_GETTEXTLENGTH, 0, 0, length, timeout))
            return false;
        std::wstring buffer(length + 1, L'\0');
        DWORD_PTR copied = 0, after = 0;
        if (!SendWithTimeout(hwnd, WM_GETTEXT, buffer.size(), LPARAM(buffer.data()), copied, timeout) ||
            !SendWithTimeout(hwnd, WM_GETTEXTLENGTH, 0, 0, after, timeout))
            return false;
        if (after != length || copied > length)
            continue;
        buffer.resize(copied);
        text = std::move(buffer);
        return true;
    }
    return false;
}

bool RemoteDialog::exists() const { return m_hwnd && IsWindow(m_hwnd); }

DWORD RemoteDialog::processId() const
{
    DWORD pid = 0;
    GetWindowThreadProcessId(m_hwnd, &pid);
    return pid;
}

HWND RemoteDialog::owner() const { return GetWindow(m_hwnd, GW_OWNER); }

std::string RemoteDialog::caption() const
{
    // The caption is kept by the window manager side: no message, no blocking.
    wchar_t buffer[512] = {};
    GetWindowTextW(m_hwnd, buffer, 512);
    return Narrow(buffer);
}

std::string RemoteDialog::className() const { return ClassOf(m_hwnd); }

std::string RemoteDialog::describe() const
{
    std::ostringstream out;
    out << className() << " " << Quoted(caption());
    struct Lines {
        std::ostringstream* out;
    } lines{&out};
    EnumChildWindows(
        m_hwnd,
        [](HWND child, LPARAM param) -> BOOL {
            auto& o = *reinterpret_cast<Lines*>(param)->out;
            std::string text;
            if (!ReadWindowText(child, text, 500ms))
                text = "<no answer>";
            o << "\n  " << GetDlgCtrlID(child) << " " << ClassOf(child) << " " << Quoted(text)
              << (IsWindowEnabled(child) ? "" : " disabled");
            return TRUE;
        },
        LPARAM(&lines));
    return out.str();
}

HWND RemoteDialog::item(int id) const { return m_hwnd ? GetDlgItem(m_hwnd, id) : nullptr; }

std::string RemoteDialog::text(int id) const
{
    HWND control = item(id);
    if (!control) {
        ReadFailed("no " + ControlName(id) + " in " + Quoted(caption()));
        return {};
    }
    std::string text;
    if (!ReadWindowText(control, text))
        ReadFailed(ControlName(id) + " gave no text within " + std::to_string(kSendTimeout.count()) + " ms");
    return text;
}

std::wstring RemoteDialog::wideText(int id) const
{
    HWND control = item(id);
    if (!control) {
        ReadFailed("no " + ControlName(id) + " in " + Quoted(caption()));
        return {};
    }
    std::wstring text;
    if (!ReadWindowText(control, text))
        ReadFailed(ControlName(id) + " gave no text within " + std::to_string(kSendTimeout.count()) + " ms");
    return text;
}

bool RemoteDialog::enabled(int id) const
{
    HWND control = item(id);
    if (!control) {
        ReadFailed("no " + ControlName(id) + " in " + Quoted(caption()));
        return false;
    }
    return IsWindowEnabled(control) != 0;
}

bool RemoteDialog::visible(int id) const
{
    HWND control = item(id);
    return control && IsWindowVisible(control);
}

int RemoteDialog::checkState(int id) const
{
    HWND control = item(id);
    DWORD_PTR state = 0;
    if (!control || !SendWithTimeout(control, BM_GETCHECK, 0, 0, state)) {
        ReadFailed("no check state from " + ControlName(id));
        return -1;
    }
    return int(state);
}

namespace {
// One reading of every line of a list box, or nothing when the list changed
// under it (a line gone between the count and its text, or the count moved).
std::optional<std::vector<std::string>> ReadListOnce(HWND list)
{
    DWORD_PTR count = 0;
    if (!SendWithTimeout(list, LB_GETCOUNT, 0, 0, count) || LRESULT(count) == LB_ERR)
        return std::nullopt;
    std::vector<std::string> lines;
    for (DWORD_PTR i = 0; i < count; ++i) {
        DWORD_PTR length = 0;
        if (!SendWithTimeout(list, LB_GETTEXTLEN, i, 0, length) || LRESULT(length) == LB_ERR)
            return std::nullopt;
        std::wstring buffer(length + 1, L'\0');
        DWORD_PTR copied = 0;
        if (!SendWithTimeout(list, LB_GETTEXT, i, LPARAM(buffer.data()), copied) || LRESULT(copied) == LB_ERR ||
            copied > length)
            return std::nullopt;
        buffer.resize(copied);
        lines.push_back(Narrow(buffer));
    }
    DWORD_PTR after = 0;
    if (!SendWithTimeout(list, LB_GETCOUNT, 0, 0, after) || after != count)
        return std::nullopt;
    return lines;
}
}  // namespace

std::vector<std::string> RemoteDialog::listLines(int id) const
{
    if (HWND list = item(id)) {
        for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
            if (auto lines = ReadListOnce(list))
                return *lines;
        }
    }
    ReadFailed("no steady reading of the lines of " + ControlName(id));
    return {};
}

int RemoteDialog::listSelection(int id) const
{
    HWND list = item(id);
    DWORD_PTR selection = 0;
    if (!list || !SendWithTimeout(list, LB_GETCURSEL, 0, 0, selection)) {
        ReadFailed("no selection from " + ControlName(id));
        return -1;
    }
    return int(LRESULT(selection));
}

RECT RemoteDialog::rect() const
{
    RECT r{};
    GetWindowRect(m_hwnd, &r);
    return r;
}

SIZE RemoteDialog::size() const
{
    RECT r = rect();
    return {r.right - r.left, r.bottom - r.top};
}

bool RemoteDialog::topmost() const { return (GetWindowLongPtrW(m_hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

bool RemoteDialog::isVisible() const { return IsWindowVisible(m_hwnd) != 0; }

::testing::AssertionResult RemoteDialog::usable(int id, HWND& control) const
{
    control = item(id);
    if (!control)
        return ::testing::AssertionFailure() << "no " << ControlName(id) << " in " << Quoted(caption());
    if (!IsWindowVisible(control))
        return ::testing::AssertionFailure() << ControlName(id) << " is hidden";
    if (!IsWindowEnabled(control))
        return ::testing::AssertionFailure() << ControlName(id) << " is disabled";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult RemoteDialog::click(int id, Millis timeout) const
{
    HWND control;
    auto ok = usable(id, control);
    if (!ok)
        return ok;
    // BM_CLICK sends BN_CLICKED to the dialog from inside itself, so the send
    // returns only after the program's handler has run.
    DWORD_PTR ignored = 0;
    if (!SendWithTimeout(control, BM_CLICK, 0, 0, ignored, timeout))
        return ::testing::AssertionFailure()
            << "the click on " << ControlName(id) << " was not handled within " << timeout.count()
            << " ms (a click that opens a box goes through clickOpeningBox)";
    return ok;
}

::testing::AssertionResult RemoteDialog::clickOpeningBox(int id) const
{
    HWND control;
    auto ok = usable(id, control);
    if (ok)
        PostMessageW(control, BM_CLICK, 0, 0);
    return ok;
}

::testing::AssertionResult RemoteDialog::mouseClick(int id) const
{
    auto ok = press(id);
    return ok ? release(id) : ok;
}

::testing::AssertionResult RemoteDialog::press(int id) const
{
    HWND control;
    auto ok = usable(id, control);
    if (ok) {
        POINT p = Centre(control);
        PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    }
    return ok;
}

::testing::AssertionResult RemoteDialog::release(int id) const
{
    // A release reaches a button that was disabled while pressed too: the mouse
    // does not care, and the program must cope.
    HWND control = item(id);
    if (!control)
        return ::testing::AssertionFailure() << "no " << ControlName(id) << " in " << Quoted(caption());
    POINT p = Centre(control);
    PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    return ::testing::AssertionSuccess();
}

HWND RemoteDialog::focus() const
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(m_hwnd, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

::testing::AssertionResult RemoteDialog::moveMouse(int id, POINT at, bool leftHeld) const
{
    HWND control = item(id);
    if (!control)
        return ::testing::AssertionFailure() << "no " << ControlName(id) << " in " << Quoted(caption());
    PostMessageW(control, WM_MOUSEMOVE, leftHeld ? MK_LBUTTON : 0, MAKELPARAM(WORD(at.x), WORD(at.y)));
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult RemoteDialog::setText(int id, std::string_view text) const
{
    HWND control;
    auto ok = usable(id, control);
    if (!ok)
        return ok;
    std::wstring wide = Widen(text);
    DWORD_PTR result = 0;
    if (!SendWithTimeout(control, WM_SETTEXT, 0, LPARAM(wide.c_str()), result))
        return ::testing::AssertionFailure()
            << ControlName(id) << " did not take its text within " << kSendTimeout.count() << " ms";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult RemoteDialog::clickListLine(int id, int index) const
{
    HWND list;
    auto ok = usable(id, list);
    if (!ok)
        return ok;
    DWORD_PTR count = 0, top = 0, height = 0, ignored = 0;
    if (!SendWithTimeout(list, LB_GETCOUNT, 0, 0, count) || index < 0 || DWORD_PTR(index) >= count)
        return ::testing::AssertionFailure() << ControlName(id) << " has no line " << index;
    SendWithTimeout(list, LB_SETTOPINDEX, index, 0, ignored);
    if (!SendWithTimeout(list, LB_GETTOPINDEX, 0, 0, top) ||
        !SendWithTimeout(list, LB_GETITEMHEIGHT, index, 0, height) || height == 0)
        return ::testing::AssertionFailure() << ControlName(id) << " gave no line geometry";
    int y = int(index - int(top)) * int(height) + int(height) / 2;
    // Sent, not posted: the click is handled (the selection made and notified)
    // when this returns, and a click sent after it cannot overtake it.
    if (!SendWithTimeout(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, y), ignored, kDefaultTimeout) ||
        !SendWithTimeout(list, WM_LBUTTONUP, 0, MAKELPARAM(4, y), ignored, kDefaultTimeout))
        return ::testing::AssertionFailure()
            << "the click on line " << index << " of " << ControlName(id) << " was not handled in time";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult RemoteDialog::pressButton(int id) const
{
    HWND button = item(id);
    if (!button)
        return ::testing::AssertionFailure() << "no button " << id << " in " << describe();
    PostMessageW(m_hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(button));
    return ::testing::AssertionSuccess();
}

void RemoteDialog::sysCommand(WPARAM command) const { PostMessageW(m_hwnd, WM_SYSCOMMAND, command, 0); }

::testing::AssertionResult RemoteDialog::answerFileDialog(std::string_view path) const
{
    return answerFileDialog(Widen(path));
}

::testing::AssertionResult RemoteDialog::answerFileDialog(std::wstring_view path) const
{
    // Explorer-style templates keep the name in an Edit deep inside cmb13
    // (ComboBoxEx32 > ComboBox > Edit, all with that id); old ones use edt1.
    struct Search {
        HWND found;
    } search{nullptr};
    EnumChildWindows(
        m_hwnd,
        [](HWND child, LPARAM param) -> BOOL {
            if (GetDlgCtrlID(child) == kFileNameComboId && ClassOf(child) == "Edit") {
                reinterpret_cast<Search*>(param)->found = child;
                return FALSE;
            }
            return TRUE;
        },
        LPARAM(&search));
    HWND name = search.found ? search.found : item(kFileNameEditId);
    if (!name)
        return ::testing::AssertionFailure() << "no file-name box in " << describe();
    std::wstring wide(path);
    DWORD_PTR result = 0;
    if (!SendWithTimeout(name, WM_SETTEXT, 0, LPARAM(wide.c_str()), result))
        return ::testing::AssertionFailure() << "the file-name box did not take " << Quoted(Narrow(path));
    return pressButton(IDOK);
}

}  // namespace e2e
