// The parts of the simulated handheld that only it has: scripted message-box
// answers, the register log, its text conversions, its reading of the resource
// script and the memory its menus hold.

#include "platform/clock_hardware.h"
#include "platform/dialogs.h"
#include "platform/graphics.h"
#include "platform/live_objects.h"
#include "platform/menus.h"
#include "platform/message_box.h"
#include "platform/notification_icon.h"
#include "platform/sim/resource_script.h"
#include "platform/sim/sim_battery.h"
#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_graphics.h"
#include "platform/sim/sim_handheld.h"
#include "platform/sim/sim_menus.h"
#include "platform/sim/sim_windows.h"
#include "platform/sim/utf8.h"
#include "platform/windowing.h"
#include "tests/support/allocation_counter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

class SimHandheldTest : public ::testing::Test {
  protected:
    void SetUp() override { resetSimHandheld(SimProcessorKind::Pxa270); }
};

TEST_F(SimHandheldTest, MessageBoxesTakeScriptedAnswersThenTheirDefaultButton) {
    scriptMessageBoxAnswer(MB_ANSWER_YES);
    EXPECT_EQ(showMessageBox(u"Закрыть?", u"Закрытие процесса", MB_STYLE_YES_NO_QUESTION),
              MB_ANSWER_YES);
    EXPECT_EQ(showMessageBox(u"Ещё раз?", u"Закрытие процесса", MB_STYLE_YES_NO_EXCLAMATION),
              MB_ANSWER_NO);
    EXPECT_EQ(showMessageBox(u"Нет файла", u"Tavil", MB_STYLE_OK_STOP), MB_ANSWER_OK);
    ASSERT_EQ(simHandheld.messageBoxCount, 3);
    EXPECT_EQ(std::u16string(simHandheld.messageBoxes[0].text), u"Закрыть?");
    EXPECT_EQ(std::u16string(simHandheld.messageBoxes[1].caption), u"Закрытие процесса");
    EXPECT_EQ(simHandheld.messageBoxes[2].style, MB_STYLE_OK_STOP);
}

TEST_F(SimHandheldTest, TheMessageBoxLogCutsLongTextsAndCountsPastItsEnd) {
    const std::u16string longText(1000, u'ж');
    for (int i = 0; i < SIM_MESSAGE_BOX_LOG_CAPACITY + 3; ++i) {
        showMessageBox(longText.c_str(), u"Tavil", MB_STYLE_OK_STOP);
    }
    EXPECT_EQ(simHandheld.messageBoxCount, SIM_MESSAGE_BOX_LOG_CAPACITY + 3);
    EXPECT_EQ(std::u16string(simHandheld.messageBoxes[0].text), longText.substr(0, 255));
}

TEST_F(SimHandheldTest, AChangeSequenceMakesTheStoredCccrTakeEffect) {
    const CccrMapping mapping = mapCccrWindow();
    setKernelMode(true);
    storeCccr(mapping.window, 0x02000290);
    EXPECT_EQ(simProcessor.runningCccr, 0x02000210u); // stored, not yet in effect
    writeCclkcfg(0x8);                                // without FCS: no change
    EXPECT_EQ(simProcessor.runningCccr, 0x02000210u);
    writeCclkcfg(0xB);
    setKernelMode(false);
    releaseCccrWindow(mapping.window);
    EXPECT_EQ(simProcessor.runningCccr, 0x02000290u);
    EXPECT_EQ(simProcessor.cclkcfg, 0x9u); // FCS reads back as 0
    EXPECT_EQ(simProcessor.writeCount, 3);
}

TEST_F(SimHandheldTest, AnAccessThroughAReleasedWindowFaults) {
    const CccrMapping mapping = mapCccrWindow();
    releaseCccrWindow(mapping.window);
    auto readReleased = [&] { loadCccr(mapping.window); };
    EXPECT_FALSE(underFaultGuard(readReleased));
}

// Each failure switch makes its call fail, and only while it is set.
TEST_F(SimHandheldTest, EachFailureSwitchRefusesItsCall) {
    struct Row {
        const char* call;
        void (*set)(bool on);
        bool (*succeeds)();
    };
    static const std::uint8_t bits[32] = {};
    static const NotifyIconRecord record{NOTIFY_ICON_RECORD_SIZE,
                                         static_cast<WindowHandle>(7),
                                         1,
                                         NOTIFY_FLAG_ICON,
                                         0,
                                         IconHandle::None,
                                         {}};
    const Row rows[] = {
        {"setTimer", [](bool on) { simWindowing.faults.timerCreationFails = on; },
         [] {
             const WindowHandle window = createWindow(u"Tavil", u"Tavil", 0, ModuleHandle{});
             const bool made = setTimer(window, 1, 1000);
             destroyWindow(window);
             return made;
         }},
        {"createBitmap", [](bool on) { simHandheld.graphics.bitmapCreationFails = on; },
         [] {
             const BitmapHandle bitmap = createBitmap(16, 16, 1, bits);
             deleteBitmap(bitmap);
             return bitmap != BitmapHandle::None;
         }},
        {"loadApplicationIcon", [](bool on) { simHandheld.graphics.iconCreationFails = on; },
         [] {
             const IconHandle icon = loadApplicationIcon(ModuleHandle{}, 16);
             destroyIcon(icon);
             return icon != IconHandle::None;
         }},
        {"a full graphics heap", [](bool on) { simHandheld.graphics.liveObjectLimit = on ? 1 : 0; },
         [] {
             const BitmapHandle first = createBitmap(16, 16, 1, bits);
             const BitmapHandle second = createBitmap(16, 16, 1, bits);
             deleteBitmap(first);
             deleteBitmap(second);
             return second != BitmapHandle::None;
         }},
        {"addNotifyIcon", [](bool on) { simNotificationArea.addFails = on; },
         [] {
             const bool added = addNotifyIcon(record);
             deleteNotifyIcon(record);
             return added;
         }},
        {"modifyNotifyIcon", [](bool on) { simNotificationArea.modifyFails = on; },
         [] {
             addNotifyIcon(record);
             const bool modified = modifyNotifyIcon(record);
             deleteNotifyIcon(record);
             return modified;
         }},
    };
    registerWindowClass(WindowClassRecord{0, defaultWindowProcedure, ModuleHandle{}, 0, u"Tavil"});
    for (const Row& row : rows) {
        row.set(true);
        EXPECT_FALSE(row.succeeds()) << row.call;
        row.set(false);
        EXPECT_TRUE(row.succeeds()) << row.call;
    }
    EXPECT_EQ(livePlatformObjects().bitmaps + livePlatformObjects().icons, 0);
}

// The end of the program's process takes back what it held, not the failures
// that the handheld was told to make.
TEST_F(SimHandheldTest, FailuresOutlastTheProgramsProcess) {
    simWindowing.faults = SimWindowingFaults{true, true};
    simMutexes.creationFails = true;
    simNotificationArea.modifyFails = true;
    simEndProgramProcess();
    EXPECT_TRUE(simWindowing.faults.timerCreationFails);
    EXPECT_TRUE(simWindowing.faults.windowCreationFails);
    EXPECT_TRUE(simMutexes.creationFails);
    EXPECT_TRUE(simNotificationArea.modifyFails);
}

TEST_F(SimHandheldTest, ADestroyedMenuGivesBackItsMemoryAndItsHandlesStayDead) {
    const MenuHandle first = loadMenuResource(ModuleHandle::None, 100);
    const MenuHandle firstPopup = subMenu(first, 0);
    ASSERT_NE(firstPopup, MenuHandle::None);
    destroyMenu(first);
    const std::size_t blocks = heapBlocksInUse();
    for (int i = 0; i < 100; ++i) {
        destroyMenu(loadMenuResource(ModuleHandle::None, 100));
    }
    EXPECT_EQ(heapBlocksInUse(), blocks);

    const MenuHandle next = loadMenuResource(ModuleHandle::None, 100);
    const MenuHandle nextPopup = subMenu(next, 0);
    for (const MenuHandle stale : {first, firstPopup}) {
        EXPECT_EQ(menuItemCount(stale), -1);
        EXPECT_EQ(subMenu(stale, 0), MenuHandle::None);
        EXPECT_EQ(simMenuText(stale), "");
        EXPECT_NE(stale, next);
        EXPECT_NE(stale, nextPopup);
    }
    EXPECT_EQ(livePlatformObjects().menus, 1);
    destroyMenu(nextPopup); // before the menu that holds it
    EXPECT_EQ(menuItemCount(nextPopup), -1);
    EXPECT_EQ(simMenuText(next), "\"Tavil\" >\n") << "a destroyed submenu shows no entries";
    destroyMenu(next);
    destroyMenu(next);
    EXPECT_EQ(livePlatformObjects().menus, 0);
    EXPECT_EQ(heapBlocksInUse(), blocks);
}

// A class name is kept whole or not at all, no name or title finds no window,
// and a window's text is handed out cut to the buffer, a buffer of no
// characters getting nothing.
TEST_F(SimHandheldTest, ClassNamesFitWholeAndWindowTextsAreCutToTheBuffer) {
    const std::u16string longest(SIM_NAME_CAPACITY - 1, u'c');
    const std::u16string tooLong(SIM_NAME_CAPACITY, u'c');
    const auto classNamed = [](const char16_t* name) {
        return WindowClassRecord{0, defaultWindowProcedure, ModuleHandle::None, 0, name};
    };
    EXPECT_FALSE(registerWindowClass(classNamed(nullptr)));
    EXPECT_FALSE(registerWindowClass(classNamed(tooLong.c_str())));
    ASSERT_TRUE(registerWindowClass(classNamed(longest.c_str())));

    const WindowHandle window = createWindow(longest.c_str(), u"Частота", 0, ModuleHandle::None);
    ASSERT_NE(window, WindowHandle::None);
    EXPECT_EQ(findWindow(longest.c_str(), u"Частота"), window);
    EXPECT_EQ(findWindow(nullptr, u"Частота"), WindowHandle::None);
    EXPECT_EQ(findWindow(longest.c_str(), nullptr), WindowHandle::None);

    char16_t text[4] = {u'x', u'x', u'x', u'x'};
    EXPECT_EQ(windowText(window, text, 4), 3u);
    EXPECT_EQ(std::u16string(text), u"Час");
    text[0] = u'x';
    EXPECT_EQ(windowText(window, text, 0), 0u);
    EXPECT_EQ(text[0], u'x');
    destroyWindow(window);
}

// MENU 1 with submenus nested `depth` deep, its own entries at depth 1, and
// command 7 at the bottom.
std::string nestedMenuScript(int depth) {
    std::string script = "1 MENU\nBEGIN\n";
    for (int level = 1; level < depth; ++level) {
        script += "POPUP \"p\"\nBEGIN\n";
    }
    script += "MENUITEM \"x\", 7\n";
    for (int level = 0; level < depth; ++level) {
        script += "END\n";
    }
    return script;
}

TEST(ResourceScript, SubmenusNestNoDeeperThanTheLimit) {
    struct Case {
        int depth;
        bool parses;
    };
    const Case cases[] = {
        {1, true},
        {SCRIPT_MENU_DEPTH_LIMIT, true},
        {SCRIPT_MENU_DEPTH_LIMIT + 1, false},
        {100000, false},
    };
    for (const Case& c : cases) {
        std::vector<ScriptMenuEntry> entries;
        EXPECT_EQ(parseScriptMenu(1, entries, nestedMenuScript(c.depth).c_str()), c.parses)
            << c.depth;
        if (!c.parses) {
            continue;
        }
        int depth = 1;
        const std::vector<ScriptMenuEntry>* level = &entries;
        for (; level->size() == 1 && level->front().kind == ScriptMenuEntry::Kind::Submenu;
             level = &level->front().entries) {
            ++depth;
        }
        EXPECT_EQ(depth, c.depth);
        ASSERT_EQ(level->size(), 1u);
        EXPECT_EQ(level->front().id, 7u);
    }
}

TEST(ResourceScript, ANumberThatIsMissingOrNeedsMoreThanThirtyTwoBitsFailsTheParse) {
    struct DialogCase {
        const char* dialogStyle;
        const char* controlStyle;
        const char* height; // the statement's last number
        bool parses;
        std::uint32_t parsedStyle;
        int parsedHeight;
    };
    const DialogCase dialogCases[] = {
        {"0x80C00A40", "0x50020000", "9", true, 0x50020000, 9},
        {"0x80C00A40", "0XFFFFFFFF", "-3", true, 0xFFFFFFFF, -3},
        {"0x80C00A40", "4294967295", "-2147483648", true, 0xFFFFFFFF, INT32_MIN},
        {"0x80C00A40", "0x50020000", "2147483647", true, 0x50020000, INT32_MAX},
        {"0x80C00A40", "0x50020000", "-9223372036854775808", false, 0, 0},
        {"0x80C00A40", "0x50020000", "-2147483649", false, 0, 0},
        {"0x80C00A40", "0x50020000", "4294967296", false, 0, 0},
        {"0x80C00A40", "0x50020000", "18446744073709551617", false, 0, 0},
        {"0x80C00A40", "0x50020000", "x", false, 0, 0},
        {"0x80C00A40", "0x100000000", "9", false, 0, 0},
        {"0x180C00A40", "0x50020000", "9", false, 0, 0},
    };
    for (const DialogCase& c : dialogCases) {
        const std::string script = std::string("5 DIALOG 0, 0, 90, 108\nSTYLE ") + c.dialogStyle +
                                   "\nBEGIN\n    CONTROL \"\", 1001, \"STATIC\", " +
                                   c.controlStyle + ", 53, 2, 37, " + c.height + "\nEND\n";
        ScriptDialog dialog{};
        EXPECT_EQ(parseScriptDialog(5, dialog, script.c_str()), c.parses) << script;
        if (c.parses) {
            ASSERT_EQ(dialog.controls.size(), 1u);
            EXPECT_EQ(dialog.controls[0].style, c.parsedStyle) << script;
            EXPECT_EQ(dialog.controls[0].height, c.parsedHeight) << script;
        }
    }

    struct MenuCase {
        const char* id;
        bool parses;
    };
    const MenuCase menuCases[] = {
        {"4294967295", true},
        {"4294967296", false},
        {"18446744073709551617", false},
    };
    for (const MenuCase& c : menuCases) {
        const std::string script =
            std::string("1 MENU\nBEGIN\n    MENUITEM \"x\", ") + c.id + "\nEND\n";
        std::vector<ScriptMenuEntry> entries;
        EXPECT_EQ(parseScriptMenu(1, entries, script.c_str()), c.parses) << c.id;
        if (c.parses) {
            ASSERT_EQ(entries.size(), 1u);
            EXPECT_EQ(entries[0].id, 0xFFFFFFFFu);
        }
    }
}

TEST(Utf8, ConvertsBothWaysAndCutsAtWholeCharacters) {
    const char* text = "МГц \xF0\x9F\x94\x8B!";
    char16_t wide[16];
    EXPECT_EQ(utf8ToUtf16(text, text + std::strlen(text), wide, 16), 7u);
    EXPECT_EQ(std::u16string(wide), u"МГц \U0001F50B!");
    char narrow[16];
    EXPECT_EQ(utf16ToUtf8(wide, narrow, sizeof narrow), std::strlen(text));
    EXPECT_STREQ(narrow, text);

    EXPECT_EQ(utf16ToUtf8(u"МГц", narrow, 6), 4u); // "Ц" would need two more bytes
    EXPECT_STREQ(narrow, "МГ");
    EXPECT_EQ(utf8ToUtf16(text, text + std::strlen(text), wide, 6), 4u); // the pair won't fit
    EXPECT_EQ(std::u16string(wide), u"МГц ");
}

TEST(Utf8, MalformedInputBecomesReplacementCharacters) {
    const char bad[] = "a\xC3(\xFF";
    char16_t wide[8];
    utf8ToUtf16(bad, bad + 5, wide, 8);
    EXPECT_EQ(std::u16string(wide), u"a\uFFFD(\uFFFD"); // "(" is no continuation byte
    char narrow[8];
    utf16ToUtf8(u"\xD800x", narrow, sizeof narrow); // a lone surrogate
    EXPECT_STREQ(narrow, "\xEF\xBF\xBDx");
}

} // namespace

namespace {

// The battery steps once a minute of the handheld's time.
TEST(SimBattery, DischargesOnBatteryAndChargesOnMains) {
    struct Row {
        std::uint8_t acLine;
        std::uint8_t percent;
        std::uint8_t flag;
        std::uint64_t minutes;
        std::uint8_t percentAfter;
        std::uint8_t flagAfter;
        std::int32_t currentAfter;
    };
    constexpr Row rows[] = {
        {0, 87, 1, 2, 85, 1, -210},   {0, 21, 1, 2, 19, 2, -210},     {0, 5, 2, 3, 2, 4, -210},
        {0, 1, 4, 5, 0, 4, -210},     {1, 97, 1, 2, 99, 8, 450},      {1, 99, 8, 3, 100, 1, 0},
        {0, 255, 1, 9, 255, 1, -210}, {0, 50, 128, 9, 50, 128, -210},
    };
    for (const Row& row : rows) {
        resetSimHandheld(SimProcessorKind::Pxa270);
        simHandheld.power.acLineStatus = row.acLine;
        simHandheld.power.batteryLifePercent = row.percent;
        simHandheld.power.batteryFlag = row.flag;
        simAdvanceClock(row.minutes * 60000 + 59999); // not yet one minute more
        EXPECT_EQ(simHandheld.power.batteryLifePercent, row.percentAfter) << int(row.percent);
        EXPECT_EQ(simHandheld.power.batteryFlag, row.flagAfter) << int(row.percent);
        EXPECT_EQ(simHandheld.power.batteryCurrent, row.currentAfter) << int(row.percent);
    }
}

// The system's copy of the battery figures: taken at switch-on, at each poll of
// the battery driver (every five seconds of the clock) and by every fresh query
// that succeeds, and given to every query that is not fresh.
TEST(SimBattery, CachedFiguresAreWhatTheDriverOrTheLastGoodFreshQuerySaw) {
    struct Step {
        const char* what;
        std::uint8_t percentNow; // what the driver would read
        std::uint64_t msLater;
        bool fails;
        bool fresh;
        std::uint8_t percentGiven;
    };
    constexpr Step steps[] = {
        {"at switch-on", 60, 0, false, false, 87},
        {"just before the driver's first poll", 60, 4999, false, false, 87},
        {"at the driver's poll, five seconds on", 60, 1, false, false, 60},
        {"until the next poll", 40, 4999, false, false, 60},
        {"at the next poll", 40, 1, false, false, 40},
        {"a fresh query reads the driver at once", 30, 0, false, true, 30},
        {"a failed fresh query", 20, 0, true, true, 0},
        {"after the failure, before a poll", 20, 0, false, false, 30},
    };
    resetSimHandheld(SimProcessorKind::Pxa270);
    simHandheld.power.acLineStatus = 255; // unknown: the charge stays as set
    for (const Step& step : steps) {
        simHandheld.power.batteryLifePercent = step.percentNow;
        simAdvanceClock(step.msLater);
        simHandheld.powerQueryFails = step.fails;
        EXPECT_EQ(queryPowerStatus(step.fresh).batteryLifePercent, step.percentGiven) << step.what;
    }
}

// Plugging the charger in or pulling it changes the current's sign at once.
TEST(SimBattery, ExternalPowerTurnsTheCurrentAtOnce) {
    struct Row {
        bool plugged;
        std::uint8_t percent;
        std::uint8_t flag;
        std::uint8_t flagAfter;
        std::int32_t currentAfter;
    };
    constexpr Row rows[] = {
        {true, 87, 1, 8, 450},      {true, 100, 1, 1, 0},    {false, 87, 8, 1, -210},
        {false, 19, 8, 2, -210},    {false, 4, 8, 4, -210},  {false, 5, 8, 2, -210},
        {true, 50, 128, 128, -210}, {false, 255, 8, 8, 450},
    };
    for (const Row& row : rows) {
        resetSimHandheld(SimProcessorKind::Pxa270);
        simHandheld.power.batteryLifePercent = row.percent;
        simHandheld.power.batteryFlag = row.flag;
        simHandheld.power.batteryCurrent = row.plugged ? -210 : 450;
        simSetExternalPower(row.plugged);
        EXPECT_EQ(simHandheld.power.acLineStatus, row.plugged ? 1 : 0);
        EXPECT_EQ(simHandheld.power.batteryFlag, row.flagAfter) << int(row.percent);
        EXPECT_EQ(simHandheld.power.batteryCurrent, row.currentAfter) << int(row.percent);
    }
}

} // namespace
