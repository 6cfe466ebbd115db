#!/usr/bin/python3
"""Reads an installation cabinet (.cab), or its control file alone (.000), and
prints what it records; exits with 1 and names the place when it does not read
back.

    read-cab.py Tavil_WM5.cab
    read-cab.py 000Tavil.000"""

import sys
from pathlib import Path

import cab_layout as layout
from cab_archive import CAB_SIGNATURE, CabinetError
from cab_control import ControlFileError
from control_reader import decode_control
from installation_cabinet import read_cabinet


def version(major_minor, build):
    return f"{major_minor[0]}.{major_minor[1]} build {build} ({build:#x})"


def link_target(control, link):
    if link.target_type == layout.LINK_TO_FILE:
        target = control.file(link.target_id)
        return f"file {target.id} ({control.dir_path(target.dir_id)}\\{target.name})"
    if link.target_id == layout.INSTALL_DIR:
        return "%InstallDir%"
    return f"directory {link.target_id} ({control.dir_path(link.target_id)})"


def control_lines(control):
    yield f"Application  {control.app_name}"
    yield f"Provider     {control.provider}"
    yield (f"Processor    {control.processor} "
           f"({layout.PROCESSORS.get(control.processor, 'not in the documented list')})")
    yield (f"Windows CE   {version(control.min_version, control.min_build)} to "
           f"{version(control.max_version, control.max_build)}")
    yield f"Unsupported  {', '.join(control.unsupported) or 'none'}"
    yield "Strings"
    yield from (f"  {entry.id:3}  {entry.text}" for entry in control.strings)
    yield "Directories"
    yield from (f"  {entry.id:3}  {control.dir_path(entry.id)}" for entry in control.dirs)
    yield "Files"
    yield from (f"  {entry.id:3}  {control.dir_path(entry.dir_id)}\\{entry.name}  "
                f"flags {entry.flags:#010x}" for entry in control.files)
    yield "Links"
    yield from (f"  {link.id:3}  {control.link_path(link)} -> {link_target(control, link)}"
                for link in control.links)
    yield f"Registry     {len(control.hives)} hives, {len(control.keys)} keys"


def cabinet_lines(cabinet):
    yield f"Compression  {', '.join(cabinet.compressions)}"
    yield "Members"
    files = {entry.id: entry.name for entry in cabinet.control.files}
    roles = {layout.CONTROL_NUMBER: "control file", layout.SETUP_LIBRARY_NUMBER: "setup library"}
    for number, name in cabinet.names.items():
        role = roles.get(number) or files[number]
        yield f"  {name:14} {len(cabinet.contents[number]):8} bytes  {role}"
    yield from control_lines(cabinet.control)


def main(argv):
    if len(argv) != 1:
        print(__doc__, file=sys.stderr)
        return 2
    path = Path(argv[0])
    try:
        data = path.read_bytes()
        lines = (cabinet_lines(read_cabinet(path)) if data.startswith(CAB_SIGNATURE)
                 else control_lines(decode_control(data)))
        text = "\n".join(lines)
    except (CabinetError, ControlFileError, OSError) as error:
        print(f"read-cab.py: {path}: {error}", file=sys.stderr)
        return 1
    print(text)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
