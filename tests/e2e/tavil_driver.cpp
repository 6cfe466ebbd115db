// End-to-end checks of Tavil.exe on Windows (run under Wine). The driver shares
// the simulated processor with the program (named shared memory), so it can
// look at the registers and change them as another program might. Every wait
// is bounded; on any failure the program is ended and the driver exits with 1.
//
//     tavil_driver clock            start-up, enforcement, a second copy's preset, close
//     tavil_driver menu FOLDER      the popup menu, then menu commands and the settings
//                                   they store, then exit
//     tavil_driver dialogs FOLDER   each information dialog opened by its command, its
//                                   fields read back, then closed with OK
// The screenshot scenarios ask for each picture by creating FOLDER/NAME.wanted
// and go on once it has become FOLDER/NAME.taken.

#include "platform/sim/sim_processor.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr DWORD START_TIMEOUT_MS = 30000;
constexpr DWORD STEP_TIMEOUT_MS = 5000;
constexpr DWORD SCREENSHOT_TIMEOUT_MS = 30000;
constexpr std::uint32_t STARTUP_CCCR = 0x02000210; // 416 MHz: L 16, 2N 4
constexpr std::uint32_t SOMEONE_ELSES_CCCR = 0x02000104;
constexpr std::uint32_t PRESET_5_CCCR = 0x02000290; // 520 MHz
constexpr std::uint32_t LIST_624_CCCR = 0x02000310;
constexpr std::uint32_t CCLKCFG_WITH_FAST_BUS = 0xB;
constexpr UINT MSG_SHOW_MENU = 1025;

PROCESS_INFORMATION firstCopy{};

std::wstring programPath() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1) + L"Tavil.exe";
}

bool start(const std::wstring& arguments, PROCESS_INFORMATION& process) {
    std::wstring commandLine = L"\"" + programPath() + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    return CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process) != FALSE;
}

template <typename Condition> bool waitFor(Condition condition, DWORD timeoutMs) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
        if (condition()) {
            return true;
        }
        Sleep(50);
    }
    return condition();
}

bool exitedWithZero(const PROCESS_INFORMATION& process, DWORD timeoutMs) {
    DWORD exitCode = 1;
    const bool ended = WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0;
    return ended && GetExitCodeProcess(process.hProcess, &exitCode) && exitCode == 0;
}

HWND mainWindow() {
    return FindWindowW(L"Tavil", L"Tavil");
}
HWND openPopupMenu() {
    return FindWindowW(L"#32768", nullptr);
}

std::uint32_t lastCclkcfgWritten() {
    for (int i = simProcessor.writeCount - 1; i >= 0; --i) {
        if (i < SIM_REGISTER_LOG_CAPACITY &&
            simProcessor.writes[i].target == SimRegisterWrite::Cclkcfg) {
            return simProcessor.writes[i].value;
        }
    }
    return 0;
}

int fail(const char* what) {
    std::printf("FAILED: %s (CCCR 0x%08X, running 0x%08X)\n", what,
                static_cast<unsigned>(simProcessor.cccr),
                static_cast<unsigned>(simProcessor.runningCccr));
    if (firstCopy.hProcess != nullptr) {
        TerminateProcess(firstCopy.hProcess, 99);
    }
    return 1;
}

bool startFirstCopy() {
    resetSimProcessor(SimProcessorKind::Pxa270); // the handheld, switched on
    return start(L"", firstCopy) &&
           waitFor([] { return mainWindow() != nullptr; }, START_TIMEOUT_MS);
}

// The command a menu entry sends, as the menu sends it.
void choose(std::uint32_t id) {
    PostMessageW(mainWindow(), WM_COMMAND, id, 0);
}

bool storedSetting(const wchar_t* name, DWORD expected) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Dunmar\\Tavil", 0, KEY_READ, &key) != 0) {
        return false;
    }
    DWORD value = 0;
    DWORD size = sizeof value;
    DWORD type = 0;
    const bool read =
        RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) == 0;
    RegCloseKey(key);
    return read && type == REG_DWORD && value == expected;
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Asks for a screenshot of the screen as it is now and waits until it is taken.
bool screenshot(const std::string& folder, const std::string& name) {
    CloseHandle(CreateFileA((folder + "/" + name + ".wanted").c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, 0, nullptr));
    return waitFor([&] { return fileExists(folder + "/" + name + ".taken"); },
                   SCREENSHOT_TIMEOUT_MS);
}

int clockScenario() {
    if (!startFirstCopy()) {
        return fail("Tavil.exe did not start with its main window");
    }
    std::printf("started: window found, CCCR 0x%08X\n", static_cast<unsigned>(simProcessor.cccr));
    const int pagesBefore = simProcessor.pagesCopied;
    if (!waitFor([&] { return simProcessor.pagesCopied >= pagesBefore + 2; }, STEP_TIMEOUT_MS)) {
        return fail("the one-second tick does not look at the clock register");
    }
    simProcessor.cccr = SOMEONE_ELSES_CCCR;
    if (!waitFor([] { return simProcessor.cccr == STARTUP_CCCR; }, STEP_TIMEOUT_MS)) {
        return fail("a changed clock configuration was not put back");
    }
    std::printf("enforced: CCCR put back to 0x%08X\n", static_cast<unsigned>(simProcessor.cccr));

    PROCESS_INFORMATION secondCopy{};
    if (!start(L"#5", secondCopy) || !exitedWithZero(secondCopy, STEP_TIMEOUT_MS)) {
        return fail("the second copy did not end with exit code 0");
    }
    const bool presetApplied = waitFor(
        [] {
            return simProcessor.runningCccr == PRESET_5_CCCR &&
                   lastCclkcfgWritten() == CCLKCFG_WITH_FAST_BUS;
        },
        STEP_TIMEOUT_MS);
    if (!presetApplied) {
        return fail("the preset of the second copy was not applied");
    }
    std::printf("preset #5 applied: the core runs with CCCR 0x%08X\n",
                static_cast<unsigned>(simProcessor.runningCccr));
    PostMessageW(mainWindow(), WM_CLOSE, 0, 0);
    if (!exitedWithZero(firstCopy, STEP_TIMEOUT_MS)) {
        return fail("Tavil.exe did not end with exit code 0 when closed");
    }
    std::printf("closed: exit code 0\n");
    return 0;
}

int menuScenario(const std::string& folder) {
    if (!startFirstCopy()) {
        return fail("Tavil.exe did not start with its main window");
    }
    PostMessageW(mainWindow(), MSG_SHOW_MENU, 0, 0);
    if (!waitFor([] { return openPopupMenu() != nullptr; }, STEP_TIMEOUT_MS)) {
        return fail("message 1025 did not open the popup menu");
    }
    std::printf("menu open\n");
    if (!screenshot(folder, "popup-menu")) {
        return fail("no screenshot was taken of the open menu");
    }
    PostMessageW(mainWindow(), WM_CANCELMODE, 0, 0);
    if (!waitFor([] { return openPopupMenu() == nullptr || !IsWindowVisible(openPopupMenu()); },
                 STEP_TIMEOUT_MS)) {
        return fail("the popup menu did not close");
    }
    std::printf("menu closed\n");

    choose(10006); // "624 МГц"
    choose(10090); // icon mode "Загрузка"
    choose(10109); // background "белый"
    choose(10063); // upper limit "728 МГц"
    choose(10079); // "Добавить": the configuration in force becomes the user preset
    const bool stored = waitFor(
        [] {
            return storedSetting(L"View", 2) && storedSetting(L"Color", 0x000F000B) &&
                   storedSetting(L"MaxFreq", 7) && storedSetting(L"UserFreq", LIST_624_CCCR);
        },
        STEP_TIMEOUT_MS);
    if (!stored || simProcessor.runningCccr != LIST_624_CCCR) {
        return fail("the menu commands did not take effect and store their settings");
    }
    std::printf("commands applied: 624 MHz, settings View 2, Color 0xF000B, MaxFreq 7, "
                "UserFreq 0x%08X\n",
                static_cast<unsigned>(LIST_624_CCCR));
    choose(10113); // "Выход"
    if (!exitedWithZero(firstCopy, STEP_TIMEOUT_MS)) {
        return fail("\"Выход\" did not end Tavil.exe with exit code 0");
    }
    std::printf("exit: code 0\n");
    return 0;
}

struct DialogCheck {
    std::uint32_t command;
    const wchar_t* caption;
    const char* picture;
    int field;           // a field whose text is known
    const wchar_t* text; // what it shows, or nullptr: any text but an empty one
};

// Each dialog's known field: the simulated PXA270's identity, the clock after
// the "624 МГц" command, and texts that any desktop shows.
constexpr DialogCheck DIALOG_CHECKS[] = {
    {10068, L"Процессор", "dialog-processor", 1003, L"PXA27x"},
    {10069, L"Питание", "dialog-power", 1001, nullptr},
    {10070, L"Память", "dialog-memory", 1004, nullptr},
    {10071, L"Система", "dialog-system", 1001, nullptr},
    {10073, L"О программе", "dialog-about", 0, nullptr},
};

HWND dialogWindow(const wchar_t* caption) {
    return FindWindowW(L"#32770", caption);
}

std::wstring fieldText(HWND dialog, int id) {
    wchar_t text[128] = L"";
    GetDlgItemTextW(dialog, id, text, 128);
    return text;
}

bool showsKnownField(HWND dialog, const DialogCheck& check) {
    if (check.field == 0) {
        return true;
    }
    const std::wstring text = fieldText(dialog, check.field);
    return check.text != nullptr ? text == check.text : !text.empty();
}

int dialogsScenario(const std::string& folder) {
    if (!startFirstCopy()) {
        return fail("Tavil.exe did not start with its main window");
    }
    choose(10006); // "624 МГц"
    for (const DialogCheck& check : DIALOG_CHECKS) {
        choose(check.command);
        if (!waitFor([&] { return dialogWindow(check.caption) != nullptr; }, STEP_TIMEOUT_MS)) {
            return fail(check.picture);
        }
        const HWND dialog = dialogWindow(check.caption);
        // Live fields are written at the next tick of the one-second timer.
        if (!waitFor([&] { return showsKnownField(dialog, check); }, STEP_TIMEOUT_MS)) {
            return fail(check.picture);
        }
        if (check.command == 10068 &&
            !waitFor([&] { return fieldText(dialog, 1006) == L"624 МГц"; }, STEP_TIMEOUT_MS)) {
            return fail("the Processor dialog does not show the clock set from the menu");
        }
        if (!screenshot(folder, check.picture)) {
            return fail("no screenshot was taken of a dialog");
        }
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        if (!waitFor([&] { return dialogWindow(check.caption) == nullptr; }, STEP_TIMEOUT_MS)) {
            return fail("OK did not close a dialog");
        }
        std::printf("%s: shown and closed\n", check.picture);
    }
    choose(10113); // "Выход"
    if (!exitedWithZero(firstCopy, STEP_TIMEOUT_MS)) {
        return fail("\"Выход\" did not end Tavil.exe with exit code 0");
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "clock") == 0) {
        return clockScenario();
    }
    if (argc >= 3 && std::strcmp(argv[1], "menu") == 0) {
        return menuScenario(argv[2]);
    }
    if (argc >= 3 && std::strcmp(argv[1], "dialogs") == 0) {
        return dialogsScenario(argv[2]);
    }
    std::printf("usage: tavil_driver clock | menu FOLDER | dialogs FOLDER\n");
    return 2;
}
