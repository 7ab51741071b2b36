#!/usr/bin/env bash
# Builds the Debian package from a build's CPack configuration into a temporary folder
# and checks it: its name; its files, exactly the expected ones in Debian's layout for
# games; its Depends, the run-time libraries dpkg-shlibdeps found and nothing to build
# with; desktop entries that name /usr/games; and nothing reported by lintian,
# desktop-file-validate, appstreamcli or man --warnings.
# Its folder under TMPDIR (or /tmp) is removed when it passes and kept when it fails;
# the tools it runs keep their temporary files there too (lintian's would stay in /tmp).
# Usage: package.sh BUILD_DIR
set -uo pipefail
build=$(realpath "$1")
# shellcheck source-path=SCRIPTDIR source=work-folder.sh
source "$(dirname "$0")/work-folder.sh"
work_folder e2e-package
mkdir "$work/tmp"
export TMPDIR=$work/tmp
fail() { echo "FAIL: $*"; exit 1; }
# shellcheck source=/dev/null
. "$build/data-files.sh"

version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack"; }
deb=$work/out/vorimel_${version}_amd64.deb
[ -f "$deb" ] || { ls "$work/out"; fail "no vorimel_${version}_amd64.deb"; }

# every file and link, and nothing else
{
  for program in vorimel vorimel_b vorimel-capture; do echo "/usr/games/$program"; done
  for file in $vorimel_pictures $vorimel_module; do echo "/usr/share/games/vorimel/data/$file"; done
  for size in $vorimel_icon_sizes; do echo "/usr/share/icons/hicolor/${size}x$size/apps/vorimel.png"; done
  printf '%s\n' /usr/share/applications/vorimel.desktop /usr/share/applications/vorimel_b.desktop \
    /usr/share/man/man6/vorimel.6.gz /usr/share/man/man6/vorimel_b.6.gz /usr/share/man/man1/vorimel-capture.1.gz \
    /usr/share/metainfo/org.example.vorimel.metainfo.xml /usr/share/doc/vorimel/copyright \
    /usr/share/doc/vorimel/changelog.gz
} | LC_ALL=C sort >"$work/expected"
dpkg-deb --fsys-tarfile "$deb" | tar -t | sed -n 's|^\./|/|; /[^/]$/p' | LC_ALL=C sort >"$work/files"
diff -u "$work/expected" "$work/files" >"$work/files.diff" || { cat "$work/files.diff"; fail "the package's files"; }

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for library in libsdl2-2.0-0 libopenmpt0 libpulse0 libpipewire-0.3-0 libasound2 libgl1 libegl1 libpng16-16; do
  grep -qE "(^|, )$library( |,|$)" <<<"$depends" || fail "Depends lacks $library"
done
! grep -qE -- '-dev( |,|$)' <<<"$depends" || fail "Depends names a development package"
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "Section is not games"

mkdir "$work/tree"
dpkg-deb -x "$deb" "$work/tree"
for program in vorimel vorimel_b; do
  grep -qx "Exec=/usr/games/$program --fullscreen --height native" "$work/tree/usr/share/applications/$program.desktop" ||
    fail "$program.desktop does not start /usr/games/$program"
done

# each tool's findings; any line at all is a finding (lintian's note about root aside)
report() { # report NAME COMMAND...
  local out
  out=$("${@:2}" 2>&1 | grep -v 'running with root privileges is not recommended')
  [ -z "$out" ] || { echo "$out"; fail "$1 reports the above"; }
}
report desktop-file-validate desktop-file-validate "$work/tree/usr/share/applications/vorimel.desktop" \
  "$work/tree/usr/share/applications/vorimel_b.desktop"
out=$(appstreamcli validate --no-net --pedantic "$work/tree/usr/share/metainfo/org.example.vorimel.metainfo.xml" 2>&1) ||
  { echo "$out"; fail "appstreamcli validate"; }
[ "$(grep -cv '^$' <<<"$out")" -eq 1 ] || { echo "$out"; fail "appstreamcli validate reports the above"; }
for page in man6/vorimel.6.gz man1/vorimel-capture.1.gz; do
  out=$(MANWIDTH=80 man --warnings -l "$work/tree/usr/share/man/$page" 2>&1 >/dev/null)
  [ -z "$out" ] || { echo "$out"; fail "man --warnings reports the above for $page"; }
done
report lintian lintian "$deb"
echo "PASS: package $(basename "$deb"), $(dpkg-deb -f "$deb" Installed-Size) KiB installed"
