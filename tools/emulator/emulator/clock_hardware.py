"""The XScale clock hardware behind the program's coprocessor instructions and
its CCCR window: identification (CP15 c0), CCLKCFG (CP14 c6) and the CCCR at
physical 0x41300000, which VirtualCopy maps into a VirtualAlloc reservation.

Coprocessor instructions and CCCR stores are privileged (SetKMode); a fault
planted for a step, or the n-th register access from now, raises a processor
fault that the system dispatches to the program's handlers."""

from dataclasses import dataclass

from unicorn import UC_PROT_NONE, UC_PROT_READ, UC_PROT_WRITE

from emulator.api import imported
from emulator.errors import ApiMisuse, ScenarioFailure
from emulator.exceptions import STATUS_ACCESS_VIOLATION, STATUS_ILLEGAL_INSTRUCTION, Fault
from emulator.layout import RESERVATION_STRIDE, RESERVATIONS

CCCR_PHYSICAL = 0x4130_0000
CCLKCFG_FCS = 2
PAGE_PHYSICAL = 0x400
PAGE_NOACCESS = 0x01
PAGE_READWRITE = 0x04
PAGE_NOCACHE = 0x200
MEM_RESERVE = 0x2000
MEM_RELEASE = 0x8000
COPROCESSOR_MASK, COPROCESSOR_FORM = 0x0F000010, 0x0E000010


@dataclass
class ProcessorFaults:
    read_main_id: bool = False
    read_cache_type: bool = False
    read_cclkcfg: bool = False
    write_cclkcfg: bool = False
    store_cccr: bool = False
    load_cccr: bool = False
    copy_cccr_page: bool = False
    kernel_mode_refused: bool = False
    accesses_before_fault: int = 0


def faults(system):
    return system.state("processor-faults", ProcessorFaults)


def plant_fault(system, name, count=0):
    """Plants the fault the simulated handheld names `name` (read-main-id, ...,
    or access with the count of register accesses before it)."""
    planted = faults(system)
    field_name = name.replace("-", "_")
    if field_name == "access":
        planted.accesses_before_fault = count
    elif field_name in ProcessorFaults.__dataclass_fields__ and field_name != "accesses_before_fault":
        setattr(planted, field_name, True)
    else:
        raise ScenarioFailure(f"no processor fault is called {name}")
    update_protection(system)


def _planted_fault_next(planted):
    return planted.accesses_before_fault == 1


def _count_access(planted, injected):
    """True when this access faults (the countdown reaching 0, or a planted step)."""
    countdown_hit = planted.accesses_before_fault > 0
    if countdown_hit:
        planted.accesses_before_fault -= 1
        countdown_hit = planted.accesses_before_fault == 0
    return injected or countdown_hit


# (CRn, opc2) -> register, for MRC p15
IDENTIFICATION = {(0, 0): "main id", (0, 1): "cache type"}


def coprocessor_access(system, word):
    """Carries out the MRC/MCR `word`; returns the value read (None for a write
    or a fault) and the fault, if it raised one."""
    processor, planted = system.world.processor, faults(system)
    coprocessor, crn, opc2 = (word >> 8) & 0xF, (word >> 16) & 0xF, (word >> 5) & 7
    reads = bool(word & (1 << 20))
    if not processor.kernel_mode:
        return None, Fault(STATUS_ILLEGAL_INSTRUCTION, what="a coprocessor instruction outside kernel mode")
    if coprocessor == 15 and reads and (crn, opc2) in IDENTIFICATION:
        name = IDENTIFICATION[(crn, opc2)]
        injected = planted.read_main_id if opc2 == 0 else planted.read_cache_type
        if _count_access(planted, injected):
            return None, Fault(STATUS_ILLEGAL_INSTRUCTION, what=f"reading the {name} register faulted")
        return (processor.mainid if opc2 == 0 else processor.cachetype), None
    if coprocessor == 14 and crn == 6:
        injected = planted.read_cclkcfg if reads else planted.write_cclkcfg
        if _count_access(planted, injected):
            return None, Fault(STATUS_ILLEGAL_INSTRUCTION, what="the CCLKCFG access faulted")
        return (processor.cclkcfg if reads else None), None
    raise ApiMisuse(f"coprocessor access 0x{word:08X} that the processor model lacks")


def write_cclkcfg(system, value):
    processor = system.world.processor
    system.trace.line(f"cclkcfg 0x{value:08X}")
    processor.cclkcfg = value & ~CCLKCFG_FCS
    if value & CCLKCFG_FCS:
        processor.running_cccr = processor.cccr


def is_coprocessor_instruction(word):
    return word & COPROCESSOR_MASK == COPROCESSOR_FORM and (word >> 8) & 0xF in (14, 15)


class CccrWindows:
    """The reservations VirtualAlloc made and which of them map the CCCR."""

    def __init__(self):
        self.reserved = {}   # address -> mapped
        self.next = RESERVATIONS

    def window_at(self, address):
        page = address & ~0xFFF
        return page if self.reserved.get(page) else None


def windows(system):
    """The reservations of the calling process: each has its own address space."""
    return system.machine.cccr_windows


def update_protection(system):
    """Each mapped window readable and writable as the next access may be: a
    planted fault removes the right beforehand, so the access itself faults."""
    processor, planted = system.world.processor, faults(system)
    armed = _planted_fault_next(planted)
    protection = UC_PROT_NONE
    if not planted.load_cccr and not armed:
        protection |= UC_PROT_READ
    if processor.kernel_mode and not planted.store_cccr and not armed:
        protection |= UC_PROT_WRITE
    for page, mapped in windows(system).reserved.items():
        if mapped:
            system.machine.uc.mem_protect(page, 0x1000, protection)


def window_fault(system, address, write):
    """The fault of an access to the window at `address` that its protection
    refused, with the access counted as the processor counts it."""
    processor, planted = system.world.processor, faults(system)
    if not (write and not processor.kernel_mode):
        _count_access(planted, True)
    update_protection(system)
    return Fault(STATUS_ACCESS_VIOLATION, address, write, "the CCCR window")


def _window_read(system):
    def read(uc, offset, size, data):
        if offset != 0 or size != 4:
            raise ApiMisuse(f"{size}-byte read at offset {offset} of the CCCR window")
        _count_access(faults(system), False)
        update_protection(system)
        return system.world.processor.cccr
    return read


def _window_write(system):
    def write(uc, offset, size, value, data):
        if offset != 0 or size != 4:
            raise ApiMisuse(f"{size}-byte write at offset {offset} of the CCCR window")
        _count_access(faults(system), False)
        update_protection(system)
        system.trace.line(f"cccr 0x{value:08X}")
        system.world.processor.cccr = value
    return write


@imported("coredll.dll", "VirtualAlloc")
def virtual_alloc(system, address, size, allocation_type, protection):
    if address != 0 or allocation_type != MEM_RESERVE or protection != PAGE_NOACCESS or size == 0:
        raise ApiMisuse(f"VirtualAlloc(0x{address:X}, {size}, 0x{allocation_type:X}, 0x{protection:X}): "
                        "only a fresh reservation is modelled")
    reservations = windows(system)
    page = reservations.next
    reservations.next += RESERVATION_STRIDE
    reservations.reserved[page] = False
    return page


@imported("coredll.dll", "VirtualCopy")
def virtual_copy(system, destination, source, size, protection):
    reservations = windows(system)
    if destination not in reservations.reserved:
        raise ApiMisuse(f"VirtualCopy into 0x{destination:08X}, which VirtualAlloc did not reserve")
    physical = source << 8 if protection & PAGE_PHYSICAL else source
    if physical & ~0xFFF != CCCR_PHYSICAL or size > 0x1000:
        raise ApiMisuse(f"VirtualCopy of physical 0x{physical:08X}: only the CCCR's page is modelled")
    if protection & ~PAGE_PHYSICAL != PAGE_READWRITE | PAGE_NOCACHE:
        raise ApiMisuse(f"VirtualCopy of a hardware register with protection 0x{protection:X}: "
                        "it must be PAGE_READWRITE | PAGE_NOCACHE")
    if faults(system).copy_cccr_page:
        return 0
    system.machine.uc.mmio_map(destination, 0x1000, _window_read(system), None, _window_write(system), None)
    reservations.reserved[destination] = True
    update_protection(system)
    return 1


@imported("coredll.dll", "VirtualFree")
def virtual_free(system, address, size, free_type):
    reservations = windows(system)
    if address not in reservations.reserved or size != 0 or free_type != MEM_RELEASE:
        raise ApiMisuse(f"VirtualFree(0x{address:08X}, {size}, 0x{free_type:X}) of no live reservation")
    if reservations.reserved.pop(address):
        system.machine.uc.mem_unmap(address, 0x1000)
    return 1


@imported("coredll.dll", "SetKMode")
def set_kernel_mode(system, on):
    processor = system.world.processor
    was = processor.kernel_mode
    processor.kernel_mode = bool(on) and not faults(system).kernel_mode_refused
    update_protection(system)
    return int(was)
