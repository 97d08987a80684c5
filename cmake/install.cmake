# Install layout and CMake package of dravonix.
#
#   bin/                         dravonix, dravonix-resave,         (tools)
#                                dravonix-check, dravonix-render,
#                                dravonix-batch
#   share/man/man1/              their manual pages                 (tools)
#   share/dravonix/              keyboard.xsd, examples/*.kbd       (tools)
#   lib/libdravonix_core.a       the converter's library parts      (development)
#   include/dravonix/...         its headers, as platform/, xml/... (development)
#   lib/cmake/dravonix/          package config: find_package(dravonix)
#   share/dravonix/examples/consumer/  a project that uses the package
#
# On Windows the tools go side by side into one folder to unpack anywhere:
# dravonix.exe, dravonix-resave.exe, dravonix-check.exe, dravonix-render.exe,
# dravonix-batch.exe, keyboard.xsd, examples\*.kbd, README-windows.txt and
# the manual pages rendered as HTML in manual\ (groff's html device).
#
# The components let the package hold the tools alone while a plain
# `cmake --install` installs everything.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(DRAVONIX_INCLUDE_DIR ${CMAKE_INSTALL_INCLUDEDIR}/dravonix)
set(DRAVONIX_CONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/dravonix)
if(WIN32)
  set(DRAVONIX_TOOLS_DIR .)
  set(DRAVONIX_DATA_DIR .)
  configure_file(man/README-windows.txt ${PROJECT_BINARY_DIR}/README-windows.txt @ONLY
                 NEWLINE_STYLE CRLF)
  install(FILES ${PROJECT_BINARY_DIR}/README-windows.txt DESTINATION . COMPONENT tools)
  # The manual pages as HTML, which any browser shows, in manual\.
  find_program(DRAVONIX_GROFF groff)
  if(DRAVONIX_GROFF)
    set(pages)
    foreach(page dravonix dravonix-resave dravonix-check dravonix-render dravonix-batch)
      set(html ${PROJECT_BINARY_DIR}/manual/${page}.html)
      add_custom_command(
        OUTPUT ${html}
        COMMAND ${CMAKE_COMMAND} -DGROFF=${DRAVONIX_GROFF} -DINPUT=${PROJECT_SOURCE_DIR}/man/${page}.1
                -DOUTPUT=${html} -P ${PROJECT_SOURCE_DIR}/cmake/man_html.cmake
        DEPENDS ${PROJECT_SOURCE_DIR}/man/${page}.1 ${PROJECT_SOURCE_DIR}/cmake/man_html.cmake
        COMMENT "Rendering the manual page ${page}(1) as HTML"
        VERBATIM)
      list(APPEND pages ${html})
    endforeach()
    add_custom_target(dravonix_manual_html ALL DEPENDS ${pages})
    install(FILES ${pages} DESTINATION manual COMPONENT tools)
  else()
    message(WARNING "groff was not found: the zip is made without the manual pages as HTML")
  endif()
else()
  set(DRAVONIX_TOOLS_DIR ${CMAKE_INSTALL_BINDIR})
  set(DRAVONIX_DATA_DIR ${CMAKE_INSTALL_DATADIR}/dravonix)
  # The pages name the schema and the examples where a Debian package puts
  # them; an installed page names where its install put them, under the
  # prefix given when installing (which may differ from the configured one).
  foreach(page dravonix.1 dravonix-resave.1 dravonix-check.1 dravonix-render.1
               dravonix-batch.1)
    install(CODE "
      file(READ \"${PROJECT_SOURCE_DIR}/man/${page}\" text)
      string(REPLACE \"/usr/share/dravonix\"
             \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/dravonix\" text \"\${text}\")
      set(page \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_MANDIR}/man1/${page}\")
      message(STATUS \"Installing: \${page}\")
      file(WRITE \"\${page}\" \"\${text}\")"
      COMPONENT tools)
  endforeach()
endif()

install(TARGETS dravonix dravonix-resave dravonix-check dravonix-render dravonix-batch
        RUNTIME DESTINATION ${DRAVONIX_TOOLS_DIR}
        COMPONENT tools)
install(FILES schema/keyboard.xsd DESTINATION ${DRAVONIX_DATA_DIR} COMPONENT tools)
file(GLOB DRAVONIX_EXAMPLES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/examples/*.kbd)
install(FILES ${DRAVONIX_EXAMPLES} DESTINATION ${DRAVONIX_DATA_DIR}/examples COMPONENT tools)

# The library keeps its source-tree include paths ("kbd/kbd_reader.h"), so the
# headers go below include/dravonix with their folders. Test helpers stay out.
set_target_properties(dravonix_core PROPERTIES EXPORT_NAME core)
install(TARGETS dravonix_core EXPORT dravonix-targets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development)
foreach(folder platform dom xml model kbd check)
  file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.h)
  list(FILTER headers EXCLUDE REGEX "test[^/]*\\.h$")
  install(FILES ${headers} DESTINATION ${DRAVONIX_INCLUDE_DIR}/${folder} COMPONENT development)
endforeach()

install(EXPORT dravonix-targets NAMESPACE dravonix:: DESTINATION ${DRAVONIX_CONFIG_DIR}
        COMPONENT development)
configure_package_config_file(cmake/dravonix-config.cmake.in
  ${PROJECT_BINARY_DIR}/dravonix-config.cmake INSTALL_DESTINATION ${DRAVONIX_CONFIG_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/dravonix-config-version.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/dravonix-config.cmake
              ${PROJECT_BINARY_DIR}/dravonix-config-version.cmake
        DESTINATION ${DRAVONIX_CONFIG_DIR} COMPONENT development)
install(DIRECTORY examples/consumer DESTINATION ${DRAVONIX_DATA_DIR}/examples
        COMPONENT development)
