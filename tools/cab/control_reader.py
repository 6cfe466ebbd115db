"""Reads a control file (.000) back into its tables, laid out as cab_layout
says, and refuses, naming the place, whatever does not read back: a wrong
signature or length, an offset or a length past the end, a malformed string or
id list, a reference to an entry that does not exist."""

import struct

import cab_layout as layout
from cab_control import ENTRY_TYPES, ControlFile, ControlFileError, check


def decode_control(data):
    header = _read_header(data)
    values = {name: _decode_tail(kind, *_header_string(data, header, name), name)
              for name, kind in layout.HEADER_STRINGS}
    for section in layout.SECTIONS:
        values[section.name] = _read_section(data, header, section)
    control = ControlFile(processor=header["processor"],
                          min_version=(header["min_major"], header["min_minor"]),
                          max_version=(header["max_major"], header["max_minor"]),
                          min_build=header["min_build"], max_build=header["max_build"],
                          **values)
    check(control)
    return control


def _read_header(data):
    if len(data) < layout.HEADER_SIZE:
        raise ControlFileError(f"header: the file has {len(data)} bytes, "
                               f"the header alone {layout.HEADER_SIZE}")
    names = [name for name, _ in layout.HEADER_FIELDS]
    header = dict(zip(names, layout.HEADER.unpack_from(data)))
    if header["signature"] != layout.SIGNATURE:
        raise ControlFileError(f"header: signature {header['signature']!r}, not {layout.SIGNATURE!r}")
    if header["file_length"] != len(data):
        raise ControlFileError(f"header: length field {header['file_length']}, "
                               f"but the file has {len(data)} bytes")
    return header


def _take(data, offset, size, place):
    if offset + size > len(data):
        raise ControlFileError(f"{place}: {size} bytes at offset {offset:#x} "
                               f"run past the end of the file ({len(data):#x})")
    return data[offset:offset + size]


def _header_string(data, header, name):
    offset, length = header[f"{name}_offset"], header[f"{name}_length"]
    return _take(data, offset, length, name), offset


def _read_section(data, header, section):
    offset = header[f"{section.name}_offset"]
    if offset > len(data):
        raise ControlFileError(f"{section.title}: offset {offset:#x} is past the end "
                               f"of the file ({len(data):#x})")
    fixed_size = section.struct.size
    entries = []
    for number in range(1, header[f"{section.name}_count"] + 1):
        place = f"{section.title} entry {number}"
        fields = dict(zip((name for name, _ in section.fixed),
                          section.struct.unpack(_take(data, offset, fixed_size, place))))
        tail_offset = offset + fixed_size
        raw = _take(data, tail_offset, fields.pop("length"), place)
        fields[section.tail] = _decode_tail(section.tail_kind, raw, tail_offset, place)
        entries.append(ENTRY_TYPES[section.name](**fields))
        offset = tail_offset + len(raw)
    return tuple(entries)


def _decode_text(raw, offset, place):
    if not raw.endswith(b"\0") or b"\0" in raw[:-1]:
        raise ControlFileError(f"{place}: the string at offset {offset:#x} "
                               "does not end at its one null character")
    try:
        return raw[:-1].decode("ascii")
    except UnicodeDecodeError:
        raise ControlFileError(f"{place}: the string at offset {offset:#x} is not ASCII") from None


def _decode_tail(kind, raw, offset, place):
    if kind == layout.TEXT:
        return _decode_text(raw, offset, place)
    if kind == layout.MULTI_TEXT:
        return _decode_multi_text(raw, offset, place)
    if kind == layout.ID_LIST:
        return _decode_id_list(raw, offset, place)
    return bytes(raw)


def _decode_multi_text(raw, offset, place):
    if not raw:
        return ()
    if not raw.endswith(b"\0"):
        raise ControlFileError(f"{place}: the list at offset {offset:#x} does not end in a null")
    *texts, last = raw[:-1].split(b"\0")
    if last or not all(texts):
        raise ControlFileError(f"{place}: the list at offset {offset:#x} "
                               "does not end at its one empty string")
    return tuple(_decode_text(text + b"\0", offset, place) for text in texts)


def _decode_id_list(raw, offset, place):
    if len(raw) % 2 or not raw:
        raise ControlFileError(f"{place}: the id list at offset {offset:#x} has "
                               f"{len(raw)} bytes, not a whole number of 16-bit ids")
    ids = struct.unpack(f"<{len(raw) // 2}H", raw)
    if ids[-1] != 0 or 0 in ids[:-1]:
        raise ControlFileError(f"{place}: the id list at offset {offset:#x} "
                               "does not end at its one 0")
    return ids[:-1]
