#!/usr/bin/env bash
# Builds the release benchmark of the debug reader in build-bench/ and runs
# it: reading a load file of 200 modules and 5,000 execution points, in ms.
set -eu
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DZUN_TESTS=ON >/dev/null
cmake --build build-bench --target bench_sld >/dev/null
exec build-bench/tests/bench_sld --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@"
