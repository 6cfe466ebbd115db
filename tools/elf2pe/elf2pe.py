#!/usr/bin/python3
"""elf2pe: links ARM ELF objects into a Windows CE PE/COFF image.

    elf2pe.py link --kind exe|dll --entry SYMBOL --imports IMPORTS.tsv
        --subsystem-version 4.21 [--base 0x10000] [--resources FILE.res]
        [--export NAME=SYMBOL ...] [--exception-handler FUNCTION ...]
        [--dll-name NAME] [--map FILE] -o OUT -- OBJECTS_AND_ARCHIVES...
    elf2pe.py rebase IN --base ADDR -o OUT
"""

import argparse
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import exports  # noqa: E402
import image_builder  # noqa: E402
import imports_list  # noqa: E402
import linking  # noqa: E402
import map_file  # noqa: E402
import pe_format  # noqa: E402
import rebase  # noqa: E402
import resources  # noqa: E402
from errors import Elf2PeError  # noqa: E402
from versions import parse_version  # noqa: E402

DEFAULT_BASE = {"exe": 0x00010000, "dll": 0x10000000}


class ArgumentParser(argparse.ArgumentParser):
    def error(self, message):
        raise Elf2PeError(message)


def number(text):
    try:
        return int(text, 0)
    except ValueError:
        raise argparse.ArgumentTypeError(f"{text!r} is not a number") from None


def parse_arguments(argv):
    parser = ArgumentParser(prog="elf2pe.py", description="ARM ELF to Windows CE PE/COFF image")
    commands = parser.add_subparsers(dest="command", required=True)
    link = commands.add_parser("link", help="link objects into an image")
    link.add_argument("--kind", choices=DEFAULT_BASE, required=True)
    link.add_argument("--entry", required=True)
    link.add_argument("--imports", required=True)
    link.add_argument("--subsystem-version", required=True)
    link.add_argument("--base", type=number)
    link.add_argument("--resources")
    link.add_argument("--export", action="append", default=[], type=exports.parse_export)
    link.add_argument("--exception-handler", action="append", default=[])
    link.add_argument("--dll-name")
    link.add_argument("--map")
    link.add_argument("-o", dest="output", required=True)
    link.add_argument("inputs", nargs="+")
    rebase_command = commands.add_parser("rebase", help="move an image to another base")
    rebase_command.add_argument("input")
    rebase_command.add_argument("--base", type=number, required=True)
    rebase_command.add_argument("-o", dest="output", required=True)
    return parser.parse_args(argv)


def run_link(arguments):
    version = parse_version(arguments.subsystem_version, "--subsystem-version")
    base = DEFAULT_BASE[arguments.kind] if arguments.base is None else arguments.base
    pe_format.check_image_base(base)
    dll_name = arguments.dll_name or os.path.basename(arguments.output)
    if not dll_name.isascii() or not dll_name.isprintable():
        raise Elf2PeError(f"DLL name {dll_name!r} is not printable ASCII")
    listed = imports_list.load(arguments.imports)
    request = image_builder.ImageRequest(
        dll=arguments.kind == "dll", base=base, entry=arguments.entry, version=version,
        exports=arguments.export, dll_name=dll_name, exception_handlers=arguments.exception_handler,
        resources=resources.read_res(arguments.resources) if arguments.resources else None)
    roots = [symbol for _, symbol in arguments.export] + arguments.exception_handler
    with tempfile.TemporaryDirectory(prefix="elf2pe-") as work_dir:
        elf, plan = linking.link(arguments.inputs, arguments.entry, roots, base, listed, version,
                                 arguments.imports, work_dir)
        built = image_builder.build(elf, plan, request)
        with open(elf.path, "rb") as stream:
            # The link itself, for checks that need its symbols (code from literal pools).
            outputs = {arguments.output: built.data, elf_copy(arguments.output): stream.read()}
        if arguments.map:
            outputs[arguments.map] = map_file.render(built, elf, plan, base).encode("utf-8")
    return outputs


def elf_copy(output):
    return output + ".elf"


def run_rebase(arguments):
    try:
        with open(arguments.input, "rb") as stream:
            image = stream.read()
    except OSError as error:
        raise Elf2PeError(f"cannot read {arguments.input}: {error.strerror}") from None
    return {arguments.output: rebase.rebase(image, arguments.base)}


def write_all(outputs):
    """Each file through a temporary one renamed into place, once all are
    written, readable by all as any new file (mkstemp makes it the owner's)."""
    temporaries = []
    mask = os.umask(0)
    os.umask(mask)
    try:
        for path, data in outputs.items():
            handle, temporary = tempfile.mkstemp(dir=os.path.dirname(os.path.abspath(path)), prefix=".elf2pe-")
            temporaries.append((temporary, path))
            with os.fdopen(handle, "wb") as stream:
                stream.write(data)
            os.chmod(temporary, 0o666 & ~mask)
        for temporary, path in temporaries:
            os.replace(temporary, path)
    except OSError as error:
        for temporary, _ in temporaries:
            if os.path.exists(temporary):
                os.remove(temporary)
        raise Elf2PeError(f"cannot write {error.filename}: {error.strerror}") from None


def remove_stale(arguments):
    """No output of an earlier run may pass for this one's."""
    keep = getattr(arguments, "input", None)
    link_outputs = (elf_copy(arguments.output), arguments.map) if arguments.command == "link" else ()
    for path in (arguments.output, *link_outputs):
        if path and path != keep and os.path.exists(path):
            os.remove(path)


def main(argv):
    arguments = None
    try:
        arguments = parse_arguments(argv)
        outputs = run_link(arguments) if arguments.command == "link" else run_rebase(arguments)
        write_all(outputs)
    except Elf2PeError as error:
        if arguments is not None:
            remove_stale(arguments)
        print(f"elf2pe: error: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
