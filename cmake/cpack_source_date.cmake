# Read by cpack before it packs: the members' time is the build's SOURCE_DATE_EPOCH unless the
# environment gives another.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  set(ENV{SOURCE_DATE_EPOCH} ${CPACK_DREVANTI_SOURCE_DATE_EPOCH})
endif()
