#!/usr/bin/env bash
# Installs what the build, the tests and the manual's recipes need on Debian 12,
# and nothing when all of it is already there. It uses no program that the
# installation's bin/ also holds (cpp, grep, fgrep), so where that folder
# stands on PATH changes nothing.
set -eu
packages=(g++ cmake ninja-build libgtest-dev libgmock-dev googletest libbenchmark-dev srecord
          qt6-base-dev libqscintilla2-qt6-dev fonts-liberation xvfb xauth socat)
missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null) || status=""
  [ "$status" = "install ok installed" ] || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
