#include "shell/command_dispatch.h"

#include "clock/clock_menu.h"
#include "core/app_state.h"
#include "core/command_ids.h"
#include "core/settings_store.h"
#include "device/device_commands.h"
#include "device/screen_commands.h"
#include "info/info_dialogs.h"
#include "platform/message_box.h"
#include "platform/processes.h"
#include "platform/windowing.h"
#include "trayicon/icon_settings.h"

namespace {

constexpr const char16_t* END_PROCESS_QUESTION = u"Вы действительно хотите закрыть процесс ?";
constexpr const char16_t* END_PROCESS_CAPTION = u"Закрытие процесса";

bool isClockCommand(std::uint32_t id) {
    return isCommandIn(id, FIRST_FREQUENCY_COMMAND, LAST_CLOCK_LIMIT_COMMAND) ||
           isCommandIn(id, FAST_BUS_OFF_COMMAND, CLEAR_USER_PRESET_COMMAND);
}

bool isDialogCommand(std::uint32_t id) {
    return isCommandIn(id, PROCESSOR_DIALOG_COMMAND, SYSTEM_DIALOG_COMMAND) ||
           id == ABOUT_DIALOG_COMMAND;
}

InfoDialogKind dialogOfCommand(std::uint32_t id) {
    switch (id) {
    case PROCESSOR_DIALOG_COMMAND:
        return InfoDialogKind::Processor;
    case POWER_DIALOG_COMMAND:
        return InfoDialogKind::Power;
    case MEMORY_DIALOG_COMMAND:
        return InfoDialogKind::Memory;
    case SYSTEM_DIALOG_COMMAND:
        return InfoDialogKind::System;
    default:
        return InfoDialogKind::About;
    }
}

bool isDeviceCommand(std::uint32_t id) {
    return id == HELP_COMMAND || isCommandIn(id, AUTOSTART_COMMAND, FULL_RESET_COMMAND);
}

// Ends the process that held this position of the list when the menu was last
// built, once the user agrees. Positions that list did not fill name nothing.
// The id is taken before asking: the question's loop goes on delivering
// messages, and a menu opened meanwhile fills the list anew.
void endListedProcess(std::uint32_t position) {
    if (position >= appState.menuProcessCount) {
        return;
    }
    const std::uint32_t processId = appState.menuProcessIds[position];
    if (showMessageBox(END_PROCESS_QUESTION, END_PROCESS_CAPTION, MB_STYLE_YES_NO_QUESTION) !=
        MB_ANSWER_YES) {
        return;
    }
    const ProcessHandle process = openProcess(processId);
    terminateProcess(process, 0);
    closeProcessHandle(process);
}

} // namespace

std::intptr_t dispatchCommand(WindowHandle window, std::uintptr_t wParam, std::intptr_t lParam) {
    const std::uint32_t id = commandIdOf(wParam);
    if (isClockCommand(id)) {
        handleClockCommand(id);
    } else if (isDialogCommand(id)) {
        openInfoDialog(dialogOfCommand(id));
    } else if (isDeviceCommand(id)) {
        handleDeviceCommand(id);
    } else if (isCommandIn(id, FIRST_SCREEN_COMMAND, LAST_SCREEN_COMMAND)) {
        handleScreenCommand(id);
    } else if (isCommandIn(id, FIRST_ICON_VIEW_COMMAND, LAST_ICON_VIEW_COMMAND)) {
        saveIconView(id - FIRST_ICON_VIEW_COMMAND);
    } else if (isCommandIn(id, FIRST_PALETTE_COMMAND, LAST_PALETTE_COMMAND)) {
        saveIconColor(id - FIRST_PALETTE_COMMAND);
    } else if (id == EXIT_COMMAND) {
        postMessage(window, WM_CLOSE_MESSAGE, 0, 0);
    } else {
        if (id >= FIRST_PROCESS_COMMAND) {
            endListedProcess(id - FIRST_PROCESS_COMMAND);
        }
        return defaultWindowProcedure(window, WM_COMMAND_MESSAGE, wParam, lParam);
    }
    return 0;
}
