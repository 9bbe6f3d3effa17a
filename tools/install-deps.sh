#!/usr/bin/env bash
# Installs the Debian packages Vantrell builds with, when any is missing. Needs root for apt-get.
set -euo pipefail

PACKAGES=(build-essential cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev
  cc65 qt6-base-dev libsdl2-dev xvfb xauth)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "vantrell: these Debian packages are missing: ${missing[*]}" >&2
  echo "vantrell: run this script as root once (or: sudo apt-get install ${missing[*]})." >&2
  exit 1
fi
echo "== installing ${missing[*]}"
apt-get update
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
