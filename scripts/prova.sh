#!/usr/bin/env bash
# Installs what is missing, builds Quillmere and runs every test: once in the
# normal build, once under the address and undefined-behaviour sanitizers (that
# build iterates orbits with the portable C++ in place of the x87 assembly, so
# both are tested); then the suites that run drawing threads, deep drawings
# and the windows (which park the workers while a picture paints) included,
# under the thread sanitizer; and the fuzz targets over their corpora.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/dipendenze.sh
jobs="$(nproc)"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILLMERE_SANITIZE=ON -DQUILLMERE_PORTABLE=ON -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir build-asan --output-on-failure -j"$jobs"

cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLMERE_TSAN=ON -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
tsan=(tst_render tst_disegno tst_profondita tst_ui tst_disegno_ui tst_zoom_file tst_robustezza tst_memoria tst_lingua
      tst_navigazione)
cmake --build build-tsan -j"$jobs" --target "${tsan[@]}" quillmere-render
ctest --test-dir build-tsan --output-on-failure -j"$jobs" -R "^($(IFS='|'; echo "${tsan[*]}"))\$"

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLMERE_SANITIZE=ON -DQUILLMERE_FUZZ=ON
cmake --build build-fuzz -j"$jobs" --target fuzz_parametri fuzz_numeri fuzz_bitmap
ctest --test-dir build-fuzz --output-on-failure -L fuzz
