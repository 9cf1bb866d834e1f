// Window presentation: the More/Less sizes and the On Top switch.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "OrvantaFixture.h"

namespace e2e {
namespace {

// The controls of `dialog` that reach outside its client area, one line each;
// with `only`, only those among them. The template is laid out in dialog units
// of its font: a substitute font with wider metrics, or a display scale the
// window does not follow, pushes controls out of the window.
std::string ControlsOutsideClientArea(const RemoteDialog& dialog, std::vector<int> only = {})
{
    struct Search {
        HWND parent;
        RECT client;
        std::vector<int> only;
        std::string outside;
    } search{dialog.hwnd(), {}, std::move(only), {}};
    GetClientRect(dialog.hwnd(), &search.client);
    EnumChildWindows(
        dialog.hwnd(),
        [](HWND child, LPARAM param) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(param);
            if (GetParent(child) != s.parent)
                return TRUE;
            if (!s.only.empty() && std::find(s.only.begin(), s.only.end(), GetDlgCtrlID(child)) == s.only.end())
                return TRUE;
            RECT r{};
            GetWindowRect(child, &r);
            MapWindowPoints(HWND_DESKTOP, s.parent, reinterpret_cast<POINT*>(&r), 2);
            if (r.left < s.client.left || r.top < s.client.top || r.right > s.client.right ||
                r.bottom > s.client.bottom)
                s.outside += ControlName(GetDlgCtrlID(child)) + " at (" + std::to_string(r.left) + "," +
                    std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," + std::to_string(r.bottom) + ")\n";
            return TRUE;
        },
        LPARAM(&search));
    return search.outside;
}

class Presentation : public DetachedOrvantaTest {
protected:
    ::testing::AssertionResult sizeBecomes(LONG width, LONG height)
    {
        auto result = WaitFor("size " + std::to_string(width) + " x " + std::to_string(height), [&] {
            SIZE size = panel.size();
            return size.cx == width && size.cy == height;
        });
        if (!result)
            result << " (it is " << panel.size().cx << " x " << panel.size().cy << ")";
        return result;
    }
    ::testing::AssertionResult topmostBecomes(bool topmost)
    {
        return WaitFor(topmost ? "topmost" : "not topmost", [&] { return panel.topmost() == topmost; });
    }
    ::testing::AssertionResult textBecomes(int id, const std::string& text)
    {
        auto result = WaitFor(ControlName(id) + " to read \"" + text + "\"", [&] { return panel.text(id) == text; });
        if (!result)
            result << " (it reads \"" << panel.text(id) << "\")";
        return result;
    }
};

TEST_F(Presentation, MoreExpandsAndLessRestoresAtTheSamePlace)
{
    RECT before = panel.rect();
    ASSERT_TRUE(panel.click(IDC_MORE));
    ASSERT_TRUE(sizeBecomes(325, 640));
    EXPECT_TRUE(textBecomes(IDC_MORE, "<<<< Less"));
    EXPECT_EQ(ControlsOutsideClientArea(panel), "") << "the expanded panel cuts these off";
    EXPECT_TRUE(panel.topmost());
    EXPECT_EQ(panel.rect().left, before.left);
    EXPECT_EQ(panel.rect().top, before.top);

    ASSERT_TRUE(panel.click(IDC_MORE));
    ASSERT_TRUE(sizeBecomes(315, 350));
    EXPECT_TRUE(textBecomes(IDC_MORE, "More >>>>"));
    EXPECT_TRUE(panel.topmost());
    RECT after = panel.rect();
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
}

TEST_F(Presentation, OnTopClickTogglesTopmost)
{
    ASSERT_TRUE(panel.click(IDC_ON_TOP));
    ASSERT_TRUE(topmostBecomes(false));
    EXPECT_EQ(panel.checkState(IDC_ON_TOP), BST_UNCHECKED);

    ASSERT_TRUE(panel.click(IDC_ON_TOP));
    ASSERT_TRUE(topmostBecomes(true));
    EXPECT_EQ(panel.checkState(IDC_ON_TOP), BST_CHECKED);
    // Only the placement changes, never the size.
    EXPECT_EQ(panel.size().cx, 315);
    EXPECT_EQ(panel.size().cy, 350);
}

TEST_F(Presentation, MoreMakesTopmostAgainWhileOnTopStaysUnchecked)
{
    ASSERT_TRUE(panel.click(IDC_ON_TOP));
    ASSERT_TRUE(topmostBecomes(false));

    ASSERT_TRUE(panel.click(IDC_MORE));
    ASSERT_TRUE(sizeBecomes(325, 640));
    EXPECT_TRUE(panel.topmost());
    EXPECT_EQ(panel.checkState(IDC_ON_TOP), BST_UNCHECKED);

    ASSERT_TRUE(panel.click(IDC_MORE));
    ASSERT_TRUE(sizeBecomes(315, 350));
    EXPECT_TRUE(panel.topmost());
    EXPECT_EQ(panel.checkState(IDC_ON_TOP), BST_UNCHECKED);
}

TEST_F(Presentation, OnTopClickPutsTheStoredValuesBack)
{
    // On Top pushes every field into the controls; typed text not yet read is lost.
    ASSERT_TRUE(panel.setText(IDC_PITCH_SET, "12.5"));
    ASSERT_TRUE(panel.click(IDC_ON_TOP));
    ASSERT_TRUE(topmostBecomes(false));
    EXPECT_TRUE(textBecomes(IDC_PITCH_SET, "-90"));
}

TEST_F(Presentation, MoreLeavesTheEditsAlone)
{
    ASSERT_TRUE(panel.setText(IDC_X_SET, "7"));
    ASSERT_TRUE(panel.click(IDC_MORE));
    ASSERT_TRUE(sizeBecomes(325, 640));
    EXPECT_EQ(panel.text(IDC_X_SET), "7");
    EXPECT_EQ(panel.text(IDC_PITCH_SET), "-90");
}

// The display at 150 %: CTest runs this suite in a Wine prefix whose LogPixels
// is 144 (scripts/wine-run --dpi 144). The window follows the template, which
// grows with the display: at the fixed 96 DPI sizes it showed only its upper left.
class HighDpi : public Presentation {
protected:
    void SetUp() override
    {
        DWORD dpi = 0, size = sizeof dpi;
        if (RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", RRF_RT_REG_DWORD, nullptr, &dpi,
                         &size) != ERROR_SUCCESS ||
            dpi != 144)
            GTEST_SKIP() << "the display is not at 144 DPI; run it as CTest does: ./test -R e2e.HighDpi";
        Presentation::SetUp();
    }
    // About 1.5 times the size at 96 DPI (the scaled size is rounded).
    ::testing::AssertionResult sizeBecomesAboutHalfAgain(LONG width, LONG height)
    {
        auto isAbout = [](LONG actual, LONG at96) { return std::abs(actual * 2 - at96 * 3) <= 4; };
        auto result = WaitFor("size about 1.5 x " + std::to_string(width) + " x " + std::to_string(height), [&] {
            SIZE size = panel.size();
            return isAbout(size.cx, width) && isAbout(size.cy, height);
        });
        if (!result)
            result << " (it is " << panel.size().cx << " x " << panel.size().cy << ")";
        return result;
    }
};

TEST_F(HighDpi, PanelGrowsWithTheDisplayAndMoreShowsEveryControl)
{
    ASSERT_TRUE(sizeBecomesAboutHalfAgain(315, 350));
    // The compact panel's right-hand column, cut off when the window kept its 96 DPI size.
    EXPECT_EQ(ControlsOutsideClientArea(panel, {IDC_ON_TOP, IDC_ABOUT, IDC_CALIBRATE, IDC_GOTO_HOME, IDC_MORE}), "");
    RECT before = panel.rect();

    ASSERT_TRUE(panel.click(IDC_MORE));
    ASSERT_TRUE(sizeBecomesAboutHalfAgain(325, 640));
    EXPECT_EQ(ControlsOutsideClientArea(panel), "") << "the expanded panel cuts these off";
    EXPECT_EQ(panel.rect().left, before.left);
    EXPECT_EQ(panel.rect().top, before.top);

    ASSERT_TRUE(panel.click(IDC_MORE));
    ASSERT_TRUE(sizeBecomesAboutHalfAgain(315, 350));
    EXPECT_TRUE(textBecomes(IDC_MORE, "More >>>>"));
    EXPECT_EQ(panel.rect().left, before.left);
    EXPECT_EQ(panel.rect().top, before.top);
}

}  // namespace
}  // namespace e2e
