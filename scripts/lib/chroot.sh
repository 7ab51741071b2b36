# shellcheck shell=bash
# Helpers for building and tearing down a throw-away Debian chroot; sourced by
# scripts/check-fresh-machine. The teardown is the part that must never go wrong: a
# bind mount left in place while the tree is removed would delete the host's files.
# So every check on a path is made on its canonical form, and every doubt about what
# is mounted (an unreadable table, a name no list can carry) counts as "mounted".

# Prints the URI of the first enabled binary ("deb") apt source that serves SUITE, in
# the order apt reads them: sources.list, then the one-line and deb822 files of
# sources.list.d. Returns 1 when none does.
# apt_uri_for_suite SUITE [SOURCES_LIST [SOURCES_DIR]]
apt_uri_for_suite() {
  local suite=$1 list=${2:-/etc/apt/sources.list} dir=${3:-/etc/apt/sources.list.d}
  local file uri
  for file in "$list" "$dir"/*.list "$dir"/*.sources; do
    [ -f "$file" ] || continue
    case $file in
    *.sources) uri=$(deb822_uri_for_suite "$suite" <"$file") ;;
    *) uri=$(one_line_uri_for_suite "$suite" <"$file") ;;
    esac
    if [ -n "$uri" ]; then
      echo "${uri%/}"
      return 0
    fi
  done
  return 1
}

# "deb [options] URI SUITE COMPONENT..." lines on stdin.
one_line_uri_for_suite() {
  awk -v suite="$1" '
    { sub(/#.*/, "") }
    $1 != "deb" { next }
    {
      line = $0
      sub(/^[ \t]*deb[ \t]+/, "", line)
      if (line ~ /^\[/) sub(/^\[[^]]*\][ \t]*/, "", line)
      split(line, field, /[ \t]+/)
      if (field[2] == suite) { print field[1]; exit }
    }'
}

# Stanzas of "Types:", "URIs:", "Suites:" and "Enabled:" fields on stdin; a field may
# continue on lines that start with white space.
deb822_uri_for_suite() {
  awk -v suite="$1" '
    function words(text, list) {
      gsub(/^[ \t]+|[ \t]+$/, "", text)
      return split(text, list, /[ \t]+/)
    }
    function has(text, word,    n, i, list) {
      n = words(text, list)
      for (i = 1; i <= n; i++) if (list[i] == word) return 1
      return 0
    }
    function flush(    uri) {
      if (!found && has(field["types"], "deb") && !has(tolower(field["enabled"]), "no") \
          && has(field["suites"], suite) && words(field["uris"], uri) > 0) {
        print uri[1]
        found = 1
      }
      split("", field)
      key = ""
    }
    /^#/ { next }
    /^[ \t]*$/ { flush(); next }
    /^[ \t]/ { if (key != "") field[key] = field[key] " " $0; next }
    {
      colon = index($0, ":")
      key = tolower(substr($0, 1, colon - 1))
      field[key] = substr($0, colon + 1)
    }
    END { flush() }'
}

# Prints PATH made absolute, without "." or ".." parts, repeated or trailing slashes
# or symbolic links, as the kernel writes mount points; PATH need not exist. Fails on
# an empty PATH or one with a line break.
# canonical_path PATH
canonical_path() {
  case $1 in
  "" | *$'\n'*)
    echo "refusing the path '$1': empty or with a line break" >&2
    return 1
    ;;
  esac
  realpath -m -- "$1"
}

# Prints every mount point at or below DIR (any spelling), deepest first, so that they
# can be unmounted in that order. MOUNTINFO is /proc/self/mountinfo unless given; its
# octal escapes (\040 for a space) are decoded. Fails closed, saying why: returns 1
# when the table cannot be read, does not list "/" (so is no mount table), or has a
# mount point at or below DIR with a line break in it, which no list of lines carries.
# A caller takes any failure as "something is mounted there".
# mounts_under DIR [MOUNTINFO]
mounts_under() {
  local dir prefix mountinfo=${2:-/proc/self/mountinfo} table point saw_root=no
  local points=()
  dir=$(canonical_path "$1") || return 1
  prefix=${dir%/}/
  if ! { table=$(<"$mountinfo"); } 2>/dev/null; then
    echo "cannot read the mount table $mountinfo: taken as mounted" >&2
    return 1
  fi
  while read -r _ _ _ _ point _; do
    printf -v point '%b' "$point"
    [ "$point" = / ] && saw_root=yes
    case $point in
    "$dir" | "$prefix"*)
      if [[ $point == *$'\n'* ]]; then
        echo "a mount point below $dir has a line break in its name: taken as mounted" >&2
        return 1
      fi
      points+=("$point")
      ;;
    esac
  done <<<"$table"
  if [ "$saw_root" = no ]; then
    echo "$mountinfo lists no mount on /: not a mount table, taken as mounted" >&2
    return 1
  fi
  [ ${#points[@]} -eq 0 ] || printf '%s\n' "${points[@]}" | LC_ALL=C sort -r
}

# Unmounts everything at or below DIR, children first; a mount stacked twice is listed
# twice. A busy mount is detached lazily: it leaves the tree at once and goes away when
# its last user does. Returns 1 if anything is still mounted afterwards, or if the
# mount table cannot be told.
unmount_all_under() {
  local dir=$1 points point
  points=$(mounts_under "$dir") || return 1
  while IFS= read -r point; do
    [ -n "$point" ] || continue
    umount "$point" 2>/dev/null || umount --lazy "$point" 2>/dev/null || true
  done <<<"$points"
  points=$(mounts_under "$dir") || return 1
  [ -z "$points" ]
}

# Prints the canonical path of PARENT, a folder where the check may make its working
# folders; refuses "/" in any spelling.
# fresh_parent_path PARENT
fresh_parent_path() {
  local parent
  parent=$(canonical_path "$1") || return 1
  if [ "$parent" = / ]; then
    echo "refusing '$1' as the parent folder: it is /" >&2
    return 1
  fi
  echo "$parent"
}

# Prints the canonical path of DIR when it is a working folder of the fresh-machine
# check: an existing directory, not a symbolic link, named vorimel-fresh.XXXXXX as
# mktemp makes it, in a folder other than /, and owned by whoever runs this. Refuses,
# saying why, anything else.
# fresh_tree_path DIR
fresh_tree_path() {
  local bare=$1 dir name owner
  while [[ $bare == */ && $bare != / ]]; do bare=${bare%/}; done
  dir=$(canonical_path "$1") || return 1
  if [ -L "$bare" ] || [ ! -d "$dir" ]; then
    echo "refusing $1: not a directory, or a symbolic link" >&2
    return 1
  fi
  name=${dir##*/}
  if ! [[ $name =~ ^vorimel-fresh\.[A-Za-z0-9]{6}$ ]] || [ -z "${dir%/*}" ]; then
    echo "refusing $1: not a vorimel-fresh.XXXXXX folder below a folder other than /" >&2
    return 1
  fi
  owner=$(stat -c %u -- "$dir") || return 1
  if [ "$owner" != "$(id -u)" ]; then
    echo "refusing $1: owned by user $owner, not by $(id -u)" >&2
    return 1
  fi
  echo "$dir"
}

# Removes the check's working folder DIR (see fresh_tree_path), but only when nothing
# is mounted at or below it, and without crossing into another file system. A bind
# mount of a directory on the same file system would not stop --one-file-system,
# which is why the mount check comes first.
# remove_fresh_tree DIR [MOUNTINFO]
remove_fresh_tree() {
  local dir left
  dir=$(fresh_tree_path "$1") || return 1
  if ! left=$(mounts_under "$dir" "${2:-/proc/self/mountinfo}"); then
    echo "refusing to remove $dir: what is mounted below it cannot be told" >&2
    return 1
  fi
  if [ -n "$left" ]; then
    echo "refusing to remove $dir: still mounted below it:" >&2
    echo "$left" >&2
    return 1
  fi
  rm -rf --one-file-system -- "$dir"
}

# Takes the lock that marks DIR, a working folder just made, as in use; sets
# fresh_lock_fd. The lock lasts while that descriptor stays open in this process or
# any process it starts. The lock file is locked before it gets its name, so that no
# other run ever finds "DIR/lock" unlocked while this one lives.
# hold_fresh_lock DIR
hold_fresh_lock() {
  exec {fresh_lock_fd}>"$1/lock.new" || return 1
  flock -n "$fresh_lock_fd" || return 1
  mv -- "$1/lock.new" "$1/lock"
}

# Prints how to clear, by hand, the working folder DIR that still has MOUNTS (the list
# mounts_under printed) in place.
fresh_recovery_help() {
  local dir=$1 mounts=$2 point top=()
  while IFS= read -r point; do
    [ -n "$point" ] || continue
    [ ${#top[@]} -gt 0 ] && [[ $point == "${top[-1]}"/* ]] && continue
    top+=("$point")
  done < <(LC_ALL=C sort <<<"$mounts")
  cat <<EOF
  If no check is running, clear it by hand, as root:
    ls -l /proc/[0-9]*/root 2>/dev/null | grep -F '$dir/'  # processes still inside: kill them by PID
    findmnt --list --output TARGET | grep -F '$dir/'        # what is mounted there
$(printf "    umount --recursive '%s'   # --lazy too if it is busy\n" "${top[@]}")
    findmnt --list --output TARGET | grep -F '$dir/'        # must now print nothing
    rm -rf --one-file-system '$dir'
EOF
}

# Clears what killed runs of the check left in PARENT: removes each working folder
# whose lock no running check holds. Leaves alone, with a note, folders in use, kept
# with --keep, without a lock (an older check's, or one killed as it began) and those
# that are not the check's. Returns 1 when one of them still has something mounted
# below it, with how to clear it by hand.
# sweep_fresh_leftovers PARENT [MOUNTINFO]
sweep_fresh_leftovers() {
  local parent=$1 table=${2:-/proc/self/mountinfo} entry dir mounted point fd status=0
  for entry in "$parent"/vorimel-fresh.*; do
    [ -e "$entry" ] || [ -L "$entry" ] || continue
    fd=""
    dir=$(fresh_tree_path "$entry" 2>&1) || {
      echo "leftover check: $dir"
      continue
    }
    if ! mounted=$(mounts_under "$dir" "$table" 2>&1); then
      echo "leftover check: $dir left alone: $mounted"
      status=1
    elif [ -n "$mounted" ]; then
      echo "leftover check: $dir still has mounts in place:"
      while IFS= read -r point; do echo "    $point"; done <<<"$mounted"
      fresh_recovery_help "$dir" "$mounted"
      status=1
    elif [ -f "$dir/lock" ] && [ ! -L "$dir/lock" ]; then
      if exec {fd}<"$dir/lock" && flock -n "$fd"; then
        echo "leftover check: removing $dir, left by a check that was killed"
        remove_fresh_tree "$dir" "$table" || status=1
      else
        echo "leftover check: $dir is in use by a running check"
      fi
      [ -z "$fd" ] || exec {fd}<&-
    elif [ -e "$dir/kept" ]; then
      echo "leftover check: $dir was kept (--keep); remove it with rm -rf --one-file-system '$dir'"
    else
      echo "leftover check: $dir has no lock (an older check's, or one still starting): left alone"
    fi
  done
  return "$status"
}

# Bind-mounts SOURCE on TARGET (made if missing), privately, so that nothing mounted
# later below TARGET shows up under SOURCE. Refuses a TARGET that is a symbolic link:
# the mount would land wherever the link points on the host.
# bind_private SOURCE TARGET
bind_private() {
  local source=$1 target=$2
  if [ -L "$target" ]; then
    echo "refusing to mount on $target: it is a symbolic link" >&2
    return 1
  fi
  mkdir -p "$target"
  mount --bind "$source" "$target"
  mount --make-private "$target"
}

# Sends SIGNAL to every process whose root directory is DIR: what was started inside
# the chroot and is still running.
# signal_processes_rooted_in DIR SIGNAL
signal_processes_rooted_in() {
  local dir=$1 signal=$2 entry
  for entry in /proc/[0-9]*; do
    [ "$(readlink "$entry/root" 2>/dev/null)" = "$dir" ] || continue
    kill "-$signal" "${entry#/proc/}" 2>/dev/null || true
  done
}
