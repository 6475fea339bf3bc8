#!/usr/bin/env bash
# Cross-builds the Windows layer (the Qt-free core and the Win32 backends) with MinGW-w64 and runs its
# tests under Wine, in a Wine prefix of their own and on a virtual display, both removed afterwards.
#
#   scripts/run-win-tests.sh [build folder]      (default: build-win)
#
# Exits 0 when every test passed, 1 when a test failed or the build broke, and 0 with the line
# "Windows tests skipped: ... missing" when the cross compiler, Wine or Xvfb is not installed
# (VARNO_REQUIRE_WINDOWS_TESTS=1 makes that a failure, exit 2).
set -euo pipefail

cd "$(dirname "$0")/.."
source_dir=$(pwd)
build_dir=${1:-build-win}
jobs=${JOBS:-$(nproc)}

skip() {
    echo "Windows tests skipped: $1 missing"
    if [ "${VARNO_REQUIRE_WINDOWS_TESTS:-0}" = 1 ]; then
        exit 2
    fi
    exit 0
}

command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || command -v x86_64-w64-mingw32-g++ >/dev/null 2>&1 ||
    skip "the MinGW-w64 cross compiler (g++-mingw-w64-x86-64)"
[ -f /usr/src/googletest/CMakeLists.txt ] || skip "the GoogleTest sources (googletest)"
wine=$(command -v wine64 || command -v wine || true)
[ -n "$wine" ] || skip "Wine (wine, wine64)"
command -v wineserver >/dev/null 2>&1 || skip "wineserver (wine64)"
command -v Xvfb >/dev/null 2>&1 || skip "Xvfb (xvfb)"

started=$(date +%s)
if [ ! -f "$build_dir/build.ninja" ]; then
    cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/toolchain-mingw64.cmake" \
        -DVARNO_BUILD_GUI=OFF -DVARNO_BUILD_STANDIN=OFF -DVARNO_WINDOWS_TESTS=ON >/dev/null
fi
cmake --build "$build_dir" --target core_tests win_tests -j "$jobs"
built=$(date +%s)

prefix=$(mktemp -d "${TMPDIR:-/tmp}/varno-wine.XXXXXX")
logs=$(mktemp -d "${TMPDIR:-/tmp}/varno-win-logs.XXXXXX")
xvfb_pid=
cleanup() {
    WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$prefix" "$logs"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# A display of our own, on a number that Xvfb finds free and reports once it is ready.
Xvfb -displayfd 9 -screen 0 1024x768x24 -nolisten tcp 9>"$logs/display" >"$logs/xvfb.log" 2>&1 &
xvfb_pid=$!
display=
for _ in $(seq 200); do
    display=$(cat "$logs/display")
    [ -n "$display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || { cat "$logs/xvfb.log"; exit 1; }
    sleep 0.05
done
[ -n "$display" ] || { echo "Xvfb did not start" >&2; exit 1; }

export DISPLAY=":$display"
export WINEPREFIX=$prefix
export WINEDEBUG=-all
# No offers to download Mono or Gecko into a prefix that needs neither.
export WINEDLLOVERRIDES="mscoree,mshtml="
# One wineserver for the prefix and all the test programs, kept until the end. Wine's own programs
# (services, the desktop) inherit the output of the program that starts them: never the caller's.
wineserver -p </dev/null >/dev/null 2>&1
timeout 300 wineboot -i </dev/null >"$logs/wineboot.log" 2>&1 || { cat "$logs/wineboot.log"; exit 1; }
# Wine's virtual desktop: without a window manager, Wine waits 2 s for one at every hidden window and
# switches the foreground racily; inside its own desktop it handles windows, focus and the notification
# area itself. It applies from the next start of the desktop.
"$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >>"$logs/wineboot.log" 2>&1
"$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f </dev/null \
    >>"$logs/wineboot.log" 2>&1
wineserver -k
wineserver -w
wineserver -p </dev/null >/dev/null 2>&1
timeout 300 wineboot </dev/null >>"$logs/wineboot.log" 2>&1 || { cat "$logs/wineboot.log"; exit 1; }
prepared=$(date +%s)

passed=0
failed=0
status=0
run() {
    local name=$1
    shift
    echo "== $name"
    local code=0
    # From the build folder, whose Unix paths Wine reaches through drive Z:.
    (cd "$build_dir" && timeout --kill-after=10 600 "$wine" "bin/$name" --gtest_color=no "$@") </dev/null \
        >"$logs/$name.log" 2>&1 || code=$?
    cat "$logs/$name.log"
    local ran
    ran=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\..*/\1/p' "$logs/$name.log" | tail -1)
    local broke
    broke=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) tests\?, listed below:.*/\1/p' "$logs/$name.log" | tail -1)
    passed=$((passed + ${ran:-0}))
    failed=$((failed + ${broke:-0}))
    if [ "$code" -ne 0 ]; then
        status=1
        [ -n "$broke" ] || failed=$((failed + 1))
    fi
}

run core_tests.exe
run win_tests.exe

finished=$(date +%s)
echo "Windows tests: build $((built - started)) s, Wine prefix and display $((prepared - built)) s, run $((finished - prepared)) s"
echo "Windows: $passed passed, $failed failed"
exit $status
