# Installation layout and the Debian package.
#
# The programs read Database/ and "A page/" from their own folder, so everything is installed
# together under /opt/korvane; links in /usr/bin start the programs from the PATH.

# Paths are relative to the package root ("/" in the .deb).
set(KORVANE_INSTALL_DIR opt/korvane)

install(TARGETS korvane korvane-cli RUNTIME DESTINATION ${KORVANE_INSTALL_DIR})
install(FILES ${KORVANE_HOME}/Database/JhxlDlxlss.db ${KORVANE_HOME}/Database/Byaqi-Muxie.db
        DESTINATION ${KORVANE_INSTALL_DIR}/Database)
install(FILES "${PROJECT_SOURCE_DIR}/resources/A page/Software.txt"
        DESTINATION "${KORVANE_INSTALL_DIR}/A page")
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/korvane.desktop
        DESTINATION usr/share/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/korvane.png
        DESTINATION usr/share/icons/hicolor/256x256/apps)
foreach(program korvane korvane-cli)
  install(CODE "
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/usr/bin\")
    file(CREATE_LINK ../../${KORVANE_INSTALL_DIR}/${program}
         \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/usr/bin/${program}\" SYMBOLIC)")
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Korvane developers <korvane@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "低压配电线路计算 — LV line voltage loss, short-circuit and protection calculator")
set(CPACK_PACKAGE_DESCRIPTION
    "Korvane computes the voltage loss of 220/380 V street-lighting and distribution lines, the\n short-circuit currents at the line end and the verification of the line against its\n protection, and writes calculation books as Word documents.")
set(CPACK_PACKAGING_INSTALL_PREFIX /)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6sql6 (>= 6.4), libqt6sql6-sqlite (>= 6.4), qt6-qpa-plugins, libzip4, libstdc++6, fonts-wqy-microhei | fonts-noto-cjk")
include(CPack)
