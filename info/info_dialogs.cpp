#include "info/info_dialogs.h"

#include "core/app_state.h"
#include "core/command_ids.h"
#include "info/dialog_contents.h"
#include "platform/sounds.h"

namespace {

struct InfoDialog {
    unsigned templateId;
    std::uint8_t AppState::*openFlag;
    WindowHandle AppState::*window;
    DialogProcedure procedure;
    void (*fillAtCreation)(); // nullptr: nothing is written when the dialog opens
};

// By InfoDialogKind. The Memory and System commands open templates 103 and 102.
constexpr InfoDialog INFO_DIALOGS[] = {
    {100, &AppState::processorDialogOpen, &AppState::processorDialog, processorDialogProc,
     fillProcessorIdentity},
    {101, &AppState::powerDialogOpen, &AppState::powerDialog, powerDialogProc, nullptr},
    {103, &AppState::memoryDialogOpen, &AppState::memoryDialog, memoryDialogProc, fillMemoryDialog},
    {102, &AppState::systemDialogOpen, &AppState::systemDialog, systemDialogProc, fillSystemDialog},
    {104, &AppState::aboutDialogOpen, &AppState::aboutDialog, aboutDialogProc, nullptr},
};

const InfoDialog& infoDialog(InfoDialogKind kind) {
    return INFO_DIALOGS[static_cast<int>(kind)];
}

// The two messages every information dialog handles.
std::intptr_t handleInfoDialogMessage(InfoDialogKind kind, WindowHandle dialog,
                                      std::uint32_t message, std::uintptr_t wParam) {
    const InfoDialog& row = infoDialog(kind);
    if (message == WM_INITDIALOG_MESSAGE) {
        appState.*row.window = dialog;
        if (row.fillAtCreation != nullptr) {
            row.fillAtCreation();
        }
        return 1;
    }
    if (message == WM_COMMAND_MESSAGE && commandIdOf(wParam) == DIALOG_OK) {
        endDialog(dialog, DIALOG_OK);
        appState.*row.openFlag = 0;
        return 1;
    }
    return 0;
}

} // namespace

void openInfoDialog(InfoDialogKind kind) {
    const InfoDialog& row = infoDialog(kind);
    if (appState.*row.openFlag != 0) {
        bringWindowToFront(appState.*row.window);
        return;
    }
    appState.*row.openFlag = 1;
    if (kind == InfoDialogKind::About) {
        informationSound();
    }
    if (createDialogFromResource(appState.instance, row.templateId, row.procedure) ==
        WindowHandle::None) {
        appState.*row.openFlag = 0; // no dialog: the menu entry must work again
    }
}

std::intptr_t processorDialogProc(WindowHandle dialog, std::uint32_t message, std::uintptr_t wParam,
                                  std::intptr_t) {
    return handleInfoDialogMessage(InfoDialogKind::Processor, dialog, message, wParam);
}

std::intptr_t powerDialogProc(WindowHandle dialog, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t) {
    return handleInfoDialogMessage(InfoDialogKind::Power, dialog, message, wParam);
}

std::intptr_t memoryDialogProc(WindowHandle dialog, std::uint32_t message, std::uintptr_t wParam,
                               std::intptr_t) {
    return handleInfoDialogMessage(InfoDialogKind::Memory, dialog, message, wParam);
}

std::intptr_t systemDialogProc(WindowHandle dialog, std::uint32_t message, std::uintptr_t wParam,
                               std::intptr_t) {
    return handleInfoDialogMessage(InfoDialogKind::System, dialog, message, wParam);
}

std::intptr_t aboutDialogProc(WindowHandle dialog, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t) {
    return handleInfoDialogMessage(InfoDialogKind::About, dialog, message, wParam);
}
