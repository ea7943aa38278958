# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix threads).
# The programs are linked statically against the compiler's runtime so that
# they run under Wine without any MinGW DLL next to them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ONDREL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ONDREL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ONDREL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ONDREL_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ONDREL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(ONDREL_WINE wine)
if(ONDREL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ONDREL_WINE})
endif()
