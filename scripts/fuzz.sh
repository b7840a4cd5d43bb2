#!/usr/bin/env bash
# Builds the fuzz preset (clang, libFuzzer) and fuzzes the settings-file reader for about a
# minute, starting from a valid settings file and a few damaged ones.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset fuzz >/dev/null
cmake --build build/fuzz --target settings_file_fuzz -j 2

corpus=build/fuzz/corpus/settings_file
mkdir -p "$corpus"
{
  printf 'orvBrindlecraft1.0 Inkjet'
  head -c 59 /dev/zero
  printf '\x02\0\0\0\x01\0\0\0\x02\0\0\0\x04\0\0\0\x02\0\0\0\x05\0\0\0'
} >"$corpus/valid.orv"
head -c 90 "$corpus/valid.orv" >"$corpus/short.orv"
sed 's/Inkjet/inkjet/' "$corpus/valid.orv" >"$corpus/other-case.orv"

build/fuzz/tests/settings/fuzz/settings_file_fuzz -max_total_time=60 -max_len=256 "$corpus"
