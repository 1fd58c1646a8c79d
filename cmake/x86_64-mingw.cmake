# Cross-compiling for 64-bit Windows with the mingw-w64 compilers.
set(BRIMVALE_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
