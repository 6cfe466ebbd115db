"""The list of functions the images may import, a tab-separated file:
dll, function, ordinal ("-" to import by name), since (the first Windows CE
version that has it, MAJOR.MINOR) and source (where that was found).
Lines starting with # are comments."""

from dataclasses import dataclass

from errors import Elf2PeError
from versions import parse_version

COLUMNS = ("dll", "function", "ordinal", "since", "source")


@dataclass(frozen=True)
class ListedImport:
    dll: str
    function: str
    ordinal: int | None  # None: by name
    since: tuple


def load(path):
    try:
        with open(path, encoding="utf-8") as stream:
            lines = stream.read().splitlines()
    except OSError as error:
        raise Elf2PeError(f"cannot read the imports list {path}: {error.strerror}") from None
    listed = {}
    for number, line in enumerate(lines, 1):
        if not line.strip() or line.startswith("#"):
            continue
        entry = _parse_line(line, f"{path}:{number}")
        if entry.function in listed:
            raise Elf2PeError(f"{path}:{number}: {entry.function} is listed twice")
        listed[entry.function] = entry
    return listed


def _parse_line(line, where):
    fields = line.split("\t")
    if len(fields) != len(COLUMNS) or not all(fields[:4]):
        raise Elf2PeError(f"{where}: expected {len(COLUMNS)} tab-separated columns: {', '.join(COLUMNS)}")
    dll, function, ordinal, since, _source = fields
    return ListedImport(dll=dll, function=function, ordinal=_parse_ordinal(ordinal, where),
                        since=parse_version(since, f"{where}: since"))


def _parse_ordinal(text, where):
    if text == "-":
        return None
    if not text.isdigit() or not 1 <= int(text) <= 0xFFFF:
        raise Elf2PeError(f"{where}: ordinal {text!r} is neither '-' nor a number from 1 to 65535")
    return int(text)
