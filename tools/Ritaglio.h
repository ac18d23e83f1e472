#pragma once

#include "FileParametri.h"

#include <QImage>
#include <QRect>

#include <cstdint>

// A part of a picture, drawn on its own: the pixels of a rectangle of the
// picture that a parameters file describes at its full size, each computed
// exactly as the point-by-point method computes it when it draws the whole
// picture. Tiles drawn this way put together the whole picture, pixel for
// pixel, whatever the window's arithmetic: an 80-bit point comes from the
// same additions along its row from X Min and the same product for its row
// (the sums that a tile's own window would start from differ in their last
// bits unless they happen to be exact), and a point past 80 bits from the
// whole picture's reference orbit and its offset from the centre pixel.
// The memory is that of the part, and of the whole picture's reference orbit
// when it is deep.

// Draws the pixels `parte` of the picture of parametri (its size is
// parametri's own) on `fili` threads (0: one per processor core) into
// figura, a true-colour picture of parte's size. The rectangle must lie
// inside the picture. Throws CErrore when the picture or the reference orbits
// cannot be allocated.
void DisegnaRitaglio(const CParametri &parametri, const QRect &parte, int32_t fili, QImage &figura);
