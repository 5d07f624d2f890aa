#!/usr/bin/env bash
# Instructions per input of `quorix-parse --jsonl-in` (extra options such as --slots or --text are passed on), next
# to parse and 40 fields of the same inputs: callgrind counts batch runs over 20 and 60 rounds of the golden corpus
# (bench/make_batch_input.cmake), and the difference leaves out start-up and the first, cold inputs.
# Needs valgrind and the bench preset: cmake --preset bench && cmake --build build/bench
#   bench/batch_instructions.sh [OPTION...]
set -euo pipefail
cd "$(dirname "$0")/.."
tool=build/bench/cli/quorix-parse
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
samples=$(find testdata/golden -name '*.in' | wc -l)
for rounds in 20 60; do
  cmake -DOUT="$out/$rounds.jsonl" -DCOUNT=$((rounds * samples)) -P bench/make_batch_input.cmake >/dev/null
  valgrind --tool=callgrind --callgrind-out-file="$out/$rounds" "$tool" --jsonl-in "$@" "$out/$rounds.jsonl" \
    >/dev/null 2>&1 || true  # a rejected input makes the status 1
done
total() { grep -m1 '^summary:' "$out/$1" | awk '{print $2}'; }
echo "quorix-parse --jsonl-in${*:+ $*}: $(( ($(total 60) - $(total 20)) / (40 * samples) )) instructions per input"
bench/instructions.sh testdata/golden --fields | sed 's/per parse/per input for parse + 40 fields/'
