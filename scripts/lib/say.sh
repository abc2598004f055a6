# Sourced by every script of the set-up: the words they speak. Every message begins "zentaq: ",
# and every step is one of two kinds, named where it is taken:
#   need WHAT COMMAND...          a required step: where COMMAND fails, the command stops with one
#                                 line, WHAT and COMMAND's first error line, and exits with 1
#   want WHAT INSTEAD COMMAND...  an optional step: where COMMAND fails, one line says so (WHAT,
#                                 COMMAND's first error line, INSTEAD: what happens without it),
#                                 the command goes on, and want returns 1
# COMMAND's output is shown as it runs, or with -q before WHAT only where it fails; either way it
# runs in a subshell, so it sets nothing here.
say() { printf 'zentaq: %s\n' "$*"; }
stop() {
    printf 'zentaq: %s\n' "$*" >&2
    exit 1
}

need() {
    local quiet=""
    [ "$1" != -q ] || { quiet=-q; shift; }
    local what=$1
    shift
    zq_step $quiet "$@" || stop "$what failed: $zq_error"
}

want() {
    local quiet=""
    [ "$1" != -q ] || { quiet=-q; shift; }
    local what=$1 instead=$2
    shift 2
    zq_step $quiet "$@" && return 0
    say "optional: $what failed ($zq_error); $instead" >&2
    return 1
}

# zq_step [-q] COMMAND...: runs COMMAND; sets zq_error to its first line that reads as an error
# (apt's "E:" lines first), else to its last line.
zq_step() {
    local log status=0
    log=$(mktemp)
    if [ "$1" = -q ]; then
        shift
        ("$@") >"$log" 2>&1 || { status=$?; tail -n 30 "$log" >&2; }
    else
        ("$@") 2>&1 | tee "$log" || status=${PIPESTATUS[0]}
    fi
    zq_error=$(grep -m1 '^E: ' "$log" || grep -m1 -iE 'error|fail|cannot|could not|not found|no such' "$log" ||
        tail -n 1 "$log")
    rm -f "$log"
    zq_error=${zq_error:-"status $status"}
    return "$status"
}

# as_root COMMAND...: as root, through sudo where this is not root.
as_root() {
    if [ "$EUID" -eq 0 ]; then "$@"; else sudo "$@"; fi
}
