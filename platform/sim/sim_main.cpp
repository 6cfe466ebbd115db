// Tavil on the simulated handheld, on the host. `tavil-sim --help` lists the
// options. In a terminal the handheld is shown and driven interactively. With a
// script the front-end runs its commands and prints each screen as text; without
// one, when standard input or output is not a terminal, the program
// runs for a few seconds of the handheld's time (TAVIL_SECONDS, 3 by default)
// and the screen is printed then.

#include "core/program_name.h"
#include "platform/sim/name_compare.h"
#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_handheld.h"
#include "platform/sim/sim_registry_file.h"
#include "platform/sim/sim_shared.h"
#include "platform/sim/terminal/interactive.h"
#include "platform/sim/terminal/options.h"
#include "platform/sim/terminal/script.h"
#include "platform/sim/utf8.h"
#include "shell/startup.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <unistd.h>

namespace {

constexpr int EXIT_BAD_USE = 2;
constexpr int EXIT_SCRIPT_FAILED = 1;
constexpr unsigned DEFAULT_SECONDS = 3;
constexpr unsigned LONGEST_RUN_SECONDS = 24 * 60 * 60;
constexpr SimScreenMetrics VGA_METRICS = {480, 640, 32, 64};

const char* environmentOr(const char* name, const char* otherwise) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : otherwise;
}

// TAVIL_SECONDS as a whole number of seconds, at most a day; anything that is
// not a plain number runs the default time.
unsigned secondsToRun() {
    const char* text = std::getenv("TAVIL_SECONDS");
    if (text == nullptr || *text < '0' || *text > '9') {
        return DEFAULT_SECONDS;
    }
    char* end = nullptr;
    const unsigned long long seconds = std::strtoull(text, &end, 10);
    if (*end != '\0') {
        return DEFAULT_SECONDS;
    }
    return seconds < LONGEST_RUN_SECONDS ? static_cast<unsigned>(seconds) : LONGEST_RUN_SECONDS;
}

bool readScript(const std::string& file, std::string& script) {
    if (file == "-") {
        script.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        return !std::cin.bad();
    }
    std::ifstream input(file, std::ios::binary);
    if (!input) {
        return false;
    }
    std::ostringstream text;
    text << input.rdbuf();
    script = text.str();
    return !input.bad();
}

void switchOn(const FrontOptions& options) {
    resetSimHandheld(options.processor);
    if (options.screen == ScreenSize::Vga) {
        simScreenMetrics = VGA_METRICS;
    }
    loadSimRegistry(options.stateFile.c_str());
    simClock.runUntil = UINT64_MAX; // the script, not a time limit, ends the run
}

int runProgram(const FrontOptions& options) {
    char16_t commandLine[256];
    utf8ToUtf16(options.commandLine.data(), options.commandLine.data() + options.commandLine.size(),
                commandLine, std::size(commandLine));
    return runTavil(static_cast<ModuleHandle>(1), commandLine);
}

// Whether this process ran the program: a second copy hands its request to the
// copy running in another process and ends before it registers its window class.
bool programRanHere() {
    for (const SimWindowClass& windowClass : simWindowing.classes) {
        if (windowClass.registered && sameName(windowClass.name, PROGRAM_NAME)) {
            return true;
        }
    }
    return false;
}

// Copies started by hand find each other, as on the handheld, through the run
// folder (TAVIL_RUN_FOLDER, or the user's own); scripts run alone.
void shareWithOtherCopies() {
    if (!simShareAcrossProcesses(std::getenv("TAVIL_RUN_FOLDER"))) {
        std::fputs("tavil-sim: the run folder cannot be used; other copies will not see this one\n",
                   stderr);
    }
}

// A second copy saves nothing: the running copy owns the settings.
int endRun(const FrontOptions& options, int exitCode) {
    if (!programRanHere()) {
        std::fputs("tavil-sim: Tavil runs already; the request was handed to it\n", stdout);
        return exitCode;
    }
    saveSimRegistry(options.stateFile.c_str());
    return exitCode;
}

// A program that ends cleanly takes its icon out of the taskbar.
void reportIconLeft() {
    if (simNotificationArea.iconPresent) {
        std::fputs("tavil-sim: the program ended with its tray icon left in the taskbar\n", stderr);
    }
}

int runScript(const FrontOptions& options, const std::string& script) {
    std::vector<ScriptCommand> commands;
    std::string error;
    if (!parseScript(script, commands, error)) {
        std::fprintf(stderr, "tavil-sim: script %s, %s\n", options.scriptFile.c_str(),
                     error.c_str());
        return EXIT_BAD_USE;
    }
    switchOn(options);
    startScript(std::move(commands), options.processor);
    const int exitCode = runProgram(options);
    reportIconLeft();
    if (!scriptFailure().empty()) {
        std::fprintf(stderr, "tavil-sim: script %s, %s (settings not saved)\n",
                     options.scriptFile.c_str(), scriptFailure().c_str());
        return EXIT_SCRIPT_FAILED;
    }
    return endRun(options, exitCode);
}

int runInteractive(const FrontOptions& options) {
    switchOn(options);
    if (!startInteractive(options.processor)) {
        std::fputs("tavil-sim: the terminal cannot be put in raw mode\n", stderr);
        return EXIT_BAD_USE;
    }
    shareWithOtherCopies();
    const int exitCode = runProgram(options);
    endInteractive();
    simStopSharing();
    reportIconLeft();
    return endRun(options, exitCode);
}

} // namespace

int main(int argc, char** argv) {
    FrontOptions options;
    options.processor = simProcessorKindFromEnvironment();
    options.stateFile = environmentOr("TAVIL_REGISTRY", "tavil-registry.txt");
    std::string error;
    if (!parseFrontOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "tavil-sim: %s (see --help)\n", error.c_str());
        return EXIT_BAD_USE;
    }
    if (options.help) {
        std::fputs(FRONT_USAGE, stdout);
        return 0;
    }
    if (options.scriptFile.empty() && isatty(STDIN_FILENO) != 0 && isatty(STDOUT_FILENO) != 0) {
        return runInteractive(options);
    }
    if (options.scriptFile.empty()) {
        options.scriptFile = "(built in)";
        shareWithOtherCopies();
        const int exitCode =
            runScript(options, "wait " + std::to_string(secondsToRun()) + "\nshow\nquit\n");
        simStopSharing();
        return exitCode;
    }
    std::string script;
    if (!readScript(options.scriptFile, script)) {
        std::fprintf(stderr, "tavil-sim: cannot read the script %s\n", options.scriptFile.c_str());
        return EXIT_BAD_USE;
    }
    return runScript(options, script);
}
