#!/usr/bin/env bash
# Prints the capture tool's figures: demo seconds captured per wall second at 60 fps
# with no output (render only), to a WAV, to PNG files and to MP4; each mode's wall
# time over the render-only one; CPU seconds and the cores they kept busy; the CPU
# seconds of the PNG encoders and of ffmpeg; peak resident memory and the frame buffers
# in flight. Figures only, nothing is asserted. Other work on the machine skews wall
# times: REPEAT=n runs each mode n times, alternating, and keeps each mode's fastest run
# (peak memory: the largest of the runs).
# COMPARE=OTHER_BUILD runs that build's vorimel-capture too (the one before a change,
# say), each mode back to back with this one's, which one first taking turns: the two
# tables then come from the same minutes. LEVELS=1 then captures the demo at 2 fps and
# encodes up to 40 of its frames at each zlib level (png_level_figures): size against time.
# Usage: [REPEAT=n] [COMPARE=dir] [LEVELS=1] bench/capture_figures.sh [BUILD_DIR]
#        [vorimel-capture options, e.g. --until 3 --height 1080]
set -euo pipefail
build=$(cd "${1:-build/release}" && pwd)
shift || true
extra=("$@")
repeat=${REPEAT:-1}
builds=("$build")
[ -n "${COMPARE:-}" ] && builds+=("$(cd "$COMPARE" && pwd)")
for b in "${builds[@]}"; do
  [ -x "$b/vorimel-capture" ] || { echo "capture_figures: no $b/vorimel-capture (build the vorimel-capture target)" >&2; exit 1; }
done
out=$(mktemp -d) || { echo "capture_figures: no temporary folder" >&2; exit 1; }
trap 'rm -rf --one-file-system -- "$out"' EXIT

modes=(render wav png mp4)
command -v ffmpeg >/dev/null || { echo "capture_figures: no ffmpeg on PATH, mp4 skipped" >&2; modes=(render wav png); }

declare -A wall cpu encoders peak buffers frames demo
cd "$build" # data/ is read from the working folder; both builds make the same data/
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
for ((run = 0; run < repeat; ++run)); do
  echo "round $((run + 1)): load average $(cut -d' ' -f1-3 /proc/loadavg)"
  order=("${builds[@]}")
  if ((${#builds[@]} == 2 && run % 2 == 1)); then order=("${builds[1]}" "${builds[0]}"); fi
  for mode in "${modes[@]}"; do
    case $mode in
      render) options=() ;;
      wav) options=(--audio "$out/audio.wav") ;;
      png) options=(--frames "$out/png") ;;
      mp4) options=(--video "$out/demo.mp4") ;;
    esac
    for b in "${order[@]}"; do
      key="$b:$mode"
      rm -rf --one-file-system -- "$out/png" "$out/audio.wav" "$out/demo.mp4"
      # %e wall s, %U + %S CPU s of the capture and the children it waited for (ffmpeg),
      # %M peak resident KB of the largest of them; the debug channel has the stages' times
      VORIMEL_DEBUG=1 /usr/bin/time -f '%e %U %S %M' -o "$out/time" "$b/vorimel-capture" --fps 60 \
        "${extra[@]}" "${options[@]}" >"$out/log" 2>&1 \
        || { echo "capture_figures: $mode failed ($b):" >&2; cat "$out/log" >&2; exit 1; }
      read -r w user system kb <"$out/time"
      # encode + deliver CPU s of the capture's workers, plus ffmpeg's; "-" from a build
      # that does not report its stages
      enc=$(awk '/^vorimel-capture: (encode|deliver) / { s += $8; seen = 1 }
                 /s in ffmpeg$/ { s += $(NF - 3); seen = 1 }
                 END { if (seen) printf "%.1f", s; else print "-" }' "$out/log")
      if [ -z "${wall[$key]:-}" ] || awk -v a="$w" -v b="${wall[$key]}" 'BEGIN { exit !(a < b) }'; then
        wall[$key]=$w
        cpu[$key]=$(awk -v u="$user" -v s="$system" 'BEGIN { print u + s }')
        encoders[$key]=$enc
      fi
      if [ -z "${peak[$key]:-}" ] || ((kb > ${peak[$key]})); then peak[$key]=$kb; fi
      summary=$(grep '^vorimel-capture: [0-9]* frames' "$out/log")
      frames[$key]=$(sed -E 's/.*: ([0-9]+) frames.*/\1/' <<<"$summary")
      demo[$key]=$(sed -E 's/.*of the demo, ([0-9.]+) s.*/\1/' <<<"$summary")
      # "(frame buffers: N of X MB)": N x X
      buffers[$key]=$(sed -nE 's/.*frame buffers: ([0-9]+) of ([0-9.]+) MB.*/\1 \2/p' <<<"$summary" \
        | awk '{ printf "%.0f", $1 * $2 } END { if (NR == 0) print "-" }')
    done
  done
done
echo "load average after:  $(cut -d' ' -f1-3 /proc/loadavg)"
for b in "${builds[@]}"; do
  ((${#builds[@]} > 1)) && echo "$b:"
  printf '%-7s %7s %8s %8s %11s %9s %8s %6s %8s %8s %10s\n' \
    mode frames demo_s wall_s demo_s/wall x_render cpu_s cores enc_cpu peak_MB buffers_MB
  for mode in "${modes[@]}"; do
    key="$b:$mode"
    awk -v m="$mode" -v f="${frames[$key]}" -v d="${demo[$key]}" -v w="${wall[$key]}" \
        -v r="${wall[$b:render]}" -v c="${cpu[$key]}" -v e="${encoders[$key]}" -v p="${peak[$key]}" \
        -v q="${buffers[$key]}" \
      'BEGIN { printf "%-7s %7d %8.2f %8.2f %11.2f %9.2f %8.1f %6.2f %8s %8.0f %10s\n",
               m, f, d, w, d / w, w / r, c, c / w, e, p / 1024, q }'
  done
done

if [ "${LEVELS:-}" = 1 ]; then
  levels="$build/tools/png/png_level_figures"
  [ -x "$levels" ] || { echo "capture_figures: no $levels (build the png_level_figures target)" >&2; exit 1; }
  "$build/vorimel-capture" "${extra[@]}" --fps 2 --frames "$out/levels" >"$out/log" 2>&1 \
    || { echo "capture_figures: the frames for LEVELS failed:" >&2; cat "$out/log" >&2; exit 1; }
  files=("$out"/levels/*.png)
  step=$(((${#files[@]} + 39) / 40))
  sample=()
  for ((i = 0; i < ${#files[@]}; i += step)); do sample+=("${files[i]}"); done
  echo "zlib levels: ${#sample[@]} of the ${#files[@]} frames of the demo at 2 fps"
  "$levels" "${sample[@]}"
fi
