"""Which ARM-state instructions an ARMv5TE core (the handheld's XScale, PXA255
and PXA27x) executes, by capstone's instruction names (conditions and the S
flag are not part of the name)."""

import capstone
from capstone import arm

ARM_V5TE_INSTRUCTIONS = frozenset(
    # data processing, with the shifts that capstone names on their own
    "and eor sub rsb add adc sbc rsc tst teq cmp cmn orr mov bic mvn adr "
    "lsl lsr asr ror rrx "
    # multiplies, and the DSP extension (the E of 5TE)
    "mul mla umull umlal smull smlal "
    "smlabb smlabt smlatb smlatt smlawb smlawt smulbb smulbt smultb smultt "
    "smulwb smulwt smlalbb smlalbt smlaltb smlaltt qadd qsub qdadd qdsub clz "
    # loads and stores, doubleword ones included (5TE)
    "ldr ldrb ldrh ldrsb ldrsh ldrd ldrt ldrbt str strb strh strd strt strbt "
    "ldm ldmda ldmdb ldmib stm stmda stmdb stmib push pop swp swpb pld "
    # branches, status and the system
    "b bl bx blx svc bkpt mrs msr "
    # coprocessors (CP14 and CP15 here)
    "mrc mcr mrc2 mcr2 mrrc mcrr ldc ldc2 stc stc2 cdp cdp2".split())

_decoder = capstone.Cs(capstone.CS_ARCH_ARM, capstone.CS_MODE_ARM)
_decoder.detail = True


def doubleword_on_stack(instruction):
    """An ldrd or strd whose base is the stack pointer: with a stack aligned to
    4 bytes only, its address may not be a multiple of 8, which the core
    requires."""
    if instruction.insn_name() not in ("ldrd", "strd"):
        return False
    return any(operand.type == arm.ARM_OP_MEM and operand.mem.base == arm.ARM_REG_SP
               for operand in instruction.operands)


def code_faults(code, address):
    """(address, text) of each word of `code` (ARM-state code loaded at
    `address`) that is no ARMv5TE instruction or accesses the stack a
    doubleword at a time."""
    faults = []
    for offset in range(0, len(code) - len(code) % 4, 4):
        word = code[offset:offset + 4]
        decoded = list(_decoder.disasm(word, address + offset))
        if not decoded:
            faults.append((address + offset, f"undecodable word {word[::-1].hex()}"))
            continue
        instruction = decoded[0]
        text = f"{instruction.mnemonic} {instruction.op_str}".strip()
        if instruction.insn_name() not in ARM_V5TE_INSTRUCTIONS:
            faults.append((address + offset, f"not ARMv5TE: {text}"))
        elif doubleword_on_stack(instruction):
            faults.append((address + offset, f"doubleword stack access: {text}"))
    return faults
