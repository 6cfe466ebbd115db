// The parts of the simulated mutexes, screen measures and file system that only
// the simulated handheld has: its faults, its limits and what tests set up.

#include "platform/files.h"
#include "platform/sim/sim_files.h"
#include "platform/sim/sim_handheld.h"
#include "platform/sim/sim_metrics.h"
#include "platform/sim/sim_single_instance.h"
#include "platform/system_metrics.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

class SimSystemServicesTest : public ::testing::Test {
  protected:
    void SetUp() override { resetSimHandheld(SimProcessorKind::Pxa270); }
};

const std::u16string NO_FOLDER = u"(none)";

std::u16string startupPath() {
    char16_t path[SIM_PATH_CAPACITY];
    return specialFolderPath(FOLDER_STARTUP, path, SIM_PATH_CAPACITY) ? path : NO_FOLDER;
}

TEST_F(SimSystemServicesTest, MutexNamesMatchExactlyAndCreationsFailForTheirCause) {
    const NamedMutex tavil = createNamedMutex(u"TavilMutex");
    EXPECT_EQ(createNamedMutex(u"TavilMutex").handle, tavil.handle);
    EXPECT_EQ(createNamedMutex(u"tavilmutex").lastError, 0u) << "another name";
    EXPECT_NE(createNamedMutex(nullptr).handle, createNamedMutex(u"").handle) << "both new";
    EXPECT_EQ(simMutexNamed(u"TavilMutex")->creations, 2);

    const std::u16string tooLong(SIM_MUTEX_NAME_CAPACITY, u'm');
    EXPECT_EQ(createNamedMutex(tooLong.c_str()).lastError, SIM_ERROR_FILENAME_EXCED_RANGE);
    while (simMutexes.count < SIM_MUTEX_CAPACITY) {
        createNamedMutex(nullptr);
    }
    EXPECT_EQ(createNamedMutex(u"Full").lastError, SIM_ERROR_NOT_ENOUGH_MEMORY);
    simMutexes.creationFails = true;
    const NamedMutex failed = createNamedMutex(u"TavilMutex");
    EXPECT_EQ(failed.handle, MutexHandle::None);
    EXPECT_EQ(failed.lastError, SIM_ERROR_ACCESS_DENIED);
    EXPECT_EQ(simMutexNamed(u"TavilMutex")->creations, 2);
}

TEST_F(SimSystemServicesTest, FilesAreFoundIgnoringAsciiCaseUntilRemoved) {
    EXPECT_TRUE(simAddFile(u"\\Windows\\StartUp\\Tavil.lnk"));
    EXPECT_TRUE(simAddFile(u"\\WINDOWS\\startup\\TAVIL.LNK")) << "the same file again";
    EXPECT_TRUE(simAddFile(u"\\Мои документы\\Тавил.txt"));
    EXPECT_TRUE(fileExists(u"\\windows\\StartUp\\tavil.lnk"));
    EXPECT_FALSE(fileExists(u"\\Windows\\StartUp\\Tavil.lnk2"));
    EXPECT_FALSE(fileExists(u"\\Windows\\StartUp")) << "folders are not files";
    EXPECT_FALSE(fileExists(u"\\мои документы\\Тавил.txt")) << "only ASCII letters fold";

    EXPECT_TRUE(simRemoveFile(u"\\Windows\\Startup\\Tavil.lnk"));
    EXPECT_FALSE(simRemoveFile(u"\\Windows\\Startup\\Tavil.lnk"));
    EXPECT_EQ(simFileCount(), 1);
    EXPECT_TRUE(fileExists(u"\\Мои документы\\Тавил.txt"));
}

TEST_F(SimSystemServicesTest, FilesThatDoNotFitOrStartElsewhereThanTheRootAreNotAdded) {
    EXPECT_FALSE(simAddFile(nullptr));
    EXPECT_FALSE(simAddFile(u""));
    EXPECT_FALSE(simAddFile(u"Windows\\Tavil.exe"));
    EXPECT_FALSE(simAddFile((u"\\" + std::u16string(SIM_PATH_CAPACITY - 1, u'f')).c_str()));
    for (int i = 0; i < SIM_FILE_CAPACITY; ++i) {
        EXPECT_TRUE(simAddFile((u"\\" + std::u16string(SIM_PATH_CAPACITY - 2 - i, u'f')).c_str()));
    }
    EXPECT_FALSE(simAddFile(u"\\One too many"));
    EXPECT_FALSE(simAddShortcut(u"\\One too many", u"\\Windows\\Tavil.exe"));
    EXPECT_EQ(simFileCount(), SIM_FILE_CAPACITY);
}

TEST_F(SimSystemServicesTest, AShortcutKeepsItsTargetWhereverRemovalsMoveIt) {
    const std::u16string tooLong(SIM_PATH_CAPACITY, u't');
    EXPECT_FALSE(simAddShortcut(u"\\Windows\\StartUp\\A.lnk", nullptr));
    EXPECT_FALSE(simAddShortcut(u"\\Windows\\StartUp\\A.lnk", u""));
    EXPECT_FALSE(simAddShortcut(u"\\Windows\\StartUp\\A.lnk", tooLong.c_str()));
    EXPECT_FALSE(simAddShortcut(u"StartUp\\A.lnk", u"\\Windows\\A.exe"));
    EXPECT_EQ(simFileCount(), 0);

    ASSERT_TRUE(simAddShortcut(u"\\Windows\\StartUp\\A.lnk", u"\\Windows\\A.exe"));
    ASSERT_TRUE(simAddFile(u"\\Windows\\plain.txt"));
    ASSERT_TRUE(simAddShortcut(u"\\Windows\\StartUp\\C.lnk", u"\\Windows\\C.exe"));
    ASSERT_TRUE(simRemoveFile(u"\\Windows\\StartUp\\A.lnk")); // the last file moves here
    ASSERT_TRUE(simAddFile(u"\\Windows\\new.txt"));           // where C.lnk was
    EXPECT_TRUE(simAddShortcut(u"\\Windows\\plain.txt", u"\\Windows\\P.exe")) << "made one";

    std::map<std::u16string, std::u16string> targets;
    for (int i = 0; i < simFileCount(); ++i) {
        targets[simFilePath(i)] = simFileTarget(i);
    }
    EXPECT_EQ(targets, (std::map<std::u16string, std::u16string>{
                           {u"\\Windows\\StartUp\\C.lnk", u"\\Windows\\C.exe"},
                           {u"\\Windows\\new.txt", u""},
                           {u"\\Windows\\plain.txt", u"\\Windows\\P.exe"}}));
    EXPECT_EQ(simFileTarget(simFileCount()), nullptr);
    EXPECT_EQ(simFileTarget(-1), nullptr);
}

TEST_F(SimSystemServicesTest, TestsSetFolderPathsAndAnEmptyOrLongOneLeavesNoFolder) {
    const std::u16string longest(SIM_PATH_CAPACITY - 1, u'p');
    const struct {
        const std::u16string path;
        bool set;
        std::u16string found;
    } cases[] = {{longest, true, longest},
                 {longest + u"p", false, NO_FOLDER},
                 {u"\\Windows\\Autostart", true, u"\\Windows\\Autostart"},
                 {u"", true, NO_FOLDER}};
    for (const auto& c : cases) {
        EXPECT_EQ(simSetFolderPath(FOLDER_STARTUP, c.path.c_str()), c.set) << c.path.size();
        EXPECT_EQ(startupPath(), c.found) << c.path.size();
    }
    for (int folder = 100; folder < 100 + SIM_FOLDER_CAPACITY - 1; ++folder) {
        EXPECT_TRUE(simSetFolderPath(folder, u"\\Folder"));
    }
    EXPECT_FALSE(simSetFolderPath(2, u"\\Windows\\Programs")) << "the table is full";
    char16_t path[8] = u"#######";
    EXPECT_FALSE(specialFolderPath(2, path, 8));
    EXPECT_EQ(path[0], u'\0');
}

TEST_F(SimSystemServicesTest, SwitchingOnAgainForgetsWhatTestsSetUp) {
    createNamedMutex(u"TavilMutex");
    simMutexes.creationFails = true;
    simScreenMetrics = SimScreenMetrics{480, 640, 32, 64};
    EXPECT_EQ(systemMetric(METRIC_SCREEN_HEIGHT), 640);
    EXPECT_EQ(systemMetric(METRIC_SMALL_ICON_WIDTH), 32);
    simAddFile(u"\\Windows\\StartUp\\Tavil.lnk");
    simSetFolderPath(FOLDER_STARTUP, u"\\Elsewhere");
    resetSimHandheld(SimProcessorKind::Pxa270);
    EXPECT_EQ(createNamedMutex(u"TavilMutex").lastError, 0u);
    EXPECT_EQ(systemMetric(METRIC_SCREEN_WIDTH), 240) << "a QVGA screen";
    EXPECT_EQ(systemMetric(METRIC_SCREEN_HEIGHT), 320);
    EXPECT_EQ(systemMetric(METRIC_SMALL_ICON_WIDTH), 16);
    EXPECT_FALSE(fileExists(u"\\Windows\\StartUp\\Tavil.lnk"));
    EXPECT_EQ(startupPath(), u"\\Windows\\StartUp");
}

} // namespace
