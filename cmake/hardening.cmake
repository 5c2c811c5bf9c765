# The hardening Debian 12 gives the programs it builds (dpkg-buildflags with hardening=+all, plus
# stack clash protection), for Release builds, the ones packages are made from. Debug builds are
# left alone (fortified functions need the optimizer), and so is the sanitizer build (fortified
# functions would bypass AddressSanitizer's checks of the same calls). PE programs get address
# space randomisation and no-execute data from mingw-w64's linker defaults; these flags are ELF's.
# The browser build has neither.
if(NOT WIN32 AND NOT EMSCRIPTEN AND NOT DREVANTI_SANITIZE)
  add_compile_options("$<$<CONFIG:Release>:-D_FORTIFY_SOURCE=2;-fstack-protector-strong;-fstack-clash-protection;-Wformat;-Werror=format-security;-fPIE>")
  add_link_options("$<$<CONFIG:Release>:-pie;-Wl,-z,relro;-Wl,-z,now>")
endif()
