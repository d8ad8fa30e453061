# Shared part of the mingw-w64 toolchains (posix thread model, so std::thread works).
set(CMAKE_C_COMPILER ${MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Optimised without debug information: statically linked test programs with it take gigabytes.
# Configure with -DCMAKE_BUILD_TYPE=RelWithDebInfo by hand to debug under winedbg.
# GCC's own defaults are appended to the _INIT flags (and the later -O3 would win), so the cache
# entries are set here; a build folder that cached the appended pair is put right.
foreach(lang C CXX)
    if(NOT DEFINED CACHE{CMAKE_${lang}_FLAGS_RELEASE}
       OR "$CACHE{CMAKE_${lang}_FLAGS_RELEASE}" STREQUAL "-O2 -DNDEBUG -O3 -DNDEBUG")
        set(CMAKE_${lang}_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of the Release build" FORCE)
    endif()
endforeach()
# libgcc, libstdc++ and winpthread linked in, so an .exe needs no DLL beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Windows programs of the build run under Wine on a display.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/winrun)
