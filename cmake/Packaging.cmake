# SPDX-License-Identifier: GPL-3.0-or-later
# Desktop integration and the Debian packages.
#   cmake --install <build>            game, help, menu entry, icons, AppStream data, manuals
#   cd <build> && cpack -G DEB         halbeet_<version>_<arch>.deb (the game),
#                                      halbeet-tools_<version>_<arch>.deb (the simulator) and
#                                      halbeet-server_<version>_<arch>.deb (the table server)
# The programs' own install rules live with their targets (src/app, src/stats_window,
# tools/halbeet-sim, src/server), the help files' with the help (help/). Everything without a
# component belongs to the game.

set(HALBEET_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc)
set(HALBEET_PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)

install(FILES ${PROJECT_SOURCE_DIR}/packaging/halbeet.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT game)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/io.github.dovelarks.halbeet.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT game)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/assets/icons/hicolor/${size}x${size}/apps/halbeet.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps COMPONENT game)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/assets/icons/hicolor/scalable/apps/halbeet.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT game)

# Manual pages and the changelog go in compressed the way Debian wants them: gzip -9n (no
# name or time stamp, so the package builds the same twice).
find_program(HALBEET_GZIP gzip REQUIRED)
set(HALBEET_PACKAGING_FILES)
foreach(source man/halbeet.6 man/halbeet-sim.6 man/halbeet-server.6 debian/changelog)
  get_filename_component(name ${source} NAME)
  set(output ${HALBEET_PACKAGING_OUT}/${name}.gz)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${HALBEET_PACKAGING_OUT}
    COMMAND ${HALBEET_GZIP} -9n -c ${PROJECT_SOURCE_DIR}/packaging/${source} > ${output}
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/${source}
    VERBATIM)
  list(APPEND HALBEET_PACKAGING_FILES ${output})
endforeach()
add_custom_target(halbeet_packaging_files ALL DEPENDS ${HALBEET_PACKAGING_FILES})

install(FILES ${HALBEET_PACKAGING_OUT}/halbeet.6.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 COMPONENT game)
install(FILES ${HALBEET_PACKAGING_OUT}/halbeet-sim.6.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 COMPONENT tools)
install(FILES ${HALBEET_PACKAGING_OUT}/halbeet-server.6.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 COMPONENT server)
# The system service. Not enabled by the package: a server is started by whoever means to run
# one ("systemctl enable --now halbeet-server"), after choosing its address.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/halbeet-server.service
  DESTINATION lib/systemd/system COMPONENT server)
foreach(package_component halbeet:game halbeet-tools:tools halbeet-server:server)
  string(REPLACE ":" ";" pair ${package_component})
  list(GET pair 0 package)
  list(GET pair 1 component)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/copyright ${HALBEET_PACKAGING_OUT}/changelog.gz
    DESTINATION ${HALBEET_DOC_DIR}/${package} COMPONENT ${component})
endforeach()

set(CPACK_PACKAGE_NAME halbeet)
set(CPACK_PACKAGE_VENDOR "Dovelarks Games")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Dovelarks Games <halbeet@dovelarks.org>")
# No CPACK_PACKAGE_DESCRIPTION_SUMMARY: CPack would put it above every package's own summary.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

# One package per component: the game, and the simulator for those who study the players.
set(CPACK_COMPONENTS_ALL game tools server)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_GAME_PACKAGE_NAME halbeet)
set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME halbeet-tools)
set(CPACK_DEBIAN_SERVER_PACKAGE_NAME halbeet-server)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://dovelarks.org/halbeet/")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# CPack puts the summary on the Description line and indents these paragraphs itself.
set(CPACK_DEBIAN_GAME_DESCRIPTION
  "partnership trick-taking card game in English and Arabic
Halbeet is a card game for four players in two teams: you and your partner
against two opponents, all three played by the computer. The dealer's turned
card decides the trump suit, every player bids the tricks he alone will take,
and the first player to reach 41 points with a partner who is not below zero
wins for his team.

The whole interface exists in English and in Arabic (right to left), with a
help file in both languages, and the game keeps statistics of every deal and
game it scores.")
set(CPACK_DEBIAN_TOOLS_DESCRIPTION
  "simulator for the Halbeet card game's computer players
halbeet-sim plays whole games of Halbeet with the game's computer players in
all four seats, on the same engine, and prints a summary: deals, passed deals,
games won by each side and the speed. Runs can be repeated exactly from a
seed, traced deal by deal as JSON and checked card by card.

This package is for people who study or measure the computer players; the
game itself is in the package halbeet.")
set(CPACK_DEBIAN_SERVER_DESCRIPTION
  "table server for network games of Halbeet
halbeet-server holds tables of the Halbeet card game for players at other
computers, without a display: a player opens a table, his friends join it by
its code, and computer players take the chairs still empty. The server decides
every move, sends each player only what his seat may know, and limits what
every connection may send. It speaks WebSockets, over TLS when given a
certificate.

On a stop it keeps every table in progress and offers it again at the next
start. The package brings a systemd unit (not enabled) that runs the server
as a user of its own with its tables in /var/lib/halbeet-server.")
# The libraries the programs link (Qt, the C++ runtime) come from dpkg-shlibdeps; what the
# game loads at run time without linking is named here: the card faces, the font that shapes
# Arabic, Qt's platform plugins and SQLite driver, Qt's own translations (its standard texts in
# Arabic), and what the Help command opens its files with (xchm through xdg-open).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_GAME_PACKAGE_DEPENDS
  "kdegames-card-data-kf5, fonts-dejavu-core, qt6-qpa-plugins, libqt6sql6-sqlite, qt6-translations-l10n, xchm, xdg-utils")

include(CPack)
cpack_add_component(game DISPLAY_NAME "Halbeet" REQUIRED)
cpack_add_component(tools DISPLAY_NAME "Halbeet simulator")
cpack_add_component(server DISPLAY_NAME "Halbeet table server")
