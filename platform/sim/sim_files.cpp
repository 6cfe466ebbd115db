#include "platform/sim/sim_files.h"

#include "platform/files.h"
#include "platform/sim/name_compare.h"
#include "platform/sim/sim_handheld.h"
#include "platform/whole_text.h"

namespace {

SimFiles& fileSystem = simHandheld.files;

SimSpecialFolder* folderEntry(int folder) {
    for (int i = 0; i < fileSystem.folderCount; ++i) {
        if (fileSystem.folders[i].folder == folder) {
            return &fileSystem.folders[i];
        }
    }
    return nullptr;
}

} // namespace

SimFiles simFilesSwitchedOn() {
    SimFiles files{};
    files.folders[0] = SimSpecialFolder{FOLDER_STARTUP, u"\\Windows\\StartUp"};
    files.folderCount = 1;
    return files;
}

bool simAddFile(const char16_t* path) {
    return path != nullptr && path[0] == u'\\' && addPath(fileSystem.files, path, samePath);
}

bool simAddRomFile(const char16_t* path) {
    return simAddFile(path) && addPath(simHandheld.factoryFiles.files, path, samePath);
}

bool simAddShortcut(const char16_t* path, const char16_t* target) {
    char16_t copied[SIM_PATH_CAPACITY];
    if (!copyWholeText(target, copied, SIM_PATH_CAPACITY) || copied[0] == u'\0' ||
        !simAddFile(path)) {
        return false;
    }
    copyWholeText(copied, fileSystem.targets[pathIndex(fileSystem.files, path, samePath)],
                  SIM_PATH_CAPACITY);
    return true;
}

bool simRemoveFile(const char16_t* path) {
    const int index = pathIndex(fileSystem.files, path, samePath);
    if (index < 0) {
        return false;
    }
    removePath(fileSystem.files, path, samePath); // moves the last file into the gap
    copyWholeText(fileSystem.targets[fileSystem.files.count], fileSystem.targets[index],
                  SIM_PATH_CAPACITY);
    fileSystem.targets[fileSystem.files.count][0] = u'\0';
    return true;
}

int simFileCount() {
    return fileSystem.files.count;
}

const char16_t* simFilePath(int index) {
    return index >= 0 && index < fileSystem.files.count ? fileSystem.files.paths[index] : nullptr;
}

const char16_t* simFileTarget(int index) {
    return simFilePath(index) != nullptr ? fileSystem.targets[index] : nullptr;
}

bool simSetFolderPath(int folder, const char16_t* path) {
    SimSpecialFolder* entry = folderEntry(folder);
    if (entry == nullptr) {
        if (fileSystem.folderCount == SIM_FOLDER_CAPACITY) {
            return false;
        }
        entry = &fileSystem.folders[fileSystem.folderCount++];
        entry->folder = folder;
    }
    return copyWholeText(path, entry->path, SIM_PATH_CAPACITY);
}

bool specialFolderPath(int folder, char16_t* buffer, std::size_t capacity) {
    const SimSpecialFolder* entry = folderEntry(folder);
    const char16_t* path = entry == nullptr ? u"" : entry->path;
    return copyWholeText(path, buffer, capacity) && path[0] != u'\0';
}

bool fileExists(const char16_t* path) {
    return pathIndex(fileSystem.files, path, samePath) >= 0;
}
