#pragma once
// The install gate: before the package installer copies anything, the setup
// DLL checks that the handheld is one the program is made for (a VGA screen in
// its normal mode and the Windows CE version the DLL was built for) and, when
// it is not, says why in a message box and stops the installation.

#include <cstdint>

// What the installer is told to do next.
inline constexpr int INSTALL_CONTINUE = 0;
inline constexpr int INSTALL_CANCEL = 1;

// INSTALL_CONTINUE on a fitting handheld; otherwise INSTALL_CANCEL after one
// message: the screen's when the screen does not fit (whatever the version),
// else the version's, naming the target.
int checkInstallation(std::uint32_t targetMajor, std::uint32_t targetMinor);
