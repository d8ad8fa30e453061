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
    # A test program's sources compile in batches too (see project_unity_build): most of a test file's
    # compile is the headers and the inline code it shares with the program's other files.
    project_unity_build(${name})
    add_test(NAME ${name} COMMAND ${name})
    if(CMAKE_CROSSCOMPILING_EMULATOR)
        cmake_language(DEFER GET_CALL_IDS deferred)
        if(NOT "project_wine_sessions" IN_LIST deferred)
            cmake_language(DEFER ID project_wine_sessions CALL _project_wine_sessions_of_folder)
        endif()
    endif()
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

# project_test_objects(NAME SOURCES a.cpp ... LIBS lib... [INCLUDES dir...])
# Support sources that several test programs share (a test application, a frame, a driver), compiled once
# for all of them: a program takes the objects by linking NAME, and with them NAME's LIBS.
function(project_test_objects name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS;INCLUDES" ${ARGN})
    add_library(${name} OBJECT ${T_SOURCES})
    target_link_libraries(${name} PUBLIC ${T_LIBS} test_support gmock gtest)
    target_include_directories(${name} PRIVATE ${T_INCLUDES})
    project_precompiled_headers(${name})
    project_unity_build(${name})
endfunction()

# Wine sessions. tools/test runs the Windows tests on several Wine sessions at once, each a display, a
# prefix and a server of its own, and CTest hands every test one of them through a resource spec
# (tools/winrun reads which). A test that needs a session to itself (it reads pixels off the screen,
# takes the foreground window, or needs the program's single instance or its registry values alone)
# says RUN_SERIAL; here that becomes all of one session's slots, so that such tests run beside each
# other on different sessions instead of alone. Run by hand without a resource spec, CTest ignores the
# groups: run such tests one at a time (no -j), or through tools/test, which sets the sessions up.
set(PROJECT_WINE_SESSION_SLOTS 4)
# Called at the end of every folder that adds tests (project_test arranges it): a test's properties can be
# set only in its own folder.
function(_project_wine_sessions_of_folder)
    get_property(tests DIRECTORY PROPERTY TESTS)
    foreach(test IN LISTS tests)
        get_test_property(${test} RUN_SERIAL serial)
        if(serial)
            set_tests_properties(${test} PROPERTIES RUN_SERIAL FALSE
                                 RESOURCE_GROUPS "wine_sessions:${PROJECT_WINE_SESSION_SLOTS}")
        else()
            set_tests_properties(${test} PROPERTIES RESOURCE_GROUPS "wine_sessions:1")
        endif()
    endforeach()
endfunction()
