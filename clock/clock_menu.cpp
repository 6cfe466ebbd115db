#include "clock/clock_menu.h"

#include "clock/clock_arithmetic.h"
#include "clock/clock_config.h"
#include "clock/clock_registers.h"
#include "core/app_state.h"
#include "core/command_ids.h"
#include "core/settings_store.h"
#include "core/text_format.h"

namespace {

constexpr int PXA27X_FIRST_HIGH_INDEX = 5; // 520 MHz: needs the 208 MHz run base
constexpr int PXA25X_400_MHZ_INDEX = 12;
constexpr std::uint32_t LOWEST_MAX_LIMIT = 4;

constexpr std::uint32_t listCommand(int index) {
    return FIRST_FREQUENCY_COMMAND + static_cast<std::uint32_t>(index);
}

// The entry of a multiplier, run frequency or divider field value.
constexpr std::uint32_t ratioCommand(std::uint32_t halves) {
    return FREQUENCY_LIST_PLACEHOLDER + halves;
}
constexpr std::uint32_t runFrequencyCommand(std::uint32_t runMultiplier) {
    return RUN_FREQUENCY_PLACEHOLDER + runMultiplier;
}
constexpr std::uint32_t memoryMultiplierCommand(std::uint32_t memoryMultiplier) {
    return FAST_BUS_ON_COMMAND + memoryMultiplier;
}

// PXA25x has no ratios above x3.0 and no fast-bus mode.
constexpr std::uint32_t PXA25X_ABSENT_ENTRIES[] = {MULTIPLIER_X3_5_COMMAND, LAST_MULTIPLIER_COMMAND,
                                                   FAST_BUS_OFF_COMMAND, FAST_BUS_ON_COMMAND};

// Greyed without clock control, with the multipliers, so that the clock portion
// shows only greyed entries.
constexpr std::uint32_t CLOCK_ENTRIES_WITHOUT_CONTROL[] = {
    FREQUENCY_LIST_PLACEHOLDER, RUN_FREQUENCY_PLACEHOLDER,   LIMIT_PLACEHOLDER,
    FAST_BUS_OFF_COMMAND,       FAST_BUS_ON_COMMAND,         STORE_USER_PRESET_COMMAND,
    CLEAR_USER_PRESET_COMMAND,  FIRST_ICON_VIEW_COMMAND + 1, // the frequency icon
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

void greyRange(MenuHandle popup, std::uint32_t first, std::uint32_t last) {
    for (std::uint32_t id = first; id <= last; ++id) {
        greyMenuItem(popup, id);
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
        checkMenuItem(popup, listCommand(index));
    }
}

// The user preset follows the list; when it is the configuration in force it is
// checked and cannot be stored again.
void prepareUserPreset(MenuHandle popup, bool turbo) {
    if (appState.userCccr == 0) {
        greyMenuItem(popup, CLEAR_USER_PRESET_COMMAND);
        return;
    }
    insertMhzEntry(popup, FREQUENCY_LIST_PLACEHOLDER, USER_PRESET_COMMAND,
                   cccrToMhz(appState.userCccr, turbo));
    if (sameLowHalf(appState.currentCccr, appState.userCccr)) {
        checkMenuItem(popup, USER_PRESET_COMMAND);
        greyMenuItem(popup, STORE_USER_PRESET_COMMAND);
    }
}

void buildPxa25xEntries(MenuHandle popup, int index, bool turbo) {
    const std::uint32_t cccr = appState.currentCccr;
    checkListEntry(popup, index);
    prepareUserPreset(popup, turbo);
    for (std::uint32_t id = FIRST_RUN_FREQUENCY_COMMAND; id <= LAST_PXA25X_RUN_FREQUENCY_COMMAND;
         ++id) {
        insertMhzEntry(popup, RUN_FREQUENCY_PLACEHOLDER, id,
                       appState.memClockTable[id - FIRST_RUN_FREQUENCY_COMMAND]);
    }
    deleteAll(popup, PXA25X_ABSENT_ENTRIES);
    const std::uint32_t l = runMultiplierOf(cccr);
    if (l >= 1 && l <= HIGHEST_PXA25X_RUN_MULTIPLIER) {
        checkMenuItem(popup, runFrequencyCommand(l));
    }
    const std::uint32_t n = turboRatioOf(cccr);
    if (n >= LOWEST_RATIO && n <= HIGHEST_PXA25X_RATIO) {
        checkMenuItem(popup, ratioCommand(n));
    }
    const std::uint32_t m = memoryMultiplierOf(cccr);
    if (m >= 1) {
        checkMenuItem(popup, memoryMultiplierCommand(m));
    }
    // Limits 4 and 5 hide 500 and 600 MHz, or 600 MHz.
    deleteRange(popup, listCommand(PXA25X_400_MHZ_INDEX) + appState.maxLimit - LOWEST_MAX_LIMIT + 1,
                LAST_FREQUENCY_COMMAND);
    checkMenuItem(popup, FIRST_PXA25X_MAX_LIMIT_COMMAND + appState.maxLimit - LOWEST_MAX_LIMIT);
}

void buildPxa27xEntries(MenuHandle popup, int index, bool turbo) {
    const std::uint32_t cccr = appState.currentCccr;
    for (std::uint32_t l = LOWEST_PXA27X_RUN_MULTIPLIER;
         runFrequencyCommand(l) <= LAST_RUN_FREQUENCY_COMMAND; ++l) {
        insertMhzEntry(popup, RUN_FREQUENCY_PLACEHOLDER, runFrequencyCommand(l),
                       PXA27X_MHZ_PER_L * l);
    }
    const std::uint32_t twoN = turboRatioOf(cccr);
    if (twoN >= LOWEST_RATIO && twoN <= HIGHEST_PXA27X_RATIO) {
        checkMenuItem(popup, ratioCommand(twoN));
    }
    checkListEntry(popup, index);
    const std::uint32_t l = runMultiplierOf(cccr);
    if (l >= LOWEST_PXA27X_RUN_MULTIPLIER) {
        checkMenuItem(popup, runFrequencyCommand(l));
    }
    prepareUserPreset(popup, turbo);
    if (appState.highClocksAllowed == 0) {
        deleteRange(popup, listCommand(PXA27X_FIRST_HIGH_INDEX), listCommand(LAST_PXA27X_INDEX));
        greyRange(popup, LIMIT_PLACEHOLDER + PXA27X_FIRST_HIGH_INDEX,
                  LIMIT_PLACEHOLDER + LAST_PXA27X_INDEX);
    }
    if (appState.fastBus != 0) {
        checkMenuItem(popup, FAST_BUS_ON_COMMAND);
    } else {
        deleteMenuItem(popup, listCommand(0)); // 52 MHz needs fast-bus mode
        checkMenuItem(popup, FAST_BUS_OFF_COMMAND);
        greyMenuItem(popup, FIRST_MIN_LIMIT_COMMAND);
    }
    deleteRange(popup, listCommand(0), listCommand(0) + appState.minLimit - 1);
    deleteRange(popup, listCommand(0) + appState.maxLimit + 1, listCommand(LAST_PXA27X_INDEX));
    checkMenuItem(popup, FIRST_MIN_LIMIT_COMMAND + appState.minLimit);
    checkMenuItem(popup, LIMIT_PLACEHOLDER + appState.maxLimit);
}

// Commands that the menu never shows for this family: the other family's list
// entries and limits, and the fields this family does not have.
bool belongsToOtherFamily(std::uint32_t id) {
    if (appState.clockFamily == ClockFamily::Pxa27x) {
        return id == FIRST_RUN_FREQUENCY_COMMAND ||
               isCommandIn(id, listCommand(FIRST_PXA25X_INDEX), LAST_FREQUENCY_COMMAND) ||
               isCommandIn(id, FIRST_PXA25X_MAX_LIMIT_COMMAND, LAST_PXA25X_MAX_LIMIT_COMMAND) ||
               isCommandIn(id, FIRST_MEMORY_MULTIPLIER_COMMAND, LAST_MEMORY_MULTIPLIER_COMMAND);
    }
    for (const std::uint32_t absent : PXA25X_ABSENT_ENTRIES) {
        if (id == absent) {
            return true;
        }
    }
    return isCommandIn(id, FIRST_FREQUENCY_COMMAND, listCommand(LAST_PXA27X_INDEX)) ||
           isCommandIn(id, FIRST_MIN_LIMIT_COMMAND, LAST_PXA27X_MAX_LIMIT_COMMAND) ||
           isCommandIn(id, LAST_PXA25X_RUN_FREQUENCY_COMMAND + 1, LAST_RUN_FREQUENCY_COMMAND);
}

} // namespace

void buildClockMenu(MenuHandle popup) {
    const bool turbo = isTurboActive(); // once for the whole build
    const int index = cccrToMenuIndex(appState.currentCccr, turbo);
    if (index >= 0) {
        greyMenuItem(popup, STORE_USER_PRESET_COMMAND);
    }
    if (appState.clockFamily == ClockFamily::Pxa25x) {
        buildPxa25xEntries(popup, index, turbo);
    } else {
        deleteRange(popup, FIRST_MEMORY_MULTIPLIER_COMMAND, LAST_MEMORY_MULTIPLIER_COMMAND);
        deleteRange(popup, listCommand(FIRST_PXA25X_INDEX), LAST_FREQUENCY_COMMAND);
        deleteRange(popup, FIRST_PXA25X_MAX_LIMIT_COMMAND, LAST_PXA25X_MAX_LIMIT_COMMAND);
    }
    if (appState.clockFamily == ClockFamily::Pxa27x) {
        buildPxa27xEntries(popup, index, turbo);
    } else {
        deleteRange(popup, FIRST_FREQUENCY_COMMAND, listCommand(LAST_PXA27X_INDEX));
        deleteRange(popup, FIRST_MIN_LIMIT_COMMAND, LAST_PXA27X_MAX_LIMIT_COMMAND);
    }
    if (appState.clockFamily != ClockFamily::None) {
        deleteMenuItem(popup, FREQUENCY_LIST_PLACEHOLDER);
        deleteMenuItem(popup, RUN_FREQUENCY_PLACEHOLDER);
        deleteMenuItem(popup, LIMIT_PLACEHOLDER);
    } else {
        greyAll(popup, CLOCK_ENTRIES_WITHOUT_CONTROL);
        greyRange(popup, FIRST_MULTIPLIER_COMMAND, LAST_MULTIPLIER_COMMAND);
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
        saveMaxLimit(id - FIRST_PXA25X_MAX_LIMIT_COMMAND + LOWEST_MAX_LIMIT);
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
