#!/usr/bin/python3
"""Builds Tavil's installable cabinet for one handheld.

    make-cab.py --target wm5|wm2003se --exe Tavil.exe --setup-dll setup_wm5.dll
                --help-file tavil.htm -o Tavil_WM5.cab

The program and the setup DLL must be ARM images (a program and a DLL; a DLL
whose name names the other target is refused), the help file UTF-8 with the
anchor the program opens. On any error the message
names it, the exit code is 1 and no cabinet is written (one already there is
left as it was)."""

import argparse
import re
import sys
from pathlib import Path

from cab_archive import CabinetError
from cab_control import ControlFileError
from cabinet_writer import write_cabinet
from pe_image import describe_problem
from tavil_package import TARGETS, control_file, members

HELP_ANCHOR = re.compile(r'<a\s+name\s*=\s*"Main_Contents"', re.IGNORECASE)


class InputError(Exception):
    pass


def parse_arguments(argv):
    parser = argparse.ArgumentParser(prog="make-cab.py", description=__doc__.split("\n\n")[0])
    parser.add_argument("--target", required=True, choices=sorted(TARGETS),
                        help="; ".join(f"{name}: {target.title}" for name, target in TARGETS.items()))
    parser.add_argument("--exe", required=True, type=Path, help="Tavil.exe for ARM")
    parser.add_argument("--setup-dll", required=True, type=Path, help="the target's setup DLL for ARM")
    parser.add_argument("--help-file", required=True, type=Path, help="tavil.htm")
    parser.add_argument("-o", "--output", required=True, type=Path, help="the cabinet to write")
    return parser.parse_args(argv)


def read_input(option, path):
    if not path.is_file():
        raise InputError(f"{option} {path}: no such file")
    data = path.read_bytes()
    if not data:
        raise InputError(f"{option} {path}: the file is empty")
    return data


def check_image(option, path, data, want_dll):
    problem = describe_problem(data, want_dll)
    if problem:
        raise InputError(f"{option} {path}: {problem}")


def check_setup_target(path, target):
    named = [name for name in TARGETS if name in path.name.lower()]
    if named and target not in named:
        raise InputError(f"--setup-dll {path}: named for {named[0]}, not for {target}")


def check_help(path, data):
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError as error:
        raise InputError(f"--help-file {path}: not UTF-8 ({error})") from None
    if not HELP_ANCHOR.search(text):
        raise InputError(f'--help-file {path}: no <a name="Main_Contents">, '
                         "which the program's help command opens")


def read_inputs(args):
    exe = read_input("--exe", args.exe)
    check_image("--exe", args.exe, exe, want_dll=False)
    setup = read_input("--setup-dll", args.setup_dll)
    check_image("--setup-dll", args.setup_dll, setup, want_dll=True)
    check_setup_target(args.setup_dll, args.target)
    help_page = read_input("--help-file", args.help_file)
    check_help(args.help_file, help_page)
    if not args.output.parent.is_dir():
        raise InputError(f"-o {args.output}: the folder {args.output.parent} does not exist")
    if args.output.is_dir():
        raise InputError(f"-o {args.output}: a folder")
    return {"exe": (args.exe.name, exe), "setup": (args.setup_dll.name, setup),
            "help": (args.help_file.name, help_page)}


def main(argv):
    args = parse_arguments(argv)
    try:
        write_cabinet(args.output, control_file(args.target), members(read_inputs(args)))
    except (InputError, CabinetError, ControlFileError, OSError) as error:
        print(f"make-cab.py: {error}", file=sys.stderr)
        return 1
    print(f"{args.output}: Tavil for {TARGETS[args.target].title}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
