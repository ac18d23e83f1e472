#pragma once

#include "CicloOrbita.h"

#include <cstdint>

// The steps of z <- z^2 + k from z = (zr, zi), as Mandelbrot and Julia take
// them: while fewer than max steps are done and the squared modulus before
// the last step is below 4. The bailout thus looks at the value before the
// step just done, and the final z is one step past the first value of
// modulus 2 or more. Returns the steps done; (zr, zi) becomes the final z.
// A periodic orbit is cut short by the cycle check, with the same outcome.
inline int32_t PassiQuadratici(long double &zr, long double &zi, long double kr, long double ki, int32_t max,
                               const CSosta *sosta, CEsitoOrbita &esito)
{
    return OrbitaConCicli(
        zr, zi, max,
        [kr, ki](long double &x, long double &y) {
            const long double x2 = x * x;
            const long double y2 = y * y;
            const long double nr = (x2 - y2) + kr;
            const long double ni = (x * 2.0L) * y + ki;
            x = nr;
            y = ni;
            return x2 + y2 < 4.0L;
        },
        sosta, esito);
}

inline int32_t PassiQuadratici(long double &zr, long double &zi, long double kr, long double ki, int32_t max)
{
    CEsitoOrbita esito;
    return PassiQuadratici(zr, zi, kr, ki, max, nullptr, esito);
}
