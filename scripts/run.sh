#!/usr/bin/env bash
# Installs what the saver needs, builds it and starts it. On a desktop ($DISPLAY set) the saver
# runs full screen until a key, a click or a mouse movement. Without a display it runs for a few
# seconds on a private virtual screen (Xvfb) and leaves a screenshot of what it drew.
# Arguments are passed to the saver (`bash scripts/run.sh --settings` opens the settings form).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-packages.sh g++ cmake make pkg-config libsdl2-dev libsdl2-ttf-dev \
  libfontconfig-dev libx11-dev libxrandr-dev libwayland-dev libwayland-bin wayland-protocols \
  libglib2.0-dev fonts-dejavu-core fonts-ipafont-gothic
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target drevanti
saver=build/src/platform/linux/drevanti

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$saver" "$@"
fi

bash scripts/install-packages.sh xvfb xdotool imagemagick
shot=build/drevanti-screenshot.png
display_file=$(mktemp)
# Xvfb picks a free display number itself and writes it to fd 3 once it accepts clients.
Xvfb -displayfd 3 -screen 0 1280x720x24 -nolisten tcp -noreset 3>"$display_file" 2>/dev/null &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; rm -f "$display_file"' EXIT
for _ in $(seq 100); do
  [ -s "$display_file" ] && break
  sleep 0.1
done
[ -s "$display_file" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$display_file")"

"$saver" "$@" &
pid=$!
sleep 4
import -window root "$shot"
xdotool key a
status=0
wait "$pid" || status=$?
echo "No display here: the saver ran on a virtual 1280x720 screen for 4 s (exit code $status)."
echo "What it drew: $shot"
exit "$status"
