#!/usr/bin/env bash
# Builds packages a second time from the same commit, in a fresh build folder and later than the
# first, with only what the packages hold (no tests, no benchmarks), and compares each with its
# first build byte for byte. Both builds run under the same umask: cpack gives the archive's own
# members its permissions.
# usage: check-reproducible.sh FOLDER GENERATORS PACKAGE... [-- CMAKE_ARGUMENT...]
#   GENERATORS is cpack's list, e.g. "ZIP;External"
set -euo pipefail
cd "$(dirname "$0")/.."
folder=$1 generators=$2
shift 2
packages=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do packages+=("$1"); shift; done
[ $# -gt 0 ] && shift

rm -rf "$folder"
cmake -S . -B "$folder" -DCMAKE_BUILD_TYPE=Release -DDREVANTI_TESTS=OFF -DDREVANTI_BENCHMARKS=OFF \
  "$@" >/dev/null
cmake --build "$folder" -j"$(nproc)" >/dev/null
(cd "$folder" && cpack -G "$generators" >/dev/null)
for package in "${packages[@]}"; do
  again="$folder/$(basename "$package")"
  cmp "$package" "$again"
  sha256sum "$package" "$again"
  echo "$(basename "$package"): built again in $folder, byte for byte the same"
done
echo "(${SECONDS} s)"
