#!/usr/bin/env bash
# The whole test run: installs what is missing, builds the four presets, runs the native
# tests plain and under the sanitizers after a minute shared by all the fuzz targets, then the
# 32-bit and the 64-bit Windows module's tests under Wine, each build in its own Wine prefix
# (the 32-bit ones only on a kernel that runs 32-bit programs).
# The native tests include the desktop ones: `inkjet dialog` and the GIMP plug-in, each in a
# private Xvfb (tests/x11/with_xvfb.sh) driven by xdotool, under a timeout.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)
for preset in native native-asan win32 win64; do
  cmake --preset "$preset" -DINKJET_WERROR=ON >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done

# About a minute of fuzzing, shared by every reader and the module under a hostile host.
scripts/fuzz.sh

ctest --test-dir build/native --output-on-failure -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/native-asan --output-on-failure -j "$jobs"
# Some kernels are booted without 32-bit emulation: no i386 program, so no 32-bit Wine, can
# start there. The 32-bit module is still built above; its tests need a kernel that runs it.
if scripts/wine-run build/win32/inkjet-host.exe --version >/dev/null 2>&1 || [ $? -ne 77 ]; then
  xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir build/win32 --output-on-failure
else
  echo "test.sh: SKIPPED the 32-bit Windows module's tests under Wine: this kernel runs no" \
    "32-bit programs (32-bit emulation is off; see dmesg)" >&2
fi
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir build/win64 --output-on-failure
