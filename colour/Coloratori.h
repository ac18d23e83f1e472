#pragma once

#include "Coloratore.h"
#include "TabellaColori.h"
#include "Tavolozze.h"

// Interior "Nero": black.
class CInternoSolido final : public CColoratoreInterno
{
public:
    int32_t Colore(const CPunto &p) const override;
};

// Interior "Sfumato Log1": shading by the logarithm of |z - c|^2.
class CInternoLog final : public CColoratoreInterno
{
public:
    int32_t Colore(const CPunto &p) const override;

    CTabellaColori Tabella;
};

// Exterior bands: the iteration count picks the table entry.
class CEsternoFasce final : public CColoratoreEsterno
{
public:
    int32_t Colore(const CPunto &p) const override;

    CTabellaColori Tabella;
};

// Exterior palettes: the escape count runs round a palette, a cycle every
// IterazioniPerCiclo iterations. For the formulas z <- z^2 + k the count is
// continuous (ConteggioContinuo), so that the colours change smoothly, with
// no bands; for the others it is the iteration count.
class CEsternoSfumato final : public CColoratoreEsterno
{
public:
    static constexpr double IterazioniPerCiclo = 32.0;

    int32_t Colore(const CPunto &p) const override;

    // Before a drawing, never while one runs: the palette (not owned; it
    // outlives the drawing), and for a continuous count the formula's
    // constant k: null for Mandelbrot, whose k is each point's own c.
    void Imposta(const CTavolozza &tavolozza)
    {
        Tavolozza = &tavolozza;
        Continuo = false;
    }
    void Imposta(const CTavolozza &tavolozza, const Complesso *costante)
    {
        Tavolozza = &tavolozza;
        Continuo = true;
        Costante = costante ? *costante : Complesso{};
        DalPunto = costante == nullptr;
    }

private:
    const CTavolozza *Tavolozza = nullptr;
    bool Continuo = false;
    bool DalPunto = true;
    Complesso Costante;
};

// The continuous escape count of a point that z <- z^2 + k has iterated (k:
// the constant of its formula): n - log2(log2 |z_n|), the orbit taken on from
// its final value until |z| passes 2^8. It rises by exactly 1 from one count
// to the next and in between follows the potential of the set, so that it
// is continuous across the boundaries between counts (see the definition).
double ConteggioContinuo(const CPunto &p, const Complesso &k);
