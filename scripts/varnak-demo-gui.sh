#!/usr/bin/env bash
# Opens the Varnak window scanning the simulated demo ECU: builds what is
# missing, starts varnak-ecu-sim with examples/demo-ecu.scenario on a
# pseudo-terminal and runs varnak with examples/demo-ecu.adx on that port.
# Without a display it falls back to the terminal demo (scripts/demo.sh).
#
#   scripts/varnak-demo-gui.sh [VARNAK OPTIONS...]
#     e.g. --tab Monitors --quit-after 20 --screenshot /tmp/monitors.png
# Environment: VARNAK_BUILD_DIR (default build/default).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VARNAK_BUILD_DIR:-$root/build/default}"

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && "${QT_QPA_PLATFORM:-}" != offscreen ]]; then
  echo "varnak-demo-gui: no display; running the terminal demo instead" >&2
  if [[ -x "$root/scripts/demo.sh" ]]; then
    exec "$root/scripts/demo.sh"
  fi
  echo "varnak-demo-gui: scripts/demo.sh is missing" >&2
  exit 1
fi

# On a fresh machine: the packages the build needs (apt-get, as root).
bash "$root/scripts/install-deps.sh"

program="$build/app/varnak"
simulator="$build/tools/ecu-sim/varnak-ecu-sim"
if [[ ! -x "$program" || ! -x "$simulator" || ! -f "$build/app/libBrelith.so" ]]; then
  echo "varnak-demo-gui: building in $build" >&2
  if [[ ! -f "$build/CMakeCache.txt" ]]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  cmake --build "$build" --target varnak varnak-ecu-sim brelith_beside_varnak -j2
fi

work="$(mktemp -d /tmp/varnak-demo-XXXXXX)"
sim_pid=""
cleanup() {
  if [[ -n "$sim_pid" ]]; then kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# The simulator prints the path of its side of the line first.
"$simulator" "$root/examples/demo-ecu.scenario" >"$work/sim.out" 2>"$work/sim.err" &
sim_pid=$!
port=""
for _ in $(seq 1 100); do
  port="$(head -n 1 "$work/sim.out" 2>/dev/null || true)"
  [[ -n "$port" ]] && break
  if ! kill -0 "$sim_pid" 2>/dev/null; then
    cat "$work/sim.err" >&2
    echo "varnak-demo-gui: the simulator did not start" >&2
    exit 1
  fi
  sleep 0.05
done
if [[ -z "$port" ]]; then
  echo "varnak-demo-gui: the simulator printed no port" >&2
  exit 1
fi
echo "varnak-demo-gui: simulated ECU on $port" >&2

"$program" "$root/examples/demo-ecu.adx" --port "$port" --scan "$@"
