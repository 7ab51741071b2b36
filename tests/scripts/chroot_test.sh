#!/usr/bin/env bash
# Tests of scripts/lib/chroot.sh: which apt source serves a suite, which mounts lie
# below a directory, and that tearing a chroot down never reaches through a bind mount.
# Real mounts are made only inside a private mount namespace, so none can outlive it.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/lib/chroot.sh"

failures=0
expect() { # expect WHAT ACTUAL EXPECTED
  if [ "$2" != "$3" ]; then
    printf 'FAIL: %s\n  got:      %q\n  expected: %q\n' "$1" "$2" "$3"
    failures=$((failures + 1))
  fi
}

# Tears a chroot-like tree down through every path the check's clean-up takes. Runs as
# (mapped) root in a mount namespace of its own.
real_mounts() {
  local tmp host work other busy
  tmp=$(mktemp -d "${TMPDIR:-/tmp}/vorimel-chroot_test-mounts-XXXXXX") && tmp=$(realpath "$tmp")
  host=$tmp/host
  work=$tmp/work
  other=$tmp/work-other
  mkdir -p "$host/pts" "$work/root" "$other"
  echo keep >"$host/sentinel"
  # a shared mount, as / is on most systems: what is mounted below one of its bind
  # mounts would show up at the source as well, unless the bind is made private
  mount --bind "$tmp" "$tmp"
  mount --make-shared "$tmp"

  # /dev with /dev/pts inside, a mount stacked twice, a busy one, and one beside the
  # tree whose path starts with the tree's
  bind_private "$host" "$work/root/dev"
  bind_private "$host/pts" "$work/root/dev/pts"
  bind_private "$host" "$work/root/tmp/.X11-unix"
  bind_private "$host" "$work/root/tmp/.X11-unix"
  bind_private "$host" "$work/root/run"
  (cd "$work/root/run" && exec sleep 60) &
  busy=$!
  bind_private "$host" "$other"
  expect "mounts below a bind stay out of its source" "$(mounts_under "$host")" ""

  remove_unmounted_tree "$work" 2>/dev/null
  expect "removal refused while mounted" "$?" 1
  expect "host files untouched by a refused removal" "$(cat "$host/sentinel")" keep

  ln -s "$tmp/elsewhere" "$work/root/link"
  mkdir "$tmp/elsewhere"
  bind_private "$host" "$work/root/link" 2>/dev/null
  expect "no mount on a symbolic link" "$?" 1
  expect "nothing mounted where the link points" "$(mounts_under "$tmp/elsewhere")" ""

  unmount_all_under "$work"
  expect "every mount below the tree gone, busy and stacked ones too" "$?" 0
  expect "nothing left below the tree" "$(mounts_under "$work")" ""
  expect "the mount beside the tree kept" "$(mounts_under "$other")" "$other"

  remove_unmounted_tree "$work"
  expect "removal once unmounted" "$?" 0
  expect "tree removed" "$([ -e "$work" ] && echo exists)" ""
  expect "host files untouched by the removal" "$(cat "$host/sentinel")" keep
  expect "host folders untouched by the removal" "$([ -d "$host/pts" ] && echo yes)" yes

  kill "$busy" 2>/dev/null
  wait "$busy" 2>/dev/null
  umount "$other"
  umount "$tmp"
  if [ "$failures" -eq 0 ]; then
    rm -rf --one-file-system "$tmp"
  else
    echo "the mounts' folders are kept in $tmp"
  fi
  return "$failures"
}

if [ "${1:-}" = --real-mounts ]; then
  real_mounts
  exit
fi

# shellcheck source-path=SCRIPTDIR source=../e2e/work-folder.sh
source "$here/../e2e/work-folder.sh"
work_folder chroot_test
tmp=$work

# apt sources: one-line format, with options, source lines and comments around
mkdir -p "$tmp/one/sources.list.d"
cat >"$tmp/one/sources.list" <<'EOF'
# deb http://commented.example/debian bookworm main
deb-src http://sources.example/debian bookworm main
deb http://backports.example/debian bookworm-backports main
deb [arch=amd64 signed-by=/usr/share/keyrings/k.gpg] http://mirror.example/debian/ bookworm main contrib
deb http://security.example/debian-security bookworm-security main # trailing note
EOF
expect "one-line: suite with options" \
  "$(apt_uri_for_suite bookworm "$tmp/one/sources.list" "$tmp/one/sources.list.d")" http://mirror.example/debian
expect "one-line: security suite" \
  "$(apt_uri_for_suite bookworm-security "$tmp/one/sources.list" "$tmp/one/sources.list.d")" \
  http://security.example/debian-security

# deb822: source-only and disabled stanzas skipped, a field continued on the next line
mkdir -p "$tmp/822/sources.list.d"
cat >"$tmp/822/sources.list.d/debian.sources" <<'EOF'
Types: deb-src
URIs: http://sources.example/debian
Suites: bookworm

Types: deb
URIs: http://disabled.example/debian
Suites: bookworm
Enabled: No

types: deb
uris: http://security.example/debian-security
suites: bookworm-security
Components: main

Types: deb deb-src
# a comment inside a stanza
URIs:
 http://mirror.example/debian
Suites: bookworm
  bookworm-updates
Components: main
EOF
expect "deb822: main suite" \
  "$(apt_uri_for_suite bookworm "$tmp/822/none.list" "$tmp/822/sources.list.d")" http://mirror.example/debian
expect "deb822: suite on a continued line" \
  "$(apt_uri_for_suite bookworm-updates "$tmp/822/none.list" "$tmp/822/sources.list.d")" http://mirror.example/debian
expect "deb822: lower-case field names" \
  "$(apt_uri_for_suite bookworm-security "$tmp/822/none.list" "$tmp/822/sources.list.d")" \
  http://security.example/debian-security

# sources.list is read before sources.list.d; a suite served nowhere is reported
cp "$tmp/one/sources.list" "$tmp/822/sources.list"
expect "sources.list first" \
  "$(apt_uri_for_suite bookworm "$tmp/822/sources.list" "$tmp/822/sources.list.d")" http://mirror.example/debian
apt_uri_for_suite trixie "$tmp/822/sources.list" "$tmp/822/sources.list.d" >/dev/null
expect "unknown suite" "$?" 1
echo "deb http://backports.example/debian bookworm-backports main" >"$tmp/backports.list"
apt_uri_for_suite bookworm "$tmp/backports.list" "$tmp/none" >/dev/null
expect "a longer suite name is not the suite" "$?" 1

# mount points below a directory, from a mount table: deepest first, escapes decoded,
# a neighbour whose name starts with the directory's left out
cat >"$tmp/mountinfo" <<'EOF'
22 27 0:21 / /proc rw,relatime - proc proc rw
40 27 0:40 / /var/tmp/fresh rw - tmpfs tmpfs rw
41 40 0:6 / /var/tmp/fresh/root/dev rw - devtmpfs devtmpfs rw
42 41 0:24 / /var/tmp/fresh/root/dev/pts rw - devpts devpts rw
43 27 0:21 / /var/tmp/fresh-other/proc rw - proc proc rw
44 40 254:0 /tmp/.X11-unix /var/tmp/fresh/root/tmp/.X11-unix rw - ext4 /dev/vda rw
45 40 0:21 / /var/tmp/fresh\040copy/root/proc rw - proc proc rw
46 40 0:21 / /var/tmp/fresh/root/proc rw - proc proc rw
EOF
expect "mounts below, children before parents" "$(mounts_under /var/tmp/fresh "$tmp/mountinfo")" \
  "$(printf '%s\n' /var/tmp/fresh/root/tmp/.X11-unix /var/tmp/fresh/root/proc \
    /var/tmp/fresh/root/dev/pts /var/tmp/fresh/root/dev /var/tmp/fresh)"
expect "a mount point with a space" "$(mounts_under "/var/tmp/fresh copy" "$tmp/mountinfo")" \
  "/var/tmp/fresh copy/root/proc"

# removal: refused while the table shows a mount below, or for a path too short to be
# a chroot's. The short paths name nothing that exists, so that a broken guard cannot
# cost anything but this test.
mkdir -p "$tmp/tree/root/dev"
touch "$tmp/tree/root/dev/null"
echo "50 27 0:6 / $tmp/tree/root/dev rw - devtmpfs devtmpfs rw" >"$tmp/mounted"
remove_unmounted_tree "$tmp/tree" "$tmp/mounted" 2>/dev/null
expect "removal refused with a mount below" "$?" 1
expect "tree kept" "$([ -e "$tmp/tree/root/dev/null" ] && echo kept)" kept
for path in "/vorimel-no-such-folder-$$" "vorimel-no-such-folder-$$/below" ""; do
  remove_unmounted_tree "$path" /dev/null 2>/dev/null
  expect "removal of '$path' refused" "$?" 1
done

# real mounts, in a private mount namespace: as root, or as a user through a user
# namespace (not available inside a chroot, where only the checks above run)
if [ "$(id -u)" -eq 0 ]; then
  isolate=(unshare --mount --propagation private)
else
  isolate=(unshare --user --map-root-user --mount --propagation private)
fi
if "${isolate[@]}" true 2>/dev/null; then
  "${isolate[@]}" bash "$0" --real-mounts || failures=$((failures + 1))
else
  echo "real mounts not checked: no private mount namespace for $(id -un) here"
fi

[ "$failures" -eq 0 ] && echo "PASS" || echo "$failures failed"
[ "$failures" -eq 0 ]
