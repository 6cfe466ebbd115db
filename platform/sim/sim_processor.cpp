#include "platform/sim/sim_processor.h"

#include <cstdlib>
#include <cstring>

namespace {

struct PowerOnState {
    std::uint32_t mainId;
    std::uint32_t cacheType;
    std::uint32_t cccr;
    std::uint32_t cclkcfg;
};

// 32 KB instruction and data caches, 32-byte lines, 32 ways.
constexpr std::uint32_t XSCALE_CACHE_TYPE = 0x0B1AA1AA;

constexpr PowerOnState PXA255_POWER_ON = {
    0x69052D06, // Intel, ARMv5TE, XScale core generation 1, PXA255 A0
    XSCALE_CACHE_TYPE,
    0x00000241, // L 1 (100 MHz memory), M 2 (run 200 MHz), N 4 (turbo 400 MHz)
    0x1,        // turbo
};

constexpr PowerOnState PXA270_POWER_ON = {
    0x69054117, // Intel, ARMv5TE, XScale core generation 2, PXA270 C5
    XSCALE_CACHE_TYPE,
    0x02000210, // A bit, L 16 (run 208 MHz), 2N 4 (turbo 416 MHz)
    0x9,        // turbo and fast-bus mode
};

constexpr PowerOnState ARM920T_POWER_ON = {
    0x41129200, // ARM, ARMv4T, ARM920T: no PXA clock registers
    0x0D172172,
    0x0,
    0x0,
};

const PowerOnState& powerOnState(SimProcessorKind kind) {
    switch (kind) {
    case SimProcessorKind::Pxa255:
        return PXA255_POWER_ON;
    case SimProcessorKind::Pxa270:
        return PXA270_POWER_ON;
    case SimProcessorKind::Unrecognised:
        break;
    }
    return ARM920T_POWER_ON;
}

SimCccrWindowSlot* findSlot(std::uintptr_t address) {
    for (SimCccrWindowSlot& slot : simProcessor.windows) {
        if (slot.address == address) {
            return &slot;
        }
    }
    return nullptr;
}

} // namespace

SimProcessor simPoweredOnProcessor(SimProcessorKind kind) {
    const PowerOnState& state = powerOnState(kind);
    SimProcessor processor{};
    processor.mainId = state.mainId;
    processor.cacheType = state.cacheType;
    processor.cccr = state.cccr;
    processor.runningCccr = state.cccr;
    processor.cclkcfg = state.cclkcfg;
    return processor;
}

void resetSimProcessor(SimProcessorKind kind) {
    simProcessor = simPoweredOnProcessor(kind);
}

SimProcessorKind simProcessorKindFromEnvironment() {
    const char* name = std::getenv("TAVIL_PROCESSOR");
    if (name != nullptr && std::strcmp(name, "pxa25x") == 0) {
        return SimProcessorKind::Pxa255;
    }
    if (name != nullptr && std::strcmp(name, "none") == 0) {
        return SimProcessorKind::Unrecognised;
    }
    return SimProcessorKind::Pxa270;
}

bool simRecordCccrReservation(std::uintptr_t address) {
    SimCccrWindowSlot* free = address != 0 ? findSlot(0) : nullptr;
    if (free == nullptr) {
        return false;
    }
    *free = SimCccrWindowSlot{address, false};
    return true;
}

bool simCopyCccrPage(std::uintptr_t address) {
    SimCccrWindowSlot* slot = address != 0 ? findSlot(address) : nullptr;
    if (slot == nullptr || simProcessor.faults.copyCccrPage) {
        return false;
    }
    slot->mapped = true;
    ++simProcessor.pagesCopied;
    return true;
}

void simForgetCccrReservation(std::uintptr_t address) {
    SimCccrWindowSlot* slot = address != 0 ? findSlot(address) : nullptr;
    if (slot != nullptr) {
        *slot = SimCccrWindowSlot{};
    }
}

int simLiveCccrWindows() {
    int live = 0;
    for (const SimCccrWindowSlot& slot : simProcessor.windows) {
        live += slot.address != 0 ? 1 : 0;
    }
    return live;
}
