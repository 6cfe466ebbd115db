"""What the user-interface tests share: a scripted driver, a window whose
procedure records what it gets, and the running of a message loop."""

import struct

from tests.bare_process import BareMachine
from emulator.handheld import System
from emulator.system.windows import create_window, dispatch_message, get_message, post_quit, register_class

PROCEDURE = 0x0001_0000


class ScriptedDriver:
    """Waits by running the next step (a function of the system and due time);
    with no steps left it asks the program to quit."""

    def __init__(self, steps=(), choices=(), answers=()):
        self.steps = list(steps)
        self.choices = list(choices)
        self.answers = list(answers)
        self.shown_menus = []
        self.boxes = []

    def wait_for_script(self, system, due_ms):
        if self.steps:
            self.steps.pop(0)(system, due_ms)
        else:
            post_quit(system, 0)

    def choose_menu(self, system, menu):
        self.shown_menus.append(menu)
        return self.choices.pop(0)

    def answer_message_box(self, system, text, caption, style):
        self.boxes.append((text, caption, style))
        return self.answers.pop(0)


def process(handheld, procedures=None):
    machine = BareMachine(procedures=procedures)
    return System(handheld, machine), machine


def make_window(system, machine, title, received, class_name="Probe", procedure=PROCEDURE):
    """A window of a class registered for it, whose procedure notes
    (message, wParam, lParam, time) and answers 0."""

    def record(hwnd, message, wparam, lparam):
        received.append((message, wparam, lparam, system.now_ms))
        return 0

    machine.procedures[procedure] = record
    name = machine.put_wstr(class_name)
    register_class(system, machine.put(struct.pack("<IIiiIIIIII", 0, procedure, 0, 0, 0, 0, 0, 0, 0, name)))
    return create_window(system, 0, name, machine.put_wstr(title), 0, 0, 0, 0, 0, 0, 0, 0, 0)


def run_loop(system, machine):
    """The program's loop: gets and dispatches until the quit message, whose
    wParam it returns."""
    msg = machine.buffer(28)
    while get_message(system, msg, 0, 0, 0):
        dispatch_message(system, msg)
    return system.mem.u32(msg + 8)
