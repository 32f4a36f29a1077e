#!/usr/bin/env bash
# Runs every test of both trees: the native tree directly, the Windows tree under Wine (one
# private WINEPREFIX for the run, under Xvfb, wineserver stopped at the end whatever happens).
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/bootstrap.sh
jobs="${CORVANE_JOBS:-$(nproc)}"

echo "== native tree"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native -j "$jobs"

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
