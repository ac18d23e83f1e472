#include "Coloratori.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>

int32_t CInternoSolido::Colore(const CPunto &) const
{
    return 0;
}

int32_t CInternoLog::Colore(const CPunto &p) const
{
    const int32_t conteggio = Tabella.Conteggio();
    if (conteggio <= 0)
        return 0;
    const long double dx = p.z.re - p.c.re;
    const long double dy = p.z.im - p.c.im;
    const long double s = dx * dx + dy * dy;
    if (s == 0.0L)
        return Tabella.Colore(0);

    // The logarithm is taken of s rounded to a double. Where that rounding
    // leaves the normal double range (s below about 2.2e-308, or above the
    // largest double) the extended logarithm of s itself carries on the
    // same cycle of colours instead of an infinity.
    const double sd = static_cast<double>(s);
    long double prodotto;
    if (std::isnormal(sd) && sd <= DBL_MAX)
        prodotto = static_cast<long double>(std::log(sd)) * -5.0L;
    else if (std::isnan(s))
        return Tabella.Colore(0);
    else
        prodotto = std::log(s) * -5.0L;
    if (!(std::fabs(prodotto) < 2147483647.0L))
        return Tabella.Colore(0);
    const int32_t n = static_cast<int32_t>(prodotto); // truncation toward zero
    return Tabella.Colore(std::abs(n) % conteggio);
}

int32_t CEsternoFasce::Colore(const CPunto &p) const
{
    const int32_t conteggio = Tabella.Conteggio();
    if (conteggio <= 0)
        return 0;
    return Tabella.Colore(p.Iterazioni % conteggio);
}

// The formulas stop one step past the escape: the loop tests |z|^2 >= 4
// before each step, so the count n includes the step after the first value
// z_e of modulus 2 or more, and the final value is z_n = z_e^2 + k, n = e + 1.
// Far from the set z_{j+1} is about z_j^2, so log2 |z_j| doubles with each
// step and j - log2(log2 |z_j|) stays the same along the orbit: the
// continuous count. Near |z| = 2 the constant k still weighs on the step
// (the count would be off by up to a third where the point escapes slowly,
// and jump where n does), so the orbit is taken on, m more steps of the same
// formula, until |z| passes 2^8, where k changes log2 |z| by less than 10^-4:
// the count is (n + m) - log2(log2 |z_(n+m)|), with log2 |z| = log2(|z|^2)/2.
// Where the escape happens just at |z_e| = 2, it comes to e; a point just
// inside takes one more step and comes to e as well: no jump between counts.
double ConteggioContinuo(const CPunto &p, const Complesso &k)
{
    long double zr = p.z.re;
    long double zi = p.z.im;
    long double modulo2 = zr * zr + zi * zi;
    if (!(modulo2 > 4.0L) || std::isinf(modulo2))
        return double(p.Iterazioni);
    int passi = 0;
    for (; modulo2 < 65536.0L && passi < 16; ++passi) {
        const long double nr = (zr * zr - zi * zi) + k.re;
        zi = (zr * 2.0L) * zi + k.im;
        zr = nr;
        modulo2 = zr * zr + zi * zi;
    }
    if (std::isinf(modulo2) || std::isnan(modulo2))
        return double(p.Iterazioni) + passi;
    return double(p.Iterazioni) + passi + 1.0 - double(std::log2(std::log2(modulo2)));
}

int32_t CEsternoSfumato::Colore(const CPunto &p) const
{
    if (!Tavolozza)
        return 0;
    const double conteggio = Continuo ? ConteggioContinuo(p, DalPunto ? p.c : Costante) : double(p.Iterazioni);
    const double posizione = std::floor(conteggio * (CTavolozza::Voci / IterazioniPerCiclo));
    if (!std::isfinite(posizione))
        return Tavolozza->Colore(0);
    const int64_t voce = int64_t(std::fmod(posizione, double(CTavolozza::Voci)));
    return Tavolozza->Colore(int32_t(voce < 0 ? voce + CTavolozza::Voci : voce));
}
