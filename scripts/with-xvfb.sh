#!/usr/bin/env bash
# Runs a command on an X server of its own, whatever DISPLAY says: with-xvfb.sh COMMAND [ARGS...]
set -euo pipefail
. "${0%/*}/lib/say.sh"
. "${0%/*}/lib/xvfb.sh"
zq_xvfb_start || stop "$zq_error"
status=0
"$@" || status=$?
kill "$zq_xvfb_pid"
exit "$status"
