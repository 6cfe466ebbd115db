#!/usr/bin/python3
"""Shows that the emulated handheld catches each fault it is there for: each
fault below is planted alone in a copy of the program's image, a scenario is
run on it beside the simulated handheld, and the run must fail and say what
the fault is; the copy without a fault must pass every scenario used.

Usage: plant_faults.py [--sim TAVIL_SIM] [--device FOLDER]"""

import argparse
import os
import shutil
import struct
import sys
import tempfile

import pefile
from elftools.elf.elffile import ELFFile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.join(HERE, "..", "..")
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(ROOT, "tests", "device"))

from emulator.scenario import check, read_scenarios  # noqa: E402
from plant_image_faults import patch, remove_resource  # noqa: E402

HIGHLOW = 3
STRD_R0_R1_SP = 0xE1CD00F0          # strd r0, r1, [sp]: 8-byte aligned only if sp is
PUSH, POP = 0xE92D0000, 0xE8BD0000   # stmdb sp!, {...} and ldmia sp!, {...}
R4 = 1 << 4
WINDOW_PROCEDURE = "_ZN12_GLOBAL__N_114deliverMessageEP6HWND__jjl"
START_UP = "_Z8runTavil12ModuleHandlePKDs"
FAULT_GUARD = "_Z15runFaultGuardedPFvPvES_"
PROGRAM = "Tavil.exe"


def symbol(elf_path, name):
    with open(elf_path, "rb") as stream:
        found = ELFFile(stream).get_section_by_name(".symtab").get_symbol_by_name(name)
        return found[0]["st_value"], found[0]["st_size"]


def file_offset(image, address):
    return image.get_offset_from_rva(address - image.OPTIONAL_HEADER.ImageBase)


def function_entry(image, address):
    """(file offset of its .pdata entry, prolog length) of the function at address."""
    directory = image.OPTIONAL_HEADER.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_EXCEPTION"]]
    for offset in range(0, directory.Size, 8):
        start, packed = struct.unpack("<II", image.get_data(directory.VirtualAddress + offset, 8))
        if start == address:
            return image.get_offset_from_rva(directory.VirtualAddress + offset), packed & 0xFF
    raise LookupError(f"no function-table entry for 0x{address:08X}")


def realign_callback_stack(image_path, elf_path):
    """The window procedure's first instruction after its prolog stores a
    doubleword at sp, as code built for an 8-byte aligned stack may."""
    image = pefile.PE(image_path)
    address, _ = symbol(elf_path, WINDOW_PROCEDURE)
    _, prolog = function_entry(image, address)
    patch(image_path, file_offset(image, address + 4 * prolog), struct.pack("<I", STRD_R0_R1_SP))


def clobber_r4(image_path, elf_path):
    """The window procedure neither saves nor restores r4, which it uses."""
    image = pefile.PE(image_path)
    address, size = symbol(elf_path, WINDOW_PROCEDURE)
    for at in range(address, address + size, 4):
        offset = file_offset(image, at)
        word = struct.unpack("<I", image.__data__[offset:offset + 4])[0]
        if word & 0xFFFF0000 in (PUSH, POP) and word & R4:
            patch(image_path, offset, struct.pack("<I", word & ~R4))


def drop_relocation(image_path, elf_path):
    """The base relocation of start-up's first literal cleared."""
    image = pefile.PE(image_path)
    begin, size = symbol(elf_path, START_UP)
    rvas = range(begin - image.OPTIONAL_HEADER.ImageBase, begin + size - image.OPTIONAL_HEADER.ImageBase)
    entry = next(entry for block in image.DIRECTORY_ENTRY_BASERELOC for entry in block.entries
                 if entry.type == HIGHLOW and entry.rva in rvas)
    patch(image_path, entry.struct.get_file_offset(), struct.pack("<H", entry.struct.Data & 0x0FFF))


def remove_dialog(image_path, elf_path):
    remove_resource(image_path, None, elf_path)


def remove_guard_entry(image_path, elf_path):
    """The fault guard's entry taken out of the function table (the entries
    after it move up; the table is one entry shorter)."""
    image = pefile.PE(image_path)
    address, _ = symbol(elf_path, FAULT_GUARD)
    offset, _ = function_entry(image, address)
    directory = image.OPTIONAL_HEADER.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_EXCEPTION"]]
    end = image.get_offset_from_rva(directory.VirtualAddress + directory.Size)
    patch(image_path, offset, image.__data__[offset + 8:end] + bytes(8))
    size_at = directory.get_field_absolute_offset("Size")
    patch(image_path, size_at, struct.pack("<I", directory.Size - 8))


# (what is planted, planter, scenario, variant, what the failure must say)
PLANTS = (
    ("a callback that needs an 8-byte aligned stack", realign_callback_stack, "exit", 0,
     "not 8-byte aligned"),
    ("a window procedure that does not preserve r4", clobber_r4, "exit", 0, "did not preserve r4"),
    ("a dropped base relocation (the image loaded away from its base)", drop_relocation,
     "menu_pxa27x", 1, "0x0001"),
    ("a dialog missing from the resources", remove_dialog, "dialogs", 0, "the runs differ"),
    ("the fault guard's function-table entry removed", remove_guard_entry, "faults", 0,
     "unhandled fault"),
)


def copy_program(device, folder):
    for name in (PROGRAM, PROGRAM + ".elf"):
        shutil.copy(os.path.join(device, name), os.path.join(folder, name))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--sim", default=os.path.join(ROOT, "build", "host", "tavil-sim"))
    parser.add_argument("--device", default=os.path.join(ROOT, "build", "device"))
    options = parser.parse_args()
    failures = 0
    for name, planter, scenario_name, variant, fragment in (("no fault", None, None, None, None),) + PLANTS:
        # each failure's message is shown, so that what the harness says of a fault can be read
        used = sorted({(plant[2], plant[3]) for plant in PLANTS}) if planter is None else [(scenario_name, variant)]
        with tempfile.TemporaryDirectory(prefix="tavil-plant-") as folder:
            copy_program(options.device, folder)
            if planter:
                planter(os.path.join(folder, PROGRAM), os.path.join(folder, PROGRAM + ".elf"))
            for each, number in used:
                scenario = read_scenarios(os.path.join(HERE, "scenarios", each + ".scenario"))[number]
                problem = check(scenario, options.sim, folder)
                caught = problem is None if planter is None else problem is not None and fragment in problem
                print(f"{'ok  ' if caught else 'FAIL'} {name}: {scenario.name}")
                if problem or not caught:
                    print("    " + (problem or "the fault went unnoticed").replace("\n", "\n    "))
                failures += not caught
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
