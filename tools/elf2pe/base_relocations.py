"""The .reloc section: blocks of IMAGE_REL_BASED entries, one block per
4 KB page, each block padded to a multiple of 4 bytes with an ABSOLUTE entry."""

import struct
from itertools import groupby

from errors import Elf2PeError
from pe_format import PAGE_SIZE, REL_BASED_ABSOLUTE, REL_BASED_HIGHLOW

BLOCK_HEADER = struct.Struct("<II")  # page RVA, block size
ENTRY = struct.Struct("<H")  # type << 12 | offset in page


def encode(highlow_rvas):
    out = bytearray()
    for page, rvas in groupby(sorted(set(highlow_rvas)), key=lambda rva: rva & ~(PAGE_SIZE - 1)):
        entries = [REL_BASED_HIGHLOW << 12 | rva - page for rva in rvas]
        if len(entries) % 2:
            entries.append(REL_BASED_ABSOLUTE << 12)
        out += BLOCK_HEADER.pack(page, BLOCK_HEADER.size + ENTRY.size * len(entries))
        for entry in entries:
            out += ENTRY.pack(entry)
    return bytes(out)


def decode_highlow(data):
    """RVAs of the HIGHLOW entries; any other entry but padding is an error."""
    rvas = []
    position = 0
    while position < len(data):
        if position + BLOCK_HEADER.size > len(data):
            raise Elf2PeError(f"base relocation block at offset {position:#x} is cut short")
        page, size = BLOCK_HEADER.unpack_from(data, position)
        if size < BLOCK_HEADER.size or size % 4 or position + size > len(data):
            raise Elf2PeError(f"base relocation block at offset {position:#x} has a bad size {size:#x}")
        for at in range(position + BLOCK_HEADER.size, position + size, ENTRY.size):
            (entry,) = ENTRY.unpack_from(data, at)
            kind, offset = entry >> 12, entry & 0xFFF
            if kind == REL_BASED_HIGHLOW:
                rvas.append(page + offset)
            elif kind != REL_BASED_ABSOLUTE:
                raise Elf2PeError(f"base relocation of type {kind} at RVA {page + offset:#x} is not supported")
        position += size
    return rvas
