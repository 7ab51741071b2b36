#!/usr/bin/env bash
# Prints the capture tool's figures: demo seconds captured per wall second at 60 fps
# with no output (render only), to a WAV, to PNG files and to MP4; each mode's wall
# time over the render-only one; CPU seconds; peak resident memory. Figures only,
# nothing is asserted. Other work on the machine skews wall times: REPEAT=n runs each
# mode n times, alternating, and keeps each mode's fastest run.
# Usage: [REPEAT=n] bench/capture_figures.sh [BUILD_DIR] [vorimel-capture options, e.g. --until 3]
set -euo pipefail
build=$(cd "${1:-build/release}" && pwd)
shift || true
extra=("$@")
repeat=${REPEAT:-1}
capture="$build/vorimel-capture"
[ -x "$capture" ] || { echo "capture_figures: no $capture (build the vorimel-capture target)" >&2; exit 1; }
out=$(mktemp -d) || { echo "capture_figures: no temporary folder" >&2; exit 1; }
trap 'rm -rf --one-file-system -- "$out"' EXIT

modes=(render wav png mp4)
command -v ffmpeg >/dev/null || { echo "capture_figures: no ffmpeg on PATH, mp4 skipped" >&2; modes=(render wav png); }

declare -A wall cpu peak frames demo
cd "$build" # data/ is read from the working folder
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
for ((run = 0; run < repeat; ++run)); do
  for mode in "${modes[@]}"; do
    case $mode in
      render) options=() ;;
      wav) options=(--audio "$out/audio.wav") ;;
      png) options=(--frames "$out/png") ;;
      mp4) options=(--video "$out/demo.mp4") ;;
    esac
    rm -rf "$out/png" "$out/audio.wav" "$out/demo.mp4"
    # %e wall s, %U + %S CPU s of the capture and the children it waited for (ffmpeg),
    # %M peak resident KB of the largest of them
    /usr/bin/time -f '%e %U %S %M' -o "$out/time" "$capture" --fps 60 "${extra[@]}" "${options[@]}" \
      >"$out/log" 2>&1 || { echo "capture_figures: $mode failed:" >&2; cat "$out/log" >&2; exit 1; }
    read -r w user system kb <"$out/time"
    if [ -z "${wall[$mode]:-}" ] || awk -v a="$w" -v b="${wall[$mode]}" 'BEGIN { exit !(a < b) }'; then
      wall[$mode]=$w
      cpu[$mode]=$(awk -v u="$user" -v s="$system" 'BEGIN { print u + s }')
    fi
    peak[$mode]=$kb
    summary=$(grep '^vorimel-capture:' "$out/log")
    frames[$mode]=$(sed -E 's/.*: ([0-9]+) frames.*/\1/' <<<"$summary")
    demo[$mode]=$(sed -E 's/.*of the demo, ([0-9.]+) s.*/\1/' <<<"$summary")
  done
done
echo "load average after:  $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-7s %7s %8s %8s %11s %9s %8s %8s\n' mode frames demo_s wall_s demo_s/wall x_render cpu_s peak_MB
for mode in "${modes[@]}"; do
  awk -v m="$mode" -v f="${frames[$mode]}" -v d="${demo[$mode]}" -v w="${wall[$mode]}" \
      -v r="${wall[render]}" -v c="${cpu[$mode]}" -v p="${peak[$mode]}" \
    'BEGIN { printf "%-7s %7d %8.2f %8.2f %11.2f %9.2f %8.1f %8.0f\n", m, f, d, w, d / w, w / r, c, p / 1024 }'
done
