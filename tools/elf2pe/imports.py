"""Imports: the referenced functions that the imports list names become a
stub each (a function that jumps through its import address table slot) and
an .idata section laid out before the link, at IDATA_RVA, where the linker
script puts it:

    import descriptors (one per DLL, then a zero one)
    import lookup tables (per DLL, zero-terminated)
    import address tables (per DLL, zero-terminated; together the IAT)
    hint/name entries, DLL names
"""

import struct
from dataclasses import dataclass
from itertools import groupby

from errors import Elf2PeError
from pe_format import align_up
from versions import format_version

IDATA_RVA = 0x1000
DESCRIPTOR = struct.Struct("<IIIII")  # lookup table, time stamp, forwarder chain, name, address table
ORDINAL_FLAG = 0x80000000

# ldr ip, [pc] reads the word 8 bytes on: the slot's address.
STUB = """\
	.section .text.elf2pe_stub.{function},"ax",%progbits
	.globl "{function}"
	.type "{function}", %function
	.p2align 2
"{function}":
	ldr ip, [pc]
	ldr pc, [ip]
	.word "__imp_{function}"
	.size "{function}", . - "{function}"
"""


@dataclass(frozen=True)
class Slot:
    listed: object  # imports_list.ListedImport
    rva: int


@dataclass(frozen=True)
class ImportPlan:
    idata: bytes
    slots: list
    directory: tuple  # (rva, size) of the descriptors
    address_table: tuple  # (rva, size) of the IAT

    def stubs_source(self):
        data = _idata_source(self.idata, {slot.rva - IDATA_RVA: slot.listed.function for slot in self.slots})
        return data + "".join(STUB.format(function=slot.listed.function) for slot in self.slots)


def plan(referenced, listed, image_version, list_path):
    """Plan the imports of the undefined symbols `referenced` (name -> where
    it is referenced from), or None if there are none."""
    chosen = []
    for name, where in sorted(referenced.items()):
        entry = listed.get(name)
        if entry is None:
            raise Elf2PeError(f"undefined symbol {name} (referenced from {where}) "
                              f"is not in the imports list {list_path}")
        if entry.since > image_version:
            raise Elf2PeError(f"{name} is in {entry.dll} only since Windows CE {format_version(entry.since)}, "
                              f"but the image is for {format_version(image_version)} ({list_path})")
        chosen.append(entry)
    if not chosen:
        return None
    return _layout(sorted(chosen, key=lambda e: (e.dll.lower(), e.function)))


def _layout(entries):
    by_dll = [(dll, list(group)) for dll, group in groupby(entries, key=lambda e: e.dll.lower())]
    descriptors_size = DESCRIPTOR.size * (len(by_dll) + 1)
    tables_size = sum(4 * (len(group) + 1) for _, group in by_dll)
    lookup_at = IDATA_RVA + descriptors_size
    address_at = lookup_at + tables_size
    strings = bytearray()
    strings_at = address_at + tables_size

    def add_string(data):
        rva = strings_at + len(strings)
        strings.extend(data + b"\0" * (2 - len(data) % 2))  # NUL-terminated, even length
        return rva

    descriptors = bytearray()
    lookup = bytearray()
    slots = []
    for _, group in by_dll:
        lookup_table_rva = lookup_at + len(lookup)
        for entry in group:
            slots.append(Slot(entry, address_at + len(lookup)))
            lookup += struct.pack("<I", _lookup_value(entry, add_string))
        lookup += bytes(4)
        descriptors += DESCRIPTOR.pack(lookup_table_rva, 0, 0, add_string(_ascii(group[0].dll)),
                                       address_at + lookup_table_rva - lookup_at)
    descriptors += bytes(DESCRIPTOR.size)
    idata = bytes(descriptors + lookup + lookup + strings)
    idata += bytes(align_up(len(idata), 4) - len(idata))
    return ImportPlan(idata=idata, slots=slots, directory=(IDATA_RVA, descriptors_size),
                      address_table=(address_at, tables_size))


def _lookup_value(entry, add_string):
    if entry.ordinal is not None:
        return ORDINAL_FLAG | entry.ordinal
    return add_string(b"\0\0" + _ascii(entry.function))  # hint 0, then the name


def _ascii(name):
    try:
        return name.encode("ascii")
    except UnicodeEncodeError:
        raise Elf2PeError(f"import name {name!r} is not ASCII") from None


def _idata_source(idata, labels):
    lines = ['\t.section .idata,"aw",%progbits', "\t.p2align 2"]
    for offset in range(0, len(idata), 4):
        if offset in labels:
            lines.append(f'"__imp_{labels[offset]}":')
        lines.append(f"\t.word {int.from_bytes(idata[offset:offset + 4], 'little'):#010x}")
    return "\n".join(lines) + "\n"
