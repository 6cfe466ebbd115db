#include "platform/dialogs.h"
#include "platform/win32/native_handles.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/window_details.h"

#include <windows.h>

namespace {

HINSTANCE module(ModuleHandle instance) {
    return instance != ModuleHandle::None ? native<HINSTANCE>(instance) : GetModuleHandleW(nullptr);
}

// Every dialog receives its messages through this procedure, which hands them
// on with the program's own types. The program's procedure comes as the
// creation parameter and is kept with the dialog; the program itself passes
// no parameter, so its procedure sees 0.
INT_PTR CALLBACK deliverDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto window = handleOf<WindowHandle>(dialog);
    if (message == WM_INITDIALOG) {
        keepDialogProcedure(window, reinterpret_cast<DialogProcedure>(lParam));
        lParam = 0;
    }
    const DialogProcedure procedure = keptDialogProcedure(window);
    if (procedure == nullptr) {
        return FALSE;
    }
    return procedure(window, message, wParam, lParam);
}

} // namespace

WindowHandle createDialogFromResource(ModuleHandle instance, unsigned templateId,
                                      DialogProcedure procedure) {
    const HINSTANCE owner = module(instance);
    HRSRC found = FindResourceW(owner, MAKEINTRESOURCEW(templateId), MAKEINTRESOURCEW(5));
    HGLOBAL loaded = found != nullptr ? LoadResource(owner, found) : nullptr;
    const auto* dialogTemplate =
        loaded != nullptr ? static_cast<const DLGTEMPLATE*>(LockResource(loaded)) : nullptr;
    if (dialogTemplate == nullptr || procedure == nullptr) {
        return WindowHandle::None;
    }
    HWND dialog = CreateDialogIndirectParamW(owner, dialogTemplate, nullptr, deliverDialogMessage,
                                             reinterpret_cast<LPARAM>(procedure));
    // The templates do not ask to be visible; the dialog is shown as it is made.
    if (dialog != nullptr) {
        ShowWindow(dialog, SW_SHOW);
    }
    return handleOf<WindowHandle>(dialog);
}

// A dialog made without its own message loop is closed for good here.
void endDialog(WindowHandle dialog, std::intptr_t result) {
    EndDialog(native<HWND>(dialog), result);
    DestroyWindow(native<HWND>(dialog));
}

WindowHandle dialogItem(WindowHandle dialog, int id) {
    return handleOf<WindowHandle>(GetDlgItem(native<HWND>(dialog), id));
}

void setWindowText(WindowHandle window, const char16_t* text) {
    SetWindowTextW(native<HWND>(window), wide(text));
}

std::size_t windowText(WindowHandle window, char16_t* buffer, std::size_t capacity) {
    if (capacity == 0) {
        return 0;
    }
    const int length = GetWindowTextW(native<HWND>(window), reinterpret_cast<wchar_t*>(buffer),
                                      static_cast<int>(capacity));
    buffer[length > 0 ? length : 0] = u'\0';
    return length > 0 ? static_cast<std::size_t>(length) : 0;
}

void bringWindowToFront(WindowHandle window) {
    SetForegroundWindow(native<HWND>(window));
}
