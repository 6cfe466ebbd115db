// End-to-end check of the setup DLLs on Windows (run under Wine), each loaded
// from the driver's own folder and called as the package installer calls it:
// with LogicalPixelsX 96 Install_Init refuses after the screen message; with 192
// it goes on exactly when Wine's own version is the DLL's target, and otherwise
// refuses after the version message; the other three exports answer 0.
// The driver answers the message boxes itself: it closes each box captioned
// "PureVGA" of its own process and keeps its text, which must be exactly the
// message of the handheld's language. Every wait is bounded; the
// display key is left as it was found; on a failure the driver exits with 1.

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr DWORD CALL_TIMEOUT_MS = 20000;
constexpr DWORD POLL_MS = 50;
constexpr wchar_t DISPLAY_KEY[] = L"Drivers\\Display\\GPE";
constexpr wchar_t PIXELS_VALUE[] = L"LogicalPixelsX";

constexpr wchar_t CAPTION[] = L"PureVGA";

struct Message {
    const wchar_t* english;
    const wchar_t* russian;
};

constexpr Message SCREEN_MESSAGE = {L"Only for VGA screen", L"Программа только для VGA экранов"};

struct SetupDll {
    const wchar_t* file;
    DWORD targetMajor;
    DWORD targetMinor;
    Message versionMessage;
};

constexpr SetupDll SETUP_DLLS[] = {
    {L"setup_wm5.dll",
     5,
     1,
     {L"Only for Windows Mobile 5.0", L"Программа только для Windows Mobile 5.0"}},
    {L"setup_wm2003se.dll",
     4,
     21,
     {L"Only for Windows Mobile 2003 SE", L"Программа только для Windows Mobile 2003 SE"}},
};

using InstallInit = int (*)(HWND, BOOL, BOOL, LPCWSTR);
using InstallExit = int (*)(HWND, LPCWSTR, WORD, WORD, WORD, WORD, WORD);
using UninstallInit = int (*)(HWND, LPCWSTR);
using UninstallExit = int (*)(HWND);

// What one call of Install_Init did: its result and the texts of the boxes it showed.
struct GateOutcome {
    bool returned;
    int result;
    int boxes;
    std::wstring texts;
};

std::wstring ownFolder() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring whole(path, length);
    return whole.substr(0, whole.find_last_of(L"\\/") + 1);
}

template <typename Function> Function exported(HMODULE dll, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(dll, name)));
}

// Creates the key when it is missing.
bool storePixels(DWORD pixels) {
    return RegSetKeyValueW(HKEY_LOCAL_MACHINE, DISPLAY_KEY, PIXELS_VALUE, REG_DWORD, &pixels,
                           sizeof pixels) == ERROR_SUCCESS;
}

bool readPixels(DWORD& pixels) {
    DWORD size = sizeof pixels;
    return RegGetValueW(HKEY_LOCAL_MACHINE, DISPLAY_KEY, PIXELS_VALUE, RRF_RT_REG_DWORD, nullptr,
                        &pixels, &size) == ERROR_SUCCESS;
}

BOOL CALLBACK appendText(HWND child, LPARAM texts) {
    wchar_t text[512];
    const int length = GetWindowTextW(child, text, 512);
    reinterpret_cast<std::wstring*>(texts)->append(text, length).append(L"\n");
    return TRUE;
}

// A message box with the gate's caption that this process shows, or nullptr.
HWND ownMessageBox() {
    for (HWND box = FindWindowExW(nullptr, nullptr, L"#32770", CAPTION); box != nullptr;
         box = FindWindowExW(nullptr, box, L"#32770", CAPTION)) {
        DWORD process = 0;
        GetWindowThreadProcessId(box, &process);
        if (process == GetCurrentProcessId()) {
            return box;
        }
    }
    return nullptr;
}

struct InstallInitCall {
    InstallInit function;
    int result;
};

DWORD WINAPI callInstallInit(LPVOID parameter) {
    InstallInitCall& call = *static_cast<InstallInitCall*>(parameter);
    call.result = call.function(nullptr, TRUE, FALSE, L"\\Program Files\\Tavil");
    return 0;
}

// Calls Install_Init on a thread of its own and answers each box it shows with OK.
GateOutcome runGate(InstallInit installInit) {
    GateOutcome outcome{false, -1, 0, {}};
    static InstallInitCall call; // a call that does not return may still write to it later
    call = InstallInitCall{installInit, -1};
    const HANDLE thread = CreateThread(nullptr, 0, callInstallInit, &call, 0, nullptr);
    if (thread == nullptr) {
        return outcome;
    }
    HWND answered = nullptr;
    for (DWORD waited = 0; waited < CALL_TIMEOUT_MS && !outcome.returned; waited += POLL_MS) {
        const HWND box = ownMessageBox();
        if (box != nullptr && box != answered) {
            EnumChildWindows(box, appendText, reinterpret_cast<LPARAM>(&outcome.texts));
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            answered = box;
            ++outcome.boxes;
        }
        outcome.returned = WaitForSingleObject(thread, POLL_MS) == WAIT_OBJECT_0;
    }
    outcome.result = call.result;
    CloseHandle(thread); // a call still blocked ends with the driver
    return outcome;
}

bool wineIsTheTarget(const SetupDll& setup) {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExW(&version);
    return version.dwMajorVersion == setup.targetMajor &&
           version.dwMinorVersion == setup.targetMinor;
}

const wchar_t* inSystemLanguage(const Message& message) {
    return GetSystemDefaultLangID() == 0x419 ? message.russian : message.english;
}

// Refused after one message box with a line that is exactly the message.
bool refusedWith(const GateOutcome& outcome, const Message& message) {
    const std::wstring line = std::wstring(L"\n") + inSystemLanguage(message) + L"\n";
    return outcome.returned && outcome.result == 1 && outcome.boxes == 1 &&
           (L"\n" + outcome.texts).find(line) != std::wstring::npos;
}

bool gateAnswers(const SetupDll& setup, InstallInit installInit) {
    if (!storePixels(96)) {
        std::printf("FAILED: the display key cannot be written\n");
        return false;
    }
    const GateOutcome qvga = runGate(installInit);
    if (!refusedWith(qvga, SCREEN_MESSAGE)) {
        std::printf("FAILED: at 96 dpi: returned %d, result %d, %d boxes, texts \"%ls\"\n",
                    qvga.returned, qvga.result, qvga.boxes, qvga.texts.c_str());
        return false;
    }
    storePixels(192);
    const GateOutcome vga = runGate(installInit);
    const bool fits = wineIsTheTarget(setup);
    const bool expected = fits ? vga.returned && vga.result == 0 && vga.boxes == 0
                               : refusedWith(vga, setup.versionMessage);
    if (!expected) {
        std::printf("FAILED: at 192 dpi (Wine %s the target): returned %d, result %d, %d boxes, "
                    "texts \"%ls\"\n",
                    fits ? "is" : "is not", vga.returned, vga.result, vga.boxes, vga.texts.c_str());
        return false;
    }
    std::printf("Install_Init: 1 at 96 dpi, %d at 192 dpi\n", vga.result);
    return true;
}

bool othersGoOn(HMODULE dll) {
    const auto installExit = exported<InstallExit>(dll, "Install_Exit");
    const auto uninstallInit = exported<UninstallInit>(dll, "Uninstall_Init");
    const auto uninstallExit = exported<UninstallExit>(dll, "Uninstall_Exit");
    if (installExit == nullptr || uninstallInit == nullptr || uninstallExit == nullptr) {
        std::printf("FAILED: an exit or uninstall export is missing\n");
        return false;
    }
    const wchar_t* folder = L"\\Program Files\\Tavil";
    if (installExit(nullptr, folder, 0, 0, 0, 0, 0) != 0 || uninstallInit(nullptr, folder) != 0 ||
        uninstallExit(nullptr) != 0) {
        std::printf("FAILED: an exit or uninstall export did not answer 0\n");
        return false;
    }
    std::printf("Install_Exit, Uninstall_Init, Uninstall_Exit: 0\n");
    return true;
}

bool checkDll(const SetupDll& setup) {
    std::printf("%ls (for %lu.%lu)\n", setup.file, setup.targetMajor, setup.targetMinor);
    const HMODULE dll = LoadLibraryW((ownFolder() + setup.file).c_str());
    if (dll == nullptr) {
        std::printf("FAILED: cannot load it (error %lu)\n", GetLastError());
        return false;
    }
    const auto installInit = exported<InstallInit>(dll, "Install_Init");
    const bool passed =
        installInit != nullptr && gateAnswers(setup, installInit) && othersGoOn(dll);
    if (passed) {
        FreeLibrary(dll); // after a failure a call may still be running in it
    }
    return passed;
}

// Puts the display key's value back as it was found: restored, or removed.
void restorePixels(bool existed, DWORD pixels) {
    if (existed) {
        storePixels(pixels);
    } else {
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, DISPLAY_KEY, PIXELS_VALUE);
    }
}

} // namespace

int main() {
    DWORD foundPixels = 0;
    const bool existed = readPixels(foundPixels);
    bool passed = true;
    for (const SetupDll& setup : SETUP_DLLS) {
        passed = passed && checkDll(setup); // none after a failure
    }
    restorePixels(existed, foundPixels);
    std::printf(passed ? "setup DLLs: passed\n" : "setup DLLs: FAILED\n");
    return passed ? 0 : 1;
}
