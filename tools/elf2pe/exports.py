"""The export directory (.edata): the DLL's name, one address per exported
symbol with ordinals from 1, and the names in ASCII order, each pointing to
its symbol's ordinal. Several names may name one symbol."""

import struct

from errors import Elf2PeError
from pe_format import align_up

DIRECTORY = struct.Struct("<IIHHIIIIIII")  # 40 bytes
ORDINAL_BASE = 1


def parse_export(text):
    """NAME=SYMBOL from the command line."""
    name, equals, symbol = text.partition("=")
    if not equals or not name or not symbol:
        raise Elf2PeError(f"--export {text!r} is not NAME=SYMBOL")
    if not name.isascii() or not name.isprintable():
        raise Elf2PeError(f"--export {text!r}: the name must be printable ASCII")
    return name, symbol


def build(exports, symbol_rvas, dll_name, section_rva):
    """`exports`: [(name, symbol)]; `symbol_rvas`: symbol -> RVA.
    Returns the section's bytes and the directory's size."""
    names = sorted(exports)
    for (name, _), (next_name, _) in zip(names, names[1:]):
        if name == next_name:
            raise Elf2PeError(f"export name {name} is given twice")
    symbols = list(dict.fromkeys(symbol for _, symbol in names))  # first named first
    ordinal_index = {symbol: index for index, symbol in enumerate(symbols)}

    addresses_at = section_rva + DIRECTORY.size
    names_at = addresses_at + 4 * len(symbols)
    ordinals_at = names_at + 4 * len(names)
    strings_at = ordinals_at + 2 * len(names)
    strings = bytearray()

    def add_string(text):
        rva = strings_at + len(strings)
        strings.extend(text.encode("ascii") + b"\0")
        return rva

    dll_name_rva = add_string(dll_name)
    name_rvas = [add_string(name) for name, _ in names]
    directory = DIRECTORY.pack(0, 0, 0, 0, dll_name_rva, ORDINAL_BASE, len(symbols), len(names),
                               addresses_at, names_at, ordinals_at)
    body = (b"".join(struct.pack("<I", symbol_rvas[s]) for s in symbols)
            + b"".join(struct.pack("<I", rva) for rva in name_rvas)
            + b"".join(struct.pack("<H", ordinal_index[symbol]) for _, symbol in names))
    data = directory + body + bytes(strings)
    return data + bytes(align_up(len(data), 4) - len(data)), len(data)
