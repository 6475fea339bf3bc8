#!/usr/bin/env bash
# Starts the panel from a build folder on the demo profile (seeded on first use: the stand-in server
# as the game, map pictures, a short rotation, bots and an rcon password). Without a display it says
# how to get one.
set -euo pipefail
build_dir=${1:-build}
shift || true
panel="$build_dir/bin/VarnoSrv"
demo="$build_dir/demo"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    cat >&2 <<MSG
There is no display to show the panel on (neither DISPLAY nor WAYLAND_DISPLAY is set).
Run it on a desktop session, or under a virtual display:
    xvfb-run -a -s '-screen 0 1280x1024x24' make run
MSG
    exit 1
fi
settings=$("$build_dir/bin/varno-demo-profile" "$demo" "$build_dir/bin/q3standin")
echo "Demo profile: $settings (watch the server's console with: tmux -L varno attach)"
exec "$panel" --settings "$settings" "$@"
