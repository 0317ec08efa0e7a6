#!/usr/bin/env bash
# Runs a live mission from the built programs in folder $1: the headless
# server, which starts the mission generator as its simulator "falcrest",
# and the radar client Vantor logged on to it as Blue: on the screen when a
# display is available, else without a window, logging its contact table and
# writing its radar picture to a PNG file every few seconds.
# The voice-client stand-in parlix-sim runs beside them, so the client's
# voice commands have a Parlix to talk to.
#
#   tools/demo/demo.sh [BIN] [--seed N] [--objects N] [--duration S] [--no-client]
#                      [--snapshot FILE]
#
# Ports: VANTOR_FEED_PORT (default 10311) and VANTOR_CLIENT_PORT (10310).
# Ctrl-C stops everything the demo started.
set -euo pipefail
BIN=$(readlink -f "${1:-build/bin}")
[ $# -gt 0 ] && shift

seed=1 objects=0 duration=0 client=1
# Without a display the client's radar picture goes here, renewed every few
# seconds; it stays after the demo.
snapshot="${TMPDIR:-/tmp}/vantor-scope.png"
# Checks the value $2 of option $1 against the pattern $3 (what it needs: $4):
# a bad value would only show up later as a mission that never starts.
check() {
  [[ $2 =~ $3 ]] || { echo "demo: $1 needs $4" >&2; exit 2; }
}
while [ $# -gt 0 ]; do
  case "$1" in
    --seed) check "$1" "${2-}" '^[0-9]+$' 'a whole number'; seed=$2; shift 2 ;;
    --objects) check "$1" "${2-}" '^(10000|[0-9]{1,4})$' 'a number of objects up to 10000 (0: the standard mission)'
               objects=$2; shift 2 ;;
    --duration) check "$1" "${2-}" '^[0-9]+([.][0-9]+)?$' 'a number of seconds'; duration=$2; shift 2 ;;
    --no-client) client=0; shift ;;
    --snapshot) check "$1" "${2-}" '.' 'a file'; snapshot=$(readlink -f "$2"); shift 2 ;;
    *) echo "demo: unknown option $1 (options: --seed N, --objects N, --duration S, --no-client," \
            "--snapshot FILE)" >&2; exit 2 ;;
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
client_pid=
voice_pid=

stop() {
  trap - EXIT INT TERM
  if [ -n "$client_pid" ] && kill -0 "$client_pid" 2>/dev/null; then
    echo "== Stopping the radar client (pid $client_pid)"
    kill -TERM "$client_pid" 2>/dev/null || true
    for _ in $(seq 1 30); do kill -0 "$client_pid" 2>/dev/null || break; sleep 0.1; done
  fi
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
  if [ -n "$voice_pid" ] && kill -0 "$voice_pid" 2>/dev/null; then
    echo "== Stopping the voice-client stand-in (pid $voice_pid)"
    kill -TERM "$voice_pid" 2>/dev/null || true
    wait "$voice_pid" 2>/dev/null || true
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

# Whether something listens on TCP port $1 of this host (without connecting:
# a connection would take one of the server's client slots).
listening() {
  local hex
  hex=$(printf ':%04X' "$1")
  awk -v port="$hex" 'FNR > 1 && substr($2, length($2) - 4) == port && $4 == "0A" { found = 1 }
                      END { exit !found }' /proc/net/tcp /proc/net/tcp6 2>/dev/null
}

if [ -x "$BIN/parlix-sim" ]; then
  echo "== Starting the voice-client stand-in parlix-sim (channels Lobby, Blue Ops, Red Ops, Tower ...)"
  "$BIN/parlix-sim" > >(sed -u 's/^/  parlix | /') 2>&1 &
  voice_pid=$!
fi

if [ "$client" = 1 ] && [ -x "$BIN/Vantor" ]; then
  for _ in $(seq 1 50); do
    listening "$client_port" && break
    [ -r /proc/net/tcp ] || { sleep 1; break; }
    sleep 0.1
  done
  # The client's own settings and server list for this run, in English.
  mkdir -p "$work/client"
  printf '[config]\nInstaller%%20Language=1033\n' > "$work/client/rivak.ini"
  client_args=(--server 127.0.0.1 --password blue --client-port "$client_port" --settings "$work/client/rivak.ini")
  # What a newcomer can try in the window.
  print_keys() {
    cat <<'KEYS'
   - mouse wheel over the scope: range 2 ... 300 km; Airports / Radars menus and a right
     double-click: re-centre; hold the right button: range and bearing; hold the left
     button: labels; double-click a contact: its callsign; Space: a marker
   - the panel's Awacs/Atc switch: ATC mode, the approach view of the centred airfield with
     the arrivals on it; "C1" or "C2" under the information panel, then two contacts on the
     scope: their altitude, speed and heading, bearing and range from one to the other
   - Ctrl+V (or Shift+Insert): send a chat message to Blue or to everyone
   - F2: display settings (wind, units, history trails, font size) and the scope's aids:
     cursor readout, bullseye (then Ctrl + right click: "Set bullseye here"), BRAA (then
     Ctrl + click a friendly), label declutter, conflict alert
   - Airports > Record...: record the picture; replay it later with Vantor --replay FILE
   - "?" menu > About Vantor: the credits
   - Airports > Exit (or Ctrl+Q): leave, or Reconnect to the server
KEYS
  }
  # Runs in the background as the client itself; its pid is left in a file.
  run_client() {
    cd "$work/client"
    echo "$BASHPID" > "$work/client/pid"
    exec "$BIN/Vantor" "${client_args[@]}" "$@"
  }
  if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "== Starting the radar client Vantor, logged on as Blue: its whole window, the scope on"
    echo "   Krasnodar at 50 km, where a departure, two arrivals and a patrol fly within 20 seconds"
    print_keys
    ( run_client ) 2>&1 | sed -u 's/^/  Vantor | /' &
  else
    window_snapshot="${snapshot%.png}-window.png"
    [ "$window_snapshot" != "$snapshot" ] || window_snapshot="$snapshot.window.png"
    echo "== No display: the radar client Vantor runs without a window, logged on as Blue;"
    echo "   its connection and, every 10 seconds, its contact table are shown;"
    echo "   its radar picture (200 km, labels on) is written every 5 seconds to:"
    echo "   $snapshot"
    echo "   and its whole window, on a 1600 x 1000 screen, to:"
    echo "   $window_snapshot"
    echo "   On a machine with a display the window opens; there, try:"
    print_keys
    printf '{"screens": [{"name": "demo", "x": 0, "y": 0, "width": 1600, "height": 1000}]}\n' > "$work/screen.json"
    ( QT_QPA_PLATFORM="offscreen:configfile=$work/screen.json" run_client --no-sound --log-tracks --range 200 \
        --labels --snapshot "$snapshot" --snapshot-window "$window_snapshot" --snapshot-after 5 \
        --snapshot-every 5 ) 2>&1 | {
      n=0
      while IFS= read -r line; do
        case "$line" in
          *" datagram of "*) n=$((n + 1)); [ $((n % 50)) -eq 1 ] || continue ;;
          Vantor:*) ;;
          *) continue ;;  # the window system's notes
        esac
        printf '  Vantor | %s\n' "$line"
      done
    } &
  fi
  for _ in $(seq 1 50); do [ -s "$work/client/pid" ] && break; sleep 0.1; done
  client_pid=$(cat "$work/client/pid" 2>/dev/null || true)
fi

wait "$server_pid" || true
server_pid=
