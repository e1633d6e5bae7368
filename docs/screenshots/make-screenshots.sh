#!/usr/bin/env bash
# Makes the pictures in this folder: every pane, the definition editor and
# Preferences, in the light and the dark look, at scale 1 and 2, with the
# offscreen platform (no display needed). The panes show the demo definition
# scanning the simulated ECU.
#
#   docs/screenshots/make-screenshots.sh [OUTDIR]   (default: this folder)
# Environment: VARNAK_BUILD_DIR (default build/default), built with the
# targets varnak, varnak-ecu-sim and brelith_beside_varnak.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${VARNAK_BUILD_DIR:-$root/build/default}"
out="${1:-$root/docs/screenshots}"
program="$build/app/varnak"
work="$(mktemp -d /tmp/varnak-shots-XXXXXX)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

# One screen of 1920 x 1280 device pixels; the window opens at its stored
# place, written fresh for every picture.
cat >"$work/screen.json" <<'JSON'
{ "screens": [ { "name": "shots", "x": 0, "y": 0, "width": 1920, "height": 1280,
                 "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1 } ] }
JSON
export QT_QPA_PLATFORM="offscreen:configfile=$work/screen.json"
settings="$build/app/Settings.dat"
saved=""
if [[ -f "$settings" ]]; then saved="$work/Settings.saved"; cp "$settings" "$saved"; fi
restore() { if [[ -n "$saved" ]]; then cp "$saved" "$settings"; else rm -f "$settings"; fi; rm -rf "$work"; }
trap restore EXIT

shot() {  # NAME SCALE THEME ARGS...
  local name="$1" scale="$2" theme="$3"
  shift 3
  printf 'loadlastdef=0\nwinposx=0\nwinposy=0\nwinsizex=%s\nwinsizey=%s\n' \
    960 640 >"$settings"
  local suffix=""
  [[ "$theme" == dark ]] && suffix="-dark"
  [[ "$scale" == 2 ]] && suffix="$suffix@2x"
  local file="$out/$name$suffix.png"
  QT_SCALE_FACTOR="$scale" "$@" --theme "$theme" --screenshot "$file" >/dev/null 2>&1 || true
  [[ -f "$file" ]] && echo "$file" || echo "make-screenshots: no picture for $name$suffix" >&2
}

# A fresh simulated ECU on a pseudo-terminal for every pane picture.
simulator="$build/tools/ecu-sim/varnak-ecu-sim"
sim_pid=""
start_simulator() {
  "$simulator" "$root/examples/demo-ecu.scenario" >"$work/sim.out" 2>"$work/sim.err" &
  sim_pid=$!
  port=""
  for _ in $(seq 1 100); do
    port="$(head -n 1 "$work/sim.out" 2>/dev/null || true)"
    [[ -n "$port" ]] && return 0
    sleep 0.05
  done
  echo "make-screenshots: the simulator did not start" >&2
  exit 1
}
stop_simulator() {
  if [[ -n "$sim_pid" ]]; then kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true; fi
  sim_pid=""
}
trap 'stop_simulator; restore' EXIT

for scale in 1 2; do
  for theme in light dark; do
    for tab in Output Dash "Item Lists" Histograms Monitors; do
      name="$(echo "$tab" | tr 'A-Z ' 'a-z-')"
      start_simulator
      shot "$name" "$scale" "$theme" "$program" "$root/examples/demo-ecu.adx" --port "$port" --scan \
        --tab "$tab" --quit-after 6
      stop_simulator
    done
    shot preferences "$scale" "$theme" "$program" "$root/examples/demo-ecu.adx" --preferences --quit-after 2
    shot editor "$scale" "$theme" "$program" "$root/examples/demo-ecu.adx" --edit --quit-after 3
  done
done
