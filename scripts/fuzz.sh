#!/usr/bin/env bash
# Builds the fuzz preset (clang, libFuzzer, AddressSanitizer and UBSan throughout) and runs
# every fuzz target for its share of a time budget: the image readers (PNG, JPEG, TIFF,
# PNM/PAM, BMP), the metadata layer (EXIF, IPTC, XMP through Exiv2), the settings-file reader
# and the module's entry point driven by a hostile host. Each starts from its small seed corpus
# in the tree (tests/*/fuzz/corpus), copied into build/fuzz/corpus, where what the fuzzer
# learns is kept between runs.
#
#   scripts/fuzz.sh                  about a minute in all, as the test run does
#   FUZZ_SECONDS=3600 scripts/fuzz.sh  an hour in all, for a nightly run
#
# A crash stops the script with the fuzzer's report and leaves the input that caused it in
# build/fuzz/findings.
set -euo pipefail
cd "$(dirname "$0")/.."

budget=${FUZZ_SECONDS:-60}
# target, share of the budget in percent, longest input, seed folder ("" for the settings files
# made below).
targets=(
  "hostile_host_fuzz 22 4096 tests/host/fuzz/corpus"
  "png_reader_fuzz 11 4096 tests/hostapp/fuzz/corpus/png"
  "jpeg_reader_fuzz 11 8192 tests/hostapp/fuzz/corpus/jpeg"
  "tiff_reader_fuzz 13 4096 tests/hostapp/fuzz/corpus/tiff"
  "pnm_reader_fuzz 8 2048 tests/hostapp/fuzz/corpus/pnm"
  "bmp_reader_fuzz 8 2048 tests/hostapp/fuzz/corpus/bmp"
  "metadata_fuzz 13 8192 tests/hostapp/fuzz/corpus/metadata"
  "settings_file_fuzz 14 256 -"
)

cmake --preset fuzz >/dev/null
names=()
for entry in "${targets[@]}"; do names+=("${entry%% *}"); done
cmake --build build/fuzz --target "${names[@]}" -j 2

# The settings reader's seeds: a valid file and a few damaged ones.
settings=build/fuzz/corpus/settings_file_fuzz
mkdir -p "$settings"
{
  printf 'orvBrindlecraft1.0 Inkjet'
  head -c 59 /dev/zero
  printf '\x02\0\0\0\x01\0\0\0\x02\0\0\0\x04\0\0\0\x02\0\0\0\x05\0\0\0'
} >"$settings/valid.orv"
head -c 90 "$settings/valid.orv" >"$settings/short.orv"
sed 's/Inkjet/inkjet/' "$settings/valid.orv" >"$settings/other-case.orv"

mkdir -p build/fuzz/findings
for entry in "${targets[@]}"; do
  read -r name share maxlen seeds <<<"$entry"
  corpus=build/fuzz/corpus/$name
  mkdir -p "$corpus"
  if [ "$seeds" != "-" ]; then cp -n "$seeds"/* "$corpus"/; fi
  seconds=$(( budget * share / 100 ))
  [ "$seconds" -ge 1 ] || seconds=1
  binary=$(find build/fuzz -type f -name "$name" -perm -u+x | head -n 1)
  echo "== $name: ${seconds}s"
  log=build/fuzz/findings/$name.log
  if ! "$binary" -max_total_time="$seconds" -max_len="$maxlen" -rss_limit_mb=2048 \
      -artifact_prefix=build/fuzz/findings/"$name"- -print_final_stats=1 "$corpus" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "fuzz.sh: $name found a fault; see build/fuzz/findings"
    exit 1
  fi
  # Runs, coverage (edges) and corpus size at the end, and the peak memory.
  grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1 || true
  grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$log" || true
done
