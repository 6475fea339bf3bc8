#!/usr/bin/env bash
# Starts the panel from a build folder; without a display it says how to get one.
set -euo pipefail
build_dir=${1:-build}
panel="$build_dir/bin/VarnoSrv"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    cat >&2 <<MSG
There is no display to show the panel on (neither DISPLAY nor WAYLAND_DISPLAY is set).
Run it on a desktop session, or under a virtual display:
    xvfb-run -a -s '-screen 0 1280x1024x24' $panel
MSG
    exit 1
fi
exec "$panel" "${@:2}"
