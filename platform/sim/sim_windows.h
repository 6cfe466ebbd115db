#pragma once
// Windows, the message queue and timers of the simulated handheld, as tests
// inspect them. Messages are delivered in the order they were posted; timer
// messages come when nothing else is waiting, as the clock reaches them.

#include "platform/windowing.h"

#include <cstdint>

inline constexpr int SIM_WINDOW_CAPACITY = 256; // dialogs bring a window per control
inline constexpr int SIM_QUEUE_CAPACITY = 64;
inline constexpr int SIM_TIMER_CAPACITY = 8;
inline constexpr int SIM_NAME_CAPACITY = 32;   // class names
inline constexpr int SIM_TITLE_CAPACITY = 128; // titles and control texts

struct SimWindowClass {
    bool registered;
    char16_t name[SIM_NAME_CAPACITY];
    WindowClassRecord record;
};

struct SimWindow {
    bool live;
    char16_t className[SIM_NAME_CAPACITY]; // cut to fit
    char16_t title[SIM_TITLE_CAPACITY];    // cut to fit
    std::uint32_t style;
    WindowProcedure procedure; // nullptr for a control, which handles nothing
    WindowHandle parent;
    int id;
};

struct SimTimer {
    bool live;
    WindowHandle window;
    std::uintptr_t id;
    std::uint32_t period;
    std::uint64_t due;
};

// Failures of the window manager, which outlast the program's process.
struct SimWindowingFaults {
    bool timerCreationFails;  // every setTimer is refused
    bool windowCreationFails; // createWindow makes nothing, as when memory runs out
};

struct SimWindowing {
    SimWindowClass classes[SIM_WINDOW_CAPACITY];
    SimWindow windows[SIM_WINDOW_CAPACITY];
    SimTimer timers[SIM_TIMER_CAPACITY];
    SimWindowingFaults faults;
    WindowMessage queue[SIM_QUEUE_CAPACITY]; // a ring: `queued` messages from `first`
    int first;
    int queued;
    bool quitPosted;
    int quitExitCode;
    int defaultHandled; // messages given to the default window handling
    WindowMessage lastDefaultHandled;
    int translated;
    int broughtToFront;
    WindowHandle lastBroughtToFront;
};

// Switched on, the handheld has no classes, windows, timers or messages.
extern SimWindowing& simWindowing; // simHandheld.windowing

// The window's entry, or nullptr when the handle names no live window.
const SimWindow* simWindow(WindowHandle window);

// A window the simulated handheld makes itself, such as a dialog or one of its
// controls; None when the table is full. No message is sent.
WindowHandle simAddWindow(const char16_t* className, const char16_t* title, std::uint32_t style,
                          WindowProcedure procedure, WindowHandle parent, int id);

// What a modal loop of the handheld (a message box, a popup menu) does while it
// is up: it delivers the messages waiting in the queue, and those posted while
// it delivers them, in order. The quit message stays for the program's own
// loop; no time passes.
void simRunModalLoop();

// The window of this process with that class and title, or None.
WindowHandle simFindLocalWindow(const char16_t* className, const char16_t* title);

// Posts only to a window of this process: false for any other handle.
bool simPostLocalMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                         std::intptr_t lParam);

// When the next timer is due (virtual milliseconds); UINT64_MAX for none.
std::uint64_t simNextTimerDue();

// Posts the message of every timer due by now and moves each on by its period:
// what a modal loop that waits in real time does as the clock passes them.
void simPostDueTimers();

// The child of `parent` with that id, or None.
WindowHandle simChildWindow(WindowHandle parent, int id);
