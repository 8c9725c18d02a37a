#!/usr/bin/env bash
# Runs every benchmark on Qt's offscreen platform (or on $DISPLAY with QT_QPA_PLATFORM=xcb).
#   bench/run_benchmarks.sh BUILD-DIR
set -euo pipefail
built() { sed -n "s/^$1=//p" "$build/programs.txt"; }
build=$1
bench=$(built bench)
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

"$bench" --benchmark_counters_tabular=true

# The --translate filter: throughput of the translation, then the whole program's time and peak
# memory on files of 1 MB and 100 MB.
"$(built filter_bench)"
input=$(mktemp)
trap 'rm -f "$input"' EXIT
for megabytes in 1 100; do
    yes 'the quick brown fox jumps over the lazy dog' | head -c $((megabytes << 20)) >"$input"
    python3 - "$(built program)" "$input" "$megabytes" <<'PY'
import resource, subprocess, sys, time
program, path, megabytes = sys.argv[1], sys.argv[2], int(sys.argv[3])
start = time.monotonic()
subprocess.run([program, "--translate", path], stdout=subprocess.DEVNULL, check=True)
seconds = time.monotonic() - start
peak = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss / 1024
print(f"zentrovax --translate, {megabytes} MB: {seconds * 1000:.0f} ms, "
      f"{megabytes / seconds:.0f} MB/s, peak memory {peak:.1f} MB")
PY
done

"$bench" --memory=blocks
"$bench" --memory=plain

# Start-up to the first painted frame, alternating the two, 15 runs each.
times=$(mktemp)
trap 'rm -f "$times" "$input"' EXIT
for _ in $(seq 15); do
    "$bench" --startup=zentrovax
    "$bench" --startup=bare
done 2>/dev/null >"$times"
for kind in zentrovax bare; do
    median=$(awk -v k="$kind" '$1 == k { print $2 }' "$times" | sort -n | sed -n 8p)
    echo "start-up to first frame, $kind: median $median ms"
done
