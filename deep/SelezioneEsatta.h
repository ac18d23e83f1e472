#pragma once

#include "Reale.h"
#include "Selezione.h"

#include <cstdint>

// The window of the plane under a zoom rectangle (Selezione.h), for a
// window held at full precision. While a W x H picture of it
// is drawn in 80 bits (Profondita.h) this is FinestraDaSelezione on
// the corners rounded to 80 bits, and gives corners of 64 bits. Past that it
// is the same formula in exact arithmetic, where it comes to
//   new x2 = x1 + (X + hw) (x2 - x1) / W,   new x1 = x1 + (X - hw) (x2 - x1) / W,
//   new y2 = y2 - (Y - hh) (y2 - y1) / H,   new y1 = y2 - (Y + hh) (y2 - y1) / H,
// each corner that exact value rounded once, to nearest, to a precision whose
// last bit is at most 2^-32 of a pixel of a 65536 x 65536 picture of the
// new window. False, leaving the new corners alone, when they would need more
// significant digits than a parameters file holds (MassimoCifre): a window
// deeper than the program draws.
bool FinestraEsattaDaSelezione(const CSelezione &sel, const CComplessoAlto &Min, const CComplessoAlto &Max, int32_t W,
                               int32_t H, CComplessoAlto &nuovoMin, CComplessoAlto &nuovoMax);
