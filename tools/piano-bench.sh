#!/usr/bin/env bash
# What plans of movies and posters cost on this machine (a benchmark, not a test):
#  1. a 120-frame 512 x 512 zoom movie from the whole set down to 10^-100
#     around the deep sample's point, drawn by GNU parallel with one job at a
#     time and with one job per core (one thread each), and as one job at a time on
#     every core: frames per minute, and their ratio;
#  2. what a deep frame's reference orbit (with its leaps) takes of the frame's
#     drawing, for frames of that movie from 10^-16 to 10^-100 (misura-fotogrammi);
#  3. a 16384 x 16384 poster of the default window in 16 x 16 tiles, drawn by
#     parallel and joined by vips: the peak memory of every process.
# The runs take turns as given; on a shared machine run it when it is quiet.
#
# tools/piano-bench.sh [BUILD_DIR] [WORK_DIR] [PARTS]
# (default: build, a temporary folder, "1 2 3"; part 2 draws frames of part 1's plan)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
plan=$build/tools/quillmere-plan
render=$build/tools/quillmere-render
for programma in parallel vips /usr/bin/time; do
    command -v "$programma" >/dev/null || { echo "piano-bench: $programma is missing" >&2; exit 1; }
done
if [ -n "${2:-}" ]; then
    lavoro=$(realpath "$2")
    mkdir -p "$lavoro"
else
    lavoro=$(mktemp -d)
    trap 'rm -rf "$lavoro"' EXIT
fi
profondo=$PWD/samples/profondo.Quillmere
parti=" ${3:-1 2 3} "
parte() { [[ "$parti" == *" $1 "* ]]; }
secondi() { date +%s.%N; }
calcola() { awk "BEGIN { print $* }"; }

film=$lavoro/film
rm -rf "$film"
"$plan" movie "$profondo" "$film" --frames 120 --size 512x512 --width 1e-100 >/dev/null

corre() { # JOBS THREADS: draws the movie afresh; prints frames per minute and CPU seconds a frame
    rm -f "$film"/frames/*.png
    sed -i "s/--threads [0-9]*/--threads $2/" "$film/jobs.txt"
    (cd "$film" && /usr/bin/time -f "%e %U %S" -o "$lavoro/tempi.txt" parallel -j "$1" < jobs.txt >/dev/null)
    awk '{ print 120 * 60 / $1, ($2 + $3) / 120 }' "$lavoro/tempi.txt"
}

parte_film() {
    echo "== 1. 120 frames 512 x 512 to 10^-100 ($(nproc) cores, best of 3 each, taking turns)"
    local -A fpm cpu
    local giro modo f c
    for giro in 1 2 3; do
        for modo in "1 1" "2 1" "1 $(nproc)"; do
            read -r f c < <(corre $modo)
            if [ "$(calcola "($f > ${fpm[$modo]:-0})")" = 1 ]; then
                fpm[$modo]=$f
                cpu[$modo]=$c
            fi
        done
    done
    printf '  parallel -j 1, 1 thread a job:  %6.1f frames/min,           %.3f s of CPU a frame\n' \
           "${fpm[1 1]}" "${cpu[1 1]}"
    printf '  parallel -j 2, 1 thread a job:  %6.1f frames/min  (x%.2f), %.3f s of CPU a frame\n' "${fpm[2 1]}" \
           "$(calcola "${fpm[2 1]} / ${fpm[1 1]}")" "${cpu[2 1]}"
    printf '  parallel -j 1, %d threads a job: %6.1f frames/min  (x%.2f), %.3f s of CPU a frame\n' "$(nproc)" \
           "${fpm[1 $(nproc)]}" "$(calcola "${fpm[1 $(nproc)]} / ${fpm[1 1]}")" "${cpu[1 $(nproc)]}"
    echo "  (load average while it ran: $(cut -d' ' -f1-3 /proc/loadavg))"
}

parte_riferimenti() {
    echo "== 2. deep frames: the reference orbit against the whole frame (1 thread, best of 5)"
    local k parametri=()
    for k in 00020 00040 00060 00080 00100 00120; do
        parametri+=("$film/frames/f$k.png.Quillmere")
    done
    "$build/tools/misura-fotogrammi" --runs 5 "${parametri[@]}" | sed "s|^$film/frames/|  |"
}

parte_poster() {
    echo "== 3. a 16384 x 16384 poster of the default window in 16 x 16 tiles"
    local poster=$lavoro/poster memoria=$lavoro/memoria.txt inizio disegno unione
    rm -rf "$poster" "$memoria"
    "$plan" poster samples/default.Quillmere "$poster" --size 16384x16384 --tiles 16x16 >/dev/null
    inizio=$(secondi)
    (cd "$poster" && parallel -j "$(nproc)" /usr/bin/time -f %M -a -o "$memoria" bash -c {} < jobs.txt >/dev/null)
    disegno=$(calcola "$(secondi) - $inizio")
    inizio=$(secondi)
    /usr/bin/time -f %M -o "$lavoro/unione.txt" "$plan" join "$poster" >/dev/null
    unione=$(calcola "$(secondi) - $inizio")
    printf '  256 tiles drawn in %.1f s; largest job %d MiB\n' "$disegno" \
           "$(( $(sort -n "$memoria" | tail -1) / 1024 ))"
    printf '  joined by vips into a %d MiB PNG in %.1f s; quillmere-plan join with vips %d MiB\n' \
           "$(( $(stat -c %s "$poster/poster.png") / 1048576 ))" "$unione" "$(( $(cat "$lavoro/unione.txt") / 1024 ))"
    inizio=$(secondi)
    /usr/bin/time -f %M -o "$lavoro/tiff.txt" "$plan" join "$poster" --tiff >/dev/null
    printf '  joined into a tiled TIFF in %.1f s: %d MiB\n' "$(calcola "$(secondi) - $inizio")" \
           "$(( $(cat "$lavoro/tiff.txt") / 1024 ))"
}

parte 1 && parte_film
parte 2 && parte_riferimenti
parte 3 && parte_poster
exit 0
