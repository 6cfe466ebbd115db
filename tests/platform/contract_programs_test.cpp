// What the logic relies on from shortcuts, deleting files and starting
// programs, checked on every platform.

#include "platform/files.h"
#include "platform/programs.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr std::size_t PATH_CAPACITY = 260;
constexpr const char16_t* TARGET = u"\\Windows\\Tavil.exe";

std::u16string startupShortcut() {
    char16_t folder[PATH_CAPACITY];
    EXPECT_TRUE(specialFolderPath(FOLDER_STARTUP, folder, PATH_CAPACITY));
    return std::u16string(folder) + u"\\TavilContractTest.lnk";
}

TEST(ProgramsContract, AShortcutInTheStartupFolderIsThereUntilDeleted) {
    const std::u16string shortcut = startupShortcut();
    ASSERT_TRUE(createShortcut(shortcut.c_str(), TARGET));
    EXPECT_TRUE(fileExists(shortcut.c_str()));
    EXPECT_TRUE(deleteFile(shortcut.c_str()));
    EXPECT_FALSE(fileExists(shortcut.c_str()));
    EXPECT_FALSE(deleteFile(shortcut.c_str())) << "nothing left to delete";
}

TEST(ProgramsContract, WithoutAPathOrTargetNothingIsMadeOrDeleted) {
    const std::u16string shortcut = startupShortcut();
    EXPECT_FALSE(createShortcut(nullptr, TARGET));
    EXPECT_FALSE(createShortcut(u"", TARGET));
    EXPECT_FALSE(createShortcut(shortcut.c_str(), nullptr));
    EXPECT_FALSE(createShortcut(shortcut.c_str(), u""));
    EXPECT_FALSE(fileExists(shortcut.c_str()));
    EXPECT_FALSE(deleteFile(nullptr));
    EXPECT_FALSE(deleteFile(u""));
}

TEST(ProgramsContract, AProgramThatIsNotThereDoesNotStart) {
    EXPECT_FALSE(startProgram(u"TavilContractTest-absent.exe", u"file:tavil.htm"));
    EXPECT_FALSE(startProgram(nullptr, u"file:tavil.htm"));
    EXPECT_FALSE(startProgram(u"", u"file:tavil.htm"));
}

} // namespace
