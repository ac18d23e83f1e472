#pragma once

#include "Frattali.h"
#include "Orbite.h"

#include <cstdint>

class CAreaDisegno;
class CSpecchio;

// The imaginary part that a row of points shares, split into doubles once
// for all of them.
struct CImmaginaria
{
    explicit CImmaginaria(long double im) : Valore(im), Divisa(DividiInDouble(im, Parti)) {}

    long double Valore;
    double Parti[2];
    bool Divisa;
};

// The points a drawing method hands its calculator at once: each one's
// pixel and its point in 80 bits (the imaginary part shared with its row,
// which must outlive the batch). Metti makes no call, so that a loop handing
// in points keeps its values in registers.
struct CLotto
{
    static constexpr int32_t Capienza = 256;

    struct CVoce
    {
        long double Re;
        const CImmaginaria *Im;
        int32_t X;
        int32_t Y;
    };

    bool Pieno() const { return Quanti == Capienza; }
    void Metti(long double re, const CImmaginaria &im, int32_t x, int32_t y)
    {
        Voci[Quanti] = {re, &im, x, y};
        ++Quanti;
    }

    int32_t Quanti = 0;
    CVoce Voci[Capienza];
    // Added up over the batches of a row: the steps the cycle check spared,
    // and the points taken from their mirror images.
    uint64_t PassiRisparmiati = 0;
    uint64_t PuntiRiflessi = 0;
};

// Computes the points that a drawing method hands it, a batch at a time, and
// stores each one's colour at its pixel: the drawing methods decide which
// pixels are computed, the calculator how. One calculator serves every
// thread of a drawing.
class CCalcolatore
{
public:
    // Once per drawing, on the drawing's thread, before its first point;
    // false when the drawing was stopped meanwhile.
    virtual bool Inizia(CAreaDisegno &area) = 0;
    // Whether the drawing may take points from their mirror images (Specchio.h).
    virtual bool AmmetteSpecchio() const = 0;
    // Computes every point of the batch, stores its colour and empties the
    // batch; false when the drawing was stopped in the middle (nothing more
    // is stored then). specchio: null when the drawing has no mirror images.
    virtual bool Calcola(CAreaDisegno &area, CLotto &lotto, CSpecchio *specchio) const = 0;

protected:
    CCalcolatore() = default;
    CCalcolatore(const CCalcolatore &) = default;
    CCalcolatore &operator=(const CCalcolatore &) = default;
    ~CCalcolatore() = default;
};

// The calculator of the 80-bit drawings. For the formulas z <- z^2 + k
// (Mandelbrot, Julia) the orbits run two or three at a time on the x87 stack;
// the others, and a point that no pair of doubles holds, go one by one
// through the formula's own loop. Every point gets exactly the count and the
// final value that the formula's Itera gives. Long orbits pass the area's
// checkpoint as they go, so that a drawing can be parked or stopped in the
// middle of a pixel.
class CCalcolatore80 final : public CCalcolatore
{
public:
    bool Inizia(CAreaDisegno &area) override;
    bool AmmetteSpecchio() const override { return true; }
    bool Calcola(CAreaDisegno &area, CLotto &lotto, CSpecchio *specchio) const override;

private:
    TipoFormula Tipo = TipoFormula::Altra;
    bool Lotti = false;    // orbits by batches on the x87 stack
    bool Costante = false; // Julia's, split into doubles; Mandelbrot adds the point itself
    double CostanteRe[2] = {0.0, 0.0};
    double CostanteIm[2] = {0.0, 0.0};
};

// The colour of the pixel that an iterated point stands for.
int32_t ColoreDi(const CAreaDisegno &area, const CPunto &p);
