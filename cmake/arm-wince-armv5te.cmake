# Cross build for the handheld with Debian's gcc-arm-none-eabi: an ARMv5TE core
# (XScale) in ARM state without a floating-point unit, and the calling
# conventions of the platform's own compiler, which follows the ARM procedure
# call standard that came before the EABI (the README's "The handheld's ABI"
# says why each flag is here):
#   -mabi=apcs-gnu        4-byte stack alignment, 64-bit arguments in any two
#                         consecutive registers, no doubleword stack accesses
#   -fpcc-struct-return   every structure is returned through a hidden pointer
#   -fno-short-enums      enums the size of an int (arm-none-eabi shrinks them)
#   -fshort-wchar         16-bit wide characters
#   -fno-schedule-insns2 -fno-shrink-wrap
#                         each function's prolog stays whole, at its start, for
#                         the system's unwinder and the function table
#   -ffunction-sections -fdata-sections
#                         what no image uses is left out of it
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR arm)

set(CMAKE_C_COMPILER arm-none-eabi-gcc)
set(CMAKE_CXX_COMPILER arm-none-eabi-g++)
set(CMAKE_ASM_COMPILER arm-none-eabi-gcc)

# Bare metal has no start-up code to link a test program with.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

set(TAVIL_DEVICE_FLAGS
    "-marm -march=armv5te -mtune=xscale -mfloat-abi=soft -mabi=apcs-gnu -fpcc-struct-return \
-fno-short-enums -fshort-wchar -fno-schedule-insns2 -fno-shrink-wrap \
-fno-unwind-tables -fno-asynchronous-unwind-tables -ffunction-sections -fdata-sections")
set(CMAKE_C_FLAGS_INIT "${TAVIL_DEVICE_FLAGS}")
set(CMAKE_ASM_FLAGS_INIT "-marm -march=armv5te -mabi=apcs-gnu")
# -Wno-psabi: GCC notes where it passes a structure differently from GCC 6 and
# older, which matters only when linking objects those compilers made.
set(CMAKE_CXX_FLAGS_INIT
    "${TAVIL_DEVICE_FLAGS} -fno-exceptions -fno-rtti -fno-threadsafe-statics -Wno-psabi")
