#!/usr/bin/env bash
# Names the two plug-ins we ship (video_qt.so and input_keyboard.so) in the settings when no video
# or no input plug-in is chosen yet, so that the first start plays at once instead of asking for
# them. A choice the user made is never changed.
set -euo pipefail

ini="${XDG_CONFIG_HOME:-$HOME/.config}/Vantrell/Vantrell.ini"
mkdir -p "$(dirname "$ini")"
touch "$ini"

# The settings file is Qt's INI format: the key Software/Vantrell/Plugins/Video is the line
# 'Vantrell\Plugins\Video=NAME' in the [Software] section.
chosen() { grep -q "^Vantrell\\\\Plugins\\\\$1=..*" "$ini"; }
missing=()
chosen Video || missing+=("Video=video_qt.so")
chosen Input || missing+=("Input=input_keyboard.so")
[ ${#missing[@]} -eq 0 ] && exit 0

tmp="$ini.tmp.$$"
awk -v lines="${missing[*]}" '
  function add() { n = split(lines, l, " "); for (i = 1; i <= n; i++) print "Vantrell\\Plugins\\" l[i] }
  # An empty choice left by an earlier start is dropped and replaced.
  /^Vantrell\\Plugins\\(Video|Input)=$/ { next }
  { print }
  /^\[Software\]$/ { add(); done = 1 }
  END { if (!done) { print ""; print "[Software]"; add() } }
' "$ini" >"$tmp"
mv "$tmp" "$ini"
echo "== first start: chose the shipped plug-ins (${missing[*]}) in $ini"
