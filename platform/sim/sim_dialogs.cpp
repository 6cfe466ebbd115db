#include "platform/sim/sim_dialogs.h"

#include "platform/dialogs.h"
#include "platform/sim/name_compare.h"
#include "platform/sim/resource_script.h"
#include "platform/sim/sim_handheld.h"
#include "platform/sim/sim_windows.h"

SimDialogs& simDialogs = simHandheld.dialogs;

namespace {

constexpr const char16_t* DIALOG_CLASS = u"#32770";

bool isDialog(const SimWindow& window) {
    return sameName(window.className, DIALOG_CLASS);
}

} // namespace

int simOpenDialogs() {
    int open = 0;
    for (const SimWindow& window : simWindowing.windows) {
        open += window.live && isDialog(window) ? 1 : 0;
    }
    return open;
}

WindowHandle createDialogFromResource(ModuleHandle, unsigned templateId,
                                      DialogProcedure procedure) {
    ScriptDialog script;
    if (simDialogs.creationFails || procedure == nullptr ||
        !parseScriptDialog(templateId, script)) {
        return WindowHandle::None;
    }
    const WindowHandle dialog = simAddWindow(DIALOG_CLASS, script.caption.c_str(), script.style,
                                             procedure, WindowHandle::None, 0);
    if (dialog == WindowHandle::None) {
        return WindowHandle::None;
    }
    for (const ScriptControl& control : script.controls) {
        if (simAddWindow(control.className.c_str(), control.text.c_str(), control.style, nullptr,
                         dialog, control.id) == WindowHandle::None) {
            destroyWindow(dialog);
            return WindowHandle::None;
        }
    }
    ++simDialogs.created;
    procedure(dialog, WM_INITDIALOG_MESSAGE, 0, 0);
    return dialog;
}

void endDialog(WindowHandle dialog, std::intptr_t) {
    const SimWindow* window = simWindow(dialog);
    if (window != nullptr && isDialog(*window)) {
        destroyWindow(dialog);
    }
}

WindowHandle dialogItem(WindowHandle dialog, int id) {
    return simChildWindow(dialog, id);
}
