# The portable core on its own (TAVIL_CORE_ONLY): every library the build
# defines, compiled for the handheld's processor and never linked. Included
# after the last of them.

# The file of each static library and the objects of each object library.
set(TAVIL_CORE_FILES "")
set(directories ${PROJECT_SOURCE_DIR})
while(directories)
    list(POP_FRONT directories directory)
    get_directory_property(subdirectories DIRECTORY ${directory} SUBDIRECTORIES)
    list(APPEND directories ${subdirectories})
    get_directory_property(targets DIRECTORY ${directory} BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        if(type STREQUAL "STATIC_LIBRARY")
            list(APPEND TAVIL_CORE_FILES "$<TARGET_FILE:${target}>")
        elseif(type STREQUAL "OBJECT_LIBRARY")
            list(APPEND TAVIL_CORE_FILES "$<TARGET_OBJECTS:${target}>")
        elseif(NOT type STREQUAL "INTERFACE_LIBRARY")
            message(FATAL_ERROR "${target} would need linking, which the core build does not do")
        endif()
    endforeach()
endwhile()

# core-libraries.txt in the build folder names them, one a line, to measure the
# core's size by.
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/core-libraries.txt
     CONTENT "$<JOIN:${TAVIL_CORE_FILES},\n>\n")

add_test(NAME core_device_abi
         COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-device-abi.sh ${TAVIL_CORE_FILES})
