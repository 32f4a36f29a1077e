#!/bin/sh
# Stands in for pkexec in the update cycle test (first in PATH): appends each argument on a line
# of its own, then a line "--", to $CORVANE_PKEXEC_RECORD, and ends with the code written in
# $CORVANE_PKEXEC_RECORD.exit (0 without one).
for argument in "$@"; do printf '%s\n' "$argument" >>"$CORVANE_PKEXEC_RECORD"; done
printf -- '--\n' >>"$CORVANE_PKEXEC_RECORD"
code=0
[ -f "$CORVANE_PKEXEC_RECORD.exit" ] && code=$(cat "$CORVANE_PKEXEC_RECORD.exit")
exit "$code"
