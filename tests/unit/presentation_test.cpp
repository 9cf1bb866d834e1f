// Window presentation: On Top, the compact and expanded sizes, the minimised icon.
#include "PanelFixture.h"

namespace {

class PresentationTest : public PanelTest { };

// The check boxes a push writes, in the exchange order; onTop: On Top's check.
Sequence PushedChecks(int onTop)
{
    return {"check IDC_REC 0", onTop ? "check IDC_ON_TOP 1" : "check IDC_ON_TOP 0", "check IDC_RUN 0",
            "check IDC_BACKWARD 0"};
}

// The placement follows the field as it was before the click, not the check
// mark, which has toggled already.
TEST_F(PresentationTest, OnTopClicksToggleTheTopmostPlacementBothWays)
{
    // On Top clicked twice: the click's own check, the placement, the push.
    static const Sequence expected = Sequence{"check IDC_ON_TOP 0", "place NOTOPMOST"} + PushedChecks(0) +
        Sequence{"check IDC_ON_TOP 1", "place TOPMOST"} + PushedChecks(1);
    OpenPanel();
    desk.Click(IDC_ON_TOP);
    EXPECT_FALSE(desk.Topmost());
    EXPECT_EQ(desk.Check(IDC_ON_TOP), 0);
    desk.Click(IDC_ON_TOP);
    EXPECT_TRUE(desk.Topmost());
    EXPECT_EQ(desk.Check(IDC_ON_TOP), 1);
    ExpectSequence(expected, Log(headless::kPlace | headless::kCheck));
    EXPECT_EQ(desk.Width(), 315);
    EXPECT_EQ(desk.Height(), 350);
}

TEST_F(PresentationTest, MoreThenLessResizeWithoutMovingAndRenameTheButton)
{
    // More, then Less.
    static const Sequence expected = {
        "place TOPMOST 325x640",
        "text IDC_MORE <<<< Less",
        "place TOPMOST 315x350",
        "text IDC_MORE More >>>>",
    };
    OpenPanel();
    const int left = desk.Left(), top = desk.Top();
    desk.Click(IDC_MORE);
    EXPECT_EQ(desk.Width(), 325);
    EXPECT_EQ(desk.Height(), 640);
    EXPECT_EQ(desk.Text(IDC_MORE), "<<<< Less");
    desk.Click(IDC_MORE);
    EXPECT_EQ(desk.Width(), 315);
    EXPECT_EQ(desk.Height(), 350);
    EXPECT_EQ(desk.Text(IDC_MORE), "More >>>>");
    EXPECT_EQ(desk.Left(), left);
    EXPECT_EQ(desk.Top(), top);
    ExpectSequence(expected, Log(headless::kPlace | headless::kText | headless::kCheck));
}

// Every size follows the display's dots per inch over 96, rounded; a move to a
// display of another scale takes the place and size the system suggests, and
// the next More or Less follows the new scale.
TEST_F(PresentationTest, SizesFollowTheDisplayScaleAndAScaleChangeTakesTheSuggestedRectangle)
{
    static const Sequence expected = {
        "place TOPMOST 488x960",   // More at 144 DPI: 325 x 640 times 1.5
        "place TOPMOST 473x525",   // Less: 315 x 350 times 1.5, 472.5 rounded up
        "place 394x438 at 40,30",  // moved to a display at 120 DPI
        "place TOPMOST 406x800",   // More there: 325 x 640 times 1.25
    };
    desk.dpi = 144;
    OpenPanel();
    EXPECT_EQ(desk.Width(), 473);
    EXPECT_EQ(desk.Height(), 525);
    desk.Click(IDC_MORE);
    desk.Click(IDC_MORE);
    desk.dpi = 120;
    RECT suggested{40, 30, 40 + 394, 30 + 438};
    // Any program can send the message: a rectangle of no sensible size is not taken.
    for (RECT foreign : {RECT{0, 0, 100000, 100000}, RECT{50, 50, 10, 10}})
        desk.Deliver(desk.Panel(), WM_DPICHANGED, WPARAM(120 << 16 | 120), LPARAM(&foreign));
    desk.Deliver(desk.Panel(), WM_DPICHANGED, WPARAM(120 << 16 | 120), LPARAM(&suggested));
    EXPECT_EQ(desk.Left(), 40);
    EXPECT_EQ(desk.Top(), 30);
    desk.Click(IDC_MORE);
    ExpectSequence(expected, Log(headless::kPlace));
}

TEST_F(PresentationTest, MoreMakesTheWindowTopmostEvenWithOnTopUnchecked)
{
    OpenPanel();
    desk.Click(IDC_ON_TOP);
    ASSERT_FALSE(desk.Topmost());
    desk.Click(IDC_MORE);
    EXPECT_TRUE(desk.Topmost());
    EXPECT_EQ(desk.Check(IDC_ON_TOP), 0);
    desk.Click(IDC_MORE);
    EXPECT_TRUE(desk.Topmost());
    EXPECT_EQ(desk.Check(IDC_ON_TOP), 0);
}

TEST_F(PresentationTest, OnTopPutsTheStoredValueBackIntoATypedEditAndMoreLeavesItAlone)
{
    OpenPanel();
    desk.Type(IDC_X_SET, "55");
    desk.Click(IDC_MORE);
    EXPECT_EQ(desk.Text(IDC_X_SET), "55");
    desk.Click(IDC_ON_TOP);
    EXPECT_EQ(desk.Text(IDC_X_SET), "0");
}

TEST_F(PresentationTest, MinimisedPaintErasesThenDrawsTheIconCentred)
{
    // Minimised: a 37 x 37 client area and 32-pixel icons give (37 - 32 + 1) / 2 = 3.
    static const Sequence expected = {"paint erase", "paint icon 128 at 3,3"};
    OpenPanel();
    desk.Minimise();
    ExpectSequence(expected, Log(headless::kAll));
}

TEST_F(PresentationTest, PaintOfAnOpenWindowIsTheDefault)
{
    OpenPanel();
    desk.Deliver(desk.Panel(), WM_PAINT, 0, 0);
    EXPECT_TRUE(Log(headless::kAll).empty());
}

TEST_F(PresentationTest, DragIconIsTheWindowIcon)
{
    OpenPanel();
    LRESULT icon = desk.Deliver(desk.Panel(), WM_QUERYDRAGICON, 0, 0);
    ASSERT_NE(icon, 0);
    EXPECT_EQ(reinterpret_cast<HICON>(icon)->id, IDR_MAINFRAME);
}

}  // namespace
