import struct
import unittest

from emulator.errors import ApiMisuse
from emulator.handheld import Handheld
from emulator.icon_resource import decode_icon_image
from emulator.system.graphics import create_bitmap, create_icon_indirect, delete_object
from emulator.system.notification_icon import shell_notify_icon, shown
from tests.ui_fixtures import ScriptedDriver, make_window, process

NIM_ADD, NIM_MODIFY, NIM_DELETE = 0, 1, 2
NIF_MESSAGE, NIF_ICON, NIF_TIP = 1, 2, 4
# The system's 16-colour palette: index 9 is red, 12 blue, 15 white.
RED, BLUE, WHITE, CLEAR = "FFFF0000", "FF0000FF", "FFFFFFFF", "00000000"

# A 2x2 icon: colour rows of 4 bits a pixel, each padded to 16 bits
# (red blue / white red); mask rows of 1 bit, padded to 16 bits, with the
# top-right pixel transparent.
COLOUR_BITS = bytes([0x9C, 0x00, 0xF9, 0x00])
MASK_BITS = bytes([0x40, 0x00, 0x00, 0x00])


def notify_record(size, window, flags, icon, tip="Tavil"):
    tip_units = tip.encode("utf-16-le")
    return struct.pack("<IIIIII", size, window, 7, flags, 0x8010, icon) + tip_units + bytes(128 - len(tip_units))


class NotificationIcon(unittest.TestCase):
    def setUp(self):
        self.system, self.machine = process(Handheld(None, ScriptedDriver()))
        self.window = make_window(self.system, self.machine, "Tavil", [])
        colour = create_bitmap(self.system, 2, 2, 1, 4, self.machine.put(COLOUR_BITS))
        mask = create_bitmap(self.system, 2, 2, 1, 1, self.machine.put(MASK_BITS))
        self.icon = create_icon_indirect(self.system, self.machine.put(struct.pack("<IIIII", 1, 0, 0, mask, colour)))
        delete_object(self.system, mask)
        delete_object(self.system, colour)

    def notify(self, action, flags=NIF_MESSAGE | NIF_ICON | NIF_TIP, size=152, record=None):
        record = record or notify_record(size, self.window, flags, self.icon)
        return shell_notify_icon(self.system, action, self.machine.put(record))

    def test_add_modify_delete_trace_the_icon(self):
        self.assertEqual(self.notify(NIM_ADD), 1)
        self.assertEqual((shown(self.system).window, shown(self.system).id, shown(self.system).callback_message),
                         (self.window, 7, 0x8010))
        self.assertEqual(self.notify(NIM_MODIFY, NIF_ICON), 1)
        self.assertEqual(self.notify(NIM_DELETE, 0), 1)
        self.assertIsNone(shown(self.system))
        rows = [f"{RED} {CLEAR}", f"{WHITE} {RED}"]
        self.assertEqual(self.system.trace.lines, ["icon add 2"] + rows + ["icon modify 2"] + rows + ["icon delete"])

    def test_answers_follow_what_is_shown(self):
        table = [("modify before add", NIM_MODIFY, 0), ("add", NIM_ADD, 1), ("add twice", NIM_ADD, 0),
                 ("delete", NIM_DELETE, 1), ("delete twice", NIM_DELETE, 0)]
        for name, action, answer in table:
            with self.subTest(name):
                self.assertEqual(self.notify(action), answer)

    def test_rules(self):
        unterminated = notify_record(152, self.window, NIF_TIP, 0, tip="x" * 64)
        table = [
            ("the desktop's record size", lambda: self.notify(NIM_ADD, size=88), "cbSize"),
            ("a tip without its terminator", lambda: self.notify(NIM_ADD, record=unterminated), "szTip"),
            ("a destroyed bitmap", lambda: create_icon_indirect(
                self.system, self.machine.put(struct.pack("<IIIII", 1, 0, 0, 0x10, 0x14))), "hbmMask"),
        ]
        for name, call, named in table:
            with self.subTest(name):
                with self.assertRaisesRegex(ApiMisuse, named):
                    call()


class IconImage(unittest.TestCase):
    def test_bottom_up_rows_palette_and_mask(self):
        # A 2x2 image of 1 bit a pixel: BITMAPINFOHEADER (height 4: colour and
        # mask), a palette of black and green, colour rows bottom-up padded to
        # 32 bits, then the mask rows.
        header = struct.pack("<IiiHHIIiiII", 40, 2, 4, 1, 1, 0, 0, 0, 0, 0, 0)
        palette = struct.pack("<II", 0x000000, 0x00FF00)
        colour_rows = bytes([0x40, 0, 0, 0, 0x80, 0, 0, 0])   # bottom row: 0 1; top row: 1 0
        mask_rows = bytes([0x00, 0, 0, 0, 0x40, 0, 0, 0])     # the top row's right pixel transparent
        pixels = decode_icon_image(header + palette + colour_rows + mask_rows, 2)
        self.assertEqual(pixels, [0xFF00FF00, 0x00000000, 0xFF000000, 0xFF00FF00])


if __name__ == "__main__":
    unittest.main()
