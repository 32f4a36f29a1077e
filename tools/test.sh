#!/usr/bin/env bash
# Runs every test of the three trees: the native tree directly, the Linux tree's GTK tests under
# Xvfb with openbox as window manager (the portable core's tests run in the native tree), the
# Windows tree under Wine (one private WINEPREFIX for the run, under Xvfb, wineserver stopped at
# the end whatever happens).
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/bootstrap.sh
jobs="${CORVANE_JOBS:-$(nproc)}"

echo "== native tree"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native -j "$jobs"

echo "== linux tree"
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$jobs"
# One at a time: the GTK tests hold the display's pointer and focus.
xvfb-run -a -s "-screen 0 1920x1200x24" bash tools/with_window_manager.sh ctest --preset linux

echo "== windows tree"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$jobs"

WINEPREFIX="$(mktemp -d "${TMPDIR:-/tmp}/corvane-wine.XXXXXX")"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  WINEPREFIX="$WINEPREFIX" wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

# Xvfb gives Wine its display: depth 24 is a 32-bit display to Windows programs.
xvfb-run -a -s "-screen 0 1920x1200x24" bash -c '
  bash tools/wine_prefix.sh
  ctest --preset win32 -j "$1"
' _ "$jobs"
