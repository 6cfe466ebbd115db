"""The system's virtual unwinder: from a frame's registers, the caller's, by
reverse-executing the prolog of the function the frame is in, as the function
table (.pdata) describes it. A frame in no function of the table is taken for
a leaf that keeps its return address in lr.

Prolog instructions it reverses (any other ends the unwind with an error):
    mov r12, sp                sp = r12
    stmdb sp!, {list}          each register of list back from the stack
    str rX, [sp, #-4]!         rX back from the stack
    add/sub r11, r12|sp, #n    nothing
    sub sp, sp, #n             sp += n
    sub sp, sp, r12            sp += n, n from the mov or pc-relative ldr of r12 before it"""

from emulator.errors import EmulationError

R11, R12, SP, LR, PC = 11, 12, 13, 14, 15
MOVE_SP_TO_R12 = 0xE1A0C00D
SUBTRACT_R12 = 0xE04DD00C


def _immediate(word):
    rotate = 2 * ((word >> 8) & 0xF)
    value = word & 0xFF
    return ((value >> rotate) | (value << (32 - rotate))) & 0xFFFFFFFF


def _r12_value(word, address, read_u32):
    if word & 0xFFFFF000 == 0xE3A0C000:          # mov r12, #n
        return _immediate(word)
    if word & 0xFF7FF000 == 0xE51FC000:          # ldr r12, [pc, #+-n]
        offset = word & 0xFFF
        return read_u32(address + 8 + (offset if word & 0x00800000 else -offset))
    raise EmulationError(f"sub sp, sp, r12 at 0x{address + 4:08X} without r12 set just before it")


def _reverse(word, address, prolog, index, registers, read_u32):
    if word == MOVE_SP_TO_R12:
        registers[SP] = registers[R12]
    elif word & 0xFFFF0000 == 0xE92D0000:        # stmdb sp!, {list}
        for register in range(16):
            if word & (1 << register):
                registers[register] = read_u32(registers[SP])
                registers[SP] += 4
    elif word & 0xFFFF0FFF == 0xE52D0004:        # str rX, [sp, #-4]!
        registers[(word >> 12) & 0xF] = read_u32(registers[SP])
        registers[SP] += 4
    elif word & 0xFFE0F000 in (0xE280B000, 0xE240B000) and (word >> 16) & 0xF in (R12, SP):
        pass                                     # the frame pointer comes back with the saves
    elif word & 0xFFFFF000 == 0xE24DD000:        # sub sp, sp, #n
        registers[SP] += _immediate(word)
    elif word == SUBTRACT_R12 and index > 0:
        registers[SP] += _r12_value(prolog[index - 1], address - 4, read_u32)
    elif word & 0xFFFFF000 == 0xE3A0C000 or word & 0xFF7FF000 == 0xE51FC000:
        pass                                     # r12 loaded for the subtraction after it
    else:
        raise EmulationError(f"0x{word:08X} at 0x{address:08X} is no prolog instruction "
                             "the unwinder can reverse")
    registers[SP] &= 0xFFFFFFFF


def unwind(image, registers, read_u32):
    """The caller's registers (a new list of 16) and the frame's establisher
    frame (its stack pointer past the prolog)."""
    registers = list(registers[:16])
    pc = registers[PC]
    function = image.function_at(pc) if image is not None else None
    establisher = registers[SP]
    if function is None:
        registers[PC] = registers[LR]
        return registers, establisher
    executed = min((pc - function.start) // 4, function.prolog_length)
    prolog = [read_u32(function.start + 4 * n) for n in range(executed)]
    registers[PC] = None
    for index in reversed(range(executed)):
        _reverse(prolog[index], function.start + 4 * index, prolog, index, registers, read_u32)
    if registers[PC] is None:
        registers[PC] = registers[LR]
    return registers, establisher


def calling_chain(image, registers, read_u32, stop, depth=16):
    """The return addresses from the frame up, as far as the unwinder can go."""
    chain = [registers[PC]]
    try:
        for _ in range(depth):
            registers, _ = unwind(image, registers, read_u32)
            if registers[PC] in (stop, 0) or registers[PC] == chain[-1]:
                break
            chain.append(registers[PC])
    except EmulationError:
        pass
    return chain
