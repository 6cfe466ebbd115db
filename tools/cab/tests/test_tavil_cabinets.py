"""Tavil's two cabinets, built by make-cab.py from dummy files, extracted with
cabextract and read back: what each must install and record."""

import os
import stat
import struct
import subprocess
import tempfile
import unittest
from pathlib import Path

from cab_test_support import make_cab, write_inputs

from control_reader import decode_control

# The Windows CE version each cabinet is for, nothing below and nothing above.
TARGET_VERSIONS = {"wm5": (5, 1), "wm2003se": (4, 21)}
ARM_PROCESSOR = 2577  # the documentation's StrongARM code, what ARM Pocket PCs report
INSTALLED = {"Tavil.exe": "exe", "tavil.htm": "help"}
WINDOWS = "%CE2%"
PROGRAMS_MENU = 11  # %CE11%
LINK_TO_FILE = 1
# CabWiz names a shortcut with its extension (the control file of Total
# Commander's cabinet holds "Total Commander.lnk").
SHORTCUT_NAME = "Tavil.lnk"

# Header fields at the documented offsets: (offset, struct code).
SIGNATURE = (0, "4s")
FILE_LENGTH = (8, "I")
PROCESSOR = (20, "I")
VERSIONS = (24, "4I")  # min major, min minor, max major, max minor
BUILDS = (40, "2I")  # min, max
APP_NAME = (84, "2H")  # offset, length
PROVIDER = (88, "2H")
NO_BUILD_LIMIT = (0, 0xE0000000)  # 0: no restriction; 0xE0000000: above every build


def current_umask():
    mask = os.umask(0)
    os.umask(mask)
    return mask


def header_field(data, field):
    offset, code = field
    values = struct.unpack_from("<" + code, data, offset)
    return values if len(values) > 1 else values[0]


def header_string(data, field):
    offset, length = header_field(data, field)
    return data[offset:offset + length]


class TavilCabinetTest(unittest.TestCase):
    def setUp(self):
        folder = tempfile.TemporaryDirectory(prefix="tavil-cab-test-")
        self.addCleanup(folder.cleanup)
        self.folder = Path(folder.name)

    def build_and_extract(self, target):
        folder = self.folder / target
        folder.mkdir(exist_ok=True)
        inputs = write_inputs(folder, f"setup_{target}.dll")
        cabinet = folder / f"Tavil_{target}.cab"
        result = make_cab(target, inputs, cabinet)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(stat.S_IMODE(cabinet.stat().st_mode), 0o666 & ~current_umask(),
                         "readable as any new file")
        extracted = folder / "extracted"
        subprocess.run(["cabextract", "-q", "-d", str(extracted), str(cabinet)], check=True,
                       timeout=60)
        members = {int(path.suffix[1:]): path for path in extracted.iterdir()}
        return inputs, cabinet, members

    def test_each_cabinet_installs_and_records_what_the_handheld_needs(self):
        for target, version in TARGET_VERSIONS.items():
            with self.subTest(target=target):
                inputs, _, members = self.build_and_extract(target)
                data = members[0].read_bytes()
                control = decode_control(data)
                self.assertEqual(members[999].read_bytes(), inputs["setup"].read_bytes())
                self.assertEqual({entry.name for entry in control.files}, set(INSTALLED))
                for entry in control.files:
                    self.assertEqual(members[entry.id].read_bytes(),
                                     inputs[INSTALLED[entry.name]].read_bytes(), entry.name)
                    self.assertEqual(control.dir_path(entry.dir_id), WINDOWS, entry.name)
                self.assertEqual(set(members), {0, 999} | {entry.id for entry in control.files})
                self.assertEqual((control.app_name, control.provider), ("Tavil", "Dunmar"))
                self.assertEqual(control.processor, ARM_PROCESSOR)
                self.assertEqual((control.min_version, control.max_version), (version, version))
                (link,) = control.links
                self.assertEqual(link.base_dir, PROGRAMS_MENU)
                self.assertEqual(control.text_of(link.string_ids), SHORTCUT_NAME)
                self.assertEqual(link.target_type, LINK_TO_FILE)
                target_file = control.file(link.target_id)
                self.assertEqual((control.dir_path(target_file.dir_id), target_file.name),
                                 (WINDOWS, "Tavil.exe"))

    def test_header_fields_stand_at_their_documented_offsets(self):
        for target, version in TARGET_VERSIONS.items():
            with self.subTest(target=target):
                _, _, members = self.build_and_extract(target)
                data = members[0].read_bytes()
                self.assertEqual(header_field(data, SIGNATURE), b"MSCE")
                self.assertEqual(header_field(data, FILE_LENGTH), len(data))
                self.assertEqual(header_field(data, PROCESSOR), ARM_PROCESSOR)
                self.assertEqual(header_field(data, VERSIONS), version + version)
                self.assertEqual(header_field(data, BUILDS), NO_BUILD_LIMIT)
                self.assertEqual(header_string(data, APP_NAME), b"Tavil\0")
                self.assertEqual(header_string(data, PROVIDER), b"Dunmar\0")

    def test_members_are_stored_control_file_first_then_descending_and_uncompressed(self):
        _, cabinet, _ = self.build_and_extract("wm5")
        listing = subprocess.run(["gcab", "--list", str(cabinet)], capture_output=True,
                                 text=True, check=True, timeout=60).stdout.split()
        numbers = [int(name.rsplit(".", 1)[1]) for name in listing]
        self.assertEqual(numbers[0], 0)
        self.assertEqual(numbers[1:], sorted(numbers[1:], reverse=True))
        self.assertEqual(numbers[1], 999)
        data = cabinet.read_bytes()
        cfheader_size = 36  # no reserved areas
        type_compress = struct.unpack_from("<H", data, cfheader_size + 6)[0]
        self.assertEqual(type_compress & 0x000F, 0, "compression type NONE")


if __name__ == "__main__":
    unittest.main()
