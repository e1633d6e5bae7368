#!/usr/bin/env bash
# Installs what Varnak needs to build and test on Debian 12, only when missing.
# Runs apt-get as root (directly, or through sudo when not root).
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev libgl1-mesa-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libmuparser-dev libtinyxml2-dev
  libmosquitto-dev mosquitto
  clang libclang-rt-14-dev clang-format python3
  xvfb xauth fonts-liberation2
  # The Debian package and its checks (scripts/package.sh, tests/packaging).
  dpkg-dev file lintian desktop-file-utils libxml2-utils
  locales
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: every package is installed"
else
  echo "install-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The tests also run under a comma-decimal locale.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  echo "install-deps: generating the de_DE.UTF-8 locale"
  $SUDO sed -i 's/^# *\(de_DE\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^de_DE\.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen
fi
