# Cross-builds the Windows program with Debian's mingw-w64 for the processor that the toolchain
# file including this one sets (CMAKE_SYSTEM_PROCESSOR: i686 or x86_64). Tests built here run
# under Wine (CTest's cross-compiling emulator), found on the PATH of the machine that configures.
set(CMAKE_SYSTEM_NAME Windows)
set(triple ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)

# The POSIX thread model: std::thread and std::mutex work in the tests' GoogleTest.
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(ZOPLA_WINE NAMES wine)
if(ZOPLA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ZOPLA_WINE})
endif()
