# What `cmake --install` puts in place for the Linux program, and where. The daemons read two
# folders only from fixed places, so those stay there whatever the prefix: mate-screensaver runs
# screen savers only from xscreensaver's folders and its own (an entry naming a program elsewhere
# is listed and stays black), and xscreensaver reads settings pages only from
# /usr/share/xscreensaver/config. The desktop entry, the manual page and the systemd user unit
# follow the prefix (a relative folder is taken under it). The Debian package is staged from the
# same rules (cmake/make_deb.cmake).
include(GNUInstallDirs)
include(${PROJECT_SOURCE_DIR}/cmake/release_epoch.cmake)

set(TAVREL_HACKDIR /usr/libexec/xscreensaver CACHE STRING
  "Where the program goes, whatever the prefix: the folder xscreensaver and mate-screensaver run screen savers from")
set(TAVREL_CONFIGDIR /usr/share/xscreensaver/config CACHE STRING
  "Where the program's xscreensaver settings page goes, whatever the prefix")
set(TAVREL_USER_UNITDIR lib/systemd/user CACHE STRING
  "Where the systemd user unit goes (relative: under the prefix)")
# The desktop entry and the unit name the program by its folder, which the install prefix must
# not move.
if(NOT IS_ABSOLUTE "${TAVREL_HACKDIR}")
  message(FATAL_ERROR "TAVREL_HACKDIR must be an absolute folder (the desktop entry and the "
                      "user unit name the program there), not '${TAVREL_HACKDIR}'")
endif()

set(resources ${PROJECT_SOURCE_DIR}/resources)
set(installed ${CMAKE_BINARY_DIR}/installed)
set(HACKDIR ${TAVREL_HACKDIR})
configure_file(${resources}/tavrel.desktop.in ${installed}/tavrel.desktop @ONLY)
configure_file(${resources}/tavrel.service.in ${installed}/tavrel.service @ONLY)
# The manual page carries the release's day; a source without git (and without
# SOURCE_DATE_EPOCH) takes the day of the page's own file.
file(TIMESTAMP ${resources}/tavrel.6 page_time "%s" UTC)
tavrel_release_epoch(epoch ${PROJECT_SOURCE_DIR} ${page_time})
tavrel_configure_manual(${epoch} ${PROJECT_VERSION} ${PROJECT_SOURCE_DIR} ${installed}/tavrel.6)

install(TARGETS tavrel RUNTIME DESTINATION ${TAVREL_HACKDIR})
install(FILES ${resources}/tavrel.xml DESTINATION ${TAVREL_CONFIGDIR})
install(FILES ${installed}/tavrel.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications/screensavers)
install(FILES ${installed}/tavrel.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${installed}/tavrel.service DESTINATION ${TAVREL_USER_UNITDIR})
# What the Debian package is staged from, besides the program.
set(TAVREL_INSTALLED_FILES ${resources}/tavrel.xml ${installed}/tavrel.desktop
  ${installed}/tavrel.service ${installed}/tavrel.6)
