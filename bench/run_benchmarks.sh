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
times=$(mktemp)
trap 'rm -f "$times"' EXIT
for _ in $(seq 15); do
    "$bench" --startup=zentrovax
    "$bench" --startup=bare
done 2>/dev/null >"$times"
for kind in zentrovax bare; do
    median=$(awk -v k="$kind" '$1 == k { print $2 }' "$times" | sort -n | sed -n 8p)
    echo "start-up to first frame, $kind: median $median ms"
done
