#!/usr/bin/env bash
# The whole program's figures: start-up, memory idle and while watching a 64-player stand-in server,
# CPU while watching, and the time from a status reply to its kick. Usage: measure-panel.sh BUILD_DIR
set -euo pipefail
build_dir=$(cd "${1:-build}" && pwd)
bin="$build_dir/bin"
work=$(mktemp -d)
standin_pid=
more_pids=()
cleanup() {
    [ -z "$standin_pid" ] || kill "$standin_pid" 2>/dev/null || true
    for pid in "${more_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
export QT_QPA_PLATFORM=offscreen

settings=$("$bin/varno-demo-profile" "$work/demo" "$bin/q3standin")
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

startups=()
for _ in 1 2 3 4 5; do
    startups+=("$("$bin/varno-perf" "$settings" 2>/dev/null | awk -F'\t' '$1 == "startup_ms" { print $2 }')")
done
idle_rss=$("$bin/varno-perf" "$settings" 2>/dev/null | awk -F'\t' '$1 == "peak_rss_mb" { print $2 }')

# A 64-player server, every ping at or above the threshold, so that the watcher polls and parses but kicks nobody.
clients=()
for i in $(seq 0 63); do
    clients+=(+addclient "Player$i" $((100 + i * 7)) "10.0.$((i / 250)).$((i % 250 + 1)):27960")
done
mkdir -p "$work/server"
(cd "$work/server" && exec "$bin/q3standin" +set net_ip 127.0.0.1 +set net_port 0 +set sv_maxclients 64 \
    +set rconpassword perf +map q3dm17 "${clients[@]}" </dev/null >"$work/server.log" 2>&1) &
standin_pid=$!
for _ in $(seq 50); do
    port=$(sed -n 's/.*Opening IP socket: [0-9.]*:\([0-9]*\).*/\1/p' "$work/server.log" | head -n 1)
    [ -n "$port" ] && break
    sleep 0.1
done
"$bin/varno" --settings "$settings" settings set ServerTools LPBRemotePort "$port"
"$bin/varno" --settings "$settings" settings set ServerTools LPBRCon perf
"$bin/varno" --settings "$settings" settings set ServerTools LPBCheckRate 1
watch=$("$bin/varno-perf" "$settings" 30 2>/dev/null)

# Eight servers of 16 players each, watched every second by one varno watch --all for 30 s.
start_standin() { # folder; the port it listens on goes to FOLDER/port (not a subshell: its pid is kept)
    mkdir -p "$1"
    local players=()
    for i in $(seq 0 15); do players+=(+addclient "P$i" $((120 + i * 9)) "10.1.0.$((i + 1)):27960"); done
    (cd "$1" && exec "$bin/q3standin" +set net_ip 127.0.0.1 +set net_port 0 +set sv_maxclients 16 \
        +set rconpassword perf +map q3dm17 "${players[@]}" </dev/null >"$1/server.log" 2>&1) &
    more_pids+=($!)
    for _ in $(seq 50); do
        sed -n 's/.*Opening IP socket: [0-9.]*:\([0-9]*\).*/\1/p' "$1/server.log" | head -n 1 >"$1/port"
        [ -s "$1/port" ] && return
        sleep 0.1
    done
}
many="$work/many/settings.ini"
mkdir -p "$work/many"
cp "$settings" "$many"
start_standin "$work/many/s0"
"$bin/varno" --settings "$many" settings set ServerTools LPBRemotePort "$(cat "$work/many/s0/port")"
for n in $(seq 1 7); do
    "$bin/varno" --settings "$many" servers add "s$n" >/dev/null
    start_standin "$work/many/s$n"
    "$bin/varno" --settings "$many" --server "s$n" settings set ServerTools LPBRemotePort \
        "$(cat "$work/many/s$n/port")"
done
"$bin/varno" --settings "$many" watch --all >/dev/null 2>&1 &
watch_all=$!
more_pids+=("$watch_all")
sleep 3 # the eight start announcements and first polls
ticks() { awk '{ print $14 + $15 }' "/proc/$watch_all/stat"; }
first_ticks=$(ticks)
sleep 30
all_cpu=$(awk -v a="$first_ticks" -v b="$(ticks)" -v hz="$(getconf CLK_TCK)" \
    'BEGIN { printf "%.2f", (b - a) / hz / 30 * 100 }')
all_rss=$(awk '/VmHWM/ { printf "%.1f", $2 / 1024 }' "/proc/$watch_all/status")
kill "$watch_all"

latency=$("$bin/e2e_tests" --gtest_also_run_disabled_tests --gtest_filter='*LpbReplyToKickLatency*' 2>/dev/null |
    awk '/reply sent 0 ms after/ { found = 1 } found && /reply sent -> kick arrived/ { print $9; exit }')

cpu_model=$(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -n 1)
echo
echo "Whole program on $(nproc) x ${cpu_model:-unknown CPU}:"
printf '%-52s %s\n' "start-up to \"Varno Loaded Successfully.\" (median of 5)" \
    "$(printf '%s\n' "${startups[@]}" | median) ms"
printf '%-52s %s\n' "peak memory, idle after start-up" "$idle_rss MB"
printf '%-52s %s\n' "CPU while watching 64 players every second" \
    "$(awk -F'\t' '$1 == "watch_cpu_pct" { print $2 }' <<<"$watch") % of one core"
printf '%-52s %s\n' "peak memory while watching 64 players" \
    "$(awk -F'\t' '$1 == "watch_peak_rss_mb" { print $2 }' <<<"$watch") MB"
printf '%-52s %s\n' "status reply to kick, ioquake3 layout (median)" "${latency:-?} ms"
printf '%-52s %s\n' "varno watch --all, 8 servers of 16 players, 1 s polls" "$all_cpu % of one core, $all_rss MB"
