"""Which ELF relocations become base relocations. Every relocation the link
kept (--emit-relocs) must be of a kind listed here; any other kind is an
error, since the image could not be moved to another base safely."""

from errors import Elf2PeError

ABSOLUTE = "absolute"
POSITION_INDEPENDENT = "position-independent"

KINDS = {
    "R_ARM_ABS32": (ABSOLUTE, "a 32-bit address"),
    "R_ARM_TARGET1": (ABSOLUTE, "a 32-bit address, as ld is run with --target1-abs"),
    "R_ARM_NONE": (POSITION_INDEPENDENT, "changes no bytes; it only keeps a section alive"),
    "R_ARM_V4BX": (POSITION_INDEPENDENT, "marks a BX instruction; holds no address"),
    "R_ARM_PC24": (POSITION_INDEPENDENT, "branch offset from the PC"),
    "R_ARM_PLT32": (POSITION_INDEPENDENT, "branch offset from the PC (older name of CALL/JUMP24)"),
    "R_ARM_CALL": (POSITION_INDEPENDENT, "BL/BLX offset from the PC"),
    "R_ARM_JUMP24": (POSITION_INDEPENDENT, "B offset from the PC"),
    "R_ARM_REL32": (POSITION_INDEPENDENT, "target minus the word's own address"),
    "R_ARM_PREL31": (POSITION_INDEPENDENT, "target minus the word's own address, in 31 bits"),
}


def absolute_addresses(elf):
    """Addresses of the words that hold absolute addresses, from the
    relocations in allocated sections; errors for any unsupported one."""
    allocated = {section.name: section for section in elf.sections}
    addresses = []
    for relocation in elf.relocations:
        section = allocated.get(relocation.section)
        if section is None:
            continue
        kind = KINDS.get(relocation.kind)
        if kind is None:
            raise _error(relocation, section, "is of a kind that cannot be based at another address")
        if kind[0] != ABSOLUTE:
            continue
        if relocation.symbol.section == "*ABS*":
            raise _error(relocation, section, "names an absolute symbol, not an address in the image")
        if relocation.address % 4:
            raise _error(relocation, section, "is not 4-byte aligned")
        addresses.append(relocation.address)
    return addresses


def _error(relocation, section, problem):
    symbol = relocation.symbol.name or "no symbol"
    return Elf2PeError(f"relocation {relocation.kind} at {section.name}+{relocation.address - section.address:#x} "
                       f"against {symbol} {problem}")
