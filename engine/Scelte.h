#pragma once

#include "Coloratori.h"
#include "Disegnatori.h"
#include "Frattali.h"

// How a document's four small-integer choices become the objects of a drawing.

inline CFrattale &FrattaleDaScelta(int8_t scelta, Mandelbrot &m, Julia &j, VolterraLotka &v)
{
    if (scelta == 0)
        return m;
    if (scelta == 1)
        return j;
    return v;
}

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

inline CDisegnatore &DisegnatoreDaScelta(int8_t scelta, MetodoPuntoPunto &punto, MetodoBlocco &blocco)
{
    if (scelta == 0)
        return punto;
    return blocco;
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
