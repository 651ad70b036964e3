#!/usr/bin/env bash
# Builds the release CPU benchmark in build-bench/ and runs it: a mixed
# instruction loop through the board interface, reported as million
# instructions per second (the "instructions" counter).
set -eu
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DZUN_TESTS=ON >/dev/null
cmake --build build-bench --target bench_cpu >/dev/null
exec build-bench/tests/bench_cpu --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@"
