#pragma once
// The entry points that the handheld's system calls in our images, and what
// they run before the program: the static constructors, which the linker script
// gathers between imageConstructorsStart and imageConstructorsEnd.

#include "platform/win32/ce/ce_sdk.h"

extern "C" {
// A program's: its module, the unused previous instance, the command line and
// the show flag; the value it returns is the process's exit code.
int WinMainCRTStartup(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show);
// A library's, on every load and unload; it calls the library's own DllMain.
BOOL DllMainCRTStartup(HINSTANCE module, DWORD reason, LPVOID reserved);
BOOL DllMain(HINSTANCE module, DWORD reason, LPVOID reserved);
}

void runStaticConstructors();
