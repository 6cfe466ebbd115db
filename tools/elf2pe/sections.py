"""The PE sections made from the linked ELF's allocated sections. Each ELF
output section the linker script makes has one place here; zero-initialised
data (.bss) becomes the tail of .data that the file does not store."""

from dataclasses import dataclass

import pe_format
from errors import Elf2PeError

# ELF output section, the PE section it goes into, that section's characteristics.
ELF_TO_PE = (
    (".idata", ".idata", pe_format.WRITABLE_DATA),
    (".text", ".text", pe_format.CODE),
    (".rdata", ".rdata", pe_format.READ_ONLY_DATA),
    (".data", ".data", pe_format.WRITABLE_DATA),
    (".bss", ".data", pe_format.WRITABLE_DATA),
)


@dataclass(frozen=True)
class PeSection:
    name: str
    rva: int
    data: bytes  # what the file stores
    virtual_size: int
    characteristics: int


def from_elf(elf, base):
    places = {elf_name: (pe_name, flags) for elf_name, pe_name, flags in ELF_TO_PE}
    pe_sections = []
    for section in sorted(elf.sections, key=lambda s: s.address):
        if section.size == 0:
            continue
        if section.writable and section.executable:
            raise Elf2PeError(f"section {section.name} would be both writable and executable")
        if section.name not in places:
            raise Elf2PeError(f"section {section.name} is not placed by the linker script "
                              f"(only {', '.join(places)} are)")
        pe_name, characteristics = places[section.name]
        _check_flags(section, pe_name, characteristics)
        if pe_sections and pe_sections[-1].name == pe_name:
            pe_sections[-1] = _with_tail(pe_sections[-1], section, base)
        else:
            pe_sections.append(PeSection(pe_name, section.address - base, section.data, section.size,
                                         characteristics))
    return pe_sections


def _check_flags(section, pe_name, characteristics):
    if section.writable and not characteristics & pe_format.SCN_MEM_WRITE:
        raise Elf2PeError(f"section {section.name} is writable but goes into read-only {pe_name}")
    if section.executable and not characteristics & pe_format.SCN_MEM_EXECUTE:
        raise Elf2PeError(f"section {section.name} is executable but goes into {pe_name}, which is not")


def _with_tail(head, tail, base):
    """`head` followed by `tail`, whose zeros (NOBITS) the file does not store."""
    virtual_size = tail.address - base + tail.size - head.rva
    data = head.data
    if not tail.nobits:  # an input gave .bss contents: store them where they go
        data += bytes(tail.address - base - head.rva - len(data)) + tail.data
    return PeSection(head.name, head.rva, data, virtual_size, head.characteristics)
