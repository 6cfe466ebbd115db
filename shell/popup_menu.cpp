#include "shell/popup_menu.h"

#include "clock/clock_menu.h"
#include "core/app_state.h"
#include "core/command_ids.h"
#include "core/text.h"
#include "core/text_format.h"
#include "device/screen_rotation.h"
#include "platform/menus.h"
#include "platform/processes.h"
#include "platform/system_metrics.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace {

constexpr unsigned POPUP_MENU_RESOURCE = 100;
constexpr const char16_t* OWN_EXECUTABLE = u"Tavil.exe";
constexpr int TASKBAR_HEIGHT = 24; // the popup sits above it, scaled with the icons
constexpr std::uint32_t FIRST_BACKGROUND_COMMAND = FIRST_PALETTE_COMMAND + 8;
constexpr std::uint32_t ICON_VIEW_LOAD_COMMAND = FIRST_ICON_VIEW_COMMAND + 2;

// A palette index as its entry: black is index 0, the other colours 9 to 15;
// any other stored index shows as black.
std::uint32_t paletteEntry(std::uint32_t index, std::uint32_t firstEntry) {
    return index > 8 ? firstEntry + index - 8 : firstEntry;
}

void prepareIconEntries(MenuHandle popup) {
    if (appState.iconView == static_cast<std::uint32_t>(IconView::Normal)) {
        for (std::uint32_t id = FIRST_PALETTE_COMMAND; id <= LAST_PALETTE_COMMAND; ++id) {
            greyMenuItem(popup, id);
        }
    } else {
        checkMenuItem(popup, paletteEntry(appState.iconColors & 0xF, FIRST_PALETTE_COMMAND));
        checkMenuItem(popup,
                      paletteEntry(appState.iconColors >> 16 & 0xF, FIRST_BACKGROUND_COMMAND));
    }
    if (appState.loadAvailable == 0) {
        greyMenuItem(popup, ICON_VIEW_LOAD_COMMAND);
    }
    checkMenuItem(popup, FIRST_ICON_VIEW_COMMAND + appState.iconView);
}

void prepareScreenEntries(MenuHandle popup) {
    if (appState.vgaScreen != 0) {
        greyMenuItem(popup, COMMAND_SCREEN_QVGA);
        if (appState.pureVgaAvailable == 0) {
            greyMenuItem(popup, COMMAND_SCREEN_PURE_VGA);
        }
    } else {
        greyMenuItem(popup, COMMAND_SCREEN_VGA);
        greyMenuItem(popup, COMMAND_SCREEN_PURE_VGA);
    }
    checkMenuItem(popup, COMMAND_SCREEN_QVGA + appState.screenMode);
}

void prepareRotationEntries(MenuHandle popup) {
    if (appState.rotationSupported == 0) {
        checkMenuItem(popup, COMMAND_ROTATE_0);
        for (std::uint32_t id = COMMAND_ROTATE_0; id <= COMMAND_ROTATE_270; ++id) {
            greyMenuItem(popup, id);
        }
        return;
    }
    switch (queryDisplayRotation()) {
    case ORIENTATION_0:
        checkMenuItem(popup, COMMAND_ROTATE_0);
        break;
    case ORIENTATION_90:
        checkMenuItem(popup, COMMAND_ROTATE_90);
        break;
    case ORIENTATION_180:
        checkMenuItem(popup, COMMAND_ROTATE_180);
        break;
    case ORIENTATION_270:
        checkMenuItem(popup, COMMAND_ROTATE_270);
        break;
    default:
        break; // an orientation the menu has no entry for
    }
}

// The menu's bottom edge: just above the taskbar, but never above the screen,
// whatever height the screen reports.
int menuBottom() {
    const std::int64_t bottom = static_cast<std::int64_t>(systemMetric(METRIC_SCREEN_HEIGHT)) -
                                TASKBAR_HEIGHT * appState.iconScale;
    return static_cast<int>(std::clamp<std::int64_t>(bottom, 0, INT_MAX));
}

// One entry per running process, in enumeration order, before the placeholder;
// positions past the hundredth are neither kept nor offered.
void insertProcessList(MenuHandle popup) {
    appState.menuProcessCount = 0;
    const SnapshotHandle snapshot = takeProcessSnapshot();
    ProcessEntry process{};
    for (bool more = firstProcess(snapshot, process);
         more && appState.menuProcessCount < MENU_PROCESS_LIMIT;
         more = nextProcess(snapshot, process)) {
        const std::uint32_t position = appState.menuProcessCount++;
        appState.menuProcessIds[position] = process.processId;
        if (!textEquals(process.exeFile, OWN_EXECUTABLE)) {
            formatText(appState.textBuffer, u"%s (%d)", {process.exeFile, process.threadCount});
            insertMenuItemBefore(popup, PROCESS_LIST_PLACEHOLDER, FIRST_PROCESS_COMMAND + position,
                                 appState.textBuffer);
        }
    }
    closeProcessSnapshot(snapshot);
    deleteMenuItem(popup, PROCESS_LIST_PLACEHOLDER);
}

} // namespace

// One menu at a time: a request that its own loop delivers while it is up (a
// tap, a second copy's message) finds it there, and the process list stays the
// one the user chooses from.
void showPopupMenu(WindowHandle window) {
    if (appState.popupMenuUp != 0) {
        return;
    }
    appState.popupMenuUp = 1;
    const MenuHandle menu = loadMenuResource(appState.instance, POPUP_MENU_RESOURCE);
    const MenuHandle popup = subMenu(menu, 0);
    buildClockMenu(popup);
    prepareIconEntries(popup);
    prepareScreenEntries(popup);
    if (appState.autostartEnabled != 0) {
        checkMenuItem(popup, AUTOSTART_COMMAND);
    }
    prepareRotationEntries(popup);
    insertProcessList(popup);
    trackPopupMenu(popup, systemMetric(METRIC_SCREEN_WIDTH), menuBottom(), window);
    appState.popupMenuUp = 0;
    destroyMenu(menu);
}
