#!/usr/bin/env bash
# Runs a command in a private Xvfb: the server picks a free display (-displayfd), DISPLAY is set
# for the command, and the server is stopped afterwards. Exit 77 (skipped) without Xvfb.
# Arguments: COMMAND [ARGUMENT...]
set -u
command -v Xvfb >/dev/null || { echo "no Xvfb"; exit 77; }
fifo=$(mktemp -u)
mkfifo "$fifo" || exit 1
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" 2>/dev/null &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -f "$fifo"' EXIT
display=$(timeout 30 head -n 1 "$fifo")
[ -n "$display" ] || { echo "Xvfb did not start"; exit 1; }
DISPLAY=:$display "$@"
