# The opening of the commands and the bench scripts, sourced as their first line:
#   . "$(dirname "$0")/../scripts/lib/begin.sh" [LIBRARY...]     (LIBRARY: apt, sign, wine, xvfb)
# bash's strict options, the checkout's top as the working folder (the scripts' paths are the
# checkout's), say.sh and each LIBRARY of scripts/lib, and a trap that names the line where a
# command no step expected failed (only where that stops the script: a command substitution runs
# without -e, and its failures are its caller's to judge). Its one clean-up, zq_cleanup, runs at
# the script's exit: it ends the Wine server of every prefix the run's Wine starts used
# (scripts/wine-run.sh lists them in ZQ_PREFIX_LIST), and so every Wine program of theirs, and the
# X server zq_xvfb_start started.
set -Eeuo pipefail
zq_started_in=$PWD  # where the command was started: the paths it is given are relative to it
cd "$(dirname "$0")/.."
. scripts/lib/say.sh
for zq_library; do . "scripts/lib/$zq_library.sh"; done
trap '[[ $- != *e* ]] || say "${0##*/} stopped at line $LINENO: $BASH_COMMAND" >&2' ERR

export ZQ_PREFIX_LIST=${TMPDIR:-/tmp}/zentaq-prefixes.$$
zq_cleanup() {
    local arch prefix
    if [ -f "$ZQ_PREFIX_LIST" ]; then
        sort -u "$ZQ_PREFIX_LIST" | while read -r arch prefix; do
            scripts/wine-run.sh "$arch" "$prefix" wineserver -k 2>/dev/null || true
        done
        rm -f "$ZQ_PREFIX_LIST"
    fi
    [ -z "${zq_xvfb_pid:-}" ] || kill "$zq_xvfb_pid" 2>/dev/null || true
}
trap zq_cleanup EXIT
