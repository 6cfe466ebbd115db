# Cross build of the portable core for the handheld's processor with Debian's
# gcc-arm-none-eabi: an ARMv5TE core (XScale) in ARM state without a
# floating-point unit. The core is compiled only, never linked: the build makes
# static libraries and no program (TAVIL_CORE_ONLY, set by the preset arm).
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR arm)

set(CMAKE_C_COMPILER arm-none-eabi-gcc)
set(CMAKE_CXX_COMPILER arm-none-eabi-g++)

# Bare metal has no start-up code to link a test program with.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

# arm-none-eabi defaults to ARMv4T (ARM7TDMI), ARM state and soft float, and
# gives an enum only the bytes its values need; the device's compilers give
# every enum the size of an int, hence -fno-short-enums.
set(TAVIL_DEVICE_FLAGS "-marm -march=armv5te -mfloat-abi=soft -fno-short-enums")
set(CMAKE_C_FLAGS_INIT "${TAVIL_DEVICE_FLAGS}")
# -Wno-psabi: GCC notes where it passes a structure differently from GCC 6 and
# older, which matters only when linking objects those compilers made.
set(CMAKE_CXX_FLAGS_INIT "${TAVIL_DEVICE_FLAGS} -fno-exceptions -fno-rtti -Wno-psabi")
