// The program's entry point on the handheld.

#include "platform/win32/ce/image_entry.h"
#include "platform/win32/native_handles.h"
#include "shell/startup.h"

int WinMainCRTStartup(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int) {
    runStaticConstructors();
    return runTavil(handleOf<ModuleHandle>(instance),
                    reinterpret_cast<const char16_t*>(commandLine));
}
