# The installer of tavrel.scr, an MSI built by wixl from resources/tavrel.wxs (cmake/make_msi.cmake
# makes it the same bytes at any time). The version is the project's. The release itself, with
# its signatures, comes from make dist (cmake/make_dist.cmake).

find_program(TAVREL_WIXL NAMES wixl)

# tavrel_add_msi(<target> <version> <output>): builds the MSI of tavrel.scr that carries version.
function(tavrel_add_msi target version output)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -D SCR=$<TARGET_FILE:tavrel> -D VERSION=${version} -D MSI=${output}
            -D SOURCE_DIR=${CMAKE_SOURCE_DIR} -P ${CMAKE_SOURCE_DIR}/cmake/make_msi.cmake
    DEPENDS tavrel ${CMAKE_SOURCE_DIR}/resources/tavrel.wxs ${CMAKE_SOURCE_DIR}/resources/tavrel.ico
            ${CMAKE_SOURCE_DIR}/cmake/make_msi.cmake ${CMAKE_SOURCE_DIR}/cmake/msi_summary.py
            ${CMAKE_SOURCE_DIR}/cmake/release_epoch.cmake
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${output})
endfunction()

if(TAVREL_WIXL)
  set(TAVREL_MSI ${CMAKE_BINARY_DIR}/Tavrel-${PROJECT_VERSION}-x64.msi)
  tavrel_add_msi(tavrel_msi ${PROJECT_VERSION} ${TAVREL_MSI})
endif()
