"""Reads an installation cabinet back: its members, extracted with cabextract,
and its control file, and refuses one whose members and control file disagree.

The format's rules for the members: each is named with a three-digit number,
no number twice; the control file (000) comes first, the others follow in
descending order of their numbers; each file the control file lists is there
under its number, and every member besides the control file and the setup
library (999) is a file it lists.
"""

import tempfile
from dataclasses import dataclass
from pathlib import Path

import cab_layout as layout
from cab_archive import CabinetError, extract_cabinet, read_directory
from cab_names import member_number
from control_reader import decode_control


@dataclass(frozen=True)
class InstallationCabinet:
    compressions: tuple
    names: dict  # member number -> name, in stored order
    contents: dict  # member number -> bytes
    control: object  # cab_control.ControlFile


def read_cabinet(path):
    data = Path(path).read_bytes()
    directory = read_directory(data)
    names = _numbered_names(directory.members)
    contents = _extracted_contents(path, directory.members, names)
    control = decode_control(contents[layout.CONTROL_NUMBER])
    _check_files_listed(control, names)
    return InstallationCabinet(directory.compressions, names, contents, control)


def _numbered_names(members):
    names = {}
    for member in members:
        number = member_number(member.name)
        if number is None:
            raise CabinetError(f"member {member.name!r} has no three-digit number as its extension")
        if number in names:
            raise CabinetError(f"members {names[number]!r} and {member.name!r} share number {number:03d}")
        names[number] = member.name
    numbers = list(names)
    if not numbers or numbers[0] != layout.CONTROL_NUMBER:
        raise CabinetError("the control file (number 000) is not the first member")
    if numbers[1:] != sorted(numbers[1:], reverse=True):
        raise CabinetError(f"members after the control file are not in descending order: "
                           f"{', '.join(names[number] for number in numbers[1:])}")
    return names


def _extracted_contents(path, members, names):
    with tempfile.TemporaryDirectory(prefix="tavil-cab-") as folder:
        extract_cabinet(path, folder)
        contents = {}
        for member, number in zip(members, names):
            extracted = Path(folder, member.name)
            if not extracted.is_file():
                raise CabinetError(f"cabextract gave no {member.name}")
            contents[number] = extracted.read_bytes()
            if len(contents[number]) != member.size:
                raise CabinetError(f"{member.name}: {len(contents[number])} bytes extracted, "
                                   f"{member.size} stored")
        return contents


def _check_files_listed(control, names):
    listed = {entry.id for entry in control.files}
    for entry in control.files:
        if entry.id not in names:
            raise CabinetError(f"FILES entry id {entry.id} ({entry.name}): "
                               f"no member numbered {entry.id:03d} in the cabinet")
    unlisted = set(names) - listed - {layout.CONTROL_NUMBER, layout.SETUP_LIBRARY_NUMBER}
    if unlisted:
        raise CabinetError(f"member {names[min(unlisted)]} is not a file the control file lists")
