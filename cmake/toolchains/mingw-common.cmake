# Shared part of the MinGW-w64 toolchain files; PALORAN_MINGW_TRIPLE names the target.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 6.1)  # Windows 7 and later
if(PALORAN_MINGW_TRIPLE MATCHES "^i686")
  set(CMAKE_SYSTEM_PROCESSOR x86)
else()
  set(CMAKE_SYSTEM_PROCESSOR AMD64)
endif()

set(CMAKE_C_COMPILER ${PALORAN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PALORAN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${PALORAN_MINGW_TRIPLE}-windres)
set(CMAKE_OBJDUMP ${PALORAN_MINGW_TRIPLE}-objdump)
set(CMAKE_DLLTOOL ${PALORAN_MINGW_TRIPLE}-dlltool)

# Libraries and headers for the target only: the static image libraries and
# Lua built by scripts/build-windows-deps.sh from Debian's sources, then
# zlib from libz-mingw-w64-dev.
# They are cached outside the checkout ($PALORAN_WINDEPS, by default
# ~/.cache/paloran-windeps), so every clone and work tree shares one build.
if(NOT PALORAN_WINDEPS_PREFIX)
  if(DEFINED ENV{PALORAN_WINDEPS})
    set(_windeps "$ENV{PALORAN_WINDEPS}")
  elseif(DEFINED ENV{XDG_CACHE_HOME})
    set(_windeps "$ENV{XDG_CACHE_HOME}/paloran-windeps")
  else()
    set(_windeps "$ENV{HOME}/.cache/paloran-windeps")
  endif()
  if(PALORAN_MINGW_TRIPLE MATCHES "^i686")
    set(PALORAN_WINDEPS_PREFIX "${_windeps}/i686/prefix")
  else()
    set(PALORAN_WINDEPS_PREFIX "${_windeps}/x86_64/prefix")
  endif()
endif()
get_filename_component(PALORAN_WINDEPS_PREFIX "${PALORAN_WINDEPS_PREFIX}" ABSOLUTE)
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES PALORAN_WINDEPS_PREFIX)
set(CMAKE_FIND_ROOT_PATH "${PALORAN_WINDEPS_PREFIX}" /usr/${PALORAN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Static archives only: the DLL must need nothing beside the system libraries.
set(ZLIB_USE_STATIC_LIBS ON)

# Tests run under Wine when it is installed (64-bit builds only).
if(PALORAN_MINGW_TRIPLE MATCHES "^x86_64")
  find_program(PALORAN_WINE NAMES wine64 wine PATHS /usr/lib/wine)
  if(PALORAN_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR "${PALORAN_WINE}")
  endif()
endif()
