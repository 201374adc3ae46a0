# Derives everything that names the exports from api/exports.inc:
#   PALORAN_EXPORT_NAMES          list of exported names
#   <build>/include/paloran_exports.inc   copy installed beside paloran.h
#   <build>/paloran.def           Windows module definition
#   <build>/paloran.map           ELF version script (exactly these names global)
#   <build>/paloran_exports.txt   one name a line, for the export check
function(paloran_read_export_list list_file)
  file(STRINGS "${list_file}" lines REGEX "^PLR_EXPORT\\(")
  set(names "")
  foreach(line IN LISTS lines)
    if(NOT line MATCHES "^PLR_EXPORT\\([^,]+, *([A-Za-z_][A-Za-z0-9_]*) *,")
      message(FATAL_ERROR "export list: cannot read line: ${line}")
    endif()
    list(FIND names "${CMAKE_MATCH_1}" seen)
    if(NOT seen EQUAL -1)
      message(FATAL_ERROR "export list: ${CMAKE_MATCH_1} is listed twice")
    endif()
    list(APPEND names "${CMAKE_MATCH_1}")
  endforeach()
  set(PALORAN_EXPORT_NAMES "${names}" PARENT_SCOPE)
  list(LENGTH names count)
  set(PALORAN_EXPORT_COUNT ${count} PARENT_SCOPE)

  configure_file("${list_file}" "${CMAKE_BINARY_DIR}/include/paloran_exports.inc" COPYONLY)

  list(JOIN names "\n  " def_body)
  file(WRITE "${CMAKE_BINARY_DIR}/paloran.def.tmp" "LIBRARY paloran.dll\nEXPORTS\n  ${def_body}\n")
  configure_file("${CMAKE_BINARY_DIR}/paloran.def.tmp" "${CMAKE_BINARY_DIR}/paloran.def" COPYONLY)

  list(JOIN names ";\n    " map_body)
  file(WRITE "${CMAKE_BINARY_DIR}/paloran.map.tmp" "{\n  global:\n    ${map_body};\n  local: *;\n};\n")
  configure_file("${CMAKE_BINARY_DIR}/paloran.map.tmp" "${CMAKE_BINARY_DIR}/paloran.map" COPYONLY)

  list(JOIN names "\n" txt_body)
  file(WRITE "${CMAKE_BINARY_DIR}/paloran_exports.txt.tmp" "${txt_body}\n")
  configure_file("${CMAKE_BINARY_DIR}/paloran_exports.txt.tmp" "${CMAKE_BINARY_DIR}/paloran_exports.txt" COPYONLY)

  # Re-run configure when the list changes.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${list_file}")
endfunction()
