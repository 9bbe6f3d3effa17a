#!/usr/bin/env bash
# Builds Vantrell (installing what the build needs) and plays a cartridge in the window: the demo
# cartridge, or the .nes file given. Without a display (or without Qt and SDL to build the
# window) the run is headless: it writes the last frame and the sound next to you and says where.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$here/build"
frames="${FRAMES:-600}"

"$here/tools/install-deps.sh"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
targets=(vantrell-cli vantrell_roms)
# The desktop program (and the plug-ins it depends on) exists when Qt 6 and SDL2 were found.
if grep -q '^build vantrell:' "$build/build.ninja"; then
  targets+=(vantrell)
fi
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target "${targets[@]}"

rom="${1:-$build/roms/demo.nes}"
if [ -x "$build/vantrell" ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
  "$here/tools/choose-shipped-plugins.sh"
  echo "== playing $rom in the window"
  exec "$build/vantrell" "$rom"
fi

name="$(basename "$rom" .nes)"
png="$PWD/$name.png"
wav="$PWD/$name.wav"
echo "== no display: falling back to the headless run of $rom for $frames frames"
"$build/vantrell-cli" run "$rom" --frames "$frames" --png "$png" --wav "$wav"
echo "The last frame is in $png and the sound in $wav."
