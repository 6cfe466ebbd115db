"""Writes an installation cabinet: the control file and the files it lists
under their numbered names, the control file first and the others in
descending order of their numbers, uncompressed (Pocket PC 2003 devices do not
take compressed cabinets). The cabinet is made under a temporary name beside
the output, read back and compared with what went in, and only then renamed
to the output; on any failure nothing is left."""

import os
import tempfile
from pathlib import Path

import cab_layout as layout
from cab_archive import CabinetError, create_cabinet
from cab_names import member_name
from control_writer import encode_control
from installation_cabinet import read_cabinet

UNCOMPRESSED = "none"
CABINET_MODE = 0o666


def _umask():
    mask = os.umask(0)
    os.umask(mask)
    return mask


def write_cabinet(output, control, members):
    """`members`: member number -> (original file name, bytes), the control
    file's number (000) left out; its member is named after the application."""
    output = Path(output)
    contents = {layout.CONTROL_NUMBER: encode_control(control), **{
        number: data for number, (_, data) in members.items()}}
    names = {layout.CONTROL_NUMBER: member_name(control.app_name, layout.CONTROL_NUMBER), **{
        number: member_name(original, number) for number, (original, _) in members.items()}}
    order = [layout.CONTROL_NUMBER, *sorted(members, reverse=True)]
    handle, temporary = tempfile.mkstemp(dir=output.parent, prefix=f".{output.name}.", suffix=".tmp")
    os.close(handle)
    os.chmod(temporary, CABINET_MODE & ~_umask())  # mkstemp makes it private
    try:
        with tempfile.TemporaryDirectory(prefix="tavil-cab-") as staging:
            paths = [Path(staging, names[number]) for number in order]
            for number, path in zip(order, paths):
                path.write_bytes(contents[number])
            create_cabinet(temporary, paths)
        _check_read_back(read_cabinet(temporary), control, names, contents)
        os.replace(temporary, output)
    finally:
        if os.path.exists(temporary):
            os.unlink(temporary)


def _check_read_back(cabinet, control, names, contents):
    if cabinet.control != control:
        raise CabinetError("the control file read back differs from the one written")
    if cabinet.names != names or cabinet.contents != contents:
        raise CabinetError("the members read back differ from the files written")
    if any(compression != UNCOMPRESSED for compression in cabinet.compressions):
        raise CabinetError(f"the cabinet is compressed: {', '.join(cabinet.compressions)}")
