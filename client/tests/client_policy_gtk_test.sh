#!/usr/bin/env bash
# corvane-client under machine policies, as a process under Xvfb with openbox (the policy test
# build: its policy file lies in the build tree and belongs to whoever runs the tests).
# With UpdateCheck=0 and CloseBehavior=exit: the settings dialog's choices are locked (a click on
# "minimise" stores nothing, the close button still works), closing ends the program although
# the user chose to be asked, the user's INI stays byte for byte, no update request reaches the
# demo service although a check is due, and the unknown value is reported in one line on stderr.
# Then the same file made writable by others: ignored with one warning, and the user's choice
# (ask) rules again.
# Usage: client_policy_gtk_test.sh PROGRAM POLICY_FILE SKIN_VIEWER SKIN_ZIP DEMO_SERVICE_STATE
set -uo pipefail
program=$1
policy=$2
viewer=$3
skin=$4
. "$(dirname "$0")/program_gtk_helpers.sh" "$5"
# A left click at the centre of control $3 of layout $2 in window $1, where the skin places it.
click_control() {
  local rect
  rect=$("$viewer" "$skin" "$2" --list | awk -F'\t' -v name="$3" '$1 == name {print $3}')
  [[ -n $rect ]] || { fail "$3 is not in $2"; return 1; }
  IFS=, read -r l t r b <<<"$rect"
  xdotool mousemove --window "$1" $(((l + r) / 2)) $(((t + b) / 2)) click 1
}
# Our own lines on stderr (the web engine and GTK may add theirs).
our_lines() { grep '^corvane-client:' "$1"; }
ended_within() {
  for _ in $(seq 75); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.2; done
  return 1
}

home=$(mktemp -d)
chmod 700 "$home"
trap 'rm -rf "$home"; rm -f "$policy"' EXIT
export XDG_RUNTIME_DIR=$home/run XDG_CONFIG_HOME=$home/config XDG_CACHE_HOME=$home/cache XDG_DATA_HOME=$home/data
export XDG_STATE_HOME=$home/state
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir -p "$XDG_CONFIG_HOME/corvane"
ini=$XDG_CONFIG_HOME/corvane/CorvaneClient.ini
# The user chose to be asked, and to end the program: a click on an enabled "minimise" would be
# stored at once.
printf '[setting]\nclose_prompt=1\nmin_close=1\n' >"$ini"
cp "$ini" "$home/ini.before"
printf '[policy]\nUpdateCheck=0\nCloseBehavior=exit\nHomepage=http://example.invalid/\n' >"$policy"
chmod 644 "$policy"
demo "/_demo/linux-package?path=" >/dev/null && demo /_demo/clear >/dev/null || fail "the demo service does not answer"

"$program" 2>"$home/first.err" &
pid=$!
window=$(window_of "$pid" "Drovessa") || { fail "no main window"; kill "$pid"; exit 1; }
# The menu button: the main window sets its left margin to the width less 115; it is 110 wide.
# Like a person, click again when the first click came before the window was ready for it.
menu=
for _ in 1 2 3; do
  sleep 1
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove --window "$window" $((WIDTH - 60)) 15 click 1
  menu=$(window_of "$pid" '^tool_bar_menu$') && break
done
[[ -n $menu ]] || fail "the menu did not open"
sleep 0.3
[[ -n $menu ]] && click_control "$menu" tool_bar_menu.xml button_setting
settings=$(window_of "$pid" '^setting_dlg$') || fail "the settings did not open"
if [[ -n $settings ]]; then
  sleep 0.3
  click_control "$settings" setting_dlg.xml option_tray
  sleep 0.3
  click_control "$settings" setting_dlg.xml button_close
  for _ in $(seq 25); do xdotool search --all --onlyvisible --pid "$pid" --name '^setting_dlg$' >/dev/null 2>&1 || break; sleep 0.2; done
  xdotool search --all --onlyvisible --pid "$pid" --name '^setting_dlg$' >/dev/null 2>&1 && fail "the settings' close button"
fi
cmp -s "$ini" "$home/ini.before" || fail "a locked choice was stored: $(cat "$ini")"
[[ -z $(update_requests) ]] || fail "UpdateCheck=0 sent: $(update_requests)"
[[ ! -e $XDG_STATE_HOME/corvane/last_check_time ]] || fail "UpdateCheck=0 took the day's check"
[[ $(our_lines "$home/first.err") == 'corvane-client: policy "Homepage": unknown; ignored' ]] ||
  fail "stderr: $(our_lines "$home/first.err")"

# Closing ends the program at once: no prompt, although the user chose to be asked.
xdotool windowactivate --sync "$window" key alt+F4
if ended_within "$pid"; then
  wait "$pid"
else
  fail "closing did not end the program (prompt: $(xdotool search --all --onlyvisible --pid "$pid" --name '^close_prompt_dlg$'))"
  kill "$pid"
  wait "$pid"
fi
cmp -s "$ini" "$home/ini.before" || fail "the policy was written to the user's INI: $(cat "$ini")"

# A policy file that others than root can write counts for nothing, with one warning.
chmod 664 "$policy"
"$program" 2>"$home/second.err" &
pid=$!
window=$(window_of "$pid" "Drovessa") || fail "no main window with an unsafe policy file"
[[ $(our_lines "$home/second.err") == "corvane-client: $policy: writable by others than root"* &&
  $(our_lines "$home/second.err" | wc -l) == 1 ]] || fail "stderr: $(our_lines "$home/second.err")"
if [[ -n $window ]]; then
  xdotool windowactivate --sync "$window" key alt+F4
  window_of "$pid" '^close_prompt_dlg$' >/dev/null || fail "the user's choice (ask) did not rule again"
fi
for _ in $(seq 50); do [[ -n $(update_requests) ]] && break; sleep 0.1; done
[[ -n $(update_requests) ]] || fail "without the policy the due check was not made"
kill -TERM "$pid"
wait "$pid"

echo "$failures failure(s)"
[[ $failures == 0 ]]
