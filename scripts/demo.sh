#!/usr/bin/env bash
# The demo: a simulated engine control unit on a pseudo-terminal and a live
# scan of it in the terminal.
#
#   bash scripts/demo.sh
#
# Installs what is missing (scripts/install-deps.sh), builds the two programs
# with the default preset, starts varnak-ecu-sim with the demo ECU, and runs
# "varnak-cli scan examples/demo-ecu.adx --port <its pty> --live" until Ctrl+C,
# which stops the scan (with the disconnect command) and then the simulator.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# VARNAK_DEMO_BUILD names another build folder (configured with the default
# preset's settings when it is new).
BUILD="${VARNAK_DEMO_BUILD:-$ROOT/build/default}"
SCENARIO="$ROOT/examples/demo-ecu.scenario"
DEFINITION="$ROOT/examples/demo-ecu.adx"

bash "$ROOT/scripts/install-deps.sh"

if [ ! -f "$BUILD/CMakeCache.txt" ]; then
  (cd "$ROOT" && cmake --preset default -B "$BUILD")
fi
cmake --build "$BUILD" --target varnak-ecu-sim varnak-cli

SIM="$BUILD/tools/ecu-sim/varnak-ecu-sim"
CLI="$BUILD/tools/varnak-cli/varnak-cli"
for f in "$SIM" "$CLI" "$SCENARIO" "$DEFINITION"; do
  if [ ! -e "$f" ]; then
    echo "demo: $f is missing" >&2
    exit 1
  fi
done

WORK="$(mktemp -d "${TMPDIR:-/tmp}/varnak-demo.XXXXXX")"
SIM_PID=""
cleanup() {
  if [ -n "$SIM_PID" ] && kill -0 "$SIM_PID" 2>/dev/null; then
    kill -TERM "$SIM_PID" 2>/dev/null || true
    wait "$SIM_PID" 2>/dev/null || true
  fi
  rm -rf "$WORK"
}
trap cleanup EXIT
# Ctrl+C reaches the scan, which stops by itself; the script then goes on to
# stop the simulator.
trap ':' INT TERM

"$SIM" "$SCENARIO" >"$WORK/sim.out" 2>"$WORK/sim.err" &
SIM_PID=$!

# The simulator prints the path of its port on its first line.
PORT=""
for _ in $(seq 1 100); do
  if [ -s "$WORK/sim.out" ]; then
    PORT="$(head -n 1 "$WORK/sim.out")"
    break
  fi
  if ! kill -0 "$SIM_PID" 2>/dev/null; then break; fi
  sleep 0.05
done
if [ -z "$PORT" ]; then
  echo "demo: the simulator did not start" >&2
  cat "$WORK/sim.err" >&2 || true
  exit 1
fi

echo "demo: simulated ECU on $PORT; Ctrl+C stops"
status=0
"$CLI" scan "$DEFINITION" --port "$PORT" --live || status=$?
echo
echo "demo: stopped"
exit "$status"
