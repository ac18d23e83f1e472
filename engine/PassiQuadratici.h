#pragma once

#include <cstdint>

// The steps of z <- z^2 + k from z = (zr, zi), as Mandelbrot and Julia take
// them: while fewer than max steps are done and the squared modulus before
// the last step is below 4. The bailout thus looks at the value before the
// step just done, and the final z is one step past the first value of
// modulus 2 or more. Returns the steps done; (zr, zi) becomes the final z.
inline int32_t PassiQuadratici(long double &zr, long double &zi, long double kr, long double ki, int32_t max)
{
    long double m = 0.0L;
    int32_t n = 0;
    while (n < max && m < 4.0L) {
        const long double x2 = zr * zr;
        const long double y2 = zi * zi;
        const long double nr = (x2 - y2) + kr;
        const long double ni = (zr * 2.0L) * zi + ki;
        m = x2 + y2;
        zr = nr;
        zi = ni;
        ++n;
    }
    return n;
}
