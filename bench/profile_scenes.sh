#!/usr/bin/env bash
# Prints, per scene, the share of its frame work spent in our own code rather than in
# the GL library, from a callgrind profile of scene_bench (instructions, not time).
# Only the frame loop is counted, with llvmpipe rasterising on the calling thread so
# that its work is counted too. Figures only, nothing is asserted.
# Usage: bench/profile_scenes.sh [BUILD_DIR] [FRAMES]
set -euo pipefail
build=$(cd "${1:-build/release}" && pwd)
frames=${2:-20}
bench="$build/bench/scene_bench"
[ -x "$bench" ] || { echo "profile_scenes: no $bench (build the scene_bench target)" >&2; exit 1; }
command -v valgrind >/dev/null || { echo "profile_scenes: needs valgrind" >&2; exit 1; }
out=$(mktemp -d) || { echo "profile_scenes: no temporary folder" >&2; exit 1; }
trap 'rm -rf --one-file-system -- "$out"' EXIT
cd "$build"

printf '%-24s %14s %14s %8s\n' scene "total Ir" "our code Ir" share
for scene in SpinningSolidsEffect VertexRingEffect CubeRingEffect LatticeStripsEffect FlashingLatticeEffect; do
  LP_NUM_THREADS=0 valgrind --tool=callgrind --callgrind-out-file="$out/$scene.out" \
    --toggle-collect='*medianFrameMs*' "$bench" "$frames" "$scene" >/dev/null 2>&1
  python3 - "$out/$scene.out" "$bench" "$scene" <<'PY'
import re, sys
path, program, scene = sys.argv[1:4]
objects = {}   # id -> name, from "ob=(id) name"
current = None # object of the function whose self cost follows
skip_next = False
total = ours = 0
for line in open(path):
    line = line.rstrip('\n')
    if line.startswith('ob='):
        m = re.match(r'ob=\((\d+)\)(?: (.*))?', line)
        if m.group(2): objects[m.group(1)] = m.group(2)
        current = objects.get(m.group(1), line[3:])
    elif line.startswith('calls='):
        skip_next = True # the next cost line is the call's inclusive cost
    elif line and (line[0].isdigit() or line[0] in '+-*'):
        if skip_next:
            skip_next = False
            continue
        parts = line.split()
        if len(parts) > 1:
            cost = int(parts[1])
            total += cost
            if current == program:
                ours += cost
    elif line.startswith(('cob=', 'cfn=', 'cfi=', 'cfl=')):
        if line.startswith('cob='):
            m = re.match(r'cob=\((\d+)\)(?: (.*))?', line)
            if m and m.group(2): objects[m.group(1)] = m.group(2)
print(f"{scene:<24} {total:>14,} {ours:>14,} {100.0 * ours / max(total, 1):7.2f}%")
PY
done
