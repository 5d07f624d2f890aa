#!/usr/bin/env bash
# Proves the image chain with an encoder nobody here wrote: every golden AAMVA, Common Access Card and national-ID
# text is drawn as PDF417 by zint, distorted by ImageMagick, read back by `quorix-parse --image`, and its result
# compared with the golden .expected file. Prints the read rate per distortion; fails when a clean or rotated image
# is not read, or when any image yields a result other than the golden one.
# Usage: round_trip.sh TOOL GOLDEN_DIR SCRATCH_DIR
set -euo pipefail
# The machine is shared: ImageMagick works on one thread, and the PNGs it writes need little compression.
export MAGICK_THREAD_LIMIT=1

tool=$1 golden=$2 scratch=$3
rm -rf "$scratch"
mkdir -p "$scratch/clean"

# Distortions, one ImageMagick argument list each; the names that must be read every time come first.
names=(clean rotate-90 rotate-180 scale-50 scale-200 skew-4 tilt-5 blur jpeg-40 noise combined)
declare -A convert_args=(
  [rotate-90]="-rotate 90"
  [rotate-180]="-rotate 180"
  [scale-50]="-resize 50%"
  [scale-200]="-resize 200%"
  [skew-4]="-background white -shear 4x2"
  [tilt-5]="-background white -rotate 5"
  [blur]="-blur 0x1.2"
  [jpeg-40]="-quality 40"
  [noise]="-seed 7 -attenuate 0.6 +noise Gaussian"
  [combined]="-resize 40% -background white -rotate 7 -blur 0x1 -seed 7 -attenuate 0.8 +noise Gaussian -quality 30"
)
must_read=(clean rotate-90 rotate-180)

# Magnetic-stripe and card-record samples are not barcodes.
cases=()
for sample in "$golden"/{aamva,cac,national_id}/*.in; do
  case_name=$(basename "$(dirname "$sample")")-$(basename "$sample" .in)
  # Raw bytes, no escapes: what the barcode carries is exactly the golden input.
  zint --barcode=55 --binary --scale=3 --quietzones --input="$sample" --output="$scratch/clean/$case_name.png"
  cases+=("$case_name:$sample")
done

for name in "${names[@]:1}"; do
  mkdir -p "$scratch/$name"
  extension=png
  [[ $name == jpeg-* || $name == combined ]] && extension=jpg
  # shellcheck disable=SC2086 # the argument lists are meant to split
  mogrify -path "$scratch/$name" -format "$extension" -define png:compression-level=1 ${convert_args[$name]} "$scratch"/clean/*.png
done

failed=0
printf '%-12s %s\n' distortion "read rate"
for name in "${names[@]}"; do
  good=0 wrong=0 total=0
  for entry in "${cases[@]}"; do
    case_name=${entry%%:*} sample=${entry#*:}
    image=$(ls "$scratch/$name/$case_name".*)
    expected=$(<"${sample%.in}.expected")
    now=2024-06-15T12:00:00
    [[ $expected == now=* ]] && now=$(head -n1 <<<"$expected" | cut -c5-)
    actual=$("$tool" --image --text --slots --now "$now" "$image" | grep -v '^image\.' || true)
    [[ $expected == now=* ]] || actual=$(sed 1d <<<"$actual")
    total=$((total + 1))
    if [[ $actual == "$expected" ]]; then
      good=$((good + 1))
    elif [[ $actual != status=-28 ]]; then
      # A symbol was read but gave another result: bytes were lost or altered on the way.
      wrong=$((wrong + 1))
      echo "  $name/$case_name: result differs from ${sample#"$golden"/}" >&2
      diff <(echo "$expected") <(echo "$actual") | head -n 6 >&2 || true
    fi
  done
  printf '%-12s %3d/%d (%d%%)%s\n' "$name" "$good" "$total" $((100 * good / total)) \
    "$( ((wrong > 0)) && echo ", $wrong wrong")"
  ((wrong == 0)) || failed=1
  for required in "${must_read[@]}"; do
    [[ $name == "$required" && $good -ne $total ]] && failed=1
  done
done
exit $failed
