# Cross-compiles the 32-bit Windows program with MinGW-w64 (i686, POSIX
# threads so that std::thread and std::mutex work). Libraries come from the
# MinGW sysroot (zlib) and from the cross-built cache of scripts/windows/deps.sh.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(TESSELLA_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_C_COMPILER ${TESSELLA_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TESSELLA_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TESSELLA_MINGW_TRIPLET}-windres)

get_filename_component(_tessella_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(TESSELLA_WIN_DEPS "${_tessella_root}/third_party/cache/${TESSELLA_MINGW_TRIPLET}"
    CACHE PATH "Prefix of the cross-built Windows libraries")

set(CMAKE_FIND_ROOT_PATH /usr/${TESSELLA_MINGW_TRIPLET} ${TESSELLA_WIN_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# SSE2 arithmetic instead of the x87's 80-bit intermediates, so that
# doubles round as on every other platform: pen widths, scaled coordinates
# and every value truncated toward zero come out the same as on Linux.
# MinGW's own printf family, C99 like glibc's (%zu, %lld, two-digit
# exponents), instead of msvcrt's: logs read the same on every platform.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -D__USE_MINGW_ANSI_STDIO=1")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -D__USE_MINGW_ANSI_STDIO=1")

# Static runtime: the .exe needs no libgcc, libstdc++ or winpthread DLL.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests run under Wine, through a wrapper that keeps ctest from waiting on
# Wine's own background processes.
find_program(TESSELLA_WINE wine)
if(TESSELLA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${_tessella_root}/scripts/windows/wine-test.sh)
endif()

# The MinGW sysroot ships zlib both as a DLL import library and as a static
# library; take the static one.
set(ZLIB_USE_STATIC_LIBS ON)
