#!/usr/bin/env bash
# Installs what the tests need, builds everything and runs every test: the release build first,
# then the browser page (in headless Chromium) and the tool under node, then the Debian package
# (checked by lintian, built a second time to the same bytes, installed, run under xscreensaver and
# purged again), then every test again with AddressSanitizer and UndefinedBehaviorSanitizer, then
# the Windows build.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

bash scripts/install-packages.sh g++ cmake make libgtest-dev libgmock-dev libbenchmark-dev \
  pkg-config libsdl2-dev libsdl2-ttf-dev libfontconfig-dev libx11-dev libxfixes-dev libxrandr-dev \
  fonts-dejavu-core fonts-ipafont-gothic xvfb xdotool imagemagick x11-utils x11-xserver-utils \
  openbox python3 xscreensaver xsecurelock xss-lock dbus dbus-x11 python3-gi sway swayidle grim wtype \
  dpkg-dev lintian libwayland-dev libwayland-bin wayland-protocols libxext-dev libglib2.0-dev \
  libglib2.0-bin plasma-wayland-protocols desktop-file-utils man-db groff-base
# KWin alone, for the second Wayland compositor's case: it recommends the whole Plasma desktop.
# The same for GNOME Shell and MATE's screen saver, whose cases run the idle watcher and the theme,
# and for the Xorg server with the dummy driver that GNOME on Xorg runs on.
bash scripts/install-packages.sh --no-install-recommends kwin-wayland gnome-shell mate-screensaver \
  xserver-xorg-core xserver-xorg-video-dummy

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

# The browser page and the tool under node, checked against the native tool just built.
bash scripts/install-packages.sh --no-install-recommends emscripten chromium python3-websocket
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release
cmake --build build-web -j"$jobs"
ctest --test-dir build-web --output-on-failure

(cd build && rm -f drevanti_*.deb && cpack -G DEB)
# Every tag shown, pedantic and informational ones too; an error or a warning fails the run.
lintian --fail-on error,warning --pedantic -I build/drevanti_*.deb
bash scripts/check-reproducible.sh build-again DEB build/drevanti_*.deb
python3 tests/platform/linux/package_e2e.py --deb build/drevanti_*.deb \
  --probe build/tests/platform/linux/x11_probe --shots build/tests/platform/linux/shots

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDREVANTI_SANITIZE=ON \
  -DDREVANTI_BENCHMARKS=OFF
cmake --build build-sanitize -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-sanitize --output-on-failure -j"$jobs"
bash scripts/test-windows.sh
