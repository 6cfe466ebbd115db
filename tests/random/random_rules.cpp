#include "tests/random/random_rules.h"

#include "core/app_state.h"
#include "platform/live_objects.h"
#include "platform/sim/ico_image.h"
#include "platform/sim/name_compare.h"
#include "platform/sim/sim_handheld.h"
#include "platform/sim/sim_registry.h"
#include "trayicon/reading_icon.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr const char16_t* SETTINGS_KEY = u"SOFTWARE\\Dunmar\\Tavil";
constexpr const char16_t* SETTING_NAMES[5] = {u"MinFreq", u"MaxFreq", u"View", u"UserFreq",
                                              u"Color"};
constexpr std::uint32_t SETTING_DEFAULTS[5] = {1, 6, 1, 0, 0x000C000B};
constexpr std::uint32_t REGISTRY_NUMBER_TYPE = 4;
constexpr std::uint32_t CHANGE = 3;           // turbo and the frequency change
constexpr std::uint32_t CHANGE_FAST_BUS = 11; // the same with fast-bus mode

// The five information dialogs: caption, open flag, window.
struct DialogKind {
    const char16_t* caption;
    std::uint8_t AppState::*open;
    WindowHandle AppState::*window;
};

constexpr DialogKind DIALOG_KINDS[] = {
    {u"Процессор", &AppState::processorDialogOpen, &AppState::processorDialog},
    {u"Питание", &AppState::powerDialogOpen, &AppState::powerDialog},
    {u"Память", &AppState::memoryDialogOpen, &AppState::memoryDialog},
    {u"Система", &AppState::systemDialogOpen, &AppState::systemDialog},
    {u"О программе", &AppState::aboutDialogOpen, &AppState::aboutDialog},
};

// The default palette of the display interface, indexes 0 to 15, as 0xRRGGBB.
constexpr std::uint32_t PALETTE[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

std::string& operator<<(std::string& text, const char* more) {
    return text.append(more);
}

std::string& say(std::string& broken, const char* format, std::uint64_t a = 0,
                 std::uint64_t b = 0) {
    char line[200];
    std::snprintf(line, sizeof line, format, static_cast<unsigned long long>(a),
                  static_cast<unsigned long long>(b));
    return broken << line << "\n";
}

// A field of a clock image: the bits under `mask`, shifted down.
std::uint32_t field(std::uint32_t image, std::uint32_t mask, int shift) {
    return (image & mask) >> shift;
}

struct ClockField {
    std::uint32_t mask;
    int shift;
    std::uint32_t lowest; // the values the program's own commands put there
    std::uint32_t highest;
};

// PXA27x: L 2..31, 2N 2..8, nothing in bits 6:5 or 15:11.
constexpr ClockField PXA27X_FIELDS[] = {
    {0x1F, 0, 2, 31}, {0x60, 5, 0, 0}, {0x780, 7, 2, 8}, {0xF800, 11, 0, 0}};
// PXA25x: L 1..5, M 1..3, N 2..6, nothing in bits 15:10.
constexpr ClockField PXA25X_FIELDS[] = {
    {0x1F, 0, 1, 5}, {0x60, 5, 1, 3}, {0x380, 7, 2, 6}, {0xFC00, 10, 0, 0}};

// Whether the program could have put this image in the CCCR: each field holds
// what one of its commands composes or what the register held when it started;
// bits 31:16 are never composed, so they come from the start-up image or from
// a user preset it held.
bool couldHaveWritten(std::uint32_t image, const RunFacts& facts) {
    const bool pxa27x = appState.clockFamily == ClockFamily::Pxa27x;
    const ClockField* fields = pxa27x ? PXA27X_FIELDS : PXA25X_FIELDS;
    for (int i = 0; i < 4; ++i) {
        const ClockField& f = fields[i];
        const std::uint32_t value = field(image, f.mask, f.shift);
        if ((value < f.lowest || value > f.highest) &&
            value != field(facts.startupCccr, f.mask, f.shift)) {
            return false;
        }
    }
    const std::uint32_t high = image >> 16;
    return high == facts.startupCccr >> 16 ||
           std::find(facts.userPresetHighHalves.begin(), facts.userPresetHighHalves.end(), high) !=
               facts.userPresetHighHalves.end();
}

void checkKernelMode(std::string& broken) {
    if (simProcessor.kernelMode) {
        say(broken, "kernel mode is left on");
    }
}

// Outside an operation only the icon that the notification area shows is kept.
void checkLiveObjects(std::string& broken) {
    const LiveObjectCounts live = livePlatformObjects();
    const int keptIcons = simIconPixels(appState.notifyData.icon) != nullptr ? 1 : 0;
    const struct {
        const char* what;
        int count;
        int kept;
    } counts[] = {{"CCCR windows", live.cccrWindows, 0},
                  {"registry keys", live.registryKeys, 0},
                  {"bitmaps", live.bitmaps, 0},
                  {"icons", live.icons, keptIcons},
                  {"process snapshots", live.snapshots, 0},
                  {"process handles", live.processHandles, 0},
                  {"menus", live.menus, 0},
                  {"searches", live.searches, 0}};
    for (const auto& count : counts) {
        if (count.count != count.kept) {
            broken << count.what;
            say(broken, ": %llu alive, %llu expected", static_cast<std::uint64_t>(count.count),
                static_cast<std::uint64_t>(count.kept));
        }
    }
}

// Each open flag says whether its dialog lives, and its window field names it.
void checkDialogs(std::string& broken) {
    int dialogsOfKinds = 0;
    for (const DialogKind& kind : DIALOG_KINDS) {
        int live = 0;
        WindowHandle found = WindowHandle::None;
        for (int slot = 0; slot < SIM_WINDOW_CAPACITY; ++slot) {
            const SimWindow& window = simWindowing.windows[slot];
            if (window.live && sameName(window.className, u"#32770") &&
                sameName(window.title, kind.caption)) {
                ++live;
                found = static_cast<WindowHandle>(0x10000 + slot);
            }
        }
        dialogsOfKinds += live;
        const bool open = appState.*kind.open != 0;
        if (live > 1) {
            say(broken, "%llu dialogs of one kind are open", static_cast<std::uint64_t>(live));
        }
        if (open != (live == 1)) {
            say(broken, "a dialog's open flag is %llu with %llu such dialogs alive",
                appState.*kind.open, static_cast<std::uint64_t>(live));
        } else if (open && appState.*kind.window != found) {
            say(broken, "an open dialog's window field names another window");
        }
    }
    if (simOpenDialogs() != dialogsOfKinds) {
        say(broken, "a dialog of no known kind is open");
    }
}

// What was written to the clock registers since the last look.
void checkRegisterWrites(std::string& broken, const RunFacts& facts) {
    const int logged = std::min(simProcessor.writeCount, SIM_REGISTER_LOG_CAPACITY);
    for (int i = 0; i < logged; ++i) {
        const SimRegisterEvent& write = simProcessor.writes[i];
        if (appState.clockFamily == ClockFamily::None) {
            say(broken, "a clock register was written without clock control: 0x%llX", write.value);
        } else if (write.target == SimRegisterWrite::Cclkcfg) {
            const bool fastBusAllowed = appState.clockFamily == ClockFamily::Pxa27x;
            if (write.value != CHANGE && !(write.value == CHANGE_FAST_BUS && fastBusAllowed)) {
                say(broken, "CCLKCFG written with 0x%llX", write.value);
            }
        } else if (!couldHaveWritten(write.value, facts)) {
            say(broken,
                "the CCCR written with 0x%llX, which the program does not compose (it "
                "found 0x%llX)",
                write.value, facts.startupCccr);
        }
    }
    simProcessor.writeCount = 0;
}

void checkClockState(std::string& broken, const RunFacts& facts) {
    if (appState.clockFamily == ClockFamily::None) {
        return;
    }
    if (!couldHaveWritten(appState.currentCccr, facts)) {
        say(broken, "currentCccr 0x%llX is no configuration the program composes (it found 0x%llX)",
            appState.currentCccr, facts.startupCccr);
    }
    if (facts.tickDelivered && !facts.faultOn && simProcessor.cccr != appState.currentCccr) {
        say(broken, "after a tick the CCCR holds 0x%llX, not currentCccr 0x%llX", simProcessor.cccr,
            appState.currentCccr);
    }
}

// The core frequency of an image as the menu and the icon state it.
std::uint32_t coreMhz(std::uint32_t image, bool turbo) {
    if (appState.clockFamily == ClockFamily::Pxa25x) {
        static constexpr std::uint32_t MEMORY_MHZ[] = {100, 118, 133, 150, 166};
        static constexpr std::uint32_t RATIO[] = {1, 1, 2, 4};
        const std::uint32_t l = image & 0x1F;
        const std::uint32_t run =
            (l >= 1 && l <= 5 ? MEMORY_MHZ[l - 1] : 100) * RATIO[image >> 5 & 3];
        return turbo ? run * std::max<std::uint32_t>(image >> 7 & 7, 2) / 2 : run;
    }
    if (appState.clockFamily == ClockFamily::Pxa27x) {
        const std::uint32_t run = std::max<std::uint32_t>(13 * (image & 0x1F), 26);
        return turbo ? run * std::clamp<std::uint32_t>(image >> 7 & 0xF, 2, 8) / 2 : run;
    }
    return 0;
}

bool samePixels(const SimIconPixels& a, const SimIconPixels& b) {
    return a.size == b.size &&
           std::memcmp(a.argb, b.argb,
                       sizeof a.argb[0] * static_cast<std::size_t>(a.size * a.size)) == 0;
}

SimIconPixels pixelsOfReading(std::int32_t reading) {
    const IconImage image =
        composeReadingIcon(reading, appState.iconColors & 0xF, appState.iconColors >> 16 & 0xF,
                           appState.iconScale == 1 ? 16 : 32);
    SimIconPixels pixels{image.size, {}};
    for (int i = 0; i < image.size * image.size; ++i) {
        const std::uint8_t pixel = image.pixels[i];
        pixels.argb[i] = (pixel & ICON_TRANSPARENT) != 0 ? 0 : 0xFF000000 | PALETTE[pixel & 0xF];
    }
    return pixels;
}

// The notification area shows the program's current icon, and that icon is the
// application icon or the reading last drawn.
void checkTrayIcon(std::string& broken, const RunFacts& facts) {
    if (!simNotificationArea.iconPresent) {
        if (!facts.faultAtStartup) {
            say(broken, "the running program has no icon in the notification area");
        }
        return;
    }
    if (simNotificationArea.icon != appState.notifyData.icon) {
        say(broken, "the notification area shows another icon than notifyData.icon");
        return;
    }
    if (appState.iconRefreshFailed != 0) {
        if (facts.tickDelivered && !facts.faultOn) {
            say(broken, "a tick without faults left the icon refresh failed");
        }
        return; // the icon of an earlier refresh stays until a tick draws the new one
    }
    const SimIconPixels* kept = simIconPixels(appState.notifyData.icon);
    if (kept == nullptr) {
        say(broken, "the notification area shows no live icon");
        return;
    }
    if (!samePixels(*kept, simNotificationArea.shown)) {
        say(broken, "the kept icon is not what the notification area shows");
    }
    if (appState.iconView == static_cast<std::uint32_t>(IconView::Normal)) {
        SimIconPixels application{};
        decodeIcoImage(APPLICATION_ICON_FILE, APPLICATION_ICON_FILE_SIZE,
                       appState.iconScale == 1 ? 16 : 32, application);
        if (!samePixels(application, simNotificationArea.shown)) {
            say(broken, "the plain mode does not show the application icon");
        }
        return;
    }
    if (appState.iconReadingDrawn == 0) {
        return;
    }
    if (!samePixels(pixelsOfReading(appState.lastIconReading), simNotificationArea.shown)) {
        say(broken, "the icon does not show the reading last drawn, %llu",
            static_cast<std::uint32_t>(appState.lastIconReading));
    }
    const std::int32_t reading = appState.lastIconReading;
    switch (static_cast<IconView>(appState.iconView)) {
    case IconView::Frequency:
        if (appState.clockFamily != ClockFamily::None &&
            reading != static_cast<std::int32_t>(coreMhz(appState.currentCccr, true)) &&
            reading != static_cast<std::int32_t>(coreMhz(appState.currentCccr, false))) {
            say(broken, "the frequency icon shows %llu MHz with currentCccr 0x%llX",
                static_cast<std::uint32_t>(reading), appState.currentCccr);
        }
        break;
    case IconView::Load:
        if (facts.tickDelivered && reading != appState.cpuLoad) {
            say(broken, "after a tick the load icon shows %llu, the load is %llu",
                static_cast<std::uint32_t>(reading), static_cast<std::uint32_t>(appState.cpuLoad));
        }
        break;
    case IconView::Memory:
        if (facts.tickDelivered &&
            reading != static_cast<std::int32_t>(simHandheld.memory.availablePhysical >> 20)) {
            say(broken, "after a tick the memory icon shows %llu MB",
                static_cast<std::uint32_t>(reading));
        }
        break;
    default:
        break;
    }
}

void checkSettingRanges(std::string& broken) {
    const std::uint32_t highestMax = appState.clockFamily == ClockFamily::Pxa25x ? 6 : 8;
    if (appState.minLimit > 2 || appState.maxLimit < 4 || appState.maxLimit > highestMax) {
        say(broken, "limits %llu and %llu out of range", appState.minLimit, appState.maxLimit);
    }
    if (appState.iconView > 5) {
        say(broken, "icon mode %llu", appState.iconView);
    }
    if ((appState.iconColors & ~0x000F000Fu) != 0) {
        say(broken, "icon colours 0x%llX", appState.iconColors);
    }
}

void checkProgramState(std::string& broken, const RunFacts& facts) {
    if (appState.instance != facts.instance) {
        say(broken, "the program's instance changed from 0x%llX to 0x%llX",
            static_cast<std::uintptr_t>(facts.instance),
            static_cast<std::uintptr_t>(appState.instance));
    }
    if (appState.menuProcessCount > MENU_PROCESS_LIMIT) {
        say(broken, "%llu process positions kept", appState.menuProcessCount);
    }
}

// The family that start-up must find when no fault disturbs it.
ClockFamily expectedFamily(const RunFacts& facts) {
    if (facts.processor == SimProcessorKind::Unrecognised || facts.startupCccr == 0) {
        return ClockFamily::None;
    }
    return facts.processor == SimProcessorKind::Pxa255 ? ClockFamily::Pxa25x : ClockFamily::Pxa27x;
}

} // namespace

StoredSettings readStoredSettings() {
    StoredSettings stored{};
    stored.keyExists = simRegistryKeyExists(SETTINGS_KEY);
    for (int i = 0; i < 5; ++i) {
        stored.present[i] = simGetRegistryNumber(SETTINGS_KEY, SETTING_NAMES[i], stored.value[i]);
    }
    return stored;
}

void currentSettings(std::uint32_t (&fields)[5]) {
    fields[0] = appState.minLimit;
    fields[1] = appState.maxLimit;
    fields[2] = appState.iconView;
    fields[3] = appState.userCccr;
    fields[4] = appState.iconColors;
}

std::string checkBetweenMessages(const RunFacts& facts) {
    std::string broken;
    checkKernelMode(broken);
    checkLiveObjects(broken);
    checkDialogs(broken);
    checkRegisterWrites(broken, facts);
    checkClockState(broken, facts);
    checkTrayIcon(broken, facts);
    checkSettingRanges(broken);
    checkProgramState(broken, facts);
    return broken;
}

std::string checkStartedCopy(const RunFacts& facts, const StoredSettings& stored) {
    std::string broken;
    const ClockFamily family = facts.faultAtStartup ? appState.clockFamily : expectedFamily(facts);
    if (appState.clockFamily != family) {
        say(broken, "start-up found clock family %llu, not %llu",
            static_cast<std::uint32_t>(appState.clockFamily), static_cast<std::uint32_t>(family));
    }
    std::uint32_t expected[5];
    for (int i = 0; i < 5; ++i) {
        expected[i] = stored.keyExists && stored.present[i] ? stored.value[i] : SETTING_DEFAULTS[i];
    }
    if (stored.keyExists) {
        expected[0] = std::min<std::uint32_t>(expected[0], 2);
        expected[1] = std::clamp<std::uint32_t>(expected[1], 4, 8);
        if ((appState.cpuId & 0xFFFFE3F0) == 0x69052100) { // the family as identified
            expected[1] = std::min<std::uint32_t>(expected[1], 6);
        }
        expected[2] = expected[2] > 5 ? 0 : expected[2];
        expected[4] &= 0x000F000F;
    }
    if (family == ClockFamily::None) {
        expected[2] = 0;
    }
    std::uint32_t fields[5];
    currentSettings(fields);
    for (int i = 0; i < 5; ++i) {
        if (fields[i] != expected[i]) {
            broken << "start-up loaded setting ";
            say(broken, "%llu as 0x%llX", static_cast<std::uint64_t>(i), fields[i]);
        }
    }
    if (family != ClockFamily::None && !facts.presetGiven && !facts.faultAtStartup) {
        if (appState.currentCccr != facts.startupCccr) {
            say(broken, "start-up took currentCccr 0x%llX from a register holding 0x%llX",
                appState.currentCccr, facts.startupCccr);
        }
        const std::uint8_t high = (facts.startupCccr & 0x10) != 0 ? 1 : 0;
        const std::uint8_t fastBus = (facts.startupCclkcfg & 0x8) != 0 ? 1 : 0;
        if (appState.highClocksAllowed != high || appState.fastBus != fastBus) {
            say(broken, "start-up set highClocksAllowed %llu and fastBus %llu",
                appState.highClocksAllowed, appState.fastBus);
        }
    }
    if (family != ClockFamily::None && facts.presetGiven &&
        (appState.highClocksAllowed != 1 || appState.fastBus != 1)) {
        say(broken, "a start-up preset left highClocksAllowed %llu and fastBus %llu",
            appState.highClocksAllowed, appState.fastBus);
    }
    return broken;
}

std::string checkSettingsStored(const std::uint32_t (&before)[5], bool registryFaultOn) {
    std::string broken;
    std::uint32_t fields[5];
    currentSettings(fields);
    for (int i = 0; i < 5; ++i) {
        if (fields[i] == before[i] || registryFaultOn) {
            continue;
        }
        std::uint32_t type = 0;
        std::vector<std::uint8_t> bytes;
        std::uint32_t stored = 0;
        if (!simGetRegistryValue(SETTINGS_KEY, SETTING_NAMES[i], type, bytes) ||
            type != REGISTRY_NUMBER_TYPE || bytes.size() != 4 ||
            (std::memcpy(&stored, bytes.data(), 4), stored != fields[i])) {
            say(broken, "setting %llu changed to 0x%llX but is not stored so",
                static_cast<std::uint64_t>(i), fields[i]);
        }
    }
    return broken;
}

std::string checkAfterExit(int exitCode, bool closedItself) {
    std::string broken;
    if (exitCode != 0) {
        say(broken, "the program ended with exit code %llu", static_cast<std::uint32_t>(exitCode));
    }
    checkKernelMode(broken);
    checkLiveObjects(broken);
    if (closedItself && simNotificationArea.iconPresent) {
        say(broken, "the program ended with its icon left in the notification area");
    }
    return broken;
}
