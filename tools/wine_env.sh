# Sourced by every script that starts a Windows program: decides whether this machine executes
# 32-bit (i386) code and picks Wine's loader to match. Some of our machines' kernels cannot
# execute i386 programs at all, and the system's `wine` wrapper prefers the 32-bit loader
# whenever wine32 is installed, so there the 64-bit loader is called directly, with WINELOADER
# and WINESERVER set so that the programs Wine starts itself use it too. The wrapper is never
# changed.
#   CORVANE_WINE64=1   take the 64-bit route on any machine (to test that route)
# Sets corvane_wine_route (win32 | win64), corvane_wine_why (one line), corvane_wine and
# corvane_wineserver (the commands to run).

if [ "${CORVANE_WINE64:-0}" = 1 ]; then
  corvane_wine_route=win64
  corvane_wine_why="CORVANE_WINE64=1 asks for the 64-bit route"
elif /lib/ld-linux.so.2 --help >/dev/null 2>&1; then
  corvane_wine_route=win32
  corvane_wine_why="this machine executes i386 code"
else
  corvane_wine_route=win64
  corvane_wine_why="this machine does not execute i386 code (/lib/ld-linux.so.2 does not start)"
fi

if [ "$corvane_wine_route" = win64 ]; then
  corvane_wine=/usr/lib/wine/wine64
  corvane_wineserver=/usr/lib/wine/wineserver64
  export WINELOADER="$corvane_wine" WINESERVER="$corvane_wineserver"
else
  corvane_wine=wine
  corvane_wineserver=wineserver
fi

export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
