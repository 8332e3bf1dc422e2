# Cross-builds palpite.exe for 64-bit Windows with MinGW-w64 (the posix threading flavour):
#     cmake -B build-win --toolchain cmake/mingw-w64.cmake && cmake --build build-win
# When wine is installed, CTest runs the Windows tests through it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)

# Headers and libraries come from the MinGW-w64 sysroot only; programs run at build time
# (wine, the host's tools) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(MINGW_WINE NAMES wine wine64)
if(MINGW_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${MINGW_WINE})
endif()
