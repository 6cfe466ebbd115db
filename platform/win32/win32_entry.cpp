// The Windows entry point hands the program its module and command line.

#include "platform/win32/native_handles.h"
#include "shell/startup.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int) {
    return runTavil(handleOf<ModuleHandle>(instance),
                    reinterpret_cast<const char16_t*>(commandLine));
}
