"""The control-file writer: entries laid out as the format documentation's
examples show them, every section and string read back as written, and tables
that break the format refused before anything is written."""

import struct
import unittest
from dataclasses import replace

import cab_test_support  # noqa: F401  (the tool folder on the import path)

from cab_control import (ControlFile, ControlFileError, DirEntry, FileEntry, HiveEntry, KeyEntry,
                         LinkEntry, StringEntry)
from control_reader import decode_control
from control_writer import encode_control

STRINGS_OFFSET = 60  # header offset of the STRINGS section's offset
DIRS_OFFSET = 64

BASE = ControlFile(
    app_name="Sample", provider="Maker", processor=2577, min_version=(4, 21),
    max_version=(5, 1), min_build=0, max_build=0,
    strings=(StringEntry(4, "Software"), StringEntry(5, "Microsoft"), StringEntry(1, "foo"),
             StringEntry(2, "bar"), StringEntry(3, "baz")),
    dirs=(DirEntry(1, (1, 2, 3, 4)), DirEntry(2, (3,))),
    files=(FileEntry(1, 2, 1, 0x40000002, "Sample.exe"),),
    links=(LinkEntry(1, 0, 11, 1, 1, (5,)),),
)


def section(data, offset_field, size):
    start = struct.unpack_from("<I", data, offset_field)[0]
    return data[start:start + size]


class ControlWriterTest(unittest.TestCase):
    def test_entries_are_laid_out_as_the_documentation_examples(self):
        data = encode_control(BASE)
        # "04 00 09 00 53 6F 66 74 77 61 72 65 00": ID 4, length 9, "Software";
        # then ID 5, length 10, "Microsoft".
        self.assertEqual(section(data, STRINGS_OFFSET, 27),
                         bytes.fromhex("0400 0900 536F667477617265 00"
                                       "0500 0A00 4D6963726F736F6674 00"))
        # Dir ID 1, length 10, string ids {1, 2, 3, 4} ending in 0.
        self.assertEqual(section(data, DIRS_OFFSET, 14),
                         bytes.fromhex("0100 0A00 0100 0200 0300 0400 0000"))
        self.assertEqual(BASE.dir_path(1), "foo\\bar\\baz\\Software")

    def test_every_section_and_the_unsupported_list_read_back(self):
        control = replace(
            BASE, unsupported=("HPC", "PALM PC"),
            hives=(HiveEntry(1, 3, 0, (4, 5)),),
            keys=(KeyEntry(1, 1, 0, 0x00010001, b"Value\0\x2a\0\0\0"),),
            links=BASE.links + (LinkEntry(2, 0, 0, 0, 0, (1,)), LinkEntry(3, 0, 4, 2, 0, (2,))))
        self.assertEqual(decode_control(encode_control(control)), control)

    def test_tables_that_break_the_format_are_refused(self):
        cases = (
            ("a link to a file that is not there", dict(links=(LinkEntry(1, 0, 11, 7, 1, (5,)),)),
             "target file 7 does not exist"),
            ("a link to a directory that is not there",
             dict(links=(LinkEntry(1, 0, 11, 9, 0, (5,)),)), "target directory 9"),
            ("a link of type 2", dict(links=(LinkEntry(1, 0, 11, 1, 2, (5,)),)), "target type 2"),
            ("a link under %CE18%", dict(links=(LinkEntry(1, 0, 18, 1, 1, (5,)),)),
             "base directory 18"),
            ("a link without a name", dict(links=(LinkEntry(1, 0, 11, 1, 1, ()),)),
             "no strings named"),
            ("a string id twice", dict(strings=BASE.strings + (StringEntry(4, "again"),)),
             "STRINGS entry id 4: id used twice"),
            ("a file in a directory that is not there",
             dict(files=(FileEntry(1, 6, 1, 0, "Sample.exe"),)), "directory 6 does not exist"),
            ("file number 0, the control file's", dict(files=(FileEntry(0, 2, 0, 0, "x"),)),
             "id 0 is not an entry"),
            ("a hive under root 5", dict(hives=(HiveEntry(1, 5, 0, (4,)),)), "registry root 5"),
            ("a key in a hive that is not there",
             dict(keys=(KeyEntry(1, 3, 0, 0, b"\0"),)), "hive 3 does not exist"),
            ("a name that is not ASCII", dict(app_name="Тавил"), "is not ASCII"),
            ("a null inside a name", dict(provider="Ma\0ker"), "null character"),
            ("an empty provider", dict(provider=""), "provider: empty"),
            ("an empty unsupported platform", dict(unsupported=("HPC", "")), "empty string"),
            ("an id beyond 16 bits", dict(strings=BASE.strings + (StringEntry(70000, "x"),)),
             "does not fit its field"),
            ("a version range that is empty", dict(min_version=(5, 2)), "version range"),
        )
        for what, change, expected in cases:
            with self.subTest(what):
                with self.assertRaisesRegex(ControlFileError, expected):
                    encode_control(replace(BASE, **change))


if __name__ == "__main__":
    unittest.main()
