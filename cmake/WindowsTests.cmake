# Tests of the Windows build, run under Wine. All of one ctest run share one
# fresh Wine prefix, made by the first test and shut down by the last.

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(WINE_RUN ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh)

add_test(NAME wine_prefix_create COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-prefix.sh create ${WINE_PREFIX})
add_test(NAME wine_prefix_stop COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-prefix.sh stop ${WINE_PREFIX})
set_tests_properties(wine_prefix_create PROPERTIES FIXTURES_SETUP wine)
set_tests_properties(wine_prefix_stop PROPERTIES FIXTURES_CLEANUP wine)

# Adds a test that runs `target` under Wine in the shared prefix.
function(tavil_wine_test name target)
    add_test(NAME ${name} COMMAND ${WINE_RUN} ${WINE_PREFIX} $<TARGET_FILE:${target}> ${ARGN})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 300)
endfunction()

add_executable(platform_contract_tests ${CONTRACT_TEST_SOURCES} ${PROJECT_SOURCE_DIR}/resources/tavil.rc
               ${PROJECT_SOURCE_DIR}/tests/platform/contract_time_win32.cpp
               ${PROJECT_SOURCE_DIR}/tests/platform/contract_modal_win32.cpp
               ${PROJECT_SOURCE_DIR}/tests/platform/contract_folders_win32.cpp
               ${PROJECT_SOURCE_DIR}/tests/platform/contract_templates_win32.cpp)
tavil_test_code(platform_contract_tests)
target_link_libraries(platform_contract_tests PRIVATE tavil_platform_win32 gtest_main)
tavil_wine_test(platform_contract_win32 platform_contract_tests)
target_include_directories(platform_contract_tests PRIVATE ${PROJECT_SOURCE_DIR}/resources)

# The program end to end: the driver starts Tavil.exe from its own folder.
add_executable(tavil_driver ${PROJECT_SOURCE_DIR}/tests/e2e/tavil_driver.cpp)
tavil_test_code(tavil_driver)
target_link_libraries(tavil_driver PRIVATE tavil_platform_win32)
set_target_properties(Tavil tavil_driver PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/e2e)
tavil_wine_test(tavil_end_to_end tavil_driver clock)

# Scenarios that take screenshots of what the program shows into build/windows/e2e.
function(tavil_screenshot_test name scenario)
    add_test(NAME ${name}
        COMMAND ${PROJECT_SOURCE_DIR}/tests/e2e/screenshots.sh ${WINE_PREFIX}
                $<TARGET_FILE:tavil_driver> ${scenario} ${CMAKE_BINARY_DIR}/e2e)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 300)
endfunction()

tavil_screenshot_test(tavil_menu_end_to_end menu)
tavil_screenshot_test(tavil_dialogs_end_to_end dialogs)

# The setup DLLs: their export tables, and each one called as the installer
# calls it by a driver in their folder.
add_test(NAME setup_exports
    COMMAND ${PROJECT_SOURCE_DIR}/tests/setup/check-setup-exports.sh
            $<TARGET_FILE:setup_wm5> $<TARGET_FILE:setup_wm2003se>)
add_executable(setup_driver ${PROJECT_SOURCE_DIR}/tests/setup/setup_driver.cpp)
tavil_test_code(setup_driver)
set_target_properties(setup_driver PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/setup)
add_dependencies(setup_driver setup_wm5 setup_wm2003se)
tavil_wine_test(setup_end_to_end setup_driver)

# A release build ships the program and the setup DLLs without symbols.
if(CMAKE_BUILD_TYPE STREQUAL "Release")
    add_test(NAME release_stripped
        COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-stripped.sh $<TARGET_FILE:Tavil>
                $<TARGET_FILE:setup_wm5> $<TARGET_FILE:setup_wm2003se>)
endif()
