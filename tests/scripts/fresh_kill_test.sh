#!/usr/bin/env bash
# Kills scripts/check-fresh-machine with SIGKILL at three points (with the demo running
# in the chroot, during debootstrap, during the chroot's tests) and checks each time
# that nothing of it is mounted in the host's mount table and no process of it still
# runs; then a run that passes, the browser step included, must remove the tree the
# last killed run left (each run removes the one before's). TERM, and Ctrl-C twice,
# must end it as cleanly, its own folder removed. The check runs from a throw-away git repository holding a copy of
# it and stand-ins for the programs it runs in the chroot (they keep running; for the
# last run they end at once, and serve-web serves a small page), with a package cache
# for debootstrap. Needs root and the Debian mirror; takes some minutes.
# Usage: tests/scripts/fresh_kill_test.sh [FOLDER]   (where its files go; /var/tmp)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scripts=$here/../../scripts
source "$scripts/lib/chroot.sh"
source "$scripts/lib/process.sh"
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "fresh_kill_test: needs root" >&2; exit 2; }
  exec sudo -- "$0" "$@"
fi

# shellcheck source=expect.sh
source "$here/expect.sh"

base=$(mktemp -d "$(fresh_parent_path "${1:-/var/tmp}")/vorimel-kill-test.XXXXXX") || exit 2
repo=$base/repo
parent=$base/parent
cache=$base/cache
mkdir -p "$repo/scripts/lib" "$parent" "$cache"
check=""
finish() {
  local left
  [ -z "$check" ] || proc_stop "$check"
  # the check's own clean-up may still be under way: give it time, then look
  sleep 2
  if left=$(mounts_under "$base") && [ -z "$left" ]; then
    rm -rf --one-file-system -- "$base"
  else
    echo "fresh_kill_test: something is mounted below $base; left in place" >&2
  fi
}
trap finish EXIT
trap 'exit 130' INT TERM

# the throw-away repository: the check as it is here, and stand-ins
cp "$scripts/check-fresh-machine" "$repo/scripts/"
cp "$scripts"/lib/*.sh "$repo/scripts/lib/"
stand_in() { # stand_in NAME WHAT: a script that says it runs and then does WHAT
  printf '#!/bin/sh\necho "stand-in %s running"\n%s\n' "$1" "$2" >"$repo/scripts/$1"
  chmod 755 "$repo/scripts/$1"
}
commit() {
  git -C "$repo" add -A &&
    git -C "$repo" -c user.name=test -c user.email=test@localhost commit -q -m "$1"
}
git init -q "$repo"
stand_in run-demo "exec sleep 3600"
stand_in run-tests "exec sleep 3600"
commit "stand-ins that keep running" || exit 2

# in_namespace NS: the processes in PID namespace NS, as "pid:start" words
in_namespace() {
  local entry
  for entry in /proc/[0-9]*; do
    [ "$(readlink "$entry/ns/pid" 2>/dev/null)" = "$1" ] || continue
    proc_identity "${entry#/proc/}" && printf '%s:%s ' "${entry#/proc/}" "$proc_start"
  done
}

# still_running "PID:START ...": those of the processes that still run
still_running() {
  local word
  for word in $1; do
    proc_identity "${word%:*}" && [ "$proc_start" = "${word#*:}" ] && [ "$proc_state" != Z ] &&
      printf '%s ' "$word"
  done
  return 0
}

# stop_at WHAT SECONDS PATTERN PROCESS SIGNAL...: starts the check, waits up to SECONDS
# for PATTERN in its output or its debootstrap log, sends it the SIGNALs a second
# apart, and checks what it left behind. PROCESS: a command name that must be running
# in the check's namespace then (debootstrap: it is stopped mid-way, not after). KILL
# leaves the working folder to the next run, which removes it; after INT or TERM the
# check removes it itself. The folder the run before left is in $previous.
previous=""
run=0
stop_at() {
  local what=$1 seconds=$2 pattern=$3 process=$4 log work="" shim namespace ns members
  local deadline seen=no left signal status
  shift 4
  run=$((run + 1))
  log=$base/run$run.log
  # as from a terminal: INT is not ignored
  env --default-signal=INT \
    "$repo/scripts/check-fresh-machine" --parent "$parent" --debootstrap-cache "$cache" >"$log" 2>&1 &
  check=$!
  proc_note "$check"
  deadline=$((SECONDS + seconds))
  while [ "$SECONDS" -lt "$deadline" ] && proc_running "$check"; do
    [ -n "$work" ] || work=$(sed -n 's/^working folder //p' "$log")
    if [ -n "$work" ] && cat "$log" "$work/debootstrap.log" 2>/dev/null | grep -q -- "$pattern"; then
      seen=yes
      break
    fi
    sleep 0.5
  done
  expect "$what: reached" "$seen" yes
  { shim=$(<"/proc/$check/task/$check/children"); } 2>/dev/null
  { namespace=$(<"/proc/${shim% }/task/${shim% }/children"); } 2>/dev/null
  ns=$(readlink "/proc/${namespace% }/ns/pid")
  members=$(in_namespace "$ns")
  expect "$what: $process running" "$(for word in $members; do
    [ "$(cat "/proc/${word%:*}/comm" 2>/dev/null)" = "$process" ] && echo yes
  done | head -n 1)" yes
  left=$(mounts_under "$parent")
  expect "$what: nothing of the running check in the host's mount table" "$?:$left" 0:
  proc_identity "${shim% }" && members="$members ${shim% }:$proc_start"

  # stderr to /dev/null: without the line bash prints for a job killed by a signal
  {
    for signal in "$@"; do
      kill "-$signal" "$check"
      sleep 1
    done
    proc_wait "$check" 60
  } 2>/dev/null
  status=$?
  check=""
  # the kernel ends the namespace's processes one by one: give it a few seconds
  for _ in $(seq 50); do
    [ -z "$(still_running "$members")$(in_namespace "$ns")" ] && break
    sleep 0.2
  done
  expect "$what: no process of the check left" "$(still_running "$members")$(in_namespace "$ns")" ""
  left=$(mounts_under "$parent")
  expect "$what: nothing mounted below $parent" "$?:$left" 0:
  expect_previous_removed "$what" "$log"
  if [ "$1" = KILL ]; then
    expect "$what: its working folder left for the next run" \
      "$(find "$parent" -mindepth 1 -maxdepth 1)" "$work"
    previous=$work
  else
    expect "$what: exit status" "$status" $((128 + $(kill -l "$1")))
    expect "$what: its working folder removed" "$(find "$parent" -mindepth 1 -maxdepth 1)" ""
    previous=""
  fi
  echo "$* $what: $(echo "$members" | wc -w) processes in its namespace"
}

# expect_previous_removed WHAT LOG: the run removed the folder the killed one before left.
expect_previous_removed() {
  [ -n "$previous" ] || return 0
  expect "$1: the last run's folder removed" \
    "$(grep -c -F "leftover check: removing $previous, left by a check that was killed" "$2")" 1
}

started=$SECONDS
# the first run fills the package cache
stop_at "with the demo running" 1800 "stand-in run-demo running" sleep KILL
# TERM, and Ctrl-C twice, the second during the clean-up
stop_at "during debootstrap" 300 "^I: Validating" debootstrap TERM
stop_at "during debootstrap" 300 "^I: Validating" debootstrap INT INT
stop_at "during debootstrap" 900 "^I: Extracting" debootstrap KILL
stand_in run-demo "exit 0"
commit "a demo stand-in that ends" || exit 2
stop_at "during the chroot's tests" 900 "stand-in run-tests running" sleep KILL

stand_in run-tests "exit 0"
stand_in run-web-tests "exit 0"
# serve-web: four small files on 127.0.0.1:$PORT, served by perl (all a minimal Debian has)
cat >"$repo/scripts/serve-web" <<'EOF'
#!/bin/sh
cd "$(dirname "$0")/.." && mkdir -p build/web/page || exit 1
for name in index.html vorimel-web.js vorimel-web.wasm vorimel-web.data mordel.flac; do
  echo "stand-in $name" >"build/web/page/$name"
done
exec perl -MIO::Socket::INET -e '
my $server = IO::Socket::INET->new(LocalAddr => "127.0.0.1", LocalPort => $ENV{PORT},
  Listen => 5, ReuseAddr => 1) or die "serve-web: port $ENV{PORT}: $!";
while (my $client = $server->accept) {
  my ($name) = (<$client> // "") =~ m{^GET /([\w.-]*) };
  while (my $line = <$client>) { last if $line =~ /^\r?$/ }
  $name = "index.html" if defined $name && $name eq "";
  if (defined $name && open my $file, "<", "build/web/page/$name") {
    my $body = do { local $/; <$file> };
    print $client "HTTP/1.0 200 OK\r\nContent-Length: " . length($body) . "\r\n\r\n" . $body;
  } else {
    print $client "HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n";
  }
  close $client;
}'
EOF
chmod 755 "$repo/scripts/serve-web"
commit "stand-ins that pass" || exit 2
log=$base/pass.log
"$repo/scripts/check-fresh-machine" --parent "$parent" --debootstrap-cache "$cache" --web >"$log" 2>&1 &
check=$!
proc_note "$check"
proc_wait "$check" 1800
status=$?
check=""
expect "the run after them: exit status" "$status" 0
expect "the run after them: PASS" "$(grep -c '^PASS' "$log")" 1
expect_previous_removed "the run after them" "$log"
expect "the run after them: the page served" "$(grep -c 'the page was served: yes' "$log")" 1
expect "no working folder left" "$(find "$parent" -maxdepth 1 -name 'vorimel-fresh.*' | wc -l)" 0
left=$(mounts_under "$parent")
expect "nothing mounted below $parent" "$?:$left" 0:
if [ "$failures" -ne 0 ]; then
  for log in "$base"/*.log; do
    echo "--- $log"
    tail -n 25 "$log"
  done
fi
echo "took $((SECONDS - started)) s"
expect_summary
