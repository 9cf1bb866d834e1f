#include "OrvantaFixture.h"

#include <iterator>

namespace e2e {

namespace {

struct Named {
    int id;
    const char* name;
};

#define NAMED(id) {id, #id}
const Named kNames[] = {
    NAMED(IDC_BASE_PLUS),     NAMED(IDC_BASE_MINUS),     NAMED(IDC_SHOULDER_DOWN),
    NAMED(IDC_SHOULDER_UP),   NAMED(IDC_ELBOW_DOWN),     NAMED(IDC_ELBOW_UP),
    NAMED(IDC_WRIST_DOWN),    NAMED(IDC_WRIST_UP),       NAMED(IDC_WRISTROT_PLUS),
    NAMED(IDC_WRISTROT_MINUS), NAMED(IDC_HAND_CLOSE),    NAMED(IDC_HAND_OPEN),
    NAMED(IDC_MOVE_XYZ),      NAMED(IDC_CONNECT),        NAMED(IDC_DISCONNECT),
    NAMED(IDC_STATUS),        NAMED(IDC_X_READ),         NAMED(IDC_X_SET),
    NAMED(IDC_Y_READ),        NAMED(IDC_Y_SET),          NAMED(IDC_Z_READ),
    NAMED(IDC_Z_SET),         NAMED(IDC_PITCH_READ),     NAMED(IDC_PITCH_SET),
    NAMED(IDC_ROLL_READ),     NAMED(IDC_ROLL_SET),       NAMED(IDC_CALIBRATE),
    NAMED(IDC_HAND_READ),     NAMED(IDC_GOTO_HOME),      NAMED(IDC_HAND_SET),
    NAMED(IDC_ROBOT_MESSAGE), NAMED(IDC_SPEED),          NAMED(IDC_ADD),
    NAMED(IDC_DEL),           NAMED(IDC_STEP),           NAMED(IDC_CHG),
    NAMED(IDC_LOAD),          NAMED(IDC_SAVE),           NAMED(IDC_RUN),
    NAMED(IDC_NOTE),          NAMED(IDC_STEP_LIST),      NAMED(IDC_ON_TOP),
    NAMED(IDC_REC),           NAMED(IDC_BACKWARD),       NAMED(IDC_MORE),
    NAMED(IDC_ABOUT),         {IDOK, "IDOK"},            {kMessageBoxTextId, "message text"},
};
#undef NAMED

}  // namespace

std::string OrvantaControlName(int id)
{
    for (const Named& named : kNames) {
        if (named.id == id)
            return named.name;
    }
    return {};
}

const std::vector<int> kLinkControls = {
    IDC_CONNECT,      IDC_DISCONNECT,    IDC_MOVE_XYZ,       IDC_BASE_PLUS,     IDC_BASE_MINUS,
    IDC_SHOULDER_DOWN, IDC_SHOULDER_UP,  IDC_ELBOW_DOWN,     IDC_ELBOW_UP,      IDC_WRIST_DOWN,
    IDC_WRIST_UP,     IDC_WRISTROT_PLUS, IDC_WRISTROT_MINUS, IDC_HAND_CLOSE,    IDC_HAND_OPEN,
    IDC_CALIBRATE,    IDC_GOTO_HOME,     IDC_STEP,           IDC_RUN,           IDC_REC,
};

::testing::AssertionResult OrvantaTest::startOrvanta()
{
    auto started = orvanta.start();
    if (started)
        panel = orvanta.panel();
    return started;
}

void OrvantaTest::TearDown()
{
    if (orvanta.running() && !allowOpenDialogs) {
        EXPECT_TRUE(orvanta.noDialogOpen()) << "left open at the end of the test";
    }
    orvanta.kill();
}

}  // namespace e2e
