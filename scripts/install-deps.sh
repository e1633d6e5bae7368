#!/usr/bin/env bash
# Installs what Varnak needs to build and test on Debian 12, only when missing.
# Runs apt-get as root (directly, or through sudo when not root).
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev libgl1-mesa-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libmuparser-dev libtinyxml2-dev
  clang libclang-rt-14-dev clang-format python3
  xvfb xauth fonts-liberation2
  # The Debian package and its checks (scripts/package.sh, tests/packaging).
  dpkg-dev file lintian desktop-file-utils libxml2-utils
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: everything is installed"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
