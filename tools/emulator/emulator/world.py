"""The handheld outside the program: what the simulated handheld's trace says
at its start (its `world ...` lines), and the rules by which time and the
script's world commands change it, the simulated handheld's own."""

import copy
from dataclasses import dataclass
from collections import Counter
from types import SimpleNamespace

from emulator.registry_store import REG_BINARY, REG_DWORD, REG_SZ, ROOTS, RegistryStore, folded, is_key_path
from emulator.world_lines import BadWorldLine, fields, words_of

PROCESSOR_KINDS = ("pxa27x", "pxa25x", "none")
POWER_FIELDS = (
    "ac_line_status",
    "battery_flag",
    "battery_life_percent",
    "backup_battery_flag",
    "backup_battery_life_percent",
    "battery_voltage",
    "battery_current",  # mA, negative while discharging
    "battery_temperature",
    "backup_battery_voltage",
    "battery_chemistry",
)
# The processor record's fields as the trace gives them (platform/system_info.h).
PROCESSOR_INFO_FIELDS = (("core", "t"), ("name", "t"), ("vendor", "t"), ("clock_mhz", "n"))

# The battery (platform/sim/sim_battery.cpp).
MINUTE_MS = 60000
DRIVER_REFRESH_MS = 5000
NO_BATTERY = 128
FULL = 100
ON_BATTERY, ON_MAINS = 0, 1
CHARGING_CURRENT_MA = 450
DISCHARGING_CURRENT_MA = -210
HIGH, LOW, CRITICAL, CHARGING = 1, 2, 4, 8
LOW_BELOW_PERCENT, CRITICAL_BELOW_PERCENT = 20, 5

MEMORY_TAKEN = 8 << 20  # what another program takes (terminal/world.cpp)
KERNEL = "nk.exe"
PROCESS_CAPACITY = 128
NAME_CAPACITY = 260  # with the terminator
FIRST_STARTED_PROCESS_ID, STARTED_PROCESS_IDS, PROCESS_ID_STEP = 0x5000, 0x1000, 4
STARTED_PROCESS_THREADS = 1
ORIENTATIONS = (0, 1, 2, 4)  # 0, 90, 180 and 270 degrees
SIDEWAYS = (1, 4)


@dataclass
class Processor:
    kind: str
    mainid: int
    cachetype: int
    cccr: int
    cclkcfg: int
    kernel_mode: bool = False


@dataclass
class Process:
    pid: int
    threads: int
    name: str
    system: bool = False  # the system starts it again at a restart


@dataclass
class File:
    path: str
    target: str = None  # what a shortcut starts; None for another file


def discharging_state(percent):
    if percent < CRITICAL_BELOW_PERCENT:
        return CRITICAL
    return LOW if percent < LOW_BELOW_PERCENT else HIGH


class World:
    def __init__(self):
        self.processor = None
        self.planted_faults = []  # (name, count) as the script's world fault takes them
        self.processor_info = None
        self.version = None
        self.locale = None
        self.screen = None
        self.display = None
        self.memory = None
        self.memory_taken_by_others = 0
        self.power = None  # what the battery driver reads now
        self.cached_power = None  # what the system hands out without a fresh read
        self.clock = None
        self.store = None
        self.cards = []
        self.processes = []  # in snapshot order
        self.started_processes = []  # by world start, oldest first
        self.files = []
        self.folders = {}
        self.programs = []  # installed, by the names the program starts them with
        self.programs_started = []  # (program, command line), oldest first
        self.registry = RegistryStore()
        self.next_restart_clean = False
        self.beeps = Counter()  # MessageBeep's sound type -> times

    # Reading the trace's world lines.

    @classmethod
    def from_trace_lines(cls, lines):
        world = cls()
        seen = set()
        for line in lines:
            line = line.rstrip("\n")
            if line != "world" and not line.startswith("world "):
                continue
            kind, _, rest = line[len("world ") :].partition(" ")
            reader = LINE_READERS.get(kind)
            if reader is None:
                raise BadWorldLine(f"unknown world line: {line}")
            if kind in SINGLE_LINES and kind in seen:
                raise BadWorldLine(f"a second world {kind} line: {line}")
            seen.add(kind)
            reader(world, rest, line)
        missing = [kind for kind in SINGLE_LINES if kind not in seen]
        if missing:
            raise BadWorldLine("the trace has no world " + ", ".join(missing) + " line")
        return world

    def read_processor(self, rest, line):
        pattern = ("w", "mainid", "n", "cachetype", "n", "cccr", "n", "cclkcfg", "n")
        kind, *registers = fields(words_of(rest, line), pattern, line)
        if kind not in PROCESSOR_KINDS:
            raise BadWorldLine(f"unknown processor {kind!r} in world line: {line}")
        self.processor = Processor(kind, *registers)

    def read_fault(self, rest, line):
        """A processor fault planted before the start: NAME, or access N."""
        words = words_of(rest, line)
        if len(words) == 2:
            (count,) = fields(words, ("access", "n"), line)
            self.planted_faults.append(("access", count))
        else:
            (name,) = fields(words, "w", line)
            self.planted_faults.append((name, 0))

    def read_processor_info(self, rest, line):
        pattern = tuple(kind for _, kind in PROCESSOR_INFO_FIELDS)
        values = fields(words_of(rest, line), pattern, line)
        self.processor_info = SimpleNamespace(**dict(zip((name for name, _ in PROCESSOR_INFO_FIELDS), values)))

    def read_version(self, rest, line):
        major, minor, build, platform, csd = fields(words_of(rest, line), "nnnnt", line)
        self.version = SimpleNamespace(major=major, minor=minor, build=build, platform=platform, csd=csd)

    def read_locale(self, rest, line):
        oem, ansi, default, ui, bias = fields(words_of(rest, line), "nnnnn", line)
        self.locale = SimpleNamespace(oem_cp=oem, ansi_cp=ansi, default_lang=default, ui_lang=ui, bias=bias)

    def read_screen(self, rest, line):
        width, height, small, icon = fields(words_of(rest, line), "nnnn", line)
        self.screen = SimpleNamespace(width=width, height=height, small_icon=small, icon=icon)

    def read_display(self, rest, line):
        orientation, supported = fields(words_of(rest, line), "nn", line)
        self.display = SimpleNamespace(orientation=orientation, supported=supported)

    def read_memory(self, rest, line):
        load, total, free = fields(words_of(rest, line), "nnn", line)
        self.memory = SimpleNamespace(load=load, total=total, free=free)

    def read_power(self, rest, line):
        values = fields(words_of(rest, line), "n" * len(POWER_FIELDS), line)
        self.power = SimpleNamespace(**dict(zip(POWER_FIELDS, values)))
        self.cached_power = copy.copy(self.power)

    def read_clock(self, rest, line):
        now, load, kept, counter = fields(words_of(rest, line), "nnnn", line)
        if kept not in (0, 1):
            raise BadWorldLine(f"the idle counter is kept 0 or 1 in world line: {line}")
        self.clock = SimpleNamespace(
            now=now, load_percent=load, idle_kept=kept == 1, idle_counter=counter, idle_remainder=0
        )

    def read_store(self, rest, line):
        total, free = fields(words_of(rest, line), "nn", line)
        self.store = SimpleNamespace(total=total, free=free)

    def read_card(self, rest, line):
        (name,) = fields(words_of(rest, line), "t", line)
        self.cards.append(name)

    def read_process(self, rest, line):
        words = words_of(rest, line)
        if len(words) == 4:
            pid, threads, name = fields(words, ("n", "n", "t", "system"), line)
            self.processes.append(Process(pid, threads, name, system=True))
        else:
            pid, threads, name = fields(words, "nnt", line)
            self.processes.append(Process(pid, threads, name))

    def read_file(self, rest, line):
        words = words_of(rest, line)
        if len(words) == 1:
            (path,) = fields(words, "t", line)
            self.files.append(File(path))
        else:
            path, target = fields(words, ("t", "shortcut", "t"), line)
            self.files.append(File(path, target))

    def read_folder(self, rest, line):
        folder, path = fields(words_of(rest, line), "nt", line)
        self.folders[folder] = path

    def read_program(self, rest, line):
        (name,) = fields(words_of(rest, line), "t", line)
        self.programs.append(name)

    def read_registry(self, rest, line):
        """ROOT\\PATH alone, or ROOT\\PATH "NAME" TYPE VALUE; the path ends where
        the name's quote begins."""
        quote = rest.find('"')
        path = (rest if quote < 0 else rest[:quote]).strip()
        root = path.split("\\")[0]
        if root not in ROOTS or not is_key_path(path[len(root) + 1 :]):
            raise BadWorldLine(f"no key path in world line: {line}")
        key = self.registry.make(path)
        if quote >= 0:
            key.store(*registry_value(words_of(rest[quote:], line), line))

    # Time and the script's world commands.

    def time_passed(self, milliseconds):
        """As simAdvanceClock: the battery steps, then the clock moves and the
        idle counter takes the idle share, its remainder carried over."""
        clock = self.clock
        self.step_battery(clock.now, clock.now + milliseconds)
        clock.now += milliseconds
        busy = min(clock.load_percent, 100)
        idle_share = milliseconds * (100 - busy) + clock.idle_remainder
        clock.idle_counter = (clock.idle_counter + idle_share // 100) & 0xFFFFFFFF
        clock.idle_remainder = idle_share % 100

    def step_battery(self, from_ms, to_ms):
        minutes = to_ms // MINUTE_MS - from_ms // MINUTE_MS
        power = self.power
        if minutes and self.battery_reported():
            if power.ac_line_status == ON_BATTERY:
                power.battery_life_percent -= min(minutes, power.battery_life_percent)
                power.battery_flag = discharging_state(power.battery_life_percent)
            elif power.ac_line_status == ON_MAINS:
                power.battery_life_percent = min(FULL, power.battery_life_percent + minutes)
                self.follow_mains()
        if to_ms // DRIVER_REFRESH_MS != from_ms // DRIVER_REFRESH_MS:
            self.cached_power = copy.copy(power)

    def battery_reported(self):
        return self.power.battery_flag != NO_BATTERY and self.power.battery_life_percent <= FULL

    def follow_mains(self):
        power = self.power
        full = power.battery_life_percent == FULL
        power.battery_flag = HIGH if full else CHARGING
        power.battery_current = 0 if full else CHARGING_CURRENT_MA

    def set_external_power(self, on):
        self.power.ac_line_status = ON_MAINS if on else ON_BATTERY
        if not self.battery_reported():
            return
        if on:
            self.follow_mains()
        else:
            self.power.battery_flag = discharging_state(self.power.battery_life_percent)
            self.power.battery_current = DISCHARGING_CURRENT_MA

    def set_battery_percent(self, percent):
        self.power.battery_life_percent = min(percent, FULL)

    def set_load(self, percent):
        self.clock.load_percent = min(percent, 100)

    def take_or_give_memory(self):
        """Another program takes 8 MB of the free memory, or gives back what it
        took; False when it holds none and 8 MB are not free."""
        if self.memory_taken_by_others:
            self.memory.free += self.memory_taken_by_others
            self.memory_taken_by_others = 0
            return True
        if self.memory.free < MEMORY_TAKEN:
            return False
        self.memory.free -= MEMORY_TAKEN
        self.memory_taken_by_others = MEMORY_TAKEN
        return True

    def start_process(self, name):
        """The script starts a program: its id, 0 when none can start."""
        pid = self.new_process(name, STARTED_PROCESS_THREADS)
        if pid:
            self.started_processes.append(pid)
        return pid

    def new_process(self, name, threads):
        """A process with the first free id from 0x5000; 0 when none can start."""
        for pid in range(FIRST_STARTED_PROCESS_ID, FIRST_STARTED_PROCESS_ID + STARTED_PROCESS_IDS, PROCESS_ID_STEP):
            if self.process_with_id(pid) is None:
                return pid if self.add_process(pid, threads, name) else 0
        return 0

    def add_process(self, pid, threads, name):
        if len(self.processes) == PROCESS_CAPACITY or not name or len(name) >= NAME_CAPACITY:
            return False
        self.processes.append(Process(pid, threads, name))
        return True

    def end_process(self, pid):
        """False when no process has that id, or it is the kernel."""
        process = self.process_with_id(pid)
        if process is None or self.is_kernel(process):
            return False
        self.processes.remove(process)
        return True

    def process_with_id(self, pid):
        return next((process for process in self.processes if process.pid == pid), None)

    def process_named(self, name):
        return next((process for process in self.processes if folded(process.name) == folded(name)), None)

    @staticmethod
    def is_kernel(process):
        return folded(process.name) == KERNEL

    def rotate(self, orientation):
        """The screen turns; width and height swap between upright and sideways."""
        if orientation not in ORIENTATIONS:
            raise ValueError(f"{orientation} is not an orientation")
        if (orientation in SIDEWAYS) != (self.display.orientation in SIDEWAYS):
            self.screen.width, self.screen.height = self.screen.height, self.screen.width
        self.display.orientation = orientation


def registry_value(words, line):
    if len(words) == 3 and words[1] == "dword":
        name, value = fields(words, ("t", "dword", "n"), line)
        return name, REG_DWORD, value.to_bytes(4, "little")
    if len(words) == 3 and words[1] == "sz":
        name, text = fields(words, ("t", "sz", "t"), line)
        return name, REG_SZ, (text + "\0").encode("utf-16-le")
    if len(words) in (2, 3) and words[1] == "binary":
        name, *hex_text = fields(words, ("t", "binary") + ("w",) * (len(words) - 2), line)
        try:
            return name, REG_BINARY, bytes.fromhex("".join(hex_text))
        except ValueError:
            raise BadWorldLine(f"bad binary value in world line: {line}") from None
    raise BadWorldLine(f"bad registry value in world line: {line}")


LINE_READERS = {
    "processor": World.read_processor,
    "fault": World.read_fault,
    "processor-info": World.read_processor_info,
    "version": World.read_version,
    "locale": World.read_locale,
    "screen": World.read_screen,
    "display": World.read_display,
    "memory": World.read_memory,
    "power": World.read_power,
    "clock": World.read_clock,
    "store": World.read_store,
    "card": World.read_card,
    "process": World.read_process,
    "file": World.read_file,
    "folder": World.read_folder,
    "program": World.read_program,
    "registry": World.read_registry,
}
SINGLE_LINES = ("processor", "processor-info", "version", "locale", "screen", "display", "memory", "power", "clock", "store")
