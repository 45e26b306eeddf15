# Builds the installer of a tavrel.scr with wixl, the same bytes from the same saver at any time:
# the packaged file carries the release's time, the product code follows from the version, the
# package code from the version and the saver's bytes, and the summary information's times are
# the release's (wixl writes the current time there).
#   cmake -D SCR=<tavrel.scr> -D VERSION=<x.y.z> -D MSI=<output> -D SOURCE_DIR=<source> -P make_msi.cmake
include(${CMAKE_CURRENT_LIST_DIR}/release_epoch.cmake)
tavrel_release_epoch(epoch ${SOURCE_DIR})

# The names' namespace is Tavrel's upgrade code (resources/tavrel.wxs).
set(namespace A155F168-EB75-4757-A49F-547D3850DF3B)
string(UUID product_code NAMESPACE ${namespace} NAME "product ${VERSION}" TYPE SHA1 UPPER)
file(SHA256 ${SCR} scr_hash)
string(UUID package_code NAMESPACE ${namespace} NAME "package ${VERSION} ${scr_hash}" TYPE SHA1
       UPPER)

# wixl finds the files it packages only by paths relative to where it runs: it runs among copies.
set(stage ${MSI}.stage)
file(REMOVE_RECURSE ${stage})
file(MAKE_DIRECTORY ${stage})
file(COPY_FILE ${SCR} ${stage}/tavrel.scr)
file(COPY_FILE ${SOURCE_DIR}/resources/tavrel.ico ${stage}/tavrel.ico)
tavrel_touch_to_epoch(${epoch} ${stage})
find_program(wixl NAMES wixl REQUIRED)
find_program(python NAMES python3 REQUIRED)
execute_process(
  COMMAND ${wixl} --arch x64 --define Version=${VERSION} --define ProductCode=${product_code}
          --define Scr=tavrel.scr --define Icon=tavrel.ico
          --output ${MSI} ${SOURCE_DIR}/resources/tavrel.wxs
  WORKING_DIRECTORY ${stage}
  COMMAND_ERROR_IS_FATAL ANY)
execute_process(
  COMMAND ${python} ${CMAKE_CURRENT_LIST_DIR}/msi_summary.py ${MSI} ${epoch} {${package_code}}
  COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE ${stage})
