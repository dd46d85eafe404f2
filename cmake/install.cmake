# What `cmake --install` lays out, and the Debian package CPack makes of it (scripts/package.sh).
include(GNUInstallDirs)
set(ORVEX_DOC_DIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/orvex")

install(TARGETS orvex orvex-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The mode icons in the data folder, the manuals with the documentation: the program looks in both when the
# start-up directory has none (platform/data_files.h).
install(FILES ${ORVEX_MODE_ICONS} DESTINATION ${CMAKE_INSTALL_DATADIR}/orvex)
install(FILES ${ORVEX_MANUAL_PDFS} DESTINATION ${ORVEX_DOC_DIR})
install(DIRECTORY examples/ DESTINATION ${ORVEX_DOC_DIR}/examples)
install(FILES resources/orvex.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${ORVEX_ICON_THEME}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Orvex developers <orvex@localhost>" CACHE STRING "Maintainer of the package")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Takes a planned series of photographs with a Canon EOS camera")
set(CPACK_PACKAGE_DESCRIPTION
    "Orvex follows a tab-separated script to take photographs with a DSLR, unattended and to the second: \
delays without drift, times of day, bulb exposures, bursts through a shutter cable, mirror lock-up, and \
pictures named after the moment they were taken. orvex-cli checks and rehearses scripts on a virtual camera.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# The libraries the programs link decide the dependencies (dpkg-shlibdeps); opening the manual and the
# picture folder goes through the desktop's own programs; Qt's own dialogs speak French with Qt's translations.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-translations-l10n")
include(CPack)
