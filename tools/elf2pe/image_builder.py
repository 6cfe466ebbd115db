"""Makes the PE image from the linked ELF: its sections, then the ones made
here (.edata, .pdata, .rsrc, .reloc) on the pages after them."""

from dataclasses import dataclass

import base_relocations
import exports as exports_module
import function_table
import pe_format as pe
import pe_writer
import relocations
import resources as resources_module
import sections as sections_module
from errors import Elf2PeError
from imports import IDATA_RVA


@dataclass(frozen=True)
class ImageRequest:
    dll: bool
    base: int
    entry: str
    version: tuple
    exports: list  # [(name, symbol)]
    dll_name: str
    exception_handlers: list
    resources: dict | None  # resources.read_res() tree


@dataclass(frozen=True)
class BuiltImage:
    data: bytes
    sections: list
    entries: list  # function table entries
    export_rvas: dict  # export name -> RVA


def build(elf, plan, request):
    base = request.base
    entry_rva = _symbol_rva(elf, request.entry, f"--entry {request.entry}", base)
    relocated = [address - base for address in relocations.absolute_addresses(elf)]
    sections = sections_module.from_elf(elf, base)
    _check_import_tables(elf, plan, base)
    directories = {}
    if plan:
        directories[pe.DIRECTORY_IMPORT] = plan.directory
        directories[pe.DIRECTORY_IAT] = plan.address_table
    entries = function_table.build(elf, request.exception_handlers)
    symbol_rvas = {symbol: _symbol_rva(elf, symbol, f"--export {name}={symbol}", base)
                   for name, symbol in request.exports}
    export_rvas = {name: symbol_rvas[symbol] for name, symbol in request.exports}

    def append(name, data, characteristics, directory, size=None):
        rva = pe.align_up(sections[-1].rva + sections[-1].virtual_size, pe.SECTION_ALIGNMENT)
        sections.append(sections_module.PeSection(name, rva, data, len(data), characteristics))
        directories[directory] = (rva, len(data) if size is None else size)
        return rva

    if request.exports:
        rva = pe.align_up(sections[-1].rva + sections[-1].virtual_size, pe.SECTION_ALIGNMENT)
        data, size = exports_module.build(request.exports, symbol_rvas, request.dll_name, rva)
        append(".edata", data, pe.READ_ONLY_DATA, pe.DIRECTORY_EXPORT, size)
    if entries:
        data, offsets = function_table.encode(entries)
        rva = append(".pdata", data, pe.READ_ONLY_DATA, pe.DIRECTORY_EXCEPTION)
        relocated += [rva + offset for offset in offsets]
    if request.resources:
        rva = pe.align_up(sections[-1].rva + sections[-1].virtual_size, pe.SECTION_ALIGNMENT)
        append(".rsrc", resources_module.build(request.resources, rva), pe.READ_ONLY_DATA,
               pe.DIRECTORY_RESOURCE)
    if relocated:
        append(".reloc", base_relocations.encode(relocated), pe.DISCARDABLE_DATA, pe.DIRECTORY_BASERELOC)
    end = sections[-1].rva + sections[-1].virtual_size
    if base + end > 0x100000000:
        raise Elf2PeError(f"the image, {end:#x} bytes, does not fit below 4 GB at base {base:#x}")

    if not any(e.function.start == base + entry_rva for e in entries):
        raise Elf2PeError(f"--entry {request.entry} is not a function in .text")
    headers = pe_writer.ImageHeaders(dll=request.dll, base=base, entry_rva=entry_rva, version=request.version,
                                     directories=directories)
    return BuiltImage(pe_writer.write(sections, headers), sections, entries, export_rvas)


def _check_import_tables(elf, plan, base):
    """The .idata the link placed must be exactly the tables planned for it."""
    section = elf.section(".idata")
    expected = plan.idata if plan else b""
    actual = section.data if section else b""
    if actual != expected or (section and section.address != base + IDATA_RVA):
        raise Elf2PeError("section .idata holds more than the import tables: an input has its own .idata")


def _symbol_rva(elf, name, what, base):
    symbol = elf.defined_symbol(name)
    if symbol is None or symbol.section in ("", "*ABS*") or elf.section(symbol.section) is None:
        raise Elf2PeError(f"{what}: {name} is not defined in the image")
    return symbol.value - base
