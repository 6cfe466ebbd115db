import unittest

from emulator.handheld import Handheld
from emulator.menu_template import MenuItem
from emulator.system.menus import build_menu, track_popup_menu
from emulator.system.message_boxes import message_box
from emulator.system.windows import next_message, post_message, post_quit
from tests.ui_fixtures import ScriptedDriver, make_window, process

USER_MESSAGE = 0x8001
MB_YESNO = 0x04


class ModalLoops(unittest.TestCase):
    """While a popup menu or a message box is up, its loop delivers what was
    queued before the driver answers; the quit request stays queued."""

    def test_queued_messages_come_before_the_answer(self):
        driver = ScriptedDriver(choices=[0], answers=[7])
        system, machine = process(Handheld(None, driver))
        received = []
        window = make_window(system, machine, "Owner", received)
        menu = build_menu(system, [MenuItem(5, "Five")])
        seen_at_answer = []
        driver.choose_menu = lambda s, m: seen_at_answer.append(len(received)) or 0
        driver.answer_message_box = lambda s, t, c, style: seen_at_answer.append(len(received)) or 7
        table = [
            ("popup menu", lambda: track_popup_menu(system, menu.handle, 0, 0, 0, window, 0), 1, ["chosen 0"]),
            ("message box", lambda: message_box(system, 0, machine.put_wstr("Sure?"), machine.put_wstr("Tavil"),
                                                MB_YESNO), 7,
             ['messagebox "Tavil" "Sure?" 0x00000004 answer 7']),
        ]
        for name, show, result, last_trace in table:
            with self.subTest(name):
                post_message(system, window, USER_MESSAGE, 1, 0)
                post_quit(system, 3)
                self.assertEqual(show(), result)
                self.assertEqual(received[-1][:2], (USER_MESSAGE, 1))
                self.assertEqual(seen_at_answer[-1], len(received))
                self.assertEqual(system.trace.lines[-1:], last_trace)
        self.assertEqual(next_message(system).wparam, 3)


if __name__ == "__main__":
    unittest.main()
