#!/usr/bin/env bash
# Checks the type of the parameters files as the desktop reads it: well-formed
# XML that update-mime-database takes without a complaint, giving *.Quillmere
# files the type application/x-quillmere-parametri, a kind of text.
# Usage: prova_mime.sh MIME_XML
set -euo pipefail

xml=$1
tipo=application/x-quillmere-parametri
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

xmllint --noout "$xml"
mkdir -p "$tmp/mime/packages"
cp "$xml" "$tmp/mime/packages/"
# (In the search path, so that it has no note to add about it.)
XDG_DATA_HOME=$tmp XDG_DATA_DIRS=$tmp update-mime-database "$tmp/mime" 2>"$tmp/errori"
if [ -s "$tmp/errori" ]; then
    cat "$tmp/errori"
    echo "FAIL: update-mime-database complained"
    exit 1
fi
grep -qi "^[0-9]*:$tipo:\*\.quillmere$" "$tmp/mime/globs2" || { cat "$tmp/mime/globs2"; echo "FAIL: no glob *.Quillmere"; exit 1; }
grep -qx "$tipo text/plain" "$tmp/mime/subclasses" || { echo "FAIL: not a kind of text/plain"; exit 1; }
[ -f "$tmp/mime/$tipo.xml" ] || { echo "FAIL: $tipo.xml not made"; exit 1; }
echo "The type of the parameters files is sound"
