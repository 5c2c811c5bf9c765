# Read by cpack before it packs: the members are dated by SOURCE_DATE_EPOCH as it is now (a commit
# may have come since the build was configured). The build cpack runs first, which configures anew
# after a commit, takes it from the environment too.
include(${CMAKE_CURRENT_LIST_DIR}/source_date_epoch.cmake)
drevanti_source_date_epoch(${CPACK_DREVANTI_SOURCE_DIR} "${CPACK_DREVANTI_SOURCE_DATE_EPOCH}"
  epoch)
set(ENV{SOURCE_DATE_EPOCH} ${epoch})
