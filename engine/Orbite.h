#pragma once

#include "CicloOrbita.h"

#include <cmath>
#include <cstdint>
#include <limits>

// One orbit of z <- z^2 + k: the starting value and the constant in, the
// final value and the steps out. The layout is the one the x87 routine reads
// and writes: the values it reads are held as pairs of doubles whose sum is
// the 80-bit value, since a double is loaded much faster than an 80-bit value.
struct alignas(16) COrbita
{
    union Valore
    {
        double Parti[2];   // in: the starting value, as two doubles
        long double Reale; // out: the final value
    };
    // No initial values: a drawing keeps hundreds of orbits per row, and
    // Imposta sets everything the routine reads.
    Valore zr;
    Valore zi;
    double kr[2];
    double ki[2];
    int32_t n;
    int32_t Risparmiati; // out: the steps that the cycle check spared

    // Sets the starting value and the constant; false when one of them cannot
    // be held as two doubles (beyond the range of a double, or so small that
    // the low part is lost): such an orbit must be iterated some other way.
    bool Imposta(long double zr0, long double zi0, long double kr0, long double ki0);
    // The same with the values already split by DividiInDouble.
    void Imposta(const double zr0[2], const double zi0[2], const double kr0[2], const double ki0[2])
    {
        Risparmiati = 0;
        zr.Parti[0] = zr0[0];
        zr.Parti[1] = zr0[1];
        zi.Parti[0] = zi0[0];
        zi.Parti[1] = zi0[1];
        kr[0] = kr0[0];
        kr[1] = kr0[1];
        ki[0] = ki0[0];
        ki[1] = ki0[1];
    }
};

// Splits v into two doubles whose sum is exactly v; false when no pair of
// doubles holds it (beyond the range of a double, or so small that the low
// part is lost). Inline, so that a value the caller holds in a register is
// split there: an 80-bit value passed through memory costs far more.
inline bool DividiInDouble(long double v, double parti[2])
{
    parti[0] = static_cast<double>(v);
    const double grandezza = std::fabs(parti[0]);
    if (!(grandezza <= std::numeric_limits<double>::max()))
        return false; // beyond the double range, or not a number
    // The rest has at most 11 significant bits, and is computed exactly. Its
    // lowest bit is that of v's 64-bit significand: from 2^-1000 up, no lower
    // than 2^-1064, which a double holds even below its normal range.
    const long double resto = v - static_cast<long double>(parti[0]);
    parti[1] = static_cast<double>(resto);
    if (grandezza >= 0x1p-1000)
        return true;
    // Near zero the rest may be lost; a zero rest takes the sign that keeps
    // the sum's (-0 splits into -0 and -0).
    if (resto == 0.0L)
        parti[1] = parti[0] * 0.0;
    return static_cast<long double>(parti[1]) == resto;
}

// The sum of a pair made by DividiInDouble: the value it was split from.
inline long double SommaDouble(const double parti[2])
{
    return static_cast<long double>(parti[0]) + parti[1];
}

// Iterates every orbit of the batch exactly as Mandelbrot and Julia iterate
// one point: while n < max and the squared modulus before the step is below 4.
// Afterwards zr.Reale and zi.Reale hold the final value (for max <= 0, when no
// step is made, the starting value), n the steps and Risparmiati the steps
// that the cycle check spared. Every orbit must have been set by Imposta
// returning true. Long orbits pass the checkpoint every PassiFraSoste steps;
// returns false when it stopped them, leaving the batch unfinished.
bool IteraLotto(COrbita *orbite, int32_t quante, int32_t max, const CSosta &sosta = CSosta());
