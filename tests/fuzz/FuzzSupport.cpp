#include "FuzzSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace fuzz {
namespace {

// The headless desktop reports through GoogleTest (ADD_FAILURE). Outside a
// running test the report still reaches the listeners: here it aborts.
class AbortOnFailure : public testing::EmptyTestEventListener {
    void OnTestPartResult(const testing::TestPartResult& result) override
    {
        if (!result.failed())
            return;
        std::fprintf(stderr, "%s:%d: %s\n", result.file_name() ? result.file_name() : "?", result.line_number(),
                     result.message());
        std::abort();
    }
};

} // namespace

void Setup()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    testing::UnitTest::GetInstance()->listeners().Append(new AbortOnFailure);
}

void Broken(const std::string& what)
{
    std::fprintf(stderr, "\nproperty broken: %s\n", what.c_str());
    std::abort();
}

Panel::Panel(State state)
{
    desk.Reset();
    panel = panel_driver::Open(desk);
    if (!panel)
        Broken("the panel could not be opened");
    if (state != State::Open)
        panel_driver::Attach(desk);
    if (state == State::Operating)
        panel_driver::StartVideo(desk);
    desk.ClearLog();
}

void Panel::Close()
{
    // As the program ends: the close box ends the modal run, and the window is
    // destroyed after it, its close-down first.
    if (panel && panel->m_hWnd) {
        desk.CloseBox();
        panel->DestroyWindow();
    }
    panel_driver::Close(panel, desk);
}

Panel::~Panel()
{
    Close();
}

} // namespace fuzz
