#pragma once
// The simulated XScale processor: identification words, the CCCR behind its
// physical window, CCLKCFG, kernel mode, and faults injected at each hardware
// step. The simulated handheld uses it, and so does the desktop Windows build,
// which has no clock hardware of its own.

#include <cstdint>

enum class SimProcessorKind { Pxa255, Pxa270, Unrecognised };

// Each flag that is set makes that step raise a processor fault.
struct SimProcessorFaults {
    bool readMainId;
    bool readCacheType;
    bool readCclkcfg;
    bool writeCclkcfg;
    bool storeCccr;
    bool loadCccr;     // a read through a mapped window
    bool copyCccrPage; // the physical copy into a reservation fails (not a fault: the call fails)
    bool kernelModeRefused; // switching kernel mode on leaves it off, as for an untrusted program
    // When n > 0: the n-th register access from now (a coprocessor access, a CCCR
    // load or store) faults, wherever it falls in a guarded step.
    int accessesBeforeFault;
};

enum class SimRegisterWrite : std::uint8_t { Cccr, Cclkcfg };

struct SimRegisterEvent {
    SimRegisterWrite target;
    std::uint32_t value;
};

inline constexpr int SIM_REGISTER_LOG_CAPACITY = 32;
inline constexpr int SIM_CCCR_WINDOW_CAPACITY = 4;

struct SimCccrWindowSlot {
    std::uintptr_t address; // 0: the slot is free
    bool mapped;
};

inline constexpr std::uint32_t SIM_CCLKCFG_FCS = 2;

struct SimProcessor {
    std::uint32_t mainId;
    std::uint32_t cacheType;
    std::uint32_t cccr;        // the register as last stored
    std::uint32_t cclkcfg;     // FCS is a trigger and reads back as 0
    std::uint32_t runningCccr; // what the core runs with: the CCCR at the last change sequence
    bool kernelMode;
    SimProcessorFaults faults;
    SimRegisterEvent writes[SIM_REGISTER_LOG_CAPACITY]; // oldest first
    int writeCount;                                     // all writes, also those past the log
    int faultsRaised;
    int pagesCopied; // successful physical copies
    SimCccrWindowSlot windows[SIM_CCCR_WINDOW_CAPACITY];
};

// The processor as the program sees it. On the host it is the program's own; the
// desktop Windows build keeps it in shared memory, so that a test driver can
// look at the registers and change them as another program on the device might.
extern SimProcessor& simProcessor;

// The power-on state: a PXA255 at 400 MHz, a PXA270 at 416 MHz with fast-bus
// mode, or an ARM920T that is neither.
SimProcessor simPoweredOnProcessor(SimProcessorKind kind);

// Puts the processor in its power-on state.
void resetSimProcessor(SimProcessorKind kind);

// TAVIL_PROCESSOR: "pxa25x", "pxa27x" or "none"; anything else or unset is pxa27x.
SimProcessorKind simProcessorKindFromEnvironment();

// Window bookkeeping for the platform implementations: a reservation at
// `address` is recorded, the physical page copied into it, and it is forgotten
// when released. Recording fails when every slot is taken.
bool simRecordCccrReservation(std::uintptr_t address);
bool simCopyCccrPage(std::uintptr_t address);
void simForgetCccrReservation(std::uintptr_t address);
int simLiveCccrWindows();
