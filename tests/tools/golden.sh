#!/usr/bin/env bash
# Runs one end-to-end case of a staged program and compares what it did with
# what the case expects.
#
#   golden.sh <program> <case-dir>
#
# A case folder holds:
#   cmd            the program's arguments, one per line (no shell quoting)
#   in/            files copied into the working folder before the run (optional)
#   expected/rc    the exit code (0 when absent)
#   expected/stdout, expected/stderr
#                  the exact standard output / error (not compared when absent)
#   expected/files/NAME
#                  a file the run must leave in the working folder, byte for byte
#   expected/absent
#                  names, one per line, of files the run must not leave behind
# The run happens in a fresh temporary folder, so messages carry relative paths.
set -u
prog=$1
case_dir=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

[ -d "$case_dir/in" ] && cp -R "$case_dir/in/." "$work/"
args=()
while IFS= read -r line || [ -n "$line" ]; do
  line=${line%$'\r'}
  args+=("$line")
done < "$case_dir/cmd"

cd "$work"
"$prog" "${args[@]}" >"$work/.stdout" 2>"$work/.stderr" </dev/null
rc=$?

fail=0
want_rc=0
[ -f "$case_dir/expected/rc" ] && want_rc=$(tr -d ' \r\n' <"$case_dir/expected/rc")
if [ "$rc" != "$want_rc" ]; then
  echo "exit code: got $rc, want $want_rc"
  fail=1
fi
for stream in stdout stderr; do
  if [ -f "$case_dir/expected/$stream" ]; then
    if ! diff -u "$case_dir/expected/$stream" "$work/.$stream"; then
      echo "($stream differs)"
      fail=1
    fi
  fi
done
if [ -d "$case_dir/expected/files" ]; then
  for want in "$case_dir/expected/files"/*; do
    [ -e "$want" ] || continue
    name=$(basename "$want")
    if [ ! -f "$work/$name" ]; then
      echo "missing output file: $name"
      fail=1
    elif ! diff -u "$want" "$work/$name"; then
      echo "($name differs)"
      fail=1
    fi
  done
fi
if [ -f "$case_dir/expected/absent" ]; then
  while IFS= read -r name || [ -n "$name" ]; do
    [ -n "$name" ] && [ -e "$work/$name" ] && { echo "file should not exist: $name"; fail=1; }
  done <"$case_dir/expected/absent"
fi
if [ $fail -ne 0 ]; then
  echo "--- stderr of the run:"; cat "$work/.stderr"
fi
exit $fail
