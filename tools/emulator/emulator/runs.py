"""The images run on the emulated handheld: the program with a script as its
user, a second copy started beside it, and a setup DLL as the package installer
calls it. Each writes its trace on the handheld's Trace."""

import copy
import os

from emulator import clock_hardware
from emulator.driver import ScriptDriver
from emulator.errors import EmulationError, ScenarioFailure
from emulator.export_names import ordinal_names
from emulator.layout import DLL_LOAD_BASE
from emulator.machine import Machine
from emulator.registry_trace import registry_lines
from emulator.restart import restart_handheld
from emulator.handheld import Handheld, ProcessEnded

SW_SHOW = 5
IDLE_REDRAW_MS = 1000
DLL_PROCESS_ATTACH, DLL_PROCESS_DETACH = 1, 0
INSTALL_DIRECTORY = "\\Program Files\\Tavil"
SETUP_EXPORTS_THAT_GO_ON = ("Install_Exit", "Uninstall_Init", "Uninstall_Exit")


def _put_text(machine, text):
    data = text.encode("utf-16-le") + b"\0\0"
    address = machine.arena.allocate(len(data))
    machine.mem.write(address, data)
    return address


class ProgramRun:
    """Tavil.exe started with a command line on a handheld of the given world,
    driven by the script's commands."""

    def __init__(self, world, commands, device_folder, base=None):
        self.path = os.path.join(device_folder, "Tavil.exe")
        self.names = ordinal_names()
        self.driver = ScriptDriver(commands, self.start_second_copy)
        self.handheld = Handheld(world, self.driver)
        self.machine = Machine(self.handheld, self.path, world.processor.kind, self.names, base)
        self.driver.attach(self.machine.system)
        for name, count in world.planted_faults:
            clock_hardware.plant_fault(self.machine.system, name, count)

    def start(self, machine, command_line):
        image = machine.image
        return machine.call(image.entry, [image.base, 0, _put_text(machine, command_line), SW_SHOW])

    def start_second_copy(self, command_line):
        second = Machine(self.handheld, self.path, self.handheld.world.processor.kind, self.names)
        return self.start(second, command_line)

    def run_without_program(self):
        """The handheld runs on under the script, a second a wait, until the
        script has run out; the program's run counts as ended with 0."""
        system = self.machine.system
        while not self.driver.close_asked:
            self.driver.wait_for_script(system, system.now_ms + IDLE_REDRAW_MS)
        return 0

    def run(self, command_line):
        trace = self.handheld.trace
        factory = copy.deepcopy(self.handheld.world)
        while True:
            try:
                exit_code = self.start(self.machine, command_line)
                break
            except ProcessEnded as ended:
                if not restart_handheld(self.handheld, factory, ended.full_reset):
                    exit_code = self.run_without_program()
                    break
                self.machine = Machine(self.handheld, self.path, self.handheld.world.processor.kind, self.names)
                self.driver.attach(self.machine.system)
                command_line = ""
        if self.driver.failure:
            trace.line(f"script failed: {self.driver.failure}")
        trace.line(f"exit {exit_code}")
        for line in registry_lines(self.handheld.world.registry):
            trace.line(line)
        return trace


def run_setup(world, device_folder, dll_name, listener=None):
    """The setup DLL loaded away from its preferred base and called as the
    package installer calls it: Install_Init's answer is the exit code, and
    the three other exports must let the installer go on."""
    handheld = Handheld(world, _NoScript())
    machine = Machine(handheld, os.path.join(device_folder, dll_name), world.processor.kind,
                      ordinal_names(), DLL_LOAD_BASE)
    machine.import_listener = listener
    image = machine.image
    if not machine.call(image.entry, [image.base, DLL_PROCESS_ATTACH, 0]):
        raise EmulationError(f"{dll_name}: DllMain refused DLL_PROCESS_ATTACH")
    before = (machine.instructions, machine.import_calls)
    answer = machine.call(image.exports["Install_Init"],
                          [0, 1, 0, _put_text(machine, INSTALL_DIRECTORY)])
    machine.install_init_cost = (machine.instructions - before[0], machine.import_calls - before[1])
    for name in SETUP_EXPORTS_THAT_GO_ON:
        if machine.call(image.exports[name], [0, _put_text(machine, INSTALL_DIRECTORY)]) != 0:
            raise EmulationError(f"{dll_name}: {name} does not let the installer go on")
    machine.call(image.entry, [image.base, DLL_PROCESS_DETACH, 0])
    handheld.trace.line(f"exit {answer}")
    for line in registry_lines(world.registry):
        handheld.trace.line(line)
    return handheld.trace, machine


class _NoScript:
    """A setup DLL runs no message loop; a message box is closed with its
    default button, as the simulated handheld closes one no script answers."""

    def answer_message_box(self, system, text, caption, style):
        return 7 if style & 0x0F == 0x04 else 1

    def wait_for_script(self, system, due_ms):
        raise EmulationError("a setup DLL waited for a message")

    def choose_menu(self, system, menu):
        raise EmulationError("a setup DLL showed a menu")
