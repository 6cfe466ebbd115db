// The register operations of the clock hardware on the simulated processor.
// A processor fault is modelled as on the device: the faulting step is abandoned
// and control lands in the innermost fault guard (here through longjmp, which is
// what structured exception handling amounts to for the guarded steps).

#include "platform/clock_hardware.h"
#include "platform/sim/sim_processor.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int GUARD_DEPTH_LIMIT = 4;
std::jmp_buf* activeGuards[GUARD_DEPTH_LIMIT];
int guardDepth = 0;

[[noreturn]] void raiseProcessorFault() {
    ++simProcessor.faultsRaised;
    if (guardDepth == 0) {
        std::fputs("simulated processor fault outside a fault guard: the process dies\n", stderr);
        std::abort();
    }
    std::longjmp(*activeGuards[guardDepth - 1], 1);
}

// Every register access counts towards a fault planted some accesses ahead.
void countAccess(bool injectedFault) {
    int& countdown = simProcessor.faults.accessesBeforeFault;
    const bool planted = countdown > 0 && --countdown == 0;
    if (injectedFault || planted) {
        raiseProcessorFault();
    }
}

// Coprocessor instructions and the CCCR store are privileged.
void requirePrivilege(bool injectedFault) {
    if (!simProcessor.kernelMode) {
        raiseProcessorFault();
    }
    countAccess(injectedFault);
}

// An access through an address that maps nothing faults.
void requireMapped(CccrWindow window) {
    for (const SimCccrWindowSlot& slot : simProcessor.windows) {
        if (slot.address != 0 && slot.address == static_cast<std::uintptr_t>(window) &&
            slot.mapped) {
            return;
        }
    }
    raiseProcessorFault();
}

void logWrite(SimRegisterWrite target, std::uint32_t value) {
    if (simProcessor.writeCount < SIM_REGISTER_LOG_CAPACITY) {
        simProcessor.writes[simProcessor.writeCount] = SimRegisterEvent{target, value};
    }
    ++simProcessor.writeCount;
}

} // namespace

std::uint32_t readMainId() {
    requirePrivilege(simProcessor.faults.readMainId);
    return simProcessor.mainId;
}

std::uint32_t readCacheType() {
    requirePrivilege(simProcessor.faults.readCacheType);
    return simProcessor.cacheType;
}

std::uint32_t readCclkcfg() {
    requirePrivilege(simProcessor.faults.readCclkcfg);
    return simProcessor.cclkcfg;
}

void writeCclkcfg(std::uint32_t value) {
    requirePrivilege(simProcessor.faults.writeCclkcfg);
    logWrite(SimRegisterWrite::Cclkcfg, value);
    simProcessor.cclkcfg = value & ~SIM_CCLKCFG_FCS;
    if ((value & SIM_CCLKCFG_FCS) != 0) {
        simProcessor.runningCccr = simProcessor.cccr;
    }
}

void setKernelMode(bool on) {
    simProcessor.kernelMode = on && !simProcessor.faults.kernelModeRefused;
}

std::uint32_t loadCccr(CccrWindow window) {
    requireMapped(window);
    countAccess(simProcessor.faults.loadCccr);
    return simProcessor.cccr;
}

void storeCccr(CccrWindow window, std::uint32_t image) {
    requireMapped(window);
    requirePrivilege(simProcessor.faults.storeCccr);
    logWrite(SimRegisterWrite::Cccr, image);
    simProcessor.cccr = image;
}

bool runFaultGuarded(GuardedStep step, void* context) {
    if (guardDepth == GUARD_DEPTH_LIMIT) {
        std::fputs("fault guards nested too deeply\n", stderr);
        std::abort();
    }
    std::jmp_buf landing;
    activeGuards[guardDepth++] = &landing;
    if (setjmp(landing) != 0) {
        --guardDepth;
        return false;
    }
    step(context);
    --guardDepth;
    return true;
}
