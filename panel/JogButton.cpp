// Jog buttons: a press starts the joint, the release stops it. A hold that ends
// without a release reaching the button (the capture taken away by a disabled
// button, another window, a box, a deactivated panel) stops the joint too, at
// once: a jog never outlives the operator's hold. Nor does it outlive what the
// button shows: a pointer that slides off a held button draws it released, so
// the joint stops there, and coming back onto the button starts nothing.
#include "JogButton.h"

const MsgMapEntry<CJogButton> CJogButton::kMessageMap[] = {
    msgmap::LButtonDown(&CJogButton::OnLButtonDown),
    msgmap::LButtonUp(&CJogButton::OnLButtonUp),
    msgmap::MouseMove(&CJogButton::OnMouseMove),
    msgmap::CaptureChanged(&CJogButton::OnCaptureChanged),
};

bool CJogButton::OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    return msgmap::Dispatch<CJogButton>(this, kMessageMap, msg, wParam, lParam, result) ||
        CButton::OnWndMsg(msg, wParam, lParam, result);
}

namespace {
IJogTarget* PanelOf(const CWnd& button) { return dynamic_cast<IJogTarget*>(button.GetParent()); }
LPARAM PointToLParam(POINT pt) { return MAKELPARAM(WORD(pt.x), WORD(pt.y)); }
}  // namespace

// A double-click's second press arrives as WM_LBUTTONDBLCLK, which is not
// handled here: it starts nothing.
void CJogButton::OnLButtonDown(UINT flags, POINT pt)
{
    IJogTarget* panel = PanelOf(*this);
    m_bStoppedEarly = false;
    if (panel) {
        // The button holds the mouse while the start goes out, so that whatever
        // its answers do to the hold (a box, a disabled button, another window
        // taking the mouse, the panel deactivated) ends the jog at that moment.
        m_bJogging = true;
        ws::SetCapture(m_hWnd);
        panel->JogStart(m_nCtrlId);
        if (!m_bJogging || !m_hWnd)
            return;  // the hold is over: the button must not take the mouse again
    }
    // The button shows itself pressed and keeps the mouse until release.
    DefWindowProc(WM_LBUTTONDOWN, flags, PointToLParam(pt));
    // Disabled during the start but still holding the mouse: no release will come.
    if (m_bJogging && !ws::IsWindowEnabled(m_hWnd)) {
        if (ws::GetCapture() == m_hWnd)
            ws::ReleaseCapture();
        else
            OnCaptureChanged(nullptr);
    }
}

// Every release stops, a double-click's too, unless this hold has been stopped
// already.
void CJogButton::OnLButtonUp(UINT flags, POINT pt)
{
    m_bJogging = false;
    bool stopped = m_bStoppedEarly;
    m_bStoppedEarly = false;
    if (IJogTarget* panel = PanelOf(*this); panel && !stopped)
        panel->JogStop(m_nCtrlId);
    DefWindowProc(WM_LBUTTONUP, flags, PointToLParam(pt));
}

// Only a move with the left button down counts: the window system also sends a
// move of its own when the button takes the mouse, from wherever the pointer is,
// and a press that did not come from the mouse (a posted one) has no pointer on
// the button at all.
void CJogButton::OnMouseMove(UINT flags, POINT pt)
{
    if (m_bJogging && (flags & MK_LBUTTON)) {
        RECT r{};
        GetClientRect(&r);
        if (pt.x < r.left || pt.y < r.top || pt.x >= r.right || pt.y >= r.bottom)
            StopEarly();
    }
    // The button draws itself pressed or released by where the pointer is.
    DefWindowProc(WM_MOUSEMOVE, flags, PointToLParam(pt));
}

void CJogButton::OnCaptureChanged(HWND newCapture)
{
    if (m_bJogging && newCapture != m_hWnd)
        StopEarly();
    if (m_hWnd)
        DefWindowProc(WM_CAPTURECHANGED, 0, LPARAM(newCapture));
}

void CJogButton::StopEarly()
{
    m_bJogging = false;
    m_bStoppedEarly = true;
    if (IJogTarget* panel = PanelOf(*this))
        panel->JogStop(m_nCtrlId);
}
