#include "platform/sim/sim_files.h"

#include "platform/files.h"
#include "platform/sim/ascii_fold.h"
#include "platform/whole_text.h"

namespace {

struct SpecialFolder {
    int folder;
    char16_t path[SIM_PATH_CAPACITY]; // empty: the folder is unknown
};

struct FileSystem {
    char16_t files[SIM_FILE_CAPACITY][SIM_PATH_CAPACITY];
    int fileCount;
    SpecialFolder folders[SIM_FOLDER_CAPACITY];
    int folderCount;
};

FileSystem switchedOn() {
    FileSystem fileSystem{};
    fileSystem.folders[0] = SpecialFolder{FOLDER_STARTUP, u"\\Windows\\StartUp"};
    fileSystem.folderCount = 1;
    return fileSystem;
}

FileSystem fileSystem = switchedOn();

bool samePath(const char16_t* a, const char16_t* b) {
    for (; *a != u'\0' && foldedAscii(*a) == foldedAscii(*b); ++a, ++b) {
    }
    return foldedAscii(*a) == foldedAscii(*b);
}

int fileIndex(const char16_t* path) {
    for (int i = 0; path != nullptr && i < fileSystem.fileCount; ++i) {
        if (samePath(fileSystem.files[i], path)) {
            return i;
        }
    }
    return -1;
}

SpecialFolder* folderEntry(int folder) {
    for (int i = 0; i < fileSystem.folderCount; ++i) {
        if (fileSystem.folders[i].folder == folder) {
            return &fileSystem.folders[i];
        }
    }
    return nullptr;
}

} // namespace

void resetSimFiles() {
    fileSystem = switchedOn();
}

bool simAddFile(const char16_t* path) {
    if (path == nullptr || path[0] == u'\0') {
        return false;
    }
    if (fileIndex(path) >= 0) {
        return true;
    }
    if (fileSystem.fileCount == SIM_FILE_CAPACITY ||
        !copyWholeText(path, fileSystem.files[fileSystem.fileCount], SIM_PATH_CAPACITY)) {
        return false;
    }
    ++fileSystem.fileCount;
    return true;
}

bool simRemoveFile(const char16_t* path) {
    const int index = fileIndex(path);
    if (index < 0) {
        return false;
    }
    const int last = --fileSystem.fileCount;
    copyWholeText(fileSystem.files[last], fileSystem.files[index], SIM_PATH_CAPACITY);
    return true;
}

int simFileCount() {
    return fileSystem.fileCount;
}

const char16_t* simFilePath(int index) {
    return index >= 0 && index < fileSystem.fileCount ? fileSystem.files[index] : nullptr;
}

bool simSetFolderPath(int folder, const char16_t* path) {
    SpecialFolder* entry = folderEntry(folder);
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
    const SpecialFolder* entry = folderEntry(folder);
    const char16_t* path = entry == nullptr ? u"" : entry->path;
    return copyWholeText(path, buffer, capacity) && path[0] != u'\0';
}

bool fileExists(const char16_t* path) {
    return fileIndex(path) >= 0;
}
