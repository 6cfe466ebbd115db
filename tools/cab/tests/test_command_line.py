"""make-cab.py and read-cab.py as they are run: bad input names what is wrong,
exits non-zero and writes no cabinet (one already there stays as it was, and
no temporary file is left); read-cab.py prints a good cabinet and names the
place of a fault."""

import tempfile
import unittest
from pathlib import Path

from cab_test_support import ARM, X86, make_cab, pe_image, run_tool, write_inputs

OLD_CABINET = b"the cabinet of an earlier build"


def no_anchor(inputs):
    inputs["help"].write_text("<html><body>Справка</body></html>", encoding="utf-8")


def not_utf8(inputs):
    inputs["help"].write_bytes('<a name="Main_Contents">Справка'.encode("cp1251"))


def x86_program(inputs):
    inputs["exe"].write_bytes(pe_image(X86, False, b"x86"))


def dll_as_program(inputs):
    inputs["exe"] = inputs["setup"]


def program_as_dll(inputs):
    inputs["setup"] = inputs["exe"]


def other_targets_dll(inputs):
    renamed = inputs["setup"].with_name("setup_wm2003se.dll")
    inputs["setup"].rename(renamed)
    inputs["setup"] = renamed


def text_as_program(inputs):
    inputs["exe"].write_text("MZ but nothing more")


def help_as_program(inputs):
    inputs["exe"] = inputs["help"]


def empty_help(inputs):
    inputs["help"].write_bytes(b"")


def missing_program(inputs):
    inputs["exe"].unlink()


BAD_INPUTS = (
    # (what, spoil the inputs, target, exit code, the message names)
    ("no program", missing_program, "wm5", 1, r"--exe \S+Tavil\.exe: no such file"),
    ("an unknown target", lambda inputs: None, "wm6", 2, r"--target: invalid choice: 'wm6'"),
    ("an x86 program", x86_program, "wm5", 1, r"--exe \S+: built for machine 0x014c, not ARM"),
    ("the help file as the program", help_as_program, "wm5", 1,
     r"--exe \S+tavil\.htm: not a Windows image \(no MZ header\)"),
    ("a program that is no PE image", text_as_program, "wm5", 1, r"--exe \S+: not a PE image"),
    ("the DLL as the program", dll_as_program, "wm5", 1, r"--exe \S+: a DLL, not a program"),
    ("the program as the DLL", program_as_dll, "wm5", 1, r"--setup-dll \S+: a program, not a DLL"),
    ("the other target's DLL", other_targets_dll, "wm5", 1,
     r"--setup-dll \S+setup_wm2003se\.dll: named for wm2003se, not for wm5"),
    ("a help file without the anchor", no_anchor, "wm5", 1, r"--help-file \S+: no <a name=\"Main_Contents\">"),
    ("a help file not in UTF-8", not_utf8, "wm5", 1, r"--help-file \S+: not UTF-8"),
    ("an empty help file", empty_help, "wm5", 1, r"--help-file \S+: the file is empty"),
)


class CommandLineTest(unittest.TestCase):
    def setUp(self):
        folder = tempfile.TemporaryDirectory(prefix="tavil-cab-test-")
        self.addCleanup(folder.cleanup)
        self.folder = Path(folder.name)

    def test_bad_input_is_named_and_writes_no_cabinet(self):
        for number, (what, spoil, target, exit_code, expected) in enumerate(BAD_INPUTS):
            with self.subTest(what):
                folder = self.folder / str(number)
                folder.mkdir()
                inputs = write_inputs(folder)
                spoil(inputs)
                output = folder / "out" / "Tavil.cab"
                output.parent.mkdir()
                output.write_bytes(OLD_CABINET)
                result = make_cab(target, inputs, output)
                self.assertEqual(result.returncode, exit_code, result.stderr)
                self.assertRegex(result.stderr, expected)
                self.assertEqual(output.read_bytes(), OLD_CABINET)
                self.assertEqual(list(output.parent.iterdir()), [output])

    def test_a_cabinet_tool_that_cannot_run_leaves_nothing_behind(self):
        inputs = write_inputs(self.folder)
        output = self.folder / "out" / "Tavil.cab"
        output.parent.mkdir()
        output.write_bytes(OLD_CABINET)
        result = make_cab("wm5", inputs, output, env={"PATH": str(self.folder)})
        self.assertEqual(result.returncode, 1)
        self.assertRegex(result.stderr, r"gcab is not installed")
        self.assertEqual(output.read_bytes(), OLD_CABINET)
        self.assertEqual(list(output.parent.iterdir()), [output])

    def test_an_output_folder_that_does_not_exist_is_named(self):
        inputs = write_inputs(self.folder)
        result = make_cab("wm5", inputs, self.folder / "missing" / "Tavil.cab")
        self.assertEqual(result.returncode, 1)
        self.assertRegex(result.stderr, r"the folder \S+missing does not exist")
        self.assertFalse((self.folder / "missing").exists())

    def test_read_cab_prints_a_good_cabinet_and_names_the_place_of_a_fault(self):
        inputs = write_inputs(self.folder)
        cabinet = self.folder / "Tavil_WM5.cab"
        self.assertEqual(make_cab("wm5", inputs, cabinet).returncode, 0)
        printed = run_tool("read-cab.py", cabinet)
        self.assertEqual(printed.returncode, 0, printed.stderr)
        self.assertRegex(printed.stdout, r"Provider\s+Dunmar")
        self.assertRegex(printed.stdout, r"%CE11%\\Tavil\.lnk -> file 1 \(%CE2%\\Tavil\.exe\)")
        control = self.folder / "000Tavil.000"
        control.write_bytes(b"MSCE" + bytes(40))
        refused = run_tool("read-cab.py", control)
        self.assertEqual(refused.returncode, 1)
        self.assertRegex(refused.stderr, r"000Tavil\.000: header: the file has 44 bytes")


if __name__ == "__main__":
    unittest.main()
