# Cross build for 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64).
# The posix flavour of the compiler: its standard library has std::thread.
# Everything is linked statically, so kinex2.exe and the test programs need no
# DLL beside them; they run under Wine (Debian's wine64) as on Windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KINEX2_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KINEX2_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KINEX2_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KINEX2_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KINEX2_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# The C library's own printf family (C99: %zu, %lld, and floats printed as on
# Linux) instead of the system's older one.
set(CMAKE_CXX_FLAGS_INIT "-D__USE_MINGW_ANSI_STDIO=1")
set(CMAKE_C_FLAGS_INIT "-D__USE_MINGW_ANSI_STDIO=1")

# CTest and GoogleTest's discovery run the programs through Wine.
find_program(KINEX2_WINE NAMES wine64 wine PATHS /usr/lib/wine /usr/bin NO_CMAKE_FIND_ROOT_PATH)
if(KINEX2_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KINEX2_WINE})
endif()
