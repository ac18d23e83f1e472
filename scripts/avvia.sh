#!/usr/bin/env bash
# Installs what is missing, builds Quillmere and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/dipendenze.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
if [ -x build/app/quillmere ]; then
    exec build/app/quillmere
fi
# Without the desktop program, draw the default picture headless.
build/tools/quillmere-render samples/default.Quillmere build/default.bmp
echo "Wrote build/default.bmp"
