"""The ARM prolog that the Windows CE virtual unwinder can reverse-execute
(the "ARM Prolog" page of the Windows CE 5.0 documentation), in this
order, each part optional:

    mov   r12, sp                      save the stack pointer on entry
    stmdb sp!, {r0-r3}                 home the argument registers
    stmdb sp!, {...}                   save permanent registers
      (or str rX, [sp, #-4]! for one)
    add/sub r11, r12|sp, #n            set up the frame pointer
    sub   sp, sp, #n                   allocate the frame, one or more times,
      (or r12 loaded with n, then sub sp, sp, r12)

All unconditional ARM instructions, as 32-bit little-endian words."""

SP, R12 = 13, 12
ARGUMENT_REGISTERS = 0x000F


def _register_list(word):
    return word & 0xFFFF


# Each form: (mask, value, extra test on the word or None).
MOVE_SP_TO_R12 = ((0xFFFFFFFF, 0xE1A0C00D, None),)
SAVE_ARGUMENTS = ((0xFFFF0000, 0xE92D0000,
                   lambda w: _register_list(w) and not _register_list(w) & ~ARGUMENT_REGISTERS),)
SAVE_REGISTERS = (
    (0xFFFF0000, 0xE92D0000, _register_list),  # stmdb sp!, {list}
    (0xFFFF0FFF, 0xE52D0004, None),  # str rX, [sp, #-4]!
)
SET_UP_FRAME = (
    (0xFFF0F000, 0xE280B000, lambda w: (w >> 16) & 0xF in (R12, SP)),  # add r11, r12|sp, #n
    (0xFFF0F000, 0xE240B000, lambda w: (w >> 16) & 0xF in (R12, SP)),  # sub r11, r12|sp, #n
)
ALLOCATE_IMMEDIATE = ((0xFFFFF000, 0xE24DD000, None),)  # sub sp, sp, #n
LOAD_R12 = (
    (0xFF7FF000, 0xE51FC000, None),  # ldr r12, [pc, #+-n]
    (0xFFFFF000, 0xE3A0C000, None),  # mov r12, #n
)
SUBTRACT_R12 = ((0xFFFFFFFF, 0xE04DD00C, None),)  # sub sp, sp, r12

# Registers pushed to the stack, by any instruction in any condition:
# stmdb sp!, {...} and str rX, [sp, #-n]!.
PUSH_FORMS = (
    (0x0FFF0000, 0x092D0000, None),
    (0x0FFF0000, 0x052D0000, None),
)


def _matches(forms, word):
    return any(word & mask == value and (test is None or test(word)) for mask, value, test in forms)


def _one(forms):
    return lambda words, at: 1 if at < len(words) and _matches(forms, words[at]) else 0


def _allocation(words, at):
    """Instructions that allocate the frame, starting at `at`."""
    count = 0
    while at + count < len(words):
        if _matches(ALLOCATE_IMMEDIATE, words[at + count]):
            count += 1
        elif (at + count + 1 < len(words) and _matches(LOAD_R12, words[at + count])
              and _matches(SUBTRACT_R12, words[at + count + 1])):
            count += 2
        else:
            break
    return count


PROLOG_PARTS = (
    _one(MOVE_SP_TO_R12),
    _one(SAVE_ARGUMENTS),
    _one(SAVE_REGISTERS),
    _one(SET_UP_FRAME),
    _allocation,
)


def prolog_length(words):
    """Number of instructions at the start of `words` that form the prolog."""
    length = 0
    for part in PROLOG_PARTS:
        length += part(words, length)
    return length


def is_push(word):
    return _matches(PUSH_FORMS, word)
