# What both MinGW-w64 toolchain files share; each sets CMAKE_SYSTEM_PROCESSOR,
# QUORVANE_MINGW_PREFIX (the compilers' target) and QUORVANE_WINE_NAMES first.
# The POSIX threading variant of the compilers is the one std::thread and
# std::jthread need. Programs link libgcc, libstdc++ and winpthreads
# statically, so one .exe runs on its own. Programs built here run under Wine:
# ctest and test discovery start them through the emulator.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${QUORVANE_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUORVANE_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QUORVANE_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUORVANE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(QUORVANE_WINE NAMES ${QUORVANE_WINE_NAMES})
if(QUORVANE_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${QUORVANE_WINE})
endif()
