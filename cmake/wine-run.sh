#!/usr/bin/env bash
# Runs one Windows program under Wine with the project's quiet, headless settings, through the
# loader this machine can run (tools/wine_env.sh). The test command gives each run its own
# WINEPREFIX; standalone use gets a private one too.
. "$(dirname "$0")/../tools/wine_env.sh"
if [ -z "${WINEPREFIX:-}" ]; then
  export WINEPREFIX="${TMPDIR:-/tmp}/corvane-wine-$corvane_wine_route-$(id -u)"
fi
exec "$corvane_wine" "$@"
