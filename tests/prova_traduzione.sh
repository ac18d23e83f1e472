#!/usr/bin/env bash
# Fails when a text of the program is missing from the English translation:
# lupdate reads the sources into a copy of the kept .ts file, which must come
# out with every text translated and none left over.
# Usage: prova_traduzione.sh LUPDATE TS_FILE SOURCES_LIST
set -euo pipefail

lupdate=$1
ts=$2
elenco=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

cp "$ts" "$tmp/copia.ts"
"$lupdate" -silent -locations none "@$elenco" -ts "$tmp/copia.ts"
errori=0
if grep -q 'type="unfinished"' "$tmp/copia.ts"; then
    echo "FAIL: texts without a translation (add them to $ts, e.g. cmake --build build --target update_translations):"
    grep -B1 'type="unfinished"' "$tmp/copia.ts" | grep '<source>'
    errori=1
fi
if grep -qE 'type="(vanished|obsolete)"' "$tmp/copia.ts"; then
    echo "FAIL: translations of texts the program no longer has:"
    grep -B1 -E 'type="(vanished|obsolete)"' "$tmp/copia.ts" | grep '<source>'
    errori=1
fi
if grep -qE '<translation>(</translation>)?$|<translation/>' "$tmp/copia.ts"; then
    echo "FAIL: empty translations"
    errori=1
fi
[ "$errori" = 0 ] && echo "Every text is translated"
exit "$errori"
