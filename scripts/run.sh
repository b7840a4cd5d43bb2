#!/usr/bin/env bash
# The main job: installs what is missing, builds the native tool, and sharpens the sample print
# chart with the module's own code through its entry point, printing the report first.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset native >/dev/null
cmake --build --preset native -j "$(nproc)" --target inkjet

echo
echo "What the filter will do for a 254 mm wide print of samples/chart.png:"
build/native/inkjet report samples/chart.png --print-width 254
build/native/inkjet sharpen samples/chart.png samples/chart-sharpened.png --print-width 254
echo "Wrote samples/chart-sharpened.png. See build/native/inkjet --help for every option."
