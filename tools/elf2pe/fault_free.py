"""Which routines can never raise a fault. The unwinder only meets a routine
that can raise none when another below it on the stack faulted; one whose
calls all go to such routines, and that touches no memory but its own stack
and its literal pools, cannot raise one either, so the unwinder never meets it
and its entry need not describe where it saves its registers. libgcc's soft
floating point is written so: it returns from its simple cases before it saves
any, and its comparisons call one another."""

import capstone
from capstone import arm

_decoder = capstone.Cs(capstone.CS_ARCH_ARM, capstone.CS_MODE_ARM)
_decoder.detail = True
_BLOCK_TRANSFERS = ("ldm", "ldmda", "ldmdb", "ldmib", "stm", "stmda", "stmdb", "stmib")
_OWN_MEMORY = (arm.ARM_REG_SP, arm.ARM_REG_PC)


def _touches_other_memory(instruction):
    if instruction.insn_name() in _BLOCK_TRANSFERS:
        return instruction.operands[0].reg not in _OWN_MEMORY  # the base register
    return any(operand.type == arm.ARM_OP_MEM and operand.mem.base not in _OWN_MEMORY
               for operand in instruction.operands)


def _callee(instruction):
    """The address a call goes to; None when it is not a call; -1, where no
    function starts, when the call goes through a register and cannot be
    followed."""
    name = instruction.insn_name()
    if name in ("bl", "blx"):
        operand = instruction.operands[0]
        return operand.imm if operand.type == arm.ARM_OP_IMM else -1
    if name == "mov" and instruction.op_str == "lr, pc":
        return -1
    return None


class FaultFree:
    """Answers for the functions of one image, each worked out once.
    `code_of(start)` gives (address, word) of each instruction of the
    function starting at `start`, or None when no function starts there."""

    def __init__(self, code_of):
        self.code_of = code_of
        self.known = {}

    def __call__(self, start):
        if start not in self.known:
            self.known[start] = False  # met again on its own call chain: not proven
            self.known[start] = self._works_out(start)
        return self.known[start]

    def _works_out(self, start):
        code = self.code_of(start)
        if code is None:
            return False
        for address, word in code:
            decoded = list(_decoder.disasm(word.to_bytes(4, "little"), address))
            if not decoded or _touches_other_memory(decoded[0]):
                return False
            callee = _callee(decoded[0])
            if callee is not None and not self(callee):
                return False
        return True
