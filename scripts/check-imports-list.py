#!/usr/bin/python3
"""Checks the handheld's imports list (platform/win32/ce/imports.tsv): every
line that is not blank or a # comment holds five tab-separated columns, dll,
function, ordinal ("-" for an import by name, else 1 to 65535), since (the
first Windows CE version with the function, MAJOR.MINOR) and source; no
function is listed twice, no two functions share a DLL's ordinal, and no
function is newer than the oldest system the program runs on.
Usage: check-imports-list.py FILE"""

import re
import sys

OLDEST_SYSTEM = (4, 21)  # Windows Mobile 2003 SE
COLUMNS = ("dll", "function", "ordinal", "since", "source")


def parse_version(text):
    match = re.fullmatch(r"(\d+)\.(\d+)", text)
    return (int(match[1]), int(match[2])) if match else None


def line_errors(fields, functions, ordinals):
    """The faults of one line's fields, given the functions and (dll, ordinal)
    pairs of the lines before it; records this line's."""
    if len(fields) != len(COLUMNS) or not all(fields):
        return [f"expected {len(COLUMNS)} tab-separated columns, none empty: {', '.join(COLUMNS)}"]
    dll, function, ordinal, since, _source = fields
    errors = []
    if not re.fullmatch(r"[A-Za-z0-9_]+\.dll", dll):
        errors.append(f"dll {dll!r} is not a DLL's file name")
    if not re.fullmatch(r"[A-Za-z_][A-Za-z0-9_]*", function):
        errors.append(f"function {function!r} is not a symbol name")
    elif function in functions:
        errors.append(f"{function} is listed twice")
    functions.add(function)
    if ordinal != "-":
        if not ordinal.isdigit() or not 1 <= int(ordinal) <= 0xFFFF:
            errors.append(f"ordinal {ordinal!r} is neither '-' nor a number from 1 to 65535")
        elif (dll.lower(), int(ordinal)) in ordinals:
            errors.append(f"ordinal {ordinal} of {dll} is listed twice")
        else:
            ordinals.add((dll.lower(), int(ordinal)))
    version = parse_version(since)
    if version is None:
        errors.append(f"since {since!r} is not a version MAJOR.MINOR")
    elif version > OLDEST_SYSTEM:
        errors.append(f"{function} is only in Windows CE {since}, newer than the oldest system, "
                      f"{OLDEST_SYSTEM[0]}.{OLDEST_SYSTEM[1]}")
    return errors


def check(path):
    with open(path, encoding="utf-8") as stream:
        lines = stream.read().splitlines()
    functions, ordinals = set(), set()
    errors = []
    for number, line in enumerate(lines, 1):
        if line.strip() and not line.startswith("#"):
            errors += [f"{path}:{number}: {error}"
                       for error in line_errors(line.split("\t"), functions, ordinals)]
    if not functions:
        errors.append(f"{path}: lists no function")
    return errors


def main(arguments):
    if len(arguments) != 1:
        print(__doc__, file=sys.stderr)
        return 2
    try:
        errors = check(arguments[0])
    except (OSError, UnicodeDecodeError) as error:
        errors = [f"{arguments[0]}: cannot be read: {error}"]
    for error in errors:
        print(error, file=sys.stderr)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
