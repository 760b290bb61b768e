#!/bin/sh
# kvelctl serve for MINUTES (default 60) polling the simulator every second, publishing to a
# mosquitto broker that is stopped and started again every minute, scraped every 5 s. Prints
# the resident memory each minute and the last minute's against the first's in per cent.
#   bench/ctl/serve_soak.sh [MINUTES] [BUILD]
set -eu
minutes=${1:-60}
build=$(cd "${2:-build}" && pwd)
dir=$(mktemp -d /tmp/kvel-soak.XXXXXX)
cd "$dir"
free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }
broker=$(free_port)
metrics=$(free_port)
pids=""
cleanup() { for p in $pids; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null || true; }
trap cleanup EXIT INT TERM
printf 'listener %s 127.0.0.1\nallow_anonymous true\npersistence false\n' "$broker" > mosquitto.conf
printf '[connect]\nport=%s/tty\n[measure]\nperiod=1\n[file]\nsave=1\nname=log.txt\n[publish]\nmqtt=127.0.0.1:%s\nname=soak\nmetrics=127.0.0.1:%s\n' \
    "$dir" "$broker" "$metrics" > mem.ini
sleep 100000 | "$build/sim/kvel-sim" --link "$dir/tty" > sim.log 2>&1 &
pids="$pids $!"
sleep 1
mosquitto -c mosquitto.conf > broker.log 2>&1 &
mosq=$!
"$build/ctl/kvelctl" serve > serve.log 2>&1 &
serve=$!
pids="$pids $serve"
( while sleep 5; do curl -sf "http://127.0.0.1:$metrics/metrics" > /dev/null || true; done ) &
pids="$pids $!"
rss() { awk '/VmRSS/ { print $2 }' "/proc/$serve/status"; }
first=""
for m in $(seq 1 "$minutes"); do
    sleep 30
    kill "$mosq"; wait "$mosq" 2>/dev/null || true
    sleep 30
    mosquitto -c mosquitto.conf >> broker.log 2>&1 &
    mosq=$!
    now=$(rss)
    [ -n "$first" ] || first=$now
    echo "minute $m: VmRSS $now kB"
done
pids="$pids $mosq"
echo "first minute $first kB, last $now kB: $(awk -v a="$first" -v b="$now" 'BEGIN { printf "%+.1f", (b - a) * 100 / a }') %"
echo "log lines: $(($(wc -l < log.txt) - 1)), polls: $(curl -sf "http://127.0.0.1:$metrics/metrics" | awk '/^kvel_poll_duration_seconds_count/ { print $2 }')"
rm -rf "$dir"
