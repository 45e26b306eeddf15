# Fills DIST_DIR afresh with the release: tavrel.scr, its MSI, the Debian package of the Linux
# program (when PROGRAM is given) and their SHA256SUMS, in the format that
# `sha256sum --check SHA256SUMS` reads. With SIGN_PKCS12 and SIGN_PASSWORD_FILE it signs
# tavrel.scr before the MSI packages it, and then the MSI (Authenticode, SHA-256), with an
# RFC 3161 time stamp from SIGN_TIMESTAMP_URL when that is given. The password goes to
# osslsigncode as the file that holds it, never on a command line.
#   cmake -D DIST_DIR=... -D SOURCE_DIR=... -D VERSION=... -D SCR=... [-D PROGRAM=...]
#         [-D SIGN_PKCS12=... -D SIGN_PASSWORD_FILE=... [-D SIGN_TIMESTAMP_URL=...]]
#         -P make_dist.cmake
include(${CMAKE_CURRENT_LIST_DIR}/release_epoch.cmake)
tavrel_release_epoch(epoch ${SOURCE_DIR})

if(SIGN_PKCS12 AND NOT SIGN_PASSWORD_FILE)
  message(FATAL_ERROR "SIGN_PKCS12 needs SIGN_PASSWORD_FILE, the file that holds its password")
endif()
if(SIGN_PKCS12)
  find_program(osslsigncode NAMES osslsigncode REQUIRED)
endif()

# The signing time is the release's, so that a signature without a time stamp is the same bytes
# from build to build.
function(sign_release_file path)
  if(NOT SIGN_PKCS12)
    return()
  endif()
  set(time_stamp "")
  if(SIGN_TIMESTAMP_URL)
    set(time_stamp -ts ${SIGN_TIMESTAMP_URL})
  endif()
  execute_process(
    COMMAND ${osslsigncode} sign -pkcs12 ${SIGN_PKCS12} -readpass ${SIGN_PASSWORD_FILE}
            -h sha256 -time ${epoch} ${time_stamp} -in ${path} -out ${path}.signed
    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(RENAME ${path}.signed ${path})
endfunction()

function(run_script script)
  execute_process(COMMAND ${CMAKE_COMMAND} -D SOURCE_DIR=${SOURCE_DIR} -D VERSION=${VERSION}
                          ${ARGN} -P ${CMAKE_CURRENT_LIST_DIR}/${script}
    COMMAND_ERROR_IS_FATAL ANY)
endfunction()

file(REMOVE_RECURSE ${DIST_DIR})
file(MAKE_DIRECTORY ${DIST_DIR})
set(scr ${DIST_DIR}/tavrel.scr)
set(msi ${DIST_DIR}/Tavrel-${VERSION}-x64.msi)
file(COPY_FILE ${SCR} ${scr})
sign_release_file(${scr})
run_script(make_msi.cmake -D SCR=${scr} -D MSI=${msi})
sign_release_file(${msi})
set(release_files ${scr} ${msi})
if(PROGRAM)
  set(deb ${DIST_DIR}/tavrel_${VERSION}_amd64.deb)
  run_script(make_deb.cmake -D PROGRAM=${PROGRAM} -D DEB=${deb})
  list(APPEND release_files ${deb})
endif()
tavrel_touch_to_epoch(${epoch} ${release_files})

set(sums "")
foreach(path IN LISTS release_files)
  get_filename_component(name ${path} NAME)
  file(SHA256 ${path} hash)
  string(APPEND sums "${hash}  ${name}\n")
endforeach()
file(WRITE ${DIST_DIR}/SHA256SUMS "${sums}")
tavrel_touch_to_epoch(${epoch} ${DIST_DIR}/SHA256SUMS)
message(STATUS "Release in ${DIST_DIR}:\n${sums}")
