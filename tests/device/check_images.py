#!/usr/bin/python3
"""Checks the handheld's images as its loader and its users will take them:
they parse, their headers are those of Windows CE on ARM for their target, they
import only what the import list holds, every absolute address has a base
relocation, their code is ARMv5TE in ARM state with no doubleword access to the
4-byte aligned stack, their resources are the Windows build's, they export what
the installer calls, and they fit their size budgets.

Each image IMAGE comes with IMAGE.elf, the link it was converted from (whose
mapping symbols tell code from literal pools), and OTHER_BASE/IMAGE, the same
link made at another base.

Usage: check_images.py --imports TSV --windows-program EXE --link-tool ELF2PE
                       --other-base DIR IMAGE...
Prints each fault and exits with 1 when there is one."""

import argparse
import os
import subprocess
import sys
import tempfile
from dataclasses import dataclass

import pefile
from elftools.elf.elffile import ELFFile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from arm_v5te import code_faults  # noqa: E402

ARM_MACHINE = 0x01C0
WINDOWS_CE_GUI = 9
WRITABLE_AND_EXECUTABLE = 0x80000000 | 0x20000000
# pefile's guess that a file mostly of zero bytes may be cut short: small
# images whose sections are padded to 512 bytes are so by design.
ZERO_BYTES_HEURISTIC = "Byte 0x00 makes up"
SETUP_EXPORTS = ("Install_Init", "Install_Exit", "Uninstall_Init", "Uninstall_Exit")


@dataclass(frozen=True)
class Expected:
    is_library: bool
    version: tuple
    size_limit: int
    exports: tuple


EXPECTED = {
    "Tavil.exe": Expected(False, (4, 21), 64 * 1024, ()),
    "setup_wm5.dll": Expected(True, (5, 1), 8 * 1024, SETUP_EXPORTS),
    "setup_wm2003se.dll": Expected(True, (4, 21), 8 * 1024, SETUP_EXPORTS),
}


def read_import_list(path):
    """(dll, function) of the functions imported by name, and (dll, ordinal) of
    those imported by ordinal."""
    by_name, by_ordinal = set(), set()
    with open(path, encoding="utf-8") as table:
        for line in table:
            if not line.strip() or line.startswith("#"):
                continue
            dll, function, ordinal = line.rstrip("\n").split("\t")[:3]
            if dll == "dll":
                continue  # the heading
            if ordinal == "-":
                by_name.add((dll.lower(), function))
            else:
                by_ordinal.add((dll.lower(), int(ordinal)))
    return by_name, by_ordinal


def header_faults(image, expected):
    faults = []
    header, optional = image.FILE_HEADER, image.OPTIONAL_HEADER
    if header.Machine != ARM_MACHINE:
        faults.append(f"machine {header.Machine:#x}, not ARM")
    if optional.Subsystem != WINDOWS_CE_GUI:
        faults.append(f"subsystem {optional.Subsystem}, not Windows CE GUI")
    versions = {
        "subsystem": (optional.MajorSubsystemVersion, optional.MinorSubsystemVersion),
        "operating system": (optional.MajorOperatingSystemVersion,
                             optional.MinorOperatingSystemVersion),
    }
    for field, version in versions.items():
        if version != expected.version:
            faults.append(f"{field} version {version}, not {expected.version}")
    if bool(header.Characteristics & 0x2000) != expected.is_library:
        faults.append("DLL flag wrong")
    for section in image.sections:
        if section.Characteristics & WRITABLE_AND_EXECUTABLE == WRITABLE_AND_EXECUTABLE:
            name = section.Name.rstrip(b"\0").decode()
            faults.append(f"section {name} is writable and executable")
    exception_table = optional.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_EXCEPTION"]]
    if exception_table.Size == 0:
        faults.append("no function table")
    return faults


def import_faults(image, import_list):
    by_name, by_ordinal = import_list
    faults = []
    for library in getattr(image, "DIRECTORY_ENTRY_IMPORT", []):
        dll = library.dll.decode().lower()
        for function in library.imports:
            if function.import_by_ordinal:
                if (dll, function.ordinal) not in by_ordinal:
                    faults.append(f"imports {dll} ordinal {function.ordinal}, not in the list")
            elif (dll, function.name.decode()) not in by_name:
                faults.append(f"imports {dll} {function.name.decode()} by name, not in the list")
    return faults


def export_faults(image, expected):
    exported = {}
    for symbol in getattr(image, "DIRECTORY_ENTRY_EXPORT", None) and image.DIRECTORY_ENTRY_EXPORT.symbols or []:
        exported[symbol.name.decode()] = symbol.address
    if tuple(sorted(exported)) != tuple(sorted(expected.exports)):
        return [f"exports {sorted(exported)}, not {sorted(expected.exports)}"]
    if expected.exports:
        goes_on = {exported[name] for name in SETUP_EXPORTS[1:]}
        if len(goes_on) != 1 or exported["Install_Init"] in goes_on:
            return ["Install_Exit, Uninstall_Init and Uninstall_Exit are not one function apart from Install_Init"]
    return []


def resource_entries(image):
    """{(type, name, language): bytes} of every resource."""
    entries = {}

    def key(entry):
        return str(entry.name) if entry.name is not None else entry.id

    for kind in getattr(image, "DIRECTORY_ENTRY_RESOURCE", None) and image.DIRECTORY_ENTRY_RESOURCE.entries or []:
        for name in kind.directory.entries:
            for language in name.directory.entries:
                data = language.data.struct
                entries[(key(kind), key(name), language.id)] = image.get_data(data.OffsetToData, data.Size)
    return entries


def resource_faults(image, windows_program):
    ours, theirs = resource_entries(image), resource_entries(windows_program)
    faults = [f"resource {entry} missing" for entry in sorted(theirs.keys() - ours.keys(), key=str)]
    faults += [f"resource {entry} not in the Windows build" for entry in sorted(ours.keys() - theirs.keys(), key=str)]
    faults += [f"resource {entry} differs from the Windows build's"
               for entry in sorted(ours.keys() & theirs.keys(), key=str) if ours[entry] != theirs[entry]]
    return faults


def rebase_faults(path, other_path, link_tool):
    """The image rebased by the link tool to the other link's base must be that
    link, byte for byte; an absolute address without a base relocation keeps
    its old value and shows up here."""
    other_base = pefile.PE(other_path, fast_load=True).OPTIONAL_HEADER.ImageBase
    with tempfile.TemporaryDirectory() as folder:
        rebased = os.path.join(folder, "rebased")
        subprocess.run([sys.executable, link_tool, "rebase", path, "--base", hex(other_base), "-o", rebased],
                       check=True)
        with open(rebased, "rb") as first, open(other_path, "rb") as second:
            ours, theirs = first.read(), second.read()
    if ours == theirs:
        return []
    if len(ours) != len(theirs):
        return [f"rebased to {other_base:#x}: {len(ours)} bytes, the link made there {len(theirs)}"]
    # The checksum differs whenever anything else does: name what else does.
    checksum = pefile.PE(data=ours, fast_load=True).OPTIONAL_HEADER.get_field_absolute_offset("CheckSum")
    differing = [i for i in range(len(ours)) if ours[i] != theirs[i] and not checksum <= i < checksum + 4]
    where = f"file offset {differing[0]:#x}" if differing else "its checksum alone"
    return [f"rebased to {other_base:#x}: differs from the link made there at {where}"]


def code_ranges(elf):
    """(start, end, state) of each stretch of .text by its mapping symbols:
    state 'a' for ARM code, 't' for Thumb code, 'd' for data."""
    text = elf.get_section_by_name(".text")
    start, end = text["sh_addr"], text["sh_addr"] + text["sh_size"]
    marks = sorted({(symbol["st_value"], symbol.name[1])
                    for symbol in elf.get_section_by_name(".symtab").iter_symbols()
                    if symbol.name[:2] in ("$a", "$t", "$d") and start <= symbol["st_value"] < end})
    return [(address, marks[i + 1][0] if i + 1 < len(marks) else end, state)
            for i, (address, state) in enumerate(marks)]


def instruction_faults(elf_path):
    faults = []
    with open(elf_path, "rb") as stream:
        elf = ELFFile(stream)
        text = elf.get_section_by_name(".text")
        data, base = text.data(), text["sh_addr"]
        for start, end, state in code_ranges(elf):
            if state == "t":
                faults.append(f"Thumb code at {start:#x}")
            elif state == "a":
                faults += [f"{address:#x}: {what}"
                           for address, what in code_faults(data[start - base:end - base], start)]
    return faults


def image_faults(path, arguments, import_list, windows_program):
    name = os.path.basename(path)
    expected = EXPECTED.get(name)
    if expected is None:
        return [f"no expectations for {name}"]
    image = pefile.PE(path)
    faults = [f"pefile: {warning}" for warning in image.get_warnings()
              if not warning.startswith(ZERO_BYTES_HEURISTIC)]
    faults += header_faults(image, expected)
    faults += import_faults(image, import_list)
    faults += export_faults(image, expected)
    faults += resource_faults(image, windows_program) if not expected.is_library else []
    faults += rebase_faults(path, os.path.join(arguments.other_base, name), arguments.link_tool)
    faults += instruction_faults(path + ".elf")
    size = os.path.getsize(path)
    if size > expected.size_limit:
        faults.append(f"{size} bytes, over the budget of {expected.size_limit}")
    return faults


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--imports", required=True)
    parser.add_argument("--windows-program", required=True)
    parser.add_argument("--link-tool", required=True)
    parser.add_argument("--other-base", required=True)
    parser.add_argument("images", nargs="+")
    arguments = parser.parse_args()
    import_list = read_import_list(arguments.imports)
    windows_program = pefile.PE(arguments.windows_program)
    failed = False
    for path in arguments.images:
        for fault in image_faults(path, arguments, import_list, windows_program):
            print(f"{os.path.basename(path)}: {fault}")
            failed = True
    if not failed:
        print(f"{len(arguments.images)} images checked: " + ", ".join(map(os.path.basename, arguments.images)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
