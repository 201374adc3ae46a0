# Lua 5.1, the scripting language of the Lua filters, as the imported target
# Lua::Lua. Debian's liblua5.1-0-dev keeps its headers under lua5.1/ and ships
# no CMake package; the MinGW builds link the static liblua5.1.a of the
# Windows dependency prefix (scripts/build-windows-deps.sh). Both are found by
# path; the lua5.1 names come first so that another Lua installed beside it
# is never picked.
find_path(LUA51_INCLUDE_DIR lua.h PATH_SUFFIXES lua5.1 REQUIRED)
if(NOT EXISTS "${LUA51_INCLUDE_DIR}/lualib.h")
  message(FATAL_ERROR "Lua 5.1 headers not found (install liblua5.1-0-dev)")
endif()
file(STRINGS "${LUA51_INCLUDE_DIR}/lua.h" lua_version_line REGEX "#define LUA_VERSION[ \t]+\"Lua 5\\.1\"")
if(NOT lua_version_line)
  message(FATAL_ERROR "${LUA51_INCLUDE_DIR}/lua.h is not Lua 5.1")
endif()
find_library(LUA51_LIBRARY NAMES lua5.1 lua REQUIRED)
if(NOT TARGET Lua::Lua)
  add_library(Lua::Lua UNKNOWN IMPORTED)
  set_target_properties(Lua::Lua PROPERTIES IMPORTED_LOCATION "${LUA51_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${LUA51_INCLUDE_DIR}")
endif()
