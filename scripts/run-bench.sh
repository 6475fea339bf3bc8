#!/usr/bin/env bash
# Builds the micro-benchmarks in build-bench (Release, configured on first use) and runs them, printing one
# line per benchmark: its name and the wall-clock and CPU time of one iteration. Arguments are passed on to
# the benchmark program, e.g. --benchmark_filter=Status or --benchmark_min_time=2.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${VARNO_BENCH_BUILD_DIR:-$root/build-bench}

if [ ! -f "$build_dir/build.ninja" ]; then
    cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARNO_BUILD_BENCH=ON \
        -DVARNO_BUILD_GUI=OFF -DVARNO_BUILD_TESTS=OFF -DVARNO_BUILD_STANDIN=OFF >/dev/null
fi
if ! build_log=$(cmake --build "$build_dir" --target varno_bench -j "$(nproc)" 2>&1); then
    echo "$build_log" >&2
    exit 1
fi

echo "$(nproc) CPUs, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)"
results=$(mktemp)
trap 'rm -f "$results"' EXIT
"$build_dir/bin/varno_bench" --benchmark_format=console --benchmark_color=false "$@" >"$results" 2>/dev/null

# Console lines: name, time, unit, CPU time, unit, iterations, counters; or name and "ERROR OCCURRED: ...".
awk '
    /^BM_/ && /ERROR OCCURRED/ { printf "%-50s %s\n", $1, substr($0, index($0, "ERROR")); failed = 1; next }
    /^BM_/ {
        if (!header++) printf "%-50s %14s %14s\n", "benchmark", "time/iter", "CPU/iter"
        printf "%-50s %11s %-2s %11s %-2s\n", $1, $2, $3, $4, $5
    }
    END { exit failed }
' "$results"
