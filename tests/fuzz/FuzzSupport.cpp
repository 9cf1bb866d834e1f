#include "FuzzSupport.h"

#include <cstdio>
#include <cstdlib>

namespace fuzz {

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

Panel::~Panel() { Close(); }

}  // namespace fuzz

// libFuzzer calls this once, before the first input, in every target: the
// desktop's failures (an unexpected box, a dialog left open) abort, so that
// libFuzzer keeps the input.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    SkypeDesktop::Get().onFailure = [](const std::string& what) { fuzz::Broken("headless desktop: " + what); };
    return 0;
}
