"""A whole executable and a DLL: headers, sections, imports, exports,
zero-initialised data, entry point and checksum, read back with pefile."""

import struct
import unittest

import pefile

from support import VARIED_RDATA, Workspace, base_relocation_rvas, function, section, word_at

# start: calls three imports, then loads three addresses from its literal pool.
PROGRAM = function("start", """
	push {r4, lr}
	bl MessageBoxW
	bl memcpy
	bl CreateToolhelp32Snapshot
	ldr r0, =counter
	ldr r1, =table
	ldr r2, =message
	pop {r4, pc}
	.ltorg
""") + """
	.section .data.table,"aw",%progbits
	.globl table
table:
	.word 1, 2, start
	.section .bss.counter,"aw",%nobits
counter:
	.space 4
big:
	.space 0x3000
	.section .rodata.message,"a",%progbits
message:
	.asciz "hello"
	.p2align 2
	.word varied
""" + VARIED_RDATA

CALLS_AT = (4, 8, 12)  # offsets of the three BLs in start
POOL_AT = 0x20  # start's literal pool: counter, table, message
EXE_CHARACTERISTICS = 0x0002 | 0x0004 | 0x0008 | 0x0100
DLL_FLAG = 0x2000
STUB_WORDS = (0xE59FC000, 0xE59CF000)  # ldr ip, [pc]; ldr pc, [ip]


def branch_target(image, rva):
    """Target RVA of the B/BL at `rva` (ARM: PC + 8 + signed 24-bit offset * 4)."""
    word = word_at(image, rva)
    offset = word & 0xFFFFFF
    offset -= (offset & 0x800000) << 1
    return rva + 8 + offset * 4


class ExecutableTest(Workspace):
    def setUp(self):
        super().setUp()
        self.out = self.link_ok([self.assemble(PROGRAM)], extra=("--map", self.path("image.map")))
        self.image = self.parse(self.out)
        self.text = section(self.image, ".text").VirtualAddress
        self.base = self.image.OPTIONAL_HEADER.ImageBase

    def test_headers_are_those_of_a_windows_ce_arm_executable(self):
        header = self.image.OPTIONAL_HEADER
        expected = {
            "Magic": 0x10B, "Subsystem": 9, "ImageBase": 0x10000,
            "MajorSubsystemVersion": 4, "MinorSubsystemVersion": 21,
            "MajorOperatingSystemVersion": 4, "MinorOperatingSystemVersion": 21,
            "SectionAlignment": 0x1000, "FileAlignment": 0x200,
            "SizeOfStackReserve": 0x10000, "SizeOfStackCommit": 0x1000,
            "SizeOfHeapReserve": 0x100000, "SizeOfHeapCommit": 0x1000,
        }
        self.assertEqual({name: getattr(header, name) for name in expected}, expected)
        self.assertEqual(self.image.FILE_HEADER.Machine, 0x01C0)
        self.assertEqual(self.image.FILE_HEADER.Characteristics, EXE_CHARACTERISTICS)

    def test_entry_point_is_start(self):
        self.assertEqual(self.image.OPTIONAL_HEADER.AddressOfEntryPoint, self.text)
        self.assertEqual(word_at(self.image, self.text), 0xE92D4010)  # push {r4, lr}

    def test_checksum_is_the_pe_checksum(self):
        self.assertEqual(self.image.OPTIONAL_HEADER.CheckSum, self.image.generate_checksum())

    def test_sections_are_aligned_and_none_is_writable_and_executable(self):
        write, execute = 0x80000000, 0x20000000
        for s in self.image.sections:
            with self.subTest(section=s.Name):
                self.assertEqual(s.VirtualAddress % 0x1000, 0)
                self.assertEqual(s.PointerToRawData % 0x200, 0)
                self.assertEqual(s.SizeOfRawData % 0x200, 0)
                self.assertNotEqual(s.Characteristics & (write | execute), write | execute)
        rights = {s.Name.rstrip(b"\0").decode(): s.Characteristics & (write | execute | 0x40000000)
                  for s in self.image.sections}
        self.assertEqual(rights, {
            ".idata": 0xC0000000, ".text": 0x60000000, ".rdata": 0x40000000, ".data": 0xC0000000,
            ".pdata": 0x40000000, ".reloc": 0x40000000})

    def test_zero_initialised_data_is_the_unstored_tail_of_data(self):
        data = section(self.image, ".data")
        self.assertGreaterEqual(data.Misc_VirtualSize, 12 + 4 + 0x3000)
        self.assertEqual(data.SizeOfRawData, 0x200)  # only the 12 bytes of table, file-aligned
        pool_counter = word_at(self.image, self.text + POOL_AT)
        self.assertEqual(pool_counter, self.base + data.VirtualAddress + 12)

    def test_only_referenced_imports_are_listed_by_ordinal_or_name(self):
        listed = {entry.dll.decode(): [(i.name and i.name.decode(), i.ordinal if i.import_by_ordinal else None)
                                       for i in entry.imports]
                  for entry in self.image.DIRECTORY_ENTRY_IMPORT}
        self.assertEqual(listed, {
            "coredll.dll": [(None, 858), ("memcpy", None)],
            "toolhelp.dll": [("CreateToolhelp32Snapshot", None)],
        })

    def test_calls_go_through_stubs_that_jump_through_the_address_table(self):
        slots = {i.name.decode() if i.name else i.ordinal: i.address - self.base
                 for entry in self.image.DIRECTORY_ENTRY_IMPORT for i in entry.imports}
        iat = self.image.OPTIONAL_HEADER.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_IAT"]]
        for call, name in zip(CALLS_AT, (858, "memcpy", "CreateToolhelp32Snapshot")):
            with self.subTest(import_=name):
                stub = branch_target(self.image, self.text + call)
                words = struct.unpack("<III", self.image.get_data(stub, 12))
                self.assertEqual(words, (*STUB_WORDS, self.base + slots[name]))
                self.assertTrue(iat.VirtualAddress <= slots[name] < iat.VirtualAddress + iat.Size)

    def test_every_absolute_address_has_a_base_relocation(self):
        data = section(self.image, ".data").VirtualAddress
        stubs = [branch_target(self.image, self.text + call) for call in CALLS_AT]
        pdata = self.image.OPTIONAL_HEADER.DATA_DIRECTORY[3]
        expected = ([self.text + POOL_AT + 4 * i for i in range(3)]  # literal pool
                    + [data + 8]  # table's .word start
                    + [section(self.image, ".rdata").VirtualAddress + 8]  # message's .word varied
                    + [stub + 8 for stub in stubs]  # each stub's slot address
                    + list(range(pdata.VirtualAddress, pdata.VirtualAddress + pdata.Size, 8)))
        self.assertEqual(base_relocation_rvas(self.image), sorted(expected))

    def test_the_map_lists_sections_symbols_and_imports(self):
        with open(self.path("image.map"), encoding="utf-8") as stream:
            listing = stream.read()
        for text in (".text", ".pdata", f"{self.text:#010x}", "start", "MessageBoxW (ordinal 858)",
                     "memcpy (by name)", "toolhelp.dll"):
            self.assertIn(text, listing)


LIBRARY = function("DllEntry", "\tmov r0, #1\n\tmov pc, lr") + function("alpha", "\tmov pc, lr") \
    + function("zeta", "\tmov pc, lr") + VARIED_RDATA + function("use_varied", "\tldr r0, =varied\n\tmov pc, lr")


class DllTest(Workspace):
    def setUp(self):
        super().setUp()
        out = self.link_ok([self.assemble(LIBRARY)], kind="dll", entry="DllEntry", output="lib.dll",
                           version="5.1", extra=("--export", "Zeta=zeta", "--export", "alpha=alpha",
                                                 "--export", "Beta=alpha", "--export", "Varied=use_varied",
                                                 "--dll-name", "setup_wm5.dll"))
        self.image = self.parse(out)

    def test_a_dll_has_the_dll_flag_its_base_and_version(self):
        self.assertEqual(self.image.FILE_HEADER.Characteristics, EXE_CHARACTERISTICS | DLL_FLAG)
        self.assertEqual(self.image.OPTIONAL_HEADER.ImageBase, 0x10000000)
        header = self.image.OPTIONAL_HEADER
        self.assertEqual((header.MajorSubsystemVersion, header.MinorSubsystemVersion), (5, 1))
        self.assertEqual((header.MajorOperatingSystemVersion, header.MinorOperatingSystemVersion), (5, 1))

    def test_exports_are_sorted_in_ascii_order_with_ordinals_from_one(self):
        directory = self.image.DIRECTORY_ENTRY_EXPORT
        self.assertEqual(self.image.get_string_at_rva(directory.struct.Name), b"setup_wm5.dll")
        self.assertEqual(directory.struct.Base, 1)
        names = [(s.name.decode(), s.ordinal) for s in directory.symbols if s.name]
        self.assertEqual([name for name, _ in names], ["Beta", "Varied", "Zeta", "alpha"])
        ordinals = dict(names)
        self.assertEqual(ordinals["Beta"], ordinals["alpha"])
        self.assertEqual(sorted(set(ordinals.values())), [1, 2, 3])
        text = section(self.image, ".text").VirtualAddress
        addresses = {s.name.decode(): s.address for s in directory.symbols if s.name}
        self.assertEqual(addresses["alpha"], text + 8)  # after DllEntry's two instructions
        self.assertEqual(addresses["Zeta"], text + 12)


if __name__ == "__main__":
    unittest.main()


CONSTRUCTORS = function("start", "\tldr r0, =imageConstructorsStart\n\tldr r1, =imageConstructorsEnd\n"
                                 "\tldr r2, =table\n\tldr r3, =stored\n\tmov pc, lr") + function("first", "\tmov pc, lr") \
    + function("second", "\tmov pc, lr") + """
	.section .ctors,"aw",%progbits
	.word first
	.section .init_array,"aw",%init_array
	.word second
	.section .data.table,"aw",%progbits
table:
	.word 0x11111111
	.set n, 1
	.rept 0x240                 @ varied words, as in VARIED_RDATA
	.word n * 0x01030507
	.set n, n + 1
	.endr
	.word table                 @ the same page, past its first half
	.section .bss.stored,"aw",%progbits
stored:
	.word 0x22222222
""" + VARIED_RDATA


class DataTest(Workspace):
    def setUp(self):
        super().setUp()
        self.image = self.parse(self.link_ok([self.assemble(CONSTRUCTORS)]))
        self.base = self.image.OPTIONAL_HEADER.ImageBase
        self.text = section(self.image, ".text").VirtualAddress

    def pool(self, index):
        return word_at(self.image, self.text + 20 + 4 * index)  # start's pool, after 5 instructions

    def test_static_constructors_lie_between_the_two_symbols(self):
        start, end = self.pool(0), self.pool(1)
        table = [word_at(self.image, address - self.base) for address in range(start, end, 4)]
        first, second = self.base + self.text + 36, self.base + self.text + 40  # after start's pool
        self.assertEqual(sorted(table), sorted([first, second]))
        self.assertIn(start - self.base, base_relocation_rvas(self.image))

    def test_contents_given_to_zero_initialised_data_are_stored(self):
        data = section(self.image, ".data")
        self.assertEqual(word_at(self.image, self.pool(2) - self.base), 0x11111111)
        self.assertEqual(word_at(self.image, data.VirtualAddress + data.Misc_VirtualSize - 4), 0x22222222)

    def test_base_relocation_blocks_cover_a_page_each_padded_to_four_bytes(self):
        directory = self.image.OPTIONAL_HEADER.DATA_DIRECTORY[5]
        data = self.image.get_data(directory.VirtualAddress, directory.Size)
        pages = []
        while data:
            page, size = struct.unpack_from("<II", data)
            self.assertEqual((page % 0x1000, size % 4), (0, 0))
            entries = struct.unpack_from(f"<{(size - 8) // 2}H", data, 8)
            self.assertTrue(all(entry >> 12 in (0, 3) for entry in entries))
            pages.append(page)
            data = data[size:]
        self.assertEqual(pages, sorted(set(pages)))
        self.assertEqual(len(pages), 3)  # .text's literal pool, .data's table, .pdata
