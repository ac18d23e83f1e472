#!/usr/bin/env bash
# Times quillmere-render against XaoS's batch renderer on the bench's three
# 1024 x 1024 scenes, whole process against whole process, with hyperfine
# (apt-get install xaos hyperfine). The two programs run in turns, scene by
# scene; hyperfine prints each one's mean and how many times faster the
# faster one was.
#
#   tools/confronto/confronta.sh [BUILD_DIR] [RUNS]
#
# XaoS draws its Mandelbrot set in long double with its periodicity check on
# and its other speed tricks at their defaults (the .xaf files here);
# quillmere-render draws the same windows with the block method on every
# core, interior shaded ("Sfumato Log1"), from the files in samples/.
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build}"
runs="${2:-10}"
render="$build/tools/quillmere-render"
[ -x "$render" ] || { echo "no $render: build first" >&2; exit 1; }

temp="$(mktemp -d)"
trap 'rm -rf "$temp"' EXIT
# XaoS is a Qt program: no display, and a private runtime folder.
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$temp"

for scena in "full120 panoramica-120" "full5000 panoramica-5000" "seahorse2000 seahorse"; do
    set -- $scena
    echo "== $1"
    hyperfine -N -w 1 -r "$runs" \
        -n xaos "xaos -render tools/confronto/xaos-$1.xaf -size 1024x1024 -renderframerate 10 -basename $temp/x" \
        -n quillmere "$render samples/$2.Quillmere $temp/q.bmp"
done
