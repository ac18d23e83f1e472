#include "Orbite.h"

#include "PassiQuadratici.h"

bool COrbita::Imposta(long double zr0, long double zi0, long double kr0, long double ki0)
{
    Risparmiati = 0;
    return DividiInDouble(zr0, zr.Parti) && DividiInDouble(zi0, zi.Parti) && DividiInDouble(kr0, kr)
        && DividiInDouble(ki0, ki);
}

#if defined(QUILLMERE_X87)

static_assert(sizeof(COrbita) == 80, "the x87 routine reads orbits of 80 bytes");

extern "C" int quillmere_lotto_x87(COrbita *orbite, int32_t quante, int32_t max, bool (*sosta)(void *),
                                   void *dati);
extern "C" int quillmere_lotto_x87_tre(COrbita *orbite, int32_t quante, int32_t max, bool (*sosta)(void *),
                                       void *dati);

namespace {

// True when every constant of the batch is a double: both low parts zero.
bool CostantiDouble(const COrbita *orbite, int32_t quante)
{
    for (int32_t k = 0; k < quante; ++k)
        if (orbite[k].kr[1] != 0.0 || orbite[k].ki[1] != 0.0)
            return false;
    return true;
}

// The checkpoint of a caller that has none.
bool SempreAvanti(void *)
{
    return true;
}

} // namespace

bool IteraLotto(COrbita *orbite, int32_t quante, int32_t max, const CSosta &sosta)
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
        return true;
    }
    bool (*const funzione)(void *) = sosta.Funzione ? sosta.Funzione : SempreAvanti;
    // Constants that are doubles are added straight from memory, which
    // leaves room for a third orbit on the stack.
    if (CostantiDouble(orbite, quante))
        return quillmere_lotto_x87_tre(orbite, quante, max, funzione, sosta.Dati) != 0;
    return quillmere_lotto_x87(orbite, quante, max, funzione, sosta.Dati) != 0;
}

#else

bool IteraLotto(COrbita *orbite, int32_t quante, int32_t max, const CSosta &sosta)
{
    for (int32_t k = 0; k < quante; ++k) {
        COrbita &o = orbite[k];
        const long double kr = SommaDouble(o.kr);
        const long double ki = SommaDouble(o.ki);
        long double zr = SommaDouble(o.zr.Parti);
        long double zi = SommaDouble(o.zi.Parti);
        CEsitoOrbita esito;
        o.n = PassiQuadratici(zr, zi, kr, ki, max, &sosta, esito);
        if (esito.Fermata)
            return false;
        o.Risparmiati = esito.Risparmiati;
        o.zr.Reale = zr;
        o.zi.Reale = zi;
    }
    return true;
}

#endif
