# The latest entry of doc/changelog (Debian's format, the package's changelog) names the release:
# its version must be the project's, and its maintainer is the packages' contact.
file(STRINGS ${PROJECT_SOURCE_DIR}/doc/changelog changelog_title LIMIT_COUNT 1)
file(STRINGS ${PROJECT_SOURCE_DIR}/doc/changelog changelog_trailer REGEX "^ -- " LIMIT_COUNT 1)
if(NOT changelog_title MATCHES "^drevanti \\(([^)]+)\\) "
   OR NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "doc/changelog begins with \"${changelog_title}\": its latest entry must be "
    "for version ${PROJECT_VERSION}")
endif()
if(NOT changelog_trailer MATCHES "^ -- (.+ <[^>]+>)  (.+)$")
  message(FATAL_ERROR "doc/changelog: the latest entry ends without \" -- NAME <ADDRESS>  DATE\"")
endif()
set(DREVANTI_MAINTAINER ${CMAKE_MATCH_1})
set(DREVANTI_RELEASE_DATE ${CMAKE_MATCH_2})
