#include "clock/clock_config.h"

#include "clock/clock_arithmetic.h"
#include "clock/clock_registers.h"
#include "core/app_state.h"
#include "platform/clock_hardware.h"

namespace {

constexpr std::intptr_t USER_PRESET = 9;

std::uint32_t cclkcfgForChange() {
    const bool fastBus = appState.clockFamily == ClockFamily::Pxa27x && appState.fastBus != 0;
    return fastBus ? CCLKCFG_CHANGE_FAST_BUS : CCLKCFG_CHANGE;
}

// Preset n names list entry n on PXA27x (0..8) and n + 8 on PXA25x (1..6).
int frequencyIndexOfPreset(std::intptr_t preset) {
    if (appState.clockFamily == ClockFamily::Pxa27x && preset >= 0 && preset <= 8) {
        return static_cast<int>(preset);
    }
    if (appState.clockFamily == ClockFamily::Pxa25x && preset >= 1 && preset <= 6) {
        return static_cast<int>(preset) + 8;
    }
    return NO_FREQUENCY_INDEX;
}

void applyPreset(std::intptr_t preset) {
    if (appState.clockFamily == ClockFamily::None) {
        return;
    }
    if (preset == USER_PRESET) {
        applyUserPreset();
        return;
    }
    const int index = frequencyIndexOfPreset(preset);
    if (index != NO_FREQUENCY_INDEX) {
        selectFrequencyIndex(index);
    }
}

} // namespace

void applyClockConfig(std::uint32_t image) {
    if (image == 0) {
        return;
    }
    const CccrMapping mapping = mapCccrWindow();
    if (!mapping.mapped) {
        errorBeep();
        releaseCccrWindow(mapping.window);
        return;
    }
    bool released = false;
    auto write = [&] {
        setKernelMode(true);
        storeCccr(mapping.window, image); // the new CCCR takes effect at the FCS below
        writeCclkcfg(cclkcfgForChange());
        setKernelMode(false);
        releaseCccrWindow(mapping.window);
        released = true;
        appState.currentCccr = image;
        appState.turboActive = 1; // the change word always sets turbo
        if (appState.clockApplied != nullptr) {
            appState.clockApplied();
        }
    };
    if (!underFaultGuard(write)) {
        setKernelMode(false);
        if (!released) {
            releaseCccrWindow(mapping.window);
        }
    }
}

void applyUserPreset() {
    if (appState.userCccr == 0) {
        return;
    }
    if (!isProducibleConfig(appState.userCccr)) {
        errorBeep();
        return;
    }
    applyClockConfig(appState.userCccr);
}

void selectFrequencyIndex(int index) {
    const std::uint32_t image =
        cccrForFrequencyIndex(index, appState.currentCccr, appState.highClocksAllowed != 0);
    if (image != 0) {
        applyClockConfig(image);
    }
}

void setRunMultiplier(std::uint32_t runMultiplier) {
    applyClockConfig(withRunMultiplier(appState.currentCccr, runMultiplier));
    appState.highClocksAllowed = runMultiplier >= RUN_BASE_208_MULTIPLIER ? 1 : 0;
}

void setTurboRatio(std::uint32_t ratio) {
    applyClockConfig(withTurboRatio(appState.currentCccr, ratio));
}

void setMemoryMultiplier(std::uint32_t memoryMultiplier) {
    applyClockConfig(withMemoryMultiplier(appState.currentCccr, memoryMultiplier));
}

void enforceClockConfig() {
    if (appState.clockFamily == ClockFamily::None) {
        return;
    }
    if (readCccr() != appState.currentCccr) {
        applyClockConfig(appState.currentCccr);
    }
}

void applyStartupPreset(int preset) {
    applyPreset(preset);
}

void applyExternalPreset(std::intptr_t preset) {
    applyPreset(preset);
}
