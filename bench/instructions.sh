#!/usr/bin/env bash
# Instructions per warm parse of FILE (with --fields, parse and all 40 derivations): callgrind counts two loops of
# parse_loop, of 100 and 300 parses, and the difference over 200 leaves out start-up and the first, cold parse.
# A directory stands for its *.in files, parsed in turn: the count is then per parse of that mix.
# Needs valgrind and the bench preset: cmake --preset bench && cmake --build build/bench
#   bench/instructions.sh FILE|DIRECTORY [--fields]
set -euo pipefail
cd "$(dirname "$0")/.."
loop=build/bench/bench/parse_loop
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for count in 100 300; do
  valgrind --tool=callgrind --callgrind-out-file="$out/$count" "$loop" "$1" "$count" "${2:-}" >"$out/$count.txt" 2>&1
done
total() { grep -m1 '^summary:' "$out/$1" | awk '{print $2}'; }
parses() { grep -m1 'parses accepted' "$out/$1.txt" | awk '{print $3}'; }
echo "$1${2:+ $2}: $(( ($(total 300) - $(total 100)) / ($(parses 300) - $(parses 100)) )) instructions per parse"
