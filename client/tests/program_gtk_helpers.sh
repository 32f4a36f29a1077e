# Shared by the tests that run corvane-client as a process (sourced): failures counted, the demo
# service (its state file given as $1 when sourcing) and its control requests, and the wait for a
# window.

demo_port=$(awk '$1 == "port" {print $2}' "$1")
demo_token=$(awk '$1 == "token" {print $2}' "$1")
export CORVANE_SERVICE_HOST=127.0.0.1:$demo_port
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# A control request to the demo service.
demo() { curl -sf -H "X-Demo-Token: $demo_token" "http://127.0.0.1:$demo_port$1"; }
# The bodies of the update requests received since the last clear, one a line.
update_requests() {
  demo /_demo/records | python3 -c 'import json, sys; [print(v["body"], end="") for v in json.load(sys.stdin)["version"]]'
}

# The visible window of process $1 whose title matches $2 (both: --all; xdotool takes any one
# condition by default), waited for up to 10 s. Polled rather
# than `xdotool search --sync`, which gives up at once on an X error from a window that goes away
# while it looks (the web engine makes and drops windows of its own at start).
window_of() {
  local window
  for _ in $(seq 50); do
    window=$(xdotool search --all --onlyvisible --pid "$1" --name "$2" 2>/dev/null | head -1)
    [[ -n $window ]] && { echo "$window"; return 0; }
    sleep 0.2
  done
  return 1
}
