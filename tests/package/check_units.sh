#!/usr/bin/env bash
# Installs a build folder into a scratch prefix and checks the systemd user units it installs: the two for
# the first server profile and their templates for the others. Each must start the installed varno with
# arguments it takes, and systemd-analyze verify must load each one (the templates as an instance) without a
# word: a syntax error, an unknown key, a value systemd cannot parse or a missing program fails the check.
# Usage: check_units.sh BUILD_DIR
# Exits 77 (skipped) where systemd-analyze is not installed.
set -euo pipefail
build_dir=$1
fail() { echo "FAILED: $*" >&2; exit 1; }

if ! command -v systemd-analyze >/dev/null; then
    echo "systemd-analyze is not installed; the user units cannot be verified here"
    exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/usr
cmake --install "$build_dir" --prefix "$prefix" >"$work/install.log" 2>&1 ||
    { cat "$work/install.log" >&2; fail "cmake --install into $prefix failed"; }
units=$prefix/lib/systemd/user
varno=$prefix/bin/varno
[ -x "$varno" ] || fail "the install holds no $varno"

# Exactly the four units, under the names systemctl enables them by.
actual=$(find "$units" -mindepth 1 -printf '%f\n' | sort)
expected=$(printf '%s\n' varno-server.service varno-server@.service varno-watch.service varno-watch@.service | sort)
[ "$actual" = "$expected" ] || fail "lib/systemd/user holds:
$actual
instead of:
$expected"

# What each unit starts, and what its instances are called.
expect_line() { # FILE LINE
    grep -qxF "$2" "$units/$1" || fail "$1 lacks the line '$2'; it has: $(grep '^ExecStart=' "$units/$1")"
}
expect_line varno-server.service "ExecStart=$varno serve"
expect_line varno-watch.service "ExecStart=$varno watch"
expect_line varno-server@.service "ExecStart=$varno --server %i serve"
expect_line varno-watch@.service "ExecStart=$varno --server %i watch"
for template in varno-server@.service varno-watch@.service; do
    [ "$(grep -c '^ExecStart=' "$units/$template")" = 1 ] || fail "$template has more than one ExecStart"
    grep -qE '^Description=.*%i' "$units/$template" || fail "$template's Description does not name the instance"
    grep -q '@' <(grep -v '^#' "$units/$template") && fail "$template holds an @ that was not configured"
done

# A template stops, restarts and installs as its unit for the first server does: apart from the comments,
# the Description and the ExecStart, the two read the same.
settings() { grep -vE '^(#|$|Description=|ExecStart=)' "$units/$1"; }
for name in varno-server varno-watch; do
    if ! difference=$(diff <(settings "$name.service") <(settings "$name@.service")); then
        fail "$name@.service does not behave as $name.service:
$difference"
    fi
done

mkdir -p "$work/runtime" "$work/home"
chmod 700 "$work/runtime"
# What runs here keeps to a home and runtime folder of its own.
isolated() {
    env -u VARNO_SETTINGS -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_STATE_HOME -u SYSTEMD_UNIT_PATH \
        HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" "$@"
}

# The installed varno takes each unit's command line (asked for its --help, so nothing starts), the
# templates' for a server profile ctf added beforehand.
isolated timeout 5 "$varno" servers add ctf >"$work/varno.log" 2>&1 ||
    { cat "$work/varno.log" >&2; fail "varno servers add ctf failed"; }
for unit in varno-server.service varno-watch.service varno-server@.service varno-watch@.service; do
    command=$(sed -n 's/^ExecStart=//p' "$units/$unit")
    read -ra words <<<"${command//%i/ctf}"
    isolated timeout 5 "${words[@]}" --help >"$work/varno.log" 2>&1 ||
        { cat "$work/varno.log" >&2; fail "$unit: '${words[*]} --help' failed: varno does not take the unit's command line"; }
done

# systemd-analyze verify as a user manager would load them, the templates as the instance ctf, looking up
# Documentation=man:varno(1) in the installed manual.
verify_dir=$work/verify
mkdir -p "$verify_dir"
cp "$units/varno-server.service" "$units/varno-watch.service" "$verify_dir/"
cp "$units/varno-server@.service" "$verify_dir/varno-server@ctf.service"
cp "$units/varno-watch@.service" "$verify_dir/varno-watch@ctf.service"
man_option=()
if ! command -v man >/dev/null; then
    echo "man is not installed; Documentation=man:varno(1) is not looked up"
    man_option=(--man=no)
fi
status=0
output=$(cd "$verify_dir" &&
    isolated MANPATH="$prefix/share/man" timeout 20 systemd-analyze verify --user "${man_option[@]}" \
        ./varno-server.service ./varno-watch.service ./varno-server@ctf.service ./varno-watch@ctf.service 2>&1) ||
    status=$?
[ "$status" = 0 ] || fail "systemd-analyze verify --user exited with $status:
$output"
# Warnings (an unknown key, a value that cannot be parsed) leave the exit status 0 but name the unit.
if grep -E 'varno-(server|watch)' <<<"$output"; then
    fail "systemd-analyze verify --user has something to say about the units (above)"
fi
[ -z "$output" ] || echo "systemd-analyze verify --user said, about other units: $output"
echo "user units checked: $(tr '\n' ' ' <<<"$actual")verified by $(systemd-analyze --version | head -n 1)"
