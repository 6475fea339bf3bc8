#!/usr/bin/env bash
# Installs the Windows installer silently into the caller's fresh Wine prefix and drives the installed panel as an
# operator's login would: a profile in the registry (written with regedit), VarnoSrv.exe --launch --lpb, and a game
# folder whose quake3.exe is the stand-in. Seen from Linux over rcon on loopback: the server comes up, its console is
# greeted once, the low-ping player is kicked and banned, the ban is stored in the registry; then the uninstaller
# removes the files and leaves the settings.
#
#   installed_panel_check.sh INSTALLER LINUX-BUILD-FOLDER WORK-FOLDER
#
# The environment (WINEPREFIX, DISPLAY, WINEDEBUG) is the caller's (scripts/run-win-tests.sh). Prints one line per
# check ("ok ..." or "FAIL ..."), then "Installed panel: N passed, M failed"; exits 1 when a check failed.
set -uo pipefail

installer=$1
linux_build=$2
work=$3
wine=$(command -v wine64 || command -v wine)
varno=$linux_build/bin/varno
drive_c=$WINEPREFIX/drive_c
install_dir='C:\VarnoServer'
install_unix=$drive_c/VarnoServer
game_unix=$drive_c/Game
standin_log=$work/standin.log
port=$(python3 -c 'import socket; s=socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])' 2>/dev/null ||
    shuf -i 40000-59999 -n 1)
password=installed-pw
low_pinger=203.0.113.50

passed=0
failed=0
check() {
    local name=$1
    shift
    if "$@"; then
        echo "ok $name"
        passed=$((passed + 1))
    else
        echo "FAIL $name"
        failed=$((failed + 1))
    fi
}

# Polls a condition (a command) every 200 ms for at most the given seconds.
await() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    while ! "$@"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.2
    done
}

panel_pid=
finish() {
    if [ -n "$panel_pid" ]; then
        kill "$panel_pid" 2>/dev/null
        wait "$panel_pid" 2>/dev/null
    fi
    echo "Installed panel: $passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}
trap 'finish; exit $?' EXIT

registry_value() { # KEY VALUE -> the REG_SZ data
    "$wine" reg query "$1" /v "$2" </dev/null 2>/dev/null | sed -n "s/^ *$2 *REG_SZ *//p" | tr -d '\r'
}

# --- installation
"$wine" "$installer" /S "/D=$install_dir" </dev/null >"$work/install.log" 2>&1
installed() {
    local file
    for file in VarnoSrv.exe varno.exe q3standin.exe varno-demo-profile.exe Uninstall.exe platforms/qwindows.dll \
        Maps/q3dm17.bmp README.txt; do
        [ -f "$install_unix/$file" ] || { echo "  missing $file" >&2; return 1; }
    done
}
check "the installer puts the programs, DLLs, plugin and map pictures in place" installed
check "the installer writes InstallDir where the panel reads it" \
    test "$(registry_value 'HKCU\software\Vrn\ProgramSettings' InstallDir)" = "$install_dir"
shortcuts() {
    local menu
    menu=$(find "$drive_c/users" -type d -path '*/Start Menu/Programs/Varno Server' | head -1)
    [ -n "$menu" ] && [ -f "$menu/Varno Server.lnk" ] && [ -f "$menu/Varno Server Demo.lnk" ]
}
check "the Start menu holds the panel's and the demo's shortcuts" shortcuts

# --- a profile for an unattended start, as an operator's login would have it
mkdir -p "$game_unix/baseq3"
cp "$install_unix/q3standin.exe" "$game_unix/quake3.exe"
log_windows="Z:${standin_log//\//\\}"
reg_text() { sed 's/\\/\\\\/g; s/"/\\"/g' <<<"$1"; }
cat >"$work/profile.reg" <<REG
REGEDIT4

[HKEY_CURRENT_USER\\software\\Vrn\\ProgramSettings]
"QuakeDir"="C:\\\\Game"

[HKEY_CURRENT_USER\\software\\Vrn\\General]
"RestoreFlags"="2"

[HKEY_CURRENT_USER\\software\\Vrn\\ServerSettings]
"RConPW"="$password"
"ServerName"="Installed Panel"

[HKEY_CURRENT_USER\\software\\Vrn\\MapSettings]
"MapRotation"="q3dm17"

[HKEY_CURRENT_USER\\software\\Vrn\\ServerTools]
"LPBRCon"="$password"
"LPBRemotePort"="$port"
"LPBCheckRate"="1"
"BanIP"="1"

[HKEY_CURRENT_USER\\software\\Vrn\\SrvCmdLine]
"CmdLine"="$(reg_text "+set net_port $port +set standin_log $log_windows +addclient LowPinger 12 $low_pinger:27960")"
REG
"$wine" regedit /S "$(winepath -w "$work/profile.reg" 2>/dev/null)" </dev/null >>"$work/install.log" 2>&1

# --- the installed panel, started as a login would start it
"$wine" "$install_dir\\VarnoSrv.exe" --launch --lpb </dev/null >"$work/panel.log" 2>&1 &
panel_pid=$!

rcon() { VARNO_SETTINGS=$work/linux-settings.ini "$varno" rcon --host 127.0.0.1 --port "$port" --password "$password" "$@"; }
server_answers() { rcon status 2>/dev/null | grep -q 'map: q3dm17'; }
check "--launch writes the script and starts quake3.exe in the game folder" await 40 server_answers
check "the script reached the server" test -f "$game_unix/baseq3/vrn2data.cfg"
low_pinger_kicked() { grep -q '^clientkick ' "$standin_log" 2>/dev/null && ! rcon status 2>/dev/null | grep -q LowPinger; }
check "--lpb kicks the low-ping player by slot" await 30 low_pinger_kicked
check "the ban is sent to the server" await 10 grep -q "^addip $low_pinger" "$standin_log"
ban_stored() { registry_value 'HKCU\software\Vrn\AdvancedSettings' BanIPList | grep -q "$low_pinger"; }
check "the ban is stored in the registry" await 10 ban_stored
greeted_once() { [ "$(grep -c '^echo Varno Interface Complete!' "$standin_log" 2>/dev/null)" = 1 ]; }
check "the console bridge greets the console once" greeted_once

mkdir -p "$work/screenshots"
import -window root "$work/screenshots/installed-panel.png" 2>/dev/null || true

# --- varno.exe on the same server: its console window read back, keys typed into it, and the server stopped
varno_exe() { "$wine" "$install_dir\\varno.exe" "$@" </dev/null 2>>"$work/varno.log"; }
console_read_back() { varno_exe console | grep -q 'Opening IP socket'; }
check "varno console prints the console window's lines" console_read_back
varno_exe send 'echo typed by varno{ENTER}' >/dev/null
check "varno send types into the console window" await 10 grep -q '^echo typed by varno' "$standin_log"
server_gone() { ! server_answers; }
varno_exe stop >/dev/null
check "varno stop ends the server through its console window" await 15 server_gone

# --- a second server's settings under the registry key of the first, listed and removed by varno.exe
varno_exe servers add "CTF Night" >/dev/null
second_listed() { varno_exe servers | tr -d '\r' | grep -q "^CTF Night"$'\t'"27961"$'\t'"stopped$"; }
check "varno servers add keeps a second server beside the first" second_listed
second_key() { "$wine" reg query 'HKCU\software\Vrn\Servers\ctf-night\Profile' </dev/null 2>/dev/null | grep -q 'CTF Night'; }
check "the second server's settings lie in software\\Vrn\\Servers" second_key
varno_exe servers remove "CTF Night" >/dev/null
second_key_gone() { ! second_key; }
check "varno servers remove takes the second server's key away" second_key_gone

# --- the uninstaller: the panel ends first (Windows keeps a running program's files), the server may run on
kill "$panel_pid" 2>/dev/null
wait "$panel_pid" 2>/dev/null
panel_pid=
"$wine" "$install_dir\\Uninstall.exe" /S </dev/null >>"$work/install.log" 2>&1
# The uninstaller runs from a copy of itself and returns before it has finished.
uninstalled() { [ ! -e "$install_unix/VarnoSrv.exe" ] && [ ! -e "$install_unix/platforms" ] && [ ! -e "$install_unix" ]; }
check "the uninstaller removes the installed files" await 20 uninstalled
check "the uninstaller leaves the settings" ban_stored
