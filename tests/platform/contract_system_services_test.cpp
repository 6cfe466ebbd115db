// What the logic relies on from the single-instance mutex, the screen measures
// and the file services, checked on every platform.

#include "platform/files.h"
#include "platform/single_instance.h"
#include "platform/system_metrics.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr std::size_t PATH_CAPACITY = 260;

TEST(SystemServicesContract, ASecondCreationOfAMutexFindsTheFirst) {
    const char16_t* name = u"TavilContractTest.SingleInstance";
    const NamedMutex first = createNamedMutex(name);
    EXPECT_NE(first.handle, MutexHandle::None);
    EXPECT_NE(first.lastError, ERROR_MUTEX_ALREADY_EXISTS);
    const NamedMutex second = createNamedMutex(name);
    EXPECT_NE(second.handle, MutexHandle::None);
    EXPECT_EQ(second.lastError, ERROR_MUTEX_ALREADY_EXISTS);
}

TEST(SystemServicesContract, TheScreenHasASizeAndUnknownMeasuresAreZero) {
    EXPECT_GT(systemMetric(METRIC_SCREEN_WIDTH), 0);
    EXPECT_GT(systemMetric(METRIC_SCREEN_HEIGHT), 0);
    EXPECT_GT(systemMetric(METRIC_SMALL_ICON_WIDTH), 0);
    EXPECT_EQ(systemMetric(-1), 0);
}

TEST(SystemServicesContract, TheStartupFolderPathIsAbsoluteAndWrittenWholeOrNotAtAll) {
    char16_t path[PATH_CAPACITY];
    ASSERT_TRUE(specialFolderPath(FOLDER_STARTUP, path, PATH_CAPACITY));
    const std::u16string whole(path);
    EXPECT_TRUE(whole.starts_with(u"\\") || whole.find(u":\\") == 1) << "from a root or a drive";

    const std::size_t capacities[] = {0, 4, whole.size(), whole.size() + 1};
    for (const std::size_t capacity : capacities) {
        std::u16string buffer(capacity + 1, u'#'); // the last one guards the end
        const bool fits = capacity > whole.size();
        EXPECT_EQ(specialFolderPath(FOLDER_STARTUP, buffer.data(), capacity), fits) << capacity;
        const std::u16string written = buffer.substr(0, buffer.find(u'\0'));
        EXPECT_EQ(written, fits ? whole : capacity == 0 ? u"#" : u"") << capacity;
        EXPECT_EQ(buffer.back(), u'#') << capacity;
    }
    EXPECT_FALSE(specialFolderPath(FOLDER_STARTUP, nullptr, 0));
}

TEST(SystemServicesContract, OnlyFilesThatExistAreFound) {
    EXPECT_FALSE(fileExists(u"\\TavilContractTest\\Surely not here.txt"));
    EXPECT_FALSE(fileExists(u""));
    EXPECT_FALSE(fileExists(nullptr));
}

} // namespace
