// End-to-end check of Tavil.exe on Windows (run under Wine): the program starts,
// finds its simulated processor, keeps the clock configuration in force, takes a
// preset from a second copy, and ends with exit code 0 when told to close. The
// driver shares the simulated processor with the program (named shared memory),
// so it can look at the registers and change them as another program might.
// Every wait is bounded; on any failure the program is ended and the driver
// exits with 1.

#include "platform/sim/sim_processor.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr DWORD START_TIMEOUT_MS = 30000;
constexpr DWORD STEP_TIMEOUT_MS = 5000;
constexpr std::uint32_t STARTUP_CCCR = 0x02000210; // 416 MHz: L 16, 2N 4
constexpr std::uint32_t SOMEONE_ELSES_CCCR = 0x02000104;
constexpr std::uint32_t PRESET_5_CCCR = 0x02000290; // 520 MHz
constexpr std::uint32_t CCLKCFG_WITH_FAST_BUS = 0xB;

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

} // namespace

int main() {
    resetSimProcessor(SimProcessorKind::Pxa270); // the handheld, switched on
    if (!start(L"", firstCopy)) {
        return fail("Tavil.exe cannot be started");
    }
    if (!waitFor([] { return mainWindow() != nullptr; }, START_TIMEOUT_MS)) {
        return fail("no main window");
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
