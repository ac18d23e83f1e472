#pragma once

#include "FileParametri.h"
#include "Reale.h"

#include <cstdint>

// The windows of the pictures of a plan (the frames of a zoom movie, the
// tiles of a poster), computed in the program's high-precision arithmetic.
// A window comes back rounded once from its exact value: to 80-bit corners
// (64 bits) while a picture of it at its size is drawn in 80 bits, else to
// the precision whose last bit is at most 2^-32 of a pixel of that picture,
// as the parameters file then writes it.

// The window of the pixels x0 .. x0 + w - 1 and rows y0 .. y0 + h - 1 of the
// picture of f at its own size (f.Larghezza x f.Altezza, row 0 at the top),
// sized w x h with f's limit. Its corners are the exact values
//   ((W - x) x1 + x x2) / W   for the columns x0 and x0 + w,
//   ((H - y) y2 + y y1) / H   for the rows y0 + h and y0,
// each rounded once. The rectangle must lie inside the picture.
CBloccoFinestra SottoFinestra(const CBloccoFinestra &f, int32_t x0, int32_t y0, int32_t w, int32_t h);

// The width of a window, exactly.
CReale LarghezzaFinestra(const CBloccoFinestra &f);

// The window centred on f's centre, `larghezza` wide and as high as square
// pixels make it on a picture of W x H (larghezza H / W), sized W x H with
// f's limit.
CBloccoFinestra FinestraCentrata(const CBloccoFinestra &f, const CReale &larghezza, int32_t W, int32_t H);

// Frame k (0 .. n - 1) of a zoom of n frames that starts `larghezza0` wide
// and ends on `fine`: the window centred on fine's centre with fine's
// proportions whose width is larghezza0 (w / larghezza0)^(k / (n - 1)), w
// the width of fine: each frame narrower than the one before by the same
// factor. The last frame is fine itself, corner for corner; every frame is
// sized W x H with fine's limit.
CBloccoFinestra FinestraFotogramma(const CReale &larghezza0, const CBloccoFinestra &fine, int32_t k, int32_t n,
                                   int32_t W, int32_t H);

// The frames of a zoom from larghezza0 down to fine's width at `perDimezzamento`
// frames each time the width halves: 1 + ceil(perDimezzamento log2(larghezza0 / w)),
// and at least 1 (also for a zoom outwards: its factor in place of the quotient).
int64_t FotogrammiPerDimezzamento(const CReale &larghezza0, const CBloccoFinestra &fine, double perDimezzamento);
