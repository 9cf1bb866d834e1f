// What the operator sees of the panel as it opens: each control's caption or
// text, and whether it can be used; and the program's version.
#include "PanelFixture.h"

#include <regex>

extern const char kEmbeddedRc[];

namespace {

struct Row {
    int id;
    const char* shown;
    bool enabled;
};

// The controls the program addresses, in tab order. The link controls wait
// for the robot's video.
const Row kOpened[] = {
    {IDC_CONNECT, "Connect", false},
    {IDC_DISCONNECT, "Disconnect", false},
    {IDC_STATUS, "Searching Robot ......", true},
    {IDC_X_READ, "0", true},
    {IDC_X_SET, "0", true},
    {IDC_Y_READ, "0", true},
    {IDC_Y_SET, "0", true},
    {IDC_Z_READ, "0", true},
    {IDC_Z_SET, "0", true},
    {IDC_PITCH_READ, "0", true},
    {IDC_PITCH_SET, "-90", true},
    {IDC_ROLL_READ, "0", true},
    {IDC_ROLL_SET, "0", true},
    {IDC_HAND_READ, "0", true},
    {IDC_HAND_SET, "0", true},
    {IDC_MOVE_XYZ, "Move To XYZ", false},
    {IDC_BASE_PLUS, "+", false},
    {IDC_SHOULDER_DOWN, "Down", false},
    {IDC_ELBOW_DOWN, "Down", false},
    {IDC_WRIST_DOWN, "Down", false},
    {IDC_WRISTROT_PLUS, "+", false},
    {IDC_HAND_CLOSE, "Close", false},
    {IDC_BASE_MINUS, "-", false},
    {IDC_SHOULDER_UP, "Up", false},
    {IDC_ELBOW_UP, "Up", false},
    {IDC_WRIST_UP, "Up", false},
    {IDC_WRISTROT_MINUS, "-", false},
    {IDC_HAND_OPEN, "Open", false},
    {IDC_CALIBRATE, "Calibrate", false},
    {IDC_GOTO_HOME, "Goto Home", false},
    {IDC_ROBOT_MESSAGE, "", true},
    {IDC_ADD, "ADD", true},
    {IDC_DEL, "DEL", true},
    {IDC_STEP, "STEP", false},
    {IDC_LOAD, "LOAD", true},
    {IDC_SAVE, "SAVE", true},
    {IDC_RUN, "RUN", false},
    {IDC_NOTE, "", true},
    {IDC_ON_TOP, "On Top", true},
    {IDC_CHG, "CHG", true},
    {IDC_SPEED, "200", true},
    {IDC_REC, "REC", false},
    {IDC_BACKWARD, "Backward", true},
    {IDC_MORE, "More >>>>", true},
    {IDC_ABOUT, "About", true},
};

class Resources : public PanelTest { };

TEST_F(Resources, OpenedPanelShowsEveryControlWithItsCaption)
{
    OpenPanel();
    for (const Row& row : kOpened) {
        SCOPED_TRACE(testsupport::ControlName(row.id));
        EXPECT_EQ(desk.Text(row.id), row.shown);
        EXPECT_EQ(desk.Enabled(row.id), row.enabled);
    }
    // RUN, REC and On Top stay pressed while checked; only On Top is at first.
    for (int id : {IDC_RUN, IDC_REC, IDC_BACKWARD})
        EXPECT_EQ(desk.Check(id), 0) << testsupport::ControlName(id);
    EXPECT_EQ(desk.Check(IDC_ON_TOP), 1);
    EXPECT_TRUE(desk.Lines().empty());
    // The jog buttons' ids are what the station knows the joints by.
    EXPECT_EQ(IDC_BASE_PLUS, 1001);
    EXPECT_EQ(IDC_HAND_OPEN, 1012);
}

TEST_F(Resources, VersionIsOneZeroZeroOne)
{
    const std::string rc = kEmbeddedRc;
    for (const char* key : {"FILEVERSION", "PRODUCTVERSION"})
        EXPECT_TRUE(std::regex_search(rc, std::regex(std::string("\\n\\s*") + key + "\\s+1,\\s*0,\\s*0,\\s*1\\s")))
            << key;
    for (const char* value : {"FileVersion", "ProductVersion"})
        EXPECT_TRUE(std::regex_search(rc, std::regex(std::string("VALUE \"") + value + "\", \"1, 0, 0, 1\\\\0\"")))
            << value;
    EXPECT_EQ(ws::LoadString(IDS_APP_TITLE), "Orvanta");
}

}  // namespace
