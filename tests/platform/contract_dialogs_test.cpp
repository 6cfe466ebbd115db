// Dialogs from the program's templates, as the information dialogs rely on
// them, checked on every platform.

#include "platform/dialogs.h"
#include "platform/sounds.h"

#include <gtest/gtest.h>

#include <string>

namespace {

WindowHandle initialised = WindowHandle::None;
int commands = 0;

std::intptr_t recordingDialog(WindowHandle dialog, std::uint32_t message, std::uintptr_t,
                              std::intptr_t lParam) {
    if (message == WM_INITDIALOG_MESSAGE) {
        initialised = dialog;
        return lParam == 0 ? 1 : 0; // the program passes no creation parameter
    }
    if (message == WM_COMMAND_MESSAGE) {
        ++commands;
        return 1;
    }
    return 0;
}

std::u16string textOf(WindowHandle window) {
    char16_t text[128];
    windowText(window, text, 128);
    return text;
}

TEST(DialogsContract, ATemplateBecomesADialogWithItsCaptionAndFields) {
    const WindowHandle dialog = createDialogFromResource(ModuleHandle::None, 100, recordingDialog);
    ASSERT_NE(dialog, WindowHandle::None);
    EXPECT_EQ(initialised, dialog) << "initialised before it was handed back";
    EXPECT_EQ(textOf(dialog), u"Процессор");
    const WindowHandle maker = dialogItem(dialog, 1001);
    ASSERT_NE(maker, WindowHandle::None);
    EXPECT_EQ(textOf(maker), u"") << "value fields start empty";
    setWindowText(maker, u"Intel");
    EXPECT_EQ(textOf(maker), u"Intel");
    EXPECT_EQ(dialogItem(dialog, 1013) != WindowHandle::None, true);
    EXPECT_EQ(dialogItem(dialog, 1014), WindowHandle::None);
    bringWindowToFront(dialog);
    endDialog(dialog, 1);
    EXPECT_EQ(dialogItem(dialog, 1001), WindowHandle::None) << "the dialog is gone";
}

TEST(DialogsContract, EveryTemplateExistsAndAMissingOneGivesNone) {
    const std::pair<unsigned, const char16_t*> templates[] = {{100, u"Процессор"},
                                                              {101, u"Питание"},
                                                              {102, u"Система"},
                                                              {103, u"Память"},
                                                              {104, u"О программе"}};
    for (const auto& [id, caption] : templates) {
        const WindowHandle dialog =
            createDialogFromResource(ModuleHandle::None, id, recordingDialog);
        ASSERT_NE(dialog, WindowHandle::None) << id;
        EXPECT_EQ(textOf(dialog), caption);
        endDialog(dialog, 1);
    }
    EXPECT_EQ(createDialogFromResource(ModuleHandle::None, 105, recordingDialog),
              WindowHandle::None);
}

TEST(DialogsContract, CommandsReachTheDialogThroughTheMessageLoop) {
    const WindowHandle dialog = createDialogFromResource(ModuleHandle::None, 104, recordingDialog);
    commands = 0;
    postMessage(dialog, WM_COMMAND_MESSAGE, DIALOG_OK, 0);
    postQuitMessage(0);
    WindowMessage message{};
    while (getMessage(message)) {
        dispatchMessage(message);
    }
    EXPECT_EQ(commands, 1);
    endDialog(dialog, 1);
    informationSound();
}

} // namespace
