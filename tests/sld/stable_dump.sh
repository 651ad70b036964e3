#!/usr/bin/env bash
# Prints sld-dump's model of a load file with the stage and the build folder
# written as <STAGE> and <WORK>, so that it can be compared with a golden
# dump. Fails when sld-dump fails or says more than its progress.
#   stable_dump.sh <stage> <load file> <build folder>
set -u
stage=$(realpath "$1")
work=$(realpath "$3")
err=$(mktemp)
trap 'rm -f "$err"' EXIT
out=$("$stage/bin/sld-dump" "$2" 2>"$err") || { cat "$err" >&2; echo "sld-dump $2 failed" >&2; exit 1; }
if [ "$(cat "$err")" != "$(printf "Reading debug info\nEntry point 'startuplabel'")" ]; then
    cat "$err" >&2
    echo "sld-dump $2 said more than its progress" >&2
    exit 1
fi
printf '%s\n' "$out" | sed -e "s|$stage|<STAGE>|g" -e "s|$work|<WORK>|g"
