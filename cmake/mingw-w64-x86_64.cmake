# Cross-builds native 64-bit Windows programs with MinGW-w64 (see mingw-w64.cmake).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QUORVANE_MINGW_PREFIX x86_64-w64-mingw32)
set(QUORVANE_WINE_NAMES wine64 wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
