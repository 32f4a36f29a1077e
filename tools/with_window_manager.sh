#!/usr/bin/env bash
# Runs a command on the current X display with openbox managing its windows (so maximising,
# minimising, focus and raising happen as on a desktop), then stops that openbox.
set -uo pipefail
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
trap 'kill "$wm" 2>/dev/null; wait "$wm" 2>/dev/null' EXIT
# openbox owns the WM_S0 selection once it manages the screen.
for _ in $(seq 50); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
  sleep 0.1
done
"$@"
