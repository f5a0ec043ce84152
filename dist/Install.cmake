# What `cmake --install` puts on a system and `make package` puts in a .deb:
# the program and the simulated instrument, the desktop entry, the icon, the
# AppStream metadata, the manual page and the licence.
set(ZOLT7_SCREENSHOT_URL "https://zolt7.org/docs" CACHE STRING
    "Web folder where the pictures of docs/ are published (AppStream screenshots)")
set(_pkg velmoraview)
set(_dist ${CMAKE_SOURCE_DIR}/dist)
set(_out ${CMAKE_BINARY_DIR}/dist)

install(TARGETS VelmoraView zolt7-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${_dist}/${ZOLT7_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${_dist}/${ZOLT7_APP_ID}.metainfo.xml.in ${_out}/${ZOLT7_APP_ID}.metainfo.xml @ONLY)
install(FILES ${_out}/${ZOLT7_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${_dist}/icons/${ZOLT7_APP_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${_dist}/icons/${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${ZOLT7_APP_ID}.png)
endforeach()

# Manual page and changelog compressed as Debian wants them (gzip -n: no
# time stamp, so the package is reproducible).
set(_pages)
foreach(page VelmoraView zolt7-sim)
  configure_file(${_dist}/${page}.1 ${_out}/${page}.1 @ONLY)
  add_custom_command(OUTPUT ${_out}/${page}.1.gz
    COMMAND gzip -9n -c ${_out}/${page}.1 > ${_out}/${page}.1.gz
    DEPENDS ${_out}/${page}.1)
  list(APPEND _pages ${_out}/${page}.1.gz)
endforeach()
# A native package's changelog.gz is a Debian changelog: a release adds an
# entry to dist/changelog as well as to CHANGELOG.md.
add_custom_command(OUTPUT ${_out}/changelog.gz
  COMMAND gzip -9n -c ${_dist}/changelog > ${_out}/changelog.gz
  DEPENDS ${_dist}/changelog)
add_custom_target(dist_docs ALL DEPENDS ${_pages} ${_out}/changelog.gz)
install(FILES ${_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${_dist}/copyright ${_out}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${_pkg})

# make package: a .deb; its dependencies come from dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${_pkg})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "ZOLT7 companion")
set(CPACK_PACKAGE_CONTACT "ZOLT7 companion maintainers <maintainers@zolt7.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "companion program for the ZOLT7 breath-alcohol tester")
# The synopsis above, then this text (CPack indents it and marks the empty line).
set(CPACK_PACKAGE_DESCRIPTION "VelmoraView connects to the ZOLT7 hand-held breath-alcohol tester over its
USB serial port, runs breath tests with a camera photograph of the subject,
keeps the test log sealed in a hash-chained ledger, prints reports and
exports archives, workbooks and CSV files.

The simulated instrument zolt7-sim is included, for trying the program
without the device.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own dialog buttons in Korean, when the windows are.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)

# The package installed into a scratch root: --version, --help and an audit
# of an empty folder from there, and the checkers on the .deb and its files.
if(NOT ZOLT7_SANITIZE)
  add_test(NAME package_deb COMMAND ${CMAKE_SOURCE_DIR}/tests/package/test-deb ${CMAKE_BINARY_DIR} ${PROJECT_VERSION})
  set_tests_properties(package_deb PROPERTIES TIMEOUT 300 RUN_SERIAL ON)
endif()
