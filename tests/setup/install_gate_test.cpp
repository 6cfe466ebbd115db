// The install gate on the simulated handheld: the screen is checked first, then
// the exact version; one message at most, in Russian or English.

#include "setup/install_gate.h"

#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_system_info.h"
#include "tests/support/sim_test_fixture.h"

#include <cstdint>
#include <string>
#include <utility>

namespace {

constexpr char16_t DISPLAY_KEY[] = u"Drivers\\Display\\GPE";
constexpr std::uint32_t REG_DWORD = 4;

constexpr OsVersion WM5 = {5, 1, 14847};
constexpr OsVersion WM2003SE = {4, 21, 1088};
constexpr OsVersion WM2003 = {4, 20, 1081};
constexpr OsVersion WM6 = {5, 2, 1235};

constexpr char16_t RUSSIAN_SCREEN[] = u"Программа только для VGA экранов";
constexpr char16_t RUSSIAN_WM5[] = u"Программа только для Windows Mobile 5.0";
constexpr char16_t RUSSIAN_WM2003SE[] = u"Программа только для Windows Mobile 2003 SE";
constexpr char16_t ENGLISH_SCREEN[] = u"Only for VGA screen";
constexpr char16_t ENGLISH_WM5[] = u"Only for Windows Mobile 5.0";
constexpr char16_t ENGLISH_WM2003SE[] = u"Only for Windows Mobile 2003 SE";
constexpr char16_t CAPTION[] = u"PureVGA";
constexpr std::uint32_t OK_STOP_STYLE = 0x50010;

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
        EXPECT_EQ(std::u16string(simHandheld.messageBoxes[0].caption), CAPTION);
        EXPECT_EQ(simHandheld.messageBoxes[0].style, OK_STOP_STYLE);
        return simHandheld.messageBoxes[0].text;
    }
};

TEST_F(InstallGateTest, TheScreenComesFirstThenTheExactVersion) {
    for (const GateRow& row : GATE_ROWS) {
        startOver();
        storePixels(row.stored, row.pixels);
        simSystemInfo.version = row.running;
        simSystemInfo.defaultLanguageId = row.language;
        const InstallTarget target = installTargetOf(row.targetMajor, row.targetMinor);
        EXPECT_EQ(checkInstallation(target), row.result) << row.what;
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
            EXPECT_EQ(checkInstallation(WINDOWS_MOBILE_5), INSTALL_CANCEL);
            EXPECT_EQ(onlyMessage(), pixels == 96 ? row.screen : row.version) << row.language;
        }
    }
}

TEST(InstallTargets, OnlyWindowsMobile5AndWindowsMobile2003SeCanBeBuilt) {
    EXPECT_EQ(installTargetOf(5, 1).english, WINDOWS_MOBILE_5.english);
    EXPECT_EQ(installTargetOf(4, 21).english, WINDOWS_MOBILE_2003_SE.english);
    for (const auto& [major, minor] : {std::pair{5u, 2u}, {4u, 20u}, {6u, 0u}, {1u, 5u}}) {
        EXPECT_EQ(installTargetOf(major, minor).major, 0u) << major << "." << minor;
    }
}

} // namespace
