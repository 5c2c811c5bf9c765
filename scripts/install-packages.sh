#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages named on the command line, skipping the package index update
# when every one of them is already there. With --no-install-recommends first, what they only
# recommend is left out.
set -euo pipefail
options=()
if [ "${1:-}" = "--no-install-recommends" ]; then
  options+=("$1")
  shift
fi
missing=()
for package in "$@"; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq "${options[@]}" "${missing[@]}"
