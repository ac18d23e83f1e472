#pragma once

#include "FileParametri.h"

#include <cstddef>
#include <vector>

// The settings a document has drawn, in the order drawn, and where the user
// stands among them: back and forward step through them as a browser's
// buttons do. A drawing of new settings after a step back drops the ones
// ahead. The picture size plays no part: the same settings drawn at another
// size are the same entry.
class CCronologia
{
public:
    // The oldest entries go beyond this many.
    static constexpr size_t Massimo = 200;

    // A drawing of these settings: they become the entry after the current
    // one, the entries ahead dropped, unless they are the current entry's.
    void Registra(const CParametri &parametri);

    bool PuoIndietro() const { return Attuale > 0; }
    bool PuoAvanti() const { return Attuale + 1 < Voci.size(); }
    // The entry one step back or forward, which becomes the current one;
    // null, and nothing moves, when there is none.
    const CParametri *Indietro();
    const CParametri *Avanti();

    size_t Numero() const { return Voci.size(); }
    // The current entry's index; 0 while there is none.
    size_t Posizione() const { return Attuale; }

private:
    std::vector<CParametri> Voci;
    size_t Attuale = 0;
};

// Whether two settings draw the same picture at the same size: the window,
// the limit, the four choices and the formulas' parameters (not the size).
bool StesseImpostazioni(const CParametri &a, const CParametri &b);
