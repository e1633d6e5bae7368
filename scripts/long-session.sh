#!/usr/bin/env bash
# A long session, measured: the simulated demo ECU answers as fast as the line
# allows (no pacing), the window scans it with the example definition,
# records from the second second on and shows the Output tab, for MINUTES
# minutes (default 10) under the offscreen platform. The window reports its
# resident memory, open descriptors and the event loop's longest stall every
# PERIOD seconds (default 10, VARNAK_PROBE_SECONDS); the script prints them
# and, at the end, the growth after the first minute beside the goals
# (< 5 MB resident memory, a constant descriptor count, stalls < 50 ms).
#
#   scripts/long-session.sh [MINUTES]
# Environment: VARNAK_BUILD_DIR (default build/default), VARNAK_PROBE_SECONDS,
# VARNAK_LONG_DEFINITION (another definition than examples/demo-ecu.adx, for
# comparisons).
# Exit status: 0 when the run completed (goals met or not), 1 when it failed.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VARNAK_BUILD_DIR:-$root/build/default}"
minutes="${1:-10}"
period="${VARNAK_PROBE_SECONDS:-10}"
program="$build/app/varnak"
simulator="$build/tools/ecu-sim/varnak-ecu-sim"
for file in "$program" "$simulator"; do
  if [[ ! -x "$file" ]]; then
    echo "long-session: $file is missing; build the varnak and varnak-ecu-sim targets" >&2
    exit 1
  fi
done
if ! [[ "$minutes" =~ ^[0-9]+([.][0-9]+)?$ ]]; then
  echo "usage: long-session.sh [MINUTES]" >&2
  exit 2
fi

work="$(mktemp -d /tmp/varnak-long-XXXXXX)"
sim_pid=""
cleanup() {
  if [[ -n "$sim_pid" ]]; then kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# The demo scenario without the pacing of the bytes: the fastest the link goes.
sed -e 's/^pace on/pace off/' "$root/examples/demo-ecu.scenario" >"$work/fast.scenario"
"$simulator" "$work/fast.scenario" >"$work/sim.out" 2>"$work/sim.err" &
sim_pid=$!
port=""
for _ in $(seq 1 100); do
  port="$(head -n 1 "$work/sim.out" 2>/dev/null || true)"
  [[ -n "$port" ]] && break
  sleep 0.05
done
if [[ -z "$port" ]]; then
  cat "$work/sim.err" >&2
  echo "long-session: the simulator printed no port" >&2
  exit 1
fi

seconds="$(LC_ALL=C awk -v m="$minutes" 'BEGIN { printf "%d", m * 60 }')"
echo "long-session: $minutes min against $port, a report every $period s" >&2
mkdir -p "$work/home"
status=0
HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" QT_QPA_PLATFORM=offscreen \
  VARNAK_PROBE_SECONDS="$period" VARNAK_PROBE_RECORD=1 \
  "$program" "${VARNAK_LONG_DEFINITION:-$root/examples/demo-ecu.adx}" --port "$port" --scan --tab Output \
  --quit-after "$seconds" --verbose >"$work/out.txt" 2>"$work/err.txt" || status=$?
grep -E '^varnak: (probe|end|first)' "$work/err.txt" || true
if [[ $status -ne 0 ]]; then
  cat "$work/err.txt" >&2
  echo "long-session: varnak ended with status $status" >&2
  exit 1
fi

# Growth from the first report at or after one minute to the last one.
LC_ALL=C awk -v goal_kb=5120 '
  # The closing line comes after the port and the log were closed: only the
  # periodic reports are compared.
  /^varnak: probe t=/ {
    for (i = 1; i <= NF; ++i) {
      if ($i ~ /^t=/) t = substr($i, 3) + 0
      if ($i ~ /^rss=/) rss = substr($i, 5) + 0
      if ($i ~ /^fds=/) fds = substr($i, 5) + 0
      if ($i ~ /^longest-stall=/) stall = substr($i, 15) + 0
    }
    if (t >= 60 && base_t == "") { base_t = t; base_rss = rss; base_fds = fds }
    if (t >= 5 && stall > worst) worst = stall
    last_t = t; last_rss = rss; last_fds = fds; n++
  }
  END {
    if (n == 0) { print "long-session: no reports"; exit 1 }
    if (base_t == "") { base_t = 0; base_rss = rss; base_fds = fds; print "long-session: shorter than a minute; growth from the last report only" }
    grow = last_rss - base_rss
    printf "resident memory: %d kB at %d s, %d kB at %d s: grew %d kB (goal < %d kB: %s)\n", base_rss, base_t, last_rss, last_t, grow, goal_kb, grow < goal_kb ? "met" : "MISSED"
    printf "file descriptors: %d at %d s, %d at %d s (goal constant: %s)\n", base_fds, base_t, last_fds, last_t, base_fds == last_fds ? "met" : "MISSED"
    printf "longest event-loop stall after the first 5 s: %.1f ms (goal < 50 ms: %s)\n", worst, worst < 50 ? "met" : "MISSED"
  }' "$work/err.txt"
