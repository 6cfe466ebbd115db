import struct
import unittest

from emulator.errors import ApiMisuse
from emulator.handheld import Handheld
from emulator.system.dialogs import (IDOK, WM_INITDIALOG, create_dialog_indirect_param, end_dialog,
                                     open_dialogs, press_ok)
from emulator.system.windows import WM_COMMAND, destroy_window, get_dialog_item, set_window_text, show_window
from tests.ui_fixtures import ScriptedDriver, make_window, process, run_loop

DIALOG_PROCEDURE = 0x0003_0000
DS_SETFONT = 0x40
WS_TABSTOP = 0x00010000
STATIC = 0x0082


def text(value):
    return value.encode("utf-16-le") + b"\0\0"


def align4(data):
    return data + bytes(-len(data) % 4)


def control(style, control_id, class_array, title_array):
    return align4(struct.pack("<IIhhhhH", style, 0, 0, 0, 10, 10, control_id) + class_array + title_array
                  + struct.pack("<H", 0))


# A documented DLGTEMPLATE with a font, then three controls: a static label
# (id 0xFFFF), an empty value field by class name, and an icon by resource number.
TEMPLATE = align4(struct.pack("<IIHhhhh", 0x80C00000 | DS_SETFONT, 0, 3, 0, 0, 90, 40) + b"\0\0" + b"\0\0"
                  + text("Caption") + struct.pack("<H", 8) + text("Tahoma")) \
    + control(0x50020000, 0xFFFF, struct.pack("<HH", 0xFFFF, STATIC), text("Label:")) \
    + control(0x50020000 | WS_TABSTOP, 1001, text("STATIC"), text("")) \
    + control(0x50000003, 0xFFFF, struct.pack("<HH", 0xFFFF, STATIC), struct.pack("<HH", 0xFFFF, 100))


class Dialogs(unittest.TestCase):
    def setUp(self):
        self.received = []
        self.system, self.machine = process(Handheld(None, ScriptedDriver()),
                                            {DIALOG_PROCEDURE: self.dialog_procedure})
        self.template = self.machine.put(TEMPLATE)

    def dialog_procedure(self, hwnd, message, wparam, lparam):
        self.received.append((hwnd, message, wparam, lparam))
        return 1

    def create(self, template=None):
        dialog = create_dialog_indirect_param(self.system, 0, template or self.template, 0, DIALOG_PROCEDURE, 0x77)
        show_window(self.system, dialog, 5)
        return dialog

    def test_controls_and_texts_in_template_order(self):
        dialog = self.create()
        field = get_dialog_item(self.system, dialog, 1001)
        self.assertEqual(self.received, [(dialog, WM_INITDIALOG, field, 0x77)])
        set_window_text(self.system, field, self.machine.put_wstr("PXA270"))
        self.assertEqual(open_dialogs(self.system),
                         [(dialog, "Caption", [(65535, "Label:"), (1001, "PXA270"), (65535, "#100")])])

    def test_only_dialogs_on_the_screen_are_open(self):
        dialog = create_dialog_indirect_param(self.system, 0, self.template, 0, DIALOG_PROCEDURE, 0)
        table = [("made, not yet shown", lambda: None, []),
                 ("shown", lambda: show_window(self.system, dialog, 5), [dialog]),
                 ("ended", lambda: end_dialog(self.system, dialog, IDOK), [])]
        for name, act, expected in table:
            with self.subTest(name):
                act()
                self.assertEqual([window for window, _, _ in open_dialogs(self.system)], expected)

    def test_ok_reaches_the_newest_dialog_and_closing_leaves_none(self):
        self.assertFalse(press_ok(self.system))
        first, second = self.create(), self.create()
        self.assertTrue(press_ok(self.system))
        run_loop(self.system, self.machine)
        self.assertEqual(self.received[-1], (second, WM_COMMAND, IDOK, 0))
        self.assertEqual(len([r for r in self.received if r[1] == WM_COMMAND]), 1)
        for dialog in (second, first):
            end_dialog(self.system, dialog, IDOK)
            destroy_window(self.system, dialog)
        self.assertEqual(open_dialogs(self.system), [])

    def test_rules(self):
        window = make_window(self.system, self.machine, "Plain", [])
        unaligned = self.machine.put(b"\0\0" + TEMPLATE) + 2
        table = [
            ("template off its DWORD boundary", lambda: self.create(unaligned), "DWORD"),
            ("EndDialog of a plain window", lambda: end_dialog(self.system, window, 1), "not a dialog"),
        ]
        for name, call, named in table:
            with self.subTest(name):
                with self.assertRaisesRegex(ApiMisuse, named):
                    call()


if __name__ == "__main__":
    unittest.main()
