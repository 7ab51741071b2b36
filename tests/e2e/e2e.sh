#!/usr/bin/env bash
# End-to-end runs of a demo program under Xvfb with SDL's dummy audio driver.
# Usage: e2e.sh PROGRAM SCENARIO (run from the build folder, where data/ is).
set -uo pipefail

program=$1
scenario=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*"; echo "--- stdout"; cat "$work/out" 2>/dev/null; echo "--- stderr"; cat "$work/err" 2>/dev/null; exit 1; }

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

answer() { # answer KEY: finds the question and presses KEY in it
  local box
  box=$(wait_window "zent.vorimel" 20) || fail "no \"fullscreen?\" question appeared"
  xdotool windowfocus --sync "$box" key "$1"
}

# The pictures, in load order, each line ended by "-> ok".
expect_progress_lines() {
  local expected="" name
  for name in vorimel diagonales; do
    expected+="Loading texture ./data/$name.tga-> ok"$'\n'
  done
  [ "$(cat "$work/out")"$'\n' = "$expected" ] || fail "progress lines differ from: $expected"
}

case $scenario in
windowed-run)
  # No to the question, then the demo runs to its end by itself.
  SDL_AUDIODRIVER=dummy start "$program"
  answer Escape
  finish "${E2E_RUN_SECONDS:-240}"
  [ "$status" -eq 0 ] || fail "exit code $status"
  expect_progress_lines
  ;;
no-audio)
  # A missing audio driver: the error is shown and reported, the exit code is not 0.
  SDL_AUDIODRIVER=vorimel-none start "$program"
  answer Escape
  error=$(wait_window "ERROR" 30) || fail "no ERROR box"
  xdotool windowfocus --sync "$error" key Return
  finish 20
  [ "$status" -ne 0 ] || fail "exit code 0 without an audio device"
  grep -q "Can't Initialise The Audio Device" "$work/err" || fail "no audio error on stderr"
  grep -q "SDL_AUDIODRIVER=dummy" "$work/err" || fail "no hint on stderr"
  ;;
no-display)
  env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=dummy "$program" >"$work/out" 2>"$work/err" &
  pid=$!
  finish 20
  [ "$status" -ne 0 ] || fail "exit code 0 without a display"
  grep -q "no display" "$work/err" || fail "no message on stderr"
  ;;
*)
  fail "unknown scenario $scenario"
  ;;
esac
echo "PASS: $scenario"
