#!/usr/bin/env bash
# Installs what is missing, builds everything into build/stage and starts the
# workbench from there (arguments are passed on to it).
set -eu
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DZUN_TESTS=OFF
cmake --build build
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display: starting the workbench under a virtual X server (xvfb-run)." >&2
  exec xvfb-run -a build/stage/bin/zun09 "$@"
fi
exec build/stage/bin/zun09 "$@"
