// The setup DLL that the handheld's package installer loads: Install_Init runs
// the install gate for the version this DLL was built for (TAVIL_SETUP_TARGET_MAJOR
// and _MINOR); Install_Exit, Uninstall_Init and Uninstall_Exit are one function
// exported under three names (setup.def), which lets everything go on.

#include "setup/install_gate.h"

#include <windows.h>

namespace {

constexpr int INSTALLER_GOES_ON = 0; // codeINSTALL_EXIT_DONE, codeUNINSTALL_INIT_CONTINUE, ...

constexpr InstallTarget THIS_TARGET =
    installTargetOf(TAVIL_SETUP_TARGET_MAJOR, TAVIL_SETUP_TARGET_MINOR);
static_assert(THIS_TARGET.major != NO_INSTALL_TARGET.major,
              "setup DLLs are built for Windows Mobile 5.0 (5.1) or 2003 SE (4.21) only");

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}

int Install_Init(HWND, BOOL, BOOL, LPCWSTR) {
    return checkInstallation(THIS_TARGET);
}

// The three calls differ in their arguments, which this function never reads:
// on ARM and x64 the caller removes its own arguments, so any of them may call it.
int Setup_GoOn() {
    return INSTALLER_GOES_ON;
}

} // extern "C"
