# FreeType (glyph rasterising) and HarfBuzz (shaping) as the imported targets
# Fonts::freetype and Fonts::harfbuzz, and fontconfig (finding font files)
# as Fonts::fontconfig off Windows. Found by path: Debian's -dev packages put
# the headers in include/freetype2 and include/harfbuzz, and the MinGW builds
# find static libfreetype.a and libharfbuzz.a with their headers in the same
# folders of the Windows dependency prefix.
find_path(FREETYPE_INCLUDE_DIR ft2build.h PATH_SUFFIXES freetype2 REQUIRED)
find_library(FREETYPE_LIBRARY NAMES freetype libfreetype REQUIRED)
find_path(HARFBUZZ_INCLUDE_DIR hb.h PATH_SUFFIXES harfbuzz REQUIRED)
find_library(HARFBUZZ_LIBRARY NAMES harfbuzz libharfbuzz REQUIRED)
if(NOT TARGET Fonts::freetype)
  add_library(Fonts::freetype UNKNOWN IMPORTED)
  set_target_properties(Fonts::freetype PROPERTIES IMPORTED_LOCATION "${FREETYPE_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${FREETYPE_INCLUDE_DIR}")
  add_library(Fonts::harfbuzz UNKNOWN IMPORTED)
  # HarfBuzz's FreeType glue (hb-ft) calls into FreeType: link it after.
  set_target_properties(Fonts::harfbuzz PROPERTIES IMPORTED_LOCATION "${HARFBUZZ_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${HARFBUZZ_INCLUDE_DIR}" INTERFACE_LINK_LIBRARIES Fonts::freetype)
  if(WIN32)
    # The static archives want what they were built with: zlib and PNG for
    # FreeType's compressed and colour glyphs; the registry's font list is
    # read through advapi32.
    set_property(TARGET Fonts::freetype APPEND PROPERTY INTERFACE_LINK_LIBRARIES PNG::PNG ZLIB::ZLIB)
  endif()
endif()
set(fonts_libs Fonts::harfbuzz Fonts::freetype)
if(WIN32)
  list(APPEND fonts_libs advapi32)
else()
  find_path(FONTCONFIG_INCLUDE_DIR fontconfig/fontconfig.h REQUIRED)
  find_library(FONTCONFIG_LIBRARY NAMES fontconfig REQUIRED)
  if(NOT TARGET Fonts::fontconfig)
    add_library(Fonts::fontconfig UNKNOWN IMPORTED)
    set_target_properties(Fonts::fontconfig PROPERTIES IMPORTED_LOCATION "${FONTCONFIG_LIBRARY}"
      INTERFACE_INCLUDE_DIRECTORIES "${FONTCONFIG_INCLUDE_DIR}")
  endif()
  list(APPEND fonts_libs Fonts::fontconfig)
endif()
