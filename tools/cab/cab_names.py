"""The names of an installation cabinet's members: an MS-DOS 8.3 name whose
extension is the member's three-digit number (000 the control file, 999 the
setup library, the others the files the control file lists by number).

The eight characters come from the original file's name: a name that is already
a valid short name keeps its letters and is padded on the left with "0" to
eight ("Blkjack.exe" gives "0Blkjack.005"); any other becomes the first six of
its valid characters in capitals and "~1" ("Blackjack Setup.dll" gives
"BLACKJ~1.999"). The installer tells members apart by the number only, so "~1"
is never raised.
"""

import re

from cab_layout import SETUP_LIBRARY_NUMBER

SHORT_NAME_CHARACTERS = "A-Za-z0-9!#$%&'()@^_`{}~-"
SHORT_NAME = re.compile(f"[{SHORT_NAME_CHARACTERS}]{{1,8}}")
NOT_SHORT_NAME_CHARACTER = re.compile(f"[^{SHORT_NAME_CHARACTERS}]")
MEMBER_NAME = re.compile(r"[^.]+\.(\d{3})")


def member_name(original_name, number):
    if not 0 <= number <= SETUP_LIBRARY_NUMBER:
        raise ValueError(f"member number {number} is not three digits")
    stem = original_name.rsplit(".", 1)[0] if "." in original_name else original_name
    if SHORT_NAME.fullmatch(stem):
        return f"{stem:0>8}.{number:03d}"
    kept = NOT_SHORT_NAME_CHARACTER.sub("", stem).upper()[:6]
    if not kept:
        raise ValueError(f"{original_name!r} has no character a short name can keep")
    return f"{kept}~1.{number:03d}"


def member_number(name):
    """The number in the name's extension, or None; the part before it may
    have any length."""
    match = MEMBER_NAME.fullmatch(name)
    return int(match.group(1)) if match else None
