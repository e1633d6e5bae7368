#!/usr/bin/env bash
# Fails when a C++ file of the repository is not clang-formatted or names a
# project header other than from the repository root.
# Usage: scripts/check-format.sh [--fix]
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  python3 scripts/include-root.py >/dev/null
  clang-format -i "${files[@]}"
  exit 0
fi
status=0
python3 scripts/include-root.py --check || { echo "check-format: includes not written from the root (scripts/include-root.py fixes them)"; status=1; }
if ! clang-format --dry-run --Werror "${files[@]}" 2>/tmp/check-format.$$; then
  grep -E '^[^ ].*: (error|warning):' /tmp/check-format.$$ | cut -d: -f1 | sort -u | sed 's/^/not formatted: /'
  echo "check-format: run scripts/check-format.sh --fix"
  status=1
fi
rm -f /tmp/check-format.$$
exit $status
