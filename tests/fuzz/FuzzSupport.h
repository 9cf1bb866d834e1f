// What every fuzz target shares: a broken property or a failure the headless
// desktop reports (an unexpected box, a dialog left open) ends the process, so
// that libFuzzer keeps the input; and the panel opened for one input.
#pragma once
#include <memory>
#include <string>

#include "ControlPanelDlg.h"
#include "PanelDriver.h"

namespace fuzz {

// Prints what was broken and aborts.
[[noreturn]] void Broken(const std::string& what);

// A fresh desktop and panel for one input, let go when it goes out of scope.
struct Panel {
    enum class State { Open, Attached, Operating };
    explicit Panel(State state);
    ~Panel();
    Panel(const Panel&) = delete;
    Panel& operator=(const Panel&) = delete;
    CControlPanelDlg* operator->() const { return panel.get(); }
    // Closes the panel as the program's end does (its close-down runs), lets it
    // go and forgets every window.
    void Close();

    SkypeDesktop& desk = SkypeDesktop::Get();
    std::unique_ptr<CControlPanelDlg> panel;
};

}  // namespace fuzz

#define FUZZ_PROPERTY(condition, what)                                                                                 \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            ::fuzz::Broken(what);                                                                                      \
    } while (0)
