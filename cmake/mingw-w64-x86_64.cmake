# Cross-compiling the Windows program with MinGW-w64: on Linux, or on Windows with MSYS2.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_PREFIX x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${MINGW_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${MINGW_PREFIX}-g++)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Debian's MinGW-w64 binutils name the resource compiler with the target prefix; MSYS2's
# MinGW environments ship it as plain `windres`. The prefixed name wins when both are there.
find_program(CORVANTIS_WINDRES NAMES ${MINGW_PREFIX}-windres windres)
if(CORVANTIS_WINDRES)
    set(CMAKE_RC_COMPILER ${CORVANTIS_WINDRES})
else()
    set(CMAKE_RC_COMPILER ${MINGW_PREFIX}-windres) # CMake reports it missing by this name
endif()
