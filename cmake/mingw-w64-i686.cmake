# Cross-builds native 32-bit Windows programs with MinGW-w64 (see mingw-w64.cmake).
# They run under a Wine that has its 32-bit part (Debian: wine32, of the i386
# architecture).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QUORVANE_MINGW_PREFIX i686-w64-mingw32)
set(QUORVANE_WINE_NAMES wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
