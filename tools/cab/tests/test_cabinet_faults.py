"""Cabinets whose members and control file disagree, made with gcab by hand,
are refused when read back; the members' rules are the format
documentation's: numbered names, the control file first, the others in
descending order, each listed file present, nothing unlisted."""

import tempfile
import unittest
from pathlib import Path

import cab_test_support  # noqa: F401  (the tool folder on the import path)

from cab_archive import CabinetError, create_cabinet
from cab_control import ControlFileError
from control_writer import encode_control
from installation_cabinet import read_cabinet
from tavil_package import control_file

CONTROL = encode_control(control_file("wm5"))  # lists files 001 (Tavil.exe) and 002 (tavil.htm)
SETUP = b"setup library"
PROGRAM = b"program"
HELP = b"help"
GOOD = (("000Tavil.000", CONTROL), ("SETUP_~1.999", SETUP), ("000tavil.002", HELP),
        ("000Tavil.001", PROGRAM))

FAULTS = (
    # (what, members in stored order, the error names)
    ("a listed file missing", GOOD[:3],
     r"FILES entry id 1 \(Tavil\.exe\): no member numbered 001"),
    ("a member no one lists", GOOD[:2] + (("000extra.003", b"x"),) + GOOD[2:],
     r"member 000extra\.003 is not a file the control file lists"),
    ("the control file not first", GOOD[1:2] + GOOD[:1] + GOOD[2:],
     r"control file \(number 000\) is not the first member"),
    ("files in ascending order", GOOD[:2] + GOOD[3:] + GOOD[2:3],
     r"not in descending order"),
    ("two members with one number", GOOD + (("TAVIL~1.001", PROGRAM),), r"share number 001"),
    ("a member without a number", GOOD + (("readme.txt", b"x"),), r"'readme\.txt' has no three-digit"),
)


class CabinetFaultTest(unittest.TestCase):
    def setUp(self):
        folder = tempfile.TemporaryDirectory(prefix="tavil-cab-test-")
        self.addCleanup(folder.cleanup)
        self.folder = Path(folder.name)

    def cabinet_of(self, name, members):
        staging = self.folder / name
        staging.mkdir()
        paths = []
        for member, data in members:
            paths.append(staging / member)
            paths[-1].write_bytes(data)
        cabinet = self.folder / f"{name}.cab"
        create_cabinet(cabinet, paths)
        return cabinet

    def test_a_cabinet_that_keeps_the_rules_reads_back(self):
        cabinet = read_cabinet(self.cabinet_of("good", GOOD))
        self.assertEqual(cabinet.contents, {0: CONTROL, 999: SETUP, 2: HELP, 1: PROGRAM})

    def test_each_fault_is_refused(self):
        for number, (what, members, expected) in enumerate(FAULTS):
            with self.subTest(what):
                with self.assertRaisesRegex(CabinetError, expected):
                    read_cabinet(self.cabinet_of(f"fault{number}", members))

    def test_a_control_file_that_does_not_read_back_is_refused(self):
        members = (("000Tavil.000", CONTROL[:-1]),) + GOOD[1:]
        with self.assertRaisesRegex(ControlFileError, r"^header: length field"):
            read_cabinet(self.cabinet_of("cut", members))

    def test_a_file_that_is_no_cabinet_is_refused(self):
        path = self.folder / "plain.cab"
        path.write_bytes(CONTROL)
        with self.assertRaisesRegex(CabinetError, r"not a cabinet"):
            read_cabinet(path)


if __name__ == "__main__":
    unittest.main()
