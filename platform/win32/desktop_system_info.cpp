// A desktop PC has no hardware layer to describe its processor. The nearest
// equivalent fills the record: vendor, name and clock from the description
// Windows keeps of its first processor in the registry, and the core named
// after the native architecture ("x86", "x64"). A value that is missing, or
// longer than the reading buffer, leaves its field empty (or the clock 0).

#include "platform/win32/processor_record.h"

#include <windows.h>

namespace {

constexpr wchar_t FIRST_PROCESSOR_KEY[] = L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
constexpr std::size_t REGISTRY_TEXT_CAPACITY = 256;

struct ArchitectureName {
    WORD architecture;
    char16_t name[8];
};

constexpr ArchitectureName ARCHITECTURE_NAMES[] = {
    {PROCESSOR_ARCHITECTURE_INTEL, u"x86"},
    {PROCESSOR_ARCHITECTURE_AMD64, u"x64"},
    {PROCESSOR_ARCHITECTURE_ARM64, u"ARM64"},
};

template <std::size_t Capacity>
void readProcessorText(const wchar_t* name, char16_t (&field)[Capacity]) {
    wchar_t text[REGISTRY_TEXT_CAPACITY] = {};
    DWORD size = sizeof text;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, FIRST_PROCESSOR_KEY, name, RRF_RT_REG_SZ, nullptr, text,
                     &size) != ERROR_SUCCESS) {
        text[0] = L'\0'; // a text too long for the buffer is left undefined there
    }
    copyFixedText(field, text);
}

std::uint32_t readProcessorClock() {
    DWORD mhz = 0;
    DWORD size = sizeof mhz;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, FIRST_PROCESSOR_KEY, L"~MHz", RRF_RT_REG_DWORD, nullptr,
                     &mhz, &size) != ERROR_SUCCESS) {
        return 0;
    }
    return mhz;
}

void nameCore(char16_t (&core)[40]) {
    SYSTEM_INFO system{};
    GetNativeSystemInfo(&system);
    for (const ArchitectureName& known : ARCHITECTURE_NAMES) {
        if (known.architecture == system.wProcessorArchitecture) {
            copyFixedText(core, known.name);
        }
    }
}

} // namespace

ProcessorRecord queryProcessorInformation() {
    ProcessorRecord processor{};
    nameCore(processor.core);
    readProcessorText(L"ProcessorNameString", processor.name);
    readProcessorText(L"VendorIdentifier", processor.vendor);
    processor.clockMhz = readProcessorClock();
    return processor;
}
