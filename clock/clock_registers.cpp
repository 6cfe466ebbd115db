#include "clock/clock_registers.h"

#include "core/app_state.h"
#include "platform/clock_hardware.h"

// A fault on the load reads as a register that cannot be reached.
std::uint32_t readCccr() {
    const CccrMapping mapping = mapCccrWindow();
    std::uint32_t value = 0;
    if (mapping.mapped) {
        auto load = [&] { value = loadCccr(mapping.window); };
        underFaultGuard(load);
    }
    releaseCccrWindow(mapping.window);
    return value;
}

bool isTurboActive() {
    std::uint32_t cclkcfg = 0;
    auto readTurbo = [&cclkcfg] {
        setKernelMode(true);
        cclkcfg = readCclkcfg();
        setKernelMode(false);
    };
    if (underFaultGuard(readTurbo)) {
        appState.turboActive = (cclkcfg & CCLKCFG_TURBO) != 0 ? 1 : 0;
    } else {
        setKernelMode(false); // a faulted read leaves no value to take
    }
    return appState.turboActive != 0;
}

void setFastBusMode(bool on) {
    auto write = [on] {
        setKernelMode(true);
        writeCclkcfg(on ? CCLKCFG_CHANGE_FAST_BUS : CCLKCFG_CHANGE);
        setKernelMode(false);
        appState.fastBus = on ? 1 : 0;
    };
    if (!underFaultGuard(write)) {
        setKernelMode(false);
        errorBeep();
    }
}
