"""Dialogs made from a standard template in the program's memory: the dialog
is a window of class "#32770" whose procedure is the program's dialog
procedure, and each control a child window of the system's with its id and
text. The script runner reads the open dialogs and presses their OK button."""

from emulator.api import imported
from emulator.dialog_template import parse_dialog_template
from emulator.errors import ApiMisuse
from emulator.system import checks
from emulator.system.windows import (DIALOG_CLASS, WM_COMMAND, add_window, children, live_window,
                                     post_message, send, windowing)

WM_INITDIALOG = 0x0110
WS_TABSTOP = 0x00010000
IDOK = 1


def live_dialog(system, function, handle):
    window = live_window(system, function, "hDlg", handle)
    if not window.is_dialog:
        raise ApiMisuse(f"{function}: hDlg 0x{handle:08X} is a {window.class_name} window, not a dialog")
    return window


@imported("coredll.dll", "CreateDialogIndirectParamW")
def create_dialog_indirect_param(system, hInstance, lpTemplate, hWndParent, lpDialogFunc, dwInitParam):
    checks.not_null("CreateDialogIndirectParamW", "lpTemplate", lpTemplate)
    if lpTemplate % 4:
        raise ApiMisuse(f"CreateDialogIndirectParamW: lpTemplate 0x{lpTemplate:08X} is not on a DWORD boundary")
    if hWndParent != 0:
        live_window(system, "CreateDialogIndirectParamW", "hWndParent", hWndParent)
    template = parse_dialog_template(system.mem.read, lpTemplate)
    dialog = add_window(system, DIALOG_CLASS, template.caption, template.style, lpDialogFunc, hWndParent)
    controls = [add_window(system, control.class_name, control.text, control.style, 0, dialog.handle,
                           control.id) for control in template.controls]
    focus = next((control.handle for control in controls if control.style & WS_TABSTOP), 0)
    send(dialog, WM_INITDIALOG, focus, dwInitParam)
    return dialog.handle


@imported("coredll.dll", "EndDialog")
def end_dialog(system, hDlg, nResult):
    """A dialog made without a loop of its own is hidden; its maker destroys it."""
    live_dialog(system, "EndDialog", hDlg).visible = False
    return 1


def _shown_dialogs(system):
    return [window for window in windowing(system).windows if window.is_dialog and window.visible]


def open_dialogs(system):
    """Each dialog on the screen, oldest first: (window, caption, [(control id,
    text), ...]) with the controls in template order."""
    return [(dialog.handle, dialog.title, [(control.id, control.title) for control in children(system, dialog)])
            for dialog in _shown_dialogs(system)]


def press_ok(system):
    """The user presses OK in the caption of the newest dialog on the screen;
    False when there is none."""
    shown = _shown_dialogs(system)
    return bool(shown) and post_message(system, shown[-1].handle, WM_COMMAND, IDOK, 0)
