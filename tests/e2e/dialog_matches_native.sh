#!/usr/bin/env bash
# The real dialog under Wine, end to end: inkjet-host.exe opens Inkjet.8bf's main dialog on an
# RGB picture, a script screenshots it, changes the printer by a click on the Printer field's
# track, opens the Eye Distance list, opens the help and presses OK. The output must be byte for
# byte the native inkjet tool's with the settings the dialog recorded (formula colour path).
# Screenshots land in ARTIFACTS as PNG, named dialog_LABEL_*.png (LABEL by default "wine").
# Arguments: NATIVE_INKJET WINE_RUN HOST_EXE WORK_DIR ARTIFACTS [LABEL]. Exit 77 (skipped)
# without the native tool.
set -u
native=$1 wine_run=$2 host=$3 work=$4 artifacts=$5 label=${6:-wine}
[ -x "$native" ] || { echo "no native inkjet at $native"; exit 77; }
rm -rf "$work" && mkdir -p "$work" "$artifacts" && cd "$work" || exit 1

# A deterministic RGB picture with edges and gradients.
{
  printf 'P6\n640 400\n255\n'
  LC_ALL=C awk 'BEGIN { for (y = 0; y < 400; y++) for (x = 0; x < 640; x++)
    printf "%c%c%c", int(x * 255 / 640), int(y * 255 / 400), ((int(x / 24) + int(y / 24)) % 2) ? 210 : 50 }'
} > picture.ppm

shot() { echo "Z:$artifacts/$1"; }
cat > session.txt <<SCRIPT
# The dialog as it opens
screenshot $(shot dialog_${label}_startup.png)
# The Printer field's track at its right end: the last printer
click 202 215
screenshot $(shot dialog_${label}_printer.png)
# The Eye Distance list, held open, then released where it was opened
# The popup window is shown once its loop first runs out of messages
press 140 257
move 150 262
wait 300
screenshot $(shot dialog_${label}_eye_distance_popup.png)
release 140 257
# A help page beside the dialog
click 136 340
wait 200
screenshot-front $(shot dialog_${label}_help.png)
click 465 334
SCRIPT

timeout 120 "$wine_run" "$host" --dialog picture.ppm wine.ppm --script session.txt >wine.out 2>wine.err
status=$?
cat wine.out wine.err
[ $status -eq 0 ] || { echo "the dialog run failed ($status)"; exit 1; }
settings=$(sed -n 's/^settings: *//p' wine.out | tr -d '\r')
case " $settings " in
  *" --printer 11 "*) ;;
  *) echo "the click on the Printer track did not choose the last printer: $settings"; exit 1 ;;
esac
# shellcheck disable=SC2086
"$native" sharpen picture.ppm native.ppm --color-engine formula --quiet $settings || exit 1
if cmp native.ppm wine.ppm; then
  echo "same: dialog run with $settings"
else
  echo "DIFFERENT: dialog run with $settings"
  exit 1
fi
for name in startup printer eye_distance_popup help; do
  [ -s "$artifacts/dialog_${label}_$name.png" ] || { echo "no screenshot $name"; exit 1; }
done
