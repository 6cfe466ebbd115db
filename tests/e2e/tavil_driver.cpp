// End-to-end checks of Tavil.exe on Windows (run under Wine). The driver shares
// the simulated processor with the program (named shared memory), so it can
// look at the registers and change them as another program might. Every wait
// is bounded; on any failure the program is ended and the driver exits with 1.
//
//     tavil_driver clock          start-up, enforcement, a second copy's preset, close
//     tavil_driver menu FOLDER    the popup menu (FOLDER/menu-open is created while it
//                                 is open; FOLDER/screenshot-taken lets it close), then
//                                 menu commands and the settings they store, then exit

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
    CloseHandle(CreateFileA((folder + "/menu-open").c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, 0, nullptr));
    std::printf("menu open\n");
    if (!waitFor([&] { return fileExists(folder + "/screenshot-taken"); }, SCREENSHOT_TIMEOUT_MS)) {
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

} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "clock") == 0) {
        return clockScenario();
    }
    if (argc >= 3 && std::strcmp(argv[1], "menu") == 0) {
        return menuScenario(argv[2]);
    }
    std::printf("usage: tavil_driver clock | menu FOLDER\n");
    return 2;
}
