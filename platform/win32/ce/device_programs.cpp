// The handheld's shortcuts, the special folders they go in, file deletion,
// program start and clean restart (built only for the device). Its shortcut
// file holds the target's command line as SHCreateShortcut writes it; its
// CreateProcessW takes the arguments alone and no start-up record.

#include "platform/programs.h"

#include "platform/win32/ce/ce_sdk.h"
#include "platform/win32/shell_folder_path.h"
#include "platform/win32/wide_text.h"

namespace {

// SHCreateShortcut's declaration asks for writable texts that it only reads.
wchar_t* readOnly(const char16_t* text) {
    return const_cast<wchar_t*>(wide(text));
}

} // namespace

bool createShortcut(const char16_t* shortcutPath, const char16_t* targetPath) {
    if (shortcutPath == nullptr || shortcutPath[0] == u'\0' || targetPath == nullptr ||
        targetPath[0] == u'\0') {
        return false;
    }
    return SHCreateShortcut(readOnly(shortcutPath), readOnly(targetPath)) != FALSE;
}

bool shellSpecialFolderPath(int folder, char16_t* path) {
    return SHGetSpecialFolderPath(nullptr, reinterpret_cast<wchar_t*>(path), folder, TRUE) != FALSE;
}

bool deleteFile(const char16_t* path) {
    return path != nullptr && DeleteFileW(wide(path)) != FALSE;
}

bool startProgram(const char16_t* application, const char16_t* commandLine) {
    if (application == nullptr || application[0] == u'\0') {
        return false;
    }
    return CreateProcessW(wide(application), wide(commandLine == nullptr ? u"" : commandLine),
                          nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, nullptr) != FALSE;
}

void markNextRestartClean() {
    SetCleanRebootFlag();
}
