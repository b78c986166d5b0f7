# Cross-build for 64-bit Windows with Debian's mingw-w64 (the -posix compilers, whose C++
# runtime has std::thread), tests run under wine. The C and C++ runtimes and winpthread are
# linked statically, so the programs and DLLs need nothing beside them but Windows itself.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TARVO_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TARVO_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARVO_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TARVO_MINGW_TRIPLET}-windres)

# Libraries, headers and packages come from the mingw-w64 sysroot only: nothing of the Linux
# system's /usr/include or /usr/lib may reach the Windows build. Programs (the host's tools)
# come from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${TARVO_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Every test runs under wine (Debian 12 installs wine64 outside PATH, in /usr/lib/wine).
find_program(TARVO_WINE64 NAMES wine64 PATHS /usr/lib/wine /usr/lib64/wine NO_CACHE)
if(TARVO_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TARVO_WINE64})
endif()
