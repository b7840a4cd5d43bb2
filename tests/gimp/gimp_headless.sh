#!/usr/bin/env bash
# The GIMP plug-in without a display: GIMP's console (private GIMP2_DIRECTORY) runs
# plug-in-inkjet non-interactively in one batch on RGB, RGBA, gray, a selection and a 16-bit
# image, and is refused on an indexed one. The pixels must be `inkjet sharpen`'s with the same
# settings; with a selection, inside it, and nothing outside may change; at 16 bits, the 8-bit
# view of the result is sharpen's and untouched pixels keep their 16-bit values.
# The plug-in is installed from a copy, as scripts/install-gimp-plugin.sh does.
# Arguments: INKJET INKJET_GIMP SOURCE_DIR WORK_DIR. Exit 77 (skipped) without gimp-console or
# ImageMagick.
set -u
inkjet=$(realpath "$1") plugin=$(realpath "$2") source_dir=$(realpath "$3") work=$4
for tool in gimp-console convert compare; do
  command -v $tool >/dev/null || { echo "no $tool"; exit 77; }
done
rm -rf "$work" && mkdir -p "$work" || exit 1
work=$(realpath "$work")
cd "$work" || exit 1
fail() { echo "FAIL: $*"; exit 1; }

# The plug-in carries its resources: it names nothing in the source tree.
"$source_dir/tests/resource_files_named.sh" "$plugin" "$source_dir" &&
  fail "the plug-in names the source tree's resources"

export GIMP2_DIRECTORY=$work/gimp-home
GIMP2_DIRECTORY=$GIMP2_DIRECTORY "$source_dir/scripts/install-gimp-plugin.sh" "$plugin" >/dev/null ||
  fail "the plug-in did not install"

{
  printf 'P6\n96 64\n255\n'
  LC_ALL=C awk 'BEGIN { for (y = 0; y < 64; y++) for (x = 0; x < 96; x++)
    printf "%c%c%c", int(x * 255 / 96), int(y * 255 / 64), ((int(x / 7) + int(y / 7)) % 2) ? 210 : 40 }'
} > picture.ppm
convert picture.ppm -strip rgb.png
convert picture.ppm -strip \( +clone -channel R -fx 'i/w' -separate \) -alpha off -compose CopyOpacity -composite -strip rgba.png
convert picture.ppm -colorspace Gray -strip -define png:color-type=0 gray.png
cp rgb.png selection.png
# 16 bits whose low byte is not the high byte repeated: an 8-bit write-back would show.
convert picture.ppm -strip -depth 16 -evaluate add 100 -define png:bit-depth=16 deep.png
convert picture.ppm -strip -colors 16 -type Palette indexed.png

settings=(--print-width 200 --printer 11 --eye-distance 3)
script="
(define (inkjet-case name select)
  (let* ((image (car (gimp-file-load RUN-NONINTERACTIVE (string-append name \".png\") name)))
         (drawable (car (gimp-image-get-active-drawable image)))
         (out (string-append name \"-gimp.png\")))
    (if select (gimp-image-select-rectangle image CHANNEL-OP-REPLACE 20 12 40 30))
    (plug-in-inkjet RUN-NONINTERACTIVE image drawable 200 0 11 -1 -1 -1 3 0)
    (gimp-file-save RUN-NONINTERACTIVE image drawable out out)
    (gimp-image-delete image)))
(inkjet-case \"rgb\" #f)
(inkjet-case \"rgba\" #f)
(inkjet-case \"gray\" #f)
(inkjet-case \"selection\" #t)
(inkjet-case \"deep\" #f)
(let* ((image (car (gimp-file-load RUN-NONINTERACTIVE \"indexed.png\" \"indexed.png\")))
       (drawable (car (gimp-image-get-active-drawable image))))
  (catch (gimp-message \"indexed refused\")
    (plug-in-inkjet RUN-NONINTERACTIVE image drawable 200 0 11 -1 -1 -1 3 0)
    (gimp-message \"indexed accepted\")))
(gimp-quit 0)"
timeout 300 gimp-console -i -d -f -n --batch-interpreter=plug-in-script-fu-eval -b "$script" \
  >gimp.log 2>&1
status=$?
[ $status -eq 0 ] || { cat gimp.log; fail "gimp-console ended with $status"; }

same() {  # same A B: the same pixels (and alpha)
  [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = "0" ]
}
for name in rgb rgba gray; do
  [ -s "$name-gimp.png" ] || { cat gimp.log; fail "GIMP wrote no $name result"; }
  "$inkjet" sharpen "$name.png" "$name-cli.png" --quiet "${settings[@]}" || fail "sharpen $name"
  same "$name-gimp.png" "$name-cli.png" || fail "$name: GIMP and inkjet sharpen differ"
  echo "same: $name"
done
same rgb-gimp.png rgb.png && fail "the plug-in changed nothing"

# The selection: nothing outside it changes; inside, sharpen's pixels, except on its one-pixel
# rim, where the filter's working rectangle ends (its blur reaches one pixel for these settings
# and does not read past the filter area).
convert rgb.png \( rgb-cli.png -crop 40x30+20+12 +repage \) -geometry +20+12 -composite expected.png
[ "$(convert selection-gimp.png expected.png -compose difference -composite -threshold 0 -format '%@' info:)" = 40x30+20+12 ] ||
  fail "selection: pixels outside it changed"
convert selection-gimp.png -crop 38x28+21+13 +repage inside-gimp.png
convert rgb-cli.png -crop 38x28+21+13 +repage inside-cli.png
same inside-gimp.png inside-cli.png || fail "selection: not sharpen's pixels inside"
echo "same: selection"

# 16 bits: the 8-bit view is sharpen's on the 8-bit view; pixels sharpen left alone keep their
# 16-bit values.
convert deep.png -depth 8 deep8.png
"$inkjet" sharpen deep8.png deep8-cli.png --quiet "${settings[@]}" || fail "sharpen deep8"
convert deep-gimp.png -depth 8 deep-gimp8.png
same deep-gimp8.png deep8-cli.png || fail "16-bit: the 8-bit view differs from sharpen's"
[ "$(identify -format '%z' deep-gimp.png)" = 16 ] || fail "16-bit: the result is no longer 16-bit"
convert deep8.png deep8-cli.png -compose difference -composite -threshold 0 -negate kept.png
kept_change=$(convert deep.png deep-gimp.png -compose difference -composite kept.png \
  -compose multiply -composite -format '%[max]' info:)
[ "$kept_change" = 0 ] || fail "16-bit: pixels the filter left alone changed (by up to $kept_change)"
echo "same: 16-bit"

grep -q "indexed refused" gimp.log || { cat gimp.log; fail "an indexed image was not refused"; }
echo ok
