// Host demonstration of clock control on the simulated handheld: identifies the
// processor (TAVIL_PROCESSOR picks pxa25x, pxa27x or none), reads its clock
// state, prints it, and applies a preset "#0".."#9" given on the command line.

#include "clock/clock_arithmetic.h"
#include "clock/clock_config.h"
#include "clock/processor_detection.h"
#include "platform/sim/sim_handheld.h"
#include "platform/sim/utf8.h"
#include "shell/app_state.h"
#include "shell/preset_argument.h"
#include "shell/text_format.h"
#include "trayicon/icon_renderer.h"

#include <cstdio>
#include <cstring>

namespace {

void printText(const char16_t* text) {
    char line[512];
    utf16ToUtf8(text, line, sizeof line);
    std::puts(line);
}

void printFormatted(const char16_t* format, std::initializer_list<FormatArgument> arguments) {
    formatText(appState.textBuffer, format, arguments);
    printText(appState.textBuffer);
}

const char16_t* familyName() {
    switch (appState.clockFamily) {
    case ClockFamily::Pxa25x:
        return u"PXA25x";
    case ClockFamily::Pxa27x:
        return u"PXA27x";
    case ClockFamily::None:
        break;
    }
    return u"not a PXA25x or PXA27x: no clock control";
}

void printClockState() {
    printFormatted(u"Clock: %d MHz, memory %d MHz, CCCR 0x%X, list entry %d, fast bus %s",
                   {cccrToMhz(appState.currentCccr), memoryClockMhz(appState.currentCccr),
                    appState.currentCccr, cccrToMenuIndex(appState.currentCccr),
                    appState.fastBus != 0 ? u"on" : u"off"});
}

void printMessageBoxes() {
    for (int i = 0; i < simHandheld.messageBoxCount && i < SIM_MESSAGE_BOX_LOG_CAPACITY; ++i) {
        printFormatted(u"Message box \"%s\": %s",
                       {simHandheld.messageBoxes[i].caption, simHandheld.messageBoxes[i].text});
    }
}

// The command line as the device passes it: the arguments joined by spaces.
void joinArguments(int argc, char** argv, char16_t* commandLine, std::size_t capacity) {
    char joined[256] = "";
    for (int i = 1; i < argc; ++i) {
        std::strncat(joined, i > 1 ? " " : "", sizeof joined - std::strlen(joined) - 1);
        std::strncat(joined, argv[i], sizeof joined - std::strlen(joined) - 1);
    }
    utf8ToUtf16(joined, joined + std::strlen(joined), commandLine, capacity);
}

} // namespace

// The demonstration has no notification area: it prints what the icon would show.
void refreshTrayIcon() {
    printFormatted(u"Icon: %d", {cccrToMhz(appState.currentCccr)});
}

int main(int argc, char** argv) {
    resetSimHandheld(simProcessorKindFromEnvironment());
    char16_t commandLine[256];
    joinArguments(argc, argv, commandLine, 256);
    const int preset = parsePresetIndex(commandLine);

    const std::uint32_t startupCclkcfg = detectProcessor();
    readClockState(startupCclkcfg, preset >= 0);
    printFormatted(u"Simulated handheld: %s, main id 0x%X, cache type 0x%X",
                   {familyName(), appState.cpuId, appState.cacheType});
    printMessageBoxes();
    if (appState.clockFamily == ClockFamily::None) {
        return 0;
    }
    printClockState();
    if (preset >= 0) {
        printFormatted(u"Applying preset #%d", {preset});
        applyStartupPreset(preset);
        printClockState();
        printFormatted(u"The core now runs with CCCR 0x%X", {simProcessor.runningCccr});
    }
    return 0;
}
