// Windows, messages, the loop, timers and the idle counter, as the main window
// relies on them, checked on every platform.

#include "platform/system_metrics.h"
#include "platform/windowing.h"
#include "tests/platform/contract_time.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<std::uint32_t> received; // messages of interest, in the order they came
WindowHandle created = WindowHandle::None;

constexpr std::uint32_t TEST_MESSAGE = 0x0401;
constexpr std::uint32_t QUIT_AFTER_TIMER = 0x0402;

std::intptr_t recordingProcedure(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                 std::intptr_t lParam) {
    switch (message) {
    case WM_CREATE_MESSAGE:
        created = window;
        received.push_back(message);
        return 0;
    case WM_DESTROY_MESSAGE:
    case TEST_MESSAGE:
        received.push_back(message);
        return 0;
    case WM_TIMER_MESSAGE:
        received.push_back(message);
        postQuitMessage(7);
        return 0;
    default:
        return defaultWindowProcedure(window, message, wParam, lParam);
    }
}

void runUntilQuit() {
    WindowMessage message{};
    while (getMessage(message)) {
        translateMessage(message);
        dispatchMessage(message);
    }
}

class WindowingContract : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(registerWindowClass(WindowClassRecord{3, recordingProcedure, ModuleHandle::None,
                                                          0x40000011, u"TavilContractWindow"}));
    }
    void SetUp() override { received.clear(); }
    static WindowHandle open(const char16_t* title) {
        return createWindow(u"TavilContractWindow", title, 0, ModuleHandle::None);
    }
};

TEST_F(WindowingContract, TheCreateMessageArrivesBeforeTheWindowIsHandedBack) {
    const WindowHandle window = open(u"First");
    ASSERT_NE(window, WindowHandle::None);
    EXPECT_EQ(created, window);
    EXPECT_EQ(received, std::vector<std::uint32_t>{WM_CREATE_MESSAGE});
    EXPECT_EQ(findWindow(u"TavilContractWindow", u"First"), window);
    EXPECT_EQ(findWindow(u"TavilContractWindow", u"Nobody"), WindowHandle::None);
    EXPECT_TRUE(destroyWindow(window));
    EXPECT_EQ(received.back(), WM_DESTROY_MESSAGE);
    EXPECT_EQ(findWindow(u"TavilContractWindow", u"First"), WindowHandle::None);
}

TEST_F(WindowingContract, PostedMessagesComeInOrderThenTheTimerThenTheQuit) {
    const WindowHandle window = open(u"Second");
    ASSERT_TRUE(setTimer(window, 1, 50));
    ASSERT_TRUE(postMessage(window, TEST_MESSAGE, 1, 2));
    ASSERT_TRUE(postMessage(window, TEST_MESSAGE, 3, 4));
    allowTimeToPass(200);
    runUntilQuit();
    EXPECT_EQ(received, (std::vector<std::uint32_t>{WM_CREATE_MESSAGE, TEST_MESSAGE, TEST_MESSAGE,
                                                    WM_TIMER_MESSAGE}));
    destroyWindow(window);
}

TEST_F(WindowingContract, TheDefaultHandlingOfCloseDestroysTheWindow) {
    const WindowHandle window = open(u"Third");
    EXPECT_EQ(defaultWindowProcedure(window, WM_CLOSE_MESSAGE, 0, 0), 0);
    EXPECT_EQ(received.back(), WM_DESTROY_MESSAGE);
    EXPECT_FALSE(postMessage(window, TEST_MESSAGE, 0, 0)) << "the window is gone";
}

TEST_F(WindowingContract, AClassIsRegisteredOnce) {
    EXPECT_FALSE(registerWindowClass(WindowClassRecord{3, recordingProcedure, ModuleHandle::None,
                                                       0x40000011, u"TavilContractWindow"}));
}

TEST(IdleTimeContract, TheIdleCounterIsKept) {
    const std::uint32_t idle = idleTime();
    EXPECT_NE(idle, 0u);
    EXPECT_NE(idle, 0xFFFFFFFFu);
}

} // namespace
