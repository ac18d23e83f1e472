#include "Orbite.h"

#include "PassiQuadratici.h"

#include <cmath>

bool DividiInDouble(long double v, double parti[2])
{
    parti[0] = static_cast<double>(v);
    if (!std::isfinite(parti[0]))
        return false;
    // The rest has at most 11 significant bits, and is computed exactly; it
    // fits a double unless it falls below the double range.
    const long double resto = v - static_cast<long double>(parti[0]);
    parti[1] = static_cast<double>(resto);
    return static_cast<long double>(parti[1]) == resto;
}

bool COrbita::Imposta(long double zr0, long double zi0, long double kr0, long double ki0)
{
    return DividiInDouble(zr0, zr.Parti) && DividiInDouble(zi0, zi.Parti) && DividiInDouble(kr0, kr)
        && DividiInDouble(ki0, ki);
}

namespace {

long double Somma(const double parti[2])
{
    return static_cast<long double>(parti[0]) + parti[1];
}

} // namespace

#if defined(QUILLMERE_X87)

static_assert(sizeof(COrbita) == 80, "the x87 routine reads orbits of 80 bytes");

extern "C" void quillmere_lotto_x87(COrbita *orbite, int32_t quante, int32_t max);

void IteraLotto(COrbita *orbite, int32_t quante, int32_t max)
{
    if (max <= 0) {
        for (int32_t k = 0; k < quante; ++k) {
            COrbita &o = orbite[k];
            const long double zr = Somma(o.zr.Parti);
            const long double zi = Somma(o.zi.Parti);
            o.zr.Reale = zr;
            o.zi.Reale = zi;
            o.n = 0;
        }
        return;
    }
    quillmere_lotto_x87(orbite, quante, max);
}

#else

void IteraLotto(COrbita *orbite, int32_t quante, int32_t max)
{
    for (int32_t k = 0; k < quante; ++k) {
        COrbita &o = orbite[k];
        const long double kr = Somma(o.kr);
        const long double ki = Somma(o.ki);
        long double zr = Somma(o.zr.Parti);
        long double zi = Somma(o.zi.Parti);
        o.n = PassiQuadratici(zr, zi, kr, ki, max);
        o.zr.Reale = zr;
        o.zi.Reale = zi;
    }
}

#endif
