#!/usr/bin/env bash
# Builds the Debian package from a build folder and checks its file list, its declared dependencies and
# its desktop entry. Usage: check_package.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build_dir=$1
source_dir=$2
fail() { echo "FAILED: $*" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$build_dir" && cpack -G DEB -B "$work" >/dev/null) || fail "cpack could not build the package"
deb=$(ls "$work"/varno-server_*_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no varno-server_*.deb was made"

files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for expected in \
    ./usr/bin/VarnoSrv ./usr/bin/varno ./usr/bin/q3standin \
    ./usr/share/applications/varno-server.desktop \
    ./usr/share/icons/hicolor/scalable/apps/varno-server.svg \
    ./usr/share/icons/hicolor/16x16/apps/varno-server.png \
    ./usr/share/icons/hicolor/48x48/apps/varno-server.png \
    ./usr/share/icons/hicolor/256x256/apps/varno-server.png \
    ./usr/share/man/man1/varno.1 ./usr/share/man/man1/VarnoSrv.1 \
    ./usr/lib/systemd/user/varno-watch.service \
    ./usr/lib/systemd/user/varno-server.service \
    ./usr/share/doc/varno-server/README.md ./usr/share/doc/varno-server/LICENSE; do
    grep -qxF "$expected" <<<"$files" || fail "the package lacks $expected"
done
# Nothing from the build or the tests goes in.
if grep -E 'test|build|demo|screenshots|varno-icons' <<<"$files" | grep -v '^./usr/share/doc/'; then
    fail "the package holds build or test files"
fi

depends=$(dpkg-deb -f "$deb" Depends)
for needed in tmux qt6-qpa-plugins libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6; do
    grep -qE "(^|, )$needed( |,|$)" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
[ "$(dpkg-deb -f "$deb" Package)" = varno-server ] || fail "the package is not called varno-server"

dpkg-deb -x "$deb" "$work/root"
grep -q "ExecStart=/usr/bin/varno watch" "$work/root/usr/lib/systemd/user/varno-watch.service" ||
    fail "the watcher unit does not start /usr/bin/varno"
grep -q "ExecStart=/usr/bin/varno serve" "$work/root/usr/lib/systemd/user/varno-server.service" ||
    fail "the server unit does not start /usr/bin/varno serve"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$work/root/usr/share/applications/varno-server.desktop" || fail "the desktop entry is not valid"
else
    echo "desktop-file-validate is missing; the desktop entry was not validated"
fi
"$work/root/usr/bin/varno" --version | grep -q '^varno ' || fail "the packaged varno does not run"
echo "package $(basename "$deb") checked: $(wc -l <<<"$files") entries; Depends: $depends"
