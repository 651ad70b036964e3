#!/usr/bin/env bash
# Copies the example workspace (data/examples) into a folder and builds it
# with zbuild, as a user would from the workbench. The load files land in
#   <out-dir>/ky09demo/debug/ky09demo_Debug.s19
#   <out-dir>/ky09demo/final/ky09demo_Final.s19
# Each configuration named is built (Debug when none is named). zbuild's
# output goes to <out-dir>/build.log and is shown when a build fails.
#   build_example.sh <stage> <out-dir> [Debug|Final...]
set -u
if [ $# -lt 2 ]; then
    echo "usage: build_example.sh <stage> <out-dir> [Debug|Final...]" >&2
    exit 2
fi
stage=$(realpath "$1")
out=$2
shift 2
[ $# -gt 0 ] || set -- Debug
examples=$(cd "$(dirname "$0")/../../data/examples" && pwd) || exit 1

mkdir -p "$out" || exit 1
cp -R "$examples"/. "$out"/ || exit 1
for config in "$@"; do
    case $config in
        Debug | Final) ;;
        *) echo "build_example.sh: no configuration '$config'" >&2; exit 2 ;;
    esac
    if ! "$stage/bin/zbuild" "$out/ky09demo.w09" --config "$config" --build >"$out/build.log" 2>&1; then
        cat "$out/build.log" >&2
        echo "build_example.sh: the $config build failed" >&2
        exit 1
    fi
    lower=$(echo "$config" | tr '[:upper:]' '[:lower:]')
    load="$out/ky09demo/$lower/ky09demo_$config.s19"
    [ -s "$load" ] || { echo "build_example.sh: no $load" >&2; exit 1; }
done
exit 0
