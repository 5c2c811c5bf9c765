#!/usr/bin/env bash
# The Windows saver: cross-compiles drevanti.scr with mingw-w64 into build-windows and runs its
# tests under wine: every unit test (the core's and the backend's), then the end-to-end cases,
# each on an Xvfb display of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

# wine loads the X extensions' libraries at run time; Debian only recommends them.
bash scripts/install-packages.sh cmake make googletest g++-mingw-w64-x86-64 \
  wine wine64 fonts-wine fonts-ipafont-gothic xvfb xdotool imagemagick x11-utils python3 \
  libxrender1 libxrandr2 libxcursor1 libxfixes3 libxi6 libxinerama1 libxcomposite1

cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DDREVANTI_BENCHMARKS=OFF
cmake --build build-windows -j"$jobs"
ctest --test-dir build-windows --output-on-failure -j"$jobs"
