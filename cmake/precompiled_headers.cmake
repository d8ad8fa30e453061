# Precompiled headers. A source spends most of its compile time parsing headers: GoogleTest and the
# standard library in the tests, the framework's headers (with windows.h) in everything built on the
# framework. Each set is compiled once per build and the targets reuse it.
#
# project_precompiled_header_hosts()  makes the tests' hosts: small libraries that compile GoogleTest
#                                     (and, on Windows, the framework's headers beside it). Called once,
#                                     where the test programs' folder starts, so the hosts compile with
#                                     the flags the tests get.
# project_precompiled_headers(target) gives a test target the hosts' set with the framework's headers
#                                     when its links bring the framework (and with it the framework's
#                                     include folders), the GoogleTest set otherwise. project_test calls
#                                     it for every test program; a benchmark or support library may too.
#
# The framework precompiles its own headers, and every other target whose links bring the framework
# (toolkit, controls, the program, test helpers) and has no set of its own reuses them; that is decided
# when the whole tree has been read, with nothing to call.
#
# Choices are made once the calling folder's list has been read, so links added after the target
# count. GCC takes a precompiled header only when the options that shape it match (-Winvalid-pch names
# the reason); a target whose options differ still builds, parsing the headers itself.
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
set(PROJECT_PCH_LIBRARY_HEADERS ${PROJECT_PCH_FRAMEWORK_HEADERS} <algorithm> <cstdint> <cstring> <functional> <map>
                                <memory> <string> <vector>)

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

# Whether `wanted` is among the libraries and what they pass on to whoever links them.
function(_project_links wanted out)
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
        if(library STREQUAL wanted)
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
        return()
    endif()
    # GoogleTest's folders come with gtest; a program without it keeps parsing its own headers.
    _project_links(gtest with_gtest ${libraries})
    if(NOT with_gtest)
        return()
    endif()
    _project_links(framework with_framework ${libraries})
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

# Every target below `folder`, in the order the folders were read.
function(_project_targets_below folder out)
    get_property(targets DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
    get_property(folders DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
    foreach(sub IN LISTS folders)
        _project_targets_below(${sub} below)
        list(APPEND targets ${below})
    endforeach()
    set(${out} ${targets} PARENT_SCOPE)
endfunction()

function(_project_reuse_framework_headers)
    if(NOT PROJECT_PRECOMPILED_HEADERS OR NOT TARGET framework)
        return()
    endif()
    target_precompile_headers(framework PRIVATE ${PROJECT_PCH_LIBRARY_HEADERS})
    _project_targets_below(${CMAKE_SOURCE_DIR} targets)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        if(target STREQUAL "framework" OR NOT type MATCHES "^(STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|EXECUTABLE)$")
            continue()
        endif()
        get_target_property(own ${target} PRECOMPILE_HEADERS)
        get_target_property(reused ${target} PRECOMPILE_HEADERS_REUSE_FROM)
        if(own OR reused)
            continue()
        endif()
        # The framework's set is C++; a target with C sources keeps parsing its headers.
        get_target_property(sources ${target} SOURCES)
        list(FILTER sources INCLUDE REGEX "\\.c$")
        if(sources)
            continue()
        endif()
        get_target_property(libraries ${target} LINK_LIBRARIES)
        if(NOT libraries)
            continue()
        endif()
        _project_links(framework with_framework ${libraries})
        if(with_framework)
            target_precompile_headers(${target} REUSE_FROM framework)
        endif()
    endforeach()
endfunction()

# The file is included from the top folder's list; the call runs when that list has been read.
if(NOT _PROJECT_FRAMEWORK_PCH_DEFERRED)
    set(_PROJECT_FRAMEWORK_PCH_DEFERRED TRUE)
    cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL _project_reuse_framework_headers)
endif()
