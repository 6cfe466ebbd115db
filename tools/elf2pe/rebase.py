"""Moves a PE32 image to another base by applying its own base relocations,
as the Windows CE loader would, and sets ImageBase and CheckSum to match."""

import struct

import base_relocations
import pe_format as pe
from checksum import pe_checksum
from errors import Elf2PeError

SECTION_FIELDS = struct.Struct("<8sIIII")  # name, virtual size, RVA, stored size, file offset


def rebase(image, new_base):
    pe.check_image_base(new_base)
    data = bytearray(image)
    optional_at = _optional_header_at(data)
    old_base = _u32(data, optional_at + pe.IMAGE_BASE_FIELD)
    sections = _sections(data, optional_at)
    reloc_rva, reloc_size = struct.unpack_from("<II", data, optional_at + pe.DATA_DIRECTORIES_FIELD
                                               + 8 * pe.DIRECTORY_BASERELOC)
    if reloc_size == 0:
        raise Elf2PeError("the image has no base relocations")
    reloc_at = _file_offset(sections, reloc_rva, reloc_size)
    delta = new_base - old_base
    for rva in base_relocations.decode_highlow(bytes(data[reloc_at:reloc_at + reloc_size])):
        at = _file_offset(sections, rva, 4)
        struct.pack_into("<I", data, at, (_u32(data, at) + delta) & 0xFFFFFFFF)
    struct.pack_into("<I", data, optional_at + pe.IMAGE_BASE_FIELD, new_base)
    checksum_at = optional_at + pe.CHECKSUM_FIELD
    struct.pack_into("<I", data, checksum_at, pe_checksum(data, checksum_at))
    return bytes(data)


def _u32(data, at):
    return struct.unpack_from("<I", data, at)[0]


def _optional_header_at(data):
    if data[:2] != b"MZ" or len(data) < pe.DOS_HEADER_SIZE:
        raise Elf2PeError("not a PE image (no MZ header)")
    pe_at = _u32(data, 0x3C)
    optional_at = pe_at + len(pe.PE_SIGNATURE) + pe.COFF_HEADER_SIZE
    if data[pe_at:pe_at + 4] != pe.PE_SIGNATURE or len(data) < optional_at + pe.OPTIONAL_HEADER_SIZE:
        raise Elf2PeError("not a PE image (no PE signature)")
    if struct.unpack_from("<H", data, optional_at)[0] != pe.OPTIONAL_HEADER_MAGIC_PE32:
        raise Elf2PeError("not a PE32 image")
    return optional_at


def _sections(data, optional_at):
    count = struct.unpack_from("<H", data, optional_at - pe.COFF_HEADER_SIZE + 2)[0]
    headers_at = optional_at + struct.unpack_from("<H", data, optional_at - pe.COFF_HEADER_SIZE + 16)[0]
    return [SECTION_FIELDS.unpack_from(data, headers_at + i * pe.SECTION_HEADER_SIZE) for i in range(count)]


def _file_offset(sections, rva, size):
    """File offset of `size` bytes at `rva`, which the file must store."""
    for _, _, section_rva, stored, file_offset in sections:
        if section_rva <= rva and rva + size <= section_rva + stored:
            return file_offset + rva - section_rva
    raise Elf2PeError(f"RVA {rva:#x} is not stored in any section")
