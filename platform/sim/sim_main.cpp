// Tavil on the simulated handheld, on the host. `tavil-sim --help` lists the
// options. In a terminal the handheld is shown and driven interactively. With a
// script the front-end runs its commands and prints each screen as text (and,
// with --trace, writes what the program shows to a file, see trace.h); without
// one, when standard input or output is not a terminal, the program
// runs for a few seconds of the handheld's time (TAVIL_SECONDS, 3 by default)
// and the screen is printed then. With --install the setup DLL's install gate
// runs in the program's stead, its message boxes answered by the script.

#include "core/program_name.h"
#include "platform/sim/name_compare.h"
#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_display.h"
#include "platform/sim/sim_handheld.h"
#include "platform/sim/sim_registry_file.h"
#include "platform/sim/sim_shared.h"
#include "platform/sim/terminal/interactive.h"
#include "platform/sim/terminal/options.h"
#include "platform/sim/terminal/script.h"
#include "platform/sim/terminal/trace.h"
#include "platform/sim/utf8.h"
#include "setup/install_gate.h"
#include "shell/startup.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int EXIT_BAD_USE = 2;
constexpr int EXIT_SCRIPT_FAILED = 1;
constexpr unsigned DEFAULT_SECONDS = 3;
constexpr unsigned LONGEST_RUN_SECONDS = 24 * 60 * 60;
constexpr const char16_t* PURE_VGA_RESOURCES = u"\\Windows\\shellres.96.dll";

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

bool isFolder(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::string folderOf(const std::string& file) {
    const std::size_t slash = file.find_last_of('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : file.substr(0, slash);
}

// Makes the folder and those above it that are missing, for the user alone.
bool makeFolders(const std::string& folder) {
    if (isFolder(folder)) {
        return true;
    }
    return makeFolders(folderOf(folder)) && (mkdir(folder.c_str(), 0700) == 0 || isFolder(folder));
}

// The state file's folder exists, or is made when it is the default one.
bool stateFolderReady(const FrontOptions& options) {
    const std::string folder = folderOf(options.stateFile);
    if (options.stateFile == defaultStateFile() ? makeFolders(folder) : isFolder(folder)) {
        return true;
    }
    std::fprintf(stderr, "tavil-sim: the state file %s cannot be made: no folder %s\n",
                 options.stateFile.c_str(), folder.c_str());
    return false;
}

// The handheld's version and language as the options give them, and the
// faults they plant.
void applyHandheldOptions(const FrontOptions& options) {
    if (options.os) {
        simRunWindowsCe(options.os->major, options.os->minor);
    }
    if (options.languageId) {
        simSystemInfo.defaultLanguageId = *options.languageId;
        simSystemInfo.userInterfaceLanguageId = *options.languageId;
    }
    simProcessor.faults = options.faults;
}

// Switches the handheld on with the state file's registry and files; false,
// with the file left untouched, when it is not a state file or cannot be read.
bool switchOn(const FrontOptions& options) {
    resetSimHandheld(options.processor);
    applyHandheldOptions(options);
    std::string problem;
    switch (loadSimState(options.stateFile.c_str(), problem)) {
    case SimStateLoad::Loaded:
        break;
    case SimStateLoad::Missing:
        if (!stateFolderReady(options)) {
            return false;
        }
        break;
    case SimStateLoad::Unreadable:
        std::fprintf(stderr, "tavil-sim: the state file %s: %s\n", options.stateFile.c_str(),
                     problem.c_str());
        return false;
    case SimStateLoad::NotAStateFile:
        std::fprintf(stderr,
                     "tavil-sim: %s is not a state file (%s); it is left as it is: give "
                     "another with --state\n",
                     options.stateFile.c_str(), problem.c_str());
        return false;
    }
    if (options.screen == ScreenSize::Vga) {
        simMakeVgaHandheld();
    }
    if (options.pureVgaResources) {
        simAddRomFile(PURE_VGA_RESOURCES);
    }
    simClock.runUntil = UINT64_MAX; // the script, not a time limit, ends the run
    return true;
}

int runProgram(const FrontOptions& options) {
    char16_t commandLine[256];
    utf8ToUtf16(options.commandLine.data(), options.commandLine.data() + options.commandLine.size(),
                commandLine, std::size(commandLine));
    return runTavil(static_cast<ModuleHandle>(1), commandLine);
}

// Whether this process ran the program: a second copy hands its request to the
// copy running in another process and ends before it registers its window
// class, and never restarts the handheld (which takes the class away).
bool programRanHere() {
    if (simDisplay.restarts > 0) {
        return true;
    }
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
    if (!saveSimState(options.stateFile.c_str())) {
        std::fprintf(stderr, "tavil-sim: the state cannot be saved to %s\n",
                     options.stateFile.c_str());
        return EXIT_SCRIPT_FAILED;
    }
    return exitCode;
}

// A program that ends cleanly takes its icon out of the taskbar.
void reportIconLeft() {
    if (simNotificationArea.iconPresent) {
        std::fputs("tavil-sim: the program ended with its tray icon left in the taskbar\n", stderr);
    }
}

// The trace file, when one is asked for, begins with the handheld as the
// options left it; false, with no trace left, when it cannot.
bool beginTrace(const FrontOptions& options) {
    if (options.traceFile.empty()) {
        return true;
    }
    if (!startTrace(options.traceFile)) {
        std::fprintf(stderr, "tavil-sim: the trace file %s cannot be made\n",
                     options.traceFile.c_str());
        return false;
    }
    traceWorld();
    if (!traceFailure().empty()) {
        endTrace(false);
        std::fprintf(stderr, "tavil-sim: no trace: %s\n", traceFailure().c_str());
        return false;
    }
    return true;
}

// What went wrong in the run; empty when nothing did.
std::string runFailure() {
    return !scriptFailure().empty() ? scriptFailure() : traceFailure();
}

// With --install the script may only answer the gate's message boxes: it
// waits for nothing else.
bool onlyAnswers(const std::vector<ScriptCommand>& commands, std::string& error) {
    for (const ScriptCommand& command : commands) {
        if (command.verb != ScriptVerb::Answer) {
            error = "line " + std::to_string(command.line) +
                    ": with --install a script holds answers to message boxes only";
            return false;
        }
    }
    return true;
}

// Reads the script and switches the handheld on with it as the driver and the
// trace begun; false, the reason on standard error, when the run cannot start.
bool beginScriptRun(const FrontOptions& options, const std::string& script) {
    std::vector<ScriptCommand> commands;
    std::string error;
    if (!parseScript(script, commands, error) ||
        (options.install && !onlyAnswers(commands, error))) {
        std::fprintf(stderr, "tavil-sim: script %s, %s\n", options.scriptFile.c_str(),
                     error.c_str());
        return false;
    }
    if (!switchOn(options) || !beginTrace(options)) {
        return false;
    }
    startScript(std::move(commands), options.processor);
    return true;
}

// Keeps the trace when the run went well; false, the reason on standard error,
// when it did not or the trace cannot be written.
bool endScriptRun(const FrontOptions& options, const std::string& failure) {
    if (!endTrace(failure.empty())) {
        std::fprintf(stderr, "tavil-sim: the trace cannot be written to %s\n",
                     options.traceFile.c_str());
        return false;
    }
    if (!failure.empty()) {
        std::fprintf(stderr, "tavil-sim: script %s, %s (settings not saved%s)\n",
                     options.scriptFile.c_str(), failure.c_str(),
                     options.traceFile.empty() ? "" : ", no trace");
        return false;
    }
    return true;
}

int runScript(const FrontOptions& options, const std::string& script) {
    if (!beginScriptRun(options, script)) {
        return EXIT_BAD_USE;
    }
    const int exitCode = runProgram(options);
    traceExit(exitCode);
    reportIconLeft();
    return endScriptRun(options, runFailure()) ? endRun(options, exitCode) : EXIT_SCRIPT_FAILED;
}

// What went wrong in the install gate's run: also an answer left over, for a
// box that never came up.
std::string installFailure() {
    const ScriptCommand* left = scriptCommandLeft();
    if (runFailure().empty() && left != nullptr) {
        return "line " + std::to_string(left->line) + ": no message box came up to answer";
    }
    return runFailure();
}

// As the setup DLL's Install_Init runs it; the handheld's state is not saved,
// as the gate changes nothing. The gate's answer.
int runInstallGate(const FrontOptions& options, const std::string& script) {
    if (!beginScriptRun(options, script)) {
        return EXIT_BAD_USE;
    }
    const int answer =
        checkInstallation(installTargetOf(options.install->major, options.install->minor));
    traceExit(answer);
    return endScriptRun(options, installFailure()) ? answer : EXIT_SCRIPT_FAILED;
}

int runInteractive(const FrontOptions& options) {
    if (!switchOn(options)) {
        return EXIT_BAD_USE;
    }
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
    std::string error;
    if (!readFrontEnvironment(options, error) || !parseFrontOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "tavil-sim: %s (see --help)\n", error.c_str());
        return EXIT_BAD_USE;
    }
    if (options.help) {
        std::fputs(FRONT_USAGE, stdout);
        return 0;
    }
    if (options.stateFile.empty()) {
        options.stateFile = defaultStateFile();
    }
    if (options.stateFile.empty()) {
        std::fputs("tavil-sim: no folder for the state file (neither XDG_STATE_HOME nor HOME is "
                   "set); give one with --state\n",
                   stderr);
        return EXIT_BAD_USE;
    }
    if (!options.traceFile.empty() && options.scriptFile.empty()) {
        std::fputs("tavil-sim: --trace needs --script (see --help)\n", stderr);
        return EXIT_BAD_USE;
    }
    if (options.install && options.scriptFile.empty()) {
        std::fputs("tavil-sim: --install needs --script (see --help)\n", stderr);
        return EXIT_BAD_USE;
    }
    if (options.install && !options.commandLine.empty()) {
        std::fprintf(stderr, "tavil-sim: --install runs no program: no command line (%s)\n",
                     options.commandLine.c_str());
        return EXIT_BAD_USE;
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
    return options.install ? runInstallGate(options, script) : runScript(options, script);
}
