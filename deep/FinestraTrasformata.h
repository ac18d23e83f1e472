#pragma once

#include "Reale.h"

#include <cstdint>

// Windows of the plane made from another one without leaving exact
// arithmetic: the zoom about a point of the picture, the move by a part of
// the window, the window widened to a picture of other proportions.
//
// Each new coordinate is a fixed combination (A lo + B hi) / D of the old
// pair: lo, hi are X Min, X Max for the real parts and Y Min, Y Max for the
// imaginary ones. The sum A lo + B hi is exact, and the quotient is rounded
// once, to nearest:
//  - to 64 bits (an 80-bit value, as every window drawn in 80 bits has) when
//    a W x H picture of the new window is drawn in 80 bits (Profondita.h);
//  - past that, to a precision whose last bit is at most 2^-32 of a pixel of
//    a 65536 x 65536 picture of the new window, as a zoom by a drag gives.
// So the deep window of a zoom keeps every digit it needs at any depth, and
// a window that comes back to the 80-bit side has 80-bit corners again.

struct CCombinazione
{
    int64_t A = 0;
    int64_t B = 0;
    int64_t D = 1;
};

struct CTrasformazione
{
    CCombinazione XMin;
    CCombinazione XMax;
    CCombinazione YMin;
    CCombinazione YMax;
};

enum class EsitoFinestra
{
    Fatta,
    // The new corners would need more significant digits than a parameters
    // file holds (MassimoCifre): deeper than the program draws.
    OltreIlLimite,
    // A corner would lie beyond LimiteAmpiezza: far outside every picture
    // the formulas draw.
    TroppoAmpia,
};

// The largest magnitude a corner of a window made here may have.
inline constexpr long double LimiteAmpiezza = 0x1p32L;

// The new window for a picture of W x H pixels (at least 1 x 1); nuovoMin
// and nuovoMax may be Min and Max themselves. Anything but Fatta leaves them
// alone.
EsitoFinestra FinestraTrasformata(const CComplessoAlto &Min, const CComplessoAlto &Max, const CTrasformazione &t,
                                  int32_t W, int32_t H, CComplessoAlto &nuovoMin, CComplessoAlto &nuovoMax);

// The zoom of a W x H picture by 2^passi (positive: closer, the window that
// many times halved; negative: farther) about the point of pixel (X, Y),
// which stays where it is: the point x1 + X (x2 - x1) / W, y2 - Y (y2 - y1) / H
// keeps its pixel, as a drag's centre maps it. |passi| is at most 16.
CTrasformazione ZoomAttorno(int32_t X, int32_t Y, int32_t W, int32_t H, int passi);

// The window moved by quartiX quarters of its width to the right and quartiY
// quarters of its height upwards (negative: left, down).
CTrasformazione Spostamento(int quartiX, int quartiY);

// The window of a w0 x h0 picture widened, about its centre, for a picture
// of W x H pixels: the new picture shows all of the old one, its pixels in
// the old proportions, and more of the plane along the side that the new
// proportions lengthen.
CTrasformazione Ampliamento(int32_t w0, int32_t h0, int32_t W, int32_t H);
