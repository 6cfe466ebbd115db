"""Writes the PE32 image: DOS header, PE signature, COFF header, optional
header, section headers, then each section's stored bytes, file-aligned."""

import struct
from dataclasses import dataclass

import pe_format as pe
from checksum import pe_checksum
from errors import Elf2PeError

# Microsoft's linker defaults for Windows CE: a 64 KB stack ("the default
# stack limit is 64 KB", Windows Mobile memory architecture; the CE kernel
# commits it a page at a time) and a 1 MB heap ("/HEAP", Windows CE 5.0:
# "The default heap size is 1 MB") committed 4 KB at a time (/HEAP default).
STACK_RESERVE = 0x10000
STACK_COMMIT = 0x1000
HEAP_RESERVE = 0x100000
HEAP_COMMIT = 0x1000

IMAGE_CHARACTERISTICS = (pe.FILE_EXECUTABLE_IMAGE | pe.FILE_LINE_NUMS_STRIPPED
                         | pe.FILE_LOCAL_SYMS_STRIPPED | pe.FILE_32BIT_MACHINE)

COFF_HEADER = struct.Struct("<HHIIIHH")
OPTIONAL_HEADER = struct.Struct("<HBB9I6H4I2H6I")  # PE32 fields before the data directories
SECTION_HEADER = struct.Struct("<8sIIIIIIHHI")


@dataclass(frozen=True)
class ImageHeaders:
    dll: bool
    base: int
    entry_rva: int
    version: tuple  # Windows CE (major, minor): subsystem and operating system
    directories: dict  # data directory index -> (rva, size)


def write(sections, headers):
    headers_size = pe.align_up(pe.DOS_HEADER_SIZE + len(pe.PE_SIGNATURE) + pe.COFF_HEADER_SIZE
                               + pe.OPTIONAL_HEADER_SIZE + pe.SECTION_HEADER_SIZE * len(sections),
                               pe.FILE_ALIGNMENT)
    if headers_size > sections[0].rva:
        raise Elf2PeError("the headers do not fit before the first section")
    placed = []  # (section, file offset, stored size)
    file_offset = headers_size
    for section in sections:
        stored = pe.align_up(len(section.data), pe.FILE_ALIGNMENT)
        placed.append((section, file_offset if stored else 0, stored))
        file_offset += stored

    image = bytearray(_dos_header())
    image += pe.PE_SIGNATURE
    image += COFF_HEADER.pack(pe.MACHINE_ARM, len(sections), 0, 0, 0, pe.OPTIONAL_HEADER_SIZE,
                              IMAGE_CHARACTERISTICS | (pe.FILE_DLL if headers.dll else 0))
    optional_header_at = len(image)
    image += _optional_header(placed, headers, headers_size)
    for section, offset, stored in placed:
        image += SECTION_HEADER.pack(section.name.encode("ascii"), section.virtual_size, section.rva,
                                     stored, offset, 0, 0, 0, 0, section.characteristics)
    image += bytes(headers_size - len(image))
    for section, _, stored in placed:
        image += section.data + bytes(stored - len(section.data))
    checksum_at = optional_header_at + pe.CHECKSUM_FIELD
    image[checksum_at:checksum_at + 4] = struct.pack("<I", pe_checksum(image, checksum_at))
    return bytes(image)


def _dos_header():
    header = bytearray(pe.DOS_HEADER_SIZE)
    header[0:2] = b"MZ"
    header[0x3C:0x40] = struct.pack("<I", pe.DOS_HEADER_SIZE)  # e_lfanew
    return header


def _optional_header(placed, headers, headers_size):
    def total(flag):
        return sum(stored for section, _, stored in placed if section.characteristics & flag)

    def first_rva(flag):
        return next((s.rva for s, _, _ in placed if s.characteristics & flag), 0)

    last = placed[-1][0]
    major, minor = headers.version
    fields = OPTIONAL_HEADER.pack(
        pe.OPTIONAL_HEADER_MAGIC_PE32, 0, 0,  # linker version
        total(pe.SCN_CNT_CODE), total(pe.SCN_CNT_INITIALIZED_DATA), 0,
        headers.entry_rva, first_rva(pe.SCN_CNT_CODE), first_rva(pe.SCN_CNT_INITIALIZED_DATA),
        headers.base, pe.SECTION_ALIGNMENT, pe.FILE_ALIGNMENT,
        major, minor,  # operating system version
        0, 0,  # image version
        major, minor,  # subsystem version
        0,  # Win32VersionValue
        pe.align_up(last.rva + last.virtual_size, pe.SECTION_ALIGNMENT), headers_size,
        0,  # CheckSum, set last
        pe.SUBSYSTEM_WINDOWS_CE_GUI, 0,  # DllCharacteristics
        STACK_RESERVE, STACK_COMMIT, HEAP_RESERVE, HEAP_COMMIT,
        0,  # LoaderFlags
        pe.DIRECTORY_COUNT)
    directories = b"".join(struct.pack("<II", *headers.directories.get(index, (0, 0)))
                           for index in range(pe.DIRECTORY_COUNT))
    return fields + directories
