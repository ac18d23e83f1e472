#pragma once

#include "Reale.h"

#include <cstdint>

// How deep a window is, for a picture of W x H pixels.
//
// A picture is drawn in 80 bits while its pixel spacing, the smaller of
// (XMax - XMin) / W and (YMax - YMin) / H, is at least 2^-60 of the largest
// magnitude of its corners: neighbouring points are then at least 8 units of
// the last place apart, so rounding a point to 80 bits moves it by at most a
// sixteenth of a pixel. Below that the pixels' points crowd onto the 80-bit
// grid, and the picture needs more digits than 80 bits hold.

// True when the window Min .. Max is past the 80-bit threshold for a W x H
// picture. An empty window, or one with a side of no width, is not.
bool Oltre80Bit(const CComplessoAlto &Min, const CComplessoAlto &Max, int32_t W, int32_t H);

// A precision, a multiple of 64 of at least 128 bits, whose last bit is at
// most 2^-margine of the pixel spacing of a W x H picture of the window,
// for every corner. For an empty window, that of its most precise corner.
mpfr_prec_t PrecisioneFinestra(const CComplessoAlto &Min, const CComplessoAlto &Max, int64_t W, int64_t H,
                               int margine);

// For a Julia drawing: true when its pixels' points are apart enough for 80
// bits, but the orbit squares their differences below what 80 bits resolve.
// That happens where the pixels straddle the critical point 0 (a window
// around 0, or around a point whose orbit passes 0 closer than the pixels'
// spread): there z^2 turns differences of d into differences of d^2. The
// orbit of the window's centre tells, followed in 80 bits with the spread of
// the pixels around it, for at most the limit's steps (and 10000).
bool JuliaOltre80Bit(const CComplessoAlto &Min, const CComplessoAlto &Max, int32_t W, int32_t H, const Complesso &k,
                     int32_t limite);
