# Cross builds for Windows with Debian's mingw-w64; tests run under Wine.
#   QUILLON_WINDOWS_ARCH     x86_64 (default) or i686
#   QUILLON_MINGW_THREADS    posix (default; GoogleTest needs std::mutex) or win32 (the shipped
#                            executables: Debian's i686 winpthreads imports GetTickCount64,
#                            which Windows XP lacks)
if(NOT QUILLON_WINDOWS_ARCH)
  set(QUILLON_WINDOWS_ARCH x86_64)
endif()
if(NOT QUILLON_MINGW_THREADS)
  set(QUILLON_MINGW_THREADS posix)
endif()
set(triplet ${QUILLON_WINDOWS_ARCH}-w64-mingw32)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${QUILLON_WINDOWS_ARCH})
set(CMAKE_C_COMPILER ${triplet}-gcc-${QUILLON_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${triplet}-g++-${QUILLON_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${triplet}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Static runtime: one executable that needs no DLL beyond the system's.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# 64-bit programs run under the 64-bit loader itself: Debian's "wine" starts the 32-bit one
# first, which a machine without 32-bit support cannot run.
if(QUILLON_WINDOWS_ARCH STREQUAL "x86_64" AND EXISTS /usr/lib/wine/wine64)
  set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
else()
  set(CMAKE_CROSSCOMPILING_EMULATOR wine)
endif()
