#pragma once

#include <cstdint>

// One orbit of z <- z^2 + k in flight: the running value and the constant.
// The layout is the one the x87 routine reads and writes.
struct alignas(16) COrbita
{
    long double zr = 0.0L;
    long double zi = 0.0L;
    long double kr = 0.0L;
    long double ki = 0.0L;
};

// Steps two orbits together, each exactly as Mandelbrot and Julia step one,
// until a step was made from a value of squared modulus 4 or more (or not a
// number) in either orbit, or passi (>= 1) steps are done. Returns the steps
// made; bit 0 of finite tells that a stopped by its modulus, bit 1 that b did.
int32_t IteraCoppia(COrbita &a, COrbita &b, int32_t passi, int32_t &finite);
