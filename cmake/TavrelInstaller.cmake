# The installer of tavrel.scr, an MSI built by wixl from resources/tavrel.wxs, and the release
# folder that make dist fills: tavrel.scr, Tavrel-<version>-x64.msi and SHA256SUMS. The version
# is the project's.

find_program(TAVREL_WIXL NAMES wixl)
set(TAVREL_DIST_DIR ${CMAKE_SOURCE_DIR}/dist CACHE PATH "Where the dist target puts the release")

# tavrel_add_msi(<target> <version> <output>): builds the MSI of tavrel.scr that carries version.
# wixl finds the files it packages only by paths relative to where it runs: it runs beside
# tavrel.scr.
function(tavrel_add_msi target version output)
  set(icon ${CMAKE_SOURCE_DIR}/resources/tavrel.ico)
  file(RELATIVE_PATH relative_icon ${CMAKE_BINARY_DIR} ${icon})
  add_custom_command(OUTPUT ${output}
    COMMAND ${TAVREL_WIXL} --arch x64 --define Version=${version}
            --define Scr=$<TARGET_FILE_NAME:tavrel> --define Icon=${relative_icon}
            --output ${output} ${CMAKE_SOURCE_DIR}/resources/tavrel.wxs
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    DEPENDS tavrel ${CMAKE_SOURCE_DIR}/resources/tavrel.wxs ${icon}
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${output})
endfunction()

if(TAVREL_WIXL)
  set(TAVREL_MSI ${CMAKE_BINARY_DIR}/Tavrel-${PROJECT_VERSION}-x64.msi)
  tavrel_add_msi(tavrel_msi ${PROJECT_VERSION} ${TAVREL_MSI})
  add_custom_target(dist
    COMMAND ${CMAKE_COMMAND} -D DIST_DIR=${TAVREL_DIST_DIR} -D SCR=$<TARGET_FILE:tavrel>
            -D MSI=${TAVREL_MSI} -P ${CMAKE_SOURCE_DIR}/cmake/make_dist.cmake
    DEPENDS tavrel_msi
    VERBATIM)
endif()
