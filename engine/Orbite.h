#pragma once

#include <cstdint>

// One orbit of z <- z^2 + k: the starting value in, the final value and the
// steps out. The layout is the one the x87 routine reads and writes.
struct alignas(16) COrbita
{
    long double zr = 0.0L;
    long double zi = 0.0L;
    long double kr = 0.0L;
    long double ki = 0.0L;
    int32_t n = 0;
};

// Iterates every orbit of the batch exactly as Mandelbrot and Julia iterate
// one point: while n < max and the squared modulus before the step is below 4.
// Does nothing for max <= 0 (no step: z stays, n = 0).
void IteraLotto(COrbita *orbite, int32_t quante, int32_t max);
