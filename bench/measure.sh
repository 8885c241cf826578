# Sourced by the benchmarks (they set $work first).
# measure NAME COMMAND...: runs COMMAND after a sync and sets NAME_wall (seconds) and
# NAME_rss (peak resident set, KB) from GNU time; a failing command ends the script.
# shellcheck shell=bash
measure() {
    local name=$1; shift
    sync
    /usr/bin/time -v -o "$work/$name.time" "$@" >/dev/null 2>"$work/$name.err" || {
        echo "$name failed: $*" >&2; cat "$work/$name.err" >&2; exit 1; }
    local wall rss
    wall=$(grep 'Elapsed (wall clock)' "$work/$name.time" | awk '{print $NF}')
    rss=$(grep 'Maximum resident set size' "$work/$name.time" | awk '{print $NF}')
    printf -v "${name}_wall" '%s' "$(python3 -c 'import sys; p=sys.argv[1].split(":"); print(sum(float(x)*60**i for i,x in enumerate(reversed(p))))' "$wall")"
    printf -v "${name}_rss" '%s' "$rss"
}
