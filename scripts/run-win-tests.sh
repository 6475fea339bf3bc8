#!/usr/bin/env bash
# Builds the whole product for Windows with MinGW-w64 (Qt for Windows first, once per machine) and its installer,
# and runs the Windows tests under Wine, in a fresh Wine prefix of their own and on a virtual display, both removed
# afterwards: the installer installed silently and the installed panel driven from Linux, then the core tests, the
# Win32 backends' tests and the panel's end-to-end tests.
#
#   scripts/run-win-tests.sh [Linux build folder] [Windows build folder]   (default: build, build-win)
#
# The Linux build provides the map pictures for the installer and the rcon client the checks use. Exits 0 when
# every test passed, 1 when a test failed or the build broke, and 0 with the line "Windows tests skipped: ...
# missing" when the cross compiler, Wine, Xvfb or NSIS is not installed (VARNO_REQUIRE_WINDOWS_TESTS=1 makes that a
# failure, exit 2).
set -euo pipefail

cd "$(dirname "$0")/.."
source_dir=$(pwd)
linux_build=${1:-build}
build_dir=${2:-build-win}
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
command -v makensis >/dev/null 2>&1 || skip "NSIS (nsis)"
command -v import >/dev/null 2>&1 || skip "ImageMagick (imagemagick)"

started=$(date +%s)
installer=$(JOBS=$jobs scripts/package-win.sh "$linux_build" "$build_dir" | tail -1)
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

# First, while the prefix is as fresh as an operator's: the installer and the installed panel.
echo "== installed panel"
mkdir -p "$logs/installed"
code=0
timeout --kill-after=10 300 tests/win/installed_panel_check.sh "$installer" "$linux_build" "$logs/installed" \
    >"$logs/installed.log" 2>&1 || code=$?
cat "$logs/installed.log"
passed=$((passed + $(grep -c '^ok ' "$logs/installed.log" || true)))
failed=$((failed + $(grep -c '^FAIL ' "$logs/installed.log" || true)))
if [ "$code" -ne 0 ]; then
    status=1
    grep -q '^FAIL ' "$logs/installed.log" || failed=$((failed + 1))
fi
# The picture of the installed panel under Wine, for a look at it (the README's comes from here).
mkdir -p "$build_dir/screenshots"
cp "$logs/installed/screenshots/"*.png "$build_dir/screenshots/" 2>/dev/null || true
# What the installed panel left running (the server it launched) ends with this prefix's programs.
wineserver -k
wineserver -w
wineserver -p </dev/null >/dev/null 2>&1

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
run win_panel_tests.exe

finished=$(date +%s)
echo "Windows tests: build $((built - started)) s, Wine prefix and display $((prepared - built)) s, run $((finished - prepared)) s"
echo "Windows: $passed passed, $failed failed"
exit $status
