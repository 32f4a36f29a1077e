#!/usr/bin/env bash
# Prepares the Wine prefix in $WINEPREFIX for our programs: creates it when new; lets Wine draw
# window frames itself, since under Xvfb there is no window manager to do it (captions, close
# boxes and maximising then behave as on Windows); installs Marlett (which
# draws the caption buttons) and maps the UI fonts to a Chinese font, as a Chinese Windows has.
# A new prefix matches the loader's route: 32-bit as the deliverables' Windows, or 64-bit.
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must be set}"
. "$(dirname "$0")/wine_env.sh"
mkdir -p "$WINEPREFIX"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  WINEARCH="$corvane_wine_route" "$corvane_wine" wineboot -i >/dev/null 2>&1
fi
# Marlett draws the caption buttons; Wine ships it but does not install it into new prefixes.
fonts="$WINEPREFIX/drive_c/windows/Fonts"
mkdir -p "$fonts"
[ -e "$fonts/marlett.ttf" ] || cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
settings="$(mktemp --suffix=.reg)"
{
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="N"\r\n\r\n'
  printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n'
  for face in "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft YaHei" "Microsoft YaHei UI" "SimSun"; do
    printf '"%s"="WenQuanYi Micro Hei"\r\n' "$face"
  done
} > "$settings"
"$corvane_wine" regedit /S "$("$corvane_wine" winepath -w "$settings" 2>/dev/null | tr -d '\r')" >/dev/null 2>&1
rm -f "$settings"
"$corvane_wineserver" -w
