"""The MS-CAB container around an installation cabinet: made with gcab, its
member directory read from the cabinet's own header (names in stored order,
sizes, compression), extracted with cabextract."""

import struct
import subprocess
from dataclasses import dataclass

# CFHEADER, then one CFFOLDER per folder, then one CFFILE per member followed
# by its null-terminated name (Microsoft Cabinet Format).
CFHEADER = struct.Struct("<4sIIIIIBBHHHHH")
CFFOLDER = struct.Struct("<IHH")
CFFILE = struct.Struct("<IIHHHH")
CAB_SIGNATURE = b"MSCF"
FLAGS_OF_SETS_AND_RESERVES = 0x0007  # previous or next cabinet, reserved areas
COMPRESSION_TYPE_MASK = 0x000F
COMPRESSIONS = {0: "none", 1: "MSZIP", 2: "Quantum", 3: "LZX"}


class CabinetError(RuntimeError):
    pass


@dataclass(frozen=True)
class Member:
    name: str
    size: int


@dataclass(frozen=True)
class Directory:
    compressions: tuple  # of each folder, by name
    members: tuple  # in stored order


def create_cabinet(output, paths):
    """Stores the files under their own names, uncompressed, in this order."""
    _run(["gcab", "--create", "--nopath", str(output), *map(str, paths)], "gcab")


def extract_cabinet(cabinet, directory):
    _run(["cabextract", "--quiet", "--directory", str(directory), str(cabinet)], "cabextract")


def _run(command, tool):
    try:
        result = subprocess.run(command, capture_output=True, text=True, check=False)
    except FileNotFoundError:
        raise CabinetError(f"{tool} is not installed (Debian package {tool})") from None
    if result.returncode != 0:
        raise CabinetError(f"{tool} failed: {(result.stderr or result.stdout).strip()}")


def read_directory(data):
    if len(data) < CFHEADER.size:
        raise CabinetError("not a cabinet: shorter than its header")
    (signature, _, size, _, files_offset, _, _, _, folder_count, file_count, flags, _,
     _) = CFHEADER.unpack_from(data)
    if signature != CAB_SIGNATURE:
        raise CabinetError(f"not a cabinet: signature {signature!r}, not {CAB_SIGNATURE!r}")
    if size != len(data):
        raise CabinetError(f"cabinet header says {size} bytes, the file has {len(data)}")
    if flags & FLAGS_OF_SETS_AND_RESERVES:
        raise CabinetError(f"cabinet flags {flags:#x}: sets and reserved areas are not used here")
    compressions = []
    for index in range(folder_count):
        _, _, compression = _unpack(CFFOLDER, data, CFHEADER.size + index * CFFOLDER.size)
        compression &= COMPRESSION_TYPE_MASK
        compressions.append(COMPRESSIONS.get(compression, f"type {compression}"))
    members = []
    offset = files_offset
    for _ in range(file_count):
        member_size = _unpack(CFFILE, data, offset)[0]
        name_start = offset + CFFILE.size
        name_end = data.find(b"\0", name_start)
        if name_end < 0:
            raise CabinetError(f"member name at offset {name_start:#x} does not end")
        members.append(Member(data[name_start:name_end].decode("utf-8", "replace"), member_size))
        offset = name_end + 1
    return Directory(tuple(compressions), tuple(members))


def _unpack(record, data, offset):
    if offset + record.size > len(data):
        raise CabinetError(f"cabinet record at offset {offset:#x} runs past the end")
    return record.unpack_from(data, offset)
