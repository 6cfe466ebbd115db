"""Control files that do not read back: each fault, planted in a good control
file at the offsets the format documentation gives, is refused with an error
that names the place."""

import struct
import unittest

import cab_test_support  # noqa: F401  (the tool folder on the import path)

from cab_control import ControlFileError
from control_reader import decode_control
from control_writer import encode_control
from tavil_package import control_file

# Header offsets from the documentation.
FILE_LENGTH = 8
MIN_VERSION = 24
LINKS_COUNT = 58
STRINGS_OFFSET = 60
DIRS_OFFSET = 64
FILES_OFFSET = 68
LINKS_OFFSET = 80
APP_NAME_OFFSET = 84
# Entry offsets: a DIRS entry's first string id, a FILES entry's directory id,
# a LINKS entry's target id.
DIR_FIRST_STRING = 4
FILE_DIR = 2
LINK_TARGET = 6


def u16(data, offset):
    return struct.unpack_from("<H", data, offset)[0]


def u32(data, offset):
    return struct.unpack_from("<I", data, offset)[0]


def with_u16(data, offset, value):
    return data[:offset] + struct.pack("<H", value) + data[offset + 2:]


def with_u32(data, offset, value):
    return data[:offset] + struct.pack("<I", value) + data[offset + 4:]


def truncated_to(data, size):
    """Cut, with the length field made to agree."""
    return with_u32(data[:size], FILE_LENGTH, size)


def at(field):
    """The offset the header field holds."""
    return lambda data: u32(data, field)


FAULTS = (
    # (what, planted fault, the error names)
    ("cut by one byte", lambda d: d[:-1], r"^header: length field"),
    ("a byte more", lambda d: d + b"\0", r"^header: length field 229, but the file has 230"),
    ("cut inside the header", lambda d: d[:60], r"^header: the file has 60 bytes"),
    ("cut inside FILES", lambda d: truncated_to(d, at(FILES_OFFSET)(d) + 3),
     r"^FILES entry 1: .* run past the end"),
    ("cut inside LINKS", lambda d: truncated_to(d, at(LINKS_OFFSET)(d) + 8),
     r"^LINKS entry 1: .* run past the end"),
    ("another signature", lambda d: b"MSCF" + d[4:], r"^header: signature b'MSCF'"),
    ("FILES offset past the end", lambda d: with_u32(d, FILES_OFFSET, len(d) + 4),
     r"^FILES: offset 0x[0-9a-f]+ is past the end"),
    ("STRINGS offset one byte late", lambda d: with_u32(d, STRINGS_OFFSET, at(STRINGS_OFFSET)(d) + 1),
     r"^STRINGS entry 1"),
    ("LINKS offset inside FILES", lambda d: with_u32(d, LINKS_OFFSET, at(FILES_OFFSET)(d) + 1),
     r"^LINKS entry"),
    ("application name offset past the end", lambda d: with_u16(d, APP_NAME_OFFSET, len(d)),
     r"^app_name: .* run past the end"),
    ("one link more than there are", lambda d: with_u16(d, LINKS_COUNT, u16(d, LINKS_COUNT) + 1),
     r"^LINKS entry 2: .* run past the end"),
    ("a link to file 7", lambda d: with_u16(d, at(LINKS_OFFSET)(d) + LINK_TARGET, 7),
     r"^LINKS entry id 1: target file 7 does not exist"),
    ("a file in directory 9", lambda d: with_u16(d, at(FILES_OFFSET)(d) + FILE_DIR, 9),
     r"^FILES entry id 1: directory 9 does not exist"),
    ("a directory of string 8", lambda d: with_u16(d, at(DIRS_OFFSET)(d) + DIR_FIRST_STRING, 8),
     r"^DIRS entry id 1: string 8 does not exist"),
    ("a directory's id list ending twice", lambda d: with_u16(d, at(DIRS_OFFSET)(d) + DIR_FIRST_STRING, 0),
     r"^DIRS entry 1: the id list at offset 0x[0-9a-f]+ does not end at its one 0"),
    ("file number 999, the setup library's", lambda d: with_u16(d, at(FILES_OFFSET)(d), 999),
     r"^FILES entry id 999: file number outside 1\.\.998"),
    ("a string without its null", lambda d: with_u16(d, at(DIRS_OFFSET)(d) - 2, 0x4141),
     r"^STRINGS entry 3: the string at offset 0x[0-9a-f]+ does not end"),
    ("minimum version above the maximum", lambda d: with_u32(d, MIN_VERSION, 6),
     r"^header: version range"),
)


class ControlFileFaultTest(unittest.TestCase):
    def test_a_good_control_file_reads_back_as_written(self):
        control = control_file("wm5")
        self.assertEqual(decode_control(encode_control(control)), control)

    def test_each_fault_is_refused_with_its_place(self):
        good = encode_control(control_file("wm5"))
        for what, plant, expected in FAULTS:
            with self.subTest(what):
                faulty = plant(good)
                self.assertNotEqual(faulty, good)
                with self.assertRaisesRegex(ControlFileError, expected):
                    decode_control(faulty)


if __name__ == "__main__":
    unittest.main()
