#pragma once

#include "Complesso.h"

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
