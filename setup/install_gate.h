#pragma once
// The install gate: before the package installer copies anything, the setup
// DLL checks that the handheld is one the program is made for (a VGA screen in
// its normal mode and the Windows CE version the DLL was built for) and, when
// it is not, says why in a message box and stops the installation.

#include <cstdint>
#include <initializer_list>

// What the installer is told to do next.
inline constexpr int INSTALL_CONTINUE = 0;
inline constexpr int INSTALL_CANCEL = 1;

// A Windows CE version a setup DLL is built for, with the message that names it.
struct InstallTarget {
    std::uint32_t major;
    std::uint32_t minor;
    const char16_t* english;
    const char16_t* russian;
};

inline constexpr InstallTarget WINDOWS_MOBILE_5 = {5, 1, u"Only for Windows Mobile 5.0",
                                                   u"Программа только для Windows Mobile 5.0"};
inline constexpr InstallTarget WINDOWS_MOBILE_2003_SE = {
    4, 21, u"Only for Windows Mobile 2003 SE", u"Программа только для Windows Mobile 2003 SE"};

// No target: a setup DLL for any other version is a build mistake.
inline constexpr InstallTarget NO_INSTALL_TARGET = {0, 0, nullptr, nullptr};

// The target built for Windows CE major.minor, or NO_INSTALL_TARGET.
constexpr InstallTarget installTargetOf(std::uint32_t major, std::uint32_t minor) {
    for (const InstallTarget& target : {WINDOWS_MOBILE_5, WINDOWS_MOBILE_2003_SE}) {
        if (target.major == major && target.minor == minor) {
            return target;
        }
    }
    return NO_INSTALL_TARGET;
}

// INSTALL_CONTINUE on a fitting handheld; otherwise INSTALL_CANCEL after one
// message: the screen's when the screen does not fit (whatever the version),
// else the target's.
int checkInstallation(const InstallTarget& target);
