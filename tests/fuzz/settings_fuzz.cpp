// The stored settings: any values under the program's registry key (the known
// names with any type and size, and others), and the clock registers as another
// program may have left them; then the start-up, a few ticks, a menu and the
// exit. Whatever is stored, what start-up leaves in force is in range.

#include "core/app_state.h"
#include "platform/sim/sim_processor.h"
#include "platform/sim/sim_registry.h"
#include "platform/windowing.h"
#include "shell/main_window.h"
#include "tests/fuzz/fuzz_handheld.h"

#include <string>
#include <vector>

namespace {

constexpr const char16_t* SETTINGS_KEY = u"SOFTWARE\\Dunmar\\Tavil";
constexpr const char16_t* KNOWN_NAMES[] = {u"MinFreq", u"MaxFreq", u"View", u"UserFreq", u"Color"};
constexpr std::uint32_t NUMBER_TYPE = 4;
constexpr std::size_t LONGEST_VALUE = 8;
constexpr int MOST_VALUES = 8;
constexpr std::uint32_t START_UP_MS = 2500;
constexpr std::uint32_t MENU_MS = 100;

std::u16string nameOf(FuzzedDataProvider& input) {
    if (input.ConsumeBool()) {
        return input.PickValueInArray(KNOWN_NAMES);
    }
    std::u16string name;
    for (const char c : input.ConsumeRandomLengthString(LONGEST_VALUE)) {
        name += static_cast<char16_t>(static_cast<unsigned char>(c));
    }
    return name;
}

void storeValues(FuzzedDataProvider& input) {
    const int count = input.ConsumeIntegralInRange(0, MOST_VALUES);
    for (int i = 0; i < count; ++i) {
        const std::u16string name = nameOf(input);
        const std::uint32_t type =
            input.ConsumeBool() ? NUMBER_TYPE : input.ConsumeIntegral<std::uint32_t>();
        const std::vector<std::uint8_t> bytes = input.ConsumeBytes<std::uint8_t>(
            input.ConsumeIntegralInRange<std::size_t>(0, LONGEST_VALUE));
        simSetRegistryValue(SETTINGS_KEY, name.c_str(), type, bytes.data(), bytes.size());
    }
}

// Another program may have left any configuration in the clock registers.
void leaveClockRegisters(FuzzedDataProvider& input) {
    if (input.ConsumeBool()) {
        simProcessor.cccr = input.ConsumeIntegral<std::uint32_t>();
        simProcessor.runningCccr = simProcessor.cccr;
        simProcessor.cclkcfg = input.ConsumeIntegral<std::uint32_t>();
    }
}

void requireSettingsInRange() {
    constexpr std::uint32_t HIGHEST_ICON_VIEW = 5;
    constexpr std::uint32_t ICON_COLOR_BITS = 0x000F000F;
    require(appState.minLimit <= 2, "a lower limit above list position 2");
    require(appState.maxLimit >= 4 && appState.maxLimit <= 8,
            "an upper limit outside list positions 4..8");
    require(appState.clockFamily != ClockFamily::Pxa25x || appState.maxLimit <= 6,
            "an upper limit above 400 MHz on a PXA25x");
    require(appState.iconView <= HIGHEST_ICON_VIEW, "an icon mode above 5");
    require((appState.iconColors & ~ICON_COLOR_BITS) == 0, "icon colours outside 0..15");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    switchOnHandheld(pickProcessor(input));
    storeValues(input);
    leaveClockRegisters(input);
    startProgram(u"", START_UP_MS);
    requireSettingsInRange();
    postMessage(mainWindow(), MSG_SHOW_MENU, 0, 0);
    letProgramRun(MENU_MS);
    endProgramCleanly();
    return 0;
}
