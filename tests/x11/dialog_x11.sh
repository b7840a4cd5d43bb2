#!/usr/bin/env bash
# `inkjet dialog` on a real X display, driven by xdotool as a user would: the tool runs from a
# copy in an empty folder (nothing read from the source tree); a click on the Printer field's
# track, an eye distance picked in its popup, a print width typed, OK: the output must be byte
# for byte `inkjet sharpen` with the settings the dialog printed. Cancel leaves no file; a drag
# of the title band moves the window by exactly the drag; a screenshot of the real window is
# saved; the close box cancels; Save settings goes through the desktop's chooser or, when that
# fails, the presenter's own prompt. Run inside tests/x11/with_xvfb.sh.
# Arguments: INKJET SOURCE_DIR WORK_DIR ARTIFACTS CLOSE_WINDOW. Exit 77 (skipped) without
# xdotool or import.
set -u
inkjet=$1 source_dir=$2 work=$3 artifacts=$4 close_window=$5
for tool in xdotool import xwininfo; do
  command -v $tool >/dev/null || { echo "no $tool"; exit 77; }
done
rm -rf "$work" && mkdir -p "$work/run" "$artifacts" || exit 1
work=$(realpath "$work") artifacts=$(realpath "$artifacts") source_dir=$(realpath "$source_dir")
# The tool runs from a copy outside the source tree; where a mount namespace can be made, the
# source tree is hidden under an empty folder while it runs.
copy=$(mktemp -d) || exit 1
trap 'rm -rf "$copy"' EXIT
cp "$inkjet" "$copy/inkjet" || exit 1
tool=$copy/inkjet
hide=()
if unshare -m true 2>/dev/null; then
  hide=(unshare -m sh -c 'mount -t tmpfs none "$0" && exec "$@"' "$source_dir")
else
  echo "note: no mount namespace here; the source tree stays in place"
fi
cd "$work/run" || exit 1
if "$source_dir/tests/resource_files_named.sh" "$tool" "$source_dir"; then
  echo "the tool names the source tree's resources"; exit 1
fi
{
  printf 'P6\n320 200\n255\n'
  LC_ALL=C awk 'BEGIN { for (y = 0; y < 200; y++) for (x = 0; x < 320; x++)
    printf "%c%c%c", int(x * 255 / 320), int(y * 255 / 200), ((int(x / 12) + int(y / 12)) % 2) ? 210 : 50 }'
} > picture.ppm

fail() { echo "FAIL: $*"; exit 1; }

# Starts the dialog in the background; sets pid and window. tool_env: extra environment.
tool_env=()
start() {
  timeout 120 "${hide[@]}" env "${tool_env[@]}" "$tool" dialog picture.ppm "$1" --print-width 200 >"$1.out" 2>"$1.err" &
  pid=$!
  window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Inkjet$' | head -n 1)
  [ -n "$window" ] || fail "no dialog window"
}
finish() {
  wait "$pid"
  status=$?
}
position() { xwininfo -id "$window" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} END {print x, y}'; }
wait_file() {
  for _ in $(seq 100); do
    [ -s "$1" ] && return 0
    xdotool sleep 0.05
  done
  return 1
}
# Waits until the window is at "$1" (the presenter moves it once it took the events).
wait_position() {
  for _ in $(seq 100); do
    [ "$(position)" = "$1" ] && return 0
    xdotool sleep 0.05
  done
  return 1
}

# --- OK with changes ---------------------------------------------------------------------
start ok.ppm
import -window "$window" "$artifacts/dialog_x11.png" || fail "no screenshot"
xdotool mousemove --window "$window" 202 215 click 1          # the last printer, 2880x720 photo
xdotool mousemove --window "$window" 140 257 mousedown 1      # the Eye Distance list
popup=$(timeout 30 xdotool search --sync --onlyvisible --name '^POPUP[12]$' | head -n 1)
[ -n "$popup" ] || fail "no eye distance popup"
import -window "$popup" "$artifacts/dialog_x11_popup.png"
xdotool mousemove --sync --window "$popup" 15 38 mouseup 1    # the third distance
xdotool mousemove --window "$window" 170 98 click 1 type 301  # a print width
xdotool key Return
xdotool mousemove --window "$window" 465 334 click 1          # OK
finish
cat ok.ppm.out ok.ppm.err
[ "$status" -eq 0 ] || fail "the dialog run ended with $status"
settings=$(cat ok.ppm.out)
case " $settings " in
  *" --print-width 301 "*" --printer '2880x720 photo' "*" --eye-distance 3 "*) ;;
  *) fail "the clicks and keys did not reach the settings: $settings" ;;
esac
eval "\"$tool\" sharpen picture.ppm sharpen.ppm --quiet $settings" || fail "sharpen failed"
cmp ok.ppm sharpen.ppm || fail "the dialog's output differs from sharpen with $settings"
echo "same: dialog and sharpen with $settings"

# --- Cancel --------------------------------------------------------------------------------
start cancel.ppm
xdotool mousemove --window "$window" 390 334 click 1
finish
[ "$status" -eq 1 ] || fail "Cancel ended with $status"
[ ! -e cancel.ppm ] || fail "Cancel wrote a file"
[ "$(wc -l <cancel.ppm.err)" -eq 1 ] && grep -q '^inkjet: .*cancelled' cancel.ppm.err ||
  fail "Cancel did not say so on one line: $(cat cancel.ppm.err)"

# --- The close box ------------------------------------------------------------------------------
start closed.ppm
"$close_window" "$window" || fail "could not ask the window to close"
finish
[ "$status" -eq 1 ] && [ ! -e closed.ppm ] || fail "the close box did not cancel ($status)"

# --- A drag of the title band ----------------------------------------------------------------
start drag.ppm
read -r x y < <(position)
xdotool mousemove --window "$window" 300 20 mousedown 1
for step in 1 2 3 4 5 6; do xdotool mousemove_relative --sync -- 7 -4; done
xdotool mouseup 1
wait_position "$((x + 42)) $((y - 24))" || fail "a drag of (42, -24) from ($x, $y) left the window at $(position)"
xdotool key Escape
finish
[ "$status" -eq 1 ] || fail "Escape ended with $status"
# --- Save settings: the desktop's chooser, then a prompt of our own when the chooser fails ------
# A stand-in for zenity: the first call chooses a file, later calls fail as a broken one would.
# The files are named by absolute paths in the work folder, so the source tree stays visible.
hide=()
mkdir -p "$work/bin"
cat > "$work/bin/zenity" <<'ZENITY'
#!/bin/sh
[ -e "$ZENITY_ARGS" ] && exit 5
printf '%s\n' "$@" > "$ZENITY_ARGS"
echo "$ZENITY_CHOICE"
ZENITY
chmod +x "$work/bin/zenity"
tool_env=(PATH="$work/bin:$PATH" ZENITY_ARGS="$PWD/zenity.args" ZENITY_CHOICE="$PWD/chosen")
start save.ppm
xdotool mousemove --window "$window" 34 340 click 1           # Save, through the chooser
wait_file chosen.orv || fail "the desktop chooser's file was not saved"
grep -qx -- --save zenity.args || fail "the chooser was not asked to save: $(cat zenity.args)"
xdotool mousemove --window "$window" 34 340 click 1           # Save, the chooser fails
prompt=$(timeout 30 xdotool search --sync --onlyvisible --name '^Save' | grep -v "^$window\$" | head -n 1)
[ -n "$prompt" ] || fail "no prompt when the chooser failed"
xdotool mousemove --window "$prompt" 30 20 type "$PWD/typed"
xdotool key Return
wait_file typed.orv || fail "the prompt's file was not saved"
cmp chosen.orv typed.orv || fail "the two saves differ"
xdotool mousemove --window "$window" 390 334 click 1
finish
[ "$status" -eq 1 ] || fail "Cancel after saving ended with $status"
echo "ok"
