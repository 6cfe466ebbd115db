"""The scenario's driver on the emulated handheld: the script's commands
carried out whenever the program waits for a message, with menus and message
boxes answered by the script's next line, exactly as the simulated handheld's
script mode does it, so that the two runs can be compared."""

from emulator import clock_hardware
from emulator.errors import ScenarioFailure
from emulator.system import notification_icon, user_interface
from emulator.trace import quoted

TAP_MESSAGE = 513          # the left button going down on the icon
WM_CLOSE = 0x0010
MB_TYPE_MASK = 0x0F
MB_YESNO = 0x04
ANSWER_OK, ANSWER_YES, ANSWER_NO = 1, 6, 7
WAITS_AFTER_CLOSE = 1000   # a program that never ends stops the scenario here


def _without_marks(text):
    return text.replace("&", "").strip(" ")


class ScriptDriver:
    def __init__(self, commands, start_second_copy):
        self.commands = commands
        self.next = 0
        self.wait_until = 0
        self.failure = None
        self.close_asked = False
        self.waits_after_close = 0
        self.dialogs_written = {}   # window -> the lines last written for it
        self.start_second_copy = start_second_copy
        self.system = None          # the program's process, once it runs

    def attach(self, system):
        self.system = system

    # what the program's message loop asks

    def wait_for_script(self, system, due_ms):
        if self.close_asked:
            self.waits_after_close += 1
            if self.waits_after_close > WAITS_AFTER_CLOSE:
                raise ScenarioFailure(f"the program still waits for messages {WAITS_AFTER_CLOSE} "
                                      "times after it was asked to close")
        self._trace_dialogs(system)
        if self.wait_until > system.now_ms:
            self._advance_to(system, due_ms)
            return
        while True:
            if self.failure or self.next == len(self.commands):
                self.close_program(system)
                return
            command = self._take()
            if self._carry_out(system, command, due_ms):
                return

    def choose_menu(self, system, menu):
        command = self._take_if("choose")
        if command is None:
            return 0
        found = []
        self._find_entries(user_interface.menu_entries(system, menu), command, "", found)
        if not found:
            return self._fail(command, f"the menu has no entry {command.word}") or 0
        if len(found) > 1:
            return self._fail(command, f"the menu has {len(found)} entries \"{command.word}\"") or 0
        entry = found[0][0]
        if entry.greyed:
            return self._fail(command, f"the entry {command.word} is greyed") or 0
        return entry.id

    def answer_message_box(self, system, text, caption, style):
        yes_no = style & MB_TYPE_MASK == MB_YESNO
        default = ANSWER_NO if yes_no else ANSWER_OK
        command = self._take_if("answer")
        if command is None:
            return default
        if yes_no == (command.number == ANSWER_OK):
            self._fail(command, "the message box has no such button")
            return default
        return command.number

    # the script

    def _take(self):
        command = self.commands[self.next]
        self.next += 1
        self.system.trace.line(f"step {command.line}: {command.text}")
        return command

    def _take_if(self, verb):
        if self.failure or self.next == len(self.commands) or self.commands[self.next].verb != verb:
            return None
        return self._take()

    def _fail(self, command, what):
        if self.failure is None:
            self.failure = f"line {command.line}: {what}"
        self.close_program(self.system)
        return None

    def _advance_to(self, system, due_ms):
        until = self.wait_until if due_ms is None else min(due_ms, self.wait_until)
        if until > system.now_ms:
            system.advance_time(until - system.now_ms)

    def _carry_out(self, system, command, due_ms):
        """Carries out one command; False when the script goes straight on."""
        verb = command.verb
        if verb == "wait":
            self.wait_until = system.now_ms + 1000 * command.number
            self._advance_to(system, due_ms)
            return command.number != 0
        if verb == "tap":
            icon = notification_icon.shown(system)
            if icon is None or not user_interface.post_message(system, icon.window, icon.callback_message,
                                                               icon.id, TAP_MESSAGE):
                self._fail(command, "there is no tray icon to tap")
        elif verb == "choose":
            self._fail(command, "no menu is open")
        elif verb == "answer":
            self._fail(command, "no message box is up")
        elif verb == "ok":
            if not user_interface.press_dialog_ok(system):
                self._fail(command, "no dialog is open")
        elif verb == "show":
            return False
        elif verb == "quit":
            self.close_program(system)
        elif verb == "second":
            system.trace.line(f"second exit {self.start_second_copy(command.word)}")
        else:
            self._act_on_world(system, command)
        return True

    def _act_on_world(self, system, command):
        world, what = system.world, command.what
        if what == "cccr":
            world.processor.cccr = command.number
            world.processor.running_cccr = command.number
        elif what == "power":
            world.set_external_power(command.word == "on")
        elif what == "battery":
            world.set_battery_percent(command.number)
        elif what == "load":
            world.set_load(command.number)
        elif what == "memory":
            self._take_or_give_memory(world, command)
        elif what == "start":
            if not world.start_process(command.word):
                self._fail(command, "no more processes can start")
        elif what == "end":
            if not world.end_process(command.number):
                self._fail(command, f"no process has id {command.number}")
        elif what == "rotate":
            world.rotate(command.number)
        elif what == "fault":
            self._plant_fault(system, command)

    def _take_or_give_memory(self, world, command):
        take = command.word == "take"
        if take == (world.memory_taken_by_others != 0):
            self._fail(command, "the 8 MB are taken already" if take else "no memory was taken to give back")
        elif not world.take_or_give_memory():
            self._fail(command, "8 MB are not free")

    def _plant_fault(self, system, command):
        clock_hardware.plant_fault(system, command.word, command.number)

    def _find_entries(self, entries, command, above, found):
        for entry in entries:
            place = above + _without_marks(entry.text)
            if entry.submenu is not None:
                self._find_entries(entry.submenu, command, place + " > ", found)
            elif not entry.separator and (entry.id == command.number if command.by_id else
                                          command.word in (_without_marks(entry.text), place)):
                found.append((entry, place))

    # closing, and what dialogs show

    def close_program(self, system):
        icon = notification_icon.shown(system)
        if self.close_asked or icon is None or \
                not user_interface.post_message(system, icon.window, WM_CLOSE, 0, 0):
            user_interface.post_quit_message(system, 0)
        self.close_asked = True

    def _trace_dialogs(self, system):
        shown = {}
        for window, caption, controls in user_interface.open_dialogs(system):
            lines = [f"dialog {quoted(caption)}"] + [f"{id} {quoted(text)}" for id, text in controls]
            if self.dialogs_written.get(window) != lines:
                for line in lines:
                    system.trace.line(line)
            shown[window] = lines
        for window, lines in self.dialogs_written.items():
            if window not in shown:
                system.trace.line(f"dialog closed {lines[0][len('dialog '):]}")
        self.dialogs_written = shown
