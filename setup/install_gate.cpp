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
constexpr char16_t CAPTION[] = u"PureVGA";
constexpr char16_t SCREEN_ENGLISH[] = u"Only for VGA screen";
constexpr char16_t SCREEN_RUSSIAN[] = u"Программа только для VGA экранов";

const char16_t* inLanguageOfThisHandheld(const char16_t* english, const char16_t* russian) {
    return (defaultLanguageId() & LANGUAGE_MASK) == RUSSIAN ? russian : english;
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

int checkInstallation(const InstallTarget& target) {
    if (logicalPixelsX() != VGA_LOGICAL_PIXELS) {
        return refuse(inLanguageOfThisHandheld(SCREEN_ENGLISH, SCREEN_RUSSIAN));
    }
    const OsVersion running = osVersion();
    if (running.major != target.major || running.minor != target.minor) {
        return refuse(inLanguageOfThisHandheld(target.english, target.russian));
    }
    return INSTALL_CONTINUE;
}
