#!/usr/bin/env bash
# Builds the whole product for 64-bit Windows with MinGW-w64: the panel (VarnoSrv.exe), varno.exe, q3standin.exe,
# the demo-profile tool and the Windows tests, against the Qt for Windows that scripts/build-qt-mingw.sh builds
# once per machine (the first time takes about half an hour on two cores).
#
#   scripts/build-win.sh [build folder]      (default: build-win)
set -euo pipefail

cd "$(dirname "$0")/.."
source_dir=$(pwd)
build_dir=${1:-build-win}
jobs=${JOBS:-$(nproc)}

qt=$(scripts/build-qt-mingw.sh | tail -1)
# A folder configured against another Qt (or none) is configured anew.
if [ ! -f "$build_dir/build.ninja" ] ||
    ! grep -qx "VARNO_QT_MINGW:[A-Z]*=$qt" "$build_dir/CMakeCache.txt" 2>/dev/null; then
    rm -rf "$build_dir"
    cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/toolchain-mingw64.cmake" -DVARNO_QT_MINGW="$qt" \
        -DVARNO_WINDOWS_TESTS=ON >"$build_dir.configure.log" 2>&1 || {
        cat "$build_dir.configure.log" >&2
        exit 1
    }
    rm -f "$build_dir.configure.log"
fi
cmake --build "$build_dir" -j "$jobs"
