#pragma once

#include "FileParametri.h"

#include <cstdint>
#include <vector>

// The one place that drives the engine: everything else of the check knows
// only the settings of a picture and the counts drawn for them.

// What the engine drew for a picture: every pixel's iteration count, row
// after row (the limit for a pixel drawn as interior), and whether it drew
// the picture in 80 bits, whose pixels' points are then those of the
// drawing method's 80-bit steps (PuntiPixel.h) rather than the exact ones.
struct CDisegnoMotore
{
    std::vector<int32_t> Conteggi;
    bool OttantaBit = true;
};

// Draws par (formula, Julia's constant, method, window, size and limit) as
// the program does, on fili threads (0: one per core), with iteration counts
// for colours. Throws CErrore where the program's drawing would.
CDisegnoMotore ConteggiDelMotore(const CParametri &par, int32_t fili);
