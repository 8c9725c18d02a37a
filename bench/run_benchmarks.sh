#!/usr/bin/env bash
# Runs every benchmark on Qt's offscreen platform (or on $DISPLAY with QT_QPA_PLATFORM=xcb).
#   bench/run_benchmarks.sh BUILD-DIR
set -euo pipefail
bench=$1/bench/zentrovax_bench
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

"$bench" --benchmark_counters_tabular=true

"$bench" --memory=split
"$bench" --memory=plain

# Start-up to the first painted frame, alternating the two, 15 runs each.
for _ in $(seq 15); do
    "$bench" --startup=zentrovax
    "$bench" --startup=bare
done 2>/dev/null | awk '{ t[$1] = t[$1] " " $2 }
    END { for (k in t) { n = split(t[k], v, " "); asort(v); printf "start-up to first frame, %s: median %.1f ms\n", k, v[int((n + 1) / 2)] } }'
