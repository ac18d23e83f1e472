#!/usr/bin/env bash
# Renders the icon's PNG sizes from quillmere.svg. Run it again after changing
# the drawing and commit the PNGs with it: building needs only the PNGs.
# Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"

for lato in 16 32 48 64 128 256; do
    rsvg-convert --width "$lato" --height "$lato" --keep-aspect-ratio \
        --output "quillmere-$lato.png" quillmere.svg
done
