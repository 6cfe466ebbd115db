"""One emulated process: an ARM core (unicorn) running a loaded image, its
imported functions bound to the harness's handlers, and the system's ways of
calling into it.

Every procedure the system calls (the entry point, a window or dialog
procedure, an exception handler, a DLL export) gets its arguments as the
calling standard says (r0-r3, then the stack), a stack aligned to 4 bytes but
not to 8, and r4-r11 set to marks that must come back unchanged along with sp.
Every imported function leaves r1-r3 and r12 spoilt, as a real one may."""

from capstone import CS_ARCH_ARM, CS_MODE_ARM, Cs
from capstone.arm import ARM_OP_MEM
from unicorn import (UC_ARCH_ARM, UC_HOOK_BLOCK, UC_HOOK_CODE, UC_HOOK_MEM_INVALID,
                     UC_MEM_WRITE_PROT, UC_MEM_WRITE_UNMAPPED, UC_MODE_ARM, UC_PROT_EXEC, UC_PROT_READ,
                     Uc, UcError)
from unicorn.arm_const import UC_CPU_ARM_926, UC_CPU_ARM_PXA255, UC_CPU_ARM_PXA270

from emulator import api, clock_hardware, layout, served  # noqa: F401 (served: every handler registered)
from emulator.arm_registers import (CPSR, LR, NAMES, PC, PERMANENT, REGISTERS, SCRATCH, SP,
                                    THUMB_BIT, read_all, write_all)
from emulator.clock_hardware import CccrWindows
from emulator.errors import EmulationError
from emulator.exceptions import STATUS_ACCESS_VIOLATION, Fault, dispatch
from emulator.memory import Arena, Memory
from emulator.pe_image import load_image
from emulator.handheld import System
from emulator.unwind import calling_chain

CPU_MODELS = {"pxa27x": UC_CPU_ARM_PXA270, "pxa25x": UC_CPU_ARM_PXA255, "none": UC_CPU_ARM_926}
INSTRUCTION_LIMIT = 20_000_000      # in one call from the system: a run that loops stops here
PERMANENT_MARK = 0x5EED_0000        # r4-r11 get this plus the register number times 0x101
SPOILT = 0xBAD0_0000
STACK_MARGIN = 0x40


class Machine:
    def __init__(self, handheld, path, cpu, ordinal_names, base=None):
        self.uc = Uc(UC_ARCH_ARM, UC_MODE_ARM)
        self.uc.ctl_set_cpu_model(CPU_MODELS[cpu])
        self.uc.mem_map(layout.STACK_TOP - layout.STACK_SIZE, layout.STACK_SIZE)
        self.uc.mem_map(layout.THUNKS, layout.THUNKS_SIZE, UC_PROT_READ | UC_PROT_EXEC)
        self.uc.mem_map(layout.RETURN, 0x1000, UC_PROT_READ | UC_PROT_EXEC)
        self.mem = Memory(self.uc)
        self.arena = Arena(self.uc, layout.ARENA, layout.ARENA_SIZE)
        self.cccr_windows = CccrWindows()
        self.return_address = layout.RETURN
        self.image = load_image(self.uc, path, ordinal_names, base)
        self.system = System(handheld, self)
        self.depth = 0
        self.instructions = 0
        self.import_calls = 0
        self.faults_dispatched = 0
        self.handled_fault_depths = []  # frames between each fault and the handler that took it
        self.invalid_access = None
        self.import_listener = None   # called with (name, arguments, result) after each import
        # What the program did, in order, for the figures: ("call", depth, arguments,
        # instructions so far), ("import", name, arguments, instructions so far), ("return", depth,
        # instructions so far).
        self.events = []
        self._bind_imports()
        self._hook_code()

    # loading

    def _bind_imports(self):
        self.bindings = []
        for index, each in enumerate(self.image.imports):
            handler, count = api.handler_for(each.dll, each.name)
            self.bindings.append((each, handler, count))
            # the loader fills the slots before the import section is protected
            self.uc.mem_write(each.slot, (layout.THUNKS + 4 * index).to_bytes(4, "little"))
        if 4 * len(self.bindings) > layout.THUNKS_SIZE:
            raise EmulationError("more imports than the harness has thunks for")
        self.uc.hook_add(UC_HOOK_CODE, self._on_import, begin=layout.THUNKS,
                         end=layout.THUNKS + layout.THUNKS_SIZE - 1)

    def _hook_code(self):
        for begin, end in self.image.code_ranges:
            self.uc.hook_add(UC_HOOK_BLOCK, self._on_block, begin=begin, end=end - 1)
            words = self.uc.mem_read(begin, end - begin)
            for offset in range(0, end - begin, 4):
                word = int.from_bytes(words[offset:offset + 4], "little")
                if clock_hardware.is_coprocessor_instruction(word):
                    self.uc.hook_add(UC_HOOK_CODE, self._on_coprocessor, word,
                                     begin=begin + offset, end=begin + offset + 3)
            self._hook_doubleword_accesses(begin, bytes(words))
        self.uc.hook_add(UC_HOOK_MEM_INVALID, self._on_invalid_access)

    def _hook_doubleword_accesses(self, begin, code):
        disassembler = Cs(CS_ARCH_ARM, CS_MODE_ARM)
        disassembler.detail = True
        for offset in range(0, len(code), 4):
            for instruction in disassembler.disasm(code[offset:offset + 4], begin + offset):
                if instruction.mnemonic in ("ldrd", "strd"):
                    self.uc.hook_add(UC_HOOK_CODE, self._on_doubleword, instruction,
                                     begin=instruction.address, end=instruction.address + 3)

    # hooks

    def _on_block(self, uc, address, size, data):
        self.instructions += size // 4

    def _on_import(self, uc, address, size, data):
        each, handler, count = self.bindings[(address - layout.THUNKS) // 4]
        arguments = [uc.reg_read(REGISTERS[n]) for n in range(min(count, 4))]
        stack = uc.reg_read(SP)
        arguments += [self.mem.u32(stack + 4 * n) for n in range(count - 4)]
        return_to = uc.reg_read(LR)
        self.import_calls += 1
        self.events.append(("import", each.name, arguments, self.instructions))
        result = handler(self.system, *arguments)
        result = 0 if result is None else result & 0xFFFFFFFF
        if self.import_listener:
            self.import_listener(each.name, arguments, result)
        uc.reg_write(REGISTERS[0], result)
        for number in SCRATCH:
            uc.reg_write(REGISTERS[number], SPOILT | number)
        uc.reg_write(PC, return_to)

    def _on_coprocessor(self, uc, address, size, word):
        value, fault = clock_hardware.coprocessor_access(self.system, word)
        if fault is not None:
            self._resume_after(fault)
            return
        register = (word >> 12) & 0xF
        if word & (1 << 20):
            uc.reg_write(REGISTERS[register], value)
        else:
            clock_hardware.write_cclkcfg(self.system, uc.reg_read(REGISTERS[register]))
        uc.reg_write(PC, address + 4)

    def _on_doubleword(self, uc, address, size, instruction):
        operand = next(op for op in instruction.operands if op.type == ARM_OP_MEM)
        target = uc.reg_read(_register(instruction.reg_name(operand.mem.base)))
        if operand.mem.index:
            index = uc.reg_read(_register(instruction.reg_name(operand.mem.index)))
            target += -index if operand.subtracted else index
        else:
            target += operand.mem.disp
        target &= 0xFFFFFFFF
        if target % 8:
            raise EmulationError(f"{instruction.mnemonic} of 0x{target:08X}, not 8-byte aligned, "
                                 f"at {self.where(address)}: an alignment fault on the device; "
                                 f"calling chain: {self.chain()}")

    def _on_invalid_access(self, uc, access, address, size, value, data):
        self.invalid_access = (access, address)
        return False

    def _resume_after(self, fault):
        """Dispatches a fault raised at the current instruction and resumes
        where the handler says; a fault no handler takes names the instruction."""
        registers = read_all(self.uc)
        try:
            resumed, psr = dispatch(self, fault, registers[:16], registers[16])
        except EmulationError as error:
            instruction = self.instruction_at(registers[15])
            raise EmulationError(f"{error} (instruction: {instruction})") from None
        write_all(self.uc, resumed + [psr])

    # calling

    def call(self, address, arguments):
        return self.call_at(address, arguments)

    def call_at(self, address, arguments, sp=None):
        saved = self.uc.context_save()
        if sp is None:
            sp = self.uc.reg_read(SP) if self.depth else layout.STACK_TOP
        entry_sp = ((sp - STACK_MARGIN - 4 * len(arguments[4:])) & ~7) - 4
        for index, value in enumerate(arguments[4:]):
            self.mem.put_u32(entry_sp + 4 * index, value)
        for index, value in enumerate(arguments[:4]):
            self.uc.reg_write(REGISTERS[index], value & 0xFFFFFFFF)
        for number in PERMANENT:
            self.uc.reg_write(REGISTERS[number], PERMANENT_MARK + 0x101 * number)
        self.uc.reg_write(SP, entry_sp)
        self.uc.reg_write(LR, self.return_address)
        self.uc.reg_write(CPSR, self.uc.reg_read(CPSR) & ~THUMB_BIT)
        self.events.append(("call", self.depth, arguments, self.instructions))
        self.depth += 1
        try:
            self._run(address)
            self._check_preserved(address, entry_sp)
            return self.uc.reg_read(REGISTERS[0])
        finally:
            self.depth -= 1
            self.events.append(("return", self.depth, self.instructions))
            self.uc.context_restore(saved)

    def _run(self, address):
        pc = address
        while True:
            self.invalid_access = None
            try:
                self.uc.emu_start(pc, self.return_address, count=INSTRUCTION_LIMIT)
            except UcError as error:
                pc = self._after_invalid_access(error)
                continue
            if self.uc.reg_read(PC) != self.return_address:
                raise EmulationError(f"the procedure at {self.where(address)} ran over "
                                     f"{INSTRUCTION_LIMIT} instructions without returning "
                                     f"(now at {self.where(self.uc.reg_read(PC))})")
            return

    def _after_invalid_access(self, error):
        if self.invalid_access is None:
            raise EmulationError(f"{error} at {self.where(self.uc.reg_read(PC))}; "
                                 f"calling chain: {self.chain()}") from None
        access, address = self.invalid_access
        window = self.cccr_windows.window_at(address)
        write = access in (UC_MEM_WRITE_UNMAPPED, UC_MEM_WRITE_PROT)
        if window is not None:
            fault = clock_hardware.window_fault(self.system, address, write)
        else:
            fault = Fault(STATUS_ACCESS_VIOLATION, address, write)
        self._resume_after(fault)
        return self.uc.reg_read(PC)

    def _check_preserved(self, address, entry_sp):
        changed = [f"{NAMES[n]} 0x{self.uc.reg_read(REGISTERS[n]):08X}" for n in PERMANENT
                   if self.uc.reg_read(REGISTERS[n]) != PERMANENT_MARK + 0x101 * n]
        if self.uc.reg_read(SP) != entry_sp:
            changed.append(f"sp 0x{self.uc.reg_read(SP):08X} (was 0x{entry_sp:08X})")
        if changed:
            raise EmulationError(f"the procedure at {self.where(address)} did not preserve "
                                 + ", ".join(changed))

    # reporting

    def where(self, address):
        if address is None:
            return "?"
        if layout.THUNKS <= address < layout.THUNKS + layout.THUNKS_SIZE:
            return f"{self.bindings[(address - layout.THUNKS) // 4][0].name} (imported)"
        return f"0x{address:08X} {self.image.symbol_at(address)}"

    def chain(self):
        registers = read_all(self.uc)[:16]
        return " <- ".join(self.where(pc) for pc in
                           calling_chain(self.image, registers, self.mem.u32, self.return_address))

    def instruction_at(self, address):
        try:
            code = self.mem.read(address, 4)
        except EmulationError:
            return "unreadable"
        for instruction in Cs(CS_ARCH_ARM, CS_MODE_ARM).disasm(code, address):
            return f"{instruction.mnemonic} {instruction.op_str}"
        return f".word 0x{int.from_bytes(code, 'little'):08X}"


REGISTER_ALIASES = {"sb": 9, "sl": 10, "fp": 11, "ip": 12, "sp": 13, "lr": 14, "pc": 15}


def _register(name):
    return REGISTERS[REGISTER_ALIASES[name] if name in REGISTER_ALIASES else int(name[1:])]
