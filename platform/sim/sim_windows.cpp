#include "platform/sim/sim_windows.h"

#include "platform/dialogs.h"
#include "platform/sim/cut_text.h"
#include "platform/sim/name_compare.h"
#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_driver.h"
#include "platform/sim/sim_handheld.h"
#include "platform/sim/sim_shared.h"
#include "platform/whole_text.h"

SimWindowing& simWindowing = simHandheld.windowing;

namespace {

constexpr std::uintptr_t FIRST_WINDOW_HANDLE = 0x10000;
constexpr std::uint32_t WM_QUIT_MESSAGE = 18;

SimWindowClass* findClass(const char16_t* name) {
    if (name == nullptr) {
        return nullptr;
    }
    for (SimWindowClass& windowClass : simWindowing.classes) {
        if (windowClass.registered && sameName(windowClass.name, name)) {
            return &windowClass;
        }
    }
    return nullptr;
}

SimWindow* liveWindow(WindowHandle window) {
    const std::uintptr_t slot = static_cast<std::uintptr_t>(window) - FIRST_WINDOW_HANDLE;
    if (slot >= SIM_WINDOW_CAPACITY || !simWindowing.windows[slot].live) {
        return nullptr;
    }
    return &simWindowing.windows[slot];
}

WindowHandle handleOfSlot(int slot) {
    return static_cast<WindowHandle>(FIRST_WINDOW_HANDLE + static_cast<std::uintptr_t>(slot));
}

int freeSlot() {
    for (int slot = 0; slot < SIM_WINDOW_CAPACITY; ++slot) {
        if (!simWindowing.windows[slot].live) {
            return slot;
        }
    }
    return -1;
}

void stopTimers(WindowHandle window) {
    for (SimTimer& timer : simWindowing.timers) {
        if (timer.live && timer.window == window) {
            timer = SimTimer{};
        }
    }
}

SimTimer* nextTimer() {
    SimTimer* next = nullptr;
    for (SimTimer& timer : simWindowing.timers) {
        if (timer.live && (next == nullptr || timer.due < next->due)) {
            next = &timer;
        }
    }
    return next;
}

WindowMessage takeQueued() {
    const WindowMessage message = simWindowing.queue[simWindowing.first];
    simWindowing.first = (simWindowing.first + 1) % SIM_QUEUE_CAPACITY;
    --simWindowing.queued;
    return message;
}

} // namespace

const SimWindow* simWindow(WindowHandle window) {
    return liveWindow(window);
}

bool registerWindowClass(const WindowClassRecord& windowClass) {
    if (windowClass.procedure == nullptr || windowClass.name == nullptr ||
        findClass(windowClass.name) != nullptr) {
        return false;
    }
    for (SimWindowClass& slot : simWindowing.classes) {
        if (!slot.registered) {
            if (!copyWholeText(windowClass.name, slot.name, SIM_NAME_CAPACITY)) {
                return false;
            }
            slot.registered = true;
            slot.record = windowClass;
            slot.record.name = slot.name;
            return true;
        }
    }
    return false;
}

WindowHandle createWindow(const char16_t* className, const char16_t* title, std::uint32_t style,
                          ModuleHandle) {
    const SimWindowClass* windowClass = findClass(className);
    if (simWindowing.faults.windowCreationFails || windowClass == nullptr || title == nullptr) {
        return WindowHandle::None;
    }
    const WindowHandle handle = simAddWindow(windowClass->name, title, style,
                                             windowClass->record.procedure, WindowHandle::None, 0);
    if (handle != WindowHandle::None &&
        liveWindow(handle)->procedure(handle, WM_CREATE_MESSAGE, 0, 0) == -1) {
        destroyWindow(handle);
        return WindowHandle::None;
    }
    return handle;
}

WindowHandle simAddWindow(const char16_t* className, const char16_t* title, std::uint32_t style,
                          WindowProcedure procedure, WindowHandle parent, int id) {
    const int slot = freeSlot();
    if (slot < 0) {
        return WindowHandle::None;
    }
    SimWindow& window = simWindowing.windows[slot];
    window = SimWindow{true, {}, {}, style, procedure, parent, id};
    copyCutText(className, window.className, SIM_NAME_CAPACITY);
    copyCutText(title, window.title, SIM_TITLE_CAPACITY);
    return handleOfSlot(slot);
}

WindowHandle simChildWindow(WindowHandle parent, int id) {
    for (int slot = 0; slot < SIM_WINDOW_CAPACITY; ++slot) {
        const SimWindow& window = simWindowing.windows[slot];
        if (window.live && parent != WindowHandle::None && window.parent == parent &&
            window.id == id) {
            return handleOfSlot(slot);
        }
    }
    return WindowHandle::None;
}

// Children go with their parent, as on the device.
bool destroyWindow(WindowHandle window) {
    SimWindow* entry = liveWindow(window);
    if (entry == nullptr) {
        return false;
    }
    if (entry->procedure != nullptr) {
        entry->procedure(window, WM_DESTROY_MESSAGE, 0, 0);
    }
    stopTimers(window);
    entry->live = false;
    for (int slot = 0; slot < SIM_WINDOW_CAPACITY; ++slot) {
        if (simWindowing.windows[slot].live && simWindowing.windows[slot].parent == window) {
            destroyWindow(handleOfSlot(slot));
        }
    }
    return true;
}

std::intptr_t defaultWindowProcedure(WindowHandle window, std::uint32_t message,
                                     std::uintptr_t wParam, std::intptr_t lParam) {
    ++simWindowing.defaultHandled;
    simWindowing.lastDefaultHandled = WindowMessage{window, message, wParam, lParam};
    if (message == WM_CLOSE_MESSAGE) {
        destroyWindow(window);
    }
    return 0;
}

WindowHandle findWindow(const char16_t* className, const char16_t* title) {
    if (className == nullptr || title == nullptr) {
        return WindowHandle::None;
    }
    const WindowHandle local = simFindLocalWindow(className, title);
    return local != WindowHandle::None ? local : simFindSharedWindow(className, title);
}

WindowHandle simFindLocalWindow(const char16_t* className, const char16_t* title) {
    for (int slot = 0; slot < SIM_WINDOW_CAPACITY; ++slot) {
        const SimWindow& window = simWindowing.windows[slot];
        if (window.live && sameName(window.className, className) && sameName(window.title, title)) {
            return handleOfSlot(slot);
        }
    }
    return WindowHandle::None;
}

bool postMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                 std::intptr_t lParam) {
    if (liveWindow(window) == nullptr) {
        return simPostSharedMessage(window, message, wParam, lParam);
    }
    return simPostLocalMessage(window, message, wParam, lParam);
}

bool simPostLocalMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                         std::intptr_t lParam) {
    if (liveWindow(window) == nullptr || simWindowing.queued == SIM_QUEUE_CAPACITY) {
        return false;
    }
    const int last = (simWindowing.first + simWindowing.queued) % SIM_QUEUE_CAPACITY;
    simWindowing.queue[last] = WindowMessage{window, message, wParam, lParam};
    ++simWindowing.queued;
    return true;
}

void postQuitMessage(int exitCode) {
    simWindowing.quitPosted = true;
    simWindowing.quitExitCode = exitCode;
}

bool getMessage(WindowMessage& message) {
    simClock.ranOutOfTime = false;
    for (;;) {
        if (simRestartPending()) { // the device restarts under the program
            simRestartHandheld();
            message = WindowMessage{WindowHandle::None, WM_QUIT_MESSAGE, 0, 0};
            return false;
        }
        if (simWindowing.queued == 0) {
            simReceiveSharedMessages();
        }
        if (simWindowing.queued > 0) {
            message = takeQueued();
            return true;
        }
        if (simWindowing.quitPosted) {
            simWindowing.quitPosted = false;
            message = WindowMessage{WindowHandle::None, WM_QUIT_MESSAGE,
                                    static_cast<std::uintptr_t>(simWindowing.quitExitCode), 0};
            return false;
        }
        SimTimer* timer = nextTimer();
        if (simDriver.wait != nullptr && (timer == nullptr || timer->due > simClock.now)) {
            simDriver.wait(timer != nullptr ? timer->due : UINT64_MAX);
            continue;
        }
        if (timer == nullptr || timer->due > simClock.runUntil) {
            simAdvanceClock(simClock.runUntil > simClock.now ? simClock.runUntil - simClock.now
                                                             : 0);
            simClock.ranOutOfTime = true;
            message = WindowMessage{WindowHandle::None, WM_QUIT_MESSAGE, 0, 0};
            return false;
        }
        simAdvanceClock(timer->due - simClock.now);
        simPostDueTimers();
    }
}

std::uint64_t simNextTimerDue() {
    const SimTimer* timer = nextTimer();
    return timer != nullptr ? timer->due : UINT64_MAX;
}

void simPostDueTimers() {
    for (SimTimer& timer : simWindowing.timers) {
        if (timer.live && timer.due <= simClock.now) {
            timer.due += timer.period;
            postMessage(timer.window, WM_TIMER_MESSAGE, timer.id, 0);
        }
    }
}

void simRunModalLoop() {
    while (simWindowing.queued > 0) {
        dispatchMessage(takeQueued());
    }
}

void translateMessage(const WindowMessage&) {
    ++simWindowing.translated;
}

std::intptr_t dispatchMessage(const WindowMessage& message) {
    SimWindow* window = liveWindow(message.window);
    if (window == nullptr || window->procedure == nullptr) {
        return 0;
    }
    return window->procedure(message.window, message.message, message.wParam, message.lParam);
}

bool setTimer(WindowHandle window, std::uintptr_t id, std::uint32_t periodMs) {
    if (simWindowing.faults.timerCreationFails || liveWindow(window) == nullptr || periodMs == 0) {
        return false;
    }
    SimTimer* free = nullptr;
    for (SimTimer& timer : simWindowing.timers) {
        if (timer.live && timer.window == window && timer.id == id) {
            free = &timer; // setting it again restarts its period
            break;
        }
        if (!timer.live && free == nullptr) {
            free = &timer;
        }
    }
    if (free == nullptr) {
        return false;
    }
    *free = SimTimer{true, window, id, periodMs, simClock.now + periodMs};
    return true;
}

void setWindowText(WindowHandle window, const char16_t* text) {
    if (SimWindow* entry = liveWindow(window)) {
        copyCutText(text, entry->title, SIM_TITLE_CAPACITY);
    }
}

std::size_t windowText(WindowHandle window, char16_t* buffer, std::size_t capacity) {
    const SimWindow* entry = liveWindow(window);
    return copyCutText(entry != nullptr ? entry->title : nullptr, buffer, capacity);
}

void bringWindowToFront(WindowHandle window) {
    if (liveWindow(window) != nullptr) {
        ++simWindowing.broughtToFront;
        simWindowing.lastBroughtToFront = window;
    }
}
