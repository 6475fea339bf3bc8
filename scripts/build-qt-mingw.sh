#!/usr/bin/env bash
# Builds Qt for 64-bit Windows (MinGW-w64) from Debian's qt6-base source package, once per machine, into a
# cache folder outside the tree; prints that folder on its last line. Later calls find it built and return at
# once. The version is the host Qt's: the cross build runs the host's moc, rcc and uic.
#
#   scripts/build-qt-mingw.sh            (VARNO_QT_MINGW=folder chooses the install folder)
#
# Only what the programs link is built: Core, Gui, Widgets, Network and the Windows platform plugin, with
# the bundled FreeType (Wine draws no text through DirectWrite) and without OpenGL, D-Bus, SQL, printing,
# Vulkan (the host's Vulkan headers would put /usr/include into the cross build) and tablet events (Debian's
# source drops the Wintab headers).
set -euo pipefail

triplet=x86_64-w64-mingw32
host_version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null || true)
if [ -z "$host_version" ]; then
    echo "qt6-base-dev is not installed: the Windows build of Qt needs the host's Qt tools (make deps)." >&2
    exit 1
fi
# 6.4.2+dfsg-10 -> 6.4.2
version=${host_version%%[+-]*}
cache_root=${XDG_CACHE_HOME:-$HOME/.cache}/varno-server
prefix=${VARNO_QT_MINGW:-$cache_root/qt-$version-mingw64}

if [ -f "$prefix/varno-qt-complete" ]; then
    echo "$prefix"
    exit 0
fi

for tool in "$triplet-g++-posix" "$triplet-gcc-posix" "$triplet-windres" cmake ninja dpkg-source; do
    command -v "$tool" >/dev/null 2>&1 || {
        echo "$tool is missing (make deps installs it)." >&2
        exit 1
    }
done

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
fi

# apt-get source needs a deb-src entry; without one, add ours beside the system's binary entries.
work=$(mktemp -d "${TMPDIR:-/tmp}/varno-qt-mingw.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
if ! apt-get source --download-only "qt6-base=$host_version" >"$work/source.log" 2>&1; then
    sources=/etc/apt/sources.list.d/varno-server-deb-src.sources
    echo "Adding Debian's source packages in $sources"
    entries=$(mktemp)
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] && [ "$file" != "$sources" ] || continue
        # deb822 stanzas: the same archives, for sources.
        sed -n 's/^Types:.*\bdeb\b.*/Types: deb-src/;p' "$file" >>"$entries"
        echo >>"$entries"
    done
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        # One-line entries: deb [options] uri suite components
        sed -n 's/^[[:space:]]*deb[[:space:]]\+\(\(\[[^]]*\][[:space:]]\+\)\?\)\([^[:space:]]\+\)[[:space:]]\+\([^[:space:]]\+\)[[:space:]]\+\(.*\)$/Types: deb-src\nURIs: \3\nSuites: \4\nComponents: \5\n/p' \
            "$file" >>"$entries"
    done
    "${as_root[@]}" install -m 644 "$entries" "$sources"
    rm -f "$entries"
    "${as_root[@]}" apt-get update -qq
    apt-get source --download-only "qt6-base=$host_version" >"$work/source.log" 2>&1 || {
        cat "$work/source.log" >&2
        exit 1
    }
fi
dpkg-source --no-check -x qt6-base_*.dsc qtbase >"$work/extract.log" 2>&1 || {
    cat "$work/extract.log" >&2
    exit 1
}

started=$(date +%s)
# Configured into a temporary folder and installed into a temporary name, renamed at the end: a build that
# stops half-way leaves no folder that later calls would take for a whole one.
staging=$prefix.partial
rm -rf "$staging"
mkdir -p "$(dirname "$prefix")"
cmake -S qtbase -B build -G Ninja -Wno-dev \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$staging" \
    -DCMAKE_SYSTEM_NAME=Windows \
    -DCMAKE_SYSTEM_PROCESSOR=x86_64 \
    -DCMAKE_C_COMPILER="$triplet-gcc-posix" \
    -DCMAKE_CXX_COMPILER="$triplet-g++-posix" \
    -DCMAKE_RC_COMPILER="$triplet-windres" \
    -DCMAKE_FIND_ROOT_PATH="/usr/$triplet" \
    -DCMAKE_FIND_ROOT_PATH_MODE_PROGRAM=NEVER \
    -DCMAKE_FIND_ROOT_PATH_MODE_LIBRARY=ONLY \
    -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY \
    -DCMAKE_FIND_ROOT_PATH_MODE_PACKAGE=ONLY \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_QMAKE_TARGET_MKSPEC=win32-g++ \
    -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DINPUT_opengl=no -DFEATURE_opengl=OFF \
    -DFEATURE_dbus=OFF -DFEATURE_vulkan=OFF -DFEATURE_tabletevent=OFF \
    -DFEATURE_sql=OFF -DFEATURE_printsupport=OFF -DFEATURE_testlib=OFF \
    -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
    -DFEATURE_freetype=ON -DFEATURE_system_freetype=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF \
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_jpeg=OFF -DFEATURE_system_doubleconversion=OFF \
    -DFEATURE_sql_sqlite=OFF -DFEATURE_icu=OFF -DFEATURE_openssl=OFF \
    >"$work/configure.log" 2>&1 || {
    tail -60 "$work/configure.log" >&2
    exit 1
}
configured=$(date +%s)
cmake --build build -j "$(nproc)" >"$work/build.log" 2>&1 || {
    grep -B5 -A20 -m3 'FAILED\|error:' "$work/build.log" >&2 || tail -60 "$work/build.log" >&2
    exit 1
}
cmake --install build >"$work/install.log" 2>&1 || {
    tail -30 "$work/install.log" >&2
    exit 1
}
built=$(date +%s)
echo "Qt $version for Windows: configured in $((configured - started)) s, built in $((built - configured)) s," \
    "$(du -sh "$staging" | cut -f1) installed" >"$staging/varno-qt-complete"
rm -rf "$prefix"
mv "$staging" "$prefix"
cat "$prefix/varno-qt-complete" >&2
echo "$prefix"
