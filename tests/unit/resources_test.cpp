// The resource script: both dialog templates, the ids, the string table, the
// icon and the version block, read as the headless build reads them.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "Resources.h"
#include "resource.h"

extern const char kEmbeddedRc[];

namespace {

using headless::ControlTemplate;
using headless::DialogTemplate;
using headless::Resources;

// What a control is, as far as its class and the styles that make it so go.
enum Kind {
    kGroup,      // group box
    kPush,       // push button
    kPushLike,   // check box drawn as a push button
    kCheckBox,   // plain check box
    kText,       // left-aligned static text
    kLabel,      // centred label, sunken edge
    kEdgeLabel,  // centred label, static edge
    kReadEdit,   // edit, read-only, centred
    kSetEdit,    // edit, centred
    kNoteEdit,   // edit, left-aligned
    kList,       // list box: notify, vertical scroll, no sorting
};

void ExpectKind(const ControlTemplate& c, Kind kind)
{
    const DWORD s = c.style;
    auto has = [s](DWORD bits) { return (s & bits) == bits; };
    switch (kind) {
    case kGroup:
        EXPECT_EQ(c.className, "Button");
        EXPECT_EQ(s & BS_TYPEMASK, DWORD(BS_GROUPBOX));
        break;
    case kPush:
        EXPECT_EQ(c.className, "Button");
        EXPECT_EQ(s & BS_TYPEMASK, DWORD(BS_PUSHBUTTON));
        EXPECT_FALSE(has(BS_PUSHLIKE));
        break;
    case kPushLike:
    case kCheckBox:
        EXPECT_EQ(c.className, "Button");
        EXPECT_EQ(s & BS_TYPEMASK, DWORD(BS_AUTOCHECKBOX));
        EXPECT_EQ(has(BS_PUSHLIKE), kind == kPushLike);
        break;
    case kText:
        EXPECT_EQ(c.className, "Static");
        EXPECT_EQ(s & 0x3, DWORD(SS_LEFT));
        EXPECT_EQ(c.exStyle, DWORD(WS_EX_TRANSPARENT));
        break;
    case kLabel:
    case kEdgeLabel:
        EXPECT_EQ(c.className, "Static");
        EXPECT_EQ(s & 0x3, DWORD(SS_CENTER));
        EXPECT_EQ(has(SS_SUNKEN), kind == kLabel);
        EXPECT_EQ((c.exStyle & WS_EX_STATICEDGE) != 0, kind == kEdgeLabel);
        break;
    case kReadEdit:
    case kSetEdit:
    case kNoteEdit:
        EXPECT_EQ(c.className, "Edit");
        EXPECT_EQ(s & 0x3, DWORD(kind == kNoteEdit ? ES_LEFT : ES_CENTER));
        EXPECT_EQ(has(ES_READONLY), kind == kReadEdit);
        break;
    case kList:
        EXPECT_EQ(c.className, "ListBox");
        EXPECT_TRUE(has(LBS_NOTIFY | WS_VSCROLL));
        EXPECT_FALSE(has(LBS_SORT));
        break;
    }
    EXPECT_TRUE(has(WS_CHILD | WS_VISIBLE));
    EXPECT_FALSE(has(WS_DISABLED));
}

struct Row { int id; Kind kind; const char* caption; int x, y, cx, cy; };

// The panel's controls in template order, which is also the tab order.
const Row kPanelControls[] = {
    {IDC_STATIC, kGroup, "Connections", 3, 0, 200, 93},
    {IDC_CONNECT, kPush, "Connect", 9, 11, 46, 14},
    {IDC_DISCONNECT, kPush, "Disconnect", 61, 11, 46, 14},
    {IDC_STATUS, kText, "Static", 7, 28, 187, 12},
    {IDC_X_READ, kReadEdit, "", 32, 206, 27, 12},
    {IDC_STATIC, kLabel, "X", 5, 206, 27, 12},
    {IDC_X_SET, kSetEdit, "", 59, 206, 27, 12},
    {IDC_Y_READ, kReadEdit, "", 32, 218, 27, 12},
    {IDC_STATIC, kLabel, "Y", 5, 218, 27, 12},
    {IDC_Y_SET, kSetEdit, "", 59, 218, 27, 12},
    {IDC_Z_READ, kReadEdit, "", 32, 230, 27, 12},
    {IDC_STATIC, kLabel, "Z", 5, 230, 27, 12},
    {IDC_Z_SET, kSetEdit, "", 59, 230, 27, 12},
    {IDC_PITCH_READ, kReadEdit, "", 32, 242, 27, 12},
    {IDC_STATIC, kLabel, "Pitch", 5, 242, 27, 12},
    {IDC_PITCH_SET, kSetEdit, "", 59, 242, 27, 12},
    {IDC_ROLL_READ, kReadEdit, "", 32, 253, 27, 12},
    {IDC_STATIC, kLabel, "Roll", 5, 253, 27, 12},
    {IDC_ROLL_SET, kSetEdit, "", 59, 253, 27, 12},
    {IDC_HAND_READ, kReadEdit, "", 32, 265, 27, 12},
    {IDC_STATIC, kLabel, "Hand", 5, 265, 27, 12},
    {IDC_HAND_SET, kSetEdit, "", 59, 265, 27, 12},
    {IDC_STATIC, kLabel, "Data", 5, 194, 27, 12},
    {IDC_STATIC, kLabel, "Read", 32, 194, 27, 12},
    {IDC_STATIC, kLabel, "Set", 59, 194, 27, 12},
    {IDC_STATIC, kLabel, "mm", 86, 206, 22, 12},
    {IDC_STATIC, kLabel, "mm", 86, 218, 22, 12},
    {IDC_STATIC, kLabel, "mm", 86, 230, 22, 12},
    {IDC_STATIC, kLabel, "deg", 86, 242, 22, 12},
    {IDC_STATIC, kLabel, "deg", 86, 253, 22, 12},
    {IDC_STATIC, kLabel, "mm", 86, 265, 22, 12},
    {IDC_STATIC, kLabel, "Unit", 86, 194, 22, 12},
    {IDC_STATIC, kGroup, "Cartesian Position Trajectory Control", 2, 185, 207, 163},
    {IDC_MOVE_XYZ, kPush, "Move To XYZ", 16, 309, 74, 14},
    {IDC_BASE_PLUS, kPush, "+", 45, 101, 31, 12},
    {IDC_SHOULDER_DOWN, kPush, "Down", 45, 114, 31, 12},
    {IDC_ELBOW_DOWN, kPush, "Down", 45, 127, 31, 12},
    {IDC_WRIST_DOWN, kPush, "Down", 45, 140, 31, 12},
    {IDC_WRISTROT_PLUS, kPush, "+", 45, 153, 31, 12},
    {IDC_HAND_CLOSE, kPush, "Close", 45, 166, 31, 12},
    {IDC_BASE_MINUS, kPush, "-", 77, 101, 31, 12},
    {IDC_SHOULDER_UP, kPush, "Up", 77, 114, 31, 12},
    {IDC_ELBOW_UP, kPush, "Up", 77, 127, 31, 12},
    {IDC_WRIST_UP, kPush, "Up", 77, 140, 31, 12},
    {IDC_WRISTROT_MINUS, kPush, "-", 77, 153, 31, 12},
    {IDC_HAND_OPEN, kPush, "Open", 77, 166, 31, 12},
    {IDC_STATIC, kEdgeLabel, "BaseRot", 6, 101, 38, 12},
    {IDC_STATIC, kEdgeLabel, "Shoulder", 6, 114, 38, 12},
    {IDC_STATIC, kEdgeLabel, "Elbow", 6, 127, 38, 12},
    {IDC_STATIC, kEdgeLabel, "Wrist", 6, 140, 38, 12},
    {IDC_STATIC, kEdgeLabel, "WristRot", 6, 153, 38, 12},
    {IDC_STATIC, kEdgeLabel, "Hand", 6, 166, 38, 12},
    {IDC_CALIBRATE, kPush, "Calibrate", 121, 110, 52, 16},
    {IDC_GOTO_HOME, kPush, "Goto Home", 121, 133, 52, 16},
    {IDC_ROBOT_MESSAGE, kText, "1", 7, 43, 191, 49},
    {IDC_STATIC, kGroup, "Robot Joint Control", 3, 93, 200, 89},
    {IDC_ADD, kPush, "ADD", 5, 327, 34, 14},
    {IDC_DEL, kPush, "DEL", 39, 327, 34, 14},
    {IDC_STEP, kPush, "STEP", 160, 311, 45, 14},
    {IDC_LOAD, kPush, "LOAD", 112, 295, 45, 14},
    {IDC_SAVE, kPush, "SAVE", 160, 295, 45, 14},
    {IDC_RUN, kPushLike, "RUN", 160, 328, 45, 14},
    {IDC_NOTE, kNoteEdit, "", 32, 292, 74, 12},
    {IDC_STATIC, kLabel, "Note:", 5, 292, 27, 12},
    {IDC_ON_TOP, kPushLike, "On Top", 113, 11, 46, 14},
    {IDC_STEP_LIST, kList, "", 111, 196, 92, 94},
    {IDC_CHG, kPush, "CHG", 73, 327, 34, 14},
    {IDC_SPEED, kSetEdit, "", 32, 277, 27, 12},
    {IDC_REC, kPushLike, "REC", 112, 311, 45, 14},
    {IDC_STATIC, kLabel, "Speed", 5, 277, 27, 12},
    {IDC_STATIC, kLabel, "Range:1-255", 59, 277, 49, 12},
    {IDC_BACKWARD, kCheckBox, "Backward", 112, 328, 45, 14},
    {IDC_MORE, kPush, "More >>>>", 121, 158, 52, 16},
    {IDC_ABOUT, kPush, "About", 167, 11, 30, 14},
};

void ExpectControls(const DialogTemplate& dlg, const Row* rows, size_t count)
{
    ASSERT_EQ(dlg.controls.size(), count);
    for (size_t i = 0; i < count; ++i) {
        const Row& r = rows[i];
        const ControlTemplate& c = dlg.controls[i];
        SCOPED_TRACE("control " + std::to_string(i) + " \"" + r.caption + "\"");
        EXPECT_EQ(c.id, r.id);
        EXPECT_EQ(c.text, r.caption);
        EXPECT_EQ(c.x, r.x);
        EXPECT_EQ(c.y, r.y);
        EXPECT_EQ(c.cx, r.cx);
        EXPECT_EQ(c.cy, r.cy);
        ExpectKind(c, r.kind);
    }
}

const ControlTemplate& ControlOf(const DialogTemplate& dlg, int id)
{
    for (const ControlTemplate& c : dlg.controls)
        if (c.id == id)
            return c;
    throw std::runtime_error("no control " + std::to_string(id));
}

TEST(ResourcesTest, PanelTemplateHasItsFrameFontAndSize)
{
    const DialogTemplate* dlg = Resources::Get().Dialog(IDD_CONTROL_PANEL);
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(dlg->extended);
    EXPECT_EQ(dlg->caption, "Orvanta");
    EXPECT_EQ(dlg->fontName, "Times New Roman");
    EXPECT_EQ(dlg->fontSize, 8);
    EXPECT_EQ(dlg->cx, 212);
    EXPECT_EQ(dlg->cy, 355);
    const DWORD frame = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
    EXPECT_EQ(dlg->style & frame, frame);
    // WS_MINIMIZEBOX and WS_MAXIMIZEBOX share their bits with WS_GROUP and WS_TABSTOP.
    EXPECT_EQ(dlg->style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0u);
    EXPECT_EQ(dlg->exStyle, DWORD(WS_EX_TOOLWINDOW | WS_EX_APPWINDOW));
}

TEST(ResourcesTest, PanelTemplateHoldsEveryControlInTabOrder)
{
    const DialogTemplate* dlg = Resources::Get().Dialog(IDD_CONTROL_PANEL);
    ASSERT_NE(dlg, nullptr);
    ExpectControls(*dlg, kPanelControls, std::size(kPanelControls));
}

TEST(ResourcesTest, PanelControlsThatMatterHaveExactlyTheirStyles)
{
    const DialogTemplate& dlg = *Resources::Get().Dialog(IDD_CONTROL_PANEL);
    const DWORD child = WS_CHILD | WS_VISIBLE;
    EXPECT_EQ(ControlOf(dlg, IDC_ON_TOP).style, child | BS_AUTOCHECKBOX | BS_PUSHLIKE | WS_TABSTOP);
    EXPECT_EQ(ControlOf(dlg, IDC_BACKWARD).style, child | BS_AUTOCHECKBOX | WS_TABSTOP);
    EXPECT_EQ(ControlOf(dlg, IDC_X_READ).style & ~WS_BORDER,
              child | ES_CENTER | ES_AUTOHSCROLL | ES_READONLY | WS_TABSTOP);
    EXPECT_EQ(ControlOf(dlg, IDC_STEP_LIST).style & (LBS_NOTIFY | LBS_SORT | WS_VSCROLL),
              DWORD(LBS_NOTIFY | WS_VSCROLL));
    // BaseRot is the one label with a transparent background.
    EXPECT_EQ(dlg.controls[46].text, "BaseRot");
    EXPECT_EQ(dlg.controls[46].exStyle, DWORD(WS_EX_STATICEDGE | WS_EX_TRANSPARENT));
    EXPECT_EQ(dlg.controls[47].exStyle, DWORD(WS_EX_STATICEDGE));
    for (int id : {IDC_STATUS, IDC_ROBOT_MESSAGE})
        EXPECT_EQ(ControlOf(dlg, id).exStyle, DWORD(WS_EX_TRANSPARENT)) << id;
}

TEST(ResourcesTest, AboutTemplateIsASmallModalBox)
{
    const DialogTemplate* dlg = Resources::Get().Dialog(IDD_ABOUTBOX);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->caption, "About Orvanta");
    EXPECT_EQ(dlg->fontName, "MS Sans Serif");
    EXPECT_EQ(dlg->fontSize, 8);
    EXPECT_EQ(dlg->cx, 281);
    EXPECT_EQ(dlg->cy, 76);
    const DWORD frame = DS_MODALFRAME | WS_CAPTION | WS_SYSMENU;
    EXPECT_EQ(dlg->style & frame, frame);

    ASSERT_EQ(dlg->controls.size(), 4u);
    const ControlTemplate& version = dlg->controls[0];
    EXPECT_EQ(version.className, "Static");
    EXPECT_EQ(version.id, IDC_ABOUT_VERSION);
    EXPECT_EQ(version.text, "Orvanta Version");  // the About box adds the number
    EXPECT_EQ((version.x == 53) + (version.y == 15) + (version.cx == 119) + (version.cy == 8), 4);
    const ControlTemplate& ok = dlg->controls[1];
    EXPECT_EQ(ok.id, IDOK);
    EXPECT_EQ(ok.className, "Button");
    EXPECT_EQ(ok.style & BS_TYPEMASK, DWORD(BS_DEFPUSHBUTTON));
    EXPECT_EQ((ok.x == 242) + (ok.y == 19) + (ok.cx == 32) + (ok.cy == 37), 4);
    struct Line { int x, y, cx, cy; };
    const Line lines[] = {{7, 34, 228, 10}, {7, 52, 224, 10}};
    for (int i = 0; i < 2; ++i) {
        const ControlTemplate& c = dlg->controls[size_t(2 + i)];
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.className, "Static");
        EXPECT_FALSE(c.text.empty());
        EXPECT_EQ(c.x, lines[i].x);
        EXPECT_EQ(c.y, lines[i].y);
        EXPECT_EQ(c.cx, lines[i].cx);
        EXPECT_EQ(c.cy, lines[i].cy);
    }
}

TEST(ResourcesTest, IdsHaveTheirFixedValues)
{
    struct Id { const char* name; int value; };
    static const Id ids[] = {
        {"IDD_ABOUTBOX", 100}, {"IDS_ABOUTBOX", 101}, {"IDD_CONTROL_PANEL", 102}, {"IDR_MAINFRAME", 128},
        {"IDM_ABOUTBOX", 16}, {"IDS_SESSIONLOG", 103}, {"IDM_SESSIONLOG", 32},
        {"IDC_BASE_PLUS", 1001}, {"IDC_BASE_MINUS", 1002}, {"IDC_SHOULDER_DOWN", 1003}, {"IDC_SHOULDER_UP", 1004},
        {"IDC_ELBOW_DOWN", 1005}, {"IDC_ELBOW_UP", 1006}, {"IDC_WRIST_DOWN", 1007}, {"IDC_WRIST_UP", 1008},
        {"IDC_WRISTROT_PLUS", 1009}, {"IDC_WRISTROT_MINUS", 1010}, {"IDC_HAND_CLOSE", 1011}, {"IDC_HAND_OPEN", 1012},
        {"IDC_MOVE_XYZ", 1013}, {"IDC_CONNECT", 1014}, {"IDC_DISCONNECT", 1015}, {"IDC_STATUS", 1016},
        {"IDC_X_READ", 1017}, {"IDC_X_SET", 1018}, {"IDC_Y_READ", 1019}, {"IDC_Y_SET", 1020},
        {"IDC_Z_READ", 1021}, {"IDC_Z_SET", 1022}, {"IDC_PITCH_READ", 1023}, {"IDC_PITCH_SET", 1024},
        {"IDC_ROLL_READ", 1025}, {"IDC_ROLL_SET", 1026}, {"IDC_CALIBRATE", 1027}, {"IDC_HAND_READ", 1028},
        {"IDC_GOTO_HOME", 1029}, {"IDC_HAND_SET", 1030}, {"IDC_ROBOT_MESSAGE", 1031}, {"IDC_SPEED", 1032},
        {"IDC_ADD", 1033}, {"IDC_DEL", 1034}, {"IDC_STEP", 1035}, {"IDC_CHG", 1036}, {"IDC_LOAD", 1037},
        {"IDC_SAVE", 1038}, {"IDC_RUN", 1039}, {"IDC_NOTE", 1040}, {"IDC_STEP_LIST", 1041}, {"IDC_ON_TOP", 1042},
        {"IDC_REC", 1043}, {"IDC_BACKWARD", 1044}, {"IDC_MORE", 1045}, {"IDC_ABOUT", 1046},
    };
    for (const Id& id : ids)
        EXPECT_EQ(Resources::Get().ValueOf(id.name), id.value) << id.name;
}

TEST(ResourcesTest, StringTableAndIcon)
{
    EXPECT_EQ(Resources::Get().String(IDS_ABOUTBOX), std::optional<std::string>("&About Orvanta..."));
    EXPECT_EQ(Resources::Get().String(IDS_SESSIONLOG), std::optional<std::string>("&Session Log..."));
    EXPECT_EQ(Resources::Get().String(IDS_APP_TITLE), std::optional<std::string>("Orvanta"));
    EXPECT_TRUE(Resources::Get().HasIcon(IDR_MAINFRAME));
}

TEST(ResourcesTest, VersionBlockGivesOneZeroZeroOne)
{
    const std::string rc = kEmbeddedRc;
    for (const char* key : {"FILEVERSION", "PRODUCTVERSION"})
        EXPECT_TRUE(std::regex_search(rc, std::regex(std::string("\\n\\s*") + key + "\\s+1,\\s*0,\\s*0,\\s*1\\s")))
            << key;
    for (const char* value : {"FileVersion", "ProductVersion"})
        EXPECT_TRUE(std::regex_search(rc, std::regex(std::string("VALUE \"") + value + "\", \"1, 0, 0, 1\\\\0\"")))
            << value;
}

} // namespace
