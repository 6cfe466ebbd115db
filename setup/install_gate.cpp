#include "setup/install_gate.h"

#include "platform/message_box.h"
#include "platform/registry.h"
#include "platform/system_info.h"

namespace {

// A VGA screen in its normal mode; QVGA, or VGA in the QVGA-like mode, has 96.
constexpr std::uint32_t VGA_LOGICAL_PIXELS = 192;
constexpr char16_t DISPLAY_KEY[] = u"Drivers\\Display\\GPE";
constexpr char16_t LOGICAL_PIXELS_VALUE[] = u"LogicalPixelsX";

constexpr std::uint32_t LANGUAGE_MASK = 0xFFFF;
constexpr std::uint32_t RUSSIAN = 0x419;
constexpr char16_t CAPTION[] = u"Tavil";

enum TargetName { WINDOWS_MOBILE_5, WINDOWS_MOBILE_2003_SE, OTHER_TARGET, TARGET_NAMES };

struct GateTexts {
    const char16_t* screen;
    const char16_t* version[TARGET_NAMES];
};

constexpr GateTexts RUSSIAN_TEXTS = {
    u"Программа рассчитана на VGA экран (192 dpi).",
    {u"Программа рассчитана на Windows Mobile 5.0.",
     u"Программа рассчитана на Windows Mobile 2003 SE.",
     u"Программа рассчитана на другую версию Windows Mobile."},
};

constexpr GateTexts ENGLISH_TEXTS = {
    u"This program needs a VGA screen (192 dpi).",
    {u"This program needs Windows Mobile 5.0.", u"This program needs Windows Mobile 2003 SE.",
     u"This program needs another version of Windows Mobile."},
};

TargetName targetName(std::uint32_t major, std::uint32_t minor) {
    if (major == 5 && minor == 1) {
        return WINDOWS_MOBILE_5;
    }
    if (major == 4 && minor == 21) {
        return WINDOWS_MOBILE_2003_SE;
    }
    return OTHER_TARGET;
}

const GateTexts& textsOfThisHandheld() {
    return (defaultLanguageId() & LANGUAGE_MASK) == RUSSIAN ? RUSSIAN_TEXTS : ENGLISH_TEXTS;
}

// A missing key or value reads as 0, which no screen has.
std::uint32_t logicalPixelsX() {
    std::uint32_t pixels = 0;
    const RegistryKey key = openRegistryKey(DISPLAY_KEY, REGISTRY_READ_ACCESS);
    queryRegistryNumber(key, LOGICAL_PIXELS_VALUE, pixels);
    closeRegistryKey(key);
    return pixels;
}

int refuse(const char16_t* text) {
    showMessageBox(text, CAPTION, MB_STYLE_OK_STOP);
    return INSTALL_CANCEL;
}

} // namespace

int checkInstallation(std::uint32_t targetMajor, std::uint32_t targetMinor) {
    if (logicalPixelsX() != VGA_LOGICAL_PIXELS) {
        return refuse(textsOfThisHandheld().screen);
    }
    const OsVersion running = osVersion();
    if (running.major != targetMajor || running.minor != targetMinor) {
        return refuse(textsOfThisHandheld().version[targetName(targetMajor, targetMinor)]);
    }
    return INSTALL_CONTINUE;
}
