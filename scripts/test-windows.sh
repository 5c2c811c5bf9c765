#!/usr/bin/env bash
# The Windows saver: cross-compiles drevanti.scr with mingw-w64 into build-windows and runs its
# tests under wine: every unit test (the core's and the backend's), then the end-to-end cases,
# each on an Xvfb display of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

# wine loads the X extensions' libraries at run time; Debian only recommends them. The installer
# is built with wixl, msibuild (msitools) and faketime.
bash scripts/install-packages.sh cmake make googletest g++-mingw-w64-x86-64 \
  wine wine64 fonts-wine fonts-ipafont-gothic xvfb xdotool imagemagick x11-utils \
  x11-xserver-utils python3 wixl msitools faketime \
  libxrender1 libxrandr2 libxcursor1 libxfixes3 libxi6 libxinerama1 libxcomposite1

# The cross build configures with the toolchain file alone, as documented.
cmake -S . -B build-windows-plain -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null

cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release
cmake --build build-windows -j"$jobs"
ctest --test-dir build-windows --output-on-failure -j"$jobs"

# The zip and the installer a user downloads: the saver run once from the unpacked zip; the
# installer installed, upgraded and removed in a prefix of its own; both built a second time to the
# same bytes.
(cd build-windows && rm -f drevanti-*.zip drevanti-*.msi && cpack -G "ZIP;External")
python3 tests/platform/windows/zip_e2e.py --zip build-windows/drevanti-*.zip \
  --helpers build-windows/tests/platform/windows --prefix build-windows/wine-e2e \
  --shots build-windows/tests/platform/windows/screenshots
python3 tests/platform/windows/msi_e2e.py --msi build-windows/drevanti-*.msi --build build-windows \
  --helpers build-windows/tests/platform/windows --prefix build-windows/wine-msi \
  --shots build-windows/tests/platform/windows/screenshots-msi
bash scripts/check-reproducible.sh build-windows-again "ZIP;External" build-windows/drevanti-*.zip \
  build-windows/drevanti-*.msi -- -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
