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


def drop_relocation(image_path, other_path, _elf_path):
    """The same HIGHLOW entry cleared in both links, so that their relocation
    tables still agree and only the address left unrelocated tells."""
    for path in (image_path, other_path):
        image = pefile.PE(path)
        entry = next(entry for block in image.DIRECTORY_ENTRY_BASERELOC
                     for entry in block.entries if entry.type == HIGHLOW)
        image.set_word_at_offset(entry.struct.get_file_offset(), entry.struct.Data & 0x0FFF)
        image.write(path)


def rename_import(image_path, _other_path, _elf_path):
    image = pefile.PE(image_path)
    function = image.DIRECTORY_ENTRY_IMPORT[0].imports[0]
    if function.import_by_ordinal:
        for table_rva in (function.address - image.OPTIONAL_HEADER.ImageBase,
                          image.get_rva_from_offset(function.struct_table.get_file_offset())):
            image.set_dword_at_rva(table_rva, 0x80000000 | 9999)
    else:
        name = bytearray(function.name)
        name[-1] ^= 0x01
        image.set_bytes_at_offset(function.name_offset, bytes(name))
    image.write(image_path)


def remove_resource(image_path, _other_path, _elf_path):
    """Dialog 104's entry renamed 105: the Windows build's dialog 104 is missing."""
    image = pefile.PE(image_path)
    dialogs = next(kind for kind in image.DIRECTORY_ENTRY_RESOURCE.entries if kind.id == 5)
    entry = next(name for name in dialogs.directory.entries if name.id == 104)
    image.set_dword_at_offset(entry.struct.get_file_offset(), 105)
    image.write(image_path)


def first_code_address(elf_path):
    with open(elf_path, "rb") as stream:
        elf = ELFFile(stream)
        text = elf.get_section_by_name(".text")
        address = min(symbol["st_value"] for symbol in elf.get_section_by_name(".symtab").iter_symbols()
                      if symbol.name.startswith("$a") and symbol["st_value"] >= text["sh_addr"])
        return text["sh_offset"] + address - text["sh_addr"]


def write_code_word(elf_path, word):
    offset = first_code_address(elf_path)
    with open(elf_path, "r+b") as stream:
        stream.seek(offset)
        stream.write(struct.pack("<I", word))


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
    ("a dropped base relocation", "Tavil.exe", drop_relocation, "differs from the link made there"),
    ("a dropped base relocation in a setup DLL", "setup_wm5.dll", drop_relocation,
     "differs from the link made there"),
    ("a wrong import", "Tavil.exe", rename_import, "not in the list"),
    ("a wrong import in a setup DLL", "setup_wm2003se.dll", rename_import, "not in the list"),
    ("a missing resource", "Tavil.exe", remove_resource, "resource (5, 104, "),
    ("an instruction the PXA255 lacks", "Tavil.exe",
     lambda _image, _other, elf: write_code_word(elf, MOVW_R0_0), "not ARMv5TE: movw"),
    ("a doubleword stack access", "setup_wm5.dll",
     lambda _image, _other, elf: write_code_word(elf, LDRD_R2_SP), "doubleword stack access"),
    ("Thumb code", "Tavil.exe", mark_thumb, "Thumb code at"),
]


def copy_images(arguments, folder):
    """The check's arguments with every image, its link and its other-base twin
    copied into folder."""
    copied, index = [], 0
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
        for suffix in ("", ".elf"):
            shutil.copy(argument + suffix, copied[-1] + suffix)
        index += 1
    for name in os.listdir(source_other):
        shutil.copy(os.path.join(source_other, name), other_base)
    return copied


def run_check(arguments):
    result = subprocess.run([sys.executable, CHECK] + arguments, capture_output=True, text=True)
    return result.returncode, result.stdout + result.stderr


def main():
    arguments = sys.argv[1:]
    missed = 0
    with tempfile.TemporaryDirectory() as folder:
        status, output = run_check(copy_images(arguments, os.path.join(folder, "clean")))
        if status != 0:
            print("the images fail without a planted fault:\n" + output)
            return 1
        for number, (name, image, plant, expected) in enumerate(FAULTS):
            copied = copy_images(arguments, os.path.join(folder, str(number)))
            image_path = next(path for path in copied if os.path.basename(path) == image)
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
