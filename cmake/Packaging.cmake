# Installation layout and the Debian package.
#
# The programs go to PREFIX/bin; the folders they read (Database/, "A page/") to
# PREFIX/share/korvane, where an installed program looks for them (see app/program_home.h). The
# package is built with the prefix /usr, as Debian lays out its programs and their data.
include(GNUInstallDirs)

set(KORVANE_INSTALL_DATA_DIR ${CMAKE_INSTALL_DATADIR}/korvane)
set(KORVANE_INSTALL_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/korvane)

install(TARGETS korvane korvane-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${KORVANE_HOME}/Database/JhxlDlxlss.db ${KORVANE_HOME}/Database/Byaqi-Muxie.db
        DESTINATION ${KORVANE_INSTALL_DATA_DIR}/Database)
install(FILES "${PROJECT_SOURCE_DIR}/resources/A page/Software.txt"
        DESTINATION "${KORVANE_INSTALL_DATA_DIR}/A page")
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/korvane.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The calculation files (*.korvane) as a shared-mime-info type, which the desktop entry opens;
# dpkg's trigger of shared-mime-info rebuilds the MIME database when the package is installed.
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/korvane.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/korvane.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)

# The manual pages and the changelog are shipped compressed, without a time stamp in the gzip
# header, so that two builds of the same source give the same package.
find_program(KORVANE_GZIP gzip REQUIRED)
set(KORVANE_GZIPPED_DIR ${CMAKE_BINARY_DIR}/package)
set(KORVANE_GZIPPED)
foreach(source docs/man/korvane.1 docs/man/korvane-cli.1 resources/debian/changelog)
  get_filename_component(name ${source} NAME)
  set(copy ${KORVANE_GZIPPED_DIR}/${name})
  add_custom_command(
    OUTPUT ${copy}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/${source} ${copy}
    COMMAND ${KORVANE_GZIP} -9nf ${copy}
    DEPENDS ${PROJECT_SOURCE_DIR}/${source}
    VERBATIM)
  list(APPEND KORVANE_GZIPPED ${copy}.gz)
endforeach()
add_custom_target(korvane_package_documents ALL DEPENDS ${KORVANE_GZIPPED})
install(FILES ${KORVANE_GZIPPED_DIR}/korvane.1.gz ${KORVANE_GZIPPED_DIR}/korvane-cli.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${KORVANE_GZIPPED_DIR}/changelog.gz ${PROJECT_SOURCE_DIR}/resources/debian/copyright
        DESTINATION ${KORVANE_INSTALL_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Korvane developers <korvane@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "低压配电线路计算 — LV line voltage loss, short-circuit and protection calculator")
set(CPACK_PACKAGE_DESCRIPTION
    "Korvane computes the voltage loss of 220/380 V street-lighting and\n distribution lines, the short-circuit currents at the line end and the\n verification of the line against its protection, and writes calculation\n books as Word documents.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
# The libraries the programs link (libc, libstdc++, Qt, libzip) are found by dpkg-shlibdeps; what
# is only loaded at run time is named here: the SQLite driver, the platform plugins, a CJK font and
# Qt's own Chinese texts (buttons and file dialogs).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6sql6-sqlite (>= 6.4), qt6-qpa-plugins, qt6-translations-l10n, fonts-wqy-microhei | fonts-noto-cjk")
include(CPack)
