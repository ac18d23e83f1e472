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
