# What the 32-bit and 64-bit mingw-w64 toolchain files share; they set
# BRIMVALE_MINGW_PROCESSOR (i686 or x86_64) and include this file. The thread
# model is POSIX unless BRIMVALE_THREADS says win32: the tests need
# std::thread, the shipped program starts no threads and is built with the
# win32 model so that it imports nothing newer than Windows XP.
if(NOT BRIMVALE_THREADS)
  set(BRIMVALE_THREADS posix)
endif()
# Compiler checks re-read the toolchain file in their own projects: they get the choice too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES BRIMVALE_THREADS)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${BRIMVALE_MINGW_PROCESSOR})
set(CMAKE_C_COMPILER ${BRIMVALE_MINGW_PROCESSOR}-w64-mingw32-gcc-${BRIMVALE_THREADS})
set(CMAKE_CXX_COMPILER ${BRIMVALE_MINGW_PROCESSOR}-w64-mingw32-g++-${BRIMVALE_THREADS})
set(CMAKE_RC_COMPILER ${BRIMVALE_MINGW_PROCESSOR}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${BRIMVALE_MINGW_PROCESSOR}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Windows programs run through Wine; the wrapper bounds every call and runs
# it from inside the prefix's drive_c.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
