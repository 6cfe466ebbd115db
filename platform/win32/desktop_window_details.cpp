// The desktop's window details: the program's procedures live in the
// pointer-sized user values of windows and dialogs, and a class names a system
// colour as the colour number plus one.

#include "platform/win32/native_handles.h"
#include "platform/win32/window_details.h"

#include <windows.h>

namespace {

constexpr std::uintptr_t SYSTEM_COLOUR_FLAG = 0x40000000;

} // namespace

WindowProcedure keptWindowProcedure(WindowHandle window) {
    return reinterpret_cast<WindowProcedure>(
        GetWindowLongPtrW(native<HWND>(window), GWLP_USERDATA));
}

void keepWindowProcedure(WindowHandle window, WindowProcedure procedure) {
    SetWindowLongPtrW(native<HWND>(window), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(procedure));
}

DialogProcedure keptDialogProcedure(WindowHandle dialog) {
    return reinterpret_cast<DialogProcedure>(GetWindowLongPtrW(native<HWND>(dialog), DWLP_USER));
}

void keepDialogProcedure(WindowHandle dialog, DialogProcedure procedure) {
    SetWindowLongPtrW(native<HWND>(dialog), DWLP_USER, reinterpret_cast<LONG_PTR>(procedure));
}

std::uintptr_t classBackground(std::uintptr_t background) {
    if ((background & SYSTEM_COLOUR_FLAG) != 0) {
        return (background & ~SYSTEM_COLOUR_FLAG) + 1;
    }
    return background;
}
