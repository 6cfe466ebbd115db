#include "platform/win32/native_handles.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/window_details.h"
#include "platform/windowing.h"

#include <windows.h>

#include <cwchar>

namespace {

constexpr int CLASS_CAPACITY = 8;
constexpr int CLASS_NAME_CAPACITY = 64;

struct RegisteredProcedure {
    wchar_t className[CLASS_NAME_CAPACITY];
    WindowProcedure procedure;
};

RegisteredProcedure procedures[CLASS_CAPACITY];

WindowProcedure procedureOfClass(HWND window) {
    wchar_t className[CLASS_NAME_CAPACITY];
    if (GetClassNameW(window, className, CLASS_NAME_CAPACITY) == 0) {
        return nullptr;
    }
    for (const RegisteredProcedure& entry : procedures) {
        if (entry.procedure != nullptr && std::wcscmp(entry.className, className) == 0) {
            return entry.procedure;
        }
    }
    return nullptr;
}

// Every window of a class registered here receives its messages through this
// procedure, which hands them on with the program's own types. The program's
// procedure is found by class name once and then kept with the window.
LRESULT CALLBACK deliverMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto handle = handleOf<WindowHandle>(window);
    WindowProcedure procedure = keptWindowProcedure(handle);
    if (procedure == nullptr) {
        procedure = procedureOfClass(window);
        keepWindowProcedure(handle, procedure);
    }
    if (procedure == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return procedure(handle, message, wParam, lParam);
}

bool rememberProcedure(const char16_t* className, WindowProcedure procedure) {
    for (RegisteredProcedure& entry : procedures) {
        if (entry.procedure == nullptr && std::wcslen(wide(className)) < CLASS_NAME_CAPACITY) {
            std::wcscpy(entry.className, wide(className));
            entry.procedure = procedure;
            return true;
        }
    }
    return false;
}

MSG nativeMessage(const WindowMessage& message) {
    MSG native{};
    native.hwnd = ::native<HWND>(message.window);
    native.message = message.message;
    native.wParam = message.wParam;
    native.lParam = message.lParam;
    return native;
}

} // namespace

bool registerWindowClass(const WindowClassRecord& windowClass) {
    WNDCLASSW native{};
    native.style = windowClass.style;
    native.lpfnWndProc = deliverMessage;
    native.hInstance = ::native<HINSTANCE>(windowClass.instance);
    native.hbrBackground = reinterpret_cast<HBRUSH>(classBackground(windowClass.background));
    native.lpszClassName = wide(windowClass.name);
    if (windowClass.procedure == nullptr || RegisterClassW(&native) == 0) {
        return false;
    }
    return rememberProcedure(windowClass.name, windowClass.procedure);
}

WindowHandle createWindow(const char16_t* className, const char16_t* title, std::uint32_t style,
                          ModuleHandle instance) {
    return handleOf<WindowHandle>(CreateWindowExW(0, wide(className), wide(title), style, 0, 0, 0,
                                                  0, nullptr, nullptr, native<HINSTANCE>(instance),
                                                  nullptr));
}

bool destroyWindow(WindowHandle window) {
    return DestroyWindow(native<HWND>(window)) != FALSE;
}

std::intptr_t defaultWindowProcedure(WindowHandle window, std::uint32_t message,
                                     std::uintptr_t wParam, std::intptr_t lParam) {
    return DefWindowProcW(native<HWND>(window), message, wParam, lParam);
}

WindowHandle findWindow(const char16_t* className, const char16_t* title) {
    return handleOf<WindowHandle>(FindWindowW(wide(className), wide(title)));
}

bool postMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                 std::intptr_t lParam) {
    return PostMessageW(native<HWND>(window), message, wParam, lParam) != FALSE;
}

void postQuitMessage(int exitCode) {
    PostQuitMessage(exitCode);
}

// A failure to get a message (-1) ends the loop as the quit message does.
bool getMessage(WindowMessage& message) {
    MSG native{};
    const BOOL got = GetMessageW(&native, nullptr, 0, 0);
    message = WindowMessage{handleOf<WindowHandle>(native.hwnd), native.message, native.wParam,
                            native.lParam};
    return got > 0;
}

void translateMessage(const WindowMessage& message) {
    const MSG native = nativeMessage(message);
    TranslateMessage(&native);
}

std::intptr_t dispatchMessage(const WindowMessage& message) {
    const MSG native = nativeMessage(message);
    return DispatchMessageW(&native);
}

bool setTimer(WindowHandle window, std::uintptr_t id, std::uint32_t periodMs) {
    return SetTimer(native<HWND>(window), id, periodMs, nullptr) != 0;
}
