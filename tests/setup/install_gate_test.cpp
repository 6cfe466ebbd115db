// The install gate on the simulated handheld: the screen is checked first, then
// the exact version; one message at most, in Russian or English.

#include "setup/install_gate.h"

#include "platform/message_box.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_system_info.h"
#include "tests/support/sim_test_fixture.h"

#include <cstdint>
#include <string>

namespace {

constexpr char16_t DISPLAY_KEY[] = u"Drivers\\Display\\GPE";
constexpr std::uint32_t REG_DWORD = 4;

constexpr OsVersion WM5 = {5, 1, 14847};
constexpr OsVersion WM2003SE = {4, 21, 1088};
constexpr OsVersion WM2003 = {4, 20, 1081};
constexpr OsVersion WM6 = {5, 2, 1235};

constexpr char16_t RUSSIAN_SCREEN[] = u"Программа рассчитана на VGA экран (192 dpi).";
constexpr char16_t RUSSIAN_WM5[] = u"Программа рассчитана на Windows Mobile 5.0.";
constexpr char16_t RUSSIAN_WM2003SE[] = u"Программа рассчитана на Windows Mobile 2003 SE.";
constexpr char16_t RUSSIAN_OTHER[] = u"Программа рассчитана на другую версию Windows Mobile.";
constexpr char16_t ENGLISH_SCREEN[] = u"This program needs a VGA screen (192 dpi).";
constexpr char16_t ENGLISH_WM5[] = u"This program needs Windows Mobile 5.0.";
constexpr char16_t ENGLISH_WM2003SE[] = u"This program needs Windows Mobile 2003 SE.";

// How the display driver's key holds LogicalPixelsX.
enum class Pixels { Missing, NoKey, TwoBytes, Number };

struct GateRow {
    const char* what;
    Pixels stored;
    std::uint32_t pixels;
    OsVersion running;
    std::uint32_t language;
    std::uint32_t targetMajor;
    std::uint32_t targetMinor;
    int result;
    const char16_t* message; // nullptr: none
};

constexpr GateRow GATE_ROWS[] = {
    {"96 dpi", Pixels::Number, 96, WM5, 0x419, 5, 1, 1, RUSSIAN_SCREEN},
    {"96 dpi, wrong version", Pixels::Number, 96, WM2003SE, 0x419, 5, 1, 1, RUSSIAN_SCREEN},
    {"no value, wrong version", Pixels::Missing, 0, WM6, 0x419, 4, 21, 1, RUSSIAN_SCREEN},
    {"no display key", Pixels::NoKey, 0, WM5, 0x419, 5, 1, 1, RUSSIAN_SCREEN},
    {"two bytes of 192", Pixels::TwoBytes, 192, WM5, 0x419, 5, 1, 1, RUSSIAN_SCREEN},
    {"384 dpi", Pixels::Number, 384, WM5, 0x409, 5, 1, 1, ENGLISH_SCREEN},
    {"VGA, WM5 for WM5", Pixels::Number, 192, WM5, 0x419, 5, 1, 0, nullptr},
    {"VGA, 2003 SE for 2003 SE", Pixels::Number, 192, WM2003SE, 0x409, 4, 21, 0, nullptr},
    {"VGA, WM6 for WM5", Pixels::Number, 192, WM6, 0x419, 5, 1, 1, RUSSIAN_WM5},
    {"VGA, 2003 for 2003 SE", Pixels::Number, 192, WM2003, 0x419, 4, 21, 1, RUSSIAN_WM2003SE},
    {"VGA, 2003 SE for WM5", Pixels::Number, 192, WM2003SE, 0x409, 5, 1, 1, ENGLISH_WM5},
    {"VGA, WM5 for 2003 SE", Pixels::Number, 192, WM5, 0x409, 4, 21, 1, ENGLISH_WM2003SE},
    {"VGA, WM5 for 6.0", Pixels::Number, 192, WM5, 0x419, 6, 0, 1, RUSSIAN_OTHER},
};

struct LanguageRow {
    std::uint32_t language;
    const char16_t* screen;
    const char16_t* version;
};

constexpr LanguageRow LANGUAGE_ROWS[] = {
    {0x419, RUSSIAN_SCREEN, RUSSIAN_WM5},
    {0x10419, RUSSIAN_SCREEN, RUSSIAN_WM5}, // only the low 16 bits count
    {0x409, ENGLISH_SCREEN, ENGLISH_WM5},
    {0x819, ENGLISH_SCREEN, ENGLISH_WM5}, // Russian of Moldova
};

class InstallGateTest : public SimTest {
  protected:
    static void storePixels(Pixels stored, std::uint32_t pixels) {
        switch (stored) {
        case Pixels::Missing:
            simSetRegistryValue(DISPLAY_KEY, u"LogicalPixelsY", REG_DWORD, &pixels, sizeof pixels);
            break;
        case Pixels::NoKey:
            break;
        case Pixels::TwoBytes:
            simSetRegistryValue(DISPLAY_KEY, u"LogicalPixelsX", REG_DWORD, &pixels, 2);
            break;
        case Pixels::Number:
            simSetRegistryValue(DISPLAY_KEY, u"LogicalPixelsX", REG_DWORD, &pixels, sizeof pixels);
            break;
        }
    }

    // The one message shown, checked for its caption and style; u"" when none.
    static std::u16string onlyMessage() {
        EXPECT_LE(simHandheld.messageBoxCount, 1);
        if (simHandheld.messageBoxCount == 0) {
            return u"";
        }
        EXPECT_EQ(std::u16string(simHandheld.messageBoxes[0].caption), u"Tavil");
        EXPECT_EQ(simHandheld.messageBoxes[0].style, MB_STYLE_OK_STOP);
        return simHandheld.messageBoxes[0].text;
    }
};

TEST_F(InstallGateTest, TheScreenComesFirstThenTheExactVersion) {
    for (const GateRow& row : GATE_ROWS) {
        startOver();
        storePixels(row.stored, row.pixels);
        simSystemInfo.version = row.running;
        simSystemInfo.defaultLanguageId = row.language;
        EXPECT_EQ(checkInstallation(row.targetMajor, row.targetMinor), row.result) << row.what;
        EXPECT_EQ(onlyMessage(), row.message == nullptr ? u"" : row.message) << row.what;
    }
}

TEST_F(InstallGateTest, OnlyRussianAsTheDefaultLanguageGivesRussianTexts) {
    for (const LanguageRow& row : LANGUAGE_ROWS) {
        for (const std::uint32_t pixels : {96u, 192u}) {
            startOver();
            storePixels(Pixels::Number, pixels);
            simSystemInfo.version = WM6;
            simSystemInfo.defaultLanguageId = row.language;
            simSystemInfo.userInterfaceLanguageId = 0x419; // not the one that counts
            EXPECT_EQ(checkInstallation(5, 1), INSTALL_CANCEL);
            EXPECT_EQ(onlyMessage(), pixels == 96 ? row.screen : row.version) << row.language;
        }
    }
}

} // namespace
