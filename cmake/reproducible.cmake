# Builds of one commit give byte-identical programs, manual pages and packages, whatever the build
# folder, the time or the user.

# The time is SOURCE_DATE_EPOCH (cmake/source_date_epoch.cmake); without git, the date of the
# changelog's latest entry (cmake/changelog.cmake), as Debian's own package builds take it.
include(${CMAKE_CURRENT_LIST_DIR}/source_date_epoch.cmake)
execute_process(COMMAND date -u -d "${DREVANTI_RELEASE_DATE}" +%s
  OUTPUT_VARIABLE release_epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
drevanti_source_date_epoch(${PROJECT_SOURCE_DIR} "${release_epoch}" DREVANTI_SOURCE_DATE_EPOCH)
# A new commit configures anew, so that the time follows it.
execute_process(COMMAND git rev-parse --path-format=absolute --git-path logs/HEAD
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
  OUTPUT_VARIABLE git_head_log OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
if(git_head_log AND EXISTS ${git_head_log})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${git_head_log})
endif()
# string(TIMESTAMP) takes the time from the environment.
set(ENV{SOURCE_DATE_EPOCH} ${DREVANTI_SOURCE_DATE_EPOCH})

# No build folder in the programs (__FILE__, debug information), no date or time macro, and no
# link time in Windows programs' headers.
add_compile_options("$<$<CONFIG:Release>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.;-ffile-prefix-map=${PROJECT_BINARY_DIR}=.>"
  -Wdate-time)
if(WIN32)
  add_link_options("$<$<CONFIG:Release>:-Wl,--no-insert-timestamp>")
endif()
