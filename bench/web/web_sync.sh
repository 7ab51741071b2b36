#!/usr/bin/env bash
# Prints when the browser version's beat is heard and seen: the page in a headed
# chromium on an X server of our own (Xvfb), its sound going to a PulseAudio of our own
# with a 44100 Hz null sink. As bench/sync_figures.sh does for the desktop, it records the
# sink's monitor (sync_recorder), follows the window's damage (sync_grabber) and lines
# both up with the module rendered by libopenmpt (sync_analysis): how far the position
# the page reports (Web Audio's output timestamp) is from what the sink plays (positive:
# early), and how long after a beat is heard its flash lands on screen; each run again
# with chromium's compositor drawing in software. Figures only, nothing is asserted.
# RUNS=n measures n times (2); KEEP=DIR keeps the recordings there; PAGE_OPTIONS adds
# address options (e.g. lead=100); VORIMEL_CHROMIUM_GL gives chromium's GL flags
# (SwiftShader's unless set). Chromium is driven through Debian's python3-selenium.
# Usage: [RUNS=n] [KEEP=DIR] [PAGE_OPTIONS=...] bench/web/web_sync.sh [PAGE_DIR] [BUILD_DIR] [seconds of music, 25]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
page=$(cd "${1:-build/web/page}" && pwd)
build=$(cd "${2:-build/release}" && pwd)
seconds=${3:-25}
runs=${RUNS:-2}
[ -s "$page/vorimel-web.wasm" ] || { echo "web_sync: no page in $page (scripts/build-web)" >&2; exit 1; }
for tool in tools/sync/sync_recorder tools/sync/sync_grabber tools/sync/sync_analysis; do
  [ -x "$build/$tool" ] || { echo "web_sync: no $build/$tool (build the project with benchmarks)" >&2; exit 1; }
done
for command in Xvfb pactl pulseaudio chromium chromedriver; do
  command -v "$command" >/dev/null || { echo "web_sync: $command is missing (scripts/bootstrap --web)" >&2; exit 1; }
done
# Debian's python, which Debian's selenium is installed for, whatever python3 is first on PATH
/usr/bin/python3 -c 'import selenium' 2>/dev/null ||
  { echo "web_sync: python3-selenium is missing (scripts/bootstrap --web)" >&2; exit 1; }

# shellcheck source-path=SCRIPTDIR source=../../tools/sync/session.sh
source "$here/../../tools/sync/session.sh"
work=$(mktemp -d) || { echo "web_sync: no temporary folder" >&2; exit 1; }
session_init "$work" "$build" $((2 * runs * (seconds + 150) + 120))
finish() {
  session_cleanup
  if [ -n "${KEEP:-}" ]; then mkdir -p "$KEEP" && cp -r "$work"/. "$KEEP"/; fi
  rm -rf --one-file-system -- "$work"
}
trap finish EXIT
trap 'exit 130' INT TERM

session_start_xvfb || { echo "web_sync: Xvfb did not start" >&2; exit 1; }
session_start_pulseaudio || { echo "web_sync: PulseAudio did not start: $(tail -n 1 "$work/pulseaudio/log")" >&2; exit 1; }

rows=()
gl=${VORIMEL_CHROMIUM_GL:---use-gl=angle --use-angle=swiftshader --enable-unsafe-swiftshader}
version=$(chromium --version 2>/dev/null | awk '{print $2}')
# measure LABEL CHROMIUM_GL: one run of the page; one row
measure() {
  local label=$1 prefix=$work/run$((${#rows[@]} + 1)) recorder grabber status figures
  echo "web_sync: $label: $seconds s of music (load average $(cut -d' ' -f1 /proc/loadavg))" >&2
  session_spawn "$session_tools/sync_recorder" sync.monitor "$prefix" 0 "$session_fragment" 2>"$prefix.recorder.log"
  recorder=$started
  # the app window is titled as the page and is the canvas alone, 640x480
  session_spawn "$session_tools/sync_grabber" zent.vorimel 640 480 "$prefix.screen" $((seconds + 120)) \
    2>"$prefix.grabber.log"
  grabber=$started
  # chromium stays in the foreground: stopped by timeout if the page hangs
  VORIMEL_CHROMIUM_GL=$2 timeout --kill-after=5 $((seconds + 150)) \
    /usr/bin/python3 "$here/web_sync_page.py" "$page" "$prefix" "$seconds" "${PAGE_OPTIONS:-}" \
    >"$prefix.page" 2>"$prefix.page.log"
  status=$?
  sed 's/^/    /' "$prefix.page.log" >&2
  # the grabber ends with the window
  session_await "$grabber" 5
  session_stop "$recorder"
  if [ "$status" != 0 ] || [ ! -s "$prefix.f32" ]; then
    rows+=("| $label | the page did not run: $(tail -n 1 "$prefix.page.log") | | | | |")
    return
  fi
  (cd "$build" && tools/sync/sync_analysis --module data/mordel.it --recording "$prefix" \
    --positions "$prefix.positions" --screen "$prefix.screen") >"$prefix.analysis" 2>&1
  sed 's/^/    /' "$prefix.analysis" >&2
  if ! figures=$(grep '^figures:' "$prefix.analysis"); then
    rows+=("| $label | not measured: $(tail -n 1 "$prefix.analysis") | | | | |")
    return
  fi
  rows+=("$(awk -v label="$label" -v load="$(cut -d' ' -f1 /proc/loadavg)" '
    /^page:/ || /^figures:/ { for (i = 2; i <= NF; ++i) { split($i, kv, "="); f[kv[1]] = kv[2] } }
    END {
      way = f["position_mean"] >= 0 ? "early" : "late"
      printf "| %s | %.1f ms %s (median %+.1f, spread %.1f, max |.| %.1f; clock +-%.2f) | %+.0f ms (spread %.0f; %d of %d beats; %.1f frames) | %.1f fps drawn, %.1f updates/s seen; lead %.0f ms | %d gaps, %d drops | %s |",
        label, f["position_mean"] < 0 ? -f["position_mean"] : f["position_mean"], way, f["position_median"],
        f["position_spread"], f["position_abs_max"], f["clock_error_ms"], f["flash_mean"], f["flash_spread"],
        f["flashes"], f["beats"], f["flash_mean"] * f["fps"] / 1000, f["fps"], f["screen_rate"],
        f["lead_median_ms"], f["gaps"], f["drops"], load
    }' "$prefix.page" - <<<"$figures")")
}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg); page address ?height=480&positions${PAGE_OPTIONS:+&$PAGE_OPTIONS}"
# The page as a browser shows it (its compositor drawing through GL, here SwiftShader),
# and with the compositor drawing in software: the difference is the GL compositor's
# share of the delay. Taken in turns, so that the machine's load falls on both alike.
for ((run = 1; run <= runs; ++run)); do
  measure "chromium $version, run $run" "$gl"
  measure "the same, --disable-gpu-compositing, run $run" "$gl --disable-gpu-compositing"
done
echo "load average after:  $(cut -d' ' -f1-3 /proc/loadavg)"

echo "| chromium | reported position minus heard | flash on screen minus beat heard (in frames drawn) | frame rate; the program's lead | underruns | load |"
echo "|---|---|---|---|---|---|"
printf '%s\n' "${rows[@]}"
