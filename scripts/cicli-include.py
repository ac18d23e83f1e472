#!/usr/bin/env python3
"""Fails when the program's source files include one another round a circle.

A unit is a header with the source file of the same name beside it (A.h and
A.cpp): the unit A depends on the unit B when either file of A includes B.h.
Quoted includes are resolved by name among the project's folders, as the
build's include paths resolve them. Prints every circle found, shortest
first, and exits 1; exits 0 when there is none.

    scripts/cicli-include.py [ROOT]
"""

import os
import re
import sys

CARTELLE = ("engine", "deep", "colour", "render", "ui", "app", "tools")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
ESTENSIONI = (".h", ".cpp")


def unita(radice):
    """The units of the source folders: name -> the files that make it."""
    trovate = {}
    for cartella in CARTELLE:
        base = os.path.join(radice, cartella)
        for sopra, _, file in os.walk(base):
            for nome in file:
                radice_nome, estensione = os.path.splitext(nome)
                if estensione in ESTENSIONI:
                    trovate.setdefault(radice_nome, []).append(os.path.join(sopra, nome))
    return trovate


def dipendenze(trovate):
    """Unit -> the units whose headers its files include."""
    grafo = {}
    for nome, file in trovate.items():
        archi = set()
        for percorso in file:
            with open(percorso, encoding="utf-8", errors="replace") as f:
                for incluso in INCLUDE.findall(f.read()):
                    altro = os.path.splitext(os.path.basename(incluso))[0]
                    if altro != nome and altro in trovate:
                        archi.add(altro)
        grafo[nome] = archi
    return grafo


def cicli(grafo):
    """Every elementary circle through each strongly connected part, at most one per starting unit."""
    trovati = []
    for inizio in sorted(grafo):
        # The shortest way back to the start, breadth first.
        precedente = {inizio: None}
        coda = [inizio]
        chiuso = None
        while coda and chiuso is None:
            prossima = []
            for u in coda:
                for v in sorted(grafo[u]):
                    if v == inizio:
                        chiuso = u
                        break
                    if v not in precedente:
                        precedente[v] = u
                        prossima.append(v)
                if chiuso is not None:
                    break
            coda = prossima
        if chiuso is not None:
            giro = [chiuso]
            while precedente[giro[-1]] is not None:
                giro.append(precedente[giro[-1]])
            giro.reverse()
            if min(giro) == inizio:  # each circle once, from its first unit
                trovati.append(giro)
    return sorted(trovati, key=len)


def main():
    radice = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    grafo = dipendenze(unita(radice))
    trovati = cicli(grafo)
    for giro in trovati:
        print("include circle: " + " -> ".join(giro + [giro[0]]))
    return 1 if trovati else 0


if __name__ == "__main__":
    sys.exit(main())
