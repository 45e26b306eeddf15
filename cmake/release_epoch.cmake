# The release's one time: every time stamp in its files. SOURCE_DATE_EPOCH when it is set, or else
# the time of the source's last commit, so that two builds of one commit carry the same times.
#   include(release_epoch)  tavrel_release_epoch(<out> <source folder> [<fallback>])
# The fallback, when given, is taken where neither is known (a source without git).
function(tavrel_release_epoch out source_dir)
  if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(epoch $ENV{SOURCE_DATE_EPOCH})
  else()
    find_program(git NAMES git)
    if(git)
      execute_process(COMMAND ${git} -C ${source_dir} log -1 --format=%ct
        OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    endif()
  endif()
  if(NOT epoch MATCHES "^[0-9]+$" AND ARGC GREATER 2)
    set(epoch ${ARGV2})
  endif()
  if(NOT epoch MATCHES "^[0-9]+$")
    message(FATAL_ERROR "No release time: set SOURCE_DATE_EPOCH (seconds since 1970) or build from a git clone")
  endif()
  set(${out} ${epoch} PARENT_SCOPE)
endfunction()

# tavrel_touch_to_epoch(<epoch> <paths...>): sets the modification time of the paths (and, for a
# folder, of everything in it) to the release's time.
function(tavrel_touch_to_epoch epoch)
  execute_process(COMMAND find ${ARGN} -exec touch --no-dereference --date=@${epoch} {} +
    COMMAND_ERROR_IS_FATAL ANY)
endfunction()

# tavrel_configure_manual(<epoch> <version> <source folder> <output>): the manual page, dated
# with the release's day and carrying its version.
function(tavrel_configure_manual epoch version source_dir output)
  set(given "$ENV{SOURCE_DATE_EPOCH}")
  set(ENV{SOURCE_DATE_EPOCH} ${epoch})
  string(TIMESTAMP TAVREL_DATE "%Y-%m-%d" UTC)
  if(given STREQUAL "")
    unset(ENV{SOURCE_DATE_EPOCH})
  else()
    set(ENV{SOURCE_DATE_EPOCH} "${given}")
  endif()
  set(TAVREL_VERSION ${version})
  configure_file(${source_dir}/resources/tavrel.6 ${output} @ONLY)
endfunction()
