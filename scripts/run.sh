#!/usr/bin/env bash
# Installs what the build needs, builds, and runs the demonstration: until the window saver lands,
# the headless tool plays three instances as the saver would and prints their best trees.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-packages.sh g++ cmake make libgtest-dev libgmock-dev libbenchmark-dev
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target drevanti-solve
./build/tools/drevanti-solve demo --instances 3
