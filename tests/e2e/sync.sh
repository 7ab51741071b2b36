#!/usr/bin/env bash
# The music position the demo reports against what a real PulseAudio server plays: a
# server of our own with a 44100 Hz null sink, the demo on it for 15 s, its sound
# recorded from the sink's monitor and lined up with the module. Passes when the median
# of |reported - heard| (positions of the first second of music left out) is within
# 10 ms and its 95th percentile within 20 ms (the recording's own clock strays by a few
# ms); a copy of the log shifted by 20 ms either way must fail the same check, or the
# check proves nothing. Positions for instants inside
# an underrun's silence are left out: nothing is heard then to compare with. The server
# is stopped by its pid on every way out (and ends by itself after 5 minutes should the
# test be killed outright); the test fails if it is still there afterwards.
# Usage: sync.sh BUILD_DIR SESSION_SCRIPT (under an X server, e.g. xvfb-run)
set -uo pipefail

build=$1
work=$(mktemp -d)
# shellcheck source-path=SCRIPTDIR source=../../tools/sync/session.sh
source "$2"
session_init "$work" "$build" 300
trap 'session_cleanup; rm -rf "$work"' EXIT
trap 'exit 1' INT TERM

limit_ms=10
fail() {
  echo "FAIL: $*"
  for log in "$work"/pulseaudio/log "$work"/run.*.log "$work"/*.analysis; do
    [ -f "$log" ] && { echo "--- $log"; tail -n 20 "$log"; }
  done
  exit 1
}

# analyse POSITIONS OUTPUT: the check's exit status
analyse() {
  (cd "$build" && tools/sync/sync_analysis --module data/mordel.it --recording "$work/run" \
    --positions "$1" --check-ms "$limit_ms") >"$2" 2>&1
}

session_start_pulseaudio || fail "PulseAudio did not start"
server=$session_server
session_run_demo pulseaudio "$work/run" 15 || fail "the demo did not run on PulseAudio"
session_stop "$server"
session_running "$server" && fail "the sound server is still running"

analyse "$work/run.positions" "$work/real.analysis"
status=$?
cat "$work/real.analysis"
[ "$status" -eq 0 ] || fail "the reported position is off what is heard (exit $status)"

for shift_ms in 20 -20; do
  awk -v ns=$((shift_ms * 1000000)) '{ printf "%s %.0f %s %s %s\n", $1, $2 + ns, $3, $4, $5 }' \
    "$work/run.positions" >"$work/shifted.positions"
  analyse "$work/shifted.positions" "$work/shifted$shift_ms.analysis"
  status=$?
  [ "$status" -eq 3 ] || fail "a log shifted by $shift_ms ms passed the check (exit $status)"
  echo "shifted by $shift_ms ms: $(grep '^check:' "$work/shifted$shift_ms.analysis")"
done
echo "PASS: sync-pulseaudio"
