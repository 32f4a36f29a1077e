#!/usr/bin/env bash
# The main job: installs what is missing, builds the Linux edition, starts the demo service on
# 127.0.0.1 and starts build/linux/bin/corvane-client (WebKitGTK) against it; under Xvfb with
# openbox when there is no display, with a screenshot in build/run-screenshot.png. Ctrl+C ends
# everything it started.
#   --windows         the Windows build under Wine instead (the 64-bit test build where this
#                     machine cannot execute i386 code), with these two modes of its own:
#   --sample-update   offer the sample installer as an update, and forget the last update check
#                     so that the client asks at this start
#   --real-update     install this build's Setup.exe silently, offer the same build one minor
#                     version higher (build/win32/installer/next/Setup.exe) and start the
#                     installed client: download, install, restart, as a school sees it
#   --package         only build the Linux edition's Debian package
#                     (build/linux/corvane-client_<version>_amd64.deb) and stop
# Every other argument goes to the demo service.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"

if [ "${1:-}" = --package ]; then
  bash tools/bootstrap.sh
  cmake --preset linux >/dev/null
  cmake --build --preset linux -j "$(nproc)"
  (cd build/linux && cpack -G DEB)
  exit 0
fi

service_args=()
windows=0
sample_update=0
real_update=0
for arg in "$@"; do
  case "$arg" in
    --windows) windows=1 ;;
    --sample-update) sample_update=1 ;;
    --real-update) real_update=1 ;;
    *) service_args+=("$arg") ;;
  esac
done
if [ "$windows" = 0 ] && [ "$sample_update$real_update" != 00 ]; then
  echo "run: --sample-update and --real-update belong to the Windows build: add --windows" >&2
  exit 2
fi

bash tools/bootstrap.sh
port="${CORVANE_DEMO_PORT:-8765}"
export CORVANE_SERVICE_HOST="${CORVANE_SERVICE_HOST:-127.0.0.1:$port}"

start_service() {
  python3 tools/demo_service/demo_service.py --port "$port" --record "$root/build/demo-records.jsonl" \
    ${service_args[@]+"${service_args[@]}"} &
  service=$!
}

if [ "$windows" = 0 ]; then
  cmake --preset linux >/dev/null
  cmake --build --preset linux -j "$(nproc)" --target corvane_client
  client="$root/build/linux/bin/corvane-client"
  start_service
  trap 'kill "$service" 2>/dev/null || true' EXIT INT TERM
  if [ -n "${DISPLAY:-}" ]; then
    "$client" || true
  else
    echo "run: no display; running under Xvfb (screenshot in build/run-screenshot.png after 15 s)"
    # openbox maximises the window as a desktop would; a private session bus keeps WebKit's
    # lookups off any other bus.
    xvfb-run -a -s "-screen 0 1600x1000x24" dbus-run-session -- bash tools/with_window_manager.sh bash -c '
      "$1" & app=$!
      sleep 15; import -window root "$2" 2>/dev/null && echo "run: screenshot saved to $2"
      wait $app
    ' _ "$client" "$root/build/run-screenshot.png" || true
  fi
  exit 0
fi

# The 32-bit programs where this machine runs i386 code; elsewhere the same sources built for
# x86_64 under wine64 (tools/wine_env.sh decides; CORVANE_WINE64=1 forces it).
. tools/wine_env.sh
tree=$corvane_wine_route
[ "$tree" = win32 ] || echo "run: $corvane_wine_why; running the 64-bit build (build/win64) under wine64"
cmake --preset "$tree" >/dev/null
cmake --build --preset "$tree" -j "$(nproc)"
wine=$corvane_wine
suffix=""; [ "$tree" = win32 ] || suffix=64   # a 32-bit prefix cannot run 64-bit programs
export WINEPREFIX="${WINEPREFIX:-$HOME/.local/share/corvane/wine$suffix}"
client="$root/build/$tree/bin/CorvaneClient.exe"
if [ "$real_update" = 1 ]; then
  # Wine would otherwise write menu entries for the shortcuts into the desktop's own menus.
  export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
  service_args+=(--installer "$root/build/$tree/installer/next/Setup.exe" --offer-update)
  bash tools/wine_prefix.sh
  "$wine" "$root/build/$tree/bin/Setup.exe" /S
  client="$("$wine" reg query 'HKCU\Software\Corvane\Client' /v Install_Dir | tr -d '\r' |
            awk -F'REG_SZ' '/Install_Dir/ { sub(/^[ \t]+/, "", $2); print $2 }')\CorvaneClient.exe"
  sample_update=1
fi
if [ "$sample_update" = 1 ]; then
  [ "$real_update" = 1 ] || service_args+=(--installer "$root/build/$tree/bin/sample_installer.exe" --offer-update)
  # The client asks the service at most once a day.
  bash tools/wine_prefix.sh
  "$wine" reg delete 'HKCU\Software\Corvane\Client' /v last_check_time /f >/dev/null 2>&1 || true
fi

# The client installs only what the build's key signed: the service signs with the demo key.
demo_key="$root/build/$tree/update_key/demo_update_key.pem"
[ -f "$demo_key" ] && service_args+=(--signing-key "$demo_key")

start_service
stop() {
  kill "$service" 2>/dev/null || true
  "$corvane_wineserver" -k >/dev/null 2>&1 || true
}
trap stop EXIT INT TERM

if [ -n "${DISPLAY:-}" ]; then
  bash tools/wine_prefix.sh
  "$wine" "$client" || true
else
  echo "run: no display; running under Xvfb (screenshot in build/run-screenshot.png after 15 s)"
  xvfb-run -a -s "-screen 0 1600x1000x24" bash -c '
    bash tools/wine_prefix.sh
    "$3" "$1" & app=$!
    sleep 15; import -window root "$2" 2>/dev/null && echo "run: screenshot saved to $2"
    wait $app
  ' _ "$client" "$root/build/run-screenshot.png" "$wine" || true
fi
