# Builds of one commit give byte-identical programs, manual pages and packages, whatever the build
# folder, the time or the user.
#
# The time written into the manual pages and the packages' members is SOURCE_DATE_EPOCH: the
# environment's when it is set, else the last commit's, else (a source tree without git) the
# date of the changelog's latest entry (cmake/changelog.cmake), as Debian's own package builds
# take it.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(DREVANTI_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --show-toplevel
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
      OUTPUT_VARIABLE git_top OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
  # Only this project's own history counts, not that of a repository it was unpacked into.
  if(git_top AND git_top STREQUAL PROJECT_SOURCE_DIR)
    execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
      OUTPUT_VARIABLE DREVANTI_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
      COMMAND_ERROR_IS_FATAL ANY)
    # A new commit configures anew, so the time follows it.
    execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --path-format=absolute --git-path logs/HEAD
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
      OUTPUT_VARIABLE git_head_log OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(EXISTS ${git_head_log})
      set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${git_head_log})
    endif()
  else()
    execute_process(COMMAND date -u -d "${DREVANTI_RELEASE_DATE}" +%s
      OUTPUT_VARIABLE DREVANTI_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
      RESULT_VARIABLE date_failed)
    if(date_failed)
      message(FATAL_ERROR "no git, and doc/changelog's date \"${DREVANTI_RELEASE_DATE}\" cannot "
        "be read: set SOURCE_DATE_EPOCH")
    endif()
  endif()
endif()
if(NOT DREVANTI_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH is \"${DREVANTI_SOURCE_DATE_EPOCH}\", not seconds since 1970")
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
