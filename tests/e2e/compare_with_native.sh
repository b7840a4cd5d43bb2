#!/usr/bin/env bash
# inkjet-host.exe running Inkjet.8bf under Wine must write the same bytes as the native inkjet
# tool (formula colour path on both sides) for grayscale, RGB and CMYK PNM/PAM files of
# several sizes, one tile and several, with default and with chosen settings. The native tool
# works on one thread and the Windows module on eight, so every comparison also shows that the
# thread count changes no byte.
# Arguments: NATIVE_INKJET WINE_RUN HOST_EXE WORK_DIR. Exit 77 (skipped) without the native tool.
set -u
native=$1 wine_run=$2 host=$3 work=$4
[ -x "$native" ] || { echo "no native inkjet at $native"; exit 77; }
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1

# A deterministic pattern: edges and gradients, so sharpening changes plenty of samples.
pattern() {  # bytes count
  awk -v n="$1" 'BEGIN { for (i = 0; i < n; i++) printf "%c", (i * 7 + int(i / 13) * 41) % 251 + 1 }'
}
pnm() {  # name magic width height channels
  printf '%s\n%s %s\n255\n' "$2" "$3" "$4" > "$1"
  LC_ALL=C pattern $(($3 * $4 * $5)) >> "$1"
}
pam() {  # name width height depth tupltype
  printf 'P7\nWIDTH %s\nHEIGHT %s\nDEPTH %s\nMAXVAL 255\nTUPLTYPE %s\nENDHDR\n' "$2" "$3" "$4" "$5" > "$1"
  LC_ALL=C pattern $(($2 * $3 * $4)) >> "$1"
}

pnm gray-small.pgm P5 37 23 1
pnm rgb-tiles.ppm P6 700 690 3
pam cmyk-wide.pam 1300 40 4 CMYK
pam cmyk-tall.pam 30 700 4 CMYK
pam rgba.pam 90 80 4 RGB_ALPHA
pnm gray-tiles.pgm P5 1400 700 1

failures=0
compare() {  # input output options...
  local input=$1 output=$2
  shift 2
  "$native" sharpen "$input" "native-$output" --color-engine formula --quiet --threads 1 "$@" \
    2>native.err ||
    { echo "native failed on $input: $(cat native.err)"; failures=$((failures + 1)); return; }
  "$wine_run" "$host" sharpen "$input" "wine-$output" --quiet --threads 8 "$@" >wine.out \
    2>wine.err ||
    { echo "wine host failed on $input: $(cat wine.err)"; failures=$((failures + 1)); return; }
  if cmp -s "native-$output" "wine-$output"; then
    echo "same: $input $*"
  else
    echo "DIFFERENT: $input $* ($(cmp "native-$output" "wine-$output" | head -1))"
    failures=$((failures + 1))
  fi
}

compare gray-small.pgm gray-small.pgm
compare rgb-tiles.ppm rgb-tiles.ppm --print-width 254
compare rgb-tiles.ppm rgb-profile.ppm --profile 3 --printer "2880x720 photo" --source 9
compare cmyk-wide.pam cmyk-wide.pam --print-width 120
compare cmyk-tall.pam cmyk-tall.pam
compare rgba.pam rgba.pam --eye-distance 4
# A small print seen from afar: the box blur's radii.
compare rgb-tiles.ppm rgb-box.ppm --print-width 40 --eye-distance 5
compare rgba.pam rgba-box.pam --print-width 10 --eye-distance 5
compare gray-tiles.pgm gray-tiles.pgm --print-width 1500
exit $((failures > 0))
