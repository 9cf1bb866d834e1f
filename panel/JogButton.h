// CJogButton: a press-and-hold button that jogs one joint of the arm while it
// is held.
#pragma once
#include "Controls.h"

// What a jog button tells its parent window: a hold began, a hold ended.
class IJogTarget {
public:
    virtual void JogStart(int jogId) = 0;
    virtual void JogStop(int jogId) = 0;

protected:
    ~IJogTarget() = default;
};

class CJogButton : public CButton {
public:
    // The button's own control id, which is also the jog id the robot receives.
    int m_nCtrlId = 0;

    bool OnWndMsg(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void OnLButtonDown(UINT flags, POINT pt);
    void OnLButtonUp(UINT flags, POINT pt);
    void OnMouseMove(UINT flags, POINT pt);
    void OnCaptureChanged(HWND newCapture);
    // The hold ends before its release: the stop goes out now, and the release
    // sends none.
    void StopEarly();

    // A jog-start went out and no jog-stop has followed it yet.
    bool m_bJogging = false;
    // This hold's stop went out before its release (the button lost the mouse,
    // or the pointer left it): the release sends no second one.
    bool m_bStoppedEarly = false;

    static const MsgMapEntry<CJogButton> kMessageMap[];
};
