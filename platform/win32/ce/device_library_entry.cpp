// A library's entry point on the handheld: the static constructors run when a
// process loads the library, and the library's own DllMain sees every call.

#include "platform/win32/ce/image_entry.h"

BOOL DllMainCRTStartup(HINSTANCE module, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        runStaticConstructors();
    }
    return DllMain(module, reason, reserved);
}
