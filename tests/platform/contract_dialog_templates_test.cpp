// The information dialogs' templates as each platform reads the program's
// resources: frame, caption, font and every control where the dialogs expect
// it. The Windows side reads what the resource compiler made of the script,
// the simulated handheld the script itself.

#include "tests/platform/dialog_templates.h"

#include <gtest/gtest.h>

namespace {

void expectControl(const TemplateControl& read, const ExpectedControl& expected) {
    if (expected.text != nullptr) {
        EXPECT_EQ(read.text, expected.text);
    }
    EXPECT_EQ(read.id, expected.id);
    EXPECT_EQ(read.className, u"STATIC");
    EXPECT_EQ(read.style, expected.style);
    EXPECT_EQ(read.x, expected.x);
    EXPECT_EQ(read.y, expected.y);
    EXPECT_EQ(read.width, expected.width);
    EXPECT_EQ(read.height, expected.height);
}

TEST(DialogTemplatesContract, EachDialogHasItsFrameFontAndControls) {
    for (const ExpectedDialog& expected : INFO_DIALOG_TEMPLATES) {
        SCOPED_TRACE(testing::Message() << "template " << expected.id);
        DialogTemplate read;
        ASSERT_TRUE(readDialogTemplate(expected.id, read));
        EXPECT_EQ(read.width, expected.width);
        EXPECT_EQ(read.height, expected.height);
        EXPECT_EQ(read.style, DIALOG_STYLE);
        EXPECT_EQ(read.exStyle, DIALOG_EX_STYLE);
        EXPECT_EQ(read.caption, expected.caption);
        EXPECT_EQ(read.fontName, u"Tahoma");
        EXPECT_EQ(read.fontSize, expected.fontSize);
        ASSERT_EQ(read.controls.size(), expected.controls.size());
        for (std::size_t i = 0; i < expected.controls.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "control " << i);
            expectControl(read.controls[i], expected.controls[i]);
        }
    }
}

} // namespace
