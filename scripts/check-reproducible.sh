#!/usr/bin/env bash
# Builds a package a second time from the same commit, in a fresh build folder and later than the
# first, with only what the package holds (no tests, no benchmarks), and compares the two byte for
# byte. Both builds run under the same umask: cpack gives the archive's own members its permissions.
# usage: check-reproducible.sh PACKAGE FOLDER GENERATOR [CMAKE_ARGUMENT...]
set -euo pipefail
cd "$(dirname "$0")/.."
package=$1 folder=$2 generator=$3
shift 3

rm -rf "$folder"
cmake -S . -B "$folder" -DCMAKE_BUILD_TYPE=Release -DDREVANTI_TESTS=OFF -DDREVANTI_BENCHMARKS=OFF \
  "$@" >/dev/null
cmake --build "$folder" -j"$(nproc)" >/dev/null
(cd "$folder" && cpack -G "$generator" >/dev/null)
again="$folder/$(basename "$package")"
cmp "$package" "$again"
sha256sum "$package" "$again"
echo "$(basename "$package"): built again in $folder, byte for byte the same (${SECONDS} s)"
