#include "platform/sim/sim_programs.h"

#include "platform/programs.h"
#include "platform/sim/sim_display.h"
#include "platform/whole_text.h"

#include <string_view>

namespace {

constexpr const char16_t* HELP_VIEWER = u"peghelp.exe";

SimPrograms switchedOn() {
    SimPrograms programs{};
    copyWholeText(HELP_VIEWER, programs.installed[0], SIM_PATH_CAPACITY);
    programs.installedCount = 1;
    return programs;
}

int programIndex(const char16_t* name) {
    for (int i = 0; name != nullptr && i < simPrograms.installedCount; ++i) {
        if (std::u16string_view(simPrograms.installed[i]) == name) {
            return i;
        }
    }
    return -1;
}

} // namespace

SimPrograms simPrograms = switchedOn();

void resetSimPrograms() {
    simPrograms = switchedOn();
}

bool simInstallProgram(const char16_t* name) {
    if (name == nullptr || name[0] == u'\0') {
        return false;
    }
    if (programIndex(name) >= 0) {
        return true;
    }
    if (simPrograms.installedCount == SIM_PROGRAM_CAPACITY ||
        !copyWholeText(name, simPrograms.installed[simPrograms.installedCount],
                       SIM_PATH_CAPACITY)) {
        return false;
    }
    ++simPrograms.installedCount;
    return true;
}

bool simRemoveProgram(const char16_t* name) {
    const int index = programIndex(name);
    if (index < 0) {
        return false;
    }
    const int last = --simPrograms.installedCount;
    copyWholeText(simPrograms.installed[last], simPrograms.installed[index], SIM_PATH_CAPACITY);
    return true;
}

bool createShortcut(const char16_t* shortcutPath, const char16_t* targetPath) {
    char16_t target[SIM_PATH_CAPACITY];
    if (!copyWholeText(targetPath, target, SIM_PATH_CAPACITY) || target[0] == u'\0' ||
        !simAddFile(shortcutPath)) {
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
    if (programIndex(application) < 0 ||
        !copyWholeText(commandLine, line, SIM_COMMAND_LINE_CAPACITY)) {
        return false;
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
