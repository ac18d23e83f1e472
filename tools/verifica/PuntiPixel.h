#pragma once

#include "FileParametri.h"
#include "Diretta.h"

#include <cstdint>

// The point of the plane each pixel of a picture stands for.

// Past 80 bits: pixel (j, i) of a W x H picture of the window Min .. Max
// stands for exactly (XMin + j (XMax - XMin) / W, YMax + i (YMin - YMax) / H).
CPuntoEsatto PuntoDelPixel(const CBloccoFinestra &f, int32_t j, int32_t i);

// In 80 bits: the point the drawing method (0 point by point, 1 block)
// computes for pixel (j, i) from the corners rounded to 80 bits, in the
// 80-bit arithmetic of its steps: the point method adds dx along a row from
// X Min, the block method adds its block's step and half steps.
Complesso PuntoOttantaBit(const CBloccoFinestra &f, int8_t metodo, int32_t j, int32_t i);
