"""Writes a control file (.000) from its tables, laid out as cab_layout says."""

import struct

import cab_layout as layout
from cab_control import ControlFileError, check, where


def encode_control(control):
    """The control file's bytes; ControlFileError when the tables break a rule
    or a value does not fit its field."""
    check(control)
    header = dict(layout.USUAL_UNKNOWNS, signature=layout.SIGNATURE,
                  processor=control.processor,
                  min_major=control.min_version[0], min_minor=control.min_version[1],
                  max_major=control.max_version[0], max_minor=control.max_version[1],
                  min_build=control.min_build, max_build=control.max_build)
    body = bytearray(layout.HEADER_SIZE)
    for name, kind in layout.HEADER_STRINGS:
        encoded = _encode_tail(kind, getattr(control, name), name)
        header[f"{name}_offset"] = len(body)
        header[f"{name}_length"] = len(encoded)
        body += encoded
    for section in layout.SECTIONS:
        entries = getattr(control, section.name)
        header[f"{section.name}_count"] = len(entries)
        header[f"{section.name}_offset"] = len(body)
        for entry in entries:
            body += _encode_entry(section, entry)
    header["file_length"] = len(body)
    body[:layout.HEADER_SIZE] = _pack(layout.HEADER, [header[name] for name, _ in layout.HEADER_FIELDS],
                                      "header")
    return bytes(body)


def _encode_entry(section, entry):
    tail = _encode_tail(section.tail_kind, getattr(entry, section.tail), where(section, entry))
    fixed = [len(tail) if name == "length" else getattr(entry, name) for name, _ in section.fixed]
    return _pack(section.struct, fixed, where(section, entry)) + tail


def _pack(packer, values, place):
    try:
        return packer.pack(*values)
    except struct.error as error:
        raise ControlFileError(f"{place}: a value does not fit its field ({error})") from None


def _encode_text(text, place):
    if "\0" in text:
        raise ControlFileError(f"{place}: {text!r} holds a null character")
    try:
        return text.encode("ascii") + b"\0"
    except UnicodeEncodeError:
        raise ControlFileError(f"{place}: {text!r} is not ASCII") from None


def _encode_tail(kind, value, place):
    if kind == layout.TEXT:
        return _encode_text(value, place)
    if kind == layout.MULTI_TEXT:
        if any(not text for text in value):
            raise ControlFileError(f"{place}: an empty string would end the list")
        return b"".join(_encode_text(text, place) for text in value) + (b"\0" if value else b"")
    if kind == layout.ID_LIST:
        return _pack(struct.Struct(f"<{len(value) + 1}H"), [*value, 0], place)
    return bytes(value)
