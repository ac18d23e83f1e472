#pragma once

#include "Reale.h"

#include <cstdint>

// The direct iteration of a pixel's point in high precision, the measure the
// engine's pictures are checked against. It iterates the program's formulas
// step by step as they are defined: z <- z^2 + k from z = c (k = c for
// Mandelbrot, Julia's constant otherwise), the escape test on the squared
// modulus before each step, the loop ending after the first step whose
// starting value has squared modulus 4 or more, or at the limit.
//
// Each value carries a bound of its distance from the orbit of the exact
// point (a ball): the rounding of the point to the working precision, and of
// every operation, each at most 2^-bit of its result, propagated by
// |z^2 - w^2| <= 2|w| |z - w| + |z - w|^2. A count is certain when every
// escape test is decided for the whole ball, or when the orbit is proved to
// stay bounded: by an attracting cycle (a ball that f^q maps into itself and
// whose images stay inside the escape radius), or, for a real orbit with a
// real constant in (-2, 1/4], by the invariant interval [-b, b] of the
// repelling fixed point b. A count that is not certain at one precision
// needs more bits; one that is certain is the count of the exact point.

// A pixel's point exactly: Numeratore.re / DivisoreRe + i Numeratore.im / DivisoreIm.
struct CPuntoEsatto
{
    CComplessoAlto Numeratore;
    int64_t DivisoreRe = 1;
    int64_t DivisoreIm = 1;
};

// The formula: Mandelbrot, or Julia with its constant (exact at any precision).
struct CFormulaDiretta
{
    bool Julia = false;
    Complesso Costante;
};

struct CEsitoDiretto
{
    // Steps the program's formula takes (the limit for a point that does not escape).
    int32_t Conteggio = 0;
    // The count is that of the exact point.
    bool Certo = false;
    // When not certain: about how many more bits would decide the step that was not.
    double BitMancanti = 0.0;
    // Certain before the limit because the orbit was proved bounded.
    bool Limitata = false;
    // Steps computed, those of the proofs included.
    int64_t Passi = 0;
};

// The direct iteration at bit bits; cicli: look for attracting cycles.
CEsitoDiretto IteraDiretta(const CPuntoEsatto &c, const CFormulaDiretta &f, int32_t limite, mpfr_prec_t bit,
                           bool cicli = true);

// The count of a pixel: at bit bits and, while that does not decide it,
// again with at least twice the bits (and at least those the undecided test
// lacked, and 64 more), up to about 4 bit + 256. A pixel that none decides is a
// knife edge: Certo is false.
struct CConteggioDiretto
{
    int32_t Conteggio = 0;
    bool Certo = false;
    mpfr_prec_t Bit = 0; // the precision that decided it (or the last tried)
    bool Limitata = false;
    int64_t Passi = 0;
};
CConteggioDiretto ConteggioDiretto(const CPuntoEsatto &c, const CFormulaDiretta &f, int32_t limite, mpfr_prec_t bit);

// The textbook loop in MPFR at bit bits, with no bounds: the count that a
// plain direct iteration at that precision gives (for cross-checks).
int32_t PassiSemplici(const CPuntoEsatto &c, const CFormulaDiretta &f, int32_t limite, mpfr_prec_t bit);
