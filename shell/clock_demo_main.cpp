// Host demonstration of clock control on the simulated handheld: identifies the
// processor (TAVIL_PROCESSOR picks pxa25x, pxa27x or none), loads the settings
// (kept in the file that TAVIL_REGISTRY names, tavil-registry.txt by default),
// reads the clock state, prints it with the tray icon, and applies a preset
// "#0".."#9" given on the command line.

#include "clock/clock_arithmetic.h"
#include "clock/clock_config.h"
#include "clock/processor_detection.h"
#include "platform/sim/sim_graphics.h"
#include "platform/sim/sim_handheld.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/utf8.h"
#include "shell/app_state.h"
#include "shell/preset_argument.h"
#include "shell/settings_store.h"
#include "shell/text_format.h"
#include "trayicon/tray_icon.h"

#include <cstdio>
#include <cstdlib>
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

// The notification area's icon, two characters a pixel, in true colour.
void printTrayIcon() {
    const SimIconPixels& icon = simNotificationArea.shown;
    for (int y = 0; y < icon.size; ++y) {
        for (int x = 0; x < icon.size; ++x) {
            const std::uint32_t pixel = icon.argb[y * icon.size + x];
            if (pixel >> 24 == 0) {
                std::fputs("\x1b[0m  ", stdout);
            } else {
                std::printf("\x1b[48;2;%u;%u;%um  ", pixel >> 16 & 0xFF, pixel >> 8 & 0xFF,
                            pixel & 0xFF);
            }
        }
        std::puts("\x1b[0m");
    }
}

const char* registryFile() {
    const char* path = std::getenv("TAVIL_REGISTRY");
    return path != nullptr ? path : "tavil-registry.txt";
}

constexpr WindowHandle DEMO_WINDOW = static_cast<WindowHandle>(1);

} // namespace

int main(int argc, char** argv) {
    resetSimHandheld(simProcessorKindFromEnvironment());
    loadSimRegistry(registryFile());
    char16_t commandLine[256];
    joinArguments(argc, argv, commandLine, 256);
    const int preset = parsePresetIndex(commandLine);

    const std::uint32_t startupCclkcfg = detectProcessor();
    loadSettings();
    readClockState(startupCclkcfg, preset >= 0);
    if (appState.clockFamily == ClockFamily::None) {
        appState.iconView = static_cast<std::uint32_t>(IconView::Normal);
    }
    printFormatted(u"Simulated handheld: %s, main id 0x%X, cache type 0x%X",
                   {familyName(), appState.cpuId, appState.cacheType});
    printMessageBoxes();
    if (appState.clockFamily != ClockFamily::None) {
        printClockState();
        if (preset >= 0) {
            printFormatted(u"Applying preset #%d", {preset});
            applyStartupPreset(preset);
            printClockState();
            printFormatted(u"The core now runs with CCCR 0x%X", {simProcessor.runningCccr});
        }
    }
    addTrayIcon(DEMO_WINDOW);
    printTrayIcon();
    removeTrayIcon(DEMO_WINDOW);
    saveSimRegistry(registryFile());
    return 0;
}
