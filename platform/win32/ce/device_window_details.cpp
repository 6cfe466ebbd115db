// The handheld's window details (built only for the device).

#include "platform/win32/ce/ce_sdk.h"
#include "platform/win32/native_handles.h"
#include "platform/win32/window_details.h"

// The handheld has no GetWindowLongPtrW: its procedures fit its 32-bit window longs.
WindowProcedure keptWindowProcedure(WindowHandle window) {
    return reinterpret_cast<WindowProcedure>(GetWindowLongW(native<HWND>(window), GWL_USERDATA));
}

void keepWindowProcedure(WindowHandle window, WindowProcedure procedure) {
    SetWindowLongW(native<HWND>(window), GWL_USERDATA, reinterpret_cast<LONG>(procedure));
}

DialogProcedure keptDialogProcedure(WindowHandle dialog) {
    return reinterpret_cast<DialogProcedure>(GetWindowLongW(native<HWND>(dialog), DWL_USER));
}

void keepDialogProcedure(WindowHandle dialog, DialogProcedure procedure) {
    SetWindowLongW(native<HWND>(dialog), DWL_USER, reinterpret_cast<LONG>(procedure));
}

// The handheld takes the program's value as it is: the program names system colours its way.
std::uintptr_t classBackground(std::uintptr_t background) {
    return background;
}
