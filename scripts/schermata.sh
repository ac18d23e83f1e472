#!/usr/bin/env bash
# Takes the README's screenshot: the program under a virtual X server, with
# the default picture drawn after Enter.
# Writes docs/schermata.png. Installs Xvfb, xdotool and ImageMagick when missing.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/dipendenze.sh xvfb xauth xdotool imagemagick
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target quillmere

schermo=:97
Xvfb "$schermo" -screen 0 1280x860x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$programma" "$xvfb" 2>/dev/null || true' EXIT
sleep 1
DISPLAY=$schermo build/app/quillmere -qwindowgeometry 1280x860+0+0 >/dev/null 2>&1 &
programma=$!
finestra=""
for _ in $(seq 50); do
    finestra=$(DISPLAY=$schermo xdotool search --name '^MDI Application$' 2>/dev/null | head -1 || true)
    [ -n "$finestra" ] && break
    sleep 0.2
done
[ -n "$finestra" ] || { echo "the main window did not appear" >&2; exit 1; }
sleep 1
DISPLAY=$schermo xdotool windowfocus --sync "$finestra" key Return
# The caption reads "Quillmere v0.9" again once the drawing has ended.
for _ in $(seq 100); do
    titolo=$(DISPLAY=$schermo xdotool getwindowname "$finestra")
    [ "$titolo" = "Quillmere v0.9" ] && break
    sleep 0.2
done
sleep 0.5
mkdir -p docs
DISPLAY=$schermo import -window root docs/schermata.png
echo "Wrote docs/schermata.png"
