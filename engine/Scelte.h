#pragma once

#include "Disegnatori.h"
#include "Frattali.h"

// How a document's choices of formula and drawing method become the objects
// of a drawing.

inline const CFrattale &FrattaleDaScelta(int8_t scelta, const Mandelbrot &m, const Julia &j, const VolterraLotka &v)
{
    if (scelta == 0)
        return m;
    if (scelta == 1)
        return j;
    return v;
}

inline CDisegnatore &DisegnatoreDaScelta(int8_t scelta, MetodoPuntoPunto &punto, MetodoBlocco &blocco)
{
    if (scelta == 0)
        return punto;
    return blocco;
}
