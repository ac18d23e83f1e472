#pragma once

#include "Complesso.h"
#include "Reale.h"

#include <cstdint>

// The zoom rectangle that a drag draws over a picture: centred on the press
// point, full width and height in pixels; 5 x 5 at the press.
struct CSelezione
{
    int32_t X = 0;
    int32_t Y = 0;
    int32_t Larghezza = 5;
    int32_t Altezza = 5;
    // From the press to the release.
    bool InSelezione = false;

    // Grows the rectangle for the pointer at (x, y) on a W x H picture: it
    // keeps the picture's proportions, takes the larger of the two pointer
    // distances and is at least 10 x 10.
    void Ridimensiona(int32_t x, int32_t y, int32_t W, int32_t H);
};

// The window of the plane under the rectangle, for a picture of W x H pixels
// showing the window Min .. Max; computed in 80 bits in a fixed order.
void FinestraDaSelezione(const CSelezione &sel, const Complesso &Min, const Complesso &Max, int32_t W, int32_t H,
                         Complesso &nuovoMin, Complesso &nuovoMax);

// The same for a window held at full precision. While a W x H picture of it
// is drawn in 80 bits (Profondita.h) this is the 80-bit conversion above, on
// the corners rounded to 80 bits, and gives corners of 64 bits. Past that it
// is the same formula in exact arithmetic, where it comes to
//   new x2 = x1 + (X + hw) (x2 - x1) / W,   new x1 = x1 + (X - hw) (x2 - x1) / W,
//   new y2 = y2 - (Y - hh) (y2 - y1) / H,   new y1 = y2 - (Y + hh) (y2 - y1) / H,
// each corner that exact value rounded once, to nearest, to a precision whose
// last bit is at most 2^-32 of a pixel of a 65536 x 65536 picture of the
// new window.
void FinestraEsattaDaSelezione(const CSelezione &sel, const CComplessoAlto &Min, const CComplessoAlto &Max, int32_t W,
                               int32_t H, CComplessoAlto &nuovoMin, CComplessoAlto &nuovoMax);
