// Long seeded runs of random actions against the program on the simulated
// handheld: what users, other programs and the hardware do, checked after each
// step against the rules of random_rules.h. A failure names the seed, the step
// and the last actions; `tavil_random_actions --seed S --actions N` replays it.
//
//   tavil_random_actions                        the fixed seeds, a bounded run
//   tavil_random_actions --seeds 1-200 --actions 100000
//   tavil_random_actions --seed 17 --actions 5000

#include "core/app_state.h"
#include "core/command_ids.h"
#include "platform/dialogs.h"
#include "platform/display_settings.h"
#include "platform/message_box.h"
#include "platform/sim/sim_driver.h"
#include "platform/sim/sim_handheld.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_registry_store.h"
#include "platform/sim/terminal/world.h"
#include "platform/windowing.h"
#include "shell/main_window.h"
#include "shell/startup.h"
#include "tests/random/fault_switches.h"
#include "tests/random/random_rules.h"
#include "tests/random/random_source.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::uint64_t CI_SEEDS[] = {1, 2, 3, 4, 5, 6};
constexpr long CI_ACTIONS = 4000;
constexpr int RING_SIZE = 20;
constexpr const char16_t* SETTINGS_KEY = u"SOFTWARE\\Dunmar\\Tavil";
constexpr const char16_t* SETTING_NAMES[5] = {u"MinFreq", u"MaxFreq", u"View", u"UserFreq",
                                              u"Color"};
constexpr const char16_t* PROGRAM_FILE = u"Tavil.exe";
constexpr std::uint32_t TRAY_CALLBACK = 1026;
constexpr SimScreenMetrics VGA_METRICS = {480, 640, 32, 64};
constexpr SimScreenMetrics QVGA_METRICS = {240, 320, 16, 32};

// What a second copy may be started with.
constexpr const char16_t* COMMAND_LINES[] = {
    u"",   u"#0", u"#1",  u"#2",        u"#3",   u"#4",           u"#5", u"#6",   u"#7",
    u"#8", u"#9", u"#10", u"\"#2\" #7", u"-x #", u"#99999999999", u"##", u"#a#5#"};

constexpr const char16_t* PROCESS_NAMES[] = {u"calc.exe",  u"pword.exe",  u"iexplore.exe",
                                             u"Tavil.exe", u"tavil.exe",  u"a",
                                             u"x.exe",     u"repllog.exe"};

constexpr const char16_t* DIALOG_CAPTIONS[] = {u"Процессор", u"Питание", u"Память", u"Система",
                                               u"О программе"};

// The run of one seed.
struct Run {
    RandomSource random{0};
    std::uint64_t seed;
    long step;
    long actions;
    std::string ring[RING_SIZE];
    long ringCount;
    int depth; // of the modal loops the actions run in
    bool faultOn[FAULT_SWITCH_COUNT];
    SimProcessorKind processor;
    RunFacts facts;
    bool running;
    bool startedChecked;
    bool closeAsked;
    bool endedWithDevice; // the device restarted, or the program's own process was ended
    bool quitForced;      // told to quit without its close message
    int restartsAtStart;
    std::uint32_t ownProcessId;
    StoredSettings storedAtStart;
    std::uint32_t settingsBefore[5];
    std::vector<std::uint32_t> menuIds;        // every command id of menus shown
    std::vector<std::uint32_t> shownProcesses; // ids by position in the last menu shown
    bool shownProcessesKnown;
    std::deque<std::uint32_t> processQuestions; // the id each question is about, in order
    std::vector<std::uint32_t> mayEnd;          // agreed to end
    std::vector<std::uint32_t> endedIds;        // processes ended, for ids used again
};

Run run;

void note(const std::string& what) {
    std::string line = std::to_string(run.step) + ": " + std::string(run.depth * 2, ' ') + what;
    run.ring[run.ringCount++ % RING_SIZE] = line;
}

[[noreturn]] void fail(const std::string& what) {
    std::printf("FAILED seed %llu at step %ld\n%s", static_cast<unsigned long long>(run.seed),
                run.step, what.c_str());
    std::printf("last actions:\n");
    const long first = run.ringCount > RING_SIZE ? run.ringCount - RING_SIZE : 0;
    for (long i = first; i < run.ringCount; ++i) {
        std::printf("  %s\n", run.ring[i % RING_SIZE].c_str());
    }
    std::printf("replay: tavil_random_actions --seed %llu --actions %ld\n",
                static_cast<unsigned long long>(run.seed), run.actions);
    std::fflush(stdout);
    std::_Exit(1);
}

void require(const std::string& broken) {
    if (!broken.empty()) {
        fail(broken);
    }
}

std::string hex(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
}

std::string utf8(const char16_t* text) {
    std::string out;
    for (; *text != u'\0'; ++text) {
        out += *text < 0x80 ? static_cast<char>(*text) : '?';
    }
    return out;
}

bool anyFaultOn() {
    for (const bool on : run.faultOn) {
        if (on) {
            return true;
        }
    }
    return false;
}

bool registryFaultOn() {
    return simRegistryFaults.createKey || simRegistryFaults.setValue;
}

WindowHandle mainWindow() {
    return findWindow(u"Tavil", u"Tavil");
}

void post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    postMessage(mainWindow(), message, wParam, lParam);
}

// A modal loop of the handheld delivers what was posted while it waits.
void deliverInModalLoop() {
    if (run.depth > 0) {
        simRunModalLoop();
    }
}

// ---- the program's process list, as the last menu showed it

const ProcessEntry* processAtPosition(std::uint32_t position) {
    return position < run.shownProcesses.size() ? simProcessWithId(run.shownProcesses[position])
                                                : nullptr;
}

// A command about position k of the list: the program asks about it only when
// the list it showed filled that position.
void expectProcessCommand(std::uint32_t id) {
    if (id < FIRST_PROCESS_COMMAND) {
        return;
    }
    const std::uint32_t position = id - FIRST_PROCESS_COMMAND;
    if (run.shownProcessesKnown && position < run.shownProcesses.size()) {
        run.processQuestions.push_back(run.shownProcesses[position]);
    }
}

// ---- actions of the world and the user

void tick() {
    const std::uint64_t due = simNextTimerDue();
    std::uint64_t until = due == UINT64_MAX ? simClock.now + 1000 : due;
    if (run.random.chance(100)) {
        until += 1000ull * run.random.between(1, 400); // the handheld was left alone a while
    }
    note("tick to " + std::to_string(until));
    simAdvanceClock(until - simClock.now);
    run.facts.tickDelivered = simNextTimerDue() <= simClock.now;
    if (run.depth > 0) {
        simPostDueTimers();
        simRunModalLoop();
    }
}

void tapIcon() {
    const std::intptr_t mouse = run.random.chance(800)
                                    ? run.random.pick<std::intptr_t>({513, 516})
                                    : static_cast<std::intptr_t>(run.random.next());
    note("tray callback " + std::to_string(mouse));
    post(TRAY_CALLBACK, 1, mouse);
    deliverInModalLoop();
}

void showMenuRequest() {
    note("message 1025");
    post(MSG_SHOW_MENU, 0, 0);
    deliverInModalLoop();
}

void presetRequest() {
    const std::intptr_t preset = run.random.chance(800)
                                     ? run.random.between(0, 12)
                                     : static_cast<std::intptr_t>(run.random.next());
    note("message 1027 with " + std::to_string(preset));
    post(MSG_APPLY_PRESET, run.random.chance(900) ? 0 : run.random.next(), preset);
    deliverInModalLoop();
}

std::uint32_t anyCommandId() {
    switch (run.random.below(4)) {
    case 0:
        return run.random.between(10000, 10120);
    case 1:
        return run.random.between(FIRST_PROCESS_COMMAND, FIRST_PROCESS_COMMAND + 140);
    case 2:
        return run.menuIds.empty() ? 10000 : run.menuIds[run.random.below(run.menuIds.size())];
    default:
        return run.random.below(0x10000);
    }
}

// A command message that no menu sent: from another program, or late.
void forgedCommand() {
    const std::uint32_t id = anyCommandId();
    std::uintptr_t wParam = id;
    if (run.random.chance(200)) {
        wParam |= static_cast<std::uintptr_t>(run.random.next()) & ~std::uintptr_t{0xFFFF};
    }
    const std::intptr_t lParam =
        run.random.chance(700) ? 0 : static_cast<std::intptr_t>(run.random.next());
    note("command " + std::to_string(id) + " wParam " + hex(wParam));
    expectProcessCommand(id);
    post(WM_COMMAND_MESSAGE, wParam, lParam);
}

std::vector<WindowHandle> openDialogs() {
    std::vector<WindowHandle> dialogs;
    for (int slot = 0; slot < SIM_WINDOW_CAPACITY; ++slot) {
        const SimWindow& window = simWindowing.windows[slot];
        if (window.live && std::u16string_view(window.className) == u"#32770") {
            dialogs.push_back(static_cast<WindowHandle>(0x10000 + slot));
        }
    }
    return dialogs;
}

void dialogAction() {
    const std::vector<WindowHandle> dialogs = openDialogs();
    if (dialogs.empty() || run.random.chance(300)) {
        const std::uint32_t id =
            run.random.pick({PROCESSOR_DIALOG_COMMAND, POWER_DIALOG_COMMAND, MEMORY_DIALOG_COMMAND,
                             SYSTEM_DIALOG_COMMAND, ABOUT_DIALOG_COMMAND});
        note("open dialog " + std::to_string(id));
        post(WM_COMMAND_MESSAGE, id, 0);
        deliverInModalLoop();
        return;
    }
    const WindowHandle dialog = dialogs[run.random.below(dialogs.size())];
    std::uintptr_t wParam = run.random.chance(600) ? DIALOG_OK : run.random.below(5);
    if (run.random.chance(200)) {
        wParam |= static_cast<std::uintptr_t>(run.random.below(0x10000)) << 16;
    }
    note("dialog " + hex(static_cast<std::uintptr_t>(dialog)) + " command " + hex(wParam));
    postMessage(dialog, WM_COMMAND_MESSAGE, wParam, 0);
    deliverInModalLoop();
}

// A copy that cannot see the running one's mutex (the running copy could not
// make it, or the copy cannot make its own) would run here, in this process,
// as a second program: the simulated handheld has one program process.
void secondCopy() {
    if (simMutexes.creationFails || simMutexNamed(u"Tavil") == nullptr) {
        return;
    }
    const char16_t* commandLine = run.random.pick(COMMAND_LINES);
    note("second copy \"" + utf8(commandLine) + "\"");
    worldStartSecondCopy(commandLine);
    deliverInModalLoop();
}

// A configuration of this family that the program composes, or anything.
std::uint32_t anyCccr() {
    static constexpr std::uint32_t PXA27X[] = {0x104, 0x108, 0x110, 0x190, 0x210, 0x208,
                                               0x308, 0x290, 0x410, 0x214, 0x19F};
    static constexpr std::uint32_t PXA25X[] = {0x121, 0x141, 0x1C1, 0x241, 0x2C1, 0x341, 0x161};
    const std::uint32_t high = run.random.chance(700) ? 0x02000000 : run.random.word() & 0xFFFF0000;
    switch (run.random.below(4)) {
    case 0:
        return high | run.random.pick(PXA27X);
    case 1:
        return high | run.random.pick(PXA25X);
    case 2:
        return run.random.chance(100) ? 0 : run.random.word();
    default:
        return high | (run.random.word() & 0xFFFF);
    }
}

void writeCccrBehindTheProgram() {
    const std::uint32_t image = anyCccr();
    note("another program writes the CCCR " + hex(image));
    worldWriteCccr(image);
    run.facts.tickDelivered = false; // until the next tick puts it back
}

void powerAction() {
    switch (run.random.below(5)) {
    case 0: {
        const bool plugged = run.random.chance(500);
        note(plugged ? "power plugged in" : "power pulled");
        worldSetExternalPower(plugged);
        break;
    }
    case 1: {
        const std::uint8_t percent = static_cast<std::uint8_t>(run.random.below(101));
        note("battery at " + std::to_string(percent));
        worldSetBatteryPercent(percent);
        break;
    }
    case 2:
        note("battery charge not known");
        simHandheld.power.batteryLifePercent = 255;
        break;
    case 3:
        note("battery flag changes");
        simHandheld.power.batteryFlag = run.random.pick<std::uint8_t>({1, 2, 4, 8, 9, 128, 255, 0});
        simHandheld.power.backupBatteryFlag = run.random.pick<std::uint8_t>({1, 2, 128, 255});
        break;
    default:
        simHandheld.power.batteryCurrent = static_cast<std::int32_t>(run.random.word());
        simHandheld.power.batteryVoltage = run.random.word();
        simHandheld.power.batteryTemperature = run.random.word();
        note("battery current " + std::to_string(simHandheld.power.batteryCurrent));
        break;
    }
}

void memoryAction() {
    const std::uint32_t total = run.random.chance(900) ? 64u << 20 : run.random.word();
    simHandheld.memory.totalPhysical = total;
    simHandheld.memory.availablePhysical =
        run.random.chance(900) ? run.random.below(total / 2 + 1) : run.random.word();
    simHandheld.memory.memoryLoad = run.random.below(101);
    note("free memory " + std::to_string(simHandheld.memory.availablePhysical));
    run.facts.tickDelivered = false; // until the next tick shows it
}

std::uint32_t newProcessId() {
    if (!run.endedIds.empty() && run.random.chance(400)) {
        return run.endedIds[run.random.below(run.endedIds.size())]; // ids are used again
    }
    return run.random.word() & 0xFFFFFFFC;
}

void startProcesses(int count) {
    for (int i = 0; i < count; ++i) {
        simAddProcess(newProcessId(), run.random.between(1, 40), run.random.pick(PROCESS_NAMES));
    }
}

void endProcess() {
    if (simProcesses.count == 0) {
        return;
    }
    const ProcessEntry& entry = simProcesses.processes[run.random.below(simProcesses.count)];
    if (entry.processId == run.ownProcessId) {
        return;
    }
    note("process " + hex(entry.processId) + " ends");
    run.endedIds.push_back(entry.processId);
    simRemoveProcess(entry.processId);
}

void processAction() {
    switch (run.random.below(4)) {
    case 0:
        note("a process starts");
        startProcesses(1);
        break;
    case 1:
        note("many processes start");
        startProcesses(static_cast<int>(run.random.between(20, 120)));
        break;
    default:
        endProcess();
        break;
    }
}

void screenAction() {
    const std::uint32_t orientation =
        run.random.pick({ORIENTATION_0, ORIENTATION_90, ORIENTATION_180, ORIENTATION_270});
    note("screen turns to " + std::to_string(orientation));
    worldRotateScreen(orientation);
}

void idleCounterAction() {
    simClock.loadPercent = run.random.below(120);
    if (run.random.chance(300)) {
        simClock.idleCounter = 0xFFFFFFFF - run.random.below(3000);
    }
    note("processor load " + std::to_string(simClock.loadPercent));
}

void switchFault(int row, bool on) {
    run.faultOn[row] = on;
    FAULT_SWITCHES[row].set(on);
}

void faultAction() {
    if (run.random.chance(250)) {
        note("all faults off");
        for (int row = 0; row < FAULT_SWITCH_COUNT; ++row) {
            switchFault(row, false);
        }
        return;
    }
    const int row = static_cast<int>(run.random.below(FAULT_SWITCH_COUNT));
    const bool on = !run.faultOn[row] && run.random.chance(700);
    note(std::string("fault ") + FAULT_SWITCHES[row].name + (on ? " on" : " off"));
    switchFault(row, on);
}

void programsAction() {
    if (run.random.chance(500)) {
        const bool has = run.random.chance(500);
        note(has ? "help viewer installed" : "help viewer removed");
        has ? (void)simInstallProgram(u"peghelp.exe") : (void)simRemoveProgram(u"peghelp.exe");
    } else {
        const bool has = run.random.chance(500);
        note(has ? "storage card in" : "storage card out");
        has ? (void)simInsertStorageCard(u"Storage Card")
            : (void)simRemoveStorageCard(u"Storage Card");
    }
}

// The program is told to end as its own exit command does, or by its command.
void endProgram() {
    run.closeAsked = true;
    if (mainWindow() == WindowHandle::None) {
        note("quit");
        run.quitForced = true;
        postQuitMessage(0);
    } else if (run.random.chance(500)) {
        note("command exit");
        post(WM_COMMAND_MESSAGE, EXIT_COMMAND, 0);
    } else {
        note("close message");
        post(WM_CLOSE_MESSAGE, 0, 0);
    }
}

// What happens while a menu or message box waits: time, requests of other
// copies, another program at the CCCR, a tap.
void actOnceWhileModal() {
    switch (run.random.below(7)) {
    case 0:
    case 1:
        tick();
        break;
    case 2:
        presetRequest();
        break;
    case 3:
        if (run.startedChecked) { // the image found at start-up is the one before the start
            writeCccrBehindTheProgram();
        }
        break;
    case 4:
        showMenuRequest();
        break;
    case 5:
        processAction();
        break;
    default:
        tapIcon();
        break;
    }
}

void actWhileModal() {
    if (run.depth > 2) {
        return;
    }
    for (int acts = 0; acts < 3 && run.random.chance(acts == 0 ? 150 : 400); ++acts) {
        actOnceWhileModal();
    }
}

struct WeightedAction {
    int weight;
    void (*act)();
};

constexpr WeightedAction ACTIONS[] = {
    {30, tick},
    {10, tapIcon},
    {3, showMenuRequest},
    {5, presetRequest},
    {8, forgedCommand},
    {6, dialogAction},
    {3, secondCopy},
    {6, writeCccrBehindTheProgram},
    {4, powerAction},
    {2, memoryAction},
    {5, processAction},
    {2, screenAction},
    {2, idleCounterAction},
    {5, faultAction},
    {1, programsAction},
};

void randomAction() {
    int total = 2; // ending the program
    for (const WeightedAction& action : ACTIONS) {
        total += action.weight;
    }
    int roll = static_cast<int>(run.random.below(static_cast<std::uint32_t>(total)));
    for (const WeightedAction& action : ACTIONS) {
        if (roll < action.weight) {
            action.act();
            return;
        }
        roll -= action.weight;
    }
    endProgram(); // the last two in `total`
}

// ---- the driver's hooks

void checkStep() {
    if (!run.startedChecked) {
        run.startedChecked = true;
        require(checkStartedCopy(run.facts, run.storedAtStart));
        currentSettings(run.settingsBefore); // start-up does not store what it corrects
    }
    run.facts.faultOn = anyFaultOn();
    run.facts.userPresetHighHalves.push_back(appState.userCccr >> 16);
    require(checkBetweenMessages(run.facts));
    require(checkSettingsStored(run.settingsBefore, registryFaultOn()));
    currentSettings(run.settingsBefore);
    for (int i = 0; i < std::min(simProcesses.terminationCount, SIM_TERMINATION_LOG_CAPACITY);
         ++i) {
        const std::uint32_t ended = simProcesses.terminations[i].processId;
        if (std::find(run.mayEnd.begin(), run.mayEnd.end(), ended) == run.mayEnd.end()) {
            fail("process " + hex(ended) + " was ended without the user agreeing to end it\n");
        }
    }
    simProcesses.terminationCount = 0;
    run.mayEnd.clear();
    if (run.facts.userPresetHighHalves.size() > 64) {
        run.facts.userPresetHighHalves.erase(run.facts.userPresetHighHalves.begin() + 1,
                                             run.facts.userPresetHighHalves.end() - 32);
    }
}

// The device restarted under the program, or its own process was ended.
bool programGone() {
    return simDisplay.restarts != run.restartsAtStart ||
           simProcessWithId(run.ownProcessId) == nullptr;
}

void waitForWorld(std::uint64_t) {
    if (run.depth != 0) {
        fail("the program waited for its next message inside a modal loop\n");
    }
    checkStep();
    run.facts.tickDelivered = false;
    if (programGone() && !run.endedWithDevice) {
        note("the program's process is gone");
        run.endedWithDevice = true;
        postQuitMessage(0);
        return;
    }
    if (run.step >= run.actions || run.endedWithDevice) {
        if (!run.closeAsked || run.endedWithDevice) {
            endProgram();
        } else {
            run.quitForced = true;
            postQuitMessage(0); // asked to close and still waiting
        }
        return;
    }
    ++run.step;
    randomAction();
}

void collectMenu(MenuHandle menu, std::vector<MenuItemView>& entries) {
    MenuItemView item{};
    for (int position = 0; menuItemAt(menu, position, item); ++position) {
        if (item.submenu != MenuHandle::None) {
            collectMenu(item.submenu, entries);
        } else if (!item.separator) {
            entries.push_back(item);
        }
    }
}

// What the menu lists as processes must be what the handheld runs, in its order,
// cut at a hundred, the program itself left out.
void rememberProcessList(const std::vector<MenuItemView>& entries) {
    run.shownProcesses.clear();
    run.shownProcessesKnown = true;
    if (!simProcesses.snapshotFails) {
        for (int i = 0; i < simProcesses.count && i < 100; ++i) {
            run.shownProcesses.push_back(simProcesses.processes[i].processId);
        }
    }
    for (const MenuItemView& entry : entries) {
        if (entry.id < FIRST_PROCESS_COMMAND) {
            continue;
        }
        const std::uint32_t position = entry.id - FIRST_PROCESS_COMMAND;
        const ProcessEntry* process = processAtPosition(position);
        if (position >= 100) {
            fail("the menu offers process position " + std::to_string(position) + "\n");
        }
        if (std::u16string_view(entry.text).starts_with(u"Tavil.exe (")) {
            fail("the menu offers to end the program itself\n");
        }
        if (process == nullptr || std::u16string_view(process->exeFile) == PROGRAM_FILE) {
            run.shownProcessesKnown = false; // the handheld changed since the snapshot
        }
    }
}

std::uint32_t chooseFromMenu(MenuHandle menu, int, int) {
    ++run.depth;
    note("menu up");
    std::vector<MenuItemView> entries;
    collectMenu(menu, entries);
    rememberProcessList(entries);
    actWhileModal();
    for (const MenuItemView& entry : entries) {
        if (run.menuIds.size() < 4000) {
            run.menuIds.push_back(entry.id);
        }
    }
    std::uint32_t choice = 0;
    const std::uint32_t roll = run.random.below(100);
    if (roll < 60 && !entries.empty()) {
        std::vector<std::uint32_t> enabled;
        for (const MenuItemView& entry : entries) {
            if (!entry.greyed) {
                enabled.push_back(entry.id);
            }
        }
        if (!enabled.empty()) {
            choice = enabled[run.random.below(enabled.size())];
        }
    } else if (roll < 70 && !entries.empty()) {
        choice = entries[run.random.below(entries.size())].id; // greyed ones are refused
    } else if (roll < 75) {
        choice = anyCommandId();
    }
    note("menu choice " + std::to_string(choice));
    for (const MenuItemView& entry : entries) {
        if (entry.id == choice && !entry.greyed) {
            expectProcessCommand(choice);
        }
    }
    --run.depth;
    return choice;
}

std::string boxName(std::u16string_view caption) {
    static constexpr struct {
        const char16_t* caption;
        const char* name;
    } BOXES[] = {{u"Закрытие процесса", "end process"},
                 {u"Перезагрузка", "restart"},
                 {u"Полный сброс", "full reset"},
                 {u"Внимание", "warning"},
                 {u"Tavil", "Tavil"}};
    for (const auto& box : BOXES) {
        if (caption == box.caption) {
            return box.name;
        }
    }
    return "(other)";
}

int answerBox(const char16_t* text, const char16_t* caption, std::uint32_t style) {
    ++run.depth;
    note("message box " + boxName(caption));
    // The question is about the command being carried out now; what the user
    // does while it waits comes after it.
    const bool endProcessQuestion = std::u16string_view(caption) == u"Закрытие процесса";
    std::uint32_t questionAbout = 0;
    if (endProcessQuestion) {
        if (run.processQuestions.empty() && run.shownProcessesKnown) {
            fail("the program asks to end a process that no shown position names\n");
        }
        if (!run.processQuestions.empty()) {
            questionAbout = run.processQuestions.front();
            run.processQuestions.pop_front();
        }
    }
    actWhileModal();
    const bool yesNo = (style & 0xF) == 4;
    const int answer = !yesNo                   ? MB_ANSWER_OK
                       : run.random.chance(500) ? MB_ANSWER_YES
                                                : MB_ANSWER_NO;
    if (endProcessQuestion && answer == MB_ANSWER_YES && questionAbout != 0) {
        run.mayEnd.push_back(questionAbout);
    } else if (endProcessQuestion && answer == MB_ANSWER_YES) {
        for (int i = 0; i < simProcesses.count; ++i) { // the list shown is not known
            run.mayEnd.push_back(simProcesses.processes[i].processId);
        }
    }
    (void)text;
    note(answer == MB_ANSWER_YES  ? "answer yes"
         : answer == MB_ANSWER_NO ? "answer no"
                                  : "answer ok");
    --run.depth;
    return answer;
}

// ---- between two runs of the program

void corruptSetting() {
    SimStoredKey& key = simMakeStoredKey(SETTINGS_KEY);
    const char16_t* name = run.random.pick(SETTING_NAMES);
    switch (run.random.below(5)) {
    case 0: {
        static constexpr std::uint32_t EDGES[] = {0, 1, 2, 3, 4,          5,
                                                  6, 7, 8, 9, 0xFFFFFFFF, 0x12345678};
        const std::uint32_t value =
            run.random.chance(700) ? run.random.pick(EDGES) : run.random.word();
        simSetRegistryValue(SETTINGS_KEY, name, 4, &value, 4);
        note("stored " + utf8(name) + " = " + hex(value));
        break;
    }
    case 1: {
        std::uint8_t bytes[9];
        for (std::uint8_t& byte : bytes) {
            byte = static_cast<std::uint8_t>(run.random.word());
        }
        const std::size_t size = run.random.below(10);
        simSetRegistryValue(SETTINGS_KEY, name, run.random.pick<std::uint32_t>({1, 3, 4, 7, 11}),
                            bytes, size);
        note("stored " + utf8(name) + " with " + std::to_string(size) + " bytes");
        break;
    }
    case 2: {
        std::u16string folded;
        for (const char16_t* c = name; *c != u'\0'; ++c) {
            folded += (*c >= u'A' && *c <= u'Z') ? static_cast<char16_t>(*c + 32) : *c;
        }
        key.values.erase(folded);
        note("deleted " + utf8(name));
        break;
    }
    case 3:
        simRemoveStoredKeys();
        note("the registry wiped");
        break;
    default: {
        const std::uint32_t value = run.random.pick<std::uint32_t>({0, 96, 131, 192, 0xFFFFFFFF});
        simSetRegistryValue(u"Drivers\\Display\\GPE", u"LogicalPixelsX", 4, &value, 4);
        note("logical pixels " + std::to_string(value));
        break;
    }
    }
}

void beforeStart() {
    while (run.random.chance(600)) {
        corruptSetting();
    }
    if (run.random.chance(300)) {
        writeCccrBehindTheProgram();
    }
    if (run.random.chance(50)) {
        run.processor = run.random.pick(
            {SimProcessorKind::Pxa255, SimProcessorKind::Pxa270, SimProcessorKind::Unrecognised});
        const SimProcessorFaults faults = simProcessor.faults;
        resetSimProcessor(run.processor);
        simProcessor.faults = faults;
        note("the handheld has another processor now");
    }
    if (run.random.chance(100)) {
        simScreenMetrics = run.random.chance(500) ? VGA_METRICS : QVGA_METRICS;
        note("screen " + std::to_string(simScreenMetrics.width));
    }
    if (run.random.chance(100)) {
        run.random.chance(500) ? (void)simAddFile(u"\\Windows\\shellres.96.dll")
                               : (void)simRemoveFile(u"\\Windows\\shellres.96.dll");
    }
    if (run.random.chance(200)) {
        faultAction();
    }
    if (simProcessWithId(run.ownProcessId) == nullptr) {
        run.ownProcessId = newProcessId();
        while (!simAddProcess(run.ownProcessId, 1, PROGRAM_FILE)) {
            if (simProcesses.count == SIM_PROCESS_CAPACITY) {
                simRemoveProcess(simProcesses.processes[0].processId);
            }
            run.ownProcessId = run.random.word() & 0xFFFFFFFC;
        }
    }
}

// "#0" to "#9" anywhere in the command line.
bool asksForPreset(std::u16string_view commandLine) {
    for (std::size_t at = 0; at + 1 < commandLine.size(); ++at) {
        if (commandLine[at] == u'#' && commandLine[at + 1] >= u'0' && commandLine[at + 1] <= u'9') {
            return true;
        }
    }
    return false;
}

std::uint32_t ownProcessOnSwitchOn() {
    for (int i = 0; i < simProcesses.count; ++i) {
        if (std::u16string_view(simProcesses.processes[i].exeFile) == PROGRAM_FILE) {
            return simProcesses.processes[i].processId;
        }
    }
    return 0;
}

// After a restart of the device its processor runs as after power-on; after a
// full reset the handheld is as new.
void afterDeviceRestart() {
    const SimProcessorFaults faults = simProcessor.faults;
    if (simPrograms.nextRestartClean) {
        note("the device is reset to its factory state");
        resetSimHandheld(run.processor);
        for (int row = 0; row < FAULT_SWITCH_COUNT; ++row) {
            run.faultOn[row] = false;
        }
        run.ownProcessId = ownProcessOnSwitchOn();
        simClock.runUntil = UINT64_MAX;
        return;
    }
    note("the device restarts");
    resetSimProcessor(run.processor);
    simProcessor.faults = faults;
}

void runProgramOnce(long runNumber) {
    beforeStart();
    const char16_t* commandLine = run.random.pick(COMMAND_LINES);
    note("the program starts with \"" + utf8(commandLine) + "\"");
    appState = AppState{};
    run.facts.instance = static_cast<ModuleHandle>(0x400000 + runNumber * 0x10000);
    run.facts.processor = run.processor;
    run.facts.startupCccr = simProcessor.cccr;
    run.facts.startupCclkcfg = simProcessor.cclkcfg;
    run.facts.presetGiven = asksForPreset(commandLine);
    run.facts.faultAtStartup = anyFaultOn();
    run.facts.userPresetHighHalves.clear();
    run.facts.tickDelivered = false;
    run.storedAtStart = readStoredSettings();
    if (run.storedAtStart.present[3]) {
        run.facts.userPresetHighHalves.push_back(run.storedAtStart.value[3] >> 16);
    }
    run.running = true;
    run.startedChecked = false;
    run.closeAsked = false;
    run.endedWithDevice = false;
    run.quitForced = false;
    run.restartsAtStart = simDisplay.restarts;
    run.processQuestions.clear();
    run.shownProcesses.clear();
    run.shownProcessesKnown = true;
    currentSettings(run.settingsBefore);
    simProcessor.writeCount = 0;
    simProcesses.terminationCount = 0;
    const int exitCode = runTavil(run.facts.instance, commandLine);
    run.running = false;
    note("the program ended");
    require(checkAfterExit(exitCode, !run.endedWithDevice && !run.quitForced));
    const bool restarted = simDisplay.restarts != run.restartsAtStart;
    simEndProgramProcess();
    if (restarted) {
        afterDeviceRestart();
    }
}

void runSeed(std::uint64_t seed, long actions) {
    run = Run{};
    run.random = RandomSource(seed);
    run.seed = seed;
    run.actions = actions;
    run.processor = run.random.pick({SimProcessorKind::Pxa270, SimProcessorKind::Pxa270,
                                     SimProcessorKind::Pxa255, SimProcessorKind::Unrecognised});
    resetSimHandheld(run.processor);
    run.ownProcessId = ownProcessOnSwitchOn();
    simClock.runUntil = UINT64_MAX;
    simDriver = SimDriver{waitForWorld, chooseFromMenu, answerBox};
    for (long runNumber = 0; run.step < run.actions; ++runNumber) {
        runProgramOnce(runNumber);
    }
}

bool readNumber(const char* text, std::uint64_t& value) {
    char* end = nullptr;
    value = std::strtoull(text, &end, 10);
    return end != text && *end == '\0';
}

int usage() {
    std::fputs("usage: tavil_random_actions [--seed S | --seeds A-B] [--actions N]\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::uint64_t> seeds(std::begin(CI_SEEDS), std::end(CI_SEEDS));
    std::uint64_t actions = CI_ACTIONS;
    for (int i = 1; i < argc; i += 2) {
        if (i + 1 >= argc) {
            return usage();
        }
        const std::string option = argv[i];
        const char* value = argv[i + 1];
        std::uint64_t number = 0;
        if (option == "--seed" && readNumber(value, number)) {
            seeds.assign(1, number);
        } else if (option == "--seeds") {
            const char* dash = std::strchr(value, '-');
            std::uint64_t first = 0;
            std::uint64_t last = 0;
            if (dash == nullptr || !readNumber(std::string(value, dash).c_str(), first) ||
                !readNumber(dash + 1, last) || last < first) {
                return usage();
            }
            seeds.clear();
            for (std::uint64_t seed = first; seed <= last; ++seed) {
                seeds.push_back(seed);
            }
        } else if (option == "--actions" && readNumber(value, number) && number > 0) {
            actions = number;
        } else {
            return usage();
        }
    }
    for (const std::uint64_t seed : seeds) {
        runSeed(seed, static_cast<long>(actions));
    }
    std::printf("%zu seeds, %llu actions each: every rule held\n", seeds.size(),
                static_cast<unsigned long long>(actions));
    return 0;
}
