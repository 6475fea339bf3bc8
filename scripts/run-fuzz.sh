#!/usr/bin/env bash
# Builds the libFuzzer targets in build-fuzz (clang, configured on first use) and runs each for SECONDS
# (default 60) on a temporary copy of its corpus under fuzz/corpus, so the repository's seeds never change.
# Prints one line per target and exits non-zero when any target crashed, broke a property or hung; the
# input that did it is kept under build-fuzz/fuzz-artifacts/<target>/.
#
# Usage: scripts/run-fuzz.sh [SECONDS] [TARGET...]   (targets without the fuzz_ prefix; default all)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${VARNO_FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${1:-60}
shift || true

if ! [[ $seconds =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ]; then
    echo "usage: $0 [SECONDS] [TARGET...]" >&2
    exit 2
fi
if ! command -v clang++ >/dev/null 2>&1; then
    echo "clang++ is missing: install the Debian packages clang and libclang-rt-14-dev (make deps)." >&2
    exit 1
fi

if [ ! -f "$build_dir/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVARNO_BUILD_FUZZ=ON -DVARNO_BUILD_GUI=OFF -DVARNO_BUILD_TESTS=OFF -DVARNO_BUILD_STANDIN=OFF >/dev/null
fi
if ! build_log=$(cmake --build "$build_dir" --target varno_fuzzers -j "$(nproc)" 2>&1); then
    echo "$build_log" >&2
    exit 1
fi

if [ $# -gt 0 ]; then
    targets=("$@")
else
    targets=()
    for corpus in "$root"/fuzz/corpus/*/; do
        targets+=("$(basename "$corpus")")
    done
fi

# QSettings syncs every file it writes to disk; a RAM-backed folder keeps the settings target fast.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    work=$(mktemp -d -p /dev/shm varno-fuzz.XXXXXX)
else
    work=$(mktemp -d -t varno-fuzz.XXXXXX)
fi
trap 'rm -rf "$work"' EXIT

failed=0
passed=0
broken=0
for target in "${targets[@]}"; do
    binary="$build_dir/bin/fuzz_$target"
    if [ ! -x "$binary" ] || [ ! -d "$root/fuzz/corpus/$target" ]; then
        echo "$target: no such fuzz target" >&2
        failed=1
        continue
    fi
    corpus="$work/$target/corpus"
    artifacts="$build_dir/fuzz-artifacts/$target"
    mkdir -p "$corpus" "$work/$target/tmp" "$artifacts"
    cp -R "$root/fuzz/corpus/$target/." "$corpus/"
    seeds=$(find "$corpus" -type f | wc -l)

    options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
             -artifact_prefix="$artifacts/")
    [ -f "$root/fuzz/dictionaries/$target.dict" ] && options+=(-dict="$root/fuzz/dictionaries/$target.dict")
    case $target in
    status_datagrams) options+=(-max_len=16384) ;;
    # Qt keeps caches that differ from one run to the next, which would make every run a leak check.
    settings_file) options+=(-detect_leaks=0) ;;
    esac

    log="$work/$target/log"
    status=ok
    (cd "$work/$target" && TMPDIR="$work/$target/tmp" "$binary" "${options[@]}" "$corpus" >"$log" 2>&1) || status=FAILED

    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    units=$(find "$corpus" -type f | wc -l)
    if [ "$status" = ok ]; then
        passed=$((passed + 1))
        printf '%-18s ok      %4ss  %10s runs  %8s exec/s  cov %5s  corpus %4s -> %s\n' \
            "$target" "$seconds" "${runs:-?}" "${speed:-?}" "${coverage:-?}" "$seeds" "$units"
    else
        failed=1
        broken=$((broken + 1))
        artifact=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log" | tail -1)
        printf '%-18s FAILED  %s\n' "$target" "${artifact:-see the log below}"
        grep -E 'ERROR|SUMMARY|property broken|refused|#[0-9]+ in ' "$log" | head -20 | sed 's/^/    /'
    fi
done
echo "Fuzz: $passed passed, $broken failed"
exit $failed
