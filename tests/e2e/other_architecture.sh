#!/usr/bin/env bash
# A host refuses a module built for the other architecture with one clear line and exit code 1,
# writing nothing: the 32-bit host given the 64-bit Inkjet.8bf and the 64-bit host given the
# 32-bit one, through the sharpen command (PiPL path) and the selector command (direct load).
# Arguments: WINE_RUN HOST32_DIR HOST64_DIR WORK_DIR; each *_DIR holds inkjet-host.exe and
# Inkjet.8bf of one build. Exit 77 (skipped) when one of the builds is missing or no host can
# be started.
set -u
wine_run=$1 dir32=$2 dir64=$3 work=$4
for f in "$dir32/inkjet-host.exe" "$dir32/Inkjet.8bf" "$dir64/inkjet-host.exe" "$dir64/Inkjet.8bf"; do
  [ -f "$f" ] || { echo "no $f"; exit 77; }
done
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
printf 'P5\n8 8\n255\n' > gray.pgm
head -c 64 /dev/zero >> gray.pgm

failures=0 skipped=0
# host_dir module_dir module_machine host_machine command...
refuses() {
  local host_dir=$1 module_dir=$2 module=$3 host=$4
  shift 4
  rm -f out.pgm
  "$wine_run" "$host_dir/inkjet-host.exe" --module-dir "$module_dir" "$@" >run.out 2>run.err
  local status=$?
  tr -d '\r' < run.err > err.txt
  local what="$host host, $module module, $1"
  if [ $status -eq 77 ]; then
    # wine-run could not start the program at all (a kernel without 32-bit emulation).
    echo "skipped: $what: $(cat err.txt)"; skipped=$((skipped + 1))
  elif [ $status -ne 1 ]; then
    echo "FAILED: $what: exit $status"; failures=$((failures + 1))
  elif [ "$(wc -l < err.txt)" -ne 1 ] ||
       ! grep -q "is a $module module, but this host is $host and can load only a $host module" err.txt; then
    echo "FAILED: $what: stderr was:"; cat err.txt; failures=$((failures + 1))
  elif [ -e out.pgm ]; then
    echo "FAILED: $what: wrote an output file"; failures=$((failures + 1))
  else
    echo "refused: $what: $(cat err.txt)"
  fi
}

x86='32-bit (x86)' x64='64-bit (x86-64)'
refuses "$dir32" "$dir64" "$x64" "$x86" sharpen gray.pgm out.pgm --quiet
refuses "$dir32" "$dir64" "$x64" "$x86" selectors 1
refuses "$dir64" "$dir32" "$x86" "$x64" sharpen gray.pgm out.pgm --quiet
refuses "$dir64" "$dir32" "$x86" "$x64" selectors 1
# Skipped only when no host could be started at all.
[ $failures -eq 0 ] && [ $skipped -eq 4 ] && exit 77
exit $((failures > 0))
