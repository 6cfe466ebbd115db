import struct
import unittest

from emulator.errors import ApiMisuse, ScenarioFailure
from emulator.handheld import Handheld
from emulator.menu_template import parse_menu_template
from emulator.system.menus import (build_menu, check_menu_item, delete_menu, enable_menu_item,
                                   get_menu_item_info, get_sub_menu, insert_menu, menu_entries,
                                   menu_lines, track_popup_menu)
from emulator.system.windows import WM_COMMAND, WM_CREATE
from emulator.template_reader import bytes_source
from tests.ui_fixtures import ScriptedDriver, make_window, process, run_loop

# Option words of the documented MENUITEMTEMPLATE.
GRAYED, CHECKED, POPUP, END = 0x01, 0x08, 0x10, 0x80


def text(value):
    return value.encode("utf-16-le") + b"\0\0"


def item(options, item_id, label):
    return struct.pack("<HH", options, item_id) + text(label)


def popup(options, label):
    return struct.pack("<H", POPUP | options) + text(label)


# One popup "&File" holding: Open (checked), a separator, a submenu "Recent"
# holding "One" (greyed, last), and Exit (last).
TEMPLATE = (struct.pack("<HH", 0, 0) + popup(END, "&File") + item(CHECKED, 101, "Open") + item(0, 0, "")
            + popup(0, "Recent") + item(GRAYED | END, 201, "One") + item(END, 102, "Exit"))


def entry(id, text, checked=False, greyed=False, submenu=None, separator=False):
    return (id, text, checked, greyed, submenu, separator)


EXPECTED = [entry(0, "&File", submenu=[
    entry(101, "Open", checked=True),
    entry(0, "", separator=True),
    entry(0, "Recent", submenu=[entry(201, "One", greyed=True)]),
    entry(102, "Exit"),
])]


def as_tuples(entries):
    return [(e.id, e.text, e.checked, e.greyed, None if e.submenu is None else as_tuples(e.submenu), e.separator)
            for e in entries]


class Menus(unittest.TestCase):
    def setUp(self):
        self.driver = ScriptedDriver()
        self.system, self.machine = process(Handheld(None, self.driver))
        self.menu = build_menu(self.system, parse_menu_template(bytes_source(TEMPLATE, "menu"), 0))
        self.popup = get_sub_menu(self.system, self.menu.handle, 0)

    def entries(self):
        return as_tuples(menu_entries(self.system, self.menu))

    def test_template_parses_into_the_documented_tree(self):
        self.assertEqual(self.entries(), EXPECTED)

    def lines(self):
        return menu_lines(menu_entries(self.system, self.menu))

    def test_changes_by_command_reach_submenus(self):
        # Expected: the popup as the trace's menu block shows it.
        table = [
            ("check in a submenu", lambda s, p, put: check_menu_item(s, p, 201, CHECKED), 0,
             ['  101 x- "Open"', "  separator", '  popup -- "Recent"', '    201 xg "One"', '  102 -- "Exit"']),
            ("grey", lambda s, p, put: enable_menu_item(s, p, 102, GRAYED), 0,
             ['  101 x- "Open"', "  separator", '  popup -- "Recent"', '    201 -g "One"', '  102 -g "Exit"']),
            ("absent id", lambda s, p, put: check_menu_item(s, p, 999, CHECKED), 0xFFFFFFFF,
             ['  101 x- "Open"', "  separator", '  popup -- "Recent"', '    201 -g "One"', '  102 -- "Exit"']),
            ("delete", lambda s, p, put: delete_menu(s, p, 101, 0), 1,
             ["  separator", '  popup -- "Recent"', '    201 -g "One"', '  102 -- "Exit"']),
            ("insert before, in a submenu", lambda s, p, put: insert_menu(s, p, 201, 0, 300, put("New")), 1,
             ['  101 x- "Open"', "  separator", '  popup -- "Recent"', '    300 -- "New"', '    201 -g "One"',
              '  102 -- "Exit"']),
            ("insert past the end", lambda s, p, put: insert_menu(s, p, 0xFFFFFFFF, 0x400, 301, put("Last")), 1,
             ['  101 x- "Open"', "  separator", '  popup -- "Recent"', '    201 -g "One"', '  102 -- "Exit"',
              '  301 -- "Last"']),
        ]
        for name, change, result, popup_lines in table:
            with self.subTest(name):
                self.setUp()
                self.assertEqual(change(self.system, self.popup, self.machine.put_wstr), result)
                self.assertEqual(self.lines(), ['  popup -- "&File"'] + ["  " + line for line in popup_lines])

    def info(self, position, size=44, mask=0x17):
        buffer = self.machine.buffer(128)
        record = self.machine.put(struct.pack("<IIIIIIIIIII", size, mask, 0, 0, 0, 0, 0, 0, 0, buffer, 63))
        ok = get_menu_item_info(self.system, self.popup, position, 1, record)
        fields = struct.unpack("<IIIIIIIIIII", self.system.mem.read(record, 44))
        return ok, fields[2], fields[3], fields[4], fields[5] != 0, self.system.mem.wstr(buffer), fields[10]

    def test_item_info_by_position(self):
        table = [  # position: (ok, fType, fState, wID, has submenu, text, cch)
            (0, (1, 0, 8, 101, False, "Open", 4)),
            (1, (1, 0x800, 0, 0, False, "", 0)),
            (2, (1, 0, 0, 0, True, "Recent", 6)),
            (4, (0, 0, 0, 0, False, "", 63)),
        ]
        for position, expected in table:
            with self.subTest(position=position):
                self.assertEqual(self.info(position), expected)

    def test_item_info_record_rules(self):
        for name, size, mask in [("cbSize of the desktop record", 48, 0x17), ("undefined mask bit", 44, 0x100)]:
            with self.subTest(name):
                with self.assertRaisesRegex(ApiMisuse, "cbSize" if size != 44 else "fMask"):
                    self.info(0, size, mask)

    def test_popup_traces_the_menu_and_posts_the_choice(self):
        received = []
        window = make_window(self.system, self.machine, "Owner", received)
        enable_menu_item(self.system, self.popup, 102, GRAYED)
        self.driver.choices = [101]
        self.assertEqual(track_popup_menu(self.system, self.popup, 0x28, 0, 0, window, 0), 1)
        self.assertEqual(self.system.trace.lines, [
            "menu", '  101 x- "Open"', "  separator", '  popup -- "Recent"', '    201 -g "One"',
            '  102 -g "Exit"', "chosen 101"])
        run_loop(self.system, self.machine)
        self.assertEqual([(m, w) for m, w, *_ in received if m != WM_CREATE], [(WM_COMMAND, 101)])

    def test_choosing_a_greyed_entry_fails_the_scenario(self):
        window = make_window(self.system, self.machine, "Owner", [])
        self.driver.choices = [201]
        with self.assertRaises(ScenarioFailure):
            track_popup_menu(self.system, self.popup, 0, 0, 0, window, 0)


if __name__ == "__main__":
    unittest.main()
