// Tavil on the simulated handheld, on the host: the program starts with the
// given command line ("#0".."#9" for a preset), runs for a few seconds of the
// handheld's time, and then shows what the handheld shows: the clock state and
// the tray icon. TAVIL_PROCESSOR picks the processor (pxa25x, pxa27x, none),
// TAVIL_SECONDS how long it runs (3 by default), and the settings are kept in
// the file that TAVIL_REGISTRY names (tavil-registry.txt by default).

#include "clock/clock_arithmetic.h"
#include "core/app_state.h"
#include "core/text_format.h"
#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_graphics.h"
#include "platform/sim/sim_handheld.h"
#include "platform/sim/sim_registry_file.h"
#include "platform/sim/utf8.h"
#include "shell/startup.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr std::uint32_t DEFAULT_SECONDS = 3;
constexpr std::uint32_t LONGEST_RUN_SECONDS = 24 * 60 * 60; // its milliseconds fit 32 bits

void printFormatted(const char16_t* format, std::initializer_list<FormatArgument> arguments) {
    formatText(appState.textBuffer, format, arguments);
    char line[512];
    utf16ToUtf8(appState.textBuffer, line, sizeof line);
    std::puts(line);
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
    return u"neither PXA25x nor PXA27x: no clock control";
}

void printState() {
    printFormatted(u"Processor: %s, main id 0x%X", {familyName(), appState.cpuId});
    for (int i = 0; i < simHandheld.messageBoxCount && i < SIM_MESSAGE_BOX_LOG_CAPACITY; ++i) {
        printFormatted(u"Message \"%s\": %s",
                       {simHandheld.messageBoxes[i].caption, simHandheld.messageBoxes[i].text});
    }
    if (appState.clockFamily != ClockFamily::None) {
        printFormatted(u"Clock: %d MHz, memory %d MHz, CCCR 0x%X, list entry %d, fast bus %s",
                       {cccrToMhz(appState.currentCccr, appState.turboActive != 0),
                        memoryClockMhz(appState.currentCccr), appState.currentCccr,
                        cccrToMenuIndex(appState.currentCccr, appState.turboActive != 0),
                        appState.fastBus != 0 ? u"on" : u"off"});
    }
    printFormatted(u"Load: %d %%, icon mode %d", {appState.cpuLoad, appState.iconView});
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

// The command line as the device passes it: the arguments joined by spaces.
void joinArguments(int argc, char** argv, char16_t* commandLine, std::size_t capacity) {
    char joined[256] = "";
    for (int i = 1; i < argc; ++i) {
        std::strncat(joined, i > 1 ? " " : "", sizeof joined - std::strlen(joined) - 1);
        std::strncat(joined, argv[i], sizeof joined - std::strlen(joined) - 1);
    }
    utf8ToUtf16(joined, joined + std::strlen(joined), commandLine, capacity);
}

const char* environmentOr(const char* name, const char* otherwise) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : otherwise;
}

// TAVIL_SECONDS as a whole number of seconds, at most a day; anything that is
// not a plain number runs the default time.
std::uint32_t secondsToRun() {
    const char* text = std::getenv("TAVIL_SECONDS");
    if (text == nullptr || *text < '0' || *text > '9') {
        return DEFAULT_SECONDS;
    }
    char* end = nullptr;
    const unsigned long long seconds = std::strtoull(text, &end, 10);
    if (*end != '\0') {
        return DEFAULT_SECONDS;
    }
    return seconds < LONGEST_RUN_SECONDS ? static_cast<std::uint32_t>(seconds)
                                         : LONGEST_RUN_SECONDS;
}

} // namespace

int main(int argc, char** argv) {
    const char* registryFile = environmentOr("TAVIL_REGISTRY", "tavil-registry.txt");
    loadSimRegistry(registryFile);
    char16_t commandLine[256];
    joinArguments(argc, argv, commandLine, 256);

    simAllowTime(1000 * secondsToRun());
    const int exitCode = runTavil(static_cast<ModuleHandle>(1), commandLine);
    printState();
    printTrayIcon();
    saveSimRegistry(registryFile);
    return exitCode;
}
