#include "clock/clock_menu.h"

#include "clock/clock_arithmetic.h"
#include "clock/clock_config.h"
#include "clock/clock_registers.h"
#include "core/app_state.h"
#include "core/command_ids.h"
#include "core/settings_store.h"
#include "core/text_format.h"

namespace {

constexpr std::uint32_t LOW_HALF = 0x0000FFFF;
constexpr std::uint32_t PXA27X_MHZ_PER_L = 13;
constexpr std::uint32_t FIRST_PXA27X_RUN_COMMAND = 10026; // L 2; L 1 is not offered
constexpr std::uint32_t FIRST_PXA25X_RUN_COMMAND = 10025; // L 1 .. 5: the memory clocks
constexpr std::uint32_t LAST_PXA25X_RUN_COMMAND = 10029;
// PXA25x has no ratios above x3.0 and no fast-bus mode.
constexpr std::uint32_t PXA25X_ABSENT_ENTRIES[] = {10022, 10023, FAST_BUS_OFF_COMMAND,
                                                   FAST_BUS_ON_COMMAND};
constexpr std::uint32_t PXA27X_UNUSED_MEMORY_MULTIPLIERS[] = {10076, 10077};
constexpr std::uint32_t PXA27X_HIGH_LIST[] = {10005, 10006, 10007, 10008}; // 520 .. 832 MHz
constexpr std::uint32_t PXA27X_HIGH_LIMITS[] = {10061, 10062, 10063, 10064};
constexpr std::uint32_t LIMIT_52_MHZ = 10057;
constexpr std::uint32_t PXA25X_LIST_400_MHZ = 10012;
constexpr int PXA27X_LAST_INDEX = 8;

// Greyed without clock control, so that the clock portion shows only greyed entries.
constexpr std::uint32_t CLOCK_ENTRIES_WITHOUT_CONTROL[] = {
    FREQUENCY_LIST_PLACEHOLDER,
    RUN_FREQUENCY_PLACEHOLDER,
    LIMIT_PLACEHOLDER,
    10023,
    FAST_BUS_OFF_COMMAND,
    FAST_BUS_ON_COMMAND,
    STORE_USER_PRESET_COMMAND,
    CLEAR_USER_PRESET_COMMAND,
    FIRST_ICON_VIEW_COMMAND + 1, // the frequency icon
    10017,
    10018,
    10019,
    10020,
    10021,
    10022,
};

void deleteRange(MenuHandle popup, std::uint32_t first, std::uint32_t last) {
    for (std::uint32_t id = first; id <= last; ++id) {
        deleteMenuItem(popup, id);
    }
}

template <std::size_t Count> void deleteAll(MenuHandle popup, const std::uint32_t (&ids)[Count]) {
    for (const std::uint32_t id : ids) {
        deleteMenuItem(popup, id);
    }
}

template <std::size_t Count> void greyAll(MenuHandle popup, const std::uint32_t (&ids)[Count]) {
    for (const std::uint32_t id : ids) {
        greyMenuItem(popup, id);
    }
}

void insertMhzEntry(MenuHandle popup, std::uint32_t beforeId, std::uint32_t id, std::uint32_t mhz) {
    formatText(appState.textBuffer, u"%d МГц", {mhz});
    insertMenuItemBefore(popup, beforeId, id, appState.textBuffer);
}

void checkListEntry(MenuHandle popup, int index) {
    if (index >= 0) {
        checkMenuItem(popup, FIRST_FREQUENCY_COMMAND + static_cast<std::uint32_t>(index));
    }
}

// The user preset follows the list; when it is the configuration in force it is
// checked and cannot be stored again.
void prepareUserPreset(MenuHandle popup) {
    if (appState.userCccr == 0) {
        greyMenuItem(popup, CLEAR_USER_PRESET_COMMAND);
        return;
    }
    insertMhzEntry(popup, FREQUENCY_LIST_PLACEHOLDER, USER_PRESET_COMMAND,
                   cccrToMhz(appState.userCccr));
    if ((appState.currentCccr & LOW_HALF) == (appState.userCccr & LOW_HALF)) {
        checkMenuItem(popup, USER_PRESET_COMMAND);
        greyMenuItem(popup, STORE_USER_PRESET_COMMAND);
    }
}

void buildPxa25xEntries(MenuHandle popup, int index) {
    const std::uint32_t cccr = appState.currentCccr;
    checkListEntry(popup, index);
    prepareUserPreset(popup);
    for (std::uint32_t id = FIRST_PXA25X_RUN_COMMAND; id <= LAST_PXA25X_RUN_COMMAND; ++id) {
        insertMhzEntry(popup, RUN_FREQUENCY_PLACEHOLDER, id,
                       appState.memClockTable[id - FIRST_PXA25X_RUN_COMMAND]);
    }
    deleteAll(popup, PXA25X_ABSENT_ENTRIES);
    const std::uint32_t l = cccr & 0x1F;
    if (l >= 1 && l <= 5) {
        checkMenuItem(popup, RUN_FREQUENCY_PLACEHOLDER + l);
    }
    const std::uint32_t n = (cccr >> 7) & 0x7;
    if (n >= 2 && n <= 6) {
        checkMenuItem(popup, FREQUENCY_LIST_PLACEHOLDER + n);
    }
    const std::uint32_t m = (cccr >> 5) & 0x3;
    if (m >= 1) {
        checkMenuItem(popup, FAST_BUS_ON_COMMAND + m);
    }
    // Limits 4 and 5 hide 500 and 600 MHz, or 600 MHz.
    deleteRange(popup, PXA25X_LIST_400_MHZ + appState.maxLimit - 3, LAST_FREQUENCY_COMMAND);
    checkMenuItem(popup, FIRST_PXA25X_MAX_LIMIT_COMMAND + appState.maxLimit - 4);
}

void buildPxa27xEntries(MenuHandle popup, int index) {
    const std::uint32_t cccr = appState.currentCccr;
    for (std::uint32_t id = FIRST_PXA27X_RUN_COMMAND; id <= LAST_RUN_FREQUENCY_COMMAND; ++id) {
        insertMhzEntry(popup, RUN_FREQUENCY_PLACEHOLDER, id,
                       PXA27X_MHZ_PER_L * (id - RUN_FREQUENCY_PLACEHOLDER));
    }
    deleteAll(popup, PXA27X_UNUSED_MEMORY_MULTIPLIERS);
    const std::uint32_t twoN = (cccr >> 7) & 0xF;
    if (twoN >= 2 && twoN <= 8) {
        checkMenuItem(popup, FREQUENCY_LIST_PLACEHOLDER + twoN);
    }
    checkListEntry(popup, index);
    const std::uint32_t l = cccr & 0x1F;
    if (l >= 2) {
        checkMenuItem(popup, RUN_FREQUENCY_PLACEHOLDER + l);
    }
    prepareUserPreset(popup);
    if (appState.highClocksAllowed == 0) {
        deleteAll(popup, PXA27X_HIGH_LIST);
        greyAll(popup, PXA27X_HIGH_LIMITS);
    }
    if (appState.fastBus != 0) {
        checkMenuItem(popup, FAST_BUS_ON_COMMAND);
    } else {
        deleteMenuItem(popup, FIRST_FREQUENCY_COMMAND); // 52 MHz needs fast-bus mode
        checkMenuItem(popup, FAST_BUS_OFF_COMMAND);
        greyMenuItem(popup, LIMIT_52_MHZ);
    }
    deleteRange(popup, FIRST_FREQUENCY_COMMAND, FIRST_FREQUENCY_COMMAND + appState.minLimit - 1);
    deleteRange(popup, FIRST_FREQUENCY_COMMAND + appState.maxLimit + 1,
                FIRST_FREQUENCY_COMMAND + PXA27X_LAST_INDEX);
    checkMenuItem(popup, FIRST_MIN_LIMIT_COMMAND + appState.minLimit);
    checkMenuItem(popup, LIMIT_PLACEHOLDER + appState.maxLimit);
}

// Commands that the menu never shows for this family: the other family's list
// entries and limits, and the fields this family does not have.
bool belongsToOtherFamily(std::uint32_t id) {
    if (appState.clockFamily == ClockFamily::Pxa27x) {
        return id == FIRST_PXA25X_RUN_COMMAND ||
               isCommandIn(id, FIRST_FREQUENCY_COMMAND + FIRST_PXA25X_INDEX,
                           LAST_FREQUENCY_COMMAND) ||
               isCommandIn(id, FIRST_PXA25X_MAX_LIMIT_COMMAND, LAST_PXA25X_MAX_LIMIT_COMMAND) ||
               isCommandIn(id, FIRST_MEMORY_MULTIPLIER_COMMAND, LAST_MEMORY_MULTIPLIER_COMMAND);
    }
    for (const std::uint32_t absent : PXA25X_ABSENT_ENTRIES) {
        if (id == absent) {
            return true;
        }
    }
    return isCommandIn(id, FIRST_FREQUENCY_COMMAND, FIRST_FREQUENCY_COMMAND + PXA27X_LAST_INDEX) ||
           isCommandIn(id, FIRST_MIN_LIMIT_COMMAND, LAST_PXA27X_MAX_LIMIT_COMMAND) ||
           isCommandIn(id, LAST_PXA25X_RUN_COMMAND + 1, LAST_RUN_FREQUENCY_COMMAND);
}

} // namespace

void buildClockMenu(MenuHandle popup) {
    const int index = cccrToMenuIndex(appState.currentCccr);
    if (index >= 0) {
        greyMenuItem(popup, STORE_USER_PRESET_COMMAND);
    }
    if (appState.clockFamily == ClockFamily::Pxa25x) {
        buildPxa25xEntries(popup, index);
    } else {
        deleteRange(popup, FIRST_MEMORY_MULTIPLIER_COMMAND, LAST_MEMORY_MULTIPLIER_COMMAND);
        deleteRange(popup, FIRST_FREQUENCY_COMMAND + FIRST_PXA25X_INDEX, LAST_FREQUENCY_COMMAND);
        deleteRange(popup, FIRST_PXA25X_MAX_LIMIT_COMMAND, LAST_PXA25X_MAX_LIMIT_COMMAND);
    }
    if (appState.clockFamily == ClockFamily::Pxa27x) {
        buildPxa27xEntries(popup, index);
    } else {
        deleteRange(popup, FIRST_FREQUENCY_COMMAND, FIRST_FREQUENCY_COMMAND + PXA27X_LAST_INDEX);
        deleteRange(popup, FIRST_MIN_LIMIT_COMMAND, LAST_PXA27X_MAX_LIMIT_COMMAND);
    }
    if (appState.clockFamily != ClockFamily::None) {
        deleteMenuItem(popup, FREQUENCY_LIST_PLACEHOLDER);
        deleteMenuItem(popup, RUN_FREQUENCY_PLACEHOLDER);
        deleteMenuItem(popup, LIMIT_PLACEHOLDER);
    } else {
        greyAll(popup, CLOCK_ENTRIES_WITHOUT_CONTROL);
    }
}

void handleClockCommand(std::uint32_t id) {
    if (appState.clockFamily == ClockFamily::None || belongsToOtherFamily(id)) {
        return;
    }
    if (isCommandIn(id, FIRST_FREQUENCY_COMMAND, LAST_FREQUENCY_COMMAND)) {
        selectFrequencyIndex(static_cast<int>(id - FIRST_FREQUENCY_COMMAND));
    } else if (id == USER_PRESET_COMMAND) {
        applyUserPreset();
    } else if (isCommandIn(id, FIRST_MULTIPLIER_COMMAND, LAST_MULTIPLIER_COMMAND)) {
        setTurboRatio(id - FREQUENCY_LIST_PLACEHOLDER);
    } else if (isCommandIn(id, FIRST_RUN_FREQUENCY_COMMAND, LAST_RUN_FREQUENCY_COMMAND)) {
        setRunMultiplier(id - RUN_FREQUENCY_PLACEHOLDER);
    } else if (isCommandIn(id, FIRST_MIN_LIMIT_COMMAND, LAST_MIN_LIMIT_COMMAND)) {
        saveMinLimit(id - FIRST_MIN_LIMIT_COMMAND);
    } else if (isCommandIn(id, FIRST_PXA27X_MAX_LIMIT_COMMAND, LAST_PXA27X_MAX_LIMIT_COMMAND)) {
        saveMaxLimit(id - LIMIT_PLACEHOLDER);
    } else if (isCommandIn(id, FIRST_PXA25X_MAX_LIMIT_COMMAND, LAST_PXA25X_MAX_LIMIT_COMMAND)) {
        saveMaxLimit(id - (FIRST_PXA25X_MAX_LIMIT_COMMAND - 4));
    } else if (id == FAST_BUS_OFF_COMMAND || id == FAST_BUS_ON_COMMAND) {
        setFastBusMode(id == FAST_BUS_ON_COMMAND);
    } else if (isCommandIn(id, FIRST_MEMORY_MULTIPLIER_COMMAND, LAST_MEMORY_MULTIPLIER_COMMAND)) {
        setMemoryMultiplier(id - FAST_BUS_ON_COMMAND);
    } else if (id == STORE_USER_PRESET_COMMAND) {
        saveUserCccr(appState.currentCccr);
    } else if (id == CLEAR_USER_PRESET_COMMAND) {
        saveUserCccr(0);
    }
}
