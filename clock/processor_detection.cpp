#include "clock/processor_detection.h"

#include "clock/clock_arithmetic.h"
#include "clock/clock_registers.h"
#include "core/app_state.h"
#include "core/program_name.h"
#include "platform/clock_hardware.h"
#include "platform/message_box.h"

namespace {

// The main id without the core revision (bits 12:10) and product revision
// (bits 3:0), so that every stepping of a family is recognised.
constexpr std::uint32_t FAMILY_ID_MASK = 0xFFFFE3F0;

struct FamilyId {
    std::uint32_t maskedId;
    ClockFamily family;
};

constexpr FamilyId FAMILY_IDS[] = {
    {0x69052100, ClockFamily::Pxa25x}, // Intel, ARMv5TE, XScale generation 1, product 0x10
    {0x69054110, ClockFamily::Pxa27x}, // Intel, ARMv5TE, XScale generation 2, product 0x11
};

constexpr unsigned NO_ACCESS_STRING = 1;

void showNoAccessMessage() {
    loadStringResource(NO_ACCESS_STRING, appState.textBuffer, TEXT_BUFFER_LENGTH);
    showMessageBox(appState.textBuffer, PROGRAM_NAME, MB_STYLE_OK_EXCLAMATION);
}

ClockFamily familyOf(std::uint32_t mainId) {
    for (const FamilyId& known : FAMILY_IDS) {
        if ((mainId & FAMILY_ID_MASK) == known.maskedId) {
            return known.family;
        }
    }
    return ClockFamily::None;
}

} // namespace

std::uint32_t detectProcessor() {
    appState.readTurbo = isTurboActive;
    std::uint32_t cclkcfg = 0;
    auto readIdentification = [&cclkcfg] {
        setKernelMode(true);
        appState.cpuId = readMainId();
        appState.cacheType = readCacheType();
        cclkcfg = readCclkcfg();
        setKernelMode(false);
    };
    if (!underFaultGuard(readIdentification)) {
        setKernelMode(false);
        showNoAccessMessage();
    }
    appState.clockFamily = familyOf(appState.cpuId);
    return cclkcfg;
}

void readClockState(std::uint32_t startupCclkcfg, bool presetGiven) {
    if (appState.clockFamily == ClockFamily::None) {
        return;
    }
    appState.currentCccr = readCccr();
    if (appState.currentCccr == 0) {
        appState.clockFamily = ClockFamily::None;
        showNoAccessMessage();
    }
    if (presetGiven) {
        return; // a preset always runs with the 208 MHz base and fast-bus mode
    }
    if (runMultiplierOf(appState.currentCccr) < RUN_BASE_208_MULTIPLIER) {
        appState.highClocksAllowed = 0;
    }
    if ((startupCclkcfg & CCLKCFG_FAST_BUS) == 0) {
        appState.fastBus = 0;
    }
}
