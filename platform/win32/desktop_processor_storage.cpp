// The desktop's simulated processor lives in named shared memory: every program
// of the session that maps it sees the same registers, as programs on the
// device see the same hardware. The first to map it powers it on.

#include "platform/sim/sim_processor.h"

#include <windows.h>

namespace {

constexpr wchar_t SHARED_PROCESSOR_NAME[] = L"TavilSimulatedProcessor";

SimProcessor& sharedProcessor() {
    HANDLE section = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        sizeof(SimProcessor), SHARED_PROCESSOR_NAME);
    const bool poweredOnAlready = GetLastError() == ERROR_ALREADY_EXISTS;
    void* view =
        section != nullptr ? MapViewOfFile(section, FILE_MAP_ALL_ACCESS, 0, 0, 0) : nullptr;
    if (view == nullptr) {
        static SimProcessor ownProcessor{}; // no shared memory: this program's own processor
        view = &ownProcessor;
    }
    auto* processor = static_cast<SimProcessor*>(view);
    if (!poweredOnAlready) {
        *processor = simPoweredOnProcessor(simProcessorKindFromEnvironment());
    }
    return *processor;
}

} // namespace

// The mapping stays for the life of the process.
SimProcessor& simProcessor = sharedProcessor();
