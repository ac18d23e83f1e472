#!/usr/bin/env bash
# Installs, as root, the Debian packages that building and testing Quillmere need, when missing.
set -euo pipefail

pacchetti=(g++ cmake ninja-build qt6-base-dev libgl-dev libmpfr-dev clang libclang-rt-14-dev
           # the English translation: Qt Linguist's CMake support, lupdate and lrelease
           qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
           # the package and desktop-file checks: cpack's dpkg-shlibdeps, the validators, the manual page
           dpkg-dev binutils desktop-file-utils appstream groff-base
           # the type of the parameters files: its XML read as the desktop reads it
           libxml2-utils shared-mime-info
           # the generator of the x87 routines, which a test runs again
           python3
           # plans of movies and posters run on real engines: GNU parallel, a Slurm of
           # one node (with munge), ffmpeg (and ffprobe) for movies, vips for posters
           parallel slurm-wlm munge ffmpeg libvips-tools
           "$@")
mancanti=()
for p in "${pacchetti[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || mancanti+=("$p")
done
if [ ${#mancanti[@]} -gt 0 ]; then
    echo "Installing: ${mancanti[*]}"
    if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
    $SUDO apt-get update
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${mancanti[@]}"
fi
