#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing the panel need, only those that
# are missing, as root or through sudo.
set -euo pipefail

packages=(
    cmake ninja-build g++ ccache pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev qt6-qpa-plugins
    libgtest-dev libgmock-dev
    tmux xvfb xauth xterm
    dpkg-dev desktop-file-utils unrtf
    g++-mingw-w64-x86-64 googletest wine wine64
    nsis imagemagick fonts-wine
    clang libclang-rt-14-dev libbenchmark-dev
)

# Qt for Windows is built from Debian's source package (scripts/build-qt-mingw.sh): its source is fetched with
# apt-get source (dpkg-dev), and the cross compiler and host Qt tools above build it.

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    as_root=()
elif command -v sudo >/dev/null 2>&1; then
    as_root=(sudo)
else
    echo "These packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
