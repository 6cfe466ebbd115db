"""Relocation kinds: absolute addresses get base relocations, PC-relative
ones none, any other kind is refused; an image rebased with its own base
relocations is the image linked at that base."""

import unittest

from support import VARIED_RDATA, Workspace, base_relocation_rvas, function, section, word_at

# target is the first function in .text; caller's code and the data words
# each use one relocation kind, at the offsets noted.
KINDS = function("target", "\tmov pc, lr") + function("start", """
	bl target                   @ +0  R_ARM_CALL
	b target                    @ +4  R_ARM_JUMP24
	.reloc ., R_ARM_PLT32, target
	.inst 0xebfffffe            @ +8  R_ARM_PLT32 (bl, addend -8)
	.reloc ., R_ARM_V4BX
	bx lr                       @ +12 R_ARM_V4BX
	ldr r0, =words              @ +16
	.ltorg                      @ +20 the pool: words
""") + """
	.section .rodata.words,"a",%progbits
words:
	.word target                @ +0  R_ARM_ABS32
	.word target(target1)       @ +4  R_ARM_TARGET1
	.word target - .            @ +8  R_ARM_REL32
	.reloc ., R_ARM_PREL31, target
	.word 0                     @ +12 R_ARM_PREL31
	.reloc ., R_ARM_NONE, target
""" + VARIED_RDATA

# An old-ABI object (as gcc -mabi=apcs-gnu makes: EABI version 0) whose calls
# are R_ARM_PC24, linked with the EABI version 5 objects above.
OLD_ABI_CALLER = function("old_abi_caller", "\tbl target\n\tmov pc, lr")


def branch_target(word, address):
    offset = word & 0xFFFFFF
    offset -= (offset & 0x800000) << 1
    return address + 8 + offset * 4


class RelocationKindTest(Workspace):
    def setUp(self):
        super().setUp()
        old_abi = self.assemble(OLD_ABI_CALLER, "old_abi", ("-march=armv5te", "-meabi=gnu"))
        out = self.link_ok([self.assemble(KINDS), old_abi], extra=("--export", "old=old_abi_caller"))
        self.image = self.parse(out)
        self.base = self.image.OPTIONAL_HEADER.ImageBase
        self.text = section(self.image, ".text").VirtualAddress
        self.words = section(self.image, ".rdata").VirtualAddress
        self.start = self.text + 4  # after target's one instruction
        self.caller = self.start + 24

    def test_branches_reach_their_target(self):
        for name, rva in (("CALL", self.start), ("JUMP24", self.start + 4), ("PLT32", self.start + 8),
                          ("PC24", self.caller)):
            with self.subTest(kind=name):
                self.assertEqual(branch_target(word_at(self.image, rva), rva), self.text)

    def test_words_hold_the_target_as_each_kind_computes_it(self):
        target = self.base + self.text
        self.assertEqual(word_at(self.image, self.words), target)
        self.assertEqual(word_at(self.image, self.words + 4), target)
        self.assertEqual(word_at(self.image, self.words + 8), (self.text - (self.words + 8)) & 0xFFFFFFFF)
        self.assertEqual(word_at(self.image, self.words + 12), (self.text - (self.words + 12)) & 0x7FFFFFFF)

    def test_only_absolute_kinds_get_base_relocations(self):
        pdata = self.image.OPTIONAL_HEADER.DATA_DIRECTORY[3]
        expected = [self.words, self.words + 4, self.start + 20,
                    *range(pdata.VirtualAddress, pdata.VirtualAddress + pdata.Size, 8)]
        self.assertEqual(base_relocation_rvas(self.image), sorted(expected))


UNSUPPORTED = (
    # (kind, the instruction or data that makes it, assembler options)
    ("R_ARM_MOVW_ABS_NC", "\tmovw r0, #:lower16:target", ("-march=armv7-a",)),
    ("R_ARM_MOVT_ABS", "\tmovt r0, #:upper16:target", ("-march=armv7-a",)),
    ("R_ARM_GOT_BREL", "\t.word target(GOT)", ("-march=armv5te",)),
    ("R_ARM_TLS_LE32", "\t.reloc ., R_ARM_TLS_LE32, target\n\t.word 0", ("-march=armv5te",)),
    ("R_ARM_THM_CALL", "\t.thumb\n\tbl target\n\tnop\n\t.arm", ("-march=armv5te",)),
)


class UnsupportedRelocationTest(Workspace):
    def test_each_unsupported_kind_is_refused_with_where_it_is(self):
        for kind, code, options in UNSUPPORTED:
            with self.subTest(kind=kind):
                source = function("target", "\tmov pc, lr") + function("start", "\tmov pc, lr\n" + code)
                error = self.link_fails([self.assemble(source, options=options)], kind, ".text+0x8",
                                        "against target")
                self.assertNotIn("Traceback", error)

    def test_an_absolute_address_that_is_not_word_aligned_is_refused(self):
        source = function("start", "\tldr r0, =odd\n\tmov pc, lr") + """
	.section .rodata.odd,"a",%progbits
odd:
	.byte 1
	.word start
"""
        self.link_fails([self.assemble(source)], "R_ARM_ABS32", ".rdata+0x1", "not 4-byte aligned")

    def test_an_absolute_symbol_is_refused(self):
        source = function("start", "\tldr r0, =fixed\n\tmov pc, lr") + "\t.globl fixed\n\t.set fixed, 0x1234\n"
        self.link_fails([self.assemble(source)], "R_ARM_ABS32", "against fixed", "absolute symbol")


REBASED = function("start", """
	push {r4, lr}
	bl MessageBoxW
	ldr r0, =table
	ldr r1, =message
	pop {r4, pc}
	.ltorg
""") + """
	.section .data.table,"aw",%progbits
table:
	.word start, message, table
	.section .rodata.message,"a",%progbits
message:
	.word table
""" + VARIED_RDATA


class RebaseTest(Workspace):
    def test_rebased_image_is_the_image_linked_at_that_base(self):
        objects = [self.assemble(REBASED)]
        for kind, first, second in (("exe", 0x10000, 0x30000), ("dll", 0x10000000, 0x01230000)):
            with self.subTest(kind=kind):
                here = self.link_ok(objects, kind=kind, output=f"here.{kind}", extra=("--base", hex(first)))
                there = self.link_ok(objects, kind=kind, output=f"there.{kind}", extra=("--base", hex(second)))
                moved = self.path(f"moved.{kind}")
                result = self.run_tool("rebase", here, "--base", hex(second), "-o", moved)
                self.assertEqual(result.returncode, 0, result.stderr)
                with open(moved, "rb") as a, open(there, "rb") as b:
                    self.assertEqual(a.read(), b.read())
                self.parse(moved)

    def test_rebase_of_something_that_is_not_an_image_fails_without_output(self):
        with open(self.path("junk"), "wb") as stream:
            stream.write(b"not an image at all")
        result = self.run_tool("rebase", self.path("junk"), "--base", "0x20000", "-o", self.path("out"))
        self.assertEqual(result.returncode, 1)
        self.assertIn("elf2pe: error: not a PE image", result.stderr)
        self.assertFalse(any(name.startswith(("out", ".elf2pe")) for name in __import__("os").listdir(self.dir)))


if __name__ == "__main__":
    unittest.main()
