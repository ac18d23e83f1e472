#!/usr/bin/env bash
# A zoom movie on real engines: 24 frames from the default window down to
# 10^-40 around a boundary point (the sample's Misiurewicz point), drawn by
# GNU parallel two jobs at a time, are the frames drawn one by one; ffmpeg
# makes a movie of them that ffprobe reads back with 24 frames. Then what keeps
# a plan safe: a job killed halfway leaves no picture and no scrap of one, and
# two runners at once complete a half-drawn plan with every picture whole.
#
# prova_film.sh QUILLMERE_PLAN QUILLMERE_RENDER SOURCE_DIR
set -euo pipefail
plan=$1
render=$2
sorgenti=$3

for programma in parallel ffmpeg ffprobe; do
    if ! command -v "$programma" >/dev/null; then
        echo "prova_film: $programma is missing (scripts/dipendenze.sh installs it)" >&2
        exit 1
    fi
done
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
piano=$dir/film

"$plan" movie "$sorgenti/samples/profondo.Quillmere" "$piano" --frames 24 --size 64x48 --width 1e-40 >/dev/null
(cd "$piano" && parallel -j 2 --joblog joblog.txt < jobs.txt >/dev/null)
[ "$(awk 'NR > 1 && $7 == 0' "$piano/joblog.txt" | wc -l)" -eq 24 ] || { echo "not every job succeeded" >&2; exit 1; }

# The same frames one by one, on every core.
mkdir "$dir/uno"
for parametri in "$piano"/frames/*.png.Quillmere; do
    "$render" "$parametri" "$dir/uno/$(basename "$parametri" .Quillmere)" >/dev/null
done
confronta() {
    [ "$(ls "$dir/uno" | wc -l)" -eq 24 ] || { echo "not 24 frames drawn one by one" >&2; exit 1; }
    for figura in "$dir"/uno/*.png; do
        cmp "$figura" "$piano/frames/$(basename "$figura")"
    done
    # Every picture with its parameters file, and nothing else.
    [ "$(ls -A "$piano/frames" | wc -l)" -eq 48 ] || { ls -A "$piano/frames" >&2; exit 1; }
}
confronta
# A zoom: its frames differ.
[ "$(md5sum "$dir"/uno/*.png | cut -d' ' -f1 | sort -u | wc -l)" -ge 20 ] || { echo "frames alike" >&2; exit 1; }

"$plan" join "$piano" --fps 24 >/dev/null
lettura=$(ffprobe -v error -count_frames -select_streams v:0 \
          -show_entries stream=codec_name,width,height,nb_read_frames -of csv=p=0 "$piano/movie.mp4")
[ "$lettura" = "h264,64,48,24" ] || { echo "ffprobe read: $lettura" >&2; exit 1; }

# Two runners at once over a plan with every other frame missing.
rm "$piano"/frames/f0000[13579].png "$piano"/frames/f0001[13579].png "$piano"/frames/f0002[13].png
(cd "$piano" && parallel -j 2 < jobs.txt >/dev/null) &
primo=$!
(cd "$piano" && parallel -j 2 < jobs.txt >/dev/null)
wait "$primo"
confronta

# A job killed while it draws: a frame of several seconds' work on one thread.
lungo=$dir/lungo
"$plan" movie "$sorgenti/samples/profondo.Quillmere" "$lungo" --frames 1 --size 3000x3000 >/dev/null
cd "$lungo"
bash -c "exec $(head -1 jobs.txt)" >/dev/null &
lavoro=$!
sleep 1
kill -KILL "$lavoro" || { echo "the job ended before it could be killed" >&2; exit 1; }
wait "$lavoro" || true
[ "$(ls -A frames)" = "f00001.png.Quillmere" ] || { ls -A frames >&2; exit 1; }
echo "24 frames through parallel as drawn one by one; movie of 24 frames; safe to kill and to run twice"
