# The Debian package of the Linux program, tavrel_<version>_amd64.deb, built by
# cmake/make_deb.cmake from this build's install rules (cmake/TavrelInstall.cmake) and its release
# program. make dist puts it into the release.
set(TAVREL_DEB ${CMAKE_BINARY_DIR}/tavrel_${PROJECT_VERSION}_amd64.deb)
set(resources ${CMAKE_SOURCE_DIR}/resources)
add_custom_command(OUTPUT ${TAVREL_DEB}
  COMMAND ${CMAKE_COMMAND} -D BUILD_DIR=${CMAKE_BINARY_DIR} -D VERSION=${PROJECT_VERSION}
          -D DEB=${TAVREL_DEB} -D SOURCE_DIR=${CMAKE_SOURCE_DIR} -D STRIP=${CMAKE_STRIP}
          -P ${CMAKE_SOURCE_DIR}/cmake/make_deb.cmake
  DEPENDS tavrel ${CMAKE_SOURCE_DIR}/cmake/make_deb.cmake ${CMAKE_SOURCE_DIR}/cmake/release_epoch.cmake
          ${TAVREL_INSTALLED_FILES} ${CMAKE_BINARY_DIR}/linux/cmake_install.cmake ${resources}/tavrel.6
          ${resources}/debian/control.in ${resources}/debian/copyright ${resources}/debian/changelog
  VERBATIM)
add_custom_target(tavrel_deb ALL DEPENDS ${TAVREL_DEB})
