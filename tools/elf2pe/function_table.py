"""The function table (.pdata) of a Windows CE ARM image: one
IMAGE_CE_RUNTIME_FUNCTION_ENTRY per function in .text, sorted by address:

    FuncStart      32 bits  the function's virtual address (so it is relocated)
    PrologLen       8 bits  instructions in the prolog
    FuncLen        22 bits  instructions in the function
    ThirtyTwoBit    1 bit   1: ARM instructions
    ExceptionFlag   1 bit   1: a PDATA_EH (handler, handler data) precedes the function

Every piece of code in .text must belong to a function, since any code can
be on the stack when a fault happens."""

import bisect
import struct
from dataclasses import dataclass

import arm_prolog
import fault_free
from errors import Elf2PeError
from relocations import ABSOLUTE, KINDS

ENTRY = struct.Struct("<II")
MAX_PROLOG_LENGTH = 0xFF
MAX_FUNCTION_LENGTH = (1 << 22) - 1
THIRTY_TWO_BIT = 1 << 30
EXCEPTION_FLAG = 1 << 31
PDATA_EH_SIZE = 8
# Words the assembler and linker pad code with: zero, and mov r0, r0 (the ARMv5 no-op).
PADDING_WORDS = (0x00000000, 0xE1A00000)


@dataclass(frozen=True)
class Function:
    name: str
    start: int
    size: int
    runs_into: str | None  # the function its code continues into, if it does


@dataclass(frozen=True)
class Entry:
    function: Function
    prolog_length: int
    exception_flag: bool

    def encode(self):
        second = (self.prolog_length | (self.function.size // 4) << 8 | THIRTY_TWO_BIT
                  | (EXCEPTION_FLAG if self.exception_flag else 0))
        return ENTRY.pack(self.function.start, second)


def build(elf, exception_handlers):
    """Entries for the functions in .text, in address order."""
    text = elf.section(".text")
    if text is None:
        return []
    code = CodeMap(elf, text)
    functions = _functions(elf, text)
    code.check_covered(functions)
    flagged = {_handled_function(name, functions, code, elf).start for name in exception_handlers}
    by_start = {f.start: f for f in functions}
    cannot_fault = fault_free.FaultFree(
        lambda start: [(a, code.word(a)) for a in _code_addresses(by_start[start], code)]
        if start in by_start else None)
    return [Entry(f, _prolog_length(f, code, cannot_fault), f.start in flagged) for f in functions]


def encode(entries):
    """The .pdata bytes and the offsets in them of the addresses to relocate."""
    return b"".join(e.encode() for e in entries), [i * ENTRY.size for i in range(len(entries))]


class CodeMap:
    """Which words of .text are instructions, from the mapping symbols."""

    def __init__(self, elf, text):
        self.elf = elf
        self.text = text
        end = text.address + text.size
        marks = [(address, kind) for address, kind in elf.mapping_symbols if text.address <= address < end]
        for address, kind in marks:
            if kind == "$t":
                raise Elf2PeError(f"Thumb code at {address:#x} ({self.where(address)}): "
                                  f"only ARM code is supported")
        self.starts = [address for address, _ in marks]
        self.kinds = [kind for _, kind in marks]

    def is_code(self, address):
        index = bisect.bisect_right(self.starts, address) - 1
        return index < 0 or self.kinds[index] == "$a"

    def word(self, address):
        offset = address - self.text.address
        return int.from_bytes(self.text.data[offset:offset + 4], "little")

    def where(self, address):
        before = [s for s in self.elf.symbols
                  if s.section == ".text" and s.kind != "STT_SECTION" and s.value <= address]
        nearest = max(before, key=lambda s: s.value, default=None)
        place = f".text+{address - self.text.address:#x}"
        return f"{place}, {nearest.name}+{address - nearest.value:#x}" if nearest else place

    def check_covered(self, functions):
        starts = [f.start for f in functions]
        for address in range(self.text.address, self.text.address + self.text.size - 3, 4):
            if not self.is_code(address) or self.word(address) in PADDING_WORDS:
                continue
            index = bisect.bisect_right(starts, address) - 1
            if index < 0 or address >= functions[index].start + functions[index].size:
                raise Elf2PeError(f"code at {address:#x} ({self.where(address)}) belongs to no function "
                                  f"symbol: give it .type %function and .size")


def _functions(elf, text):
    """The functions in .text by address. Hand-written assembly (libgcc's)
    has entry points that run into one another and symbols without a size:
    a function ends where the next one starts, or at its size if sooner, and
    one without a size reaches the next."""
    best = {}  # start -> (size, name), the largest size of the symbols there
    for symbol in elf.symbols:
        if symbol.kind != "STT_FUNC" or symbol.section != ".text":
            continue
        if symbol.value % 4 or symbol.size % 4:
            raise Elf2PeError(f"function {symbol.name} at {symbol.value:#x}, {symbol.size} bytes, is not "
                              f"whole ARM instructions (Thumb functions are not supported)")
        known = best.get(symbol.value)
        if known is None or symbol.size > known[0]:
            best[symbol.value] = (symbol.size, symbol.name)
    sizes = {start: size for start, (size, _) in best.items()}
    names = {start: name for start, (_, name) in best.items()}
    starts = sorted(best)
    functions = []
    for start, next_start in zip(starts, starts[1:] + [text.address + text.size]):
        end = start + sizes[start] if sizes[start] else next_start
        runs_into = names.get(next_start) if end > next_start else None
        size = min(end, next_start) - start
        if size // 4 > MAX_FUNCTION_LENGTH:
            raise Elf2PeError(f"function {names[start]} is longer than the function table can describe")
        functions.append(Function(names[start], start, size, runs_into))
    return functions


def _code_addresses(function, code):
    return [address for address in range(function.start, function.start + function.size, 4)
            if code.is_code(address)]


def _prolog_length(function, code, cannot_fault):
    end = function.start + function.size
    leading = []
    address = function.start
    while address < end and code.is_code(address):
        leading.append(code.word(address))
        address += 4
    length = arm_prolog.prolog_length(leading)
    if length and function.runs_into:
        raise Elf2PeError(f"function {function.name} saves registers and then runs into function "
                          f"{function.runs_into}, whose entry in the function table cannot describe both")
    if length > MAX_PROLOG_LENGTH:
        raise Elf2PeError(f"function {function.name} has a prolog of {length} instructions, more than "
                          f"the function table can describe")
    late_saves = [address for address in _code_addresses(function, code)
                  if address >= function.start + 4 * length and arm_prolog.is_push(code.word(address))]
    if late_saves and not cannot_fault(function.start):
        raise Elf2PeError(f"function {function.name} saves registers at {late_saves[0]:#x} "
                          f"(+{late_saves[0] - function.start:#x}), after its prolog of {length} "
                          f"instructions, and may fault (it touches memory beyond its stack or calls "
                          f"what may): the unwinder could not undo it")
    return length


def _handled_function(name, functions, code, elf):
    """The function `name`, checked to be preceded by a PDATA_EH."""
    function = next((f for f in functions if f.name == name), None)
    if function is None:
        symbol = elf.defined_symbol(name)
        function = next((f for f in functions if symbol and f.start == symbol.value), None)
    if function is None:
        raise Elf2PeError(f"--exception-handler {name}: no function of that name in .text")
    handler_at = function.start - PDATA_EH_SIZE
    problem = _pdata_eh_problem(handler_at, functions, code, elf)
    if problem:
        raise Elf2PeError(f"--exception-handler {name}: the 8 bytes before it are not a PDATA_EH "
                          f"(handler, handler data): {problem}")
    return function


def _pdata_eh_problem(handler_at, functions, code, elf):
    text = code.text
    if handler_at < text.address:
        return "they lie before .text"
    for address in (handler_at, handler_at + 4):
        if code.is_code(address):
            return f"{address:#x} holds an instruction, not data"
        if any(f.start <= address < f.start + f.size for f in functions):
            return f"{address:#x} is inside a function"
    relocation = next((r for r in elf.relocations if r.address == handler_at and r.section == text.name
                       and KINDS.get(r.kind, (None,))[0] == ABSOLUTE), None)
    if relocation is None:
        return f"the handler word at {handler_at:#x} holds no address (no absolute relocation)"
    if not any(f.start == code.word(handler_at) for f in functions):
        return f"the handler word at {handler_at:#x} is not the address of a function"
    return None
