# Debian packages of the Linux build, one per install component:
#   cd build && cpack -G DEB   ->  libpaloran_<v>_<arch>.deb, libpaloran-dev_..., paloran-tools_...
# The library's run-time dependencies come from dpkg-shlibdeps, so
# `apt-get install ./libpaloran_<v>_<arch>.deb` pulls in what the engine links.
set(CPACK_PACKAGE_NAME paloran)
set(CPACK_PACKAGE_VENDOR "paloran developers")
set(CPACK_PACKAGE_CONTACT "paloran developers <paloran@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "painting engine with a flat C interface")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_COMPONENTS_ALL runtime dev tools)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The host links libpaloran.so.0 of its sibling package: dpkg-shlibdeps finds
# it in the build tree; the dependency itself comes from the component's.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS "${CMAKE_BINARY_DIR}")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)

set(CPACK_COMPONENT_RUNTIME_DESCRIPTION "painting engine: shared library and data
 The painting engine of a desktop painting application: layers, brushes,
 masks, filters and picture files behind flat C exports.")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libpaloran)

set(CPACK_COMPONENT_DEV_DEPENDS runtime)
set(CPACK_COMPONENT_DEV_DESCRIPTION "painting engine: development files
 The C header, the CMake package (find_package(paloran)) and the
 pkg-config file of the paloran painting engine.")
set(CPACK_DEBIAN_DEV_PACKAGE_NAME libpaloran-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)

set(CPACK_COMPONENT_TOOLS_DEPENDS runtime)
set(CPACK_COMPONENT_TOOLS_DESCRIPTION "painting engine: command-line host
 paloran paints the demo picture, replays paint scripts and converts, draws
 on, fills, transforms and filters pictures through the engine's exports.")
set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME paloran-tools)
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION graphics)

include(CPack)
