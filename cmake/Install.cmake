# What `cmake --install` puts where, in three components that are also the
# Debian packages (cmake/Package.cmake):
#   runtime  libpaloran.so.<version> and its soname link, the engine's data
#            (share/paloran)
#   dev      the header and the include files it reads, the linker link,
#            the CMake package (find_package(paloran) -> paloran::paloran)
#            and paloran.pc
#   tools    the command-line host, its manual page, the demo paint script
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(PALORAN_CMAKE_DIR "${CMAKE_INSTALL_LIBDIR}/cmake/paloran")
set(PALORAN_DATA_DIR "${CMAKE_INSTALL_DATADIR}/paloran")

target_include_directories(paloran INTERFACE $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
install(TARGETS paloran EXPORT paloranTargets
  LIBRARY DESTINATION "${CMAKE_INSTALL_LIBDIR}" COMPONENT runtime NAMELINK_COMPONENT dev
  RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}" COMPONENT runtime
  ARCHIVE DESTINATION "${CMAKE_INSTALL_LIBDIR}" COMPONENT dev)
install(FILES include/paloran.h include/paloran_filters.inc "${CMAKE_BINARY_DIR}/include/paloran_exports.inc"
  DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}" COMPONENT dev)

install(EXPORT paloranTargets NAMESPACE paloran:: DESTINATION "${PALORAN_CMAKE_DIR}" COMPONENT dev)
configure_package_config_file(cmake/paloranConfig.cmake.in "${CMAKE_BINARY_DIR}/paloranConfig.cmake"
  INSTALL_DESTINATION "${PALORAN_CMAKE_DIR}")
# Before 1.0 a minor version may change the exports: only the same minor matches.
write_basic_package_version_file("${CMAKE_BINARY_DIR}/paloranConfigVersion.cmake"
  VERSION "${PROJECT_VERSION}" COMPATIBILITY SameMinorVersion)
install(FILES "${CMAKE_BINARY_DIR}/paloranConfig.cmake" "${CMAKE_BINARY_DIR}/paloranConfigVersion.cmake"
  DESTINATION "${PALORAN_CMAKE_DIR}" COMPONENT dev)

# The .pc file finds its prefix from where it lies: the same file serves an
# install into /usr, into /usr/local and into a private folder.
file(RELATIVE_PATH pc_to_prefix "/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/")
configure_file(cmake/paloran.pc.in "${CMAKE_BINARY_DIR}/paloran.pc" @ONLY)
install(FILES "${CMAKE_BINARY_DIR}/paloran.pc" DESTINATION "${CMAKE_INSTALL_LIBDIR}/pkgconfig" COMPONENT dev)

foreach(dir lua effects)
  if(EXISTS "${CMAKE_SOURCE_DIR}/data/${dir}")
    install(DIRECTORY "data/${dir}" DESTINATION "${PALORAN_DATA_DIR}" COMPONENT runtime)
  endif()
endforeach()

# The host finds the library beside it, in ../lib, wherever the tree was installed.
file(RELATIVE_PATH bin_to_lib "/${CMAKE_INSTALL_BINDIR}" "/${CMAKE_INSTALL_LIBDIR}")
set_target_properties(paloran_cli PROPERTIES INSTALL_RPATH "$ORIGIN/${bin_to_lib}")
install(TARGETS paloran_cli RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}" COMPONENT tools)
install(FILES data/demo.srp DESTINATION "${PALORAN_DATA_DIR}" COMPONENT tools)

# The manual page is the host's own help text (`paloran help --man`), written
# when the host is built; a cross build cannot run the host and has none.
if(NOT CMAKE_CROSSCOMPILING)
  add_custom_command(OUTPUT "${CMAKE_BINARY_DIR}/paloran.1"
    COMMAND "${CMAKE_COMMAND}" -DCLI=$<TARGET_FILE:paloran_cli> -DOUT=${CMAKE_BINARY_DIR}/paloran.1
            -P "${CMAKE_SOURCE_DIR}/cmake/ManPage.cmake"
    DEPENDS paloran_cli "${CMAKE_SOURCE_DIR}/cmake/ManPage.cmake"
    COMMENT "Writing the manual page paloran.1" VERBATIM)
  add_custom_target(paloran_man ALL DEPENDS "${CMAKE_BINARY_DIR}/paloran.1")
  install(FILES "${CMAKE_BINARY_DIR}/paloran.1" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1" COMPONENT tools)
endif()
