"""Resources: a Win32 .res file (a sequence of RESOURCEHEADER + data, the
first an empty 32-byte entry) made into the .rsrc tree type -> name ->
language. In each directory the string-named entries come first, in
ascending case-insensitive order, then the numbered ones in ascending order
(winnt.h, IMAGE_RESOURCE_DIRECTORY)."""

import struct

from errors import Elf2PeError
from pe_format import align_up

RES_PREFIX = struct.Struct("<II")  # DataSize, HeaderSize
RES_SUFFIX = struct.Struct("<IHHII")  # DataVersion, MemoryFlags, LanguageId, Version, Characteristics
EMPTY_ENTRY = bytes.fromhex("00000000 20000000 ffff0000 ffff0000 00000000 00000000 00000000 00000000")
DIRECTORY = struct.Struct("<IIHHHH")  # Characteristics, TimeDateStamp, Major, Minor, named, numbered
DIRECTORY_ENTRY = struct.Struct("<II")
DATA_ENTRY = struct.Struct("<IIII")  # RVA, size, code page, reserved
NAME_IS_STRING = DATA_IS_DIRECTORY = 0x80000000
DATA_ALIGNMENT = 4


def read_res(path):
    """{type: {name: {language: data}}}, names and types as str or int."""
    try:
        with open(path, "rb") as stream:
            content = stream.read()
    except OSError as error:
        raise Elf2PeError(f"cannot read the resources {path}: {error.strerror}") from None
    if not content.startswith(EMPTY_ENTRY):
        raise Elf2PeError(f"{path} is not a Win32 .res file (it does not start with the empty entry)")
    tree = {}
    position = len(EMPTY_ENTRY)
    while position < len(content):
        kind, name, language, data, position = _read_entry(content, position, path)
        names = tree.setdefault(_unique_key(tree, kind, path), {})
        languages = names.setdefault(_unique_key(names, name, path), {})
        if language in languages:
            raise Elf2PeError(f"{path}: resource {kind!r} {name!r} language {language:#x} is given twice")
        languages[language] = data
    return tree


def _read_entry(content, position, path):
    if position + RES_PREFIX.size > len(content):
        raise Elf2PeError(f"{path}: entry at offset {position:#x} is cut short")
    data_size, header_size = RES_PREFIX.unpack_from(content, position)
    data_at = position + header_size
    if header_size < RES_PREFIX.size + RES_SUFFIX.size or data_at + data_size > len(content):
        raise Elf2PeError(f"{path}: entry at offset {position:#x} has bad sizes")
    kind, at = _read_name(content, position + RES_PREFIX.size, data_at, path)
    name, at = _read_name(content, at, data_at, path)
    at = align_up(at, 4)
    if at + RES_SUFFIX.size != data_at:
        raise Elf2PeError(f"{path}: entry at offset {position:#x} has a header of the wrong size")
    language = RES_SUFFIX.unpack_from(content, at)[2]
    return kind, name, language, content[data_at:data_at + data_size], align_up(data_at + data_size, 4)


def _read_name(content, at, limit, path):
    """A type or name: 0xFFFF then a number, or a NUL-terminated UTF-16 string."""
    if content[at:at + 2] == b"\xff\xff":
        return int.from_bytes(content[at + 2:at + 4], "little"), at + 4
    end = at
    while end + 2 <= limit and content[end:end + 2] != b"\0\0":
        end += 2
    if end + 2 > limit:
        raise Elf2PeError(f"{path}: unterminated resource name at offset {at:#x}")
    return content[at:end].decode("utf-16-le"), end + 2


def _unique_key(directory, key, path):
    """`key`, refused if it differs only in case from a name already in `directory`."""
    if isinstance(key, str):
        clash = next((k for k in directory if isinstance(k, str) and k != key and k.upper() == key.upper()), None)
        if clash is not None:
            raise Elf2PeError(f"{path}: resource names {clash!r} and {key!r} differ only in case")
    return key


def _order(key):
    """Named entries first, by case-insensitive name; then numbered ones."""
    return (0, key.upper(), 0) if isinstance(key, str) else (1, "", key)


def build(tree, section_rva):
    """The .rsrc section's bytes: directory tables breadth-first, their
    strings, the data entries, then the data, each block 4-byte aligned."""
    tables = _tables(tree)
    table_offsets = []
    offset = 0
    for items in tables:
        table_offsets.append(offset)
        offset += DIRECTORY.size + DIRECTORY_ENTRY.size * len(items)

    strings = bytearray()
    string_offsets = {}
    for key, _ in (item for items in tables for item in items):
        if isinstance(key, str) and key not in string_offsets:
            string_offsets[key] = offset + len(strings)
            encoded = key.encode("utf-16-le")
            strings += struct.pack("<H", len(encoded) // 2) + encoded
    data_entries_at = align_up(offset + len(strings), 4)
    leaves = [child for items in tables for _, child in items if isinstance(child, bytes)]
    data_at = data_entries_at + DATA_ENTRY.size * len(leaves)

    data_entries = bytearray()
    blobs = bytearray()
    for leaf in leaves:
        blob_at = align_up(data_at + len(blobs), DATA_ALIGNMENT)
        blobs += bytes(blob_at - data_at - len(blobs)) + leaf
        data_entries += DATA_ENTRY.pack(section_rva + blob_at, len(leaf), 0, 0)

    out = bytearray()
    leaf_index = 0
    for items in tables:
        named = sum(isinstance(key, str) for key, _ in items)
        out += DIRECTORY.pack(0, 0, 0, 0, named, len(items) - named)
        for key, child in items:
            name_field = NAME_IS_STRING | string_offsets[key] if isinstance(key, str) else key
            if isinstance(child, bytes):
                target = data_entries_at + DATA_ENTRY.size * leaf_index
                leaf_index += 1
            else:
                target = DATA_IS_DIRECTORY | table_offsets[child]
            out += DIRECTORY_ENTRY.pack(name_field, target)
    out += strings
    out += bytes(data_entries_at - len(out)) + data_entries + blobs
    return bytes(out + bytes(align_up(len(out), 4) - len(out)))


def _tables(tree):
    """The directory tables breadth-first, each a list of (key, child) in
    order, a child being the index of its table or the resource's data."""
    tables = [_sorted_items(tree)]
    index = 0
    while index < len(tables):
        items = tables[index]
        for position, (key, child) in enumerate(items):
            if isinstance(child, dict):
                tables.append(_sorted_items(child))
                items[position] = (key, len(tables) - 1)
        index += 1
    return tables


def _sorted_items(directory):
    return sorted(directory.items(), key=lambda item: _order(item[0]))
