# shellcheck shell=bash disable=SC2016 # '${Field}' is dpkg-query's format, not the shell's
# The package on a fresh machine: installs a built vorimel_<version>_amd64.deb into a
# Debian chroot that never built anything, uses it there as a viewer would, and removes
# it. Sourced by the fresh-machine check, which makes the chroot (debootstrap
# --variant=minbase), gives it apt sources and name resolution, and mounts /proc, /sys,
# /dev and /dev/pts in it; nothing here mounts or unmounts anything.
#
#   package_check ROOT DEB DISPLAY [USER]
#
#   ROOT     the chroot
#   DEB      the package, on the host
#   DISPLAY  an X server on the host, e.g. :71 (a bare one, without fonts, is the
#            hardest case); the chroot reaches it through its abstract socket, which
#            the chroot shares with the host, so /tmp/.X11-unix need not be mounted
#   USER     the normal user the programs run as, in its home folder; made if missing
#            (default: viewer)
#
# Steps, each reported on a line "package-check: ok|FAIL <step>":
#   install  apt-get install ./vorimel_*.deb pulls only run-time libraries (no compiler,
#            no -dev package) and the package is installed
#   help     vorimel --help in a login shell (whose PATH has /usr/games) lists --version
#   demo     vorimel, typed as it is, on DISPLAY with SDL's dummy audio, until Escape:
#            exit 0, every picture loaded from the installed data
#   capture  vorimel-capture of the first order into the home folder: PNG frames and a
#            WAV file there
#   purge    apt-get purge vorimel: none of the package's files is left
# Needs xwininfo and xdotool on the host. Returns 0 when every step passed, 1 otherwise;
# stops at a failed install, since the other steps need the package.

# package_check ROOT DEB DISPLAY [USER]
package_check() {
  local root=$1 deb=$2 display=$3 user=${4:-viewer}
  local failures=0 name before after files out status
  name=$(basename "$deb")
  case $name in
  vorimel_*_amd64.deb) ;;
  *)
    echo "package-check: $deb is not a vorimel_<version>_amd64.deb" >&2
    return 1
    ;;
  esac

  _package_step() { # _package_step ok|FAIL STEP
    echo "package-check: $1 $2"
    [ "$1" = ok ] || failures=$((failures + 1))
  }
  # as root in the chroot, with a plain environment
  _package_root() {
    chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
      DEBIAN_FRONTEND=noninteractive "$@"
  }
  # a login shell of the user in its home folder, as a terminal gives it; VAR=value
  # words may come before the command; _package_wrap=setsid runs it in a new session
  _package_user() {
    ${_package_wrap:-} chroot "$root" /usr/sbin/runuser -u "$user" -- /usr/bin/env -i HOME="/home/$user" USER="$user" \
      LOGNAME="$user" SHELL=/bin/bash LANG=C.UTF-8 "${@:1:$#-1}" /bin/bash -lc "cd && ${*: -1}"
  }

  # packages' services must not start inside a chroot: they would outlive the check
  if [ ! -e "$root/usr/sbin/policy-rc.d" ]; then
    printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
    chmod 755 "$root/usr/sbin/policy-rc.d"
  fi
  _package_root id -u "$user" >/dev/null 2>&1 || _package_root useradd --create-home --shell /bin/bash "$user"

  # install: what was there before, the install, and what came with it
  rm -f "$root/tmp/$name"
  cp -- "$deb" "$root/tmp/$name"
  chmod 644 "$root/tmp/$name"
  before=$(_package_root dpkg-query -W -f '${Package}\n' | LC_ALL=C sort)
  if ! _package_root apt-get update -qq || ! _package_root apt-get install -y -q "/tmp/$name"; then
    _package_step FAIL "install: apt-get install ./$name"
    return 1
  fi
  after=$(_package_root dpkg-query -W -f '${Package}\n' | LC_ALL=C sort)
  echo "package-check: $(comm -13 <(echo "$before") <(echo "$after") | wc -l) packages installed with it;" \
    "Installed-Size $(_package_root dpkg-query -W -f '${Installed-Size}' vorimel) KiB"
  out=$(comm -13 <(echo "$before") <(echo "$after") | grep -E -- '-dev$|^(gcc|g\+\+|cpp|clang|cmake|make)(-[0-9.]+)?$')
  if _package_root dpkg-query -W -f '${Status}' vorimel 2>/dev/null | grep -q 'install ok installed' &&
    [ -z "$out" ]; then
    _package_step ok "install: apt-get install ./$name"
  else
    echo "$out"
    _package_step FAIL "install: apt-get install ./$name (not installed, or brought the above)"
  fi
  files=$(_package_root dpkg-query -L vorimel)

  # help
  out=$(_package_user "vorimel --help" 2>&1)
  status=$?
  if [ $status -eq 0 ] && grep -q -- "--version" <<<"$out"; then
    _package_step ok "help: vorimel --help"
  else
    echo "$out"
    _package_step FAIL "help: vorimel --help (exit $status)"
  fi

  # demo: Escape once a second in the window titled "zent.vorimel" (the question where
  # the X server can draw it, the demo's window where it cannot) until the demo ends;
  # it must end well before its music would end it (67 s)
  local pid window shown="" deadline=$((SECONDS + 120)) log
  log=$(mktemp)
  # in a session of its own, so that a demo that will not end goes with its whole group
  _package_wrap=setsid _package_user DISPLAY="$display" SDL_AUDIODRIVER=dummy "exec vorimel" >"$log" 2>&1 </dev/null &
  pid=$!
  while kill -0 "$pid" 2>/dev/null && [ "$SECONDS" -lt "$deadline" ]; do
    window=$(xwininfo -display "$display" -root -tree 2>/dev/null | grep -F '"zent.vorimel"' | head -n 1 |
      awk '{print $1}')
    if [ -n "$window" ]; then
      [ -n "$shown" ] || shown=$SECONDS
      DISPLAY=$display timeout 5 xdotool windowfocus --sync "$window" \
        keydown Escape sleep 0.2 keyup Escape >/dev/null 2>&1
    fi
    sleep 1
  done
  [ -z "$shown" ] || shown=$((SECONDS - shown))
  kill -0 "$pid" 2>/dev/null && kill -KILL -- "-$pid" 2>/dev/null
  wait "$pid"
  status=$?
  sed 's/^/  | /' "$log"
  if [ $status -eq 0 ] && [ -n "$shown" ] && [ "$shown" -lt 30 ] &&
    grep -q '^Loading texture ./data/vorimel.tga-> ok' "$log" && ! grep -q 'cannot load picture' "$log"; then
    _package_step ok "demo: vorimel until Escape, which ended it ${shown} s after its first window"
  else
    _package_step FAIL "demo: vorimel until Escape (exit $status, ${shown:-no window} s after its first window)"
  fi
  rm -f "$log"

  # capture
  out=$(_package_user "rm -rf order0 order0.wav && vorimel-capture --until 1 --fps 10 --frames order0 --audio order0.wav" 2>&1)
  status=$?
  if [ $status -eq 0 ] && [ -s "$root/home/$user/order0.wav" ] && [ -s "$root/home/$user/order0/000000.png" ]; then
    _package_step ok "capture: vorimel-capture --until 1 into ~: $(find "$root/home/$user/order0" -name '*.png' | wc -l) frames, $(stat -c %s "$root/home/$user/order0.wav") bytes of WAV"
  else
    echo "$out"
    _package_step FAIL "capture: vorimel-capture --until 1 into ~ (exit $status)"
  fi

  # purge: every file and link of the package gone; a folder may stay only where another
  # package owns it too
  local left=() path
  if _package_root apt-get purge -y -q vorimel >/dev/null; then
    while IFS= read -r path; do
      if [ -z "$path" ] || [ "$path" = /. ]; then continue; fi
      if [ -d "$root$path" ] && [ ! -L "$root$path" ]; then
        _package_root dpkg-query -S "$path" >/dev/null 2>&1 || left+=("$path")
      elif [ -e "$root$path" ] || [ -L "$root$path" ]; then
        left+=("$path")
      fi
    done <<<"$files"
    if [ ${#left[@]} -eq 0 ] && ! _package_root dpkg-query -W -f '${Status}' vorimel 2>/dev/null | grep -q installed; then
      _package_step ok "purge: apt-get purge vorimel leaves none of its $(grep -c . <<<"$files") paths"
    else
      printf '  left: %s\n' "${left[@]}"
      _package_step FAIL "purge: apt-get purge vorimel"
    fi
  else
    _package_step FAIL "purge: apt-get purge vorimel"
  fi
  rm -f "$root/tmp/$name"
  [ "$failures" -eq 0 ]
}
