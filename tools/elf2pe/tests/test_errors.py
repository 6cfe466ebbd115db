"""Bad input: each gets an error that names what is wrong, a non-zero exit
and no output file, not even one left from an earlier run."""

import os
import unittest

from support import IMPORTS, Workspace, function

START = function("start", "\tmov pc, lr")


def calling(name):
    return function("start", f"\tpush {{r4, lr}}\n\tbl {name}\n\tpop {{r4, pc}}")


class LinkErrorTest(Workspace):
    def test_undefined_symbol_not_in_the_list_is_named_with_the_list(self):
        self.link_fails([self.assemble(calling("NoSuchFunction"))], "undefined symbol NoSuchFunction",
                        "referenced from .text+0x4", self.imports)

    def test_import_newer_than_the_image_is_refused(self):
        self.link_fails([self.assemble(calling("NoteProjectNew"))], "NoteProjectNew", "since Windows CE 5.1",
                        "for 4.21")

    def test_section_the_script_does_not_place_is_named(self):
        source = function("start", "\tldr r0, =odd\n\tmov pc, lr") + '\t.section .odd,"a",%progbits\nodd:\n\t.word 1\n'
        self.link_fails([self.assemble(source)], "section .odd is not placed")

    def test_writable_and_executable_section_is_refused(self):
        # (ld itself makes .text read-only when any input's is, as every object's empty .text is.)
        orphan = START + function("selfmodifying", "\tmov pc, lr").replace('.text.selfmodifying,"ax"',
                                                                           '.selfmodifying,"awx"')
        self.link_fails([self.assemble(orphan)], "section .selfmodifying would be both writable and executable",
                        extra=("--export", "x=selfmodifying"))

    def test_executable_data_is_refused(self):
        source = function("start", "\tldr r0, =table\n\tmov pc, lr") + '\t.section .data.table,"awx",%progbits\ntable:\n\t.word 1\n'
        self.link_fails([self.assemble(source)], "section .data would be both writable and executable")


    def test_an_input_with_its_own_import_tables_is_refused(self):
        source = calling("Sleep") + '\t.section .idata,"aw",%progbits\n\t.word 0\n'
        self.link_fails([self.assemble(source)], ".idata")

    def test_entry_must_be_a_defined_function(self):
        source = START + '\t.section .rodata.thing,"a",%progbits\n\t.globl thing\nthing:\n\t.word start\n'
        objects = [self.assemble(source)]
        self.link_fails(objects, "--entry nowhere", "not defined", entry="nowhere")
        self.link_fails(objects, "--entry thing is not a function", entry="thing",
                        extra=("--export", "thing=thing"))

    def test_export_of_an_undefined_symbol_is_refused(self):
        self.link_fails([self.assemble(START)], "--export Gone=gone", "not defined", kind="dll",
                        extra=("--export", "Gone=gone"))

    def test_export_name_given_twice_is_refused(self):
        source = START + function("other", "\tmov pc, lr")
        self.link_fails([self.assemble(source)], "export name Same is given twice", kind="dll",
                        extra=("--export", "Same=start", "--export", "Same=other"))

    def test_linker_failure_is_reported(self):
        self.link_fails([self.path("missing.o")], "arm-none-eabi-ld failed", "missing.o")

    def test_a_failed_link_removes_the_output_of_an_earlier_one(self):
        objects = [self.assemble(START)]
        out = self.link_ok(objects, extra=("--map", self.path("image.map")))
        self.assertTrue(os.path.exists(out + ".elf"))
        self.link_fails(objects, "--entry nowhere", entry="nowhere", extra=("--map", self.path("image.map")))
        self.assertFalse(os.path.exists(self.path("image.map")))


class ArgumentErrorTest(Workspace):
    def test_bad_arguments_are_refused(self):
        objects = [self.assemble(START)]
        cases = (
            ("base not a multiple of 64 KB", {"extra": ("--base", "0x11000")}, "image base 0x11000"),
            ("base not a number", {"extra": ("--base", "low")}, "'low' is not a number"),
            ("version not MAJOR.MINOR", {"version": "4"}, "--subsystem-version '4'"),
            ("export without a symbol", {"extra": ("--export", "Name")}, "'Name' is not NAME=SYMBOL"),
            ("resources that are not a .res file", {"extra": ("--resources", objects[0])}, "not a Win32 .res"),
        )
        for what, options, message in cases:
            with self.subTest(what):
                self.link_fails(objects, message, **options)

    def test_bad_imports_lists_are_refused_with_the_line(self):
        cases = (
            ("a missing column", ["coredll.dll\tSleep\t496\t4.0"], "imports.tsv:2: expected 5"),
            ("an ordinal that is not a number", ["coredll.dll\tSleep\tx\t4.0\ts"], "imports.tsv:2: ordinal 'x'"),
            ("ordinal zero", ["coredll.dll\tSleep\t0\t4.0\ts"], "imports.tsv:2: ordinal '0'"),
            ("a bad version", ["coredll.dll\tSleep\t496\tCE4\ts"], "imports.tsv:2: since 'CE4'"),
            ("a function twice", ["coredll.dll\tSleep\t496\t4.0\ts", "toolhelp.dll\tSleep\t-\t4.0\ts"],
             "imports.tsv:3: Sleep is listed twice"),
        )
        objects = [self.assemble(START)]
        for what, lines, message in cases:
            with self.subTest(what):
                with open(self.imports, "w", encoding="utf-8") as stream:
                    stream.write("# heading\n" + "\n".join(lines) + "\n")
                self.link_fails(objects, message)

    def test_a_missing_imports_list_is_named(self):
        self.imports = self.path("absent.tsv")
        self.link_fails([self.assemble(START)], "cannot read the imports list", "absent.tsv")


class ImportListTest(Workspace):
    def test_the_list_is_only_read_for_what_is_referenced(self):
        self.write_imports(IMPORTS)
        self.link_ok([self.assemble(START + '\t.section .rodata.v,"aR",%progbits\n\t.word 1\n')])


if __name__ == "__main__":
    unittest.main()
