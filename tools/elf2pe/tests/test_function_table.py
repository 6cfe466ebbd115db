"""The function table: one entry per function with the prolog length the
Windows CE unwinder expects ("ARM Prolog"), the function length in
instructions, the 32-bit flag and the exception flag; code no function
covers, registers saved after the prolog and bad PDATA_EH records are
refused."""

import unittest

from support import VARIED_RDATA, Workspace, function, function_table, section

# (what, body, prolog length by the documented prolog grammar)
PROLOGS = (
    ("leaf function", "\tmov r0, #1\n\tmov pc, lr", 0),
    ("one register saved with str", "\tstr lr, [sp, #-4]!\n\tbl leaf\n\tldr pc, [sp], #4", 1),
    ("registers saved, frame allocated",
     "\tpush {r4, lr}\n\tsub sp, sp, #80\n\tbl leaf\n\tadd sp, sp, #80\n\tpop {r4, pc}", 2),
    ("arguments homed only", "\tpush {r0-r3}\n\tbl leaf\n\tadd sp, sp, #16\n\tmov pc, lr", 1),
    ("every part, frame pointer from r12",
     "\tmov r12, sp\n\tstmdb sp!, {r0-r3}\n\tstmdb sp!, {r4, r11, r12, lr}\n\tsub r11, r12, #20\n"
     "\tsub sp, sp, #8\n\tbl leaf\n\tldmdb r11, {r4, r11, sp, pc}", 5),
    ("APCS frame, allocation in two steps",
     "\tmov ip, sp\n\tpush {fp, ip, lr, pc}\n\tsub fp, ip, #4\n\tsub sp, sp, #4096\n\tsub sp, sp, #8\n"
     "\tbl leaf\n\tldmdb fp, {fp, sp, pc}", 5),
    ("frame pointer from sp", "\tpush {r11, lr}\n\tadd r11, sp, #0\n\tbl leaf\n\tpop {r11, pc}", 2),
    ("large frame through r12, loaded from the pool",
     "\tpush {r4, lr}\n\tldr r12, =0x12344\n\tsub sp, sp, r12\n\tbl leaf\n\tpop {r4, pc}\n\t.ltorg", 3),
    ("large frame through r12, moved", "\tpush {lr}\n\tmov r12, #0x10000\n\tsub sp, sp, r12\n\tbl leaf", 3),
)


def leaf():
    return function("leaf", "\tmov pc, lr")


class PrologTest(Workspace):
    def test_prolog_length_follows_the_prolog_grammar(self):
        for what, body, expected in PROLOGS:
            with self.subTest(what):
                source = function("start", body) + leaf() + VARIED_RDATA
                image = self.parse(self.link_ok([self.assemble(source)]))
                text = section(image, ".text").VirtualAddress + image.OPTIONAL_HEADER.ImageBase
                size = len([line for line in body.split("\n") if line.startswith("\t") and ".ltorg" not in line])
                size += ".ltorg" in body  # one pool word
                self.assertEqual(function_table(image)[0], (text, expected, size, 1, 0))

    def test_every_function_has_an_entry_in_address_order(self):
        source = function("start", "\tbl second\n\tbl leaf\n\tmov pc, lr") + function("second", "\tmov pc, lr",
                                                                                       global_=False)
        source += leaf() + VARIED_RDATA
        image = self.parse(self.link_ok([self.assemble(source)]))
        text = section(image, ".text").VirtualAddress + image.OPTIONAL_HEADER.ImageBase
        self.assertEqual([entry[0] - text for entry in function_table(image)], [0, 12, 16])


RUNS_INTO = """
	.section .text.start,"ax",%progbits
	.globl start
	.type start, %function
start:
	mov r0, #1                  @ shares the code below, as libgcc's entry points do
	.type shared, %function
shared:
	push {r4, lr}
	bl leaf
	pop {r4, pc}
	.size shared, . - shared
	.size start, . - start
	.type unsized, %function
unsized:                        @ no .size: it reaches the next function
	mov r0, #2
	b shared
""" + leaf()


class AssemblyEntryPointTest(Workspace):
    def test_a_function_that_runs_into_another_ends_where_it_starts(self):
        image = self.parse(self.link_ok([self.assemble(RUNS_INTO + VARIED_RDATA)]))
        table = [entry[1:3] for entry in function_table(image)]
        self.assertEqual(table, [(0, 1), (1, 3), (0, 2), (0, 1)])  # start, shared, unsized, leaf

    def test_a_function_that_saves_registers_and_runs_into_another_is_refused(self):
        source = RUNS_INTO.replace("\tmov r0, #1 ", "\tpush {r5}\n\tmov r0, #1 ")
        self.link_fails([self.assemble(source)], "function start saves registers and then runs into function shared")


class CodeCheckTest(Workspace):
    def test_registers_saved_after_the_prolog_are_refused_where_a_fault_may_meet_them(self):
        toucher = function("toucher", "\tldr r0, [r0]\n\tmov pc, lr")
        for body in ("\tmov r0, r1\n\tpush {r4, lr}\n\tldr r0, [r0]\n\tpop {r4, pc}",
                     "\tpush {r4, lr}\n\tbl leaf\n\tpush {r5}\n\tstr r0, [r1, #4]\n\tpop {r4, r5, pc}",
                     "\tcmp r0, #0\n\tstrne lr, [sp, #-8]!\n\tblx r3\n\tldrne pc, [sp], #8",
                     "\tcmp r0, #0\n\tstrne lr, [sp, #-8]!\n\tmov lr, pc\n\tmov pc, r3\n\tldrne pc, [sp], #8",
                     "\tcmp r0, #0\n\tstrne lr, [sp, #-8]!\n\tbl toucher\n\tldrne pc, [sp], #8",
                     "\tcmp r0, #0\n\tpushne {r4, lr}\n\tldmne r0, {r1, r2}\n\tpopne {r4, pc}\n\tmov pc, lr"):
            with self.subTest(body=body):
                self.link_fails([self.assemble(function("start", body) + leaf() + toucher)],
                                "function start saves registers", "may fault")

    def test_registers_saved_late_by_a_routine_that_cannot_fault_are_accepted(self):
        # As libgcc's soft floating point does: simple cases return before the
        # save, nothing but the stack and literal pools is touched, and calls
        # go only to routines that cannot fault either.
        pure = function("pure", "\tcmp r0, #0\n\tmoveq pc, lr\n\tpush {r4, lr}\n\tldr r4, =0x7ff00000\n"
                                "\tadd r0, r0, r4\n\tstr r0, [sp, #-4]!\n\tldr r0, [sp], #4\n\tpop {r4, pc}\n\t.ltorg")
        for body in ("\tb pure", "\tstr lr, [sp, #-8]!\n\tbl pure\n\tldr pc, [sp], #8",
                     "\tcmp r0, #0\n\tstrne lr, [sp, #-8]!\n\tblne pure\n\tldrne pc, [sp], #8\n\tmov pc, lr"):
            with self.subTest(body=body):
                self.link_ok([self.assemble(function("start", body) + pure)])

    def test_code_no_function_covers_is_refused_with_its_address(self):
        source = function("start", "\tmov pc, lr") + "\tmov r0, #7\n\tmov pc, lr\n" + leaf()
        self.link_fails([self.assemble(source)], "code at 0x11004", "start+0x4", "belongs to no function")

    def test_padding_and_literal_pools_need_no_function(self):
        source = (function("start", "\tldr r0, =0x12345678\n\tmov pc, lr\n\t.ltorg") + "\t.p2align 5\n"
                  + function("after", "\tmov pc, lr") + VARIED_RDATA)
        self.link_ok([self.assemble(source)], extra=("--export", "after=after"))

    def test_thumb_code_is_refused(self):
        source = ('\t.section .text.start,"ax",%progbits\n\t.thumb\n\t.globl start\n\t.thumb_func\n'
                  '\t.type start, %function\nstart:\n\tbx lr\n\t.size start, . - start\n')
        self.link_fails([self.assemble(source)], "Thumb")


def guarded(record):
    """start calls guarded, whose PDATA_EH `record` precedes it; handler is a function."""
    return (function("start", "\tbl guarded\n\tmov pc, lr") + function("handler", "\tmov r0, #1\n\tmov pc, lr")
            + '\t.section .text.guarded,"ax",%progbits\n\t.p2align 2\n' + record
            + "\t.type guarded, %function\nguarded:\n\tpush {r4, lr}\n\tpop {r4, pc}\n\t.size guarded, . - guarded\n"
            + "\t.section .rodata.data,\"a\",%progbits\nhandler_data:\n\t.word 5\n")


class ExceptionHandlerTest(Workspace):
    def test_the_guarded_function_alone_has_the_exception_flag(self):
        source = guarded("\t.word handler\n\t.word handler_data\n") + VARIED_RDATA
        image = self.parse(self.link_ok([self.assemble(source)], extra=("--exception-handler", "guarded")))
        flags = [entry[4] for entry in function_table(image)]
        self.assertEqual(flags, [0, 0, 1])  # start, handler, guarded
        self.assertEqual(function_table(image)[2][1:3], (1, 2))

    def test_a_bad_handler_record_is_refused(self):
        cases = (
            ("a number, not an address", "\t.word 0x1234\n\t.word 0\n", "no absolute relocation"),
            ("the address of data", "\t.word handler_data\n\t.word 0\n", "not the address of a function"),
            ("instructions", "\tmov r0, r0\n\tmov r0, r0\n", "holds an instruction"),
        )
        for what, record, problem in cases:
            with self.subTest(what):
                self.link_fails([self.assemble(guarded(record))], "--exception-handler guarded", problem,
                                extra=("--exception-handler", "guarded"))

    def test_a_handler_for_a_missing_function_is_refused(self):
        source = guarded("\t.word handler\n\t.word 0\n")
        self.link_fails([self.assemble(source)], "--exception-handler nowhere", "no function",
                        extra=("--exception-handler", "nowhere"))


if __name__ == "__main__":
    unittest.main()
