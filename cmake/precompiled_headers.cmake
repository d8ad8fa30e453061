# Precompiled headers of the test programs. A test source spends most of its compile time parsing
# GoogleTest, the standard library and, on Windows, the framework's headers. Each of those sets is
# compiled once per build, in a small host library, and every test target reuses one of them.
#
# project_precompiled_header_hosts()  makes the hosts; called once, where the test programs' folder
#                                     starts, so the hosts compile with the flags the tests get.
# project_precompiled_headers(target) gives a target the framework's set when its links bring the
#                                     framework (and with it the framework's include folders), the
#                                     GoogleTest set otherwise. project_test calls it for every test
#                                     program; a benchmark or support library may call it too.
#
# The choice is made when the calling folder's list has been read, so links added after the target
# count. GCC takes a precompiled header only when the options that shape it match (-Winvalid-pch
# names the reason); a target whose options differ still builds, parsing the headers itself.
option(PROJECT_PRECOMPILED_HEADERS "Precompile the headers every test program includes" ON)

set(PROJECT_PCH_TEST_HEADERS
    <gtest/gtest.h>
    <gmock/gmock.h>
    <algorithm>
    <atomic>
    <chrono>
    <cstdint>
    <cstdio>
    <cstdlib>
    <cstring>
    <filesystem>
    <fstream>
    <functional>
    <map>
    <memory>
    <set>
    <sstream>
    <string>
    <string_view>
    <vector>)
set(PROJECT_PCH_FRAMEWORK_HEADERS <afxwin.h> <afxext.h> <afxcmn.h> <afxpriv.h>)

function(project_precompiled_header_hosts)
    if(NOT PROJECT_PRECOMPILED_HEADERS OR TARGET test_pch_gtest)
        return()
    endif()
    set(source ${CMAKE_BINARY_DIR}/precompiled_headers/empty.cpp)
    if(NOT EXISTS ${source})
        file(WRITE ${source} "// The precompiled header is this library's only product.\n")
    endif()
    add_library(test_pch_gtest STATIC EXCLUDE_FROM_ALL ${source})
    target_link_libraries(test_pch_gtest PRIVATE gmock gtest)
    target_precompile_headers(test_pch_gtest PRIVATE ${PROJECT_PCH_TEST_HEADERS})
    if(TARGET framework)
        add_library(test_pch_framework STATIC EXCLUDE_FROM_ALL ${source})
        target_link_libraries(test_pch_framework PRIVATE framework gmock gtest)
        target_precompile_headers(test_pch_framework PRIVATE ${PROJECT_PCH_TEST_HEADERS} ${PROJECT_PCH_FRAMEWORK_HEADERS})
    endif()
endfunction()

# Whether `framework` is among the libraries and what they pass on to whoever links them.
function(_project_links_framework out)
    set(pending ${ARGN})
    set(seen)
    set(found FALSE)
    while(pending)
        list(POP_FRONT pending library)
        if(library IN_LIST seen OR NOT TARGET ${library})
            continue()
        endif()
        list(APPEND seen ${library})
        get_target_property(aliased ${library} ALIASED_TARGET)
        if(aliased)
            set(library ${aliased})
        endif()
        if(library STREQUAL "framework")
            set(found TRUE)
            break()
        endif()
        get_target_property(passed ${library} INTERFACE_LINK_LIBRARIES)
        if(passed)
            # $<LINK_ONLY:...> links without passing the include folders on.
            list(FILTER passed EXCLUDE REGEX "^\\$<")
            list(APPEND pending ${passed})
        endif()
    endwhile()
    set(${out} ${found} PARENT_SCOPE)
endfunction()

function(_project_apply_precompiled_headers target)
    get_target_property(libraries ${target} LINK_LIBRARIES)
    if(NOT libraries)
        set(libraries)
    endif()
    _project_links_framework(with_framework ${libraries})
    if(with_framework AND TARGET test_pch_framework)
        target_precompile_headers(${target} REUSE_FROM test_pch_framework)
    else()
        target_precompile_headers(${target} REUSE_FROM test_pch_gtest)
    endif()
endfunction()

function(project_precompiled_headers target)
    if(NOT PROJECT_PRECOMPILED_HEADERS OR NOT TARGET test_pch_gtest)
        return()
    endif()
    # A deferred call reads its variables when it runs; the name is written into it now.
    cmake_language(EVAL CODE "cmake_language(DEFER CALL _project_apply_precompiled_headers [[${target}]])")
endfunction()
