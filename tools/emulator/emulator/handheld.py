"""The system as one emulated process sees it.

A Handheld holds what every process shares: the windows, the registry, the
world outside the program, the clock, handles, the trace and the scenario's
driver. A System is one process on it: its own memory and image, and the way
to run its code. Every imported function gets the System of the process that
called it."""

from emulator.handles import Handles
from emulator.trace import Trace


class Handheld:
    def __init__(self, world, driver):
        self.world = world
        self.driver = driver
        self.handles = Handles()
        self.trace = Trace()
        self.states = {}
        self.now_ms = 0

    def state(self, key, factory):
        if key not in self.states:
            self.states[key] = factory()
        return self.states[key]


class System:
    def __init__(self, handheld, machine):
        self.handheld = handheld
        self.machine = machine
        self.last_error = 0

    @property
    def mem(self):
        return self.machine.mem

    @property
    def arena(self):
        return self.machine.arena

    @property
    def program(self):
        return self.machine.image

    @property
    def world(self):
        return self.handheld.world

    @property
    def driver(self):
        return self.handheld.driver

    @property
    def handles(self):
        return self.handheld.handles

    @property
    def trace(self):
        return self.handheld.trace

    @property
    def now_ms(self):
        return self.handheld.now_ms

    def advance_time(self, milliseconds):
        self.handheld.now_ms += milliseconds
        self.world.time_passed(milliseconds)

    def state(self, key, factory):
        return self.handheld.state(key, factory)

    def call(self, address, *args):
        """Runs the process's code at address, as the system calls a window
        procedure, and returns r0."""
        return self.machine.call(address, list(args))


    def restart(self, full_reset):
        """The program asked the device to restart: its process ends here."""
        raise ProcessEnded(full_reset)


class ProcessEnded(Exception):
    """The device restarts under the program: its process ends where it stands."""

    def __init__(self, full_reset):
        super().__init__("the device restarted" + (" with a full reset" if full_reset else ""))
        self.full_reset = full_reset
