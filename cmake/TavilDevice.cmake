# The handheld's own build (TAVIL_DEVICE, preset device): the program and the
# two setup DLLs as Windows CE images for ARM, linked by tools/elf2pe from what
# gcc-arm-none-eabi compiles, and the cabinets that install them. Included after
# the portable libraries are defined.

enable_language(ASM)

set(TAVIL_CE ${PROJECT_SOURCE_DIR}/platform/win32/ce)
set(TAVIL_IMPORTS ${TAVIL_CE}/imports.tsv)
set(TAVIL_LINK_TOOL ${PROJECT_SOURCE_DIR}/tools/elf2pe/elf2pe.py)
find_program(TAVIL_PYTHON /usr/bin/python3 REQUIRED)
find_program(TAVIL_WINDRES x86_64-w64-mingw32-windres REQUIRED)

# The platform layer of the handheld: what it shares with the Windows build,
# and what only the handheld has. Its <windows.h> is the folder's own SDK header.
add_library(tavil_platform_device STATIC
    platform/win32/win32_dialogs.cpp
    platform/win32/win32_file_search.cpp
    platform/win32/win32_files.cpp
    platform/win32/win32_graphics.cpp
    platform/win32/win32_live_objects.cpp
    platform/win32/win32_memory_status.cpp
    platform/win32/win32_menus.cpp
    platform/win32/win32_message_box.cpp
    platform/win32/win32_notification_icon.cpp
    platform/win32/win32_processes.cpp
    platform/win32/win32_registry.cpp
    platform/win32/win32_single_instance.cpp
    platform/win32/win32_sound.cpp
    platform/win32/win32_system_info.cpp
    platform/win32/win32_system_metrics.cpp
    platform/win32/win32_windowing.cpp
    platform/win32/ce/coprocessor_arm.s
    platform/win32/ce/device_clock_hardware.cpp
    platform/win32/ce/device_display.cpp
    platform/win32/ce/device_idle_time.cpp
    platform/win32/ce/device_notification_icon.cpp
    platform/win32/ce/device_popup_menu.cpp
    platform/win32/ce/device_power_status.cpp
    platform/win32/ce/device_processes.cpp
    platform/win32/ce/device_programs.cpp
    platform/win32/ce/device_storage.cpp
    platform/win32/ce/device_system_info.cpp
    platform/win32/ce/device_window_details.cpp
    platform/win32/ce/fault_guard_arm.s
    platform/win32/ce/static_constructors.cpp
)
tavil_product_code(tavil_platform_device)
target_include_directories(tavil_platform_device PRIVATE ${TAVIL_CE}/sdk)

# Entry points and the setup DLLs' own source, one object library each.
add_library(tavil_program_entry OBJECT platform/win32/ce/device_program_entry.cpp)
add_library(tavil_library_entry OBJECT platform/win32/ce/device_library_entry.cpp)
tavil_product_code(tavil_program_entry)
tavil_product_code(tavil_library_entry)

# libgcc as the device flags select it: integer division and soft floating point.
separate_arguments(device_flags UNIX_COMMAND "${CMAKE_CXX_FLAGS}")
execute_process(COMMAND ${CMAKE_CXX_COMPILER} ${device_flags} -print-libgcc-file-name
                OUTPUT_VARIABLE TAVIL_LIBGCC OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

# The resource script, compiled as the Windows build compiles it.
set(TAVIL_RES ${CMAKE_BINARY_DIR}/tavil.res)
add_custom_command(
    OUTPUT ${TAVIL_RES}
    COMMAND ${TAVIL_WINDRES} -O res -I ${PROJECT_SOURCE_DIR}/resources
            ${PROJECT_SOURCE_DIR}/resources/tavil.rc ${TAVIL_RES}
    DEPENDS ${PROJECT_SOURCE_DIR}/resources/tavil.rc ${PROJECT_SOURCE_DIR}/resources/tavil.ico
    COMMENT "Compiling the resource script")

file(GLOB TAVIL_LINK_TOOL_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tools/elf2pe/*.py
     ${PROJECT_SOURCE_DIR}/tools/elf2pe/*.ld)

# tavil_device_image(OUTPUT file KIND exe|dll ENTRY symbol VERSION major.minor
#                    INPUTS objects-and-archives... [OPTIONS link-tool-options...])
# links the image at its usual base, and once more at another into other-base/,
# for the check that every absolute address has a base relocation.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/other-base)
set(TAVIL_OTHER_BASE_exe 0x00400000)
set(TAVIL_OTHER_BASE_dll 0x01800000)
function(tavil_device_image)
    cmake_parse_arguments(IMAGE "" "OUTPUT;KIND;ENTRY;VERSION" "INPUTS;OPTIONS;DEPENDS" ${ARGN})
    get_filename_component(name ${IMAGE_OUTPUT} NAME)
    set(other ${CMAKE_BINARY_DIR}/other-base/${name})
    set(link ${TAVIL_PYTHON} ${TAVIL_LINK_TOOL} link --kind ${IMAGE_KIND} --entry ${IMAGE_ENTRY}
             --imports ${TAVIL_IMPORTS} --subsystem-version ${IMAGE_VERSION} ${IMAGE_OPTIONS})
    set(inputs -- ${IMAGE_INPUTS} ${TAVIL_LIBGCC})
    add_custom_command(
        OUTPUT ${IMAGE_OUTPUT} ${other}
        COMMAND ${link} --map ${IMAGE_OUTPUT}.map -o ${IMAGE_OUTPUT} ${inputs}
        COMMAND ${link} --base ${TAVIL_OTHER_BASE_${IMAGE_KIND}} -o ${other} ${inputs}
        DEPENDS ${IMAGE_DEPENDS} ${TAVIL_IMPORTS} ${TAVIL_LINK_TOOL_SOURCES}
        COMMAND_EXPAND_LISTS
        COMMENT "Linking ${name}")
endfunction()

# Tavil.exe loads on Windows Mobile 2003 SE (CE 4.21) and everything after it.
set(TAVIL_EXE ${CMAKE_BINARY_DIR}/Tavil.exe)
tavil_device_image(
    OUTPUT ${TAVIL_EXE} KIND exe ENTRY WinMainCRTStartup VERSION 4.21
    INPUTS $<TARGET_OBJECTS:tavil_program_entry> $<TARGET_FILE:tavil_logic>
           $<TARGET_FILE:tavil_platform_device>
    OPTIONS --resources ${TAVIL_RES} --exception-handler _Z15runFaultGuardedPFvPvES_
    DEPENDS tavil_program_entry tavil_logic tavil_platform_device ${TAVIL_RES})
set(TAVIL_DEVICE_IMAGES ${TAVIL_EXE})

# setup_<name>.dll for Windows CE major.minor, exporting the installer's four calls.
function(tavil_device_setup_dll name major minor)
    add_library(setup_${name}_objects OBJECT setup/setup_dll.cpp)
    tavil_product_code(setup_${name}_objects)
    target_include_directories(setup_${name}_objects PRIVATE ${TAVIL_CE}/sdk)
    target_compile_definitions(setup_${name}_objects PRIVATE TAVIL_SETUP_TARGET_MAJOR=${major}
                                                             TAVIL_SETUP_TARGET_MINOR=${minor})
    set(output ${CMAKE_BINARY_DIR}/setup_${name}.dll)
    tavil_device_image(
        OUTPUT ${output} KIND dll ENTRY DllMainCRTStartup VERSION ${major}.${minor}
        INPUTS $<TARGET_OBJECTS:setup_${name}_objects> $<TARGET_OBJECTS:tavil_library_entry>
               $<TARGET_FILE:tavil_setup_logic> $<TARGET_FILE:tavil_platform_device>
        OPTIONS --dll-name setup_${name}.dll --export Install_Init=Install_Init
                --export Install_Exit=Setup_GoOn --export Uninstall_Init=Setup_GoOn
                --export Uninstall_Exit=Setup_GoOn
        DEPENDS setup_${name}_objects tavil_library_entry tavil_setup_logic tavil_platform_device)
    set(TAVIL_DEVICE_IMAGES ${TAVIL_DEVICE_IMAGES} ${output} PARENT_SCOPE)
endfunction()
tavil_device_setup_dll(wm5 5 1)
tavil_device_setup_dll(wm2003se 4 21)

# The installable cabinets, one a handheld.
set(TAVIL_HELP_FILE ${PROJECT_SOURCE_DIR}/resources/tavil.htm)
file(GLOB TAVIL_CAB_TOOL_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tools/cab/*.py)
foreach(target wm5 wm2003se)
    string(TOUPPER ${target} name)
    set(cabinet ${CMAKE_BINARY_DIR}/Tavil_${name}.cab)
    add_custom_command(
        OUTPUT ${cabinet}
        COMMAND ${TAVIL_PYTHON} ${PROJECT_SOURCE_DIR}/tools/cab/make-cab.py --target ${target}
                --exe ${TAVIL_EXE} --setup-dll ${CMAKE_BINARY_DIR}/setup_${target}.dll
                --help-file ${TAVIL_HELP_FILE} -o ${cabinet}
        DEPENDS ${TAVIL_EXE} ${CMAKE_BINARY_DIR}/setup_${target}.dll ${TAVIL_HELP_FILE}
                ${TAVIL_CAB_TOOL_SOURCES}
        COMMENT "Packing Tavil_${name}.cab")
    list(APPEND TAVIL_CABINETS ${cabinet})
endforeach()

add_custom_target(tavil_device_images ALL DEPENDS ${TAVIL_DEVICE_IMAGES} ${TAVIL_CABINETS})

# Every object of the device's libraries is built as the handheld runs it.
set(TAVIL_DEVICE_OBJECTS $<TARGET_FILE:tavil_logic> $<TARGET_FILE:tavil_setup_logic>
                         $<TARGET_FILE:tavil_platform_device>)
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/core-libraries.txt
     CONTENT "$<TARGET_FILE:tavil_logic>\n")
add_test(NAME core_device_abi
         COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-device-abi.sh ${TAVIL_DEVICE_OBJECTS})

# The build tools' own tests.
add_test(NAME link_tool
         COMMAND ${TAVIL_PYTHON} -m unittest discover -s tools/elf2pe/tests -t tools/elf2pe
         WORKING_DIRECTORY ${PROJECT_SOURCE_DIR})
add_test(NAME cabinet_tool COMMAND ${TAVIL_PYTHON} -m unittest discover -s tools/cab/tests
         WORKING_DIRECTORY ${PROJECT_SOURCE_DIR})

# The images as the handheld will take them, against the Windows build's
# resources (build the preset windows first), and the faults that check catches.
set(TAVIL_IMAGE_CHECK
    --imports ${TAVIL_IMPORTS} --windows-program ${PROJECT_SOURCE_DIR}/build/windows/e2e/Tavil.exe
    --link-tool ${TAVIL_LINK_TOOL} --other-base ${CMAKE_BINARY_DIR}/other-base ${TAVIL_DEVICE_IMAGES})
add_test(NAME device_images
         COMMAND ${TAVIL_PYTHON} ${PROJECT_SOURCE_DIR}/tests/device/check_images.py ${TAVIL_IMAGE_CHECK})
add_test(NAME device_images_faults
         COMMAND ${TAVIL_PYTHON} ${PROJECT_SOURCE_DIR}/tests/device/plant_image_faults.py
                 ${TAVIL_IMAGE_CHECK})
# Each cabinet reads back whole, with every file it should carry.
foreach(cabinet IN LISTS TAVIL_CABINETS)
    get_filename_component(name ${cabinet} NAME)
    add_test(NAME cabinet_${name}
             COMMAND ${TAVIL_PYTHON} ${PROJECT_SOURCE_DIR}/tools/cab/read-cab.py ${cabinet})
endforeach()

# The images run on the emulated handheld (tools/emulator), each scenario also
# on the simulated handheld (build the preset host first), and their traces
# compared; the instruction counts against their budgets; the faults the
# emulated handheld is there to catch.
set(TAVIL_EMULATOR ${PROJECT_SOURCE_DIR}/tools/emulator)
set(TAVIL_EMULATED_RUNS --sim ${PROJECT_SOURCE_DIR}/build/host/tavil-sim --device ${CMAKE_BINARY_DIR})
file(GLOB TAVIL_SCENARIOS ${TAVIL_EMULATOR}/scenarios/*.scenario)
add_test(NAME emulator_tool COMMAND ${TAVIL_PYTHON} -m unittest discover -s tests -t .
         WORKING_DIRECTORY ${TAVIL_EMULATOR})
add_test(NAME emulated_scenarios
         COMMAND ${TAVIL_PYTHON} ${TAVIL_EMULATOR}/emulate.py check ${TAVIL_EMULATED_RUNS}
                 ${TAVIL_SCENARIOS})
add_test(NAME emulated_figures
         COMMAND ${TAVIL_PYTHON} ${TAVIL_EMULATOR}/emulate.py figures ${TAVIL_EMULATED_RUNS}
                 ${TAVIL_EMULATOR}/scenarios/figures.scenario ${TAVIL_EMULATOR}/scenarios/setup.scenario)
add_test(NAME emulated_faults
         COMMAND ${TAVIL_PYTHON} ${TAVIL_EMULATOR}/plant_faults.py ${TAVIL_EMULATED_RUNS})
set_tests_properties(emulated_scenarios emulated_figures emulated_faults PROPERTIES TIMEOUT 900)
