#!/usr/bin/env bash
# Runs every test of the three trees: the native tree directly, the Linux tree's GTK tests under
# Xvfb with openbox as window manager (the portable core's tests run in the native tree), the
# Windows tree under Wine (one private WINEPREFIX for the run, under Xvfb, wineserver stopped at
# the end whatever happens). CORVANE_WINE64=1 takes the 64-bit Windows route on any machine.
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

# The Windows tree runs under the Wine this machine can run (tools/wine_env.sh decides once):
# the 32-bit deliverables under the 32-bit loader, or, where i386 code cannot run, the same
# sources built for x86_64 under wine64. Two full Windows trees would not fit the time on two
# cores, so there the 32-bit programs are only built.
. tools/wine_env.sh
echo "== windows tree ($corvane_wine_route: $corvane_wine_why)"
cmake --preset win32 >/dev/null
if [ "$corvane_wine_route" = win32 ]; then
  cmake --build --preset win32 -j "$jobs"
else
  cmake --build --preset win32 -j "$jobs" --target corvane_client corvane_uninstall corvane_installer
  echo "windows: the 32-bit deliverables (CorvaneClient.exe, uninstall.exe, Setup.exe) are built but not" \
       "run here, since $corvane_wine_why; their tests run in the 64-bit build under wine64"
  cmake --preset win64 >/dev/null
  cmake --build --preset win64 -j "$jobs"
fi

WINEPREFIX="$(mktemp -d "${TMPDIR:-/tmp}/corvane-wine.XXXXXX")"
export WINEPREFIX
cleanup() {
  "$corvane_wineserver" -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

# Xvfb gives Wine its display: depth 24 is a 32-bit display to Windows programs.
xvfb-run -a -s "-screen 0 1920x1200x24" bash -c '
  bash tools/wine_prefix.sh
  ctest --preset "$1" -j "$2"
' _ "$corvane_wine_route" "$jobs"
