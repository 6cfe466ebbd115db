// A message box without owner and a popup menu keep delivering the program's
// posted messages while they wait for the user, on every platform: the program
// must expect its handlers to run in the middle of a question or a menu.

#include "platform/menus.h"
#include "platform/message_box.h"
#include "platform/windowing.h"
#include "tests/platform/contract_modal.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t PROBE_MESSAGE = 0x400 + 100;
constexpr std::uintptr_t END_MESSAGE_BOX = 1;
constexpr std::uintptr_t END_MENU = 2;

int probesDelivered = 0;

std::intptr_t probeWindow(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                          std::intptr_t lParam) {
    if (message != PROBE_MESSAGE) {
        return defaultWindowProcedure(window, message, wParam, lParam);
    }
    ++probesDelivered;
    if (wParam == END_MESSAGE_BOX) {
        answerOpenMessageBoxNo();
    } else {
        closeOpenPopupMenu();
    }
    return 0;
}

WindowHandle makeProbeWindow() {
    registerWindowClass(
        WindowClassRecord{0, probeWindow, ModuleHandle::None, 0, u"ContractModalProbe"});
    return createWindow(u"ContractModalProbe", u"Probe", 0, ModuleHandle::None);
}

TEST(ModalLoopsContract, AMessageBoxDeliversMessagesPostedBeforeItWasShown) {
    const WindowHandle window = makeProbeWindow();
    ASSERT_NE(window, WindowHandle::None);
    probesDelivered = 0;
    postMessage(window, PROBE_MESSAGE, END_MESSAGE_BOX, 0);
    EXPECT_EQ(showMessageBox(u"Contract", u"Contract", MB_STYLE_YES_NO_QUESTION), MB_ANSWER_NO);
    EXPECT_EQ(probesDelivered, 1);
    destroyWindow(window);
}

TEST(ModalLoopsContract, APopupMenuDeliversMessagesPostedBeforeItWasShown) {
    const WindowHandle window = makeProbeWindow();
    const MenuHandle menu = loadMenuResource(ModuleHandle::None, 100);
    ASSERT_NE(menu, MenuHandle::None);
    probesDelivered = 0;
    postMessage(window, PROBE_MESSAGE, END_MENU, 0);
    trackPopupMenu(subMenu(menu, 0), 200, 200, window);
    EXPECT_EQ(probesDelivered, 1);
    destroyMenu(menu);
    destroyWindow(window);
}

} // namespace
