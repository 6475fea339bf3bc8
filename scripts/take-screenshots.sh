#!/usr/bin/env bash
# Saves a PNG of every page, the dialogs, the splash and the Status Window on the demo profile, under a
# virtual display so that it works anywhere. Usage: take-screenshots.sh BUILD_DIR FOLDER
set -euo pipefail
build_dir=$1
folder=$2
demo=$(mktemp -d)
trap 'rm -rf "$demo"' EXIT
settings=$("$build_dir/bin/varno-demo-profile" "$demo" "$build_dir/bin/q3standin")
mkdir -p "$folder"
xvfb-run -a -s '-screen 0 1280x1024x24' "$build_dir/bin/varno-screenshots" "$settings" "$folder" 2>/dev/null
