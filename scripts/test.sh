#!/usr/bin/env bash
# Installs what the tests need, builds everything and runs every test: the release build first,
# then its Debian package (installed, run under xscreensaver and purged again), then every test
# again with AddressSanitizer and UndefinedBehaviorSanitizer, then the Windows build.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

bash scripts/install-packages.sh g++ cmake make libgtest-dev libgmock-dev libbenchmark-dev \
  pkg-config libsdl2-dev libsdl2-ttf-dev libfontconfig-dev libx11-dev libxfixes-dev libxrandr-dev \
  fonts-dejavu-core fonts-ipafont-gothic xvfb xdotool imagemagick x11-utils x11-xserver-utils \
  openbox python3 xscreensaver xsecurelock xss-lock dbus python3-gi sway swayidle grim wtype \
  dpkg-dev libwayland-dev libwayland-bin wayland-protocols
# KWin alone, for the second Wayland compositor's case: it recommends the whole Plasma desktop.
bash scripts/install-packages.sh --no-install-recommends kwin-wayland

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

(cd build && rm -f drevanti_*.deb && cpack -G DEB)
python3 tests/platform/linux/package_e2e.py --deb build/drevanti_*.deb \
  --probe build/tests/platform/linux/x11_probe --shots build/tests/platform/linux/shots

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDREVANTI_SANITIZE=ON \
  -DDREVANTI_BENCHMARKS=OFF
cmake --build build-sanitize -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-sanitize --output-on-failure -j"$jobs"
bash scripts/test-windows.sh
