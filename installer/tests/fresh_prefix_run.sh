#!/usr/bin/env bash
# Runs one Windows test program in a Wine prefix made fresh for it and removed afterwards, with
# winemenubuilder disabled so that Wine writes no desktop files outside the prefix.
# Usage: fresh_prefix_run.sh <source dir> <program.exe> [arguments...]
set -euo pipefail
source_dir=$1; shift
prefix=$(mktemp -d "${TMPDIR:-/tmp}/corvane-fresh.XXXXXX")
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
. "$source_dir/tools/wine_env.sh"
cleanup() {
  "$corvane_wineserver" -k 2>/dev/null || true
  rm -rf "$prefix"
}
trap cleanup EXIT
bash "$source_dir/tools/wine_prefix.sh"
"$corvane_wine" "$@"
