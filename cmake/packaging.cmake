# Packages made with CPack from the installed files: `cpack -G DEB` in a Linux build folder;
# in the Windows cross build folder `cpack` makes both the zip (`-G ZIP`) and the installer
# (`-G External`, cmake/windows_msi.cmake; with cpack's description of it, a .json, beside it).
set(CPACK_PACKAGE_NAME drevanti)
set(CPACK_PACKAGE_VENDOR "Drevanti team")
set(CPACK_PACKAGE_CONTACT "${DREVANTI_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "screen saver showing a Steiner tree heuristic at work")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_STRIP_FILES ON)
# Members dated SOURCE_DATE_EPOCH, taken again when cpack packs (cmake/source_date_epoch.cmake);
# the configured one stands in when there is no git.
set(CPACK_DREVANTI_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_DREVANTI_SOURCE_DATE_EPOCH ${DREVANTI_SOURCE_DATE_EPOCH})
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/cpack_source_date.cmake)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/cpack_staged_permissions.cmake)

if(WIN32)
  set(CPACK_GENERATOR ZIP External)
  set(CPACK_PACKAGE_FILE_NAME drevanti-${PROJECT_VERSION}-windows-x86_64)
  set(CPACK_EXTERNAL_ENABLE_STAGING ON)
  set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/windows_msi.cmake)
  set(CPACK_DREVANTI_MSI_SOURCE ${PROJECT_SOURCE_DIR}/src/platform/windows/drevanti.wxs)
  set(CPACK_DREVANTI_MSI_ICON ${PROJECT_SOURCE_DIR}/src/platform/windows/drevanti.ico)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION x11)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # strip leaves the compilers' .comment section, which Debian's packages do without.
  set(programs ${CMAKE_INSTALL_BINDIR}/drevanti-solve)
  if(TARGET drevanti)
    list(APPEND programs ${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver/drevanti)
  endif()
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      foreach(program ${programs})
        execute_process(COMMAND ${CMAKE_OBJCOPY} --remove-section=.comment
          \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${program}\" COMMAND_ERROR_IS_FATAL ANY)
      endforeach()
    endif()")
  # The libraries the programs link, as dpkg-shlibdeps reads them off the binaries, and a font
  # for the status line, which fontconfig finds at run time (the settings form's Japanese needs
  # one with Japanese glyphs).
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic")
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver | mate-screensaver | xsecurelock | swayidle")
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Drevanti demonstrates a randomized heuristic for the Euclidean Steiner tree
problem: random terminals on a black screen, 51 improvement rounds per
instance (random Steiner candidates inside the convex hull, minimum spanning
tree, pruning, Fermat-point relocation and insertion), the shortest tree drawn
live with a scale bar and a status line, on every monitor.

On GNOME and KDE Plasma it starts by itself when the computer is idle, once
the user has asked for it with `drevanti --register` (nothing starts just
because the package is installed). It is a theme of MATE's screen saver, and
runs under xscreensaver (list it with `drevanti --register`), xsecurelock,
xss-lock and swayidle, or by hand. drevanti-solve runs the same heuristic on
the terminals of a file, without a window.")
endif()

include(CPack)
