# Cross-compiling for 32-bit Windows with the mingw-w64 compilers.
set(BRIMVALE_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
