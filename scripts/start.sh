#!/usr/bin/env bash
# Installs what is missing, builds everything into build/stage and starts the
# main program from there.
set -eu
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DZUN_TESTS=OFF
cmake --build build
exec build/stage/bin/hasm09 "$@"
