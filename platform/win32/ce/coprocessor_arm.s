@ Coprocessor accessors of the XScale clock hardware, for the handheld build.
@ Each is a leaf routine with the ARM calling convention: result in r0,
@ argument in r0. They are only legal in kernel mode (SetKMode).

        .text
        .arm
        .align  2

        .global readMainIdRegister
        .type   readMainIdRegister, %function
readMainIdRegister:                     @ coprocessor 15 register 0, main id
        mrc     p15, 0, r0, c0, c0, 0
        bx      lr
        .size   readMainIdRegister, . - readMainIdRegister

        .global readCacheTypeRegister
        .type   readCacheTypeRegister, %function
readCacheTypeRegister:                  @ coprocessor 15 register 0, cache type
        mrc     p15, 0, r0, c0, c0, 1
        bx      lr
        .size   readCacheTypeRegister, . - readCacheTypeRegister

        .global readCclkcfgRegister
        .type   readCclkcfgRegister, %function
readCclkcfgRegister:                    @ coprocessor 14 register 6, CCLKCFG
        mrc     p14, 0, r0, c6, c0, 0
        bx      lr
        .size   readCclkcfgRegister, . - readCclkcfgRegister

        .global writeCclkcfgRegister
        .type   writeCclkcfgRegister, %function
writeCclkcfgRegister:                   @ CCLKCFG; with FCS set the clock changes here
        mcr     p14, 0, r0, c6, c0, 0
        bx      lr
        .size   writeCclkcfgRegister, . - writeCclkcfgRegister
