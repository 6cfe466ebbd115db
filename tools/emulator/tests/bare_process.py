"""A process with memory but no program, for testing imported functions alone:
the test writes arguments into `scratch` and calls the handler directly."""

from unicorn import UC_ARCH_ARM, UC_MODE_ARM, Uc

from emulator.memory import Arena, Memory
from emulator.handheld import Handheld, System

SCRATCH = 0x0040_0000
SCRATCH_SIZE = 0x10000
ARENA = 0x0050_0000
ARENA_SIZE = 0x10000


class BareMachine:
    def __init__(self, image=None, procedures=None):
        self.uc = Uc(UC_ARCH_ARM, UC_MODE_ARM)
        self.uc.mem_map(SCRATCH, SCRATCH_SIZE)
        self.mem = Memory(self.uc)
        self.arena = Arena(self.uc, ARENA, ARENA_SIZE)
        self.image = image
        self.procedures = procedures or {}  # address -> python function(args) standing in for code
        self.next_scratch = SCRATCH

    def call(self, address, args):
        return self.procedures[address](*args)

    def put(self, data):
        """Copies data into scratch memory and returns its address."""
        address = self.next_scratch
        self.mem.write(address, data)
        self.next_scratch = (address + len(data) + 3) & ~3
        return address

    def put_wstr(self, text):
        return self.put(text.encode("utf-16-le") + b"\0\0")

    def buffer(self, size):
        return self.put(bytes(size))


def bare_system(world=None, driver=None, image=None, procedures=None):
    machine = BareMachine(image, procedures)
    return System(Handheld(world, driver), machine), machine
