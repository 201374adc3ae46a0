# Derives everything that names the exports from api/exports.inc:
#   PALORAN_EXPORT_NAMES          list of exported names
#   <build>/include/paloran_exports.inc   the list as the public header reads it,
#                                 PLR_EXPORT(result, name, (parameters)): the
#                                 guard columns stay inside the engine
#   <build>/generated/paloran_export_guards.inc  PLR_EXPORT_GUARD(result, name,
#                                 "Operation", failure value): the guard columns,
#                                 which every engine folder may read
#   <build>/paloran.def           Windows module definition (on 32-bit Windows the
#                                 names carry their __stdcall decoration, name@bytes:
#                                 the linker's --kill-at exports them plain and the
#                                 import library maps the decorated symbols to them)
#   <build>/paloran.map           ELF version script (exactly these names global)
#   <build>/paloran_exports.txt   one name a line, for the export check
function(paloran_read_export_list list_file)
  file(STRINGS "${list_file}" lines REGEX "^PLR_EXPORT\\(")
  set(names "")
  set(def_names "")
  set(public_lines "")
  set(guard_lines "")
  foreach(line IN LISTS lines)
    # result, name, (parameters), "Operation", failure value
    if(NOT line MATCHES "^PLR_EXPORT\\(([^,]+), *([A-Za-z_][A-Za-z0-9_]*) *, *\\((.*)\\), *\"([A-Za-z0-9_]*)\", *([^\"]*)\\) *$")
      message(FATAL_ERROR "export list: cannot read line: ${line}")
    endif()
    set(result "${CMAKE_MATCH_1}")
    set(name "${CMAKE_MATCH_2}")
    set(params "${CMAKE_MATCH_3}")
    string(STRIP "${CMAKE_MATCH_5}" failure)
    if(result STREQUAL "void" AND NOT failure STREQUAL "")
      message(FATAL_ERROR "export list: ${name} returns nothing but names a failure value")
    elseif(NOT result STREQUAL "void" AND failure STREQUAL "")
      message(FATAL_ERROR "export list: ${name} needs a failure value")
    endif()
    string(APPEND public_lines "PLR_EXPORT(${result}, ${name}, (${params}))\n")
    string(APPEND guard_lines "PLR_EXPORT_GUARD(${result}, ${name}, \"${CMAKE_MATCH_4}\", ${failure})\n")
    list(FIND names "${name}" seen)
    if(NOT seen EQUAL -1)
      message(FATAL_ERROR "export list: ${name} is listed twice")
    endif()
    list(APPEND names "${name}")
    if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4)
      # __stdcall: the callee pops its arguments, 4 bytes each, 8 for a double
      # or a 64-bit integer.
      set(bytes 0)
      string(STRIP "${params}" params)
      if(NOT params STREQUAL "void" AND NOT params STREQUAL "")
        string(REPLACE "," ";" param_list "${params}")
        foreach(param IN LISTS param_list)
          if(param MATCHES "\\*")
            math(EXPR bytes "${bytes} + 4")
          elseif(param MATCHES "(^| )(double|int64_t|uint64_t)( |$)")
            math(EXPR bytes "${bytes} + 8")
          else()
            math(EXPR bytes "${bytes} + 4")
          endif()
        endforeach()
      endif()
      list(APPEND def_names "${name}@${bytes}")
    else()
      list(APPEND def_names "${name}")
    endif()
  endforeach()
  set(PALORAN_EXPORT_NAMES "${names}" PARENT_SCOPE)
  list(LENGTH names count)
  set(PALORAN_EXPORT_COUNT ${count} PARENT_SCOPE)

  file(WRITE "${CMAKE_BINARY_DIR}/include/paloran_exports.inc.tmp"
       "/* libpaloran's exports, one a line: PLR_EXPORT(result type, name, (parameters)).\n"
       " * Generated from the engine's export list; include/paloran.h expands it. */\n"
       "${public_lines}")
  configure_file("${CMAKE_BINARY_DIR}/include/paloran_exports.inc.tmp" "${CMAKE_BINARY_DIR}/include/paloran_exports.inc" COPYONLY)

  file(WRITE "${CMAKE_BINARY_DIR}/generated/paloran_export_guards.inc.tmp"
       "/* What each export's failure guard reports: PLR_EXPORT_GUARD(result type, name,\n"
       " * \"Operation\", failure value). Generated from the engine's export list. */\n"
       "${guard_lines}")
  configure_file("${CMAKE_BINARY_DIR}/generated/paloran_export_guards.inc.tmp"
                 "${CMAKE_BINARY_DIR}/generated/paloran_export_guards.inc" COPYONLY)

  list(JOIN def_names "\n  " def_body)
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
