#!/usr/bin/env bash
# Installs what the tests need, builds everything and runs every test: the release build first,
# then the unit tests again with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

bash scripts/install-packages.sh g++ cmake make libgtest-dev libgmock-dev libbenchmark-dev \
  pkg-config libsdl2-dev libsdl2-ttf-dev libfontconfig-dev libx11-dev libxfixes-dev libxrandr-dev \
  fonts-dejavu-core fonts-ipafont-gothic xvfb xdotool imagemagick x11-utils x11-xserver-utils \
  openbox python3 xscreensaver xsecurelock xss-lock dbus python3-gi sway swayidle grim wtype

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDREVANTI_SANITIZE=ON \
  -DDREVANTI_BENCHMARKS=OFF
cmake --build build-sanitize -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-sanitize --output-on-failure -j"$jobs"
bash scripts/test-windows.sh
