# Debian packages built by CPack (`cpack -G DEB` in the build directory):
#   dravonix      the two commands, their manual pages, the schema and examples
#   dravonix-dev  the static library, its headers and the CMake package config
# The run-time dependencies of dravonix (libxml2, the C and C++ libraries) are
# found by dpkg-shlibdeps from the executables themselves.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dravonix)
set(CPACK_PACKAGE_VENDOR "dravonix developers")
set(CPACK_PACKAGE_CONTACT "dravonix developers <dravonix@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

# Each description starts with its one-line summary.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL tools development)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME dravonix)
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_TOOLS_DESCRIPTION
    "Converter of legacy .kbd on-screen keyboard definitions to XML keyboard files\n\
dravonix reads a keyboard from the legacy line-oriented .kbd text format and\n\
writes it as an XML keyboard file; dravonix-resave reads an XML keyboard file\n\
and writes it again in normal form. Includes the XML Schema of the format.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME dravonix-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "libxml2-dev (>= 2.9)")
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION
    "Static library and CMake package of the dravonix keyboard converter\n\
The keyboard model, the legacy .kbd reader and the XML persistence as one\n\
static library; find_package(dravonix) provides the target dravonix::core.")

include(CPack)
