"""What a control file (.000) records, as tables of entries, and the rules its
entries keep: unique ids, and every reference to a string, directory, file or
hive that exists. The writer checks them before it writes anything, the reader
after it has read a file."""

from dataclasses import dataclass

import cab_layout as layout


class ControlFileError(ValueError):
    """A control file, or what one is to record, that breaks the format; the
    message says where."""


@dataclass(frozen=True)
class StringEntry:
    id: int
    text: str


@dataclass(frozen=True)
class DirEntry:
    id: int
    string_ids: tuple


@dataclass(frozen=True)
class FileEntry:
    id: int  # the cabinet member with this number is the file
    dir_id: int
    unknown: int  # usually the file's id
    flags: int
    name: str  # the installed file's name


@dataclass(frozen=True)
class HiveEntry:
    id: int
    root: int
    unknown: int
    string_ids: tuple


@dataclass(frozen=True)
class KeyEntry:
    id: int
    hive_id: int
    substitute: int
    type_flags: int
    data: bytes


@dataclass(frozen=True)
class LinkEntry:
    id: int
    unknown: int
    base_dir: int  # 0 %InstallDir%, n %CEn%
    target_id: int  # a file or a directory, by target_type
    target_type: int
    string_ids: tuple  # the link's name under base_dir


ENTRY_TYPES = {"strings": StringEntry, "dirs": DirEntry, "files": FileEntry,
               "hives": HiveEntry, "keys": KeyEntry, "links": LinkEntry}


@dataclass(frozen=True)
class ControlFile:
    app_name: str
    provider: str
    processor: int
    min_version: tuple  # (major, minor); (0, 0) for no limit
    max_version: tuple
    min_build: int
    max_build: int
    unsupported: tuple = ()
    strings: tuple = ()
    dirs: tuple = ()
    files: tuple = ()
    hives: tuple = ()
    keys: tuple = ()
    links: tuple = ()

    def text_of(self, string_ids):
        texts = {entry.id: entry.text for entry in self.strings}
        return "\\".join(texts[string_id] for string_id in string_ids)

    def dir_path(self, dir_id):
        return self.text_of(_by_id(self.dirs)[dir_id].string_ids)

    def file(self, file_id):
        return _by_id(self.files)[file_id]

    def link_path(self, link):
        base = "%InstallDir%" if link.base_dir == layout.INSTALL_DIR else layout.ce_dir(link.base_dir)
        return base + "\\" + self.text_of(link.string_ids)


def _by_id(entries):
    return {entry.id: entry for entry in entries}


def where(section, entry):
    return f"{section.title} entry id {entry.id}"


def check(control):
    """Raises ControlFileError at the first rule the tables break."""
    for name in ("app_name", "provider"):
        if not getattr(control, name):
            raise ControlFileError(f"{name}: empty")
    _check_version_range(control)
    ids = {section.name: _unique_ids(section, getattr(control, section.name))
           for section in layout.SECTIONS}
    for section in layout.SECTIONS:
        for entry in getattr(control, section.name):
            problem = REFERENCE_RULES[section.name](entry, ids)
            if problem:
                raise ControlFileError(f"{where(section, entry)}: {problem}")


def _check_version_range(control):
    if control.max_version == (0, 0):
        return
    low = (*control.min_version, control.min_build)
    high = (*control.max_version, control.max_build if control.max_build else low[2])
    if low > high:
        raise ControlFileError(f"header: version range {low} to {high} is empty")


def _unique_ids(section, entries):
    seen = set()
    for entry in entries:
        if entry.id in seen:
            raise ControlFileError(f"{where(section, entry)}: id used twice")
        if entry.id == 0:
            raise ControlFileError(f"{section.title}: id 0 is not an entry")
        seen.add(entry.id)
    return seen


def _missing_strings(string_ids, ids):
    if not string_ids:
        return "no strings named"
    missing = [string_id for string_id in string_ids if string_id not in ids["strings"]]
    return f"string {missing[0]} does not exist" if missing else None


def _broken_file(entry, ids):
    if entry.id not in layout.FILE_NUMBERS:
        return f"file number outside {layout.FILE_NUMBERS.start}..{layout.FILE_NUMBERS.stop - 1}"
    if entry.dir_id not in ids["dirs"]:
        return f"directory {entry.dir_id} does not exist"
    return None


def _broken_hive(entry, ids):
    if entry.root not in layout.HIVE_ROOTS:
        return f"registry root {entry.root} is not one of {sorted(layout.HIVE_ROOTS)}"
    return _missing_strings(entry.string_ids, ids)


def _broken_key(entry, ids):
    return None if entry.hive_id in ids["hives"] else f"hive {entry.hive_id} does not exist"


def _broken_link(link, ids):
    if link.base_dir > layout.HIGHEST_CE_DIR:
        return f"base directory {link.base_dir} is neither %InstallDir% nor %CE1%..%CE17%"
    if link.target_type == layout.LINK_TO_FILE and link.target_id not in ids["files"]:
        return f"target file {link.target_id} does not exist"
    if link.target_type == layout.LINK_TO_DIR and link.target_id not in ids["dirs"] | {
            layout.INSTALL_DIR}:
        return f"target directory {link.target_id} does not exist"
    if link.target_type not in (layout.LINK_TO_DIR, layout.LINK_TO_FILE):
        return f"target type {link.target_type} is neither directory (0) nor file (1)"
    return _missing_strings(link.string_ids, ids)


# What each section's entries refer to, and how that can be broken.
REFERENCE_RULES = {
    "strings": lambda entry, ids: None,
    "dirs": lambda entry, ids: _missing_strings(entry.string_ids, ids),
    "files": _broken_file,
    "hives": _broken_hive,
    "keys": _broken_key,
    "links": _broken_link,
}
