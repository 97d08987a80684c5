# Packages built by CPack (`cpack` in the build directory), by platform.
#
# Windows: dravonix-VERSION-win64.zip (win32 for a 32-bit build), a folder
# with the two programs, the schema, the examples and README-windows.txt.
#
# Linux, Debian packages:
#   dravonix      the two commands, their manual pages, the schema and examples
#   dravonix-dev  the static library, its headers and the CMake package config
# The run-time dependencies of dravonix (libxml2, the C and C++ libraries) are
# found by dpkg-shlibdeps from the executables themselves.
set(CPACK_PACKAGE_NAME dravonix)
set(CPACK_PACKAGE_VENDOR "dravonix developers")
set(CPACK_PACKAGE_CONTACT "dravonix developers <dravonix@localhost>")

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CPACK_SYSTEM_NAME win64)
  else()
    set(CPACK_SYSTEM_NAME win32)
  endif()
  # The tools component alone, in one folder named like the zip, with the
  # symbols stripped from the programs.
  set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
  set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
  set(CPACK_COMPONENTS_ALL tools)
  set(CPACK_ARCHIVE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})
  set(CPACK_STRIP_FILES ON)
  include(CPack)
  return()
endif()

set(CPACK_GENERATOR DEB)
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
and writes it again in normal form; dravonix-check reports what reading a\n\
keyboard file drops or changes; dravonix-render draws a keyboard as an\n\
SVG picture. Includes the XML Schema of the format.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME dravonix-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "libxml2-dev (>= 2.9)")
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION
    "Static library and CMake package of the dravonix keyboard converter\n\
The keyboard model, the legacy .kbd reader and the XML persistence as one\n\
static library; find_package(dravonix) provides the target dravonix::core.")

include(CPack)
