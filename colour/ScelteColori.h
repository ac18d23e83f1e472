#pragma once

#include "Coloratori.h"

#include <cstdint>

// How a document's colouring choices become the colourers of a drawing.

inline CColoratoreInterno &InternoDaScelta(int8_t scelta, CInternoSolido &solido, CInternoLog &log)
{
    if (scelta == 0)
        return solido;
    return log;
}

inline CColoratoreEsterno &EsternoDaScelta(int8_t, CEsternoFasce &fasce)
{
    return fasce;
}

// The colour tables a document builds when it is created: bands from red
// towards green (the table's defaults), shading from red towards yellow.
inline void PreparaTabelleDocumento(CInternoLog &log, CEsternoFasce &)
{
    log.Tabella.ColoreIniziale = 0xFF;
    log.Tabella.Ricalcola();
    log.Tabella.ColoreFinale = 0xFFFF;
    log.Tabella.Ricalcola();
    log.Tabella.NumeroColori = 64;
    log.Tabella.Ricalcola();
}
