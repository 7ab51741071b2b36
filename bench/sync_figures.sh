#!/usr/bin/env bash
# Prints when the demo's beat is heard and seen against real sound servers, one row
# per server and SDL audio driver: how far the position the audio layer reports is
# from what the sink plays (positive: the report is ahead, "early"), how long after a
# beat is heard its flash lands on screen, and how often playback underran. Starts
# its own X server (Xvfb), PulseAudio, and PipeWire (where it starts), each with a
# 44100 Hz null sink; records the sink's monitor, grabs the demo window, and lines both
# up with the module rendered by libopenmpt (sync_analysis); on PipeWire each run is also
# measured against a recording through PipeWire's own API. Figures only, nothing is
# asserted. RUNS=n measures every row n times; KEEP=DIR keeps the recordings there.
# Usage: [RUNS=n] [KEEP=DIR] bench/sync_figures.sh [BUILD_DIR] [seconds of music, 25]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build/release}" && pwd)
seconds=${2:-25}
runs=${RUNS:-1}
for tool in vorimel tools/sync/sync_recorder tools/sync/sync_grabber tools/sync/sync_analysis; do
  [ -x "$build/$tool" ] || { echo "sync_figures: no $build/$tool (build the project with benchmarks)" >&2; exit 1; }
done
for command in Xvfb xdotool xwininfo pactl pulseaudio; do
  command -v "$command" >/dev/null || { echo "sync_figures: $command is missing (scripts/bootstrap)" >&2; exit 1; }
done

# shellcheck source-path=SCRIPTDIR source=../tools/sync/session.sh
source "$here/../tools/sync/session.sh"
work=$(mktemp -d) || { echo "sync_figures: no temporary folder" >&2; exit 1; }
session_init "$work" "$build" $((runs * 3 * (seconds + 60) + 300))
finish() {
  session_cleanup
  if [ -n "${KEEP:-}" ]; then mkdir -p "$KEEP" && cp -r "$work"/. "$KEEP"/; fi
  rm -rf --one-file-system -- "$work"
}
trap finish EXIT
trap 'exit 130' INT TERM

session_start_xvfb || { echo "sync_figures: Xvfb did not start" >&2; exit 1; }

rows=()
# analyse LABEL PREFIX RECORDING: one row from a run's logs against one recording
analyse() {
  local label=$1 prefix=$2 recording=$3 figures
  (cd "$build" && tools/sync/sync_analysis --module data/mordel.it --recording "$recording" \
    --positions "$prefix.positions" --screen "$prefix.screen") >"$recording.analysis" 2>&1
  sed 's/^/    /' "$recording.analysis" >&2
  figures=$(grep '^figures:' "$recording.analysis") || {
    rows+=("| $label | not measured: $(tail -n 1 "$recording.analysis") | | |")
    return
  }
  rows+=("$(awk -v label="$label" '{
    for (i = 2; i <= NF; ++i) { split($i, kv, "="); f[kv[1]] = kv[2] }
    way = f["position_mean"] >= 0 ? "early" : "late"
    printf "| %s | %.1f ms %s (median %+.1f, spread %.1f, max |.| %.1f) | %+.0f ms (spread %.0f; %d of %d beats, %.0f fps) | %d gaps, %d drops |",
      label, f["position_mean"] < 0 ? -f["position_mean"] : f["position_mean"], way, f["position_median"],
      f["position_spread"], f["position_abs_max"], f["flash_mean"], f["flash_spread"], f["flashes"], f["beats"],
      f["screen_rate"], f["gaps"], f["drops"]
  }' <<<"$figures")")
}

# measure LABEL DRIVER: RUNS runs of the demo on the server now running; one row each
measure() {
  local label=$1 driver=$2 run prefix
  for ((run = 1; run <= runs; ++run)); do
    prefix=$work/row${#rows[@]}
    echo "sync_figures: $label, run $run: $seconds s of music (load average $(cut -d' ' -f1 /proc/loadavg))" >&2
    if ! session_run_demo "$driver" "$prefix" "$seconds" grab; then
      rows+=("| $label | the demo did not run: $(tail -n 1 "$prefix.demo.log" 2>/dev/null) | | |")
      continue
    fi
    analyse "$label" "$prefix" "$prefix"
    # on PipeWire the same run again, against the recording through its own API
    if [ -s "$prefix.pw.stamps" ]; then
      analyse "$label, heard by PipeWire's own capture" "$prefix" "$prefix.pw"
    fi
  done
}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
if session_start_pulseaudio; then
  measure "PulseAudio $(pulseaudio --version | awk '{print $2}') / pulseaudio" pulseaudio
else
  rows+=("| PulseAudio | did not start: $(tail -n 1 "$work/pulseaudio/log") | | |")
fi
session_stop "$session_server"

if command -v pipewire >/dev/null && command -v pipewire-pulse >/dev/null && command -v wireplumber >/dev/null \
   && command -v dbus-run-session >/dev/null; then
  if session_start_pipewire; then
    version=$(pipewire --version | awk '/Linked with libpipewire/ {print $NF}')
    measure "PipeWire $version via pipewire-pulse / pulseaudio" pulseaudio
    measure "PipeWire $version / pipewire" pipewire
  else
    rows+=("| PipeWire | did not start: $(tail -n 1 "$work/pipewire/pipewire.log" 2>/dev/null) | | |")
  fi
  for ((i = ${#session_servers[@]} - 1; i >= 0; --i)); do
    session_stop "${session_servers[i]}"
  done
else
  rows+=("| PipeWire | not installed | | |")
fi
echo "load average after:  $(cut -d' ' -f1-3 /proc/loadavg)"

echo "| server / SDL driver | reported position vs heard | flash on screen minus beat heard | underruns |"
echo "|---|---|---|---|"
printf '%s\n' "${rows[@]}"
