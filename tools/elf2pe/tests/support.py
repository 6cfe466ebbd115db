"""Helpers of the elf2pe tests: assemble ARM snippets, write an imports list,
run the tool as the build does, and read the image back with pefile."""

import os
import shutil
import struct
import subprocess
import tempfile
import unittest

import pefile

TOOL = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "elf2pe.py")
PYTHON = "/usr/bin/python3"

# The imports list of the tests: (dll, function, ordinal, since).
IMPORTS = (
    ("coredll.dll", "MessageBoxW", "858", "4.0"),
    ("coredll.dll", "memcpy", "-", "4.0"),
    ("coredll.dll", "Sleep", "496", "4.0"),
    ("toolhelp.dll", "CreateToolhelp32Snapshot", "-", "4.0"),
    ("note_prj.dll", "NoteProjectNew", "7", "5.1"),
)

# Varied bytes, so that pefile's check for files made mostly of one byte
# value holds for these tiny images as for real ones.
VARIED_RDATA = """
	.section .rodata.varied,"aR",%progbits  @ R: kept, though nothing refers to it
varied:
	.rept 64
	.byte 0x00,0x11,0x22,0x33,0x44,0x55,0x66,0x77,0x88,0x99,0xaa,0xbb,0xcc,0xdd,0xee,0xff
	.byte 0x01,0x12,0x23,0x34,0x45,0x56,0x67,0x78,0x89,0x9a,0xab,0xbc,0xcd,0xde,0xef,0xf0
	.byte 0x02,0x13,0x24,0x35,0x46,0x57,0x68,0x79,0x8a,0x9b,0xac,0xbd,0xce,0xdf,0xe0,0xf1
	.byte 0x03,0x14,0x25,0x36,0x47,0x58,0x69,0x7a,0x8b,0x9c,0xad,0xbe,0xcf,0xd0,0xe1,0xf2
	.endr
"""


def function(name, body, section=None, global_=True):
    """Assembly of an ARM function `name` with its own section and a size."""
    return (f'\t.section {section or ".text." + name},"ax",%progbits\n'
            + (f"\t.globl {name}\n" if global_ else "")
            + f"\t.type {name}, %function\n\t.p2align 2\n{name}:\n{body}\n\t.size {name}, . - {name}\n")


class Workspace(unittest.TestCase):
    """A test case with a scratch directory."""

    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="elf2pe-test-")
        self.addCleanup(shutil.rmtree, self.dir)
        self.imports = self.write_imports(IMPORTS)

    def path(self, name):
        return os.path.join(self.dir, name)

    def write_imports(self, rows, name="imports.tsv"):
        lines = ["# dll\tfunction\tordinal\tsince\tsource"]
        lines += ["\t".join((*row, "test list")) for row in rows]
        with open(self.path(name), "w", encoding="utf-8") as stream:
            stream.write("\n".join(lines) + "\n")
        return self.path(name)

    def assemble(self, source, name="snippet", options=("-march=armv5te",)):
        source_path = self.path(name + ".s")
        object_path = self.path(name + ".o")
        with open(source_path, "w", encoding="utf-8") as stream:
            stream.write(source)
        subprocess.run(["arm-none-eabi-as", *options, "-o", object_path, source_path], check=True)
        return object_path

    def run_tool(self, *arguments):
        return subprocess.run([PYTHON, TOOL, *arguments], capture_output=True, text=True, check=False)

    def link(self, objects, entry="start", kind="exe", output="image.exe", version="4.21", extra=()):
        """Runs the tool; returns (completed process, output path)."""
        out = self.path(output)
        result = self.run_tool("link", "--kind", kind, "--entry", entry, "--imports", self.imports,
                               "--subsystem-version", version, *extra, "-o", out, "--", *objects)
        return result, out

    def link_ok(self, objects, **options):
        result, out = self.link(objects, **options)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stderr, "")
        return out

    def link_fails(self, objects, *fragments, **options):
        """Links, expecting an error whose message holds every fragment, and no output."""
        result, out = self.link(objects, **options)
        self.assertNotEqual(result.returncode, 0)
        self.assertTrue(result.stderr.startswith("elf2pe: error: "), result.stderr)
        for fragment in fragments:
            self.assertIn(fragment, result.stderr)
        self.assertFalse(os.path.exists(out))
        self.assertFalse(os.path.exists(out + ".elf"))
        self.assertEqual([name for name in os.listdir(self.dir) if name.startswith(".elf2pe-")], [])
        return result.stderr

    def parse(self, path):
        image = pefile.PE(path)
        self.addCleanup(image.close)
        self.assertEqual(image.get_warnings(), [])
        return image


def section(image, name):
    return next(s for s in image.sections if s.Name.rstrip(b"\0") == name.encode())


def symbol_rva(image, section_name, offset):
    return section(image, section_name).VirtualAddress + offset


def word_at(image, rva):
    return struct.unpack("<I", image.get_data(rva, 4))[0]


def base_relocation_rvas(image):
    """RVAs of the HIGHLOW entries, from pefile."""
    rvas = []
    for block in getattr(image, "DIRECTORY_ENTRY_BASERELOC", []):
        rvas += [entry.rva for entry in block.entries if entry.type == pefile.RELOCATION_TYPE["IMAGE_REL_BASED_HIGHLOW"]]
    return sorted(rvas)


def function_table(image):
    """(start address, prolog length, function length, 32-bit flag, exception flag) per
    entry, decoded per the documented IMAGE_CE_RUNTIME_FUNCTION_ENTRY bit layout."""
    directory = image.OPTIONAL_HEADER.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_EXCEPTION"]]
    data = image.get_data(directory.VirtualAddress, directory.Size)
    entries = []
    for start, second in struct.iter_unpack("<II", data):
        entries.append((start, second & 0xFF, (second >> 8) & 0x3FFFFF, (second >> 30) & 1, second >> 31))
    return entries
