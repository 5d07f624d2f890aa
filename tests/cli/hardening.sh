#!/usr/bin/env bash
# quorix-parse where users trip: byte-order marks, other keys, inputs too large, endless inputs, input that
# trickles in through a pipe, and SIGINT or SIGTERM in the middle of a run.
#   hardening.sh TOOL GOLDEN SCRATCH [SANITIZED]
# With SANITIZED set the endless input runs without a memory cap: a sanitizer reserves its shadow memory up front.
set -uo pipefail
tool=$1 golden=$2 scratch=$3 sanitized=${4:-}
rm -rf "$scratch" && mkdir -p "$scratch" && cd "$scratch" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# expect NAME STATUS COMMAND...: runs the command, stdout to NAME.out, stderr to NAME.err, and checks the status.
expect() {
  local name=$1 status=$2
  shift 2
  "$@" >"$name.out" 2>"$name.err"
  local rc=$?
  [ "$rc" = "$status" ] || fail "$name: exit $rc, wanted $status; stderr: $(head -c 300 "$name.err")"
}
has() { grep -q -- "$2" "$1" || fail "$1 lacks [$2]: $(head -c 300 "$1")"; }
lines() { wc -l <"$1" | tr -d ' '; }

sample=$(find "$golden/aamva" -name '*.in' | sort | head -1)
now=(--now 2030-01-15T10:00:00)

# A byte-order mark before a document or a JSON Lines file changes nothing.
{ printf '\xEF\xBB\xBF'; cat "$sample"; } >bom.in
expect plain 0 "$tool" "${now[@]}" --slots "$sample"
expect bom 0 "$tool" "${now[@]}" --slots bom.in
[ "$(sed 's/^{"file": "[^"]*"//' plain.out)" = "$(sed 's/^{"file": "[^"]*"//' bom.out)" ] || fail "a BOM changed the result"
printf '\xEF\xBB\xBF{"id": 1, "source": {"scanner": [1, 2]}, "text": "no decoder reads this", "ok": true}\n' >bom.jsonl
expect bom-jsonl 1 "$tool" --jsonl-in bom.jsonl
has bom-jsonl.out '^{"id": 1, "status": -25, "error": "no decoder accepted the input"}$'

# --max-bytes refuses a larger input with a line of its own and status 3; the rest of the run goes on.
printf 'short' >short.in
printf 'four' >four.in
expect too-large 3 "$tool" --max-bytes 4 short.in four.in
has too-large.out '^{"file": "short.in", "error": "the input is longer than 4 bytes (see --max-bytes)"}$'
has too-large.out '^{"file": "four.in", "status": -25,'
has too-large.err 'short.in: the input is longer than 4 bytes'
expect fits 1 "$tool" --max-bytes=5 short.in
{ echo '{"id": 1, "text": "a text far longer than forty bytes, all of it"}'
  echo '{"id": 2, "text": "short"}'; } >long.jsonl
expect too-long-line 3 "$tool" --jsonl-in --max-bytes 40 long.jsonl
has too-long-line.out '^{"file": "long.jsonl", "line": 1, "error": "the line is longer than 40 bytes (see --max-bytes)"}$'
has too-long-line.out '^{"id": 2, "status": -25'
has too-long-line.err '2 inputs in .*, 1 rejected, 0 malformed, 1 too large$'
for bad in 0 -1 12x 2147483632; do
  expect "max-bytes-$bad" 2 "$tool" --max-bytes "$bad" short.in
  has "max-bytes-$bad.err" "--max-bytes needs a number from 1 to 2147483631, not '$bad'"
done

# An endless input is refused at the limit, within bounded memory, not read until memory runs out.
if [ -n "$sanitized" ]; then
  "$tool" /dev/zero >zero.out 2>zero.err
else
  (ulimit -v 262144 && exec "$tool" /dev/zero) >zero.out 2>zero.err
fi
rc=$?
[ "$rc" = 3 ] || fail "/dev/zero: exit $rc; stderr: $(head -c 300 zero.err)"
has zero.out '^{"file": "/dev/zero", "error": "the input is longer than 16777216 bytes (see --max-bytes)"}$'

# Input that trickles in through a pipe is answered line by line, and a signal ends the run with every line whole
# and the summary counting them.
wait_lines() {  # FILE COUNT: waits up to 10 s for FILE to hold COUNT lines
  for _ in $(seq 100); do
    [ "$(lines "$1")" -ge "$2" ] && return 0
    sleep 0.1
  done
  return 1
}
for signal in TERM INT; do
  rm -f in.fifo && mkfifo in.fifo
  "$tool" --jsonl-in --jobs 2 - <in.fifo >"stream-$signal.out" 2>"stream-$signal.err" &
  pid=$!
  exec 3>in.fifo
  echo '{"id": "first", "text": "no decoder reads this"}' >&3
  wait_lines "stream-$signal.out" 1 || fail "$signal: a line written to the pipe gave no result while it stayed open"
  # Then a steady stream, stopped while it flows.
  (for i in $(seq 20000); do echo "{\"id\": $i, \"text\": \"no decoder reads this\"}"; done >&3) 2>/dev/null &
  writer=$!
  wait_lines "stream-$signal.out" 100 || fail "$signal: the stream gave no results"
  kill -"$signal" "$pid"
  wait "$pid"
  rc=$?
  exec 3>&-
  kill "$writer" 2>/dev/null
  wait "$writer" 2>/dev/null
  want=$([ "$signal" = INT ] && echo 130 || echo 143)
  [ "$rc" = "$want" ] || fail "$signal: exit $rc, wanted $want"
  has "stream-$signal.err" "stopped by SIG$signal after the inputs in flight"
  count=$(lines "stream-$signal.out")
  has "stream-$signal.err" "^quorix-parse: $count inputs in "
  [ -z "$(tail -c 1 "stream-$signal.out")" ] || fail "$signal: the last line is cut off"
  grep -vq '^{"id": [^,]*, "status": -25, "error": "no decoder accepted the input"}$' "stream-$signal.out" &&
    fail "$signal: a line is not whole: $(grep -v '"error": "no decoder accepted the input"}$' "stream-$signal.out" | head -1)"
done

exit $((failures > 0))
