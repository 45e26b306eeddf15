# Builds the Debian package of the Linux program with dpkg-deb from what the native build's install
# rules (cmake/TavrelInstall.cmake) put under the prefix /usr: the program where xscreensaver
# looks for it, its settings page, the desktop entry by which MATE's and Xfce's screen savers find
# it, its manual page and its systemd user unit; then the copyright and the changelog. The program
# is stripped as Debian strips, the manual page and the changelog are compressed as Debian
# compresses them. Every file carries the release's time and fixed permissions, owned by root;
# dpkg-deb puts them in name order. Depends comes from dpkg-shlibdeps.
#   cmake -D BUILD_DIR=<native build> -D VERSION=<x.y.z> -D DEB=<output> -D SOURCE_DIR=<source>
#         [-D PROGRAM=<tavrel>] [-D STRIP=<strip>] -P make_deb.cmake
# PROGRAM, when given, is packaged in place of the build's own program (the same-bytes test gives
# a copy with another time); without BUILD_DIR, the build is the one at the top of which PROGRAM
# sits (make dist gives only the program).
if(NOT BUILD_DIR)
  get_filename_component(BUILD_DIR ${PROGRAM} DIRECTORY)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/release_epoch.cmake)
tavrel_release_epoch(epoch ${SOURCE_DIR})
set(ENV{SOURCE_DATE_EPOCH} ${epoch})
if(NOT STRIP)
  set(STRIP strip)
endif()
set(resources ${SOURCE_DIR}/resources)
set(stage ${DEB}.stage)
# dpkg-shlibdeps looks for the program in debian/<package>, where debhelper would stage it.
set(root ${stage}/debian/tavrel)
set(doc ${root}/usr/share/doc/tavrel)
file(REMOVE_RECURSE ${stage})
execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${root}
                        ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr
  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
set(program ${root}/usr/libexec/xscreensaver/tavrel)
set(page ${root}/usr/share/man/man6/tavrel.6)
if(NOT EXISTS ${program} OR NOT EXISTS ${root}/usr/share/xscreensaver/config/tavrel.xml)
  message(FATAL_ERROR "${BUILD_DIR} installs the program or its settings page away from "
                      "xscreensaver's folders (TAVREL_HACKDIR, TAVREL_CONFIGDIR)")
endif()
if(NOT PROGRAM)
  set(PROGRAM ${program})
endif()
# As Debian strips its programs: no symbols beyond those needed, no compiler notes.
execute_process(COMMAND ${STRIP} --remove-section=.comment --remove-section=.note --strip-unneeded
                        -o ${program}.stripped ${PROGRAM}
  COMMAND_ERROR_IS_FATAL ANY)
file(RENAME ${program}.stripped ${program})
file(MAKE_DIRECTORY ${root}/DEBIAN ${doc})
file(COPY_FILE ${resources}/debian/copyright ${doc}/copyright)

# The manual page's date is this release's, whenever the build was configured.
tavrel_configure_manual(${epoch} ${VERSION} ${SOURCE_DIR} ${page})
foreach(pair IN ITEMS "${page}|${page}.gz" "${resources}/debian/changelog|${doc}/changelog.gz")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 from)
  list(GET pair 1 to)
  execute_process(COMMAND gzip -9 --no-name --stdout ${from} OUTPUT_FILE ${to}
    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
file(REMOVE ${page})

# dpkg-shlibdeps reads the package's name from a control file of the source's form.
file(WRITE ${stage}/debian/control "Source: tavrel\n\nPackage: tavrel\nArchitecture: amd64\n")
execute_process(COMMAND dpkg-shlibdeps -O -e debian/tavrel/usr/libexec/xscreensaver/tavrel
  WORKING_DIRECTORY ${stage}
  OUTPUT_VARIABLE substitutions COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCH "shlibs:Depends=([^\n]*)" _ "${substitutions}")
set(TAVREL_DEPENDS ${CMAKE_MATCH_1})

file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${root} ${root}/usr/*)
list(SORT files)
set(sums "")
set(kilobytes 0)
foreach(path IN LISTS files)
  file(MD5 ${root}/${path} md5)
  string(APPEND sums "${md5}  ${path}\n")
  file(SIZE ${root}/${path} size)
  math(EXPR kilobytes "${kilobytes} + (${size} + 1023) / 1024")
  file(CHMOD ${root}/${path} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endforeach()
file(CHMOD ${program} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                  WORLD_READ WORLD_EXECUTE)
file(WRITE ${root}/DEBIAN/md5sums "${sums}")
set(TAVREL_INSTALLED_SIZE ${kilobytes})
set(TAVREL_VERSION ${VERSION})
configure_file(${resources}/debian/control.in ${root}/DEBIAN/control @ONLY)
file(CHMOD ${root}/DEBIAN/md5sums ${root}/DEBIAN/control
     PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
execute_process(COMMAND find ${root} -type d -exec chmod 0755 {} + COMMAND_ERROR_IS_FATAL ANY)
tavrel_touch_to_epoch(${epoch} ${root})

execute_process(COMMAND dpkg-deb --root-owner-group -Zxz --build ${root} ${DEB}
  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE ${stage})
