#!/usr/bin/env bash
# The example workspace's Debug build, read by sld-dump: the reader says
# nothing but its progress (no warning), and the model equals the golden
# dump.
#   example_dump.sh <stage> <tests/sld folder>
set -u
stage=$(realpath "$1")
here=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

bash "$here/../tools/build_example.sh" "$stage" "$work" Debug || { echo "example_dump: the example did not build"; exit 1; }
bash "$here/stable_dump.sh" "$stage" "$work/ky09demo/debug/ky09demo_Debug.s19" "$work" >"$work/example.dump" ||
    { echo "example_dump: no model of the example"; exit 1; }
diff -u "$here/golden/example.dump" "$work/example.dump" || { echo "example_dump: the model differs from the golden dump"; exit 1; }
exit 0
