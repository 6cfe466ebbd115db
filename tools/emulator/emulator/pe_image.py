"""Loading a PE image into the emulated process as the system's loader does:
headers and sections mapped at the load address, base relocations applied,
every import slot bound, and the function table and exports read."""

import os
import struct
from dataclasses import dataclass, field

import pefile
from elftools.elf.elffile import ELFFile
from unicorn import UC_PROT_EXEC, UC_PROT_READ, UC_PROT_WRITE

from emulator.errors import EmulationError
from emulator.memory import page_round

IMAGE_REL_BASED_ABSOLUTE = 0
IMAGE_REL_BASED_HIGHLOW = 3
PDATA_ENTRY = struct.Struct("<II")
# machine ARM, PE32, subsystem Windows CE GUI
LOADABLE = (0x01C0, 0x10B, 9)


@dataclass
class FunctionEntry:
    start: int          # address, relocated
    prolog_length: int  # instructions
    length: int         # instructions
    has_handler: bool

    @property
    def end(self):
        return self.start + 4 * self.length


@dataclass
class Import:
    dll: str
    name: str           # the function's name (an ordinal import is named through the export list)
    slot: int           # address of its IAT slot, relocated


@dataclass
class LoadedImage:
    path: str
    pe: pefile.PE
    base: int
    preferred_base: int
    size: int
    entry: int
    imports: list
    exports: dict                     # name -> address
    functions: list                   # FunctionEntry, by start address
    code_ranges: list                 # (begin, end) of executable sections
    symbols: list = field(default_factory=list)  # (address, name), sorted

    @property
    def delta(self):
        return self.base - self.preferred_base

    def function_at(self, address):
        for function in self.functions:
            if function.start <= address < function.end:
                return function
        return None

    def symbol_at(self, address):
        best = None
        for begin, name in self.symbols:
            if begin > address:
                break
            best = (begin, name)
        return f"{best[1]}+0x{address - best[0]:X}" if best else f"0x{address:08X}"



def _relocate(data, pe, delta):
    directory = getattr(pe, "DIRECTORY_ENTRY_BASERELOC", [])
    if delta and not directory:
        raise EmulationError(f"{pe.filename if hasattr(pe, 'filename') else 'the image'} "
                             "must move but has no base relocations")
    for block in directory:
        for entry in block.entries:
            if entry.type == IMAGE_REL_BASED_ABSOLUTE:
                continue
            if entry.type != IMAGE_REL_BASED_HIGHLOW:
                raise EmulationError(f"base relocation of type {entry.type} at RVA 0x{entry.rva:X}")
            value = struct.unpack_from("<I", data, entry.rva)[0]
            struct.pack_into("<I", data, entry.rva, (value + delta) & 0xFFFFFFFF)


def _image_bytes(pe):
    size = page_round(pe.OPTIONAL_HEADER.SizeOfImage)
    data = bytearray(size)
    headers = pe.OPTIONAL_HEADER.SizeOfHeaders
    data[:headers] = pe.__data__[:headers]
    for section in pe.sections:
        raw = section.get_data()[: max(section.Misc_VirtualSize, 0) or len(section.get_data())]
        data[section.VirtualAddress : section.VirtualAddress + len(raw)] = raw
    return data


def _imports(pe, base, delta, ordinal_names):
    found = []
    for module in getattr(pe, "DIRECTORY_ENTRY_IMPORT", []):
        dll = module.dll.decode("ascii")
        for each in module.imports:
            if each.name is not None:
                name = each.name.decode("ascii")
            else:
                name = ordinal_names.get((dll.lower(), each.ordinal))
                if name is None:
                    raise EmulationError(f"{dll} exports no function with ordinal {each.ordinal}")
            found.append(Import(dll, name, each.address + delta))
    return found


def _functions(pe, data, base):
    directory = pe.OPTIONAL_HEADER.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_EXCEPTION"]]
    functions = []
    for offset in range(0, directory.Size, PDATA_ENTRY.size):
        start, packed = PDATA_ENTRY.unpack_from(data, directory.VirtualAddress + offset)
        functions.append(FunctionEntry(start, packed & 0xFF, (packed >> 8) & 0x3FFFFF,
                                       bool(packed >> 31)))
    return sorted(functions, key=lambda function: function.start)


def _exports(pe, base):
    directory = getattr(pe, "DIRECTORY_ENTRY_EXPORT", None)
    return {symbol.name.decode("ascii"): base + symbol.address
            for symbol in (directory.symbols if directory else ()) if symbol.name}


def _symbols(path, delta):
    elf_path = path + ".elf"
    if not os.path.exists(elf_path):
        return []
    with open(elf_path, "rb") as stream:
        table = ELFFile(stream).get_section_by_name(".symtab")
        symbols = [(symbol["st_value"] + delta, symbol.name) for symbol in table.iter_symbols()
                   if symbol["st_info"]["type"] == "STT_FUNC"] if table else []
    return sorted(symbols)


def _protect(uc, pe, base):
    """Headers read-only and each section as its flags say, as the loader maps them."""
    flags = pefile.SECTION_CHARACTERISTICS
    uc.mem_protect(base, page_round(pe.OPTIONAL_HEADER.SizeOfHeaders), UC_PROT_READ)
    for section in pe.sections:
        size = page_round(max(section.Misc_VirtualSize, 1))
        protection = UC_PROT_READ
        if section.Characteristics & flags["IMAGE_SCN_MEM_WRITE"]:
            protection |= UC_PROT_WRITE
        if section.Characteristics & flags["IMAGE_SCN_MEM_EXECUTE"]:
            protection |= UC_PROT_EXEC
        uc.mem_protect(base + section.VirtualAddress, size, protection)


def _check_loadable(pe, path):
    """What the system's loader refuses: another machine, a 64-bit image, an
    image not made for the Windows CE graphical subsystem."""
    found = (pe.FILE_HEADER.Machine, pe.OPTIONAL_HEADER.Magic, pe.OPTIONAL_HEADER.Subsystem)
    if found != LOADABLE:
        raise EmulationError(f"{path}: machine 0x{found[0]:04X}, optional header 0x{found[1]:03X}, "
                             f"subsystem {found[2]}: the handheld loads machine 0x{LOADABLE[0]:04X}, "
                             f"PE32 (0x{LOADABLE[1]:03X}), subsystem {LOADABLE[2]} only")


def load_image(uc, path, ordinal_names, base=None):
    """Maps the image at `base` (its preferred base when None) and returns what
    the rest of the harness needs of it. Import slots are left for the caller to
    bind."""
    pe = pefile.PE(path)
    _check_loadable(pe, path)
    preferred = pe.OPTIONAL_HEADER.ImageBase
    base = preferred if base is None else base
    delta = base - preferred
    data = _image_bytes(pe)
    _relocate(data, pe, delta)
    uc.mem_map(base, len(data))
    uc.mem_write(base, bytes(data))
    _protect(uc, pe, base)
    code = [(base + s.VirtualAddress, base + s.VirtualAddress + page_round(s.Misc_VirtualSize))
            for s in pe.sections if s.Characteristics & pefile.SECTION_CHARACTERISTICS["IMAGE_SCN_MEM_EXECUTE"]]
    return LoadedImage(
        path=path, pe=pe, base=base, preferred_base=preferred, size=len(data),
        entry=base + pe.OPTIONAL_HEADER.AddressOfEntryPoint,
        imports=_imports(pe, base, delta, ordinal_names),
        exports=_exports(pe, base),
        functions=_functions(pe, data, base),
        code_ranges=code,
        symbols=_symbols(path, delta),
    )
