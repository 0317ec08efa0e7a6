#!/usr/bin/env bash
# Runs a live mission from the built programs in folder $1: the headless
# server, which starts the mission generator as its simulator "falcrest"
# (and, as they exist, the voice-client stand-in and the radar client).
#
#   tools/demo/demo.sh [BIN] [--seed N] [--objects N] [--duration S]
#
# Ports: VANTOR_FEED_PORT (default 10311) and VANTOR_CLIENT_PORT (10310).
# Ctrl-C stops everything the demo started.
set -euo pipefail
BIN=$(readlink -f "${1:-build/bin}")
[ $# -gt 0 ] && shift

seed=1 objects=0 duration=0
while [ $# -gt 0 ]; do
  case "$1" in
    --seed) seed=$2; shift 2 ;;
    --objects) objects=$2; shift 2 ;;
    --duration) duration=$2; shift 2 ;;
    *) echo "demo: unknown option $1 (options: --seed N, --objects N, --duration S)" >&2; exit 2 ;;
  esac
done
feed_port=${VANTOR_FEED_PORT:-10311}
client_port=${VANTOR_CLIENT_PORT:-10310}

for program in vantorsrv vantor-missiongen; do
  [ -x "$BIN/$program" ] || { echo "demo: $BIN/$program is missing; build first (./run.sh build)" >&2; exit 1; }
done
for file in elevation.dat borderline.dat airport.dat; do
  [ -f "$BIN/$file" ] || echo "demo: note: $BIN/$file is missing; the radar client needs it" >&2
done

work=$(mktemp -d "${TMPDIR:-/tmp}/vantor-demo.XXXXXX")
simulator="$work/simulator"
server_pid=

stop() {
  trap - EXIT INT TERM
  if [ -n "$server_pid" ] && kill -0 "$server_pid" 2>/dev/null; then
    # The server never stops its simulator; the demo does, first.
    for pid in $(pgrep -P "$server_pid" -f "$simulator/falcrest" || true); do
      echo "== Stopping the mission generator (pid $pid)"
      kill -TERM "$pid" 2>/dev/null || true
    done
    echo "== Stopping the server (pid $server_pid)"
    kill -TERM "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap stop EXIT
trap 'echo; stop; exit 0' INT TERM

# The simulator folder: the generator under the simulator's name, with the
# export settings that point it at this server's feed port.
mkdir -p "$simulator"
ln -s "$BIN/vantor-missiongen" "$simulator/falcrest"
cat > "$simulator/vantor-export.ini" <<INI
[Export]
host=127.0.0.1
port=$feed_port
seed=$seed
objects=$objects
duration=$duration
status=10
INI

# The server's configuration for this run only.
cat > "$work/vantorsrv.ini" <<INI
[Config]
bluepass=blue
redpass=red
INI

echo "== Vantor demo from $BIN"
echo "   work folder:      $work"
echo "   simulator folder: $simulator (falcrest -> vantor-missiongen, seed $seed)"
echo "== Starting the headless server: feed port $feed_port, client port $client_port"
echo "   radar clients connect to this host, port $client_port; passwords: Blue \"blue\", Red \"red\""
echo "   the server starts the mission generator as its simulator; Ctrl-C stops everything"
"$BIN/vantorsrv" --headless --feed-port "$feed_port" --client-port "$client_port" \
  --settings "$work/vantorsrv.ini" --simulator-dir "$simulator" \
  > >(sed -u 's/^/  | /') 2>&1 &
server_pid=$!
wait "$server_pid" || true
server_pid=
