// The Memory dialog: memory, processes, drivers, the store, installed
// programs, start-up items, fonts and storage cards, counted once at opening.

#include "core/app_state.h"
#include "core/megabytes.h"
#include "core/text.h"
#include "info/dialog_contents.h"
#include "info/dialog_fields.h"
#include "platform/files.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/storage.h"
#include "platform/system_status.h"

namespace {

enum MemoryField {
    TOTAL_MEMORY = 1001,
    FREE_MEMORY = 1002,
    MEMORY_LOAD = 1003,
    PROCESSES = 1004,
    THREADS = 1005,
    DRIVERS = 1006,
    STORE_SIZE = 1007,
    STORE_FREE = 1008,
    PROGRAMS = 1009,
    STARTUP_ITEMS = 1010,
    FONTS = 1011,
    STORAGE_CARDS = 1012,
};

constexpr int FOLDER_FONTS = 20;
constexpr const char16_t* ACTIVE_DRIVERS_KEY = u"Drivers\\Active";
constexpr const char16_t* PACKAGES_KEY = u"SOFTWARE\\Apps";
constexpr const char16_t* INSTALLED_VALUE = u"Instl";
constexpr std::size_t KEY_NAME_CAPACITY = 256;                    // the registry's longest name
constexpr std::size_t KEY_PATH_CAPACITY = 16 + KEY_NAME_CAPACITY; // "SOFTWARE\Apps\" and a name
constexpr std::size_t PATTERN_CAPACITY = PATH_BUFFER_LENGTH + 8;

void showMemory(WindowHandle dialog) {
    const MemoryStatus memory = queryMemoryStatus();
    setFormattedField(dialog, TOTAL_MEMORY, u"%d Мб", {wholeMegabytes(memory.totalPhysical)});
    setFormattedField(dialog, FREE_MEMORY, u"%d Мб", {wholeMegabytes(memory.availablePhysical)});
    setFormattedField(dialog, MEMORY_LOAD, u"%d %%", {memory.memoryLoad});
}

void showProcesses(WindowHandle dialog) {
    std::uint32_t processes = 0;
    std::uint32_t threads = 0;
    const SnapshotHandle snapshot = takeProcessSnapshot();
    ProcessEntry entry{};
    for (bool more = firstProcess(snapshot, entry); more; more = nextProcess(snapshot, entry)) {
        ++processes;
        threads += entry.threadCount;
    }
    closeProcessSnapshot(snapshot);
    setFormattedField(dialog, PROCESSES, u"%d", {processes});
    setFormattedField(dialog, THREADS, u"%d", {threads});
}

// 0 when the key cannot be opened or asked.
std::uint32_t subkeyCount(const char16_t* path) {
    std::uint32_t count = 0;
    const RegistryKey key = openRegistryKey(path, REGISTRY_READ_ACCESS);
    queryRegistrySubkeyCount(key, count);
    closeRegistryKey(key);
    return count;
}

bool packageInstalled(const char16_t* name) {
    char16_t path[KEY_PATH_CAPACITY] = u"SOFTWARE\\Apps\\";
    if (!appendText(path, KEY_PATH_CAPACITY, name)) {
        return false;
    }
    std::uint32_t installed = 0;
    const RegistryKey key = openRegistryKey(path, REGISTRY_READ_ACCESS);
    const bool read = queryRegistryNumber(key, INSTALLED_VALUE, installed);
    closeRegistryKey(key);
    return read && installed == 1;
}

// Every package subkey is looked at, whatever the length of its name.
std::uint32_t installedPrograms() {
    std::uint32_t installed = 0;
    const RegistryKey packages = openRegistryKey(PACKAGES_KEY, REGISTRY_READ_ACCESS);
    std::uint32_t count = 0;
    queryRegistrySubkeyCount(packages, count);
    for (std::uint32_t index = 0; index < count; ++index) {
        char16_t name[KEY_NAME_CAPACITY];
        if (registrySubkeyName(packages, index, name, KEY_NAME_CAPACITY) &&
            packageInstalled(name)) {
            ++installed;
        }
    }
    closeRegistryKey(packages);
    return installed;
}

std::uint32_t countMatches(const char16_t* pattern) {
    const SearchHandle search = beginFileSearch(pattern);
    std::uint32_t matches = 0;
    if (search != SearchHandle::None) {
        for (matches = 1; nextFileMatch(search); ++matches) {
        }
    }
    endFileSearch(search);
    return matches;
}

// The matches of `files` in a special folder; 0 when its path is unknown.
std::uint32_t countInFolder(int folder, const char16_t* files) {
    char16_t pattern[PATTERN_CAPACITY];
    if (!specialFolderPath(folder, pattern, PATTERN_CAPACITY) ||
        !appendText(pattern, PATTERN_CAPACITY, files)) {
        return 0;
    }
    return countMatches(pattern);
}

std::uint32_t storageCards() {
    const SearchHandle search = beginStorageCardSearch();
    std::uint32_t cards = 0;
    if (search != SearchHandle::None) {
        for (cards = 1; nextStorageCard(search); ++cards) {
        }
    }
    endStorageCardSearch(search);
    return cards;
}

} // namespace

void fillMemoryDialog() {
    const WindowHandle dialog = appState.memoryDialog;
    showMemory(dialog);
    showProcesses(dialog);
    setFormattedField(dialog, DRIVERS, u"%d", {subkeyCount(ACTIVE_DRIVERS_KEY)});
    const StoreInformation store = queryStoreInformation();
    setFormattedField(dialog, STORE_SIZE, u"%d Мб", {wholeMegabytes(store.storeSize)});
    setFormattedField(dialog, STORE_FREE, u"%d Мб", {wholeMegabytes(store.freeSize)});
    setFormattedField(dialog, PROGRAMS, u"%d", {installedPrograms()});
    setFormattedField(dialog, STARTUP_ITEMS, u"%d", {countInFolder(FOLDER_STARTUP, u"\\*.*")});
    const std::uint32_t fonts =
        countMatches(u"\\Windows\\*.ttf") + countInFolder(FOLDER_FONTS, u"\\*.ttf");
    setFormattedField(dialog, FONTS, u"%d", {fonts});
    setFormattedField(dialog, STORAGE_CARDS, u"%d", {storageCards()});
}
