"""The system's exception dispatcher, for a processor fault in the program.

Starting at the faulting frame, it walks the stack with the virtual unwinder.
For each frame whose function-table entry has the exception flag, it calls the
handler that the PDATA_EH record before the function names with
(ExceptionRecord, EstablisherFrame, ContextRecord, DispatcherContext). The
ContextRecord is the fault's own context. ExceptionContinueExecution resumes at
that context as the handler left it, ExceptionContinueSearch goes on to the
caller's frame; a fault no handler takes ends the process."""

import struct

from emulator.errors import EmulationError
from emulator.unwind import PC, SP, calling_chain, unwind

STATUS_ACCESS_VIOLATION = 0xC0000005
STATUS_ILLEGAL_INSTRUCTION = 0xC000001D
CONTINUE_EXECUTION, CONTINUE_SEARCH = 0, 1
CONTEXT_FULL = 0x0000_0043  # CONTEXT_ARM | CONTROL | INTEGER
CONTEXT_SIZE = 0x1A0        # ContextFlags, R0-R12, Sp, Lr, Pc, Psr, then the VFP state
RECORD_SIZE = 0x50          # EXCEPTION_RECORD with its 15 parameters
DISPATCHER_CONTEXT_SIZE = 0x20
MAX_FRAMES = 64


class Fault:
    def __init__(self, code, address=None, write=False, what=""):
        self.code = code
        self.address = address
        self.write = write
        self.what = what

    def describe(self):
        if self.code == STATUS_ACCESS_VIOLATION:
            kind = "write to" if self.write else "read of"
            return f"{kind} 0x{self.address:08X}{' (' + self.what + ')' if self.what else ''}"
        return self.what or f"exception 0x{self.code:08X}"


def _exception_record(fault, pc):
    parameters = [1 if fault.write else 0, fault.address] if fault.address is not None else []
    record = struct.pack("<IIIII", fault.code, 0, 0, pc, len(parameters))
    record += struct.pack(f"<{len(parameters)}I", *parameters)
    return record.ljust(RECORD_SIZE, b"\0")


def _context(registers, psr):
    return struct.pack("<I16II", CONTEXT_FULL, *registers[:16], psr).ljust(CONTEXT_SIZE, b"\0")


def dispatch(machine, fault, registers, psr):
    """Dispatches the fault at `registers`; returns the registers and psr to
    resume with, or raises EmulationError when no handler takes it."""
    mem = machine.mem
    frames = registers[SP] - 0x400                  # the dispatcher's own records, below the fault
    record_at = frames
    context_at = record_at + RECORD_SIZE
    dispatcher_at = context_at + CONTEXT_SIZE
    mem.write(record_at, _exception_record(fault, registers[PC]))
    mem.write(context_at, _context(registers, psr))
    machine.faults_dispatched += 1
    walk = list(registers[:16])
    for depth in range(MAX_FRAMES):
        function = machine.image.function_at(walk[PC])
        caller, establisher = unwind(machine.image, walk, mem.u32)
        if function is not None and function.has_handler and \
                walk[PC] >= function.start + 4 * function.prolog_length:
            handler = mem.u32(function.start - 8)
            mem.write(dispatcher_at, struct.pack("<IIII", walk[PC], function.start, establisher, context_at))
            disposition = machine.call_at(handler, [record_at, establisher, context_at, dispatcher_at],
                                          sp=frames - 8)
            if disposition == CONTINUE_EXECUTION:
                machine.handled_fault_depths.append(depth)
                resumed = struct.unpack_from("<16II", mem.read(context_at + 4, 17 * 4))
                return list(resumed[:16]), resumed[16]
            if disposition != CONTINUE_SEARCH:
                raise EmulationError(f"the handler at 0x{handler:08X} answered {disposition}")
        if caller[PC] in (machine.return_address, 0) or caller[PC] == walk[PC]:
            break
        walk = caller
    chain = calling_chain(machine.image, list(registers), mem.u32, machine.return_address)
    raise EmulationError(f"unhandled fault: {fault.describe()} at {machine.where(registers[PC])}; "
                         f"calling chain: {' <- '.join(machine.where(pc) for pc in chain)}")
