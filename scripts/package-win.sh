#!/usr/bin/env bash
# Builds the Windows installer build-win/VarnoServer-<version>-setup.exe with NSIS: the three programs and the demo
# tool, the DLLs they import (read from their import tables), Qt's Windows platform plugin, the map pictures, the
# README and the licence.
#
#   scripts/package-win.sh [Linux build folder] [Windows build folder]   (default: build, build-win)
#
# The Linux build draws the map pictures (its demo-profile tool); the Windows one is built here when needed.
set -euo pipefail

cd "$(dirname "$0")/.."
source_dir=$(pwd)
linux_build=${1:-build}
build_dir=${2:-build-win}

command -v makensis >/dev/null 2>&1 || {
    echo "makensis is missing: install the Debian package nsis (make deps)." >&2
    exit 1
}
[ -x "$linux_build/bin/varno-demo-profile" ] || {
    echo "$linux_build/bin/varno-demo-profile is missing: build the Linux programs first (make build)." >&2
    exit 1
}

scripts/build-win.sh "$build_dir" >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build_dir/CMakeCache.txt")
qt=$(sed -n 's/^VARNO_QT_MINGW:[A-Z]*=//p' "$build_dir/CMakeCache.txt")
objdump=$(sed -n 's/^VARNO_MINGW_OBJDUMP:[A-Z]*=//p' "$build_dir/CMakeCache.txt")
compiler=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$build_dir/CMakeCache.txt")
gcc_dlls=$(dirname "$("$compiler" -print-file-name=libstdc++-6.dll)")

package=$build_dir/package
stage=$package/stage
rm -rf "$package"
mkdir -p "$stage"
programs=(VarnoSrv.exe varno.exe q3standin.exe varno-demo-profile.exe)
for program in "${programs[@]}"; do
    cp "$build_dir/bin/$program" "$stage/"
done
# Stripped of their debugging sections: the installed programs are a tenth of the build's.
"${compiler%g++*}strip" --strip-debug "$stage"/*.exe
cmake -DPROGRAMS="$(printf "$stage/%s;" "${programs[@]}")" -DDESTINATION="$stage" \
    -DDLL_DIRS="$gcc_dlls;/usr/x86_64-w64-mingw32/lib;$qt/bin" -DOBJDUMP="$objdump" -DQT_PLUGINS="$qt/plugins" \
    -DLIST_FILE="$package/dlls.txt" -P "$source_dir/cmake/deploy_runtime.cmake"
maps_log=$(mktemp)
"$linux_build/bin/varno-demo-profile" --maps "$stage/Maps" 2>"$maps_log" || {
    cat "$maps_log" >&2
    exit 1
}
rm -f "$maps_log"
# Windows readers expect CR LF.
sed 's/$/\r/' README.md >"$stage/README.txt"
sed 's/$/\r/' LICENSE >"$stage/LICENSE.txt"

# The uninstaller removes exactly what was installed: files first, then the folders, deepest first.
(
    cd "$stage"
    find . -type f | sort | sed 's|^\./||; s|/|\\|g; s|^|    Delete "$INSTDIR\\|; s|$|"|'
    find . -mindepth 1 -type d | sort -r | sed 's|^\./||; s|/|\\|g; s|^|    RMDir "$INSTDIR\\|; s|$|"|'
) >"$package/uninstall-files.nsh"

installer=$build_dir/VarnoServer-$version-setup.exe
makensis -V2 -DVERSION="$version" -DICON="$source_dir/data/windows/varno-server.ico" -DSTAGING="$(realpath "$stage")" -DFILES="$(realpath "$package/uninstall-files.nsh")" \
    -DOUTFILE="$(realpath "$build_dir")/VarnoServer-$version-setup.exe" "$source_dir/data/windows/varno-server.nsi" >&2
echo "$installer"
