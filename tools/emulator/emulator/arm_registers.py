"""The ARM registers by number, and what the calling standard says of them."""

from unicorn.arm_const import (UC_ARM_REG_CPSR, UC_ARM_REG_LR, UC_ARM_REG_PC, UC_ARM_REG_R0,
                               UC_ARM_REG_R1, UC_ARM_REG_R2, UC_ARM_REG_R3, UC_ARM_REG_R4,
                               UC_ARM_REG_R5, UC_ARM_REG_R6, UC_ARM_REG_R7, UC_ARM_REG_R8,
                               UC_ARM_REG_R9, UC_ARM_REG_R10, UC_ARM_REG_R11, UC_ARM_REG_R12,
                               UC_ARM_REG_SP)

REGISTERS = (UC_ARM_REG_R0, UC_ARM_REG_R1, UC_ARM_REG_R2, UC_ARM_REG_R3, UC_ARM_REG_R4,
             UC_ARM_REG_R5, UC_ARM_REG_R6, UC_ARM_REG_R7, UC_ARM_REG_R8, UC_ARM_REG_R9,
             UC_ARM_REG_R10, UC_ARM_REG_R11, UC_ARM_REG_R12, UC_ARM_REG_SP, UC_ARM_REG_LR,
             UC_ARM_REG_PC)
SP, LR, PC, CPSR = UC_ARM_REG_SP, UC_ARM_REG_LR, UC_ARM_REG_PC, UC_ARM_REG_CPSR
PERMANENT = tuple(range(4, 12))       # r4-r11: a procedure gives them back as it got them
SCRATCH = (1, 2, 3, 12)               # r1-r3 and r12: a call may leave anything there
NAMES = tuple(f"r{n}" for n in range(13)) + ("sp", "lr", "pc")
THUMB_BIT = 0x20


def read_all(uc):
    return [uc.reg_read(register) for register in REGISTERS] + [uc.reg_read(CPSR)]


def write_all(uc, values):
    for register, value in zip(REGISTERS + (CPSR,), values):
        uc.reg_write(register, value)
