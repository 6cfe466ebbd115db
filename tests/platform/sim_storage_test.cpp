// The parts of the simulated store, searches and storage cards that only the
// simulated handheld has: its pattern matching, its cards and its faults.

#include "platform/sim/sim_files.h"
#include "platform/sim/sim_handheld.h"
#include "platform/sim/sim_storage.h"

#include <gtest/gtest.h>

namespace {

class SimStorageTest : public ::testing::Test {
  protected:
    void SetUp() override { resetSimHandheld(SimProcessorKind::Pxa270); }
    void TearDown() override { EXPECT_EQ(simLiveSearches(), 0); }
};

// The matches that a search walks through, from its first (none for None).
int walk(SearchHandle search, bool (*next)(SearchHandle)) {
    int matches = search == SearchHandle::None ? 0 : 1;
    while (next(search)) {
        ++matches;
    }
    return matches;
}

int fileMatches(const char16_t* pattern) {
    const SearchHandle search = beginFileSearch(pattern);
    const int matches = walk(search, nextFileMatch);
    endFileSearch(search);
    return matches;
}

int storageCards() {
    const SearchHandle search = beginStorageCardSearch();
    const int cards = walk(search, nextStorageCard);
    endStorageCardSearch(search);
    return cards;
}

TEST_F(SimStorageTest, PatternsMatchTheFilesOfTheirFolderByTheirLastPart) {
    for (const char16_t* file :
         {u"\\Windows\\tahoma.ttf", u"\\Windows\\COUR.TTF", u"\\Windows\\readme",
          u"\\Windows\\Fonts\\arial.ttf", u"\\My Documents\\note.txt", u"\\root.txt"}) {
        ASSERT_TRUE(simAddFile(file));
    }
    const struct {
        const char16_t* pattern;
        int matches;
    } cases[] = {
        {u"\\Windows\\*.ttf", 2},
        {u"\\WINDOWS\\*.TtF", 2},
        {u"\\Windows\\*.*", 3},
        {u"\\Windows\\*", 3},
        {u"\\Windows\\????.ttf", 1},
        {u"\\Windows\\t*a.ttf", 1},
        {u"\\Windows\\tahoma.tt?", 1},
        {u"\\Windows\\tahoma.ttf?", 0},
        {u"\\Windows\\tahoma.ttf", 1},
        {u"\\Windows\\re*.*", 1},
        {u"\\Windows\\Fonts\\*.*", 1},
        {u"\\Windows", 0},
        {u"\\Windows\\", 0},
        {u"\\Win*\\tahoma.ttf", 0},
        {u"\\*.txt", 1},
        {u"*.txt", 1},
        {u"\\My Documents\\*e*t*", 1},
        {u"", 0},
        {nullptr, 0},
    };
    for (const auto& each : cases) {
        EXPECT_EQ(fileMatches(each.pattern), each.matches) << testing::PrintToString(each.pattern);
    }
}

TEST_F(SimStorageTest, ASearchKeepsTheMatchesItBeganWith) {
    ASSERT_TRUE(simAddFile(u"\\Windows\\one.ttf"));
    ASSERT_TRUE(simAddFile(u"\\Windows\\two.ttf"));
    const SearchHandle search = beginFileSearch(u"\\Windows\\*.ttf");
    ASSERT_TRUE(simAddFile(u"\\Windows\\three.ttf"));
    ASSERT_TRUE(simRemoveFile(u"\\Windows\\one.ttf"));
    ASSERT_TRUE(simRemoveFile(u"\\Windows\\two.ttf"));
    EXPECT_EQ(walk(search, nextFileMatch), 2);
    EXPECT_EQ(simLiveSearches(), 1);
    endFileSearch(search);
    EXPECT_FALSE(nextFileMatch(search)) << "an ended search";
    EXPECT_FALSE(nextFileMatch(static_cast<SearchHandle>(999)));
    endFileSearch(search);
    EXPECT_EQ(fileMatches(u"\\Windows\\*.ttf"), 1);
}

TEST_F(SimStorageTest, CardsAreFoundWhileInserted) {
    EXPECT_EQ(beginStorageCardSearch(), SearchHandle::None) << "none when switched on";
    EXPECT_TRUE(simInsertStorageCard(u"Storage Card"));
    EXPECT_TRUE(simInsertStorageCard(u"SD Card"));
    EXPECT_TRUE(simInsertStorageCard(u"storage card")) << "inserted already";
    EXPECT_FALSE(simInsertStorageCard(u""));
    EXPECT_FALSE(simInsertStorageCard(nullptr));
    EXPECT_EQ(storageCards(), 2);

    const SearchHandle search = beginStorageCardSearch();
    EXPECT_TRUE(simRemoveStorageCard(u"SD CARD"));
    EXPECT_FALSE(simRemoveStorageCard(u"SD Card")) << "removed already";
    EXPECT_FALSE(simRemoveStorageCard(nullptr));
    EXPECT_EQ(walk(search, nextStorageCard), 2) << "the cards when the search began";
    endStorageCardSearch(search);
    EXPECT_EQ(storageCards(), 1);

    resetSimHandheld(SimProcessorKind::Pxa270);
    EXPECT_EQ(storageCards(), 0);
}

TEST_F(SimStorageTest, TheStoreReportsItsRecordOrZerosWhenItFails) {
    constexpr std::uint32_t MEGABYTE = 1u << 20;
    EXPECT_EQ(queryStoreInformation().storeSize, 32 * MEGABYTE);
    EXPECT_EQ(queryStoreInformation().freeSize, 21 * MEGABYTE);
    simStorage.storeQueryFails = true;
    EXPECT_EQ(queryStoreInformation().storeSize, 0u);
    EXPECT_EQ(queryStoreInformation().freeSize, 0u);
}

} // namespace
