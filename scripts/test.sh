#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test. Any sanitizer report fails
# the run.
set -eu
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:abort_on_error=1
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZUN_SANITIZE=ON
cmake --build build-test
cd build-test
ctest --output-on-failure -j "$(nproc)" --timeout 600
