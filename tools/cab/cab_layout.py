"""The byte layout of a Windows CE installation cabinet's control file (the
.000 file), as tables of fields that both the writer and the reader use.

Layout as described in cabextract's "Windows CE installation cabinet (.CAB)
file format" notes: all integers little-endian; a 100-byte header at offset 0,
then the application name, the provider, the unsupported-platform list and six
sections of entries, each entry a fixed part whose last field is the length of
the variable part that follows it.
"""

import struct
from dataclasses import dataclass

SIGNATURE = b"MSCE"

# (field, struct code) in header order; no padding between fields.
HEADER_FIELDS = (
    ("signature", "4s"),
    ("unknown_4", "I"),  # usually 0
    ("file_length", "I"),
    ("unknown_12", "I"),  # usually 0
    ("unknown_16", "I"),  # usually 1
    ("processor", "I"),
    ("min_major", "I"),
    ("min_minor", "I"),
    ("max_major", "I"),
    ("max_minor", "I"),
    ("min_build", "I"),
    ("max_build", "I"),
    ("strings_count", "H"),
    ("dirs_count", "H"),
    ("files_count", "H"),
    ("hives_count", "H"),
    ("keys_count", "H"),
    ("links_count", "H"),
    ("strings_offset", "I"),
    ("dirs_offset", "I"),
    ("files_offset", "I"),
    ("hives_offset", "I"),
    ("keys_offset", "I"),
    ("links_offset", "I"),
    ("app_name_offset", "H"),
    ("app_name_length", "H"),
    ("provider_offset", "H"),
    ("provider_length", "H"),
    ("unsupported_offset", "H"),
    ("unsupported_length", "H"),
    ("unknown_96", "H"),  # usually 0
    ("unknown_98", "H"),  # usually 0
)

HEADER = struct.Struct("<" + "".join(code for _, code in HEADER_FIELDS))
HEADER_SIZE = 100
assert HEADER.size == HEADER_SIZE

# The fields the documentation calls "unknown purpose", with their usual values.
USUAL_UNKNOWNS = {"unknown_4": 0, "unknown_12": 0, "unknown_16": 1, "unknown_96": 0, "unknown_98": 0}

# Kinds of variable parts.
TEXT = "text"  # an ASCII string with its null terminator
MULTI_TEXT = "multi text"  # null-terminated strings, the last one empty
ID_LIST = "id list"  # 16-bit string ids ending in 0
RAW = "raw"  # bytes of any form

# The three strings after the header: (name, kind); each has `<name>_offset`
# and `<name>_length` in the header.
HEADER_STRINGS = (("app_name", TEXT), ("provider", TEXT), ("unsupported", MULTI_TEXT))


@dataclass(frozen=True)
class Section:
    name: str  # `<name>_count` and `<name>_offset` in the header
    title: str  # as the documentation names it
    fixed: tuple  # (field, struct code); the last is "length", of the tail
    tail: str  # the attribute that holds the variable part
    tail_kind: str

    @property
    def struct(self):
        return struct.Struct("<" + "".join(code for _, code in self.fixed))

    @property
    def attributes(self):
        """The entry's attributes in file order, the length left out."""
        return tuple(name for name, _ in self.fixed if name != "length") + (self.tail,)


# In the order the sections follow each other in the file.
SECTIONS = (
    Section("strings", "STRINGS", (("id", "H"), ("length", "H")), "text", TEXT),
    Section("dirs", "DIRS", (("id", "H"), ("length", "H")), "string_ids", ID_LIST),
    Section("files", "FILES",
            (("id", "H"), ("dir_id", "H"), ("unknown", "H"), ("flags", "I"), ("length", "H")),
            "name", TEXT),
    Section("hives", "REGHIVES",
            (("id", "H"), ("root", "H"), ("unknown", "H"), ("length", "H")),
            "string_ids", ID_LIST),
    Section("keys", "REGKEYS",
            (("id", "H"), ("hive_id", "H"), ("substitute", "H"), ("type_flags", "I"),
             ("length", "H")),
            "data", RAW),
    Section("links", "LINKS",
            (("id", "H"), ("unknown", "H"), ("base_dir", "H"), ("target_id", "H"),
             ("target_type", "H"), ("length", "H")),
            "string_ids", ID_LIST),
)

# Processor codes (SYSTEM_INFO.dwProcessorType) of the documentation's list.
PROCESSORS = {
    0: "any processor",
    103: "SHx SH3",
    104: "SHx SH4",
    386: "Intel 386",
    486: "Intel 486",
    586: "Intel Pentium",
    601: "PowerPC 601",
    603: "PowerPC 603",
    604: "PowerPC 604",
    620: "PowerPC 620",
    821: "Motorola 821",
    1824: "ARM 720",
    2080: "ARM 820",
    2336: "ARM 920",
    2577: "StrongARM",  # what ARM Pocket PCs, XScale ones too, report
    4000: "MIPS R4000",
    10003: "Hitachi SH3",
    10004: "Hitachi SH3E",
    10005: "Hitachi SH4",
    21064: "Alpha 21064",
    70001: "ARM 7TDMI",
}
PROCESSOR_ARM = 2577

# A link's base directory: 0 is %InstallDir%, 1 to 17 are %CE1% to %CE17%.
INSTALL_DIR = 0
HIGHEST_CE_DIR = 17

# Link target types.
LINK_TO_DIR = 0
LINK_TO_FILE = 1

# Registry roots of a hive: HKCR, HKCU, HKLM, HKU.
HIVE_ROOTS = {1: "HKEY_CLASSES_ROOT", 2: "HKEY_CURRENT_USER", 3: "HKEY_LOCAL_MACHINE",
              4: "HKEY_USERS"}

# File flags.
FILE_NO_SKIP = 0x00000002
FILE_ALWAYS_OVERWRITE = 0x40000000  # ignores the dates

# Cabinet member numbers: 000 is the control file, 999 the setup library, the
# installed files have the numbers between.
CONTROL_NUMBER = 0
SETUP_LIBRARY_NUMBER = 999
FILE_NUMBERS = range(1, SETUP_LIBRARY_NUMBER)


def ce_dir(number):
    """The first path member of a directory under %CEn%."""
    return f"%CE{number}%"
