// What the logic relies on from the registry, checked on every platform. Each
// test works under a key of its own below SOFTWARE\TavilContractTest, which
// exists only in the fresh registry of a test run.

#include "platform/live_objects.h"
#include "platform/registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t UNTOUCHED = 0xA5A5A5A5;
constexpr std::size_t NAME_CAPACITY = 256; // a key name's longest, with its terminator
constexpr const char16_t* NOT_READ = u"(not read)";

class RegistryContract : public ::testing::Test {
  protected:
    void SetUp() override { keysAtStart = livePlatformObjects().registryKeys; }
    void TearDown() override {
        EXPECT_EQ(livePlatformObjects().registryKeys, keysAtStart) << "a key was left open";
    }

    // Creates the key with one number in it, and closes it again.
    static void createWithNumber(const char16_t* path, const char16_t* name, std::uint32_t value) {
        const RegistryKey key = createRegistryKey(path);
        ASSERT_NE(key, RegistryKey::None);
        setRegistryNumber(key, name, value);
        closeRegistryKey(key);
    }

    // The number as read through a key opened for reading; UNTOUCHED when absent.
    static std::uint32_t readNumber(const char16_t* path, const char16_t* name) {
        std::uint32_t value = UNTOUCHED;
        const RegistryKey key = openRegistryKey(path, REGISTRY_READ_ACCESS);
        EXPECT_NE(key, RegistryKey::None);
        const bool found = queryRegistryNumber(key, name, value);
        EXPECT_EQ(found, value != UNTOUCHED);
        closeRegistryKey(key);
        return value;
    }

    int keysAtStart = 0;
};

// The name at `index` as read into a buffer of `capacity` that held "x"
// before; NOT_READ when the read fails, which must leave an empty text.
std::u16string subkeyName(RegistryKey key, std::uint32_t index,
                          std::size_t capacity = NAME_CAPACITY) {
    char16_t name[NAME_CAPACITY] = u"x";
    const bool found = registrySubkeyName(key, index, name, capacity);
    EXPECT_TRUE(found || name[0] == u'\0') << "a failed read leaves an empty text";
    return found ? name : NOT_READ;
}

TEST_F(RegistryContract, CreatingMakesAMissingKeyAndTheKeysAboveIt) {
    const char16_t* const paths[] = {u"SOFTWARE\\TavilContractTest\\Create",
                                     u"SOFTWARE\\TavilContractTest\\Nested\\One\\Two"};
    for (const char16_t* path : paths) {
        EXPECT_EQ(openRegistryKey(path, REGISTRY_READ_ACCESS), RegistryKey::None);
        const RegistryKey created = createRegistryKey(path);
        EXPECT_NE(created, RegistryKey::None);
        closeRegistryKey(created);
        const RegistryKey opened = openRegistryKey(path, REGISTRY_READ_ACCESS);
        EXPECT_NE(opened, RegistryKey::None);
        closeRegistryKey(opened);
    }
    const RegistryKey parent =
        openRegistryKey(u"SOFTWARE\\TavilContractTest\\Nested\\One", REGISTRY_READ_ACCESS);
    EXPECT_NE(parent, RegistryKey::None);
    closeRegistryKey(parent);
}

TEST_F(RegistryContract, CreatingAnExistingKeyKeepsItsValues) {
    const char16_t* path = u"SOFTWARE\\TavilContractTest\\Existing";
    createWithNumber(path, u"Kept", 7);
    const RegistryKey again = createRegistryKey(path);
    EXPECT_NE(again, RegistryKey::None);
    closeRegistryKey(again);
    EXPECT_EQ(readNumber(path, u"Kept"), 7u);
}

TEST_F(RegistryContract, NumbersReadBackAsWritten) {
    const char16_t* path = u"SOFTWARE\\TavilContractTest\\RoundTrip";
    const std::uint32_t numbers[] = {0, 1, 416, 0x02000290, 0xFFFFFFFF};
    for (const std::uint32_t number : numbers) {
        createWithNumber(path, u"Number", number);
        EXPECT_EQ(readNumber(path, u"Number"), number);
    }
    createWithNumber(path, u"Other", 5);
    EXPECT_EQ(readNumber(path, u"Number"), 0xFFFFFFFFu) << "a value written elsewhere";
}

TEST_F(RegistryContract, AMissingValueLeavesTheOutputUnchanged) {
    const char16_t* path = u"SOFTWARE\\TavilContractTest\\MissingValue";
    createWithNumber(path, u"Present", 3);
    EXPECT_EQ(readNumber(path, u"Absent"), UNTOUCHED);
}

TEST_F(RegistryContract, OpenKeysAreCountedUntilClosed) {
    const char16_t* path = u"SOFTWARE\\TavilContractTest\\Counted";
    const RegistryKey created = createRegistryKey(path);
    const RegistryKey opened = openRegistryKey(path, REGISTRY_READ_ACCESS);
    EXPECT_NE(created, opened);
    EXPECT_EQ(livePlatformObjects().registryKeys, keysAtStart + 2);
    closeRegistryKey(created);
    EXPECT_EQ(livePlatformObjects().registryKeys, keysAtStart + 1);
    closeRegistryKey(opened);
    EXPECT_EQ(livePlatformObjects().registryKeys, keysAtStart);
    EXPECT_EQ(openRegistryKey(u"SOFTWARE\\TavilContractTest\\NotThere", REGISTRY_READ_ACCESS),
              RegistryKey::None);
    closeRegistryKey(RegistryKey::None);
    EXPECT_EQ(livePlatformObjects().registryKeys, keysAtStart);
}

TEST_F(RegistryContract, EachKeyDoesOnlyWhatItWasOpenedFor) {
    const char16_t* path = u"SOFTWARE\\TavilContractTest\\Access";
    createWithNumber(path, u"Number", 1);

    const RegistryKey reading = openRegistryKey(path, REGISTRY_READ_ACCESS);
    setRegistryNumber(reading, u"Number", 2);
    setRegistryNumber(reading, u"New", 2);
    closeRegistryKey(reading);
    EXPECT_EQ(readNumber(path, u"Number"), 1u);
    EXPECT_EQ(readNumber(path, u"New"), UNTOUCHED);

    const RegistryKey writing = createRegistryKey(path);
    std::uint32_t value = UNTOUCHED;
    EXPECT_FALSE(queryRegistryNumber(writing, u"Number", value)) << "a created key only writes";
    EXPECT_EQ(value, UNTOUCHED);
    closeRegistryKey(writing);
}

TEST_F(RegistryContract, SubkeysAreCountedAndListedEachOnce) {
    const std::u16string path = u"SOFTWARE\\TavilContractTest\\Subkeys";
    std::vector<std::u16string> names = {u"Second", u"First", u"Third key"};
    for (const std::u16string& name : names) {
        closeRegistryKey(createRegistryKey((path + u"\\" + name).c_str()));
    }
    closeRegistryKey(createRegistryKey((path + u"\\First\\Below").c_str()));
    const RegistryKey key = openRegistryKey(path.c_str(), REGISTRY_READ_ACCESS);
    std::uint32_t count = UNTOUCHED;
    EXPECT_TRUE(queryRegistrySubkeyCount(key, count));
    EXPECT_EQ(count, names.size()) << "only the keys directly below";

    std::vector<std::u16string> listed;
    for (std::uint32_t index = 0; index < names.size(); ++index) {
        listed.push_back(subkeyName(key, index));
    }
    std::ranges::sort(listed);
    std::ranges::sort(names);
    EXPECT_EQ(listed, names);
    EXPECT_EQ(subkeyName(key, 3), NOT_READ) << "past the end";
    EXPECT_EQ(subkeyName(key, 0xFFFFFFFF), NOT_READ);

    const std::u16string first = subkeyName(key, 0);
    EXPECT_EQ(subkeyName(key, 0, first.size()), NOT_READ) << "no room for the terminator";
    EXPECT_EQ(subkeyName(key, 0, first.size() + 1), first);
    closeRegistryKey(key);
}

// Windows counts subkeys only through a key that may query values, but Wine
// counts them through any key, so only listing is checked for a writing key.
TEST_F(RegistryContract, OnlyAKeyOpenedForReadingListsSubkeys) {
    const std::u16string path = u"SOFTWARE\\TavilContractTest\\FewSubkeys";
    const RegistryKey writing = createRegistryKey(path.c_str());
    const RegistryKey reading = openRegistryKey(path.c_str(), REGISTRY_READ_ACCESS);
    std::uint32_t count = UNTOUCHED;
    EXPECT_TRUE(queryRegistrySubkeyCount(reading, count));
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(subkeyName(reading, 0), NOT_READ);

    closeRegistryKey(createRegistryKey((path + u"\\Sub").c_str()));
    EXPECT_EQ(subkeyName(reading, 0), u"Sub");
    EXPECT_EQ(subkeyName(writing, 0), NOT_READ) << "a created key only writes";
    EXPECT_EQ(subkeyName(RegistryKey::None, 0), NOT_READ);
    count = UNTOUCHED;
    EXPECT_FALSE(queryRegistrySubkeyCount(RegistryKey::None, count));
    EXPECT_EQ(count, UNTOUCHED);
    char16_t untouched[] = u"x";
    EXPECT_FALSE(registrySubkeyName(reading, 0, untouched, 0));
    EXPECT_EQ(untouched[0], u'x') << "no room: nothing written";
    closeRegistryKey(writing);
    closeRegistryKey(reading);
}

TEST_F(RegistryContract, NoKeyAndNoPathDoNothing) {
    EXPECT_EQ(openRegistryKey(u"", REGISTRY_READ_ACCESS), RegistryKey::None);
    EXPECT_EQ(createRegistryKey(u""), RegistryKey::None);
    std::uint32_t value = UNTOUCHED;
    EXPECT_FALSE(queryRegistryNumber(RegistryKey::None, u"Number", value));
    EXPECT_EQ(value, UNTOUCHED);
    setRegistryNumber(RegistryKey::None, u"Number", 1);
    closeRegistryKey(RegistryKey::None);
}

} // namespace
