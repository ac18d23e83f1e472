#!/usr/bin/env bash
# Makes the Debian package of a build with cpack, unpacks it into a scratch root
# and checks what a user installing it gets: the programs, the launcher, the
# icon, the metainfo and the manual page, and a Depends line that names the
# package of every library the programs load.
# Usage: prova_pacchetto.sh BUILD_DIR SOURCE_DIR WITH_DESKTOP_PROGRAM(0|1)
set -euo pipefail

build=$1
sorgente=$2
con_programma=$3
id=io.github.quillmere.Quillmere

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
errori=0
errore() {
    echo "FAIL: $*"
    errori=$((errori + 1))
}

if ! cpack -G DEB -B "$tmp/pacchetti" --config "$build/CPackConfig.cmake" >"$tmp/cpack.log" 2>&1; then
    cat "$tmp/cpack.log"
    echo "FAIL: cpack"
    exit 1
fi
shopt -s nullglob
deb=("$tmp"/pacchetti/quillmere_*.deb)
if [ ${#deb[@]} -ne 1 ]; then
    ls -l "$tmp/pacchetti"
    echo "FAIL: expected one quillmere_*.deb"
    exit 1
fi
deb=${deb[0]}
echo "Package: $(basename "$deb")"
dpkg-deb -I "$deb"

# The control fields.
campo() { dpkg-deb -f "$deb" "$1"; }
[ "$(campo Package)" = quillmere ] || errore "Package is '$(campo Package)'"
[ "$(campo Version)" = 0.9 ] || errore "Version is '$(campo Version)'"
[ "$(campo Section)" = graphics ] || errore "Section is '$(campo Section)'"
[ "$(campo Architecture)" = "$(dpkg --print-architecture)" ] || errore "Architecture is '$(campo Architecture)'"
[[ "$(campo Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || errore "Maintainer is '$(campo Maintainer)'"
[ -n "$(campo Description)" ] || errore "no Description"

# The package names in Depends, alternatives included.
depends=$(campo Depends || true)
[ -n "$depends" ] || errore "no Depends"
dipendenze=" $(tr ',|' '\n\n' <<<"$depends" | sed -E 's/\(.*\)//; s/:[a-z0-9]+$//; s/[[:space:]]//g' | tr -s '\n' ' ') "
echo "Depends names:$dipendenze"
attese=(libc6 libstdc++6 libqt6core6 libqt6gui6)
[ "$con_programma" = 1 ] && attese+=(libqt6widgets6)
for p in "${attese[@]}"; do
    [[ "$dipendenze" == *" $p "* ]] || errore "Depends lacks $p"
done

# apt accepts it, and finds everything it depends on.
if ! apt-get install --simulate --no-install-recommends "$deb" >"$tmp/apt.log" 2>&1; then
    cat "$tmp/apt.log"
    errore "apt-get cannot install the package"
fi

radice=$tmp/radice
dpkg-deb -x "$deb" "$radice"
usr=$radice/usr

# The files.
programmi=(quillmere-render quillmere-plan quillmere-bench)
if [ "$con_programma" = 1 ]; then
    programmi+=(quillmere)
fi
for p in "${programmi[@]}"; do
    [ -f "$usr/bin/$p" ] && [ -x "$usr/bin/$p" ] || errore "usr/bin/$p missing or not executable"
done
file_attesi=(
    "share/applications/$id.desktop"
    "share/metainfo/$id.metainfo.xml"
    "share/icons/hicolor/scalable/apps/$id.svg"
    "share/man/man1/quillmere-render.1.gz"
    "share/man/man1/quillmere-plan.1.gz"
    "share/mime/packages/$id.xml"
    "share/doc/quillmere/copyright"
)
for lato in 16 32 48 64 128 256; do
    file_attesi+=("share/icons/hicolor/${lato}x${lato}/apps/$id.png")
done
for f in "${file_attesi[@]}"; do
    [ -f "$usr/$f" ] || errore "usr/$f missing"
done
for manuale in "$usr"/share/man/man1/*.1.gz; do
    gzip -t "$manuale" || errore "$(basename "$manuale") is not a valid gzip file"
done
copyright=$usr/share/doc/quillmere/copyright
[ ! -f "$copyright" ] || grep -qx 'License: GPL-3.0-or-later' "$copyright" || errore "the copyright file names no GPL-3.0-or-later"
if [ -e "$radice/usr/local" ] || [ -e "$radice/usr/lib" ] || [ -e "$radice/usr/include" ]; then
    errore "the package holds more than programs and data: $(cd "$radice" && find usr -maxdepth 2 -type d | tr '\n' ' ')"
fi

# The launcher starts a program that the package holds, with an icon it holds,
# and takes the parameters files whose type the package declares.
desktop=$usr/share/applications/$id.desktop
if [ -f "$desktop" ]; then
    exec_riga=$(sed -n 's/^Exec=//p' "$desktop")
    comando=${exec_riga%% *}
    icona=$(sed -n 's/^Icon=//p' "$desktop")
    [ "$exec_riga" = "quillmere %F" ] || errore "Exec is '$exec_riga', not the program taking files"
    # TryExec names the program alone: anything more hides the launcher.
    [ "$(sed -n 's/^TryExec=//p' "$desktop")" = quillmere ] || errore "TryExec is not the bare program"
    grep -qx 'MimeType=application/x-quillmere-parametri;' "$desktop" || errore "the launcher takes no parameters files"
    grep -q 'type="application/x-quillmere-parametri"' "$usr/share/mime/packages/$id.xml" 2>/dev/null ||
        errore "the package declares no type for the parameters files"
    if [ "$con_programma" = 1 ]; then
        [ -x "$usr/bin/$comando" ] || errore "Exec names '$comando', which the package lacks"
    fi
    [ "$icona" = "$id" ] || errore "Icon is '$icona'"
fi

# The metainfo finds its launcher in the installed tree.
if ! appstreamcli validate-tree --no-net --strict "$radice" >"$tmp/appstream.log" 2>&1; then
    cat "$tmp/appstream.log"
    errore "appstreamcli validate-tree"
fi

# Every library that a program loads belongs to a package in Depends.
pacchetto_di() {
    local percorso=$1 vero candidato
    vero=$(readlink -f "$percorso")
    for candidato in "$percorso" "$vero" "${percorso#/usr}" "/usr$percorso" "${vero#/usr}" "/usr$vero"; do
        if dpkg-query -S "$candidato" 2>/dev/null | grep -v '^diversion' | head -n1 | cut -d: -f1 | grep .; then
            return 0
        fi
    done
    return 1
}
for p in "${programmi[@]}"; do
    eseguibile=$usr/bin/$p
    [ -x "$eseguibile" ] || continue
    mappa=$(ldd "$eseguibile")
    if grep -q 'not found' <<<"$mappa"; then
        errore "$p: $(grep 'not found' <<<"$mappa" | tr -s ' \t' ' ')"
    fi
    for libreria in $(objdump -p "$eseguibile" | awk '$1 == "NEEDED" { print $2 }'); do
        percorso=$(awk -v l="$libreria" '$1 == l && $2 == "=>" { print $3 }' <<<"$mappa")
        if [ -z "$percorso" ]; then
            errore "$p: $libreria not found"
            continue
        fi
        if ! proprietario=$(pacchetto_di "$percorso"); then
            errore "$p: no installed package holds $percorso"
            continue
        fi
        [[ "$dipendenze" == *" $proprietario "* ]] || errore "$p needs $libreria from $proprietario, which Depends lacks"
    done
done

# The packaged headless renderer runs and keeps the exit codes its manual page gives.
render=$usr/bin/quillmere-render
if [ -x "$render" ]; then
    stato=0
    "$render" >/dev/null 2>&1 || stato=$?
    [ "$stato" = 2 ] || errore "quillmere-render without arguments exits $stato, not 2"
    stato=0
    "$render" "$tmp/nessuno.Quillmere" "$tmp/nessuno.bmp" >/dev/null 2>&1 || stato=$?
    [ "$stato" = 1 ] || errore "quillmere-render on a missing file exits $stato, not 1"
    stato=0
    "$render" --threads 2 "$sorgente/samples/default.Quillmere" "$tmp/default.bmp" || stato=$?
    [ "$stato" = 0 ] || errore "quillmere-render on samples/default.Quillmere exits $stato"
    [ "$(head -c 2 "$tmp/default.bmp" 2>/dev/null)" = BM ] || errore "quillmere-render wrote no BMP"
fi

# The launcher's command starts the packaged program, which keeps running until
# its window is closed: still up after a few seconds, it is stopped here.
if [ "$con_programma" = 1 ] && [ -x "$usr/bin/quillmere" ]; then
    stato=0
    QT_QPA_PLATFORM=offscreen timeout 5 "$usr/bin/quillmere" >"$tmp/quillmere.log" 2>&1 || stato=$?
    if [ "$stato" != 124 ]; then
        cat "$tmp/quillmere.log"
        errore "the packaged quillmere ended by itself with status $stato"
    fi
fi

if [ "$errori" -ne 0 ]; then
    echo "$errori failed checks"
    exit 1
fi
echo "The package holds everything it should"
