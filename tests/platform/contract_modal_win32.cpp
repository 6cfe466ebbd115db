#include "tests/platform/contract_modal.h"

#include <windows.h>

namespace {

BOOL CALLBACK answerNoIfMessageBox(HWND window, LPARAM) {
    wchar_t className[16];
    if (GetClassNameW(window, className, 16) > 0 && lstrcmpW(className, L"#32770") == 0) {
        PostMessageW(window, WM_COMMAND, IDNO, 0);
    }
    return TRUE;
}

} // namespace

void answerOpenMessageBoxNo() {
    EnumThreadWindows(GetCurrentThreadId(), answerNoIfMessageBox, 0);
}

void closeOpenPopupMenu() {
    EndMenu();
}
