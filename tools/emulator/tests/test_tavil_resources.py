"""The device image's resources, read through the imported functions, against
the resource script they were compiled from (resources/tavil.rc and the icon
file it names), which is the source of truth."""

import os
import re
import struct
import unittest

from emulator.export_names import ordinal_names
from emulator.icon_resource import decode_icon_image
from emulator.pe_image import load_image
from emulator.handheld import Handheld
from emulator.system.dialogs import create_dialog_indirect_param, open_dialogs
from emulator.system.graphics import load_image as load_image_w
from emulator.system.menus import load_menu, menu_entries
from emulator.system.resources import find_resource, load_resource, load_string
from emulator.system.windows import show_window
from tests.ui_fixtures import ScriptedDriver, process

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..", ".."))
IMAGE = os.path.join(ROOT, "build", "device", "Tavil.exe")
SCRIPT = os.path.join(ROOT, "resources", "tavil.rc")
ICON_FILE = os.path.join(ROOT, "resources", "tavil.ico")
QUOTED = r'"((?:[^"]|"")*)"'


def script_lines():
    with open(SCRIPT, encoding="utf-8") as stream:
        return [line.strip() for line in stream if line.strip() and not line.strip().startswith("//")]


def script_menu(lines, menu_id):
    """The MENU as (id, text, submenu or None, separator) entries."""
    at = lines.index(f"{menu_id} MENU") + 2  # past BEGIN
    stack = [[]]
    for line in lines[at:]:
        if line == "BEGIN":
            continue
        if line == "END":
            if len(stack) == 1:
                return stack[0]
            stack.pop()
        elif line == "MENUITEM SEPARATOR":
            stack[-1].append((0, "", None, True))
        elif (found := re.fullmatch(r"POPUP " + QUOTED, line)):
            submenu = []
            stack[-1].append((0, found[1], submenu, False))
            stack.append(submenu)
        else:
            found = re.fullmatch(r"MENUITEM " + QUOTED + r", (\d+)", line)
            stack[-1].append((int(found[2]), found[1], None, False))
    raise AssertionError(f"menu {menu_id} has no END")


def script_dialog(lines, dialog_id):
    """(caption, [(control id, text)]) of the DIALOG; a text given as a number reads "#N"."""
    at = next(i for i, line in enumerate(lines) if line.startswith(f"{dialog_id} DIALOG "))
    caption, controls = None, []
    for line in lines[at + 1 :]:
        if line == "END":
            return caption, controls
        if (found := re.fullmatch(r"CAPTION " + QUOTED, line)):
            caption = found[1]
        elif (found := re.match(r"CONTROL (?:" + QUOTED + r"|(\d+)), (-?\d+),", line)):
            text = found[1] if found[2] is None else f"#{found[2]}"
            controls.append((int(found[3]) & 0xFFFF, text))
    raise AssertionError(f"dialog {dialog_id} has no END")


def ico_image(size):
    with open(ICON_FILE, "rb") as stream:
        data = stream.read()
    count = struct.unpack_from("<H", data, 4)[0]
    for index in range(count):
        width, height, _, _, _, _, length, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * index)
        if (width, height) == (size, size):
            return data[offset : offset + length]
    raise AssertionError(f"the icon file has no {size}x{size} image")


def as_script(entries):
    return [(e.id, e.text, None if e.submenu is None else as_script(e.submenu), e.separator) for e in entries]


@unittest.skipUnless(os.path.exists(IMAGE), "build the device image first (cmake --build --preset device)")
class TavilResources(unittest.TestCase):
    def setUp(self):
        self.lines = script_lines()
        self.system, self.machine = process(Handheld(None, ScriptedDriver()))
        self.machine.image = load_image(self.machine.uc, IMAGE, ordinal_names())
        self.base = self.machine.image.base

    def test_menu(self):
        menu = load_menu(self.system, self.base, 100)
        self.assertEqual(as_script(menu_entries(self.system, self.system.handles.get(menu, "menu"))),
                         script_menu(self.lines, 100))

    def test_dialogs(self):
        for dialog_id in range(100, 105):
            with self.subTest(dialog=dialog_id):
                found = find_resource(self.system, self.base, dialog_id, 5)
                template = load_resource(self.system, self.base, found)
                dialog = create_dialog_indirect_param(self.system, self.base, template, 0, 0, 0)
                show_window(self.system, dialog, 5)
                self.assertEqual(open_dialogs(self.system)[-1][1:], script_dialog(self.lines, dialog_id))

    def test_string_and_what_the_image_lacks(self):
        expected = re.search(r"^1 " + QUOTED + "$", "\n".join(self.lines), re.M)[1]
        buffer = self.machine.buffer(512)
        table = [(1, len(expected), expected), (2, 0, ""), (17, 0, "")]
        for string_id, length, text in table:
            with self.subTest(string=string_id):
                self.system.mem.write(buffer, b"\0\0")
                self.assertEqual(load_string(self.system, self.base, string_id, buffer, 256), length)
                self.assertEqual(self.system.mem.wstr(buffer), text)
        self.assertEqual(load_menu(self.system, self.base, 101), 0)
        self.assertEqual(find_resource(self.system, self.base, 105, 5), 0)

    def test_icon_sizes(self):
        for size in (16, 32):
            with self.subTest(size=size):
                icon = self.system.handles.get(load_image_w(self.system, self.base, 100, 1, size, size, 0), "icon")
                self.assertEqual(icon.argb, decode_icon_image(ico_image(size), size))


if __name__ == "__main__":
    unittest.main()
