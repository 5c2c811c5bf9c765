# SOURCE_DATE_EPOCH, the time written into the manual pages and the packages' members: the
# environment's when it is set, else the last commit's, else `fallback`. Taken when the build is
# configured (cmake/reproducible.cmake) and again when cpack packs (cmake/cpack_source_date.cmake),
# so that a commit made in between is the one a package is dated by.
function(drevanti_source_date_epoch source_dir fallback result)
  if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(epoch $ENV{SOURCE_DATE_EPOCH})
  else()
    set(epoch ${fallback})
    execute_process(COMMAND git rev-parse --show-toplevel WORKING_DIRECTORY ${source_dir}
      OUTPUT_VARIABLE top OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed ERROR_QUIET)
    # Only this project's own history counts, not that of a repository it was unpacked into.
    get_filename_component(source_dir ${source_dir} REALPATH)
    if(NOT failed AND top STREQUAL source_dir)
      execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY ${source_dir}
        OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    endif()
  endif()
  if(NOT epoch MATCHES "^[0-9]+$")
    message(FATAL_ERROR "SOURCE_DATE_EPOCH is \"${epoch}\", not seconds since 1970: set it")
  endif()
  set(${result} ${epoch} PARENT_SCOPE)
endfunction()
