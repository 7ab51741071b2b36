#!/usr/bin/env bash
# Tests of scripts/lib/chroot.sh: which apt source serves a suite, which mounts lie
# below a directory, and that tearing a chroot down never reaches through a bind mount,
# whatever the spelling of the path and whatever the state of the mount table. Real
# mounts are made only inside a private mount namespace, on paths this test made, so
# none can outlive it; paths such as /var are tried only in a sandbox whose / is a
# tmpfs of the test's own.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scripts=${CHROOT_TEST_SCRIPTS:-$here/../../scripts}
source "$scripts/lib/chroot.sh"

# shellcheck source=expect.sh
source "$here/expect.sh"
exists() { [ -e "$1" ] && echo yes || echo no; }

# Inside the sandbox: / is a tmpfs, /usr the host's (read-only). Every path here was
# made by this test, so a guard that lets a wrong path through costs nothing.
sandbox() {
  local table=/t/root-only.mountinfo path
  echo "1 0 0:40 / / rw - tmpfs tmpfs rw" >"$table"
  mkdir -p /var/tmp /var/vorimel-fresh.abc123/root /vorimel-fresh.abc123/root
  echo keep >/var/sentinel
  for path in /var/ //var /./var /var// /var/tmp/.. / // /. /vorimel-fresh.abc123 \
    //vorimel-fresh.abc123/ /var/../vorimel-fresh.abc123; do
    remove_fresh_tree "$path" "$table" 2>/dev/null
    expect "removal of '$path' refused" "$?" 1
  done
  expect "/var kept" "$(cat /var/sentinel)" keep
  expect "a working folder directly in / kept" "$(exists /vorimel-fresh.abc123/root)" yes

  for path in / // /./ /var/.. ""; do
    fresh_parent_path "$path" >/dev/null 2>&1
    expect "parent folder '$path' refused" "$?" 1
  done
  expect "parent folder spelled /var//./" "$(fresh_parent_path /var//./)" /var
  for path in / // /./ /tmp/x; do
    bash /t/scripts/check-fresh-machine --parent "$path" >/dev/null 2>&1
    expect "check-fresh-machine --parent '$path' refused" "$?" 2
  done
  expect "nothing made by the refused checks" "$(ls -d /vorimel-fresh.* /tmp/x 2>/dev/null)" \
    /vorimel-fresh.abc123

  touch /vorimel-fresh.abc123/lock
  sweep_fresh_leftovers / "$table" >/dev/null
  expect "a leftover directly in / kept by the sweep" "$(exists /vorimel-fresh.abc123/root)" yes

  remove_fresh_tree "//var/./vorimel-fresh.abc123//" "$table"
  expect "a working folder, oddly spelled, removed" "$?.$(exists /var/vorimel-fresh.abc123)" 0.no
  expect "its parent kept" "$(cat /var/sentinel)" keep
  return "$failures"
}

# Tears a chroot-like tree down through every path the check's clean-up takes, then
# runs the sandbox. Runs as (mapped) root in a mount namespace of its own.
real_mounts() {
  local tmp host work other busy old odd box out
  tmp=$(mktemp -d "${TMPDIR:-/tmp}/vorimel-chroot_test-mounts-XXXXXX") && tmp=$(realpath "$tmp")
  host=$tmp/host
  work=$(mktemp -d "$tmp/vorimel-fresh.XXXXXX")
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

  remove_fresh_tree "$work" 2>/dev/null
  expect "removal refused while mounted" "$?" 1
  remove_fresh_tree "$work/" 2>/dev/null
  expect "removal refused while mounted, with a trailing slash" "$?" 1
  expect "host files untouched by a refused removal" "$(cat "$host/sentinel")" keep

  ln -s "$tmp/elsewhere" "$work/root/link"
  mkdir "$tmp/elsewhere"
  bind_private "$host" "$work/root/link" 2>/dev/null
  expect "no mount on a symbolic link" "$?" 1
  expect "nothing mounted where the link points" "$(mounts_under "$tmp/elsewhere")" ""

  # a mount point whose name holds a line break cannot be listed: everything is refused
  odd="$work/root/a"$'\n'"b"
  bind_private "$host" "$odd"
  unmount_all_under "$work" 2>/dev/null
  expect "teardown refused with a line break in a mount point" "$?" 1
  remove_fresh_tree "$work" 2>/dev/null
  expect "removal refused with a line break in a mount point" "$?" 1
  expect "host files untouched" "$(cat "$host/sentinel")" keep
  umount "$odd"

  # a folder an older check left with its binds in place: the sweep stops and says how
  old=$(mktemp -d "$tmp/vorimel-fresh.XXXXXX")
  bind_private "$host" "$old/root/dev"
  bind_private "$host/pts" "$old/root/dev/pts"
  out=$(sweep_fresh_leftovers "$tmp")
  expect "a leftover with mounts stops the sweep" "$?" 1
  expect "how to unmount it by hand" "$(grep -c "umount --recursive '$old/root/dev'" <<<"$out")" 1
  expect "a leftover with mounts kept" "$(exists "$old/root/dev/pts/../sentinel")" yes
  umount "$old/root/dev/pts" "$old/root/dev"

  unmount_all_under "$work"
  expect "every mount below the tree gone, busy and stacked ones too" "$?" 0
  expect "nothing left below the tree" "$(mounts_under "$work")" ""
  expect "the mount beside the tree kept" "$(mounts_under "$other")" "$other"

  remove_fresh_tree "$work"
  expect "removal once unmounted" "$?" 0
  expect "tree removed" "$(exists "$work")" no
  expect "host files untouched by the removal" "$(cat "$host/sentinel")" keep
  expect "host folders untouched by the removal" "$(exists "$host/pts")" yes

  kill "$busy" 2>/dev/null
  wait "$busy" 2>/dev/null
  umount "$other"

  # the sandbox: a tmpfs as /, the system's programs read-only, this test and the
  # scripts it needs copied in
  box=$tmp/box
  mkdir "$box"
  mount -t tmpfs tmpfs "$box"
  mkdir -p "$box/usr" "$box/dev" "$box/t/scripts/lib"
  mount --bind /usr "$box/usr"
  mount -o remount,bind,ro "$box/usr"
  for link in bin lib lib64 sbin; do [ -L "/$link" ] && ln -s "usr/$link" "$box/$link"; done
  touch "$box/dev/null"
  mount --bind /dev/null "$box/dev/null"
  cp "$0" "$box/t/chroot_test.sh"
  cp "$here/expect.sh" "$box/t/"
  cp "$scripts/check-fresh-machine" "$box/t/scripts/"
  cp "$scripts"/lib/*.sh "$box/t/scripts/lib/"
  CHROOT_TEST_SCRIPTS=/t/scripts chroot "$box" /bin/bash /t/chroot_test.sh --sandbox ||
    failures=$((failures + 1))
  umount "$box/dev/null" "$box/usr" "$box"

  umount "$tmp"
  if [ "$failures" -eq 0 ]; then
    remove_unmounted "$tmp"
  else
    echo "the mounts' folders are kept in $tmp"
  fi
  return "$failures"
}

# The test's own folders, once nothing is mounted below them.
remove_unmounted() {
  local left
  left=$(mounts_under "$1") && [ -z "$left" ] && rm -rf --one-file-system -- "$1"
}

case ${1:-} in
--real-mounts) real_mounts; exit ;;
--sandbox) sandbox; exit ;;
esac

# nothing is ever mounted below this one
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
# a neighbour whose name starts with the directory's left out, whatever the spelling
cat >"$tmp/mountinfo" <<'EOF'
21 1 254:0 / / rw,relatime - ext4 /dev/vda rw
22 21 0:21 / /proc rw,relatime - proc proc rw
40 21 0:40 / /var/tmp/fresh rw - tmpfs tmpfs rw
41 40 0:6 / /var/tmp/fresh/root/dev rw - devtmpfs devtmpfs rw
42 41 0:24 / /var/tmp/fresh/root/dev/pts rw - devpts devpts rw
43 21 0:21 / /var/tmp/fresh-other/proc rw - proc proc rw
44 40 254:0 /tmp/.X11-unix /var/tmp/fresh/root/tmp/.X11-unix rw - ext4 /dev/vda rw
45 40 0:21 / /var/tmp/fresh\040copy/root/proc rw - proc proc rw
46 40 0:21 / /var/tmp/fresh/root/proc rw - proc proc rw
47 21 0:21 / /elsewhere\012/var/tmp/fresh/x rw - proc proc rw
EOF
below=$(printf '%s\n' /var/tmp/fresh/root/tmp/.X11-unix /var/tmp/fresh/root/proc \
  /var/tmp/fresh/root/dev/pts /var/tmp/fresh/root/dev /var/tmp/fresh)
for spelling in /var/tmp/fresh /var/tmp/fresh/ /var/tmp/fresh// //var/tmp/fresh /var//tmp/fresh \
  /./var/tmp/fresh /var/tmp/./fresh /var/tmp/x/../fresh; do
  expect "mounts below $spelling, children before parents" \
    "$(mounts_under "$spelling" "$tmp/mountinfo")" "$below"
done
expect "a mount point with a space" "$(mounts_under "/var/tmp/fresh copy" "$tmp/mountinfo")" \
  "/var/tmp/fresh copy/root/proc"

# a table that cannot be read, or is none, or names a mount below with a line break:
# no answer, which callers take as "mounted"
grep -v ' / / ' "$tmp/mountinfo" >"$tmp/no-root"
cp "$tmp/mountinfo" "$tmp/line-break"
echo '48 40 0:21 / /var/tmp/fresh/root/a\012b rw - proc proc rw' >>"$tmp/line-break"
for table in "$tmp/none" "$tmp" "$tmp/no-root" "$tmp/line-break"; do
  out=$(mounts_under /var/tmp/fresh "$table" 2>/dev/null)
  expect "no answer from ${table#"$tmp"/}" "$?.$out" 1.
done

# removal: only a vorimel-fresh.XXXXXX folder below a folder other than /, owned by
# whoever removes it, with nothing mounted below as far as a readable table tells
parent=$tmp/parent
tree=$parent/vorimel-fresh.abc123
mkdir -p "$tree/root/dev" "$parent/vorimel-fresh.ab" "$parent/vorimel-fresh.abc1234" "$parent/tree"
touch "$tree/root/dev/null"
echo "21 1 254:0 / / rw - ext4 /dev/vda rw" >"$tmp/root-only"
{ cat "$tmp/root-only"; echo "50 21 0:6 / $tree/root/dev rw - devtmpfs devtmpfs rw"; } >"$tmp/mounted"
{ cat "$tmp/root-only"; echo "50 21 0:6 / $tree/root/a\\012b rw - devtmpfs devtmpfs rw"; } >"$tmp/odd"
for table in "$tmp/mounted" "$tmp/odd" "$tmp/none" "$tmp/no-root"; do
  remove_fresh_tree "$tree" "$table" 2>/dev/null
  expect "removal refused with ${table#"$tmp"/}" "$?.$(exists "$tree/root/dev/null")" 1.yes
done
ln -s "$tree" "$parent/vorimel-fresh.link12"
for path in "$parent/vorimel-fresh.ab" "$parent/vorimel-fresh.abc1234" "$parent/tree" \
  "$parent/vorimel-fresh.link12" "$parent/vorimel-fresh.link12/" "$tree"$'\n' ""; do
  remove_fresh_tree "$path" "$tmp/root-only" 2>/dev/null
  expect "removal of '$path' refused" "$?" 1
done
expect "folders of other names kept" "$(ls "$parent" | tr '\n' ' ')" \
  "tree vorimel-fresh.ab vorimel-fresh.abc123 vorimel-fresh.abc1234 vorimel-fresh.link12 "
if [ "$(id -u)" -eq 0 ] && id nobody >/dev/null 2>&1; then
  chown nobody "$tree"
  remove_fresh_tree "$tree" "$tmp/root-only" 2>/dev/null
  expect "removal of another user's folder refused" "$?.$(exists "$tree/root")" 1.yes
  chown root "$tree"
fi
remove_fresh_tree "$parent//./vorimel-fresh.abc123/" "$tmp/root-only"
expect "removal, oddly spelled, once unmounted" "$?.$(exists "$tree")" 0.no

# leftovers of killed runs: removed when no run holds their lock; left alone when one
# does, when kept, when without a lock, or when something is still mounted there
parent=$tmp/sweep
for name in dead00 inuse0 kept00 nolock mount0; do mkdir -p "$parent/vorimel-fresh.$name/root"; done
touch "$parent/vorimel-fresh.dead00/lock" "$parent/vorimel-fresh.kept00/kept" \
  "$parent/vorimel-fresh.mount0/lock"
hold_fresh_lock "$parent/vorimel-fresh.inuse0"
{ cat "$tmp/root-only"; echo "50 21 0:6 / $parent/vorimel-fresh.mount0/root/dev rw - devtmpfs devtmpfs rw"; } \
  >"$tmp/sweep-table"
out=$(sweep_fresh_leftovers "$parent" "$tmp/sweep-table")
expect "the sweep says a mount is in the way" "$?" 1
expect "what the sweep left" "$(ls "$parent" | tr '\n' ' ')" \
  "vorimel-fresh.inuse0 vorimel-fresh.kept00 vorimel-fresh.mount0 vorimel-fresh.nolock "
expect "how to clear the mounted one" \
  "$(grep -c "umount --recursive '$parent/vorimel-fresh.mount0/root/dev'" <<<"$out")" 1
exec {fresh_lock_fd}>&-
rm "$parent/vorimel-fresh.mount0/lock"
out=$(sweep_fresh_leftovers "$parent" "$tmp/sweep-table")
expect "the lock of an ended run" "$?.$(ls "$parent" | tr '\n' ' ')" \
  "1.vorimel-fresh.kept00 vorimel-fresh.mount0 vorimel-fresh.nolock "

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

expect_summary
