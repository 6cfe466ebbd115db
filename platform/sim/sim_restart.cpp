#include "platform/sim/sim_restart.h"

#include "platform/display_settings.h"
#include "platform/files.h"
#include "platform/sim/name_compare.h"
#include "platform/sim/sim_driver.h"
#include "platform/sim/sim_handheld.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace {

constexpr const char16_t* PROGRAM_FILE = u"Tavil.exe";
constexpr ModuleHandle PROGRAM_MODULE = static_cast<ModuleHandle>(1);
constexpr std::uint32_t STARTED_THREADS = 1;
constexpr std::uint64_t IDLE_REDRAW_MS = 1000;

constexpr const char16_t* DISPLAY_DRIVER_KEY = u"Drivers\\Display\\GPE";
constexpr const char16_t* LOGICAL_PIXELS_VALUE = u"LogicalPixelsX";
constexpr std::uint32_t PURE_VGA_LOGICAL_PIXELS = 96;
constexpr int VGA_LONG_SIDE = 640;

// Small and large icons of the VGA screen's two modes.
constexpr SimScreenMetrics VGA_ICONS = {0, 0, 32, 64};
constexpr SimScreenMetrics PURE_VGA_ICONS = {0, 0, 16, 32};

bool vgaScreen() {
    return std::max(simScreenMetrics.width, simScreenMetrics.height) >= VGA_LONG_SIDE;
}

std::u16string_view fileNameOf(std::u16string_view path) {
    const std::size_t slash = path.find_last_of(u'\\');
    return slash == std::u16string_view::npos ? path : path.substr(slash + 1);
}

void endProgramProcess() {
    simEndProgramProcess();
    while (const ProcessEntry* program = simProcessNamed(PROGRAM_FILE)) {
        simRemoveProcess(program->processId);
    }
}

void returnToFactoryState() {
    simRemoveStoredKeys();
    simHandheld.files = simHandheld.factoryFiles;
    simTurnScreen(ORIENTATION_0);
    if (vgaScreen()) {
        simMakeVgaHandheld();
    }
    simPrograms.nextRestartClean = false;
}

void startSystem() {
    const SimProcessorFaults faults = simProcessor.faults;
    resetSimProcessor(simHandheld.processorKind);
    simProcessor.faults = faults;
    simRestartSystemProcesses();
    simHandheld.memory = SIM_SWITCHED_ON_MEMORY;
    simHandheld.memoryTakenByOthers = 0;
}

// The display driver reads its logical pixels per inch as it starts.
void takeScreenMode() {
    if (!vgaScreen()) {
        return;
    }
    std::uint32_t logicalPixels = 0;
    simGetRegistryNumber(DISPLAY_DRIVER_KEY, LOGICAL_PIXELS_VALUE, logicalPixels);
    const SimScreenMetrics& icons =
        logicalPixels == PURE_VGA_LOGICAL_PIXELS ? PURE_VGA_ICONS : VGA_ICONS;
    simScreenMetrics.smallIconWidth = icons.smallIconWidth;
    simScreenMetrics.iconSize = icons.iconSize;
}

// The targets of the shortcuts in the Startup folder.
std::vector<std::u16string> startupTargets() {
    std::vector<std::u16string> targets;
    const SimFiles& files = simHandheld.files;
    const auto folder =
        std::find_if(files.folders, files.folders + files.folderCount,
                     [](const SimSpecialFolder& known) { return known.folder == FOLDER_STARTUP; });
    if (folder == files.folders + files.folderCount || folder->path[0] == u'\0') {
        return targets;
    }
    const std::u16string prefix = std::u16string(folder->path) + u'\\';
    for (int i = 0; i < simFileCount(); ++i) {
        const std::u16string_view path = simFilePath(i);
        const std::u16string_view target = simFileTarget(i);
        if (!target.empty() && path.size() > prefix.size() &&
            samePath(path.substr(0, prefix.size()), prefix) &&
            path.find(u'\\', prefix.size()) == std::u16string_view::npos) {
            targets.emplace_back(target);
        }
    }
    return targets;
}

// Runs what the Startup folder names; true when Tavil was among it (and has
// run and ended since).
bool runStartupFolder() {
    bool programRan = false;
    for (const std::u16string& target : startupTargets()) {
        const std::u16string_view name = fileNameOf(target);
        if (samePath(name, PROGRAM_FILE) && !programRan) {
            programRan = true;
            simHandheld.restarts.programStartedAgain = true;
            simStartProcess(PROGRAM_FILE, STARTED_THREADS);
            simProgramMain(PROGRAM_MODULE, u"");
        } else if (pathIndex(simPrograms.installed, std::u16string(name).c_str(), samePath) >= 0) {
            simStartProcess(std::u16string(name).c_str(), STARTED_THREADS);
        }
    }
    return programRan;
}

bool programClassRegistered() {
    return std::any_of(std::begin(simWindowing.classes), std::end(simWindowing.classes),
                       [](const SimWindowClass& windowClass) { return windowClass.registered; });
}

// Without Tavil the handheld runs on until the user ends the session or a copy
// of Tavil that the user starts has run.
void runWithoutProgram() {
    while (simDriver.wait != nullptr && !simWindowing.quitPosted && !programClassRegistered()) {
        simDriver.wait(simClock.now + IDLE_REDRAW_MS);
    }
}

} // namespace

SimProgramMain simProgramMain = nullptr;

bool simRestartPending() {
    return simProgramMain != nullptr && simDisplay.restarts != simHandheld.restarts.carriedOut;
}

void simRestartHandheld() {
    SimRestarts& restarts = simHandheld.restarts;
    restarts.carriedOut = simDisplay.restarts;
    restarts.lastWasFull = simPrograms.nextRestartClean;
    restarts.programStartedAgain = false;
    endProgramProcess();
    if (restarts.lastWasFull) {
        returnToFactoryState();
    }
    startSystem();
    takeScreenMode();
    if (!runStartupFolder()) {
        runWithoutProgram();
    }
}
