#!/usr/bin/env bash
# Runs one Windows program under Wine with the project's quiet, headless settings.
# The test command gives each run its own WINEPREFIX; standalone use gets a private one too.
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
if [ -z "${WINEPREFIX:-}" ]; then
  export WINEPREFIX="${TMPDIR:-/tmp}/corvane-wine-$(id -u)"
fi
exec wine "$@"
