"""The resources of a loaded image, found as the system's FindResource finds
them: by type, then name, each a number or a case-blind string ("#100" is the
number 100), taking the first language stored."""

import struct

from emulator.errors import EmulationError

RT_ICON = 3
RT_MENU = 4
RT_DIALOG = 5
RT_STRING = 6
RT_GROUP_ICON = 14

STRINGS_PER_BLOCK = 16


def resource_key(value):
    """A type or name as the directory holds it: an int, or an upper-case str."""
    if isinstance(value, int):
        return value
    if value.startswith("#") and value[1:].isdigit():
        return int(value[1:])
    return value.upper()


def _entry_key(entry):
    return entry.id if entry.name is None else str(entry.name).upper()


def _find(entries, key):
    return next((entry for entry in entries if _entry_key(entry) == key), None)


def locate(pe, type_id, name_id):
    """(RVA, size) of the resource's data, or None when the image lacks it."""
    directory = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    kind = _find(directory.entries, resource_key(type_id)) if directory else None
    named = _find(kind.directory.entries, resource_key(name_id)) if kind else None
    if named is None:
        return None
    data = named.directory.entries[0].data.struct
    return data.OffsetToData, data.Size


def read(pe, type_id, name_id):
    """The resource's bytes, or None."""
    found = locate(pe, type_id, name_id)
    return None if found is None else pe.get_data(found[0], found[1])


def string_in_block(block, index):
    """String `index` of an RT_STRING block: sixteen strings, each a WORD
    count of UTF-16 units and the units; an absent string has count 0."""
    offset = 0
    for position in range(STRINGS_PER_BLOCK):
        if offset + 2 > len(block):
            raise EmulationError(f"the string block ends inside string {position}")
        (count,) = struct.unpack_from("<H", block, offset)
        if position == index:
            text = block[offset + 2 : offset + 2 + 2 * count]
            if len(text) != 2 * count:
                raise EmulationError(f"the string block ends inside string {position}")
            return text.decode("utf-16-le", "surrogatepass")
        offset += 2 + 2 * count
    raise ValueError(f"a string block holds {STRINGS_PER_BLOCK} strings, not {index + 1}")
