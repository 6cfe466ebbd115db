"""What the linked ELF holds, read once with pyelftools: allocated sections,
symbols, the relocations that --emit-relocs kept, and the mapping symbols
($a code, $d data, $t Thumb code) that tell code from literal pools."""

from dataclasses import dataclass

from elftools.elf.constants import SH_FLAGS
from elftools.elf.descriptions import describe_reloc_type
from elftools.elf.elffile import ELFFile
from elftools.elf.relocation import RelocationSection

from errors import Elf2PeError


@dataclass(frozen=True)
class Section:
    name: str
    address: int
    size: int
    data: bytes  # empty for NOBITS
    writable: bool
    executable: bool
    nobits: bool


@dataclass(frozen=True)
class Symbol:
    name: str
    value: int
    size: int
    kind: str  # STT_FUNC, STT_OBJECT, STT_NOTYPE, ...
    binding: str
    section: str  # section name; "" for undefined, "*ABS*" for absolute

    @property
    def defined(self):
        return self.section != ""


@dataclass(frozen=True)
class Relocation:
    kind: str  # e.g. R_ARM_ABS32
    section: str
    address: int
    symbol: Symbol


class ElfImage:
    def __init__(self, path):
        self.path = path
        with open(path, "rb") as stream:
            elf = ELFFile(stream)
            self.sections = [_section(s) for s in elf.iter_sections() if s["sh_flags"] & SH_FLAGS.SHF_ALLOC]
            names = {index: s.name for index, s in enumerate(elf.iter_sections())}
            symtab = elf.get_section_by_name(".symtab")
            if symtab is None:
                raise Elf2PeError(f"{path} has no symbol table")
            self._all_symbols = [_symbol(s, names) for s in symtab.iter_symbols()]
            self.relocations = [
                _relocation(r, elf, self._all_symbols, names[s["sh_info"]])
                for s in elf.iter_sections()
                if isinstance(s, RelocationSection)
                for r in s.iter_relocations()
            ]
        self.symbols = [s for s in self._all_symbols if s.name and not _is_mapping_symbol(s.name)]
        # Stable: of two at one address, the later in the table comes from the later input.
        self.mapping_symbols = sorted(
            ((s.value, s.name[:2]) for s in self._all_symbols if _is_mapping_symbol(s.name)), key=lambda m: m[0])

    def section(self, name):
        return next((s for s in self.sections if s.name == name), None)

    def defined_symbol(self, name):
        """The defined global symbol of that name, or a local one if it is the only one."""
        candidates = [s for s in self.symbols if s.name == name and s.defined and s.kind != "STT_FILE"]
        globals_ = [s for s in candidates if s.binding != "STB_LOCAL"]
        if globals_:
            return globals_[0]
        return candidates[0] if len(candidates) == 1 else None

    def section_containing(self, address):
        return next((s for s in self.sections if s.address <= address < s.address + max(s.size, 1)), None)

    def word(self, address):
        section = self.section_containing(address)
        offset = address - section.address
        return int.from_bytes(section.data[offset:offset + 4], "little")


def _is_mapping_symbol(name):
    return name in ("$a", "$d", "$t") or name.startswith(("$a.", "$d.", "$t."))


def _section(section):
    flags = section["sh_flags"]
    nobits = section["sh_type"] == "SHT_NOBITS"
    return Section(
        name=section.name,
        address=section["sh_addr"],
        size=section["sh_size"],
        data=b"" if nobits else section.data(),
        writable=bool(flags & SH_FLAGS.SHF_WRITE),
        executable=bool(flags & SH_FLAGS.SHF_EXECINSTR),
        nobits=nobits,
    )


def _symbol(symbol, section_names):
    index = symbol["st_shndx"]
    if index == "SHN_UNDEF":
        section = ""
    elif isinstance(index, int):
        section = section_names[index]
    else:
        section = "*ABS*"
    name = symbol.name
    if symbol["st_info"]["type"] == "STT_SECTION":
        name = section
    return Symbol(
        name=name,
        value=symbol["st_value"],
        size=symbol["st_size"],
        kind=symbol["st_info"]["type"],
        binding=symbol["st_info"]["bind"],
        section=section,
    )


def _relocation(relocation, elf, symbols, section_name):
    return Relocation(
        kind=describe_reloc_type(relocation["r_info_type"], elf),
        section=section_name,
        address=relocation["r_offset"],
        symbol=symbols[relocation["r_info_sym"]],
    )
