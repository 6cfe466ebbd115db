# Build settings of the project's own targets.

set(TAVIL_WARNINGS -Wall -Wextra -Wpedantic -Werror)

# Product code: warnings are errors, no exceptions and no run-time type information.
# The Windows program and setup DLLs of a release build carry no symbols.
function(tavil_product_code target)
    target_compile_options(${target} PRIVATE ${TAVIL_WARNINGS} -fno-exceptions -fno-rtti)
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    if(WIN32)
        target_link_options(${target} PRIVATE $<$<CONFIG:Release>:-s>)
    endif()
endfunction()

# Tests: warnings are errors; exceptions and RTTI are allowed (GoogleTest uses them).
# GCC 12 reports string concatenations of the standard library as overlapping
# copies when optimising (a false -Wrestrict), which the tests use freely.
function(tavil_test_code target)
    target_compile_options(${target} PRIVATE ${TAVIL_WARNINGS} $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict>)
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
endfunction()

# The resource script as text, compiled into the simulated handheld so that it
# reads the very resources the Windows build compiles.
function(tavil_embed_resource_script target script)
    set(output ${CMAKE_CURRENT_BINARY_DIR}/resource_script_text.cpp)
    add_custom_command(
        OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -DINPUT=${script} -DOUTPUT=${output}
                -P ${PROJECT_SOURCE_DIR}/cmake/EmbedText.cmake
        DEPENDS ${script} ${PROJECT_SOURCE_DIR}/cmake/EmbedText.cmake
        COMMENT "Embedding the resource script")
    target_sources(${target} PRIVATE ${output})
endfunction()

# A binary file as the C++ array `name`, with its length in bytes as `name`_SIZE,
# compiled into target.
function(tavil_embed_binary target name file)
    string(TOLOWER ${name} stem)
    set(output ${CMAKE_CURRENT_BINARY_DIR}/${stem}.cpp)
    add_custom_command(
        OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -DINPUT=${file} -DOUTPUT=${output} -DNAME=${name}
                -P ${PROJECT_SOURCE_DIR}/cmake/EmbedBinary.cmake
        DEPENDS ${file} ${PROJECT_SOURCE_DIR}/cmake/EmbedBinary.cmake
        COMMENT "Embedding ${file}")
    target_sources(${target} PRIVATE ${output})
endfunction()
