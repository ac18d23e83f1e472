#include "Calcolatore.h"

#include "AreaDisegno.h"
#include "Coloratore.h"
#include "Specchio.h"

#include <cstring>

int32_t ColoreDi(const CAreaDisegno &area, const CPunto &p)
{
    if (p.Iterazioni == p.MaxIterazioni)
        return area.Interno->Colore(p);
    return area.Esterno->Colore(p);
}

bool CCalcolatore80::Inizia(CAreaDisegno &area)
{
    Tipo = area.Frattale->Tipo();
    Costante = Tipo == TipoFormula::Julia;
    Lotti = Tipo == TipoFormula::Mandelbrot;
    if (Costante) {
        const Complesso &k = static_cast<const Julia *>(area.Frattale)->Param;
        Lotti = DividiInDouble(k.re, CostanteRe) && DividiInDouble(k.im, CostanteIm);
    }
    Lotti = Lotti && area.MaxIterazioni > 0;
    return true;
}

namespace {

bool Continua(void *area)
{
    return static_cast<const CAreaDisegno *>(area)->Continua();
}

// The pixel of an orbit, and its point as pairs of doubles.
struct CPixelOrbita
{
    double Re[2];
    double Im[2];
    int32_t x;
    int32_t y;
};

} // namespace

bool CCalcolatore80::Calcola(CAreaDisegno &area, CLotto &lotto, CSpecchio *specchio) const
{
    const int32_t max = area.MaxIterazioni;
    const CSosta sosta{&Continua, &area};
    COrbita orbite[CLotto::Capienza];
    CPixelOrbita pixel[CLotto::Capienza];
    int32_t lenti[CLotto::Capienza];
    int32_t quanteOrbite = 0;
    int32_t quantiLenti = 0;
    for (int32_t k = 0; k < lotto.Quanti; ++k) {
        const CLotto::CVoce &v = lotto.Voci[k];
        if (specchio) {
            // A point whose mirror image is computed already takes its count
            // and final value from there.
            CPunto p;
            if (specchio->Cerca(v.Re, v.Im->Valore, v.X, v.Y, p)) {
                p.MaxIterazioni = max;
                area.ScriviPixel(ColoreDi(area, p), v.X, v.Y);
                ++lotto.PuntiRiflessi;
                continue;
            }
        }
        double r[2];
        if (Lotti && v.Im->Divisa && DividiInDouble(v.Re, r)) {
            // Mandelbrot adds the point itself, Julia its constant.
            orbite[quanteOrbite].Imposta(r, v.Im->Parti, Costante ? CostanteRe : r,
                                         Costante ? CostanteIm : v.Im->Parti);
            pixel[quanteOrbite] = {{r[0], r[1]}, {v.Im->Parti[0], v.Im->Parti[1]}, v.X, v.Y};
            ++quanteOrbite;
        } else {
            lenti[quantiLenti++] = k;
        }
    }
    lotto.Quanti = 0;
    if (quanteOrbite > 0) {
        if (!IteraLotto(orbite, quanteOrbite, max, sosta))
            return false;
        for (int32_t k = 0; k < quanteOrbite; ++k) {
            const CPixelOrbita &px = pixel[k];
            CPunto p;
            p.c = {SommaDouble(px.Re), SommaDouble(px.Im)};
            // Copied as bytes: an 80-bit load and store cost far more.
            std::memcpy(&p.z.re, &orbite[k].zr.Reale, sizeof(long double));
            std::memcpy(&p.z.im, &orbite[k].zi.Reale, sizeof(long double));
            p.Iterazioni = orbite[k].n;
            p.MaxIterazioni = max;
            lotto.PassiRisparmiati += uint64_t(orbite[k].Risparmiati);
            if (specchio)
                specchio->Ricorda(p, px.x, px.y);
            area.ScriviPixel(ColoreDi(area, p), px.x, px.y);
        }
    }
    for (int32_t k = 0; k < quantiLenti; ++k) {
        const CLotto::CVoce &v = lotto.Voci[lenti[k]];
        CPunto p;
        p.c = {v.Re, v.Im->Valore};
        p.MaxIterazioni = max;
        // The program's formulas with the checkpoint, any other through its Itera.
        CEsitoOrbita esito;
        switch (Tipo) {
        case TipoFormula::Mandelbrot:
            static_cast<const Mandelbrot *>(area.Frattale)->Itera(p, sosta, esito);
            break;
        case TipoFormula::Julia:
            static_cast<const Julia *>(area.Frattale)->Itera(p, sosta, esito);
            break;
        case TipoFormula::VolterraLotka:
            static_cast<const VolterraLotka *>(area.Frattale)->Itera(p, sosta, esito);
            break;
        case TipoFormula::Altra:
            area.Frattale->Itera(p);
            break;
        }
        lotto.PassiRisparmiati += uint64_t(esito.Risparmiati);
        if (esito.Fermata)
            return false;
        if (specchio)
            specchio->Ricorda(p, v.X, v.Y);
        area.ScriviPixel(ColoreDi(area, p), v.X, v.Y);
    }
    return true;
}
