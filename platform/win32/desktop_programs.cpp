// A desktop PC's nearest equivalents of the handheld's shortcuts, the special
// folders they go in, file deletion and program start. A shortcut is a shell
// link (what Windows itself starts from the Startup folder at log-on), where the
// device writes its own shortcut file.
// A desktop program takes its own name as the first word of its command line,
// which the device leaves out, so the application's quoted name goes first. The
// clean restart is the handheld's business: a PC is never wiped by this program.

#include "platform/programs.h"

#include "platform/whole_text.h"
#include "platform/win32/shell_folder_path.h"
#include "platform/win32/wide_text.h"

#include <windows.h>

#include <shlobj.h>

#include <cstddef>

namespace {

constexpr std::size_t COMMAND_LINE_CAPACITY = 32768; // Windows' longest, with its terminator

bool saveShellLink(const char16_t* shortcutPath, const char16_t* targetPath) {
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link)))) {
        return false;
    }
    IPersistFile* file = nullptr;
    const bool saved =
        SUCCEEDED(link->SetPath(wide(targetPath))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Save(wide(shortcutPath), TRUE));
    if (file != nullptr) {
        file->Release();
    }
    link->Release();
    return saved;
}

// Appends `text` at `length`; false when it does not fit.
bool appendPart(char16_t* buffer, std::size_t& length, const char16_t* text) {
    if (!copyWholeText(text, buffer + length, COMMAND_LINE_CAPACITY - length)) {
        return false;
    }
    while (buffer[length] != u'\0') {
        ++length;
    }
    return true;
}

// `"application" arguments` in the writable buffer CreateProcessW asks for.
bool composeCommandLine(const char16_t* application, const char16_t* arguments, char16_t* buffer) {
    std::size_t length = 0;
    return appendPart(buffer, length, u"\"") && appendPart(buffer, length, application) &&
           appendPart(buffer, length, u"\" ") && appendPart(buffer, length, arguments);
}

} // namespace

bool createShortcut(const char16_t* shortcutPath, const char16_t* targetPath) {
    if (shortcutPath == nullptr || shortcutPath[0] == u'\0' || targetPath == nullptr ||
        targetPath[0] == u'\0') {
        return false;
    }
    // COM may already be in use on this thread, in either model: then it is
    // used as it is and left as it was.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const bool saved = saveShellLink(shortcutPath, targetPath);
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return saved;
}

bool shellSpecialFolderPath(int folder, char16_t* path) {
    return SHGetSpecialFolderPathW(nullptr, reinterpret_cast<wchar_t*>(path), folder, TRUE) !=
           FALSE;
}

bool deleteFile(const char16_t* path) {
    return path != nullptr && DeleteFileW(wide(path)) != FALSE;
}

bool startProgram(const char16_t* application, const char16_t* commandLine) {
    char16_t line[COMMAND_LINE_CAPACITY];
    if (application == nullptr || application[0] == u'\0' ||
        !composeCommandLine(application, commandLine, line)) {
        return false;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(wide(application), reinterpret_cast<wchar_t*>(line), nullptr, nullptr,
                        FALSE, 0, nullptr, nullptr, &startup, &started)) {
        return false;
    }
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return true;
}

void markNextRestartClean() {}
