#include "Orbite.h"

#include "PassiQuadratici.h"

bool COrbita::Imposta(long double zr0, long double zi0, long double kr0, long double ki0)
{
    return DividiInDouble(zr0, zr.Parti) && DividiInDouble(zi0, zi.Parti) && DividiInDouble(kr0, kr)
        && DividiInDouble(ki0, ki);
}

#if defined(QUILLMERE_X87)

static_assert(sizeof(COrbita) == 80, "the x87 routine reads orbits of 80 bytes");

extern "C" void quillmere_lotto_x87(COrbita *orbite, int32_t quante, int32_t max);
extern "C" void quillmere_lotto_x87_tre(COrbita *orbite, int32_t quante, int32_t max);

namespace {

// True when every constant of the batch is a double: both low parts zero.
bool CostantiDouble(const COrbita *orbite, int32_t quante)
{
    for (int32_t k = 0; k < quante; ++k)
        if (orbite[k].kr[1] != 0.0 || orbite[k].ki[1] != 0.0)
            return false;
    return true;
}

} // namespace

void IteraLotto(COrbita *orbite, int32_t quante, int32_t max)
{
    if (max <= 0) {
        for (int32_t k = 0; k < quante; ++k) {
            COrbita &o = orbite[k];
            const long double zr = SommaDouble(o.zr.Parti);
            const long double zi = SommaDouble(o.zi.Parti);
            o.zr.Reale = zr;
            o.zi.Reale = zi;
            o.n = 0;
        }
        return;
    }
    // Constants that are doubles are added straight from memory, which
    // leaves room for a third orbit on the stack.
    if (CostantiDouble(orbite, quante))
        quillmere_lotto_x87_tre(orbite, quante, max);
    else
        quillmere_lotto_x87(orbite, quante, max);
}

#else

void IteraLotto(COrbita *orbite, int32_t quante, int32_t max)
{
    for (int32_t k = 0; k < quante; ++k) {
        COrbita &o = orbite[k];
        const long double kr = SommaDouble(o.kr);
        const long double ki = SommaDouble(o.ki);
        long double zr = SommaDouble(o.zr.Parti);
        long double zi = SommaDouble(o.zi.Parti);
        o.n = PassiQuadratici(zr, zi, kr, ki, max);
        o.zr.Reale = zr;
        o.zi.Reale = zi;
    }
}

#endif
