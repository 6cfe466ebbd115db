#include "platform/sim/terminal/script.h"

#include "platform/display_settings.h"
#include "platform/message_box.h"
#include "platform/sim/sim_driver.h"
#include "platform/sim/sim_handheld.h"
#include "platform/sim/terminal/fault_names.h"
#include "platform/sim/terminal/screen_text.h"
#include "platform/sim/terminal/trace.h"
#include "platform/sim/terminal/world.h"
#include "platform/sim/utf8.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

constexpr std::uint32_t LONGEST_WAIT_SECONDS = 24 * 60 * 60;
constexpr std::uint32_t HIGHEST_COMMAND_ID = 0xFFFF;
constexpr std::uint32_t STARTED_PROCESS_THREADS = 1;
constexpr std::uint32_t MB_TYPE_MASK = 0xF;
constexpr std::uint32_t MB_TYPE_YES_NO = 0x4;

struct Word {
    const char* text;
    std::uint32_t value;
};

constexpr Word ANSWERS[] = {{"yes", MB_ANSWER_YES}, {"no", MB_ANSWER_NO}, {"ok", MB_ANSWER_OK}};
constexpr Word POWER_STATES[] = {{"on", 1}, {"off", 0}};
constexpr Word MEMORY_ACTIONS[] = {{"take", 1}, {"give", 0}};
constexpr Word ROTATIONS[] = {{"0", ORIENTATION_0},
                              {"90", ORIENTATION_90},
                              {"180", ORIENTATION_180},
                              {"270", ORIENTATION_270}};
constexpr Word PLAIN_VERBS[] = {{"tap", static_cast<std::uint32_t>(ScriptVerb::Tap)},
                                {"ok", static_cast<std::uint32_t>(ScriptVerb::Ok)},
                                {"show", static_cast<std::uint32_t>(ScriptVerb::Show)},
                                {"quit", static_cast<std::uint32_t>(ScriptVerb::Quit)}};

template <std::size_t N>
bool lookUp(const Word (&words)[N], const std::string& text, std::uint32_t& value) {
    for (const Word& word : words) {
        if (text == word.text) {
            value = word.value;
            return true;
        }
    }
    return false;
}

// A number in decimal or 0x hexadecimal, at most `highest`.
bool readNumber(const std::string& text, std::uint32_t highest, std::uint32_t& value) {
    if (text.empty() || text[0] < '0' || text[0] > '9' || text.size() > 12) {
        return false;
    }
    char* end = nullptr;
    const unsigned long long number = std::strtoull(text.c_str(), &end, 0);
    if (*end != '\0' || number > highest) {
        return false;
    }
    value = static_cast<std::uint32_t>(number);
    return true;
}

// Words split at blanks; a word in double quotes keeps its blanks.
bool splitWords(const std::string& line, std::vector<std::string>& words, std::string& error) {
    std::size_t at = 0;
    for (;;) {
        at = line.find_first_not_of(" \t\r", at);
        if (at == std::string::npos) {
            return true;
        }
        if (line[at] == '"') {
            const std::size_t close = line.find('"', at + 1);
            if (close == std::string::npos) {
                error = "a quote is not closed";
                return false;
            }
            words.push_back(line.substr(at + 1, close - at - 1));
            at = close + 1;
        } else {
            const std::size_t end = line.find_first_of(" \t\r", at);
            words.push_back(line.substr(at, end - at));
            at = end;
        }
    }
}

// `world fault NAME` or `world fault access N`.
bool parseWorldFault(const std::vector<std::string>& words, ScriptCommand& command,
                     std::string& error) {
    command.verb = ScriptVerb::WorldFault;
    command.text = words[2];
    const bool countdown = command.text == ACCESS_FAULT;
    if (words.size() != (countdown ? 4U : 3U)) {
        error = countdown ? "world fault access needs one count" : "world fault needs one name";
        return false;
    }
    int accesses = 0;
    SimProcessorFaults checked{};
    if ((countdown && !readAccessCount(words[3], accesses)) ||
        !plantFault(command.text, accesses, checked)) {
        error = countdown ? "bad value for world fault access: " + words[3]
                          : "bad value for world fault: " + command.text;
        return false;
    }
    command.number = static_cast<std::uint32_t>(accesses);
    return true;
}

bool parseWorld(const std::vector<std::string>& words, ScriptCommand& command, std::string& error) {
    if (words.size() >= 3 && words[1] == "fault") {
        return parseWorldFault(words, command, error);
    }
    if (words.size() != 3) {
        error = "world needs what happens and one value";
        return false;
    }
    const std::string& what = words[1];
    const std::string& value = words[2];
    bool valid = false;
    if (what == "cccr") {
        command.verb = ScriptVerb::WorldCccr;
        valid = readNumber(value, UINT32_MAX, command.number);
    } else if (what == "power") {
        command.verb = ScriptVerb::WorldPower;
        valid = lookUp(POWER_STATES, value, command.number);
    } else if (what == "battery") {
        command.verb = ScriptVerb::WorldBattery;
        valid = readNumber(value, 100, command.number);
    } else if (what == "load") {
        command.verb = ScriptVerb::WorldLoad;
        valid = readNumber(value, 100, command.number);
    } else if (what == "memory") {
        command.verb = ScriptVerb::WorldMemory;
        valid = lookUp(MEMORY_ACTIONS, value, command.number);
    } else if (what == "start") {
        command.verb = ScriptVerb::WorldStart;
        command.text = value;
        valid = !value.empty();
    } else if (what == "end") {
        command.verb = ScriptVerb::WorldEnd;
        valid = readNumber(value, UINT32_MAX, command.number);
    } else if (what == "rotate") {
        command.verb = ScriptVerb::WorldRotate;
        valid = lookUp(ROTATIONS, value, command.number);
    } else {
        error = "unknown world action: " + what;
        return false;
    }
    if (!valid) {
        error = "bad value for world " + what + ": " + value;
    }
    return valid;
}

bool parseWords(const std::vector<std::string>& words, ScriptCommand& command, std::string& error) {
    const std::string& verb = words[0];
    std::uint32_t plain = 0;
    if (lookUp(PLAIN_VERBS, verb, plain)) {
        command.verb = static_cast<ScriptVerb>(plain);
        if (words.size() != 1) {
            error = verb + " takes no value";
        }
        return words.size() == 1;
    }
    if (verb == "world") {
        return parseWorld(words, command, error);
    }
    if (verb != "wait" && verb != "choose" && verb != "answer" && verb != "second") {
        error = "unknown command: " + verb;
        return false;
    }
    if (words.size() != 2) {
        error = verb + " needs one value";
        return false;
    }
    const std::string& value = words[1];
    bool valid = true;
    if (verb == "wait") {
        command.verb = ScriptVerb::Wait;
        valid = readNumber(value, LONGEST_WAIT_SECONDS, command.number);
    } else if (verb == "choose") {
        command.verb = ScriptVerb::ChooseText;
        command.text = value;
        if (readNumber(value, HIGHEST_COMMAND_ID, command.number)) {
            command.verb = ScriptVerb::ChooseId;
        }
        valid = !value.empty();
    } else if (verb == "answer") {
        command.verb = ScriptVerb::Answer;
        valid = lookUp(ANSWERS, value, command.number);
    } else {
        command.verb = ScriptVerb::Second;
        command.text = value;
    }
    if (!valid) {
        error = "bad value for " + verb + ": " + value;
    }
    return valid;
}

// The run of a started script.
struct ScriptRun {
    std::vector<ScriptCommand> commands;
    std::size_t next;
    std::uint64_t waitUntil;
    SimProcessorKind processor;
    std::string failure;
    std::vector<WindowHandle> dialogsShown;
};

ScriptRun run;

void printText(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
}

void fail(const ScriptCommand& command, const std::string& what) {
    if (run.failure.empty()) {
        run.failure = "line " + std::to_string(command.line) + ": " + what;
    }
    worldCloseProgram();
}

bool failed() {
    return !run.failure.empty();
}

void printNewDialogs() {
    traceAtWait();
    std::vector<WindowHandle> open;
    for (const DialogView& dialog : openDialogViews()) {
        if (std::find(run.dialogsShown.begin(), run.dialogsShown.end(), dialog.window) ==
            run.dialogsShown.end()) {
            printText(dialogAsText(dialog));
        }
        open.push_back(dialog.window);
    }
    run.dialogsShown = open;
}

void advanceTo(std::uint64_t dueMs) {
    const std::uint64_t until = std::min(dueMs, run.waitUntil);
    if (until > simClock.now) {
        simAdvanceClock(until - simClock.now);
    }
}

void pressDialogOk(const ScriptCommand& command) {
    if (!worldPressDialogOk()) {
        fail(command, "no dialog is open");
    }
}

void tapIcon(const ScriptCommand& command) {
    if (!worldTapIcon()) {
        fail(command, "there is no tray icon to tap");
    }
}

std::u16string utf16Of(const std::string& text) {
    std::u16string wide(text.size() + 1, u'\0');
    wide.resize(utf8ToUtf16(text.data(), text.data() + text.size(), wide.data(), wide.size()));
    return wide;
}

// "take" when another program holds none of it, "give" when it does.
void takeOrGiveMemory(const ScriptCommand& command) {
    const bool take = command.number != 0;
    if (take == worldMemoryTaken()) {
        fail(command, take ? "the 8 MB are taken already" : "no memory was taken to give back");
    } else if (!worldTakeOrGiveMemory()) {
        fail(command, "8 MB are not free");
    }
}

void actOnWorld(const ScriptCommand& command) {
    switch (command.verb) {
    case ScriptVerb::WorldCccr:
        worldWriteCccr(command.number);
        break;
    case ScriptVerb::WorldPower:
        worldSetExternalPower(command.number != 0);
        break;
    case ScriptVerb::WorldBattery:
        worldSetBatteryPercent(static_cast<std::uint8_t>(command.number));
        break;
    case ScriptVerb::WorldLoad:
        worldSetLoad(static_cast<std::uint8_t>(command.number));
        break;
    case ScriptVerb::WorldMemory:
        takeOrGiveMemory(command);
        break;
    case ScriptVerb::WorldStart:
        if (worldStartProcess(utf16Of(command.text).c_str(), STARTED_PROCESS_THREADS) == 0) {
            fail(command, "no more processes can start");
        }
        break;
    case ScriptVerb::WorldEnd:
        if (!worldEndProcess(command.number)) {
            fail(command, "no process has id " + std::to_string(command.number));
        }
        break;
    case ScriptVerb::WorldRotate:
        worldRotateScreen(command.number);
        break;
    case ScriptVerb::WorldFault:
        plantFault(command.text, static_cast<int>(command.number), simProcessor.faults);
        break;
    default:
        traceSecondExit(worldStartSecondCopy(utf16Of(command.text).c_str()));
        break;
    }
}

// Carries out one command; false when the script goes straight on to the next.
bool carryOut(const ScriptCommand& command, std::uint64_t dueMs) {
    switch (command.verb) {
    case ScriptVerb::Wait:
        run.waitUntil = simClock.now + std::uint64_t{1000} * command.number;
        advanceTo(dueMs);
        return command.number != 0;
    case ScriptVerb::Tap:
        tapIcon(command);
        return true;
    case ScriptVerb::ChooseId:
    case ScriptVerb::ChooseText:
        fail(command, "no menu is open");
        return true;
    case ScriptVerb::Answer:
        fail(command, "no message box is up");
        return true;
    case ScriptVerb::Ok:
        pressDialogOk(command);
        return true;
    case ScriptVerb::Show:
        printText(screenAsText(run.processor));
        return false;
    case ScriptVerb::Quit:
        worldCloseProgram();
        return true;
    default:
        actOnWorld(command);
        return true;
    }
}

// The next command, its step traced as it is taken.
const ScriptCommand& takeNextCommand() {
    const ScriptCommand& command = run.commands[run.next++];
    traceStep(command.line, command.written);
    return command;
}

void waitForScript(std::uint64_t dueMs) {
    printNewDialogs();
    if (run.waitUntil > simClock.now) {
        advanceTo(dueMs);
        return;
    }
    for (;;) {
        if (failed() || run.next == run.commands.size()) {
            worldCloseProgram();
            return;
        }
        if (carryOut(takeNextCommand(), dueMs)) {
            return;
        }
    }
}

const ScriptCommand* nextCommandIf(ScriptVerb first, ScriptVerb second) {
    if (failed() || run.next == run.commands.size()) {
        return nullptr;
    }
    const ScriptVerb verb = run.commands[run.next].verb;
    return verb == first || verb == second ? &takeNextCommand() : nullptr;
}

std::string withoutMarks(const char16_t* text) {
    std::string plain = utf8Of(text);
    plain.erase(std::remove(plain.begin(), plain.end(), '&'), plain.end());
    const std::size_t first = plain.find_first_not_of(' ');
    return first == std::string::npos
               ? ""
               : plain.substr(first, plain.find_last_not_of(' ') - first + 1);
}

struct MenuEntry {
    MenuItemView item;
    std::string place; // the submenus on the way and the entry: "Сведения > Память"
};

// By id, or by text: the entry's own or its place.
bool matches(const MenuEntry& entry, const ScriptCommand& command) {
    if (command.verb == ScriptVerb::ChooseId) {
        return entry.item.id == command.number;
    }
    return withoutMarks(entry.item.text) == command.text || entry.place == command.text;
}

// Every entry of the menu and its submenus that the command names.
void findEntries(MenuHandle menu, const ScriptCommand& command, const std::string& above,
                 std::vector<MenuEntry>& found) {
    MenuEntry entry{};
    for (int position = 0; menuItemAt(menu, position, entry.item); ++position) {
        entry.place = above + withoutMarks(entry.item.text);
        if (entry.item.submenu != MenuHandle::None) {
            findEntries(entry.item.submenu, command, entry.place + " > ", found);
        } else if (!entry.item.separator && matches(entry, command)) {
            found.push_back(entry);
        }
    }
}

std::string entriesNamed(const std::vector<MenuEntry>& entries) {
    std::string names;
    for (const MenuEntry& entry : entries) {
        names +=
            (names.empty() ? "" : ", ") + entry.place + " (" + std::to_string(entry.item.id) + ")";
    }
    return names;
}

// The one entry the command names; false, with the script failed, when there
// is none or more than one.
bool findEntry(MenuHandle menu, const ScriptCommand& command, MenuItemView& entry) {
    std::vector<MenuEntry> found;
    findEntries(menu, command, "", found);
    if (found.empty()) {
        fail(command, "the menu has no entry " + command.text);
        return false;
    }
    if (found.size() > 1) {
        fail(command, "the menu has " + std::to_string(found.size()) + " entries \"" +
                          command.text + "\": " + entriesNamed(found) +
                          "; choose one by its id or its place");
        return false;
    }
    entry = found.front().item;
    return true;
}

std::uint32_t chooseEntry(MenuHandle menu) {
    printText("== Menu ==\n" + simMenuText(menu));
    const ScriptCommand* command = nextCommandIf(ScriptVerb::ChooseId, ScriptVerb::ChooseText);
    if (command == nullptr) {
        printText("(closed without a choice)\n");
        return 0;
    }
    MenuItemView entry{};
    if (!findEntry(menu, *command, entry)) {
        return 0;
    }
    if (entry.greyed) {
        fail(*command, "the entry " + command->text + " is greyed");
        return 0;
    }
    printText("> " + utf8Of(entry.text) + "\n");
    return entry.id;
}

int answerBox(const char16_t* text, const char16_t* caption, std::uint32_t style) {
    printText(messageBoxAsText(text, caption, style));
    const bool yesNo = (style & MB_TYPE_MASK) == MB_TYPE_YES_NO;
    const int byDefault = yesNo ? MB_ANSWER_NO : MB_ANSWER_OK;
    const ScriptCommand* command = nextCommandIf(ScriptVerb::Answer, ScriptVerb::Answer);
    if (command == nullptr) {
        printText("(closed with its default button)\n");
        return byDefault;
    }
    const int answer = static_cast<int>(command->number);
    if (yesNo == (answer == MB_ANSWER_OK)) {
        fail(*command, "the message box has no such button");
        return byDefault;
    }
    printText("> " + command->text + "\n");
    return answer;
}

std::uint32_t chooseFromScript(MenuHandle menu, int, int) {
    traceMenu(menu);
    const std::uint32_t chosen = chooseEntry(menu);
    traceChosen(chosen);
    return chosen;
}

int answerFromScript(const char16_t* text, const char16_t* caption, std::uint32_t style) {
    const int answer = answerBox(text, caption, style);
    traceMessageBox(text, caption, style, answer);
    return answer;
}

} // namespace

bool parseScript(const std::string& script, std::vector<ScriptCommand>& commands,
                 std::string& error) {
    int lineNumber = 0;
    std::size_t at = 0;
    while (at < script.size()) {
        const std::size_t end = std::min(script.find('\n', at), script.size());
        const std::string line = script.substr(at, end - at);
        at = end + 1;
        ++lineNumber;
        const std::size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#') {
            continue;
        }
        std::vector<std::string> words;
        ScriptCommand command{ScriptVerb::Show, lineNumber, 0, {}, {}};
        command.written = line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
        std::string what;
        if (!splitWords(line, words, what) || !parseWords(words, command, what)) {
            error = "line " + std::to_string(lineNumber) + ": " + what;
            return false;
        }
        if (!commands.empty() && commands.back().verb == ScriptVerb::Quit) {
            error = "line " + std::to_string(lineNumber) + ": nothing may follow quit (line " +
                    std::to_string(commands.back().line) + ")";
            return false;
        }
        if (command.text.empty()) {
            command.text = words.back();
        }
        commands.push_back(command);
    }
    return true;
}

void startScript(std::vector<ScriptCommand> commands, SimProcessorKind processor) {
    run = ScriptRun{std::move(commands), 0, 0, processor, {}, {}};
    worldStartRun();
    simDriver = SimDriver{waitForScript, chooseFromScript, answerFromScript};
}

const ScriptCommand* scriptCommandLeft() {
    return run.next < run.commands.size() ? &run.commands[run.next] : nullptr;
}

const std::string& scriptFailure() {
    return run.failure;
}
