#!/usr/bin/env bash
# The long load runs behind the README's "Large missions" figures, each with
# real processes on loopback: vantorsrv headless, vantor-missiongen with
# stamped batches, vantor-load with ten clients (and, for "client", one
# offscreen Vantor).
#
#   tools/load/soak.sh BIN_DIR [large|default|raised|client|all ...] [--minutes N] [--out DIR]
#
#   large    10 clients x 10,000 objects at 1 Hz, intake raised to 1,000,000 bytes
#   default  10 clients x 300 objects at 5 Hz, default intake
#   raised   the same 300 objects at 5 Hz with the intake raised to 1,000,000 bytes
#   client   one Vantor (offscreen, labels and coverage, 300 km) following
#            10,000 objects at 1 Hz, beside one counting client
#
# Each run writes DIR/<run>.json and DIR/<run>.txt, samples the load average
# every minute into DIR/<run>.loadavg, and checks its figures; the script
# exits non-zero when a run lost records or missed one.
# Ports: SOAK_FEED_PORT (20311) and SOAK_CLIENT_PORT (20310).
set -euo pipefail

usage() { sed -n '2,18p' "$0" | sed 's/^# \{0,1\}//'; exit "${1:-2}"; }
[ $# -ge 1 ] || usage
BIN=$(readlink -f "$1"); shift
RUNS=()
MINUTES=10
OUT=soak-results
while [ $# -gt 0 ]; do
  case "$1" in
    large|default|raised|client) RUNS+=("$1") ;;
    all) RUNS+=(large default raised client) ;;
    --minutes) [ $# -ge 2 ] || usage; MINUTES=$2; shift ;;
    --out) [ $# -ge 2 ] || usage; OUT=$2; shift ;;
    -h|--help) usage 0 ;;
    *) usage ;;
  esac
  shift
done
[ ${#RUNS[@]} -gt 0 ] || RUNS=(large default raised client)
[[ "$MINUTES" =~ ^[0-9]+([.][0-9]+)?$ ]] || { echo "soak: --minutes takes a number" >&2; exit 2; }
for program in vantorsrv vantor-missiongen vantor-load Vantor; do
  [ -x "$BIN/$program" ] || { echo "soak: $BIN/$program is missing; build first" >&2; exit 2; }
done
mkdir -p "$OUT"
OUT=$(readlink -f "$OUT")
FEED_PORT=${SOAK_FEED_PORT:-20311}
CLIENT_PORT=${SOAK_CLIENT_PORT:-20310}
SECONDS_COUNTED=$(awk -v m="$MINUTES" 'BEGIN { printf "%d", m * 60 }')
WORK=$(mktemp -d)
PIDS=()

stop_all() {
  # Only the processes this script started, each by its own id.
  local pid
  for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
  PIDS=()
}
trap 'stop_all; rm -rf "$WORK"' EXIT
trap 'exit 130' INT TERM

# start_server <log> [vantorsrv options]: sets SERVER_PID once it listens.
start_server() {
  local log=$1; shift
  printf '[Config]\nMaxClient=10\n' > "$WORK/vantorsrv.ini"
  "$BIN/vantorsrv" --headless --no-simulator --settings "$WORK/vantorsrv.ini" \
    --feed-port "$FEED_PORT" --client-port "$CLIENT_PORT" "$@" > "$log" 2>&1 &
  SERVER_PID=$!
  PIDS+=("$SERVER_PID")
  for _ in $(seq 50); do
    grep -q "feed port $FEED_PORT, client port $CLIENT_PORT" "$log" && return 0
    kill -0 "$SERVER_PID" 2>/dev/null || break
    sleep 0.1
  done
  echo "soak: vantorsrv did not start (see $log):" >&2
  cat "$log" >&2
  return 1
}

# start_feed <log> <objects> <rate>: sets FEED_PID.
start_feed() {
  "$BIN/vantor-missiongen" --port "$FEED_PORT" --objects "$2" --rate "$3" --stamp > "$1" 2>&1 &
  FEED_PID=$!
  PIDS+=("$FEED_PID")
}

sample_loadavg() {
  while true; do
    echo "$(date +%T) $(cat /proc/loadavg)"
    sleep 60
  done
}

# drive <run> [vantor-load options]: runs the driver, keeps its table and
# JSON, and prints the load averages seen meanwhile.
drive() {
  local run=$1; shift
  sample_loadavg > "$OUT/$run.loadavg" &
  local sampler=$!
  local status=0
  "$BIN/vantor-load" --client-port "$CLIENT_PORT" --duration "$SECONDS_COUNTED" --warmup 10 \
    --server-pid "$SERVER_PID" --json "$OUT/$run.json" "$@" | tee "$OUT/$run.txt" || status=$?
  kill "$sampler" 2>/dev/null || true
  wait "$sampler" 2>/dev/null || true
  echo "$(date +%T) $(cat /proc/loadavg)" >> "$OUT/$run.loadavg"
  echo "load average during the run (1, 5, 15 min):"
  sed 's/^/  /' "$OUT/$run.loadavg"
  return $status
}

FAILED=0
for run in "${RUNS[@]}"; do
  echo "== $run: $MINUTES min ($(date +%T))"
  status=0
  case "$run" in
    large)
      start_server "$WORK/large-server.log" --feed-intake 1000000
      start_feed "$WORK/large-feed.log" 10000 1
      drive large --clients 10 --watch-pid "$FEED_PID" \
        --max-p99-ms 50 --max-server-cpu 20 --max-rss-growth 5 || status=$?
      ;;
    default)
      start_server "$WORK/default-server.log"
      start_feed "$WORK/default-feed.log" 300 5
      drive default --clients 10 --watch-pid "$FEED_PID" --max-p99-ms 150 || status=$?
      ;;
    raised)
      start_server "$WORK/raised-server.log" --feed-intake 1000000
      start_feed "$WORK/raised-feed.log" 300 5
      drive raised --clients 10 --watch-pid "$FEED_PID" --max-p99-ms 150 || status=$?
      ;;
    client)
      start_server "$WORK/client-server.log" --feed-intake 1000000
      start_feed "$WORK/client-feed.log" 10000 1
      printf '[config]\nInstaller Language=1033\n' > "$WORK/vantor.ini"
      (cd "$WORK" && QT_QPA_PLATFORM=offscreen exec "$BIN/Vantor" --settings "$WORK/vantor.ini" --no-sound \
         --server 127.0.0.1 --client-port "$CLIENT_PORT" --bind 127.0.0.20 \
         --range 300 --labels --coverage > "$WORK/vantor.log" 2>&1) &
      VANTOR_PID=$!
      PIDS+=("$VANTOR_PID")
      drive client --clients 1 --watch-pid "$VANTOR_PID" --watch-udp 127.0.0.20 \
        --max-watched-cpu 25 --max-watched-rss-mb 300 || status=$?
      ;;
  esac
  stop_all
  if [ "$status" -ne 0 ]; then
    echo "== $run: vantor-load exited with $status"
    FAILED=1
  fi
done
exit $FAILED
