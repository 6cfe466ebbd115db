@ The fault guard of the handheld: runFaultGuarded runs a step and returns
@ false instead of dying when the step raises a processor fault.
@
@ The system dispatches a fault by walking the stack with the function table
@ (.pdata) and calling the exception handler of the first frame that has one:
@ runFaultGuarded's, named in the two words before it (the PDATA_EH record the
@ function table's exception flag points to). The handler asks to continue
@ execution with the fault's context changed so that it resumes in
@ runFaultGuarded's own epilogue with the stack as the guard left it: every
@ permanent register comes back from the guard's frame, the frames in between
@ are dropped (the program has no destructors to run), and the result is 0.
@
@ The guard's frame is kept in guardFrame, one thread's worth, as the program
@ runs on one thread; a guard inside a guarded step keeps the outer one's.

        .text
        .arm
        .align  2

@ bool runFaultGuarded(GuardedStep step, void* context), by its C++ name.
        .word   faultGuardHandler       @ PDATA_EH: the exception handler
        .word   0                       @ and its data
        .global _Z15runFaultGuardedPFvPvES_
        .type   _Z15runFaultGuardedPFvPvES_, %function
_Z15runFaultGuardedPFvPvES_:            @ r0 = step, r1 = its context
        stmdb   sp!, {r4-r11, lr}       @ prolog: every permanent register
        sub     sp, sp, #4              @ a slot for the enclosing guard's frame
        ldr     r4, =guardFrame
        ldr     r5, [r4]
        str     r5, [sp]
        str     sp, [r4]
        mov     r2, r0
        mov     r0, r1
        blx     r2
        mov     r0, #1
leaveGuard:
        ldr     r1, [sp]                @ the enclosing guard's frame again
        ldr     r2, =guardFrame
        str     r1, [r2]
        add     sp, sp, #4
        ldmia   sp!, {r4-r11, pc}
faultRecovery:                          @ the handler resumes here, sp = guardFrame
        mov     r0, #0
        b       leaveGuard
        .ltorg
        .size   _Z15runFaultGuardedPFvPvES_, . - _Z15runFaultGuardedPFvPvES_

@ EXCEPTION_DISPOSITION faultGuardHandler(EXCEPTION_RECORD* record,
@     void* establisherFrame, CONTEXT* context, void* dispatcherContext)
@ A leaf routine. During an unwind (flags EXCEPTION_UNWINDING 2,
@ EXCEPTION_EXIT_UNWIND 4, and their kin in 0x66) it has nothing to do.
        .equ    RECORD_FLAGS, 4         @ EXCEPTION_RECORD.ExceptionFlags
        .equ    UNWIND_FLAGS, 0x66
        .equ    CONTEXT_SP, 0x38        @ CONTEXT: ContextFlags, R0-R12, Sp, Lr, Pc, Psr
        .equ    CONTEXT_PC, 0x40
        .equ    CONTEXT_PSR, 0x44
        .equ    PSR_THUMB, 0x20
        .equ    CONTINUE_EXECUTION, 0   @ ExceptionContinueExecution
        .equ    CONTINUE_SEARCH, 1      @ ExceptionContinueSearch

        .global faultGuardHandler
        .type   faultGuardHandler, %function
faultGuardHandler:
        ldr     r3, [r0, #RECORD_FLAGS]
        tst     r3, #UNWIND_FLAGS
        movne   r0, #CONTINUE_SEARCH
        bxne    lr
        ldr     r3, =guardFrame
        ldr     r3, [r3]
        str     r3, [r2, #CONTEXT_SP]
        ldr     r3, =faultRecovery
        str     r3, [r2, #CONTEXT_PC]
        ldr     r3, [r2, #CONTEXT_PSR]
        bic     r3, r3, #PSR_THUMB
        str     r3, [r2, #CONTEXT_PSR]
        mov     r0, #CONTINUE_EXECUTION
        bx      lr
        .ltorg
        .size   faultGuardHandler, . - faultGuardHandler

        .bss
        .align  2
guardFrame:
        .space  4
