#!/usr/bin/env bash
# Tests of scripts/lib/process.sh and the sound servers' session (tools/sync/session.sh):
# a process is stopped by the PID it was started with, and never signalled once that
# PID may name another process. Only processes this test starts are signalled.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tools/sync/session.sh"

# shellcheck source=expect.sh
source "$here/expect.sh"
alive() { kill -0 "$1" 2>/dev/null && echo alive || echo gone; }

tmp=$(mktemp -d)
trap 'rm -rf --one-file-system -- "$tmp"' EXIT

# waits: the exit status, or 124 at the time limit with the process left running
(sleep 0.2; exit 3) &
pid=$!
proc_note "$pid"
proc_wait "$pid" 5
expect "exit status through proc_wait" "$?" 3
expect "an ended process is not running" "$(proc_running "$pid" && echo running)" ""
sleep 30 &
pid=$!
proc_note "$pid"
proc_wait "$pid" 0
expect "time limit" "$?.$(alive "$pid")" 124.alive

# stopping: TERM, then KILL for one that ignores TERM; a command name with spaces and
# parentheses read right
proc_stop "$pid"
expect "stopped with TERM" "$?.$(alive "$pid")" 0.gone
cp "$(command -v sleep)" "$tmp/odd) name ("
(trap '' TERM; exec "$tmp/odd) name (" 30) &
pid=$!
proc_note "$pid"
expect "running under an odd name" "$(proc_running "$pid" && echo running)" running
proc_stop "$pid" 1
expect "stopped with KILL" "$?.$(alive "$pid")" 0.gone

# a PID noted with another start time (what it looks like once the kernel has handed
# the number to a new process), or never noted, is not signalled
sleep 30 &
pid=$!
proc_note "$pid"
start=${proc_noted[$pid]}
# shellcheck disable=SC2004 # a key, not a number
proc_noted[$pid]=$((start - 1))
proc_signal KILL "$pid"
proc_stop "$pid" 0
expect "a reused PID left alone" "$(proc_running "$pid" && echo running).$(alive "$pid")" .alive
sleep 30 &
other=$!
proc_signal KILL "$other"
expect "an unnoted PID left alone" "$(alive "$other")" alive
# shellcheck disable=SC2218 # the builtin: the stand-in below is not defined yet
command kill "$pid" "$other"
wait "$pid" "$other" 2>/dev/null

# the session: a process once stopped gets no signal from the clean-up at exit
kill() { echo "$*" >>"$tmp/signals"; builtin kill "$@"; }
session_spawn sleep 30
# shellcheck disable=SC2154 # set by session_spawn
first=$started
session_spawn sleep 30
second=$started
session_stop "$first"
: >"$tmp/signals"
session_cleanup
unset -f kill
expect "no signal at clean-up to a process stopped before" "$(grep -c -w "$first" "$tmp/signals")" 0
expect "the other one stopped at clean-up" "$(grep -q -w "$second" "$tmp/signals" && echo signalled).$(alive "$second")" signalled.gone

expect_summary
