#!/usr/bin/env bash
# Builds Vantrell (installing what the build needs) and plays a cartridge: the demo cartridge, or
# the .nes file given. Without a display the run is headless: it writes the last frame and the
# sound next to you and says where.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
rom="${1:-}"
frames="${FRAMES:-600}"

"$here/tools/install-deps.sh"
cmake -S "$here" -B "$here/build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$here/build" -j "$(nproc 2>/dev/null || echo 2)" --target vantrell-cli vantrell_roms

[ -n "$rom" ] || rom="$here/build/roms/demo.nes"
name="$(basename "$rom" .nes)"
png="$PWD/$name.png"
wav="$PWD/$name.wav"
echo "== running $rom headless for $frames frames"
"$here/build/vantrell-cli" run "$rom" --frames "$frames" --png "$png" --wav "$wav"
echo "The last frame is in $png and the sound in $wav."
