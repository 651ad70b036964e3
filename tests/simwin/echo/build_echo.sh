#!/usr/bin/env bash
# Builds echo.c with the staged tool chain, with debug records, like a
# workbench Debug build: builds/echo.s19 below the given directory.
#   build_echo.sh <stage> <out-dir>
set -eu
S=$1
out=$2
src=$(cd "$(dirname "$0")" && pwd)/echo.c
mkdir -p "$out"
cd "$out"
"$S/bin/cpp" -I "$S/include" -D__ZUN09 -D_DEBUG "$src" echo.i
"$S/bin/tcx09" -g echo.i echo.s09
"$S/bin/hasm09" -g -e echo.s09
"$S/bin/hasm09" -g -o startup.o09 "$S/src/startup/zun09/_startup.s09"
"$S/bin/vlk" -g -I "$S/config/zun09" -i default.lsc -L "$S/lib/zun09" -l libccd.e09 \
    -o echo.s19 startup.o09 echo.o09
