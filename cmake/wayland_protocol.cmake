# A Wayland protocol's client code, generated with wayland-scanner into FOLDER: NAME-client.h and
# NAME.c (C, which it enables), appended to the list SOURCES names.
#   drevanti_wayland_protocol(XML FOLDER SOURCES)
enable_language(C)
find_package(PkgConfig REQUIRED)
pkg_get_variable(drevanti_wayland_scanner wayland-scanner wayland_scanner)
if(NOT drevanti_wayland_scanner)
  message(FATAL_ERROR "Drevanti on Wayland needs wayland-scanner")
endif()

function(drevanti_wayland_protocol xml folder sources)
  get_filename_component(name ${xml} NAME_WE)
  file(MAKE_DIRECTORY ${folder})
  add_custom_command(OUTPUT ${folder}/${name}-client.h ${folder}/${name}.c
    COMMAND ${drevanti_wayland_scanner} client-header ${xml} ${folder}/${name}-client.h
    COMMAND ${drevanti_wayland_scanner} private-code ${xml} ${folder}/${name}.c
    DEPENDS ${xml} VERBATIM)
  set(${sources} ${${sources}} ${folder}/${name}-client.h ${folder}/${name}.c PARENT_SCOPE)
endfunction()
