# Fills DIST_DIR afresh with the release files SCR and MSI and their SHA256SUMS, in the format
# that `sha256sum --check SHA256SUMS` reads.
#   cmake -D DIST_DIR=... -D SCR=... -D MSI=... -P make_dist.cmake
file(REMOVE_RECURSE ${DIST_DIR})
file(MAKE_DIRECTORY ${DIST_DIR})
set(sums "")
foreach(release_file IN ITEMS ${SCR} ${MSI})
  get_filename_component(name ${release_file} NAME)
  file(COPY_FILE ${release_file} ${DIST_DIR}/${name})
  file(SHA256 ${DIST_DIR}/${name} hash)
  string(APPEND sums "${hash}  ${name}\n")
endforeach()
file(WRITE ${DIST_DIR}/SHA256SUMS "${sums}")
message(STATUS "Release in ${DIST_DIR}:\n${sums}")
