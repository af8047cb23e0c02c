#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need, only
# those that are missing. Sourced by run.sh and test.sh.
set -euo pipefail

TARVEX_PACKAGES=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libgl-dev
  fonts-dejavu-core
  xdg-utils # xdg-open, the opener of help pages the shipped configuration names
  xvfb xauth xdotool imagemagick openbox x11-utils
  clang libclang-rt-14-dev
)

missing=()
for package in "${TARVEX_PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing missing packages: ${missing[*]}"
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
fi
