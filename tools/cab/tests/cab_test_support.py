"""Shared by the cabinet tests: the tool folder on the import path, small
dummy input files, and runs of the command-line tools."""

import struct
import subprocess
import sys
from pathlib import Path

TOOLS = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(TOOLS))

PYTHON = "/usr/bin/python3"
ARM = 0x01C0
X86 = 0x014C
IMAGE_FILE_DLL = 0x2000
IMAGE_FILE_EXECUTABLE_IMAGE = 0x0002
HELP_PAGE = ('<html><head><meta http-equiv="Content-Type" content="text/html; charset=utf-8">'
             '<title>Tavil</title></head><body><a name="Main_Contents"></a>Справка</body></html>')


def pe_image(machine, dll, payload):
    """An MZ header pointing at a PE signature and a COFF file header, laid out
    as Microsoft's PE/COFF format document gives them, then the payload."""
    characteristics = IMAGE_FILE_EXECUTABLE_IMAGE | (IMAGE_FILE_DLL if dll else 0)
    dos_header = b"MZ" + bytes(0x3A) + struct.pack("<I", 0x40)
    coff_header = struct.pack("<HHIIIHH", machine, 0, 0, 0, 0, 0, characteristics)
    return dos_header + b"PE\0\0" + coff_header + payload


def write_inputs(folder, setup_name="setup_wm5.dll"):
    """Dummy inputs for make-cab.py, each with bytes of its own; their paths."""
    folder = Path(folder)
    inputs = {
        "exe": (folder / "Tavil.exe", pe_image(ARM, False, b"program " * 40)),
        "setup": (folder / setup_name, pe_image(ARM, True, b"setup " * 30)),
        "help": (folder / "tavil.htm", HELP_PAGE.encode("utf-8")),
    }
    for path, data in inputs.values():
        path.write_bytes(data)
    return {role: path for role, (path, _) in inputs.items()}


def run_tool(script, *arguments, env=None):
    return subprocess.run([PYTHON, str(TOOLS / script), *map(str, arguments)],
                          capture_output=True, text=True, timeout=60, check=False, env=env)


def make_cab(target, inputs, output, env=None):
    return run_tool("make-cab.py", "--target", target, "--exe", inputs["exe"],
                    "--setup-dll", inputs["setup"], "--help-file", inputs["help"], "-o", output,
                    env=env)
