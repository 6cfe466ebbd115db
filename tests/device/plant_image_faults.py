#!/usr/bin/python3
"""Shows that check_images.py fails on each fault it is there for: each fault
below is planted alone in a copy of the images, and the check must fail and
say what the fault is; the copy without a fault must pass.

Usage: plant_image_faults.py CHECK_ARGUMENTS... (those of check_images.py)"""

import os
import shutil
import struct
import subprocess
import sys
import tempfile

import pefile
from elftools.elf.elffile import ELFFile

CHECK = os.path.join(os.path.dirname(os.path.abspath(__file__)), "check_images.py")
HIGHLOW = 3
MOVW_R0_0 = 0xE3000000  # ARMv6T2 and later
LDRD_R2_SP = 0xE1CD20D0  # ldrd r2, r3, [sp]: the stack is 4-byte aligned only


def patch(path, offset, data):
    with open(path, "r+b") as stream:
        stream.seek(offset)
        stream.write(data)


def drop_relocation(image_path, other_path, _elf_path):
    """The same HIGHLOW entry cleared in both links, with their checksums made
    anew, so that their relocation tables and checksums still agree and only
    the address left unrelocated tells."""
    for path in (image_path, other_path):
        entry = next(entry for block in pefile.PE(path).DIRECTORY_ENTRY_BASERELOC
                     for entry in block.entries if entry.type == HIGHLOW)
        patch(path, entry.struct.get_file_offset(), struct.pack("<H", entry.struct.Data & 0x0FFF))
        image = pefile.PE(path)
        checksum = image.OPTIONAL_HEADER.get_field_absolute_offset("CheckSum")
        patch(path, checksum, struct.pack("<I", image.generate_checksum()))


def change_import(by_ordinal):
    """A planter that changes the first import made by ordinal (in both the
    lookup and the address table) or by name to one the list does not hold."""
    def plant(image_path, _other_path, _elf_path):
        image = pefile.PE(image_path)
        function = next(function for library in image.DIRECTORY_ENTRY_IMPORT for function in library.imports
                        if function.import_by_ordinal == by_ordinal)
        if by_ordinal:
            address_table = image.get_offset_from_rva(function.address - image.OPTIONAL_HEADER.ImageBase)
            for offset in (function.struct_table.get_file_offset(), address_table):
                patch(image_path, offset, struct.pack("<I", 0x80000000 | 9999))
        else:
            name = bytearray(function.name)
            name[-1] ^= 0x01
            patch(image_path, function.name_offset, bytes(name))
    return plant


def remove_resource(image_path, _other_path, _elf_path):
    """Dialog 104's entry renamed 105: the Windows build's dialog 104 is missing."""
    image = pefile.PE(image_path)
    dialogs = next(kind for kind in image.DIRECTORY_ENTRY_RESOURCE.entries if kind.id == 5)
    entry = next(name for name in dialogs.directory.entries if name.id == 104)
    patch(image_path, entry.struct.get_file_offset(), struct.pack("<I", 105))


def set_minor_subsystem_version(image_path, _other_path, _elf_path):
    header = pefile.PE(image_path, fast_load=True).OPTIONAL_HEADER
    patch(image_path, header.get_field_absolute_offset("MinorSubsystemVersion"), struct.pack("<H", 21))


def rename_export(image_path, _other_path, _elf_path):
    symbol = next(symbol for symbol in pefile.PE(image_path).DIRECTORY_ENTRY_EXPORT.symbols
                  if symbol.name == b"Install_Exit")
    patch(image_path, symbol.name_offset, b"Install_Exis")


def make_code_writable(image_path, _other_path, _elf_path):
    text = next(section for section in pefile.PE(image_path).sections if section.Name.startswith(b".text"))
    patch(image_path, text.get_field_absolute_offset("Characteristics"),
          struct.pack("<I", text.Characteristics | 0x80000000))


def grow(image_path, _other_path, _elf_path):
    with open(image_path, "ab") as stream:
        stream.write(bytes(8 * 1024))


def first_code_address(elf_path):
    with open(elf_path, "rb") as stream:
        elf = ELFFile(stream)
        text = elf.get_section_by_name(".text")
        address = min(symbol["st_value"] for symbol in elf.get_section_by_name(".symtab").iter_symbols()
                      if symbol.name.startswith("$a") and symbol["st_value"] >= text["sh_addr"])
        return text["sh_offset"] + address - text["sh_addr"]


def write_code_word(elf_path, word):
    patch(elf_path, first_code_address(elf_path), struct.pack("<I", word))


def mark_thumb(_image_path, _other_path, elf_path):
    """The ARM mapping symbols' name made Thumb's, as Thumb code would carry."""
    with open(elf_path, "rb") as stream:
        elf = ELFFile(stream)
        strings = elf.get_section_by_name(".strtab")
        offsets = {symbol["st_name"] for symbol in elf.get_section_by_name(".symtab").iter_symbols()
                   if symbol.name.startswith("$a")}
        base = strings["sh_offset"]
    with open(elf_path, "r+b") as stream:
        for offset in offsets:
            stream.seek(base + offset + 1)
            stream.write(b"t")


FAULTS = [
    ("a dropped base relocation", "Tavil.exe", drop_relocation, "differs from the link made there at file offset"),
    ("a dropped base relocation in a setup DLL", "setup_wm5.dll", drop_relocation,
     "differs from the link made there at file offset"),
    ("a wrong import ordinal", "Tavil.exe", change_import(by_ordinal=True), "ordinal 9999, not in the list"),
    ("a wrong import name", "Tavil.exe", change_import(by_ordinal=False), "by name, not in the list"),
    ("a wrong import in a setup DLL", "setup_wm2003se.dll", change_import(by_ordinal=True),
     "ordinal 9999, not in the list"),
    ("a missing resource", "Tavil.exe", remove_resource, "resource (5, 104, "),
    ("an instruction the PXA255 lacks", "Tavil.exe",
     lambda _image, _other, elf: write_code_word(elf, MOVW_R0_0), "not ARMv5TE: movw"),
    ("a doubleword stack access", "setup_wm5.dll",
     lambda _image, _other, elf: write_code_word(elf, LDRD_R2_SP), "doubleword stack access"),
    ("Thumb code", "Tavil.exe", mark_thumb, "Thumb code at"),
    ("another target's version", "setup_wm5.dll", set_minor_subsystem_version,
     "subsystem version (5, 21), not (5, 1)"),
    ("an export missing", "setup_wm5.dll", rename_export, "exports ['Install_Exis'"),
    ("a writable code section", "Tavil.exe", make_code_writable, "section .text is writable and executable"),
    ("an image over its budget", "setup_wm2003se.dll", grow, "bytes, over the budget of 8192"),
]


def copy_images(arguments, folder):
    """The check's arguments with every image, its link and its other-base twin
    copied into folder, and the copied images by name."""
    copied, images, index = [], {}, 0
    other_base = os.path.join(folder, "other-base")
    os.makedirs(other_base)
    while index < len(arguments):
        argument = arguments[index]
        if argument == "--other-base":
            source_other = arguments[index + 1]
            copied += [argument, other_base]
            index += 2
            continue
        if argument.startswith("--"):
            copied += arguments[index:index + 2]
            index += 2
            continue
        copied.append(os.path.join(folder, os.path.basename(argument)))
        images[os.path.basename(argument)] = copied[-1]
        for suffix in ("", ".elf"):
            shutil.copy(argument + suffix, copied[-1] + suffix)
        index += 1
    for name in os.listdir(source_other):
        shutil.copy(os.path.join(source_other, name), other_base)
    return copied, images


def run_check(arguments):
    result = subprocess.run([sys.executable, CHECK] + arguments, capture_output=True, text=True)
    return result.returncode, result.stdout + result.stderr


def main():
    arguments = sys.argv[1:]
    missed = 0
    with tempfile.TemporaryDirectory() as folder:
        status, output = run_check(copy_images(arguments, os.path.join(folder, "clean"))[0])
        if status != 0:
            print("the images fail without a planted fault:\n" + output)
            return 1
        for number, (name, image, plant, expected) in enumerate(FAULTS):
            copied, images = copy_images(arguments, os.path.join(folder, str(number)))
            image_path = images[image]
            other_path = os.path.join(os.path.dirname(image_path), "other-base", image)
            plant(image_path, other_path, image_path + ".elf")
            status, output = run_check(copied)
            caught = status != 0 and f"{image}: " in output and expected in output
            print(f"{'caught' if caught else 'MISSED'}: {name}")
            if not caught:
                print(output)
                missed += 1
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
