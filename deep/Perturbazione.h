#pragma once

#include "AreaDisegno.h"
#include "Calcolatore.h"
#include "FileParametri.h"
#include "Riferimento.h"

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

// True when a drawing of the window f with that formula on a W x H picture
// goes past 80 bits: the window is past the 80-bit threshold for its size
// (Profondita.h), the formula is Mandelbrot or Julia and the limit is above
// 0. Volterra-Lotka is always drawn in 80 bits.
bool DisegnoProfondo(const CBloccoFinestra &f, const CFrattale &formula, int32_t W, int32_t H);

// The calculator of the drawings past 80 bits. Every pixel's difference from
// the reference point comes from its column and row alone, so that a pixel
// does not depend on the drawing method, nor on the thread that computes it
// (two at a time where the processor allows, each bit for bit as if alone).
// A drawing stopped in the middle of a long orbit stores nothing more.
class CCalcolatoreProfondo final : public CCalcolatore
{
public:
    // Ready for a drawing of the window f with that formula on a W x H
    // picture: reserves the room of its reference orbits, so that a drawing
    // whose orbits cannot be held is refused before anything changes. Throws
    // CErrore with the buffer message, changing nothing, when that room
    // cannot be had. The same drawing as the last one keeps its orbits.
    void Prepara(const CBloccoFinestra &f, const CFrattale &formula, int32_t W, int32_t H);
    // Gives the room back.
    void Libera();

    // Computes the reference orbits, passing the area's checkpoint at every
    // step; false when the drawing was stopped meanwhile.
    bool Inizia(CAreaDisegno &area) override;
    bool AmmetteSpecchio() const override { return SpecchioAmmesso; }
    bool Calcola(CAreaDisegno &area, CLotto &lotto, CSpecchio *specchio) const override;

    // Pixel (x, y) of a drawing whose reference is ready, computed alone: p
    // gets the pixel's point rounded to 80 bits, its count and its final full
    // value. Every pixel of the drawing is exactly this. False when the
    // drawing was stopped meanwhile.
    bool IteraPixel(const CAreaDisegno &area, int32_t x, int32_t y, CPunto &p) const;

    // The reference orbits and what the pixels need besides.
    CRiferimento Riferimento;

private:
    // What a drawing's reference orbits depend on: the window (its corners to
    // 2^-32 of a pixel), the picture's size, the formula and its constant,
    // the leaps.
    struct CChiave
    {
        CBloccoFinestra Finestra;
        int32_t W = 0;
        int32_t H = 0;
        TipoFormula Tipo = TipoFormula::Altra;
        Complesso Costante;
        bool Salti = true;

        bool operator==(const CChiave &altra) const;
    };
    CChiave Chiave;
    bool SpecchioAmmesso = false;
};
