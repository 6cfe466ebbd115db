"""The emulated process on small images linked by the project's link tool:
calls as the system makes them, the checks after each, relocations, and faults
dispatched through the function table to a handler."""

import struct
import unittest

import pefile

from emulator import api
from emulator.errors import EmulationError, UnknownImport
from emulator.handheld import Handheld
from emulator.machine import Machine
from tests.link_tool import Workspace, function

SLEPT = []


def _sleep(system, milliseconds):
    SLEPT.append(milliseconds)


api.HANDLERS.setdefault(("coredll.dll", "Sleep"), (_sleep, 1))
ORDINALS = {("coredll.dll", 496): "Sleep"}

# A guard as the program's: a handler named in the two words before it, which
# resumes at `recovered` with the guard's own frame.
GUARD = """
	.section .text.guard,"ax",%progbits
	.word handler, 0
	.globl guard
	.type guard, %function
guard:
	stmdb sp!, {r4-r11, lr}
	ldr r4, =frame
	str sp, [r4]
	blx r0
	mov r0, #1
leave:
	ldmia sp!, {r4-r11, pc}
recovered:
	mov r0, #0
	b leave
	.ltorg
	.size guard, . - guard
""" + function("handler", """
	ldr r3, [r0, #4]
	tst r3, #0x66
	movne r0, #1
	bxne lr
	ldr r3, =frame
	ldr r3, [r3]
	str r3, [r2, #0x38]
	ldr r3, =recovered
	str r3, [r2, #0x40]
	mov r0, #0
	bx lr
	.ltorg""") + """
	.bss
	.p2align 2
frame:	.space 4
"""

# Frames between the guard and the fault, each with another prolog form the
# unwinder must reverse to find the guard's frame.
STEPS = function("step", """
	mov r12, sp
	stmdb sp!, {r4, r11, r12, lr}
	sub r11, r12, #4
	sub sp, sp, #16
	bl deeper
	ldmdb r11, {r4, r11, sp, pc}""") + function("deeper", """
	str lr, [sp, #-4]!
	ldr r12, =0x1000
	sub sp, sp, r12
	bl faulting_leaf
	add sp, sp, r12
	ldr pc, [sp], #4
	.ltorg""") + function("faulting_leaf", """
	mov r0, #0x200
	ldr r0, [r0]
	bx lr""")

PROGRAM = GUARD + STEPS + function("start", "bx lr") + function("guarded_fault", """
	str lr, [sp, #-4]!
	ldr r0, =step
	bl guard
	ldr pc, [sp], #4
	.ltorg""") + function("unguarded_fault", """
	str lr, [sp, #-4]!
	bl step
	ldr pc, [sp], #4""") + function("six", """
	ldr r12, [sp]
	add r0, r0, r1
	add r0, r0, r2
	add r0, r0, r3
	add r0, r0, r12
	ldr r12, [sp, #4]
	add r0, r0, r12
	bx lr""") + function("spoils_r5", """
	mov r5, #0
	bx lr""") + function("keeps_sp_low", """
	sub sp, sp, #8
	bx lr""") + function("stores_a_doubleword", """
	stmdb sp!, {r4, r5}
	strd r4, r5, [sp, #-8]!
	add sp, sp, #8
	ldmia sp!, {r4, r5}
	bx lr""") + function("stored_word", """
	ldr r0, =word
	ldr r0, [r0]
	bx lr
	.ltorg""") + function("sleeps", """
	stmdb sp!, {r4, lr}
	mov r4, r0
	bl Sleep
	mov r0, r4
	ldmia sp!, {r4, pc}""") + """
	.data
word:	.word 0x600DF00D
"""
EXPORTS = ("guarded_fault", "unguarded_fault", "six", "spoils_r5", "keeps_sp_low",
           "stores_a_doubleword", "stored_word", "sleeps")


class FakeWorld:
    def time_passed(self, milliseconds):
        pass


class MachineTest(Workspace):
    def program(self, base=None, source=PROGRAM):
        path = self.link_ok([self.assemble(source)], kind="dll", entry="start",
                           extra=("--exception-handler", "guard", *[f"--export={name}={name}" for name in EXPORTS]))
        machine = Machine(Handheld(FakeWorld(), None), path, "pxa27x", ORDINALS, base)
        self.calls = {name: machine.image.exports[name] for name in EXPORTS}
        return machine

    def test_arguments_reach_the_procedure_in_registers_then_on_the_stack(self):
        machine = self.program()
        self.assertEqual(machine.call(self.calls["six"], [1, 2, 3, 4, 50, 600]), 660)

    def test_a_procedure_must_give_back_its_permanent_registers_and_stack(self):
        machine = self.program()
        for name, register in (("spoils_r5", "r5"), ("keeps_sp_low", "sp")):
            with self.subTest(name), self.assertRaisesRegex(EmulationError, f"did not preserve {register}"):
                machine.call(self.calls[name], [])

    def test_the_stack_is_aligned_to_four_but_not_eight(self):
        machine = self.program()
        with self.assertRaisesRegex(EmulationError, "strd of 0x[0-9A-F]+, not 8-byte aligned"):
            machine.call(self.calls["stores_a_doubleword"], [])

    def test_an_image_loaded_away_from_its_base_reads_its_own_data(self):
        for base in (None, 0x0300_0000):
            with self.subTest(base=base):
                self.assertEqual(self.program(base).call(self.calls["stored_word"], []), 0x600DF00D)

    def test_an_import_is_served_and_leaves_only_scratch_registers_spoilt(self):
        SLEPT.clear()
        self.assertEqual(self.program().call(self.calls["sleeps"], [250]), 250)
        self.assertEqual(SLEPT, [250])

    def test_an_image_for_another_machine_is_not_loaded(self):
        path = self.link_ok([self.assemble(PROGRAM)], kind="dll", entry="start",
                            extra=("--exception-handler", "guard"))
        image = pefile.PE(path)
        offset = image.FILE_HEADER.get_field_absolute_offset("Machine")
        image.close()
        with open(path, "r+b") as stream:
            stream.seek(offset)
            stream.write(struct.pack("<H", 0x014C))  # x86
        with self.assertRaisesRegex(EmulationError, "machine 0x014C"):
            Machine(Handheld(FakeWorld(), None), path, "pxa27x", ORDINALS)

    def test_an_import_the_harness_does_not_serve_fails_the_load_and_names_it(self):
        self.imports = self.write_imports([("coredll.dll", "Sleep", "496", "4.0"),
                                           ("coredll.dll", "Unserved", "-", "4.0")])
        source = PROGRAM.replace("bl Sleep", "bl Unserved")
        with self.assertRaisesRegex(UnknownImport, "coredll.dll!Unserved"):
            self.program(source=source)

    def test_a_fault_two_frames_below_the_guard_resumes_in_the_guard(self):
        machine = self.program()
        self.assertEqual(machine.call(self.calls["guarded_fault"], []), 0)
        self.assertEqual(machine.faults_dispatched, 1)

    def test_a_fault_no_handler_takes_ends_the_run_with_its_calling_chain(self):
        machine = self.program()
        with self.assertRaisesRegex(EmulationError, "read of 0x00000200.*faulting_leaf.*deeper.*step"):
            machine.call(self.calls["unguarded_fault"], [])


if __name__ == "__main__":
    unittest.main()
