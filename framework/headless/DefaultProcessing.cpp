// The default processing of the headless windows, by class: what user32's
// dialog manager, buttons, list boxes, edits and statics do with their messages.
#include <algorithm>
#include <cstring>

#include "Desktop.h"
#include "MessageMap.h"

namespace headless {
namespace {

bool IsAutoCheck(const Desktop::Window& w)
{
    return w.className == "Button" && (w.style & BS_TYPEMASK) == BS_AUTOCHECKBOX;
}

}  // namespace

// The window's own processing, by its class.
LRESULT Desktop::Default(HWND h, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window* w = W(h);
    if (!w || !w->alive)
        return 0;
    switch (msg) {
    case WM_SETTEXT: {
        w->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
        w->selStart = w->selEnd = 0;
        Record(kText, "text " + ControlName(w->id) + " " + EscapeForLog(w->text));
        return TRUE;
    }
    case WM_GETTEXTLENGTH: return LRESULT(w->text.size());
    case WM_SETREDRAW: w->redraw = wParam != 0; return 0;
    case WM_GETTEXT: {
        if (wParam == 0)
            return 0;
        size_t n = std::min(w->text.size(), size_t(wParam) - 1);
        std::memcpy(reinterpret_cast<char*>(lParam), w->text.data(), n);
        reinterpret_cast<char*>(lParam)[n] = '\0';
        return LRESULT(n);
    }
    case WM_SETICON:
        Record(kIcon,
               std::string("icon ") + (wParam == ICON_BIG ? "big " : "small ") +
                   (lParam ? std::to_string(reinterpret_cast<HICON>(lParam)->id) : "none"));
        return 0;
    case WM_ICONERASEBKGND: Record(kPaint, "paint erase"); return TRUE;
    case WM_CANCELMODE:
        if (m_capture == h)
            SetCaptureTo(nullptr);
        return 0;
    default: break;
    }

    if (w->className == "#32770") {
        switch (msg) {
        case WM_CLOSE:
            // The dialog manager turns a close request into Cancel.
            Post(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_CLOSE)
                Post(h, WM_CLOSE, 0, 0);
            return 0;
        default: return 0;
        }
    }

    if (w->className == "Button") {
        switch (msg) {
        case BM_GETCHECK: return w->check;
        case BM_SETCHECK:
            w->check = int(wParam);
            Record(kCheck, "check " + ControlName(w->id) + " " + std::to_string(w->check));
            return 0;
        case BM_GETSTATE: return w->check | (w->pushed ? BST_PUSHED : 0);
        case BM_SETSTATE: w->pushed = wParam != 0; return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            SetCaptureTo(h);
            w->pushed = true;
            return 0;
        case WM_LBUTTONUP: {
            bool clicked = w->pushed && m_capture == h;
            w->pushed = false;
            if (m_capture == h)
                SetCaptureTo(nullptr);
            if (clicked && w->alive) {
                if (IsAutoCheck(*w)) {
                    w->check = w->check ? 0 : 1;
                    Record(kCheck, "check " + ControlName(w->id) + " " + std::to_string(w->check));
                }
                Deliver(w->parent, WM_COMMAND, MAKEWPARAM(WORD(w->id), BN_CLICKED), LPARAM(h));
            }
            return 0;
        }
        case WM_MOUSEMOVE:
            // While it holds the mouse, a button shows itself pressed only with the
            // pointer over it; a release elsewhere is no click.
            if (m_capture == h && (wParam & MK_LBUTTON)) {
                const POINT p = msgmap::PointFromLParam(lParam);
                w->pushed = p.x >= 0 && p.y >= 0 && p.x < w->cx && p.y < w->cy;
            }
            return 0;
        case WM_CAPTURECHANGED: w->pushed = false; return 0;
        default: return 0;
        }
    }

    if (w->className == "Edit") {
        // A start of -1 takes the selection away; an end of -1 (or past the text) is the text's end.
        if (msg == EM_SETSEL) {
            const int length = int(w->text.size());
            int start = int(wParam), end = int(lParam);
            if (start == -1) {
                w->selStart = w->selEnd;
                return 0;
            }
            auto clamp = [&](int at) { return at < 0 || at > length ? length : at; };
            start = clamp(start);
            end = clamp(end);
            w->selStart = std::min(start, end);
            w->selEnd = std::max(start, end);
        }
        return 0;
    }

    if (w->className == "ListBox") {
        int count = int(w->lines.size());
        switch (msg) {
        case LB_GETCOUNT: return count;
        case LB_INITSTORAGE: return LRESULT(count + int(wParam));
        case LB_GETCURSEL: return w->selection;
        case LB_SETCURSEL: {
            int index = int(wParam);
            w->selection = (index >= 0 && index < count) ? index : -1;
            Record(kList, "list select " + std::to_string(int(wParam)));
            return w->selection == -1 ? LB_ERR : w->selection;
        }
        case LB_ADDSTRING:
        case LB_INSERTSTRING: {
            int index = msg == LB_ADDSTRING ? -1 : int(wParam);
            if (index > count)
                return LB_ERR;
            if (index < 0)
                index = count;
            std::string text = reinterpret_cast<const char*>(lParam);
            w->lines.insert(w->lines.begin() + index, text);
            if (w->selection >= index)
                ++w->selection;
            Record(kList, "list insert " + std::to_string(index) + " " + text);
            return index;
        }
        case LB_DELETESTRING: {
            int index = int(wParam);
            if (index < 0 || index >= count)
                return LB_ERR;
            w->lines.erase(w->lines.begin() + index);
            if (w->selection == index)
                w->selection = -1;
            else if (w->selection > index)
                --w->selection;
            Record(kList, "list delete " + std::to_string(index));
            return LRESULT(w->lines.size());
        }
        case LB_RESETCONTENT:
            w->lines.clear();
            w->selection = -1;
            Record(kList, "list reset");
            return 0;
        case LB_GETTEXTLEN: {
            int index = int(wParam);
            return index >= 0 && index < count ? LRESULT(w->lines[size_t(index)].size()) : LRESULT(LB_ERR);
        }
        case LB_GETTEXT: {
            int index = int(wParam);
            if (index < 0 || index >= count)
                return LB_ERR;
            const std::string& line = w->lines[size_t(index)];
            std::memcpy(reinterpret_cast<char*>(lParam), line.c_str(), line.size() + 1);
            return LRESULT(line.size());
        }
        default: return 0;
        }
    }
    return 0;
}

}  // namespace headless
