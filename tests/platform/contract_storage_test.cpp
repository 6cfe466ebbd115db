// What the logic relies on from the object store, file searches and storage
// cards, checked on every platform: a search finds what is there and nothing
// else, and every search begun is ended again.

#include "platform/files.h"
#include "platform/live_objects.h"
#include "platform/programs.h"
#include "platform/storage.h"
#include "tests/platform/contract_folders.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr std::size_t PATH_CAPACITY = 260;
constexpr int LONGEST_WALK = 100000; // far more matches than any test makes

class StorageContract : public ::testing::Test {
  protected:
    void SetUp() override { searchesAtStart = livePlatformObjects().searches; }
    void TearDown() override {
        EXPECT_EQ(livePlatformObjects().searches, searchesAtStart) << "a search was left open";
    }

    int searchesAtStart = 0;
};

std::u16string startupFolder() {
    char16_t folder[PATH_CAPACITY];
    EXPECT_TRUE(specialFolderPath(FOLDER_STARTUP, folder, PATH_CAPACITY));
    return folder;
}

// How many matches the search stands on in turn (none for None); the walk
// fails the test when it does not end.
int walk(SearchHandle search, bool (*next)(SearchHandle)) {
    int matches = search == SearchHandle::None ? 0 : 1;
    while (next(search)) {
        if (++matches == LONGEST_WALK) {
            ADD_FAILURE() << "the walk does not end";
            break;
        }
    }
    return matches;
}

TEST_F(StorageContract, TheStoreHasASizeAndNoMoreFreeSpaceThanThat) {
    const StoreInformation store = queryStoreInformation();
    EXPECT_GT(store.storeSize, 0u);
    EXPECT_LE(store.freeSize, store.storeSize);
}

TEST_F(StorageContract, ASearchFindsEachShortcutMadeInTheStartupFolderOnce) {
    const std::u16string folder = startupFolder();
    const std::u16string shortcuts[] = {folder + u"\\TavilSearchOne.lnk",
                                        folder + u"\\TavilSearchTwo.lnk"};
    for (const std::u16string& shortcut : shortcuts) {
        ASSERT_TRUE(createShortcut(shortcut.c_str(), u"\\Windows\\Tavil.exe"));
    }
    const SearchHandle search = beginFileSearch((folder + u"\\tavilsearch*.LNK").c_str());
    ASSERT_NE(search, SearchHandle::None);
    EXPECT_EQ(livePlatformObjects().searches, searchesAtStart + 1);
    EXPECT_EQ(walk(search, nextFileMatch), 2);
    EXPECT_FALSE(nextFileMatch(search)) << "the walk stays at its end";
    endFileSearch(search);
    for (const std::u16string& shortcut : shortcuts) {
        EXPECT_TRUE(deleteFile(shortcut.c_str()));
    }
}

// The Memory dialog counts the Startup folder's entries with "*.*": a search
// lists the folder's files, never the folder itself or its parent.
TEST_F(StorageContract, EverythingInAFolderIsItsFilesAndNothingMore) {
    const std::u16string folder = makeEmptyFolder(u"TavilSearchFolder");
    const std::u16string everything = folder + u"\\*.*";
    const SearchHandle empty = beginFileSearch(everything.c_str());
    EXPECT_EQ(empty, SearchHandle::None) << "an empty folder has nothing to find";
    endFileSearch(empty);

    // One name starts like the dot entries and is a file all the same.
    const std::u16string files[] = {folder + u"\\Mail.lnk", folder + u"\\..Notes.lnk",
                                    folder + u"\\Tavil.lnk"};
    int made = 0;
    for (const std::u16string& file : files) {
        ASSERT_TRUE(createShortcut(file.c_str(), u"\\Windows\\Tavil.exe"));
        const SearchHandle search = beginFileSearch(everything.c_str());
        EXPECT_EQ(walk(search, nextFileMatch), ++made);
        endFileSearch(search);
    }
    for (const std::u16string& file : files) {
        EXPECT_TRUE(deleteFile(file.c_str()));
    }
    removeFolder(folder);
}

TEST_F(StorageContract, APatternThatMatchesNothingBeginsNoSearch) {
    const std::u16string nothing = startupFolder() + u"\\TavilNothing*.none";
    const char16_t* const patterns[] = {nothing.c_str(), u"\\TavilContractTest\\Not here\\*.*", u"",
                                        nullptr};
    for (const char16_t* pattern : patterns) {
        EXPECT_EQ(beginFileSearch(pattern), SearchHandle::None);
    }
    EXPECT_FALSE(nextFileMatch(SearchHandle::None));
    endFileSearch(SearchHandle::None);
}

TEST_F(StorageContract, AStorageCardSearchEndsWithoutLeaking) {
    const SearchHandle search = beginStorageCardSearch();
    walk(search, nextStorageCard);
    endStorageCardSearch(search);
    EXPECT_FALSE(nextStorageCard(SearchHandle::None));
    endStorageCardSearch(SearchHandle::None);
}

} // namespace
