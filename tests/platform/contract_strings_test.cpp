// The program's string table, as each platform loads it from the resource script.

#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::u16string NO_ACCESS_TEXT =
    u"Программа не может получить доступа к управлению. Работа будет продолжена в режиме с "
    u"ограниченной функциональностью.";

TEST(StringsContract, StringOneIsTheNoAccessMessage) {
    char16_t buffer[128];
    EXPECT_EQ(loadStringResource(1, buffer, 128), NO_ACCESS_TEXT.size());
    EXPECT_EQ(std::u16string(buffer), NO_ACCESS_TEXT);
}

TEST(StringsContract, ALongStringIsCutToTheBuffer) {
    char16_t buffer[12];
    buffer[11] = u'#';
    EXPECT_EQ(loadStringResource(1, buffer, 10), 9u);
    EXPECT_EQ(std::u16string(buffer), NO_ACCESS_TEXT.substr(0, 9));
    EXPECT_EQ(buffer[11], u'#');
}

TEST(StringsContract, AnAbsentStringIsEmpty) {
    char16_t buffer[16] = u"previous";
    EXPECT_EQ(loadStringResource(999, buffer, 16), 0u);
    EXPECT_EQ(buffer[0], u'\0');
}

} // namespace
