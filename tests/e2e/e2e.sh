#!/usr/bin/env bash
# End-to-end runs of a demo program under Xvfb with SDL's dummy audio driver. Each
# waits for what it needs (a window, a line of output, an order heard) with a deadline
# far beyond what a busy machine takes, never for a fixed time. Its files go to a
# folder of its own under TMPDIR (or /tmp), removed when it passes, kept when it fails.
# Usage: e2e.sh PROGRAM SCENARIO CLOSE_TOOL (run from the build folder, where data/ is).
set -uo pipefail

program=$1
scenario=$2
close_tool=${3:-}
# shellcheck source=/dev/null
. ./data-files.sh # the pictures in load order, written with the build
# shellcheck source-path=SCRIPTDIR source=work-folder.sh
source "$(dirname "$0")/work-folder.sh"
work_folder "e2e-$scenario"

fail() {
  echo "FAIL: $*"
  echo "--- stdout"; cat "$work/out" 2>/dev/null
  echo "--- stderr"; cat "$work/err" 2>/dev/null
  exit 1
}

# wait_until SECONDS COMMAND...: true as soon as COMMAND succeeds (tried every 0.1 s),
# false if it has not within SECONDS.
wait_until() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.1
  done
}

# Waits up to $2 seconds for a top-level window titled $1; prints its id.
wait_window() {
  local title=$1 seconds=$2 id
  for _ in $(seq $((seconds * 10))); do
    id=$(xwininfo -root -tree 2>/dev/null | grep -F "\"$title\"" | head -n 1 | awk '{print $1}')
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Starts the program in the background; its pid in $pid.
start() {
  "$@" >"$work/out" 2>"$work/err" &
  pid=$!
}

# Waits up to $1 seconds for the program to end; its exit code in $status. The message
# box helper ignores SIGTERM, so a program that hangs is killed outright.
finish() {
  local seconds=$1
  for _ in $(seq $((seconds * 10))); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      status=$?
      return 0
    fi
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  fail "the program did not end within $seconds s"
}

# Holds a key down for a fifth of a second, as a hand does: the program reads the key
# state once a frame, so a press and release within one frame would go unseen.
press() { # press WINDOW KEY
  xdotool windowfocus --sync "$1" keydown "$2" sleep 0.2 keyup "$2" 2>/dev/null
}

tap() { # tap WINDOW KEY: pressed and released at once, between two frames
  xdotool windowfocus --sync "$1" key "$2" 2>/dev/null
}

answer() { # answer KEY: finds the question and presses KEY in it
  local box
  box=$(wait_window "zent.vorimel" 60) || fail "no \"fullscreen?\" question appeared"
  xdotool windowfocus --sync "$box" key "$1"
}

# Every picture, in load order, each line ended by "-> ok".
expect_progress_lines() {
  local expected="" name
  for name in $vorimel_pictures; do
    expected+="Loading texture ./data/$name-> ok"$'\n'
  done
  [ "$(cat "$work/out")"$'\n' = "$expected" ] || fail "progress lines differ from: $expected"
}

# A working folder $work/run whose data/ holds the build's pictures and no module.
pictures_only() {
  mkdir -p "$work/run/data"
  ln -s "$PWD"/data/*.tga "$work/run/data/"
}

# True once stdout holds every picture's progress line, each ended by "-> ok".
pictures_loaded() {
  local count
  count=$(grep -c -- '-> ok$' "$work/out" 2>/dev/null)
  [ "${count:-0}" -ge "$(wc -w <<<"$vorimel_pictures")" ]
}

# Waits until the demo runs: its window is up and every picture is loaded. Keys sent
# from then on are taken by the demo (those sent while it finishes loading are taken
# on its first frames).
wait_running() {
  window=$(wait_window "zent.vorimel" 60) || fail "no demo window"
  wait_until 120 pictures_loaded || fail "the pictures were not all loaded within 120 s"
  kill -0 "$pid" 2>/dev/null || fail "the program ended early"
}

# The order of the last music position the demo logged (VORIMEL_POSITION_LOG=$work/positions);
# 0 before the first. Only whole lines are read: the demo may be writing the last one.
heard_order() {
  local order
  order=$(tail -c 300 "$work/positions" 2>/dev/null | grep -E '^[0-9]+ [0-9]+ [0-9]+ [0-9]+ [0-9.]+$' \
    | tail -n 1 | cut -d ' ' -f 3)
  echo "${order:-0}"
}

ended() { ! kill -0 "$pid" 2>/dev/null; }
# taken_after ORDER: a Space tap made at ORDER has been taken: a later order is heard,
# or the demo has ended.
taken_after() { ended || [ "$(heard_order)" -gt "$1" ]; }

case $scenario in
skip-to-end)
  # Space jumps one order per press; the demo ends by itself at its last order.
  SDL_AUDIODRIVER=dummy start "$program"
  answer Escape
  wait_running
  for _ in $(seq 120); do
    kill -0 "$pid" 2>/dev/null || break
    press "$window" space
    sleep 0.3
  done
  finish 60
  [ "$status" -eq 0 ] || fail "exit code $status"
  expect_progress_lines
  ;;
space-taps)
  # Instant taps: each one skips exactly one order, so 14 reach the end from order 0
  # (13 when the music moved on by itself meanwhile); a lost tap needs more, a tap
  # taken twice fewer. Each tap waits until the demo hears a later order (or ends)
  # before the next, and none follows once order 14 is heard.
  SDL_AUDIODRIVER=dummy VORIMEL_POSITION_LOG="$work/positions" start "$program"
  answer Escape
  wait_running
  taps=0
  while ! ended && [ "$(heard_order)" -lt 14 ] && [ $taps -lt 40 ]; do
    order=$(heard_order)
    tap "$window" space
    taps=$((taps + 1))
    wait_until 60 taken_after "$order" || fail "tap $taps, at order $order, was not taken within 60 s"
  done
  finish 60
  [ "$status" -eq 0 ] || fail "exit code $status"
  [ $taps -ge 13 ] && [ $taps -le 14 ] || fail "$taps taps to reach the end, not 13 or 14"
  ;;
arguments)
  # Wrong arguments end the program with a reason before any window opens; the answer
  # given in advance skips the question; a frame that follows the window is drawn anew
  # at the height a resized window fits.
  start "$program" --fulscreen
  finish 30
  [ "$status" -eq 1 ] || fail "exit code $status for an unknown argument"
  grep -q "unknown argument '--fulscreen'" "$work/err" || fail "no reason for an unknown argument"
  xwininfo -root -tree | grep -qF '"zent.vorimel"' && fail "a window opened for a wrong argument"
  start "$program" --height 1000
  finish 30
  [ "$status" -eq 1 ] || fail "exit code $status for a height that is no multiple of 6"
  start "$program" --help
  finish 30
  [ "$status" -eq 0 ] && grep -q -- "--height native" "$work/out" || fail "--help: exit $status"

  VORIMEL_DEBUG=1 SDL_AUDIODRIVER=dummy start "$program" --windowed --height native
  wait_running
  xwininfo -id "$window" | grep -q "Width: 640" || fail "the first window is not the demo's 640x480 window"
  grep -q "frame 640x480 in 640x480 shown" "$work/err" || fail "the frame does not fit the window"
  xdotool windowsize "$window" 960 760
  wait_until 60 grep -q "frame 960x720 in 960x760 shown" "$work/err" \
    || fail "the frame was not drawn anew at 960x720 within 60 s"
  tap "$window" Escape
  finish 30
  [ "$status" -eq 0 ] || fail "exit code $status"
  ;;
escape-tap)
  SDL_AUDIODRIVER=dummy start "$program"
  answer Escape
  wait_running
  tap "$window" Escape
  finish 30
  [ "$status" -eq 0 ] || fail "exit code $status"
  ;;
no-fonts)
  # An X server without fonts cannot draw the question: the demo starts windowed and
  # says why on stderr.
  SDL_AUDIODRIVER=dummy start "$program"
  wait_running
  grep -q 'question could not be shown.*starting windowed.*xfonts-base' "$work/err" || fail "no reason on stderr"
  tap "$window" Escape
  finish 30
  [ "$status" -eq 0 ] || fail "exit code $status"
  ;;
escape)
  SDL_AUDIODRIVER=dummy start "$program"
  answer Escape
  wait_running
  press "$window" Escape
  finish 30
  [ "$status" -eq 0 ] || fail "exit code $status"
  ;;
close-window)
  SDL_AUDIODRIVER=dummy start "$program"
  answer Escape
  wait_running
  "$close_tool" "zent.vorimel" || fail "could not ask the window to close"
  finish 30
  [ "$status" -eq 0 ] || fail "exit code $status"
  ;;
no-audio)
  # A missing audio driver: the error is shown and reported, the exit code is not 0.
  SDL_AUDIODRIVER=vorimel-none start "$program"
  answer Escape
  error=$(wait_window "ERROR" 60) || fail "no ERROR box"
  xdotool windowfocus --sync "$error" key Return
  finish 30
  [ "$status" -ne 0 ] || fail "exit code 0 without an audio device"
  grep -q "Can't Initialise The Audio Device" "$work/err" || fail "no audio error on stderr"
  grep -q "SDL_AUDIODRIVER=dummy" "$work/err" || fail "no hint on stderr"
  ;;
fifo-data)
  # FIFOs in place of a picture and of the module, with no writer: opening either must
  # not wait for one. The picture is named on stderr and the loading goes on; with no
  # music to play the demo then ends on its first frame with the ERROR box.
  mkdir -p "$work/run/data"
  for file in data/*; do ln -s "$PWD/$file" "$work/run/$file"; done
  for file in diagonales.tga mordel.it; do
    rm "$work/run/data/$file" && mkfifo "$work/run/data/$file" || fail "cannot make the FIFO $file"
  done
  cd "$work/run" || fail "no run folder"
  SDL_AUDIODRIVER=dummy start "$program"
  answer Escape
  error=$(wait_window "ERROR" 60) || fail "no ERROR box"
  xdotool windowfocus --sync "$error" key Return
  finish 30
  [ "$status" -eq 3 ] || fail "exit code $status, not 3"
  grep -qF "vorimel: cannot load picture ./data/diagonales.tga: a FIFO, not a regular file" "$work/err" \
    || fail "the FIFO picture is not named on stderr"
  grep -qF "cannot play ./data/mordel.it: ./data/mordel.it: a FIFO, not a regular file" "$work/err" \
    || grep -qF "./data/mordel.it: a FIFO, not a regular file" "$work/err" || fail "the FIFO module is not named on stderr"
  grep -q "^Loading texture ./data/vorimel.tga-> ok$" "$work/out" || fail "the logo was not loaded"
  grep -qF "diagonales.tga-> ok" "$work/out" && fail "the FIFO picture was reported as loaded"
  ;;
no-music)
  # No module to play: the demo ends on its first frame with the ERROR box and the
  # cause on stderr.
  pictures_only
  start env -C "$work/run" SDL_AUDIODRIVER=dummy "$program"
  answer Escape
  error=$(wait_window "ERROR" 60) || fail "no ERROR box"
  xdotool windowfocus --sync "$error" key Return
  finish 30
  [ "$status" -eq 3 ] || fail "exit code $status, not 3"
  grep -q "cannot play ./data/mordel.it" "$work/err" || fail "no cause on stderr"
  ;;
short-music)
  # The module with an end marker at order 2: the music ends after orders 0 and 1
  # (9.6 s), and so does the demo, by itself and with exit code 0.
  pictures_only
  cp data/mordel.it "$work/run/data/"
  printf '\xff' | dd of="$work/run/data/mordel.it" bs=1 seek=$((192 + 2)) conv=notrunc status=none
  start env -C "$work/run" SDL_AUDIODRIVER=dummy "$program"
  answer Escape
  began=$SECONDS
  finish 60
  [ "$status" -eq 0 ] || fail "exit code $status"
  [ $((SECONDS - began)) -ge 9 ] || fail "ended after $((SECONDS - began)) s, before the music's end"
  [ ! -s "$work/err" ] || fail "unexpected messages on stderr"
  ;;
no-display)
  env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=dummy "$program" >"$work/out" 2>"$work/err" &
  pid=$!
  finish 30
  [ "$status" -ne 0 ] || fail "exit code 0 without a display"
  grep -q "no display" "$work/err" || fail "no message on stderr"
  ;;
*)
  fail "unknown scenario $scenario"
  ;;
esac
echo "PASS: $scenario"
