#include "platform/sim/sim_programs.h"

#include "platform/programs.h"
#include "platform/sim/name_compare.h"
#include "platform/sim/sim_display.h"
#include "platform/sim/sim_handheld.h"
#include "platform/whole_text.h"

namespace {

constexpr const char16_t* HELP_VIEWER = u"peghelp.exe";
constexpr std::uint32_t VIEWER_THREADS = 1;
constexpr std::u16string_view HELP_FILE_PREFIX = u"file:";
constexpr std::u16string_view HELP_FILES_FOLDER = u"resources/"; // what goes into \Windows

} // namespace

SimPrograms& simPrograms = simHandheld.programs;

SimPrograms simProgramsSwitchedOn() {
    SimPrograms programs{};
    addPath(programs.installed, HELP_VIEWER, sameName);
    return programs;
}

bool simInstallProgram(const char16_t* name) {
    return addPath(simPrograms.installed, name, sameName);
}

bool simRemoveProgram(const char16_t* name) {
    return removePath(simPrograms.installed, name, sameName);
}

std::u16string simHelpViewerPage() {
    const std::u16string_view commandLine = simPrograms.startedCommandLine;
    if (!sameName(simPrograms.startedApplication, HELP_VIEWER) ||
        !commandLine.starts_with(HELP_FILE_PREFIX) || simProcessNamed(HELP_VIEWER) == nullptr) {
        return {};
    }
    return std::u16string(HELP_FILES_FOLDER) +
           std::u16string(commandLine.substr(HELP_FILE_PREFIX.size()));
}

bool createShortcut(const char16_t* shortcutPath, const char16_t* targetPath) {
    char16_t target[SIM_PATH_CAPACITY];
    if (!copyWholeText(targetPath, target, SIM_PATH_CAPACITY) || target[0] == u'\0' ||
        !simAddShortcut(shortcutPath, target)) {
        return false;
    }
    copyWholeText(shortcutPath, simPrograms.shortcutPath, SIM_PATH_CAPACITY);
    copyWholeText(target, simPrograms.shortcutTarget, SIM_PATH_CAPACITY);
    ++simPrograms.shortcutsMade;
    return true;
}

bool deleteFile(const char16_t* path) {
    return simRemoveFile(path);
}

bool startProgram(const char16_t* application, const char16_t* commandLine) {
    char16_t line[SIM_COMMAND_LINE_CAPACITY];
    if (pathIndex(simPrograms.installed, application, sameName) < 0 ||
        !copyWholeText(commandLine, line, SIM_COMMAND_LINE_CAPACITY)) {
        return false;
    }
    if (simProcessNamed(application) == nullptr) { // a running viewer shows the new page
        simStartProcess(application, VIEWER_THREADS);
    }
    copyWholeText(application, simPrograms.startedApplication, SIM_PATH_CAPACITY);
    copyWholeText(line, simPrograms.startedCommandLine, SIM_COMMAND_LINE_CAPACITY);
    ++simPrograms.programsStarted;
    return true;
}

void markNextRestartClean() {
    simPrograms.nextRestartClean = true;
    simPrograms.restartsBeforeCleanMark = simDisplay.restarts;
}
