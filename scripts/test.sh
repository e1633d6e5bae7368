#!/usr/bin/env bash
# The whole test suite from a fresh machine: installs what is missing,
# configures, builds and runs ctest. Usage: scripts/test.sh [preset]
# (default, asan, tsan or core-only; default is "default").
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
bash scripts/install-deps.sh
# Formatting and the include rule are part of the suite.
bash scripts/check-format.sh
jobs="$(nproc 2>/dev/null || echo 2)"
cmake --preset "$preset"
cmake --build --preset "$preset" -j "$jobs"
ctest --preset "$preset" -j "$jobs"
