#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, and nothing when all
# of it is already there.
set -eu
packages=(g++ cmake ninja-build libgtest-dev libgmock-dev googletest libbenchmark-dev srecord
          qt6-base-dev libqscintilla2-qt6-dev libre2-dev fonts-liberation xvfb xauth)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
