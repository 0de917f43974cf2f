# Cross-compiling the Windows program: 32-bit MinGW-w64 with POSIX threads
# (GoogleTest needs them), resources by windres, tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
# Processors with SSE2: every x86 processor since 2003, what Microsoft's
# compiler assumes for 32-bit code by default, and what Windows 8 and later
# require. The engine's scans use it; its name-dense counting runs about a
# third faster than with the plain i686 instruction set. Stacks from Windows
# callbacks are only 4-byte aligned; MinGW's GCC realigns where SSE2 needs it
# (-mstackrealign is its default).
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
