// The Processor dialog: the maker, architecture, series and revision decoded
// from the main id word, the caches from the cache type word, and the live load
// and clocks.

#include "clock/clock_arithmetic.h"
#include "core/app_state.h"
#include "info/dialog_contents.h"
#include "info/dialog_fields.h"
#include "info/info_dialogs.h"

namespace {

enum ProcessorField {
    MAKER = 1001,
    ARCHITECTURE = 1002,
    SERIES = 1003,
    REVISION = 1004,
    LOAD = 1005,
    CORE_CLOCK = 1006,
    MEMORY_CLOCK = 1007,
    INSTRUCTION_CACHE = 1008, // size, line and ways follow
    DATA_CACHE = 1011,
};

// Implementer codes, main id bits 31:24.
constexpr CodeText MAKERS[] = {{0x41, u"ARM"}, {0x44, u"DEC"}, {0x54, u"TI"}, {0x69, u"Intel"}};

// Architecture codes, main id bits 19:16; 8 and above are "ARM".
constexpr const char16_t* ARCHITECTURES[] = {u"ARMv3",  u"ARMv4",   u"ARMv4T",   u"ARMv5",
                                             u"ARMv5T", u"ARMv5TE", u"ARMv5TEJ", u"ARMv6"};

// The implementer and the part number bits 15:12 and 9:4.
constexpr std::uint32_t SERIES_MASK = 0xFF00F3F0;
constexpr CodeText SERIES_NAMES[] = {
    {0x69002100, u"PXA25x"}, {0x69004110, u"PXA27x"}, {0x6900B110, u"SA1110"}};

void showSeries(WindowHandle dialog, std::uint32_t cpuId) {
    const char16_t* name = textOfCode(SERIES_NAMES, cpuId & SERIES_MASK, nullptr);
    if (name != nullptr) {
        setField(dialog, SERIES, name);
        return;
    }
    setFormattedField(dialog, SERIES, u"%d%d%d",
                      {cpuId >> 12 & 0xF, cpuId >> 8 & 0xF, cpuId >> 4 & 0xF});
}

// One 12-bit cache descriptor: size code bits 8:6, ways code bits 5:3, line code bits 1:0.
void showCache(WindowHandle dialog, int firstField, std::uint32_t descriptor) {
    const std::uint32_t sizeCode = descriptor >> 6 & 0x7;
    const std::uint32_t kilobytes = sizeCode == 0 ? 0 : 1u << (sizeCode - 1);
    setFormattedField(dialog, firstField, u"%d Кб", {kilobytes});
    setFormattedField(dialog, firstField + 1, u"%d байт", {8u << (descriptor & 0x3)});
    setFormattedField(dialog, firstField + 2, u"%d", {1u << (descriptor >> 3 & 0x7)});
}

} // namespace

void fillProcessorIdentity() {
    const WindowHandle dialog = appState.processorDialog;
    const std::uint32_t cpuId = appState.cpuId;
    setField(dialog, MAKER, textOfCode(MAKERS, cpuId >> 24));
    const std::uint32_t architecture = cpuId >> 16 & 0xF;
    setField(dialog, ARCHITECTURE, architecture < 8 ? ARCHITECTURES[architecture] : u"ARM");
    showSeries(dialog, cpuId);
    setFormattedField(dialog, REVISION, u"%X", {cpuId & 0xF});
    showCache(dialog, INSTRUCTION_CACHE, appState.cacheType & 0xFFF);
    showCache(dialog, DATA_CACHE, appState.cacheType >> 12 & 0xFFF);
}

void refreshProcessorDialog() {
    const WindowHandle dialog = appState.processorDialog;
    if (appState.loadAvailable != 0) {
        setFormattedField(dialog, LOAD, u"%d %%", {appState.cpuLoad});
    }
    if (appState.clockFamily != ClockFamily::None) {
        setFormattedField(dialog, CORE_CLOCK, u"%d МГц",
                          {cccrToMhz(appState.currentCccr, appState.readTurbo())});
        setFormattedField(dialog, MEMORY_CLOCK, u"%d МГц", {memoryClockMhz(appState.currentCccr)});
    }
}
