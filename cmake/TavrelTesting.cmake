# Test helpers shared by every test folder.
#
# Natively, GoogleTest comes from Debian's libgtest-dev. For the Windows build it is compiled from
# Debian's googletest sources with the cross compiler, and every Windows test program runs under
# Wine on a private Xvfb display that the fixture "wine" starts before and stops after the run.

if(CMAKE_CROSSCOMPILING)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/_googletest EXCLUDE_FROM_ALL SYSTEM)
  if(NOT TARGET GTest::gtest_main)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
  set(TAVREL_WINE_ENV ${CMAKE_BINARY_DIR}/wine/env)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${CMAKE_SOURCE_DIR}/tests/harness/wine_exec.sh;${TAVREL_WINE_ENV})
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

find_program(TAVREL_PYTHON NAMES python3 REQUIRED)

# tavrel_add_gtest(<name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>])
# Natively each case becomes its own CTest test. Under Wine a program costs a second or more to
# start, so there the whole program is one CTest test.
function(tavrel_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
    set_tests_properties(${name} PROPERTIES
      FIXTURES_REQUIRED wine RESOURCE_LOCK display TIMEOUT 300
      LABELS "wine;${ARG_LABELS}")
  else()
    # The discovered tests' properties pass through a list, so the labels' separator is escaped.
    string(REPLACE ";" "\\;" labels "native;${ARG_LABELS}")
    # Cases are named by their own name generators; without NO_PRETTY_VALUES the printed parameter
    # (bytes that include addresses) would end up in the test name and change from build to build.
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES PROPERTIES LABELS "${labels}")
  endif()
endfunction()

# tavrel_add_e2e_test(<name> SCRIPT <file.py> [ARGS <args...>] [TIMEOUT <seconds>] [ALONE]
#                     [TWO_HEADS] [RESIZABLE])
# Drives the real tavrel.scr from outside, under Wine on the fixture's display. The tests take
# that display in turn. ALONE gives a long test a display and prefix of its own (fixture
# wine_alone), so that it runs beside the others instead of holding the shared display for minutes.
# TWO_HEADS runs it on a display with two monitors side by side (fixture wine_two_heads);
# RESIZABLE on one whose resolution it may change (fixture wine_resizable).
function(tavrel_add_e2e_test name)
  cmake_parse_arguments(ARG "ALONE;TWO_HEADS;RESIZABLE" "SCRIPT;TIMEOUT" "ARGS" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  if(ARG_ALONE)
    set(env ${CMAKE_BINARY_DIR}/wine-alone/env)
    set(fixture wine_alone)
    set(lock display_alone)
  elseif(ARG_TWO_HEADS)
    set(env ${CMAKE_BINARY_DIR}/wine-two-heads/env)
    set(fixture wine_two_heads)
    set(lock display_two_heads)
  elseif(ARG_RESIZABLE)
    set(env ${CMAKE_BINARY_DIR}/wine-resizable/env)
    set(fixture wine_resizable)
    set(lock display_resizable)
  else()
    set(env ${TAVREL_WINE_ENV})
    set(fixture wine)
    set(lock display)
  endif()
  add_test(NAME ${name}
    COMMAND ${TAVREL_PYTHON} ${ARG_SCRIPT}
            --env ${env} --scr $<TARGET_FILE:tavrel> ${ARG_ARGS})
  set_tests_properties(${name} PROPERTIES
    FIXTURES_REQUIRED ${fixture} RESOURCE_LOCK ${lock} TIMEOUT ${ARG_TIMEOUT}
    LABELS "e2e"
    ENVIRONMENT "PYTHONPATH=${CMAKE_SOURCE_DIR}/tests/e2e;PYTHONDONTWRITEBYTECODE=1")
endfunction()
