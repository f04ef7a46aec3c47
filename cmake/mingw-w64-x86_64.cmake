# Cross-build for 64-bit Windows with Debian's mingw-w64 (the posix-threads variant, so that
# std::thread and the pthread-based runtime modules build), linked statically: the programs need no
# MinGW DLL beside them.
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ORVAN_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ORVAN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORVAN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ORVAN_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ORVAN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Tests run under Wine; scripts/build-windows.sh prepares the prefix and the server around them.
find_program(ORVAN_WINE wine)
if(ORVAN_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ORVAN_WINE})
endif()
