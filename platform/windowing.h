#pragma once
// Windows, their messages, the message loop and timers.

#include "platform/handles.h"

#include <cstdint>

inline constexpr std::uint32_t WM_CREATE_MESSAGE = 1;
inline constexpr std::uint32_t WM_DESTROY_MESSAGE = 2;
inline constexpr std::uint32_t WM_CLOSE_MESSAGE = 16;
inline constexpr std::uint32_t WM_COMMAND_MESSAGE = 273;
inline constexpr std::uint32_t WM_TIMER_MESSAGE = 275;

using WindowProcedure = std::intptr_t (*)(WindowHandle window, std::uint32_t message,
                                          std::uintptr_t wParam, std::intptr_t lParam);

struct WindowClassRecord {
    std::uint32_t style;
    WindowProcedure procedure;
    ModuleHandle instance;
    std::uintptr_t background; // a brush, or a system colour number + 1
    const char16_t* name;
};

struct WindowMessage {
    WindowHandle window;
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
};

bool registerWindowClass(const WindowClassRecord& windowClass);

// A top-level window at 0,0 of size 0 by 0, without parent, menu or creation
// parameter. Its procedure receives the create message before this returns.
WindowHandle createWindow(const char16_t* className, const char16_t* title, std::uint32_t style,
                          ModuleHandle instance);

bool destroyWindow(WindowHandle window);
std::intptr_t defaultWindowProcedure(WindowHandle window, std::uint32_t message,
                                     std::uintptr_t wParam, std::intptr_t lParam);

// The top-level window with this class and title, or None.
WindowHandle findWindow(const char16_t* className, const char16_t* title);

bool postMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                 std::intptr_t lParam);
void postQuitMessage(int exitCode);

// Waits for the next message of this thread; false when it is the quit message.
bool getMessage(WindowMessage& message);
void translateMessage(const WindowMessage& message);
std::intptr_t dispatchMessage(const WindowMessage& message);

// Posts the timer message with `id` to the window every `periodMs` milliseconds.
bool setTimer(WindowHandle window, std::uintptr_t id, std::uint32_t periodMs);
