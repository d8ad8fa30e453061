# project_test(NAME SOURCES a.cpp b.cpp LIBS lib...)
# One GoogleTest executable, registered with CTest. On the Windows builds CTest runs it through
# the cross-compiling emulator (tools/winrun, i.e. Wine on a display).
include(${CMAKE_CURRENT_LIST_DIR}/precompiled_headers.cmake)
set(PROJECT_TEST_DISKS_DIR "${CMAKE_SOURCE_DIR}/build/test-disks" CACHE PATH "Real test disks made by tools/make-test-disks")

function(project_test name)
    cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} test_support gmock gtest_main)
    project_precompiled_headers(${name})
    add_test(NAME ${name} COMMAND ${name})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 600)
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
    if(CMAKE_CROSSCOMPILING_EMULATOR)
        # CTest ends a test at its time-out without a word; the emulator stops it a little earlier and
        # says why.
        math(EXPR limit "${T_TIMEOUT} * 95 / 100")
        set_tests_properties(${name} PROPERTIES ENVIRONMENT WINRUN_TIME_LIMIT=${limit})
    endif()
endfunction()
