# Install rules and the Debian package.
#
# `cmake --install` puts the programs, the editor library, the desktop entry,
# icons, manual pages, bash completion, the logging service, the udev rule and
# the examples in place; `cpack -G DEB` in a built build folder makes the
# package varnak_VERSION_ARCH.deb from the same rules (scripts/package.sh does
# everything from a fresh clone). The version is the project's version, the
# same that the programs print.

include(GNUInstallDirs)

set(VARNAK_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(VARNAK_PACKAGING_BINARY_DIR ${PROJECT_BINARY_DIR}/packaging)

# The editor library belongs to the programs alone: it lives in a folder of
# its own, where the binding looks after the program's folder and the library
# path. The package's copy is always /usr/lib/varnak.
set(VARNAK_LIBRARY_INSTALL_DIR lib/varnak)
if(TARGET app)
  target_compile_definitions(app
    PRIVATE VARNAK_INSTALLED_LIBRARY_DIR="${CMAKE_INSTALL_PREFIX}/${VARNAK_LIBRARY_INSTALL_DIR}")
endif()

# System folders that are not under the prefix (Debian 12 keeps units and
# rules in /lib).
set(VARNAK_SYSTEMD_UNIT_DIR /lib/systemd/system CACHE PATH "Where the logging service unit goes")
set(VARNAK_UDEV_RULES_DIR /lib/udev/rules.d CACHE PATH "Where the serial-adapter udev rule goes")
set(VARNAK_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/varnak)

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Programs and the library.
foreach(program varnak varnak-cli varnak-ecu-sim brelith-edit)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
if(TARGET Brelith)
  install(TARGETS Brelith LIBRARY DESTINATION ${VARNAK_LIBRARY_INSTALL_DIR} NAMELINK_SKIP)
endif()

# Manual pages and the changelog, compressed as Debian wants them (gzip -9n:
# no name or time stamp, so the package is reproducible). They are made when
# the build is configured, so that installing never depends on which targets
# were built; a changed page configures again.
set(VARNAK_MAN_PAGES varnak-cli)
if(VARNAK_WITH_GUI)
  list(APPEND VARNAK_MAN_PAGES varnak brelith-edit)
endif()
list(APPEND VARNAK_MAN_PAGES varnak-ecu-sim)
file(MAKE_DIRECTORY ${VARNAK_PACKAGING_BINARY_DIR}/man)
function(varnak_gzip_file source target)
  execute_process(COMMAND gzip -9n -c ${source}
                  OUTPUT_FILE ${target}
                  RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "gzip failed on ${source}")
  endif()
endfunction()
foreach(page IN LISTS VARNAK_MAN_PAGES)
  set(source ${VARNAK_PACKAGING_DIR}/man/${page}.1)
  set(configured ${VARNAK_PACKAGING_BINARY_DIR}/man/${page}.1)
  configure_file(${source} ${configured} @ONLY)
  varnak_gzip_file(${configured} ${configured}.gz)
  install(FILES ${configured}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
configure_file(${VARNAK_PACKAGING_DIR}/doc/changelog ${VARNAK_PACKAGING_BINARY_DIR}/changelog @ONLY)
varnak_gzip_file(${VARNAK_PACKAGING_BINARY_DIR}/changelog ${VARNAK_PACKAGING_BINARY_DIR}/changelog.gz)

# Desktop integration: the window opens definitions (and logs, in the
# analysis view) from a file manager.
if(TARGET varnak)
  install(FILES ${VARNAK_PACKAGING_DIR}/desktop/varnak.desktop
                ${VARNAK_PACKAGING_DIR}/desktop/varnak-log.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${VARNAK_PACKAGING_DIR}/icons/varnak.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  # The PNG sizes are rendered from the SVG once and kept in the tree:
  #   for n in 16 32 48 64 128 256; do rsvg-convert -w $n -h $n varnak.svg -o varnak-$n.png; done
  foreach(size 16 32 48 64 128 256)
    install(FILES ${VARNAK_PACKAGING_DIR}/icons/varnak-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME varnak.png)
  endforeach()
endif()
install(FILES ${VARNAK_PACKAGING_DIR}/desktop/varnak-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME varnak.xml)

# The command line, the unattended logger and the cable.
install(FILES ${VARNAK_PACKAGING_DIR}/completion/varnak-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${VARNAK_PACKAGING_DIR}/systemd/varnak-logger@.service DESTINATION ${VARNAK_SYSTEMD_UNIT_DIR})
install(FILES ${VARNAK_PACKAGING_DIR}/udev/60-varnak-aldl.rules DESTINATION ${VARNAK_UDEV_RULES_DIR})

# Documents and examples.
install(FILES ${VARNAK_PACKAGING_DIR}/doc/copyright
              ${VARNAK_PACKAGING_BINARY_DIR}/changelog.gz
              ${PROJECT_SOURCE_DIR}/README.md
              ${PROJECT_SOURCE_DIR}/docs/connecting-a-car.md
        DESTINATION ${VARNAK_DOC_DIR})
install(FILES ${VARNAK_PACKAGING_DIR}/doc/logger.conf
              ${PROJECT_SOURCE_DIR}/examples/demo-ecu.adx
              ${PROJECT_SOURCE_DIR}/examples/demo-ecu.scenario
              ${PROJECT_SOURCE_DIR}/examples/demo-ecu-layout.md
              ${PROJECT_SOURCE_DIR}/examples/logs/demo-ecu-drive.xdl
        DESTINATION ${VARNAK_DOC_DIR}/examples)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/legacy/
        DESTINATION ${VARNAK_DOC_DIR}/examples/legacy)

# The package.
set(CPACK_PACKAGE_NAME varnak)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Varnak developers")
set(CPACK_PACKAGE_CONTACT "Varnak developers <varnak@example.org>" CACHE STRING "Maintainer of the package")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "monitor and log engine control unit data on the ALDL link")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# dpkg-shlibdeps finds the editor library in the package's private folder.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS /usr/${VARNAK_LIBRARY_INSTALL_DIR})
set(VARNAK_PACKAGE_HOMEPAGE "" CACHE STRING "Homepage field of the package (none when empty)")
if(VARNAK_PACKAGE_HOMEPAGE)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${VARNAK_PACKAGE_HOMEPAGE})
endif()
# The extended description (CPack puts the summary in front and indents it).
set(CPACK_PACKAGE_DESCRIPTION "Varnak shows the data stream of a car's engine control unit on the ALDL
serial diagnostic link while the engine runs: gauges, item lists,
histograms and strip charts, decoded by a definition file (ADX) that
describes the ECU's commands and reply layout. Packets are recorded into
datalogs (XDL) for replay and whole-drive analysis.

The package holds the window (varnak), the Brelith definition editor
(brelith-edit), the command-line tool (varnak-cli) with an unattended
logging service, a simulated ECU (varnak-ecu-sim) for trying it without a
car, and a udev rule that names common USB-serial adapters /dev/aldl.")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "mosquitto")
# Maintainer scripts of our own: they reload the udev rules, and they keep
# CPack from adding ldconfig calls for a library in a private folder.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${VARNAK_PACKAGING_DIR}/debian/postinst ${VARNAK_PACKAGING_DIR}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
