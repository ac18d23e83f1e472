#pragma once

#include "AreaDisegno.h"

#include <cstdint>

// Drawing past 80 bits, by perturbation. A drawing computes one reference
// orbit in high precision (MPFR) and, for every pixel, only the pixel's
// difference from it, in 80-bit reals:
//   Z + dz -> (Z + dz)^2 + c + dc   gives   dz -> (2 Z + dz) dz + dc
// (no dc for Julia, whose constant is the same for every pixel). A pixel's
// full value is Z + dz. When it comes closer to 0 than its difference, or
// the reference orbit ends (it escaped) before the pixel, the pixel rebases:
// its difference becomes its full value, taken from step 0 of an orbit that
// starts at 0 (Mandelbrot's own reference, Julia's orbit of 0).

// True when the drawing that the area's settings describe goes past 80 bits:
// the area has a full-precision window past the 80-bit threshold for its size
// (Profondita.h), its formula is Mandelbrot or Julia and its limit is above
// 0. Volterra-Lotka is always drawn in 80 bits.
bool DisegnoProfondo(const CAreaDisegno &area);

// The room the reference orbits of such a drawing take: steps per orbit, and
// orbits (Julia starts its pixels on the orbit of the window's centre and
// rebases them onto the orbit of 0).
int64_t PassiRiferimento(const CAreaDisegno &area);
int32_t OrbiteRiferimento(const CAreaDisegno &area);

// The first thing a drawing does. When it goes past 80 bits, computes its
// reference orbits into the room that PreparaBuffer reserved (CErrore with
// the buffer message when there is not enough), passing the area's checkpoint
// at every step, and marks the area's reference ready; otherwise marks it
// unused, so that the drawing is the 80-bit one. False when the drawing was
// stopped meanwhile.
bool CalcolaRiferimento(CAreaDisegno &area);

// Pixel (x, y) of a drawing whose reference is ready, computed alone: p gets
// the pixel's point rounded to 80 bits, its count and its final full value.
// Every pixel of the drawing is exactly this. False when the drawing was
// stopped meanwhile.
bool IteraPixelProfondo(const CAreaDisegno &area, int32_t x, int32_t y, CPunto &p);

// The point calculator of a drawing past 80 bits, with the contract of the
// 80-bit one: Metti hands in pixel (x, y), whose difference from the
// reference point comes from its column and row alone (so that a pixel does
// not depend on the drawing method); Svuota computes every pixel handed in
// (two at a time where the processor allows) and stores its colour, and must
// be called whenever Pieno says so and once the last pixel is in. A drawing
// stopped in the middle of a long orbit stores nothing more.
class CCalcoloProfondo
{
public:
    explicit CCalcoloProfondo(CAreaDisegno &area) : Area(area) {}

    bool Pieno() const { return Quanti == Capienza; }
    void Metti(int32_t x, int32_t y)
    {
        Pixel[Quanti] = {x, y};
        ++Quanti;
    }
    void Svuota();

private:
    static constexpr int32_t Capienza = 64;
    struct CPixel
    {
        int32_t x;
        int32_t y;
    };

    CAreaDisegno &Area;
    int32_t Quanti = 0;
    CPixel Pixel[Capienza];
};
