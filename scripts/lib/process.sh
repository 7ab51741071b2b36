# shellcheck shell=bash
# Stopping what a script started, and nothing else. A process is named by the PID it
# got when started, noted with its start time (proc_note): once it has ended and been
# reaped, the kernel may hand that PID to another process, which these helpers then
# never signal. Every wait has a time limit.

declare -gA proc_noted=()
proc_start=""
proc_state=""

# proc_identity PID: sets proc_start (the start time, clock ticks since boot) and
# proc_state (R, S, Z, ...) of PID; fails when there is no such process. Runs no
# command: it is called in polling loops.
proc_identity() {
  local stat fields
  read -r stat 2>/dev/null <"/proc/$1/stat" || return 1
  # the command name in parentheses may hold spaces and ")": fields are counted after
  # its last ")", from the state (field 3) on
  read -r -a fields <<<"${stat##*) }"
  proc_state=${fields[0]}
  proc_start=${fields[19]}
}

# proc_note PID: remembers which process PID is now; call it right after starting it.
proc_note() {
  if proc_identity "$1"; then
    proc_noted[$1]=$proc_start
  else
    proc_noted[$1]=gone
  fi
}

# proc_running PID: true while the process noted as PID lives (a zombie does not).
proc_running() {
  [[ -n ${proc_noted[$1]:-} && ${proc_noted[$1]} != gone ]] || return 1
  proc_identity "$1" || return 1
  [ "$proc_start" = "${proc_noted[$1]}" ] && [ "$proc_state" != Z ] && [ "$proc_state" != X ]
}

# proc_signal SIGNAL PID: signals the noted process, if it still runs.
proc_signal() {
  proc_running "$2" && kill "-$1" "$2" 2>/dev/null
  return 0
}

# proc_wait PID SECONDS: waits up to SECONDS for the noted process to end and returns
# its exit status when it is this shell's child (0 otherwise); 124 if it still runs.
proc_wait() {
  local pid=$1 tenths=$(($2 * 10)) polls=0 status=0
  while proc_running "$pid"; do
    [ "$tenths" -gt 0 ] || return 124
    # every tenth of a second for two seconds, then every second
    if [ "$polls" -lt 20 ] || [ "$tenths" -lt 10 ]; then
      polls=$((polls + 1))
      tenths=$((tenths - 1))
      sleep 0.1
    else
      tenths=$((tenths - 10))
      sleep 1
    fi
  done
  # collected only while the PID is still that process's (ended or a zombie): once
  # it names another process, wait would wait for that one
  if ! proc_identity "$pid" || [ "$proc_start" = "${proc_noted[$pid]:-}" ]; then
    wait "$pid" 2>/dev/null || status=$?
    # 127: not this shell's child (a grandchild noted from its pid file)
    [ "$status" -eq 127 ] && status=0
  fi
  proc_noted[$pid]=gone
  return "$status"
}

# proc_stop PID [SECONDS]: asks the noted process to end, kills it after SECONDS (5)
# and waits for it. Returns 1 if even SIGKILL did not end it within 5 s.
proc_stop() {
  local pid=$1 seconds=${2:-5} status
  proc_signal TERM "$pid"
  proc_wait "$pid" "$seconds" >/dev/null && return 0
  status=$?
  [ "$status" -eq 124 ] || return 0
  proc_signal KILL "$pid"
  proc_wait "$pid" 5 >/dev/null
  [ $? -ne 124 ]
}
