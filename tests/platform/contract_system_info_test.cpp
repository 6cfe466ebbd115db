// What the information dialogs rely on from the system facts, checked on every
// platform: plausible numbers, and processor texts that end within their fields.

#include "platform/system_info.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

namespace {

constexpr std::int32_t LONGEST_BIAS_MINUTES = 14 * 60;

template <std::size_t Capacity> bool terminated(const char16_t (&field)[Capacity]) {
    return std::find(std::begin(field), std::end(field), u'\0') != std::end(field);
}

TEST(SystemInfoContract, TheVersionIsAtLeastWindowsCe4) {
    EXPECT_GE(osVersion().major, 4u);
}

TEST(SystemInfoContract, CodePagesAndLanguagesAreSet) {
    EXPECT_NE(oemCodePage(), 0u);
    EXPECT_NE(ansiCodePage(), 0u);
    const std::uint32_t languages[] = {defaultLanguageId(), userInterfaceLanguageId()};
    for (const std::uint32_t language : languages) {
        EXPECT_NE(language, 0u);
        EXPECT_LE(language, 0xFFFFu);
    }
}

TEST(SystemInfoContract, TheTimeZoneIsWithinFourteenHoursOfUtc) {
    EXPECT_GE(timeZoneBias(), -LONGEST_BIAS_MINUTES);
    EXPECT_LE(timeZoneBias(), LONGEST_BIAS_MINUTES);
}

TEST(SystemInfoContract, ProcessorTextsEndWithinTheirFields) {
    const ProcessorInformation processor = queryProcessorInformation();
    EXPECT_TRUE(terminated(processor.core));
    EXPECT_TRUE(terminated(processor.name));
    EXPECT_TRUE(terminated(processor.vendor));
}

} // namespace
