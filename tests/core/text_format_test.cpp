#include "core/text_format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace {

std::u16string format(const char16_t* pattern, std::initializer_list<FormatArgument> arguments) {
    char16_t buffer[128];
    const std::size_t length = formatText(buffer, pattern, arguments);
    EXPECT_EQ(length, std::u16string(buffer).size());
    return buffer;
}

TEST(TextFormat, Conversions) {
    EXPECT_EQ(format(u"%d МГц", {416}), u"416 МГц");
    EXPECT_EQ(format(u"%d", {-17}), u"-17");
    EXPECT_EQ(format(u"%d", {std::numeric_limits<std::int32_t>::min()}), u"-2147483648");
    EXPECT_EQ(format(u"%d", {0xFFFFFFFFu}), u"-1"); // 32 bits read as signed
    EXPECT_EQ(format(u"0x%X", {0x69054117u}), u"0x69054117");
    EXPECT_EQ(format(u"%X", {0u}), u"0");
    EXPECT_EQ(format(u"%X", {-1}), u"FFFFFFFF");
    EXPECT_EQ(format(u"%s (%d)", {u"Tavil.exe", 3}), u"Tavil.exe (3)");
    EXPECT_EQ(format(u"%d%d%d", {4, 1, 0}), u"410");
    EXPECT_EQ(format(u"%d%%", {75}), u"75%");
    EXPECT_EQ(format(u"100%%", {}), u"100%");
}

TEST(TextFormat, FixedPointRoundsHalfAwayFromZero) {
    EXPECT_EQ(format(u"%.1f", {3.75}), u"3.8");
    EXPECT_EQ(format(u"%.1f", {-3.75}), u"-3.8");
    EXPECT_EQ(format(u"%.2f В", {4.005}), u"4.01 В"); // 4.005 is stored a hair above
    EXPECT_EQ(format(u"%.2f", {0.0}), u"0.00");
    EXPECT_EQ(format(u"%.2f", {12.5}), u"12.50");
    EXPECT_EQ(format(u"%.1f", {0.04}), u"0.0");
    EXPECT_EQ(format(u"%.1f", {1e300}), u"inf");
    EXPECT_EQ(format(u"%.1f", {-std::numeric_limits<double>::infinity()}), u"-inf");
    EXPECT_EQ(format(u"%.1f", {std::numeric_limits<double>::quiet_NaN()}), u"nan");
}

TEST(TextFormat, ConversionsWithoutAMatchingArgumentStandAsWritten) {
    EXPECT_EQ(format(u"%d МГц", {}), u"%d МГц");
    EXPECT_EQ(format(u"%d and %s", {u"text", u"second"}), u"%d and second");
    EXPECT_EQ(format(u"%.1f", {5}), u"%.1f");
    EXPECT_EQ(format(u"%q %.3f %", {}), u"%q %.3f %");
    EXPECT_EQ(format(u"%s", {static_cast<const char16_t*>(nullptr)}), u"");
}

TEST(TextFormat, NeverWritesPastTheBufferAndAlwaysTerminates) {
    char16_t buffer[8];
    for (char16_t& c : buffer) {
        c = u'#';
    }
    EXPECT_EQ(formatText(buffer, 6, u"%d МГц", {123456}), 5u);
    EXPECT_EQ(std::u16string(buffer), u"12345");
    EXPECT_EQ(buffer[6], u'#');

    buffer[1] = u'#';
    EXPECT_EQ(formatText(buffer, 1, u"abc", {}), 0u);
    EXPECT_EQ(buffer[0], u'\0');
    EXPECT_EQ(buffer[1], u'#');
    EXPECT_EQ(formatText(buffer, 0, u"abc", {}), 0u);
    EXPECT_EQ(buffer[0], u'\0');

    char16_t full[128];
    const std::u16string longName(300, u'я');
    EXPECT_EQ(formatText(full, u"%s (%d)", {longName.c_str(), 7}), 127u);
    EXPECT_EQ(std::u16string(full), longName.substr(0, 127));
}

} // namespace
