#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks the installed tree (programs,
# data, icons, desktop entries, manual pages, metainfo, copyright, changelog), that the
# three programs give one version, and that the installed programs run from any folder:
# the capture tool and the demo (on the X server in DISPLAY) from a folder without
# data/, reading the installed data with the messages unchanged and writing outputs
# where they were started; a working folder's own data/ still wins.
# Its folder under TMPDIR (or /tmp) is removed when it passes and kept when it fails.
# Usage: install.sh BUILD_DIR (under xvfb-run)
set -uo pipefail
build=$(realpath "$1")
# shellcheck source-path=SCRIPTDIR source=work-folder.sh
source "$(dirname "$0")/work-folder.sh"
work_folder e2e-install
prefix=$work/prefix
games=$prefix/games
share=$prefix/share
fail() { echo "FAIL: $*"; exit 1; }
# shellcheck source=/dev/null
. "$build/data-files.sh"

cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "install"; }

# the tree, in Debian's layout for games
for program in vorimel vorimel_b vorimel-capture; do
  [ -x "$games/$program" ] || fail "no games/$program"
done
for file in $vorimel_pictures $vorimel_module; do
  cmp -s "$build/data/$file" "$share/games/vorimel/data/$file" || fail "data/$file not installed as built"
done
for size in $vorimel_icon_sizes; do
  icon=$share/icons/hicolor/${size}x$size/apps/vorimel.png
  # PNG signature, then the IHDR's width and height
  expected=$(printf '89504e470d0a1a0a0000000d49484452%08x%08x' "$size" "$size")
  [ "$(head -c 24 "$icon" | od -An -tx1 | tr -d ' \n')" = "$expected" ] || fail "no ${size}x$size PNG icon"
done
for program in vorimel vorimel_b; do
  entry=$share/applications/$program.desktop
  [ -f "$entry" ] || fail "no $program.desktop"
  grep -qx "Exec=$games/$program --fullscreen --height native" "$entry" || fail "$program.desktop: Exec"
  grep -qx "Icon=vorimel" "$entry" || fail "$program.desktop: Icon"
  ! grep -q "^Path=" "$entry" || fail "$program.desktop: the programs find their data without Path="
done
for page in man6/vorimel.6.gz man6/vorimel_b.6.gz man1/vorimel-capture.1.gz; do
  gzip -t "$share/man/$page" 2>/dev/null || fail "no manual page $page"
done
zcat "$share/man/man6/vorimel_b.6.gz" | grep -q '^vorimel, vorimel_b ' || fail "vorimel_b(6) is not vorimel's page"
for file in metainfo/org.example.vorimel.metainfo.xml doc/vorimel/copyright doc/vorimel/changelog.gz; do
  [ -s "$share/$file" ] || fail "no share/$file"
done

# One version everywhere: the changelog's newest entry, the metainfo's newest release,
# and what each program prints (after listing --version in its --help).
version=$(zcat "$share/doc/vorimel/changelog.gz" | sed -n '1s/^vorimel (\([^)]*\)).*/\1/p')
[ -n "$version" ] || fail "no version at the top of the changelog"
grep -q "<release version=\"$version\"" "$share/metainfo/org.example.vorimel.metainfo.xml" ||
  fail "the metainfo's releases lack $version"
for program in vorimel vorimel_b vorimel-capture; do
  "$games/$program" --help | grep -q -- "--version" || fail "$program --help does not list --version"
  out=$("$games/$program" --version) || fail "$program --version exited with $?"
  [ "$out" = "$program $version" ] || fail "$program --version printed '$out', not '$program $version'"
done

# The capture tool in a folder without data/ (a home folder): the installed data, the
# progress lines as from a build folder, the outputs in that folder.
mkdir "$work/home"
(cd "$work/home" && "$games/vorimel-capture" --until 1 --fps 5 --frames shots --audio order0.wav \
  >"$work/capture.out" 2>"$work/capture.err") || { cat "$work/capture.err"; fail "capture from a folder without data/"; }
for name in $vorimel_pictures; do
  grep -qxF "Loading texture ./data/$name-> ok" "$work/capture.out" || fail "capture: no '$name-> ok' line"
done
if [ ! -s "$work/home/order0.wav" ] || [ ! -s "$work/home/shots/000000.png" ]; then
  fail "capture: outputs not written in the folder it was started in"
fi

# A folder's own data/ wins, even when it lacks the module: the build folder's rule.
mkdir -p "$work/empty/data"
(cd "$work/empty" && "$games/vorimel-capture" --until 1 --fps 5 >/dev/null 2>"$work/empty.err")
status=$?
if [ $status -ne 2 ] || ! grep -q "no ./data/mordel.it in the working folder" "$work/empty.err"; then
  cat "$work/empty.err"
  fail "capture with an empty data/: exit $status"
fi

# The demo from the home folder, as typed in a terminal; Escape once it runs.
(cd "$work/home" && SDL_AUDIODRIVER=dummy exec "$games/vorimel" --windowed) >"$work/demo.out" 2>"$work/demo.err" &
pid=$!
window=""
for _ in $(seq 200); do
  window=$(xwininfo -root -tree 2>/dev/null | grep -F '"zent.vorimel"' | head -n 1 | awk '{print $1}')
  [ -n "$window" ] && break
  kill -0 $pid 2>/dev/null || break
  sleep 0.1
done
[ -n "$window" ] || { cat "$work/demo.err"; fail "the installed demo opened no window"; }
# loading ends with the last picture's line
pictures=$(echo $vorimel_pictures | wc -w)
for _ in $(seq 300); do
  [ "$(grep -c '^Loading texture' "$work/demo.out")" -ge "$pictures" ] && break
  kill -0 $pid 2>/dev/null || break
  sleep 0.1
done
for _ in $(seq 20); do
  kill -0 $pid 2>/dev/null || break
  xdotool windowfocus --sync "$window" keydown Escape sleep 0.2 keyup Escape 2>/dev/null
  sleep 0.5
done
kill -0 $pid 2>/dev/null && { kill -KILL $pid; fail "the installed demo did not end on Escape"; }
wait $pid
status=$?
[ $status -eq 0 ] || { cat "$work/demo.err"; fail "the installed demo from a folder without data/: exit $status"; }
expected=""
for name in $vorimel_pictures; do
  expected+="Loading texture ./data/$name-> ok"$'\n'
done
[ "$(cat "$work/demo.out")"$'\n' = "$expected" ] || { cat "$work/demo.out"; fail "the demo's progress lines changed"; }
echo "PASS: install"
