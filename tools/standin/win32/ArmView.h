// A child window that draws the arm: top view, side view with the gripper, and
// the pose and joint numbers underneath.
#pragma once

#include <windows.h>

#include "robotsim.h"

namespace standin {

class ArmView {
public:
    // Makes the child window; it lives as long as its parent.
    static ArmView* Create(HWND parent, int id);
    HWND hwnd() const { return m_hwnd; }
    // Repaints only when something changed.
    void Show(const robotsim::Joints& joints);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc, const RECT& client) const;

    HWND m_hwnd = nullptr;
    robotsim::Joints m_joints = robotsim::kHomeJoints;
};

}  // namespace standin
