# What `cmake --install` lays out, and the Debian package CPack makes of it (scripts/package.sh).
include(GNUInstallDirs)
set(ORVEX_DOC_DIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/orvex")

install(TARGETS orvex orvex-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The mode icons and the manuals that Help opens lie in the data folder, where the program looks when the
# start-up directory has none (platform/data_files.h). A system may leave /usr/share/doc out (dpkg's
# path-exclude, as minimal and container images do), so nothing the program reads lies only there; the
# documentation folder links to the manuals.
install(FILES ${ORVEX_MODE_ICONS} ${ORVEX_MANUAL_PDFS} DESTINATION ${CMAKE_INSTALL_DATADIR}/orvex)
file(RELATIVE_PATH ORVEX_DOC_TO_DATA "/${ORVEX_DOC_DIR}" "/${CMAKE_INSTALL_DATADIR}/orvex")
file(MAKE_DIRECTORY "${CMAKE_BINARY_DIR}/doc-links")
foreach(pdf IN LISTS ORVEX_MANUAL_PDFS)
  get_filename_component(name "${pdf}" NAME)
  file(CREATE_LINK "${ORVEX_DOC_TO_DATA}/${name}" "${CMAKE_BINARY_DIR}/doc-links/${name}" SYMBOLIC)
  install(FILES "${CMAKE_BINARY_DIR}/doc-links/${name}" DESTINATION ${ORVEX_DOC_DIR})
endforeach()
install(FILES ${ORVEX_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(DIRECTORY examples/ DESTINATION ${ORVEX_DOC_DIR}/examples)
install(FILES resources/orvex.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${ORVEX_ICON_THEME}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Orvex developers <orvex@orvex.invalid>" CACHE STRING "Maintainer of the package")

# What a Debian package carries beside its files: who may copy it, and its changes, compressed as Debian
# wants them.
configure_file(cmake/debian/changelog.in "${CMAKE_BINARY_DIR}/debian/changelog" @ONLY)
add_custom_command(OUTPUT "${CMAKE_BINARY_DIR}/debian/changelog.gz"
  COMMAND sh -c "gzip -9n -c changelog > changelog.gz" WORKING_DIRECTORY "${CMAKE_BINARY_DIR}/debian"
  DEPENDS "${CMAKE_BINARY_DIR}/debian/changelog" VERBATIM)
add_custom_target(orvex_debian_changelog ALL DEPENDS "${CMAKE_BINARY_DIR}/debian/changelog.gz")
install(FILES cmake/debian/copyright "${CMAKE_BINARY_DIR}/debian/changelog.gz" DESTINATION ${ORVEX_DOC_DIR})

set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Takes a planned series of photographs with a Canon EOS camera")
# Debian wants the description in lines of at most 80 characters, a space before each.
set(CPACK_PACKAGE_DESCRIPTION
    "Orvex follows a tab-separated script to take photographs with a DSLR,\n\
unattended and to the second: delays without drift, times of day, bulb\n\
exposures, bursts through a shutter cable, mirror lock-up, and pictures named\n\
after the moment they were taken. orvex-cli checks and rehearses scripts on a\n\
virtual camera.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# The libraries the programs link decide the dependencies (dpkg-shlibdeps); opening the manual and the
# picture folder goes through the desktop's own programs; Qt's own dialogs speak French with Qt's translations.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-translations-l10n")
include(CPack)
