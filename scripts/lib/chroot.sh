# shellcheck shell=bash
# Helpers for building and tearing down a throw-away Debian chroot; sourced by
# scripts/check-fresh-machine. The teardown is the part that must never go wrong: a
# bind mount left in place while the tree is removed would delete the host's files.

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

# Prints every mount point at or below DIR (an absolute path without a trailing
# slash), deepest first, so that they can be unmounted in that order. MOUNTINFO is
# /proc/self/mountinfo unless given; its octal escapes (\040 for a space) are decoded.
# mounts_under DIR [MOUNTINFO]
mounts_under() {
  local dir=$1 mountinfo=${2:-/proc/self/mountinfo} point
  while read -r _ _ _ _ point _; do
    printf -v point '%b' "$point"
    case $point in
    "$dir" | "$dir"/*) echo "$point" ;;
    esac
  done <"$mountinfo" | LC_ALL=C sort -r
}

# Unmounts everything at or below DIR, children first; a mount stacked twice is listed
# twice. A busy mount is detached lazily: it leaves the tree at once and goes away when
# its last user does. Returns 1 if anything is still mounted afterwards.
unmount_all_under() {
  local dir=$1 point
  while IFS= read -r point; do
    [ -n "$point" ] || continue
    umount "$point" 2>/dev/null || umount --lazy "$point" 2>/dev/null || true
  done <<<"$(mounts_under "$dir")"
  [ -z "$(mounts_under "$dir")" ]
}

# Removes DIR, but only when nothing is mounted at or below it, and without crossing
# into another file system. A bind mount of a directory on the same file system would
# not stop --one-file-system, which is why the mount check comes first.
# remove_unmounted_tree DIR [MOUNTINFO]
remove_unmounted_tree() {
  local dir=$1 left
  case $dir in
  /*/*) ;;
  *)
    echo "refusing to remove '$dir': not an absolute path two levels deep" >&2
    return 1
    ;;
  esac
  left=$(mounts_under "$dir" "${2:-/proc/self/mountinfo}")
  if [ -n "$left" ]; then
    echo "refusing to remove $dir: still mounted below it:" >&2
    echo "$left" >&2
    return 1
  fi
  rm -rf --one-file-system -- "$dir"
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
