# Desktop integration and the Debian package.
#   cmake --install <build>            binary, help, menu entry, icons, AppStream data
#   cd <build> && cpack -G DEB         halbeet_<version>_<arch>.deb
# The binary's own install rule lives with its target (src/app), the help files' with
# the help (help/).

install(FILES ${PROJECT_SOURCE_DIR}/packaging/halbeet.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/io.github.dovelarks.halbeet.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/assets/icons/hicolor/${size}x${size}/apps/halbeet.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/assets/icons/hicolor/scalable/apps/halbeet.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_PACKAGE_NAME halbeet)
set(CPACK_PACKAGE_VENDOR Dovelarks)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Dovelarks <halbeet@dovelarks.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "partnership trick-taking card game in English and Arabic")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# CPack puts the summary on the Description line and indents these paragraphs itself.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Halbeet is a card game for four players in two teams: you and your partner
against two opponents, all three played by the computer. The dealer's turned
card decides the trump suit, every player bids the tricks he alone will take,
and the first player to reach 41 points with a partner who is not below zero
wins for his team.

The whole interface exists in English and in Arabic (right to left), with a
help file in both languages.")
# The libraries the binary links (Qt, the C++ runtime) come from dpkg-shlibdeps; what
# it loads at run time without linking is named here: the card faces, the font that
# shapes Arabic, and Qt's platform plugins.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "kdegames-card-data-kf5, fonts-dejavu-core, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xchm, xdg-utils")

include(CPack)
