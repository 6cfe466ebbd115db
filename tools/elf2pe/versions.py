"""Windows CE versions as written on the command line and in the imports
list: MAJOR.MINOR in decimal ("4.21" is 4, 21; "5.1" is 5, 1)."""

import re

from errors import Elf2PeError


def parse_version(text, what):
    match = re.fullmatch(r"(\d+)\.(\d+)", text)
    if not match or max(int(match[1]), int(match[2])) > 0xFFFF:
        raise Elf2PeError(f"{what} {text!r} is not a version MAJOR.MINOR")
    return int(match[1]), int(match[2])


def format_version(version):
    return f"{version[0]}.{version[1]}"
