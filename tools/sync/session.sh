# shellcheck shell=bash
# Shell functions shared by bench/sync_figures.sh and the sync end-to-end test: start a
# sound server of our own, run the demo windowed while recording the null sink's
# monitor (and, if asked, grabbing its window), and stop every process started, by its
# process id, never one it has already waited for (the PID may belong to another
# process by then). Source this file, call session_init, and put session_cleanup in an
# EXIT trap. Needs an X server in DISPLAY, xdotool and xwininfo.

# shellcheck source=../../scripts/lib/process.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/process.sh"
session_pids=()

# session_init WORK_DIR BUILD_DIR [LIFETIME]: files go to WORK_DIR; the demo and the
# tools come from BUILD_DIR. No server outlives LIFETIME seconds (3600), even when
# whoever started it was killed outright and could not stop it.
session_init() {
  session_dir=$1
  session_build=$2
  session_tools=$2/tools/sync
  session_lifetime=${3:-3600}
}

# Starts a command in the background; its pid in $started, and stopped at cleanup.
session_spawn() {
  "$@" &
  started=$!
  session_adopt "$started"
}

# session_adopt PID: a process started otherwise (a server's pid from its pid file),
# stopped at cleanup like the rest.
session_adopt() {
  proc_note "$1"
  session_pids+=("$1")
}

# session_stop PID...: asks each process to end, kills it after 5 s, and forgets it.
session_stop() {
  local pid kept=() stopped=" $* "
  for pid in "$@"; do
    proc_signal TERM "$pid"
  done
  for pid in "$@"; do
    proc_stop "$pid" 5
  done
  for pid in "${session_pids[@]}"; do
    [[ $stopped == *" $pid "* ]] || kept+=("$pid")
  done
  session_pids=("${kept[@]}")
  return 0
}

# session_await PID SECONDS: waits for the process to end by itself, then stops it.
session_await() {
  proc_wait "$1" "$2" >/dev/null
  session_stop "$1"
}

# Stops everything started and not stopped yet, newest first.
session_cleanup() {
  local i
  for ((i = ${#session_pids[@]} - 1; i >= 0; --i)); do
    session_stop "${session_pids[i]}"
  done
  session_pids=()
}

# Starts an X server of our own on whichever display number is free, lives as long as
# the session, and exports DISPLAY; false if it did not come up within 10 s.
session_start_xvfb() {
  exec 3>"$session_dir/display"
  session_spawn timeout --kill-after=5 "$session_lifetime" \
    Xvfb -displayfd 3 -screen 0 1024x768x24 -noreset 2>"$session_dir/xvfb.log"
  exec 3>&-
  for _ in $(seq 100); do [ -s "$session_dir/display" ] && break; sleep 0.1; done
  [ -s "$session_dir/display" ] || return 1
  DISPLAY=:$(head -n 1 "$session_dir/display")
  export DISPLAY
}
# session_running PID: true while the process started as PID lives.
session_running() { proc_running "$1"; }

# Waits up to $2 seconds for a window titled $1 at least 640 wide ($3 = any: any size);
# prints its id.
session_wait_window() {
  local title=$1 seconds=$2 size=${3:-demo} id
  for _ in $(seq $((seconds * 10))); do
    if [ "$size" = any ]; then
      id=$(xwininfo -root -tree 2>/dev/null | grep -F "\"$title\"" | head -n 1 | awk '{print $1}')
    else
      id=$(xwininfo -root -tree 2>/dev/null | grep -F "\"$title\"" | grep -E ' 6[4-9][0-9]x|[0-9]{4}x' \
           | head -n 1 | awk '{print $1}')
    fi
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Waits up to $1 seconds until the sound server in PULSE_SERVER answers.
session_wait_server() {
  for _ in $(seq $(($1 * 10))); do
    pactl info >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

# Starts PulseAudio on a socket of its own with a 44100 Hz null sink "sync", all its
# files under the work folder; exports PULSE_SERVER. Its pid in $session_server.
session_start_pulseaudio() {
  local dir=$session_dir/pulseaudio
  session_fragment=441 # the recorder's readings every 10 ms
  session_native_recorder=0
  mkdir -p "$dir/runtime" "$dir/state" "$dir/config"
  chmod 700 "$dir/runtime"
  cat >"$dir/server.pa" <<CONFIG
load-module module-native-protocol-unix socket=$dir/socket auth-anonymous=1
load-module module-null-sink sink_name=sync rate=44100
set-default-sink sync
CONFIG
  printf 'autospawn = no\n' >"$dir/client.conf"
  export PULSE_CLIENTCONFIG=$dir/client.conf PULSE_SERVER=unix:$dir/socket
  session_spawn env HOME="$dir" XDG_RUNTIME_DIR="$dir/runtime" XDG_CONFIG_HOME="$dir/config" \
    PULSE_STATE_PATH="$dir/state" PULSE_RUNTIME_PATH="$dir/runtime" \
    timeout --kill-after=5 "$session_lifetime" \
    pulseaudio --daemonize=no --exit-idle-time=-1 --use-pid-file=no -n -F "$dir/server.pa" \
    --log-target=stderr 2>"$dir/log"
  session_server=$started
  session_wait_server 10 && session_running "$session_server"
}

# Starts PipeWire (pipewire, wireplumber, pipewire-pulse in a D-Bus session of their
# own, at 44100 Hz) under its own XDG_RUNTIME_DIR with a null sink "sync" as the
# default; exports what PulseAudio and PipeWire clients need to find it. The servers'
# pids are in $session_servers, oldest first: stop them newest first.
session_start_pipewire() {
  local dir=$session_dir/pipewire
  session_fragment=1024 # smaller would set every client's quantum
  session_native_recorder=1 # a second recording through PipeWire's own API
  mkdir -p "$dir/runtime" "$dir/config/pipewire/pipewire.conf.d" "$dir/config/wireplumber/bluetooth.lua.d"
  # without logind (a chroot, a container) wireplumber's bluetooth monitor fails to
  # start, and wireplumber with it
  echo 'bluez_monitor.enabled = false' >"$dir/config/wireplumber/bluetooth.lua.d/51-no-bluetooth.lua"
  chmod 700 "$dir/runtime"
  cat >"$dir/config/pipewire/pipewire.conf.d/rate.conf" <<'CONFIG'
context.properties = {
    default.clock.rate = 44100
    default.clock.allowed-rates = [ 44100 ]
}
CONFIG
  # the session's bus daemon is the other child of dbus-run-session: stopped by its pid;
  # the servers keep their state (wireplumber's restored streams) in the work folder
  cat >"$dir/servers.sh" <<SERVERS
for stat in /proc/[0-9]*/stat; do
  read -r pid name _ parent _ <"\$stat" 2>/dev/null || continue
  [ "\$parent" = "\$PPID" ] && [ "\$name" = "(dbus-daemon)" ] && echo "\$pid" >"$dir/dbus-daemon.pid"
done
export HOME="$dir" XDG_STATE_HOME="$dir/state" XDG_DATA_HOME="$dir/data"
for server in pipewire wireplumber pipewire-pulse; do
  timeout --kill-after=5 "$session_lifetime" "\$server" 2>"$dir/\$server.log" &
  echo \$! >"$dir/\$server.pid"
  sleep 0.5
done
wait
SERVERS
  export XDG_RUNTIME_DIR=$dir/runtime XDG_CONFIG_HOME=$dir/config PIPEWIRE_RUNTIME_DIR=$dir/runtime
  printf 'autospawn = no\n' >"$dir/client.conf"
  export PULSE_CLIENTCONFIG=$dir/client.conf PULSE_SERVER=unix:$dir/runtime/pulse/native
  session_spawn dbus-run-session -- bash "$dir/servers.sh"
  session_servers=("$started")
  local ready=1
  session_wait_server 15 || ready=0
  local name
  for name in dbus-daemon pipewire wireplumber pipewire-pulse; do
    if [ -s "$dir/$name.pid" ]; then
      session_servers+=("$(cat "$dir/$name.pid")")
      session_adopt "${session_servers[-1]}"
    fi
  done
  [ "$ready" = 1 ] || return 1
  # the graph and the session manager may come up after the pulse server answers
  local made=0
  for _ in $(seq 50); do
    [ "$made" = 1 ] || { pactl load-module module-null-sink sink_name=sync rate=44100 >/dev/null 2>&1 && made=1; }
    [ "$made" = 1 ] && pactl set-default-sink sync 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

# session_run_demo DRIVER PREFIX SECONDS [grab]: runs the demo with SDL_AUDIODRIVER=DRIVER,
# answers "No" (windowed), lets it play SECONDS from its first frame (the music's start)
# and ends it with Escape. Writes
# PREFIX.f32 and PREFIX.stamps (the sink's monitor), PREFIX.positions (what the demo
# reported) and, with "grab", PREFIX.screen (its window). False when the demo did not
# come up or the recorder failed.
session_run_demo() {
  local driver=$1 prefix=$2 seconds=$3 grab=${4:-} recorder demo grabber="" window box
  session_spawn "$session_tools/sync_recorder" sync.monitor "$prefix" 0 "$session_fragment" 2>"$prefix.recorder.log"
  recorder=$started
  if [ "${session_native_recorder:-0}" = 1 ]; then
    session_spawn "$session_tools/sync_recorder_pw" sync "$prefix.pw" 0 "$session_fragment" 2>"$prefix.pw.recorder.log"
    recorder="$recorder $started"
  fi
  session_spawn env -C "$session_build" SDL_AUDIODRIVER="$driver" VORIMEL_POSITION_LOG="$prefix.positions" \
    ./vorimel >"$prefix.demo.log" 2>&1
  demo=$started
  if ! box=$(session_wait_window "zent.vorimel" 30 any); then
    echo "session: no \"fullscreen?\" question" >&2
    # shellcheck disable=SC2086
    session_stop "$demo" $recorder
    return 1
  fi
  xdotool windowfocus --sync "$box" key Escape
  if [ "$grab" = grab ]; then
    session_spawn "$session_tools/sync_grabber" zent.vorimel 640 480 "$prefix.screen" $((seconds + 90)) \
      2>"$prefix.grabber.log"
    grabber=$started
  fi
  # loading takes a few seconds; the first position is logged on the first frame
  local until=$((SECONDS + 60))
  while ((SECONDS < until)) && session_running "$demo" && [ ! -s "$prefix.positions" ]; do
    sleep 0.1
  done
  until=$((SECONDS + seconds))
  while ((SECONDS < until)) && session_running "$demo"; do
    sleep 0.2
  done
  # Escape held for a fifth of a second: the demo reads the keys once a frame
  if window=$(session_wait_window "zent.vorimel" 1); then
    xdotool windowfocus --sync "$window" keydown Escape sleep 0.2 keyup Escape 2>/dev/null
  fi
  session_await "$demo" 10
  [ -n "$grabber" ] && session_await "$grabber" 5
  # shellcheck disable=SC2086 # one or two pids
  session_stop $recorder
  [ -s "$prefix.f32" ] && [ -s "$prefix.positions" ]
}
