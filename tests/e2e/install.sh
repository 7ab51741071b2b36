#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks the installed tree: programs,
# data, icon and the two desktop entries, whose Path= must hold data/; then runs the
# installed capture tool from that Path for the first order.
# The prefix is a folder of its own under TMPDIR (or /tmp), removed when the test
# passes and kept when it fails.
# Usage: install.sh BUILD_DIR
set -uo pipefail
build=$1
# shellcheck source-path=SCRIPTDIR source=work-folder.sh
source "$(dirname "$0")/work-folder.sh"
work_folder e2e-install
prefix=$work
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$prefix/install.log" 2>&1 || { cat "$prefix/install.log"; fail "install"; }

for program in vorimel vorimel_b vorimel-capture; do
  [ -x "$prefix/bin/$program" ] || fail "no bin/$program"
done
# shellcheck source=/dev/null
. "$build/data-files.sh"
for file in $vorimel_pictures $vorimel_module; do
  cmp -s "$build/data/$file" "$prefix/share/vorimel/data/$file" || fail "data/$file not installed as built"
done
icon=$prefix/share/icons/hicolor/256x256/apps/vorimel.png
[ "$(head -c 8 "$icon" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "no PNG icon"

for program in vorimel vorimel_b; do
  entry=$prefix/share/applications/$program.desktop
  [ -f "$entry" ] || fail "no $program.desktop"
  grep -qx "Exec=$prefix/bin/$program --fullscreen --height native" "$entry" || fail "$program.desktop: Exec"
  grep -qx "Path=$prefix/share/vorimel" "$entry" || fail "$program.desktop: Path"
  grep -qx "Icon=vorimel" "$entry" || fail "$program.desktop: Icon"
done

# From the entry's Path, the installed program finds its data.
(cd "$prefix/share/vorimel" && "$prefix/bin/vorimel-capture" --until 1 --fps 5 >"$prefix/run.log" 2>&1) \
  || { cat "$prefix/run.log"; fail "the installed capture tool did not run from Path"; }
echo "PASS: install"
