#!/usr/bin/env bash
# Checks the first start of a new user: with no settings at all, ./run.sh under a virtual display
# must end with the demo playing in the window after the start-up notice is dismissed with Enter,
# without any other dialog. Then SIGTERM, SIGINT and SIGHUP must end the program as Exit does,
# keeping a battery cartridge's save for the next start, even with a modal box open. Needs xvfb-run, xdotool, xwd (x11-apps) and python3; run as root
# once, it installs them.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"

if [ "${1:-}" != "--inside" ]; then
  need=()
  command -v xvfb-run >/dev/null || need+=(xvfb xauth)
  command -v xdotool >/dev/null || need+=(xdotool)
  command -v xwd >/dev/null || need+=(x11-apps)
  command -v python3 >/dev/null || need+=(python3)
  if [ ${#need[@]} -gt 0 ]; then
    apt-get update >/dev/null && DEBIAN_FRONTEND=noninteractive apt-get install -y \
      --no-install-recommends "${need[@]}" >/dev/null
  fi
  scratch="$(mktemp -d)"
  trap 'rm -rf "$scratch"' EXIT
  # A new user: no settings, no saves.
  export XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data"
  export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"
  unset QT_QPA_PLATFORM WAYLAND_DISPLAY
  exec xvfb-run -a -s "-screen 0 800x600x24 -br" "$0" --inside "$scratch"
fi

scratch="$2"
cd "$scratch"
"$here/run.sh" >"$scratch/run.log" 2>&1 &
run=$!
fail() {
  echo "first start: $*" >&2
  sed 's/^/  run.sh: /' "$scratch/run.log" >&2
  kill "$run" 2>/dev/null || true
  exit 1
}

# Runs the command every 0.1 s, for 30 s at the most, until it prints something; prints the
# first line of that. Fails when nothing came.
poll() {
  local out=""
  for _ in $(seq 300); do
    out="$("$@" 2>/dev/null)" || true
    [ -n "$out" ] && { echo "${out%%$'\n'*}"; return 0; }
    sleep 0.1
  done
  return 1
}

# Waits for the start-up notice; returns its window.
find_notice() {
  poll xdotool search --onlyvisible --name '^Important!$' ||
    fail "the start-up notice did not appear"
}

# Answers the start-up notice with Enter and waits for the game's frames-per-second figure.
dismiss_notice_and_play() {
  local notice
  notice="$(find_notice)"
  sleep 0.5
  xdotool windowfocus --sync "$notice" 2>/dev/null || true
  xdotool key Return
  poll xdotool search --name '^Vantrell.*/2000 [0-9]+$' getwindowname >/dev/null ||
    fail "no game is running (no frames-per-second figure in the title)"
  for dialog in '^Options$' '^Error$' '^Important!$'; do
    if xdotool search --onlyvisible --name "$dialog" >/dev/null 2>&1; then
      fail "a dialog is open: $dialog"
    fi
  done
}

# A signal (SIGTERM unless named) ends the window program as Exit does: within 2 seconds, with
# status 0.
terminate() {
  kill "-${1:-TERM}" "$run"
  for _ in $(seq 20); do kill -0 "$run" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$run" 2>/dev/null; then fail "SIG${1:-TERM} did not end the program within 2 s"; fi
  local status=0
  wait "$run" || status=$?
  [ "$status" -eq 0 ] || fail "the program ended with status $status after SIG${1:-TERM}"
}

dismiss_notice_and_play
sleep 2  # past the demo's first frames
xwd -root -silent >"$scratch/screen.xwd"
[ -z "${KEEP_SCREEN:-}" ] || cp "$scratch/screen.xwd" "$KEEP_SCREEN"
python3 - "$scratch/screen.xwd" <<'PY' || fail "the window shows no picture"
import struct, sys
data = open(sys.argv[1], "rb").read()
h = struct.unpack(">25I", data[:100])
header_size, width, height, bpp, line, ncolors = h[0], h[4], h[5], h[11], h[12], h[19]
pixels = data[header_size + 12 * ncolors:]
step = bpp // 8
seen, lit = set(), 0
for y in range(0, height, 2):
    row = pixels[y * line:y * line + width * step]
    for x in range(0, width * step, 2 * step):
        p = row[x:x + 3]
        seen.add(p)
        lit += p != b"\0\0\0"
# The demo's landscape fills the 256 x 240 picture with many colours; a black window has none.
print(f"first start: {lit * 4} lit pixels, {len(seen)} colours")
sys.exit(0 if lit * 4 > 30000 and len(seen) >= 8 else 1)
PY
echo "first start: the demo plays"
terminate

# A battery cartridge's RAM survives SIGINT and SIGHUP and is there at the next start: the
# cartridge counts its power-ons in it.
save="$XDG_DATA_HOME/Vantrell/saves/battery.sav"
for expected in 1 2; do
  "$here/build/vantrell" "$here/build/roms/battery.nes" >>"$scratch/run.log" 2>&1 &
  run=$!
  dismiss_notice_and_play
  sleep 1  # the title's first figure comes with the first frame: let the cartridge count
  terminate "$([ "$expected" = 1 ] && echo INT || echo HUP)"
  [ -f "$save" ] || fail "no battery save in $save"
  count="$(od -An -tu1 -j4 -N1 "$save" | tr -d ' ')"
  [ "$count" = "$expected" ] || fail "the battery save counts $count power-ons, not $expected"
done
echo "first start: the battery save survives SIGINT, SIGHUP and the next start"

# A signal ends the program even while a modal box waits for an answer.
"$here/build/vantrell" >>"$scratch/run.log" 2>&1 &
run=$!
find_notice >/dev/null
terminate
echo "first start: SIGTERM ends the program at its start-up notice"
