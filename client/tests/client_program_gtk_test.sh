#!/usr/bin/env bash
# corvane-client as a process, under Xvfb with openbox: --version needs no display; one instance
# per session, with a session bus (GtkApplication) and without one (the lock file): a second
# start brings the first window back to the front (here: from minimised) and ends with 0. The
# first instance asks the demo service for an update at start, as "DrovessaClientLinux" with its
# own version, and keeps the time in $XDG_STATE_HOME/corvane; the second start does not ask.
# Usage: client_program_gtk_test.sh PROGRAM VERSION DEMO_SERVICE_STATE
set -uo pipefail
program=$1
version=$2
. "$(dirname "$0")/program_gtk_helpers.sh" "$3"

out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$program" --version)
[[ $? == 0 && $out == "$version" ]] || fail "--version printed '$out'"

client_window() { window_of "$1" "Drovessa"; }

# One walk; $1 names the case.
second_start_raises_the_first() {
  local case=$1 home
  home=$(mktemp -d)
  chmod 700 "$home"
  export XDG_RUNTIME_DIR=$home/run XDG_CONFIG_HOME=$home/config XDG_CACHE_HOME=$home/cache XDG_DATA_HOME=$home/data
  export XDG_STATE_HOME=$home/state
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  # No package offered: the check's answer says there is no update.
  demo "/_demo/linux-package?path=" >/dev/null && demo /_demo/clear >/dev/null ||
    fail "$case: the demo service does not answer"
  "$program" 2>"$home/first.err" &
  local first=$!
  local window
  window=$(client_window "$first")
  if [[ -z $window ]]; then
    fail "$case: no main window"; kill "$first"; wait "$first"; return
  fi
  local expected="{\"product_name\":\"DrovessaClientLinux\",\"version\":\"$version\"}"
  for _ in $(seq 50); do [[ -n $(update_requests) ]] && break; sleep 0.1; done
  [[ $(update_requests) == "$expected" ]] || fail "$case: update requests at start: '$(update_requests)'"
  [[ -s $XDG_STATE_HOME/corvane/last_check_time ]] || fail "$case: no last_check_time in the state folder"
  # Were the second start to check, a day would be due now.
  rm -f "$XDG_STATE_HOME/corvane/last_check_time"
  xdotool windowminimize --sync "$window"
  timeout 10 "$program" 2>"$home/second.err"
  local code=$?
  [[ $code == 0 ]] || fail "$case: the second start ended with $code"
  # Brought back: visible again, and still the only client window.
  client_window "$first" >/dev/null || fail "$case: the first window did not come back"
  local count
  count=$(xdotool search --onlyvisible --name "Drovessa" | wc -l)
  [[ $count == 1 ]] || fail "$case: $count client windows"
  kill -0 "$first" 2>/dev/null || fail "$case: the first instance is gone"
  [[ $(update_requests) == "$expected" && ! -e $XDG_STATE_HOME/corvane/last_check_time ]] ||
    fail "$case: the second start checked for an update"
  kill -TERM "$first"
  wait "$first"
  code=$?
  [[ $code == 0 ]] || fail "$case: SIGTERM ended the first instance with $code"
  rm -rf "$home"
}

(unset DBUS_SESSION_BUS_ADDRESS; second_start_raises_the_first "no session bus"; exit $failures)
[[ $? == 0 ]] || failures=$((failures + 1))
export -f second_start_raises_the_first fail client_window window_of demo update_requests
export program version failures demo_port demo_token
dbus-run-session -- bash -c 'second_start_raises_the_first "session bus"; exit $failures'
[[ $? == 0 ]] || failures=$((failures + 1))

echo "$failures failure(s)"
[[ $failures == 0 ]]
