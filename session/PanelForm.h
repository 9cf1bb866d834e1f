// The operator's form as values: what the panel's boxes and check boxes show.
// The session owns it; the view reads the boxes the operator types in into it
// when an action of the operator's asks, and shows the parts the session names.
#pragma once
#include <string>

#include "RobotProtocol.h"

struct PanelForm {
    std::string status = "Searching Robot ......";
    RobotPose read{0, 0, 0, 0, 0, 0};   // the pose the robot reported
    RobotPose set{0, 0, 0, -90, 0, 0};  // the target the operator types
    std::string robotText;              // the robot's last text
    std::string note;                   // the next step's note
    double speed = 200.0;
    bool rec = false, run = false, backward = false;
};

// The parts of the form a read or a show names. The boxes the operator types in
// are read only by the operator's own actions; a show that the operator did not
// ask for names no part of them but what its handler changed.
enum FormPart : unsigned {
    kFormNews = 1u << 0,     // the status line, the Read boxes and the robot's text
    kFormSetPose = 1u << 1,  // the six Set boxes
    kFormNote = 1u << 2,
    kFormSpeed = 1u << 3,
    kFormRec = 1u << 4,
    kFormRun = 1u << 5,
    kFormBackward = 1u << 6,
    kFormTyped = kFormSetPose | kFormNote | kFormSpeed,
    kFormChecks = kFormRec | kFormRun | kFormBackward,
    kFormAll = kFormNews | kFormTyped | kFormChecks,
};
