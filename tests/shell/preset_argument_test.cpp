#include "shell/preset_argument.h"

#include <gtest/gtest.h>

namespace {

TEST(PresetArgument, TheHighestDigitNamedWins) {
    struct Row {
        const char16_t* commandLine;
        int preset;
    };
    constexpr Row rows[] = {
        {u"", -1},     {nullptr, -1}, {u"#3", 3},         {u"\"#2\" then #7", 7},
        {u"#7 #2", 7}, // the order of the tests decides, not the order in the text
        {u"#10", 1},   // holds #1, not #0
        {u"#0", 0},    {u"#9", 9},    {u"# 5 #x 5#", -1}, {u"-preset 5", -1},
        {u"##4", 4},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(parsePresetIndex(row.commandLine), row.preset);
    }
}

} // namespace
