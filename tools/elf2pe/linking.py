"""Runs GNU ld with our linker script, twice: the first link finds which
undefined symbols the kept code refers to, the second links in the import
stubs and tables made for them."""

import os
import subprocess

import imports
from elf_image import ElfImage
from errors import Elf2PeError

LINKER = "arm-none-eabi-ld"
ASSEMBLER = "arm-none-eabi-as"
LINKER_SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "elf2pe.ld")

# --no-warn-mismatch: objects compiled for -mabi=apcs-gnu carry EABI version 0,
# libgcc.a version 5, and ld refuses to mix them otherwise.
# --target1-abs: R_ARM_TARGET1 is an absolute address (see relocations.py).
LINK_OPTIONS = ("--emit-relocs", "--gc-sections", "-nostdlib", "--no-warn-mismatch", "--target1-abs")


def link(inputs, entry, roots, base, listed_imports, image_version, list_path, work_dir):
    """Link `inputs` into an ELF at `base`; returns (ElfImage, ImportPlan or None)."""
    probe = ElfImage(_run_ld(inputs, entry, roots, base, os.path.join(work_dir, "probe.elf"), allow_undefined=True))
    plan = imports.plan(_referenced_undefined(probe), listed_imports, image_version, list_path)
    if plan:
        inputs = [*inputs, _assemble(plan.stubs_source(), work_dir)]
    image = ElfImage(_run_ld(inputs, entry, roots, base, os.path.join(work_dir, "image.elf"), allow_undefined=False))
    return image, plan


def _referenced_undefined(elf):
    """Undefined symbols that a kept relocation names, each with where it is referenced from."""
    referenced = {}
    for relocation in elf.relocations:
        symbol = relocation.symbol
        section = elf.section(relocation.section)
        if symbol.name and not symbol.defined and section is not None:
            referenced.setdefault(symbol.name, f"{section.name}+{relocation.address - section.address:#x}")
    return referenced


def _run_ld(inputs, entry, roots, base, output, allow_undefined):
    command = [LINKER, *LINK_OPTIONS, "-T", LINKER_SCRIPT, f"--defsym=__image_base__={base:#x}",
               "-e", entry, *(f"--undefined={root}" for root in roots), "-o", output]
    if allow_undefined:
        command.append("--unresolved-symbols=ignore-all")
    _run(command + list(inputs))
    return output


def _assemble(source, work_dir):
    source_path = os.path.join(work_dir, "imports.s")
    object_path = os.path.join(work_dir, "imports.o")
    with open(source_path, "w", encoding="utf-8") as stream:
        stream.write(source)
    _run([ASSEMBLER, "-march=armv5te", "-o", object_path, source_path])
    return object_path


def _run(command):
    try:
        result = subprocess.run(command, capture_output=True, text=True, check=False)
    except OSError as error:
        raise Elf2PeError(f"cannot run {command[0]}: {error.strerror}") from None
    if result.returncode != 0:
        raise Elf2PeError(f"{command[0]} failed:\n{result.stderr.strip()}")
