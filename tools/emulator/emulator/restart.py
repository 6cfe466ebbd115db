"""A restart of the handheld that the program asked for, carried out as the
simulated handheld carries it out: the program's process ends where it stands
and the system takes back all it held; a full reset first returns the registry
and files to the factory state; the system's own processes start again, the
processor as after power-on; the display driver takes the screen mode its
registry key names; then each shortcut in the Startup folder starts its
program. What the handheld was at the start of the scenario stands for its
factory and power-on state."""

import copy

from emulator.handles import Handles
from emulator.registry_store import folded

PROGRAM_FILE = "tavil.exe"
FOLDER_STARTUP = 7
DISPLAY_DRIVER_KEY = "HKLM\\Drivers\\Display\\GPE"
LOGICAL_PIXELS = ("LogicalPixelsX", "LogicalPixelsY")
VGA_LOGICAL_PIXELS = 192
PURE_VGA_LOGICAL_PIXELS = 96
VGA_LONG_SIDE = 640
VGA_ICONS = (32, 64)        # small and large icon of the VGA screen's own mode
PURE_VGA_ICONS = (16, 32)
KEPT_STATES = ("processor-faults",)   # the processor's planted faults outlive a restart
STARTED_THREADS = 1


def _file_name(path):
    return path.rsplit("\\", 1)[-1]


def _vga_screen(world):
    return max(world.screen.width, world.screen.height) >= VGA_LONG_SIDE


def _end_program_process(handheld):
    handheld.states = {key: value for key, value in handheld.states.items() if key in KEPT_STATES}
    handheld.handles = Handles()
    world = handheld.world
    world.processes = [each for each in world.processes if folded(each.name) != PROGRAM_FILE]


def _return_to_factory_state(world, factory):
    world.registry = copy.deepcopy(factory.registry)
    world.files = copy.deepcopy(factory.files)
    world.display.orientation = 0
    if _vga_screen(world):
        world.screen = copy.copy(factory.screen)
        key = world.registry.make(DISPLAY_DRIVER_KEY)
        for name in LOGICAL_PIXELS:
            if key.value(name) is None:
                key.store(name, 4, VGA_LOGICAL_PIXELS.to_bytes(4, "little"))
    world.next_restart_clean = False


def _start_system(world, factory):
    kernel_mode = False
    world.processor = copy.copy(factory.processor)
    world.processor.kernel_mode = kernel_mode
    world.processes = [copy.copy(each) for each in factory.processes if getattr(each, "system", False)]
    world.memory = copy.copy(factory.memory)
    world.memory_taken_by_others = 0


def _take_screen_mode(world):
    if not _vga_screen(world):
        return
    key = world.registry.find(DISPLAY_DRIVER_KEY)
    value = key.value(LOGICAL_PIXELS[0]) if key else None
    pixels = int.from_bytes(value.data[:4], "little") if value else 0
    world.screen.small_icon, world.screen.icon = \
        PURE_VGA_ICONS if pixels == PURE_VGA_LOGICAL_PIXELS else VGA_ICONS


def _startup_targets(world):
    folder = world.folders.get(FOLDER_STARTUP)
    if not folder:
        return []
    prefix = folded(folder + "\\")
    return [each.target for each in world.files
            if each.target and folded(each.path).startswith(prefix)
            and len(each.path) > len(prefix) and "\\" not in each.path[len(prefix):]]


def restart_handheld(handheld, factory, full_reset):
    """Carries out the restart; True when the Startup folder starts Tavil again."""
    world = handheld.world
    _end_program_process(handheld)
    if full_reset:
        _return_to_factory_state(world, factory)
    _start_system(world, factory)
    _take_screen_mode(world)
    program_starts = False
    for target in _startup_targets(world):
        name = _file_name(target)
        if folded(name) == PROGRAM_FILE and not program_starts:
            program_starts = True
            world.new_process("Tavil.exe", STARTED_THREADS)
        elif any(folded(name) == folded(program) for program in world.programs):
            world.new_process(name, STARTED_THREADS)
    return program_starts
