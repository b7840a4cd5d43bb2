#!/usr/bin/env bash
# The plug-in's dialog in GIMP: `gimp -i` runs plug-in-inkjet interactively on an RGB picture
# (private GIMP2_DIRECTORY); xdotool picks the last printer on the Printer track and presses
# OK. The result must be `inkjet sharpen`'s with that printer. A second GIMP then repeats the
# filter with its last values: the settings survived the restart. Run inside
# tests/x11/with_xvfb.sh.
# Arguments: INKJET INKJET_GIMP SOURCE_DIR WORK_DIR ARTIFACTS. Exit 77 (skipped) without gimp,
# xdotool or ImageMagick.
set -u
for tool in gimp xdotool convert compare import; do
  command -v $tool >/dev/null || { echo "no $tool"; exit 77; }
done
inkjet=$(realpath "$1") plugin=$(realpath "$2") source_dir=$(realpath "$3") work=$4 artifacts=$5
rm -rf "$work" && mkdir -p "$work" "$artifacts" || exit 1
work=$(realpath "$work") artifacts=$(realpath "$artifacts")
cd "$work" || exit 1
fail() { echo "FAIL: $*"; exit 1; }

export GIMP2_DIRECTORY=$work/gimp-home
"$source_dir/scripts/install-gimp-plugin.sh" "$plugin" >/dev/null || fail "the plug-in did not install"
{
  printf 'P6\n96 64\n255\n'
  LC_ALL=C awk 'BEGIN { for (y = 0; y < 64; y++) for (x = 0; x < 96; x++)
    printf "%c%c%c", int(x * 255 / 96), int(y * 255 / 64), ((int(x / 7) + int(y / 7)) % 2) ? 210 : 40 }'
} > picture.ppm
convert picture.ppm -density 150 -units PixelsPerInch \
  -define png:exclude-chunks=bKGD,cHRM,gAMA,sRGB,tEXt,zTXt,tIME rgb.png

batch() {  # batch MODE OUTPUT: runs the filter on rgb.png in GIMP and saves OUTPUT
  echo "(let* ((image (car (gimp-file-load RUN-NONINTERACTIVE \"rgb.png\" \"rgb.png\")))
          (drawable (car (gimp-image-get-active-drawable image))))
     (plug-in-inkjet $1 image drawable 0 0 -1 -1 -1 -1 0 0)
     (gimp-file-save RUN-NONINTERACTIVE image drawable \"$2\" \"$2\"))
   (gimp-quit 0)"
}

timeout 300 gimp -i -d -f -n --batch-interpreter=plug-in-script-fu-eval \
  -b "$(batch RUN-INTERACTIVE dialog.png)" >gimp.log 2>&1 &
gimp_pid=$!
window=$(timeout 120 xdotool search --sync --onlyvisible --name '^Inkjet$' | head -n 1)
[ -n "$window" ] || { cat gimp.log; fail "no Inkjet dialog from GIMP"; }
import -window "$window" "$artifacts/gimp_dialog.png"
xdotool mousemove --window "$window" 202 215 click 1   # the last printer
xdotool mousemove --window "$window" 465 334 click 1   # OK
wait "$gimp_pid" || { cat gimp.log; fail "GIMP ended with $?"; }
"$inkjet" sharpen rgb.png cli.png --quiet --printer 11 || fail "sharpen"
[ "$(compare -metric AE dialog.png cli.png null: 2>&1)" = 0 ] ||
  fail "the dialog's result in GIMP differs from sharpen --printer 11"
echo "same: interactive"

timeout 300 gimp -i -d -f -n --batch-interpreter=plug-in-script-fu-eval \
  -b "$(batch RUN-WITH-LAST-VALS again.png)" >again.log 2>&1 || { cat again.log; fail "the repeat failed"; }
[ "$(compare -metric AE again.png cli.png null: 2>&1)" = 0 ] ||
  fail "the repeat after a restart did not use the last settings"
echo "same: last values after a restart"
