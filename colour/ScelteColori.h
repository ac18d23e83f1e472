#pragma once

#include "Coloratori.h"
#include "Frattali.h"

#include <cstdint>

// How a document's colouring choices become the colourers of a drawing.

inline CColoratoreInterno &InternoDaScelta(int8_t scelta, CInternoSolido &solido, CInternoLog &log)
{
    if (scelta == 0)
        return solido;
    return log;
}

// Exterior: 0 the bands; 1 to CTavolozze::Numero a palette, by the
// continuous count where the formula has one (z <- z^2 + k); any other value
// the bands, as every value drew before the palettes. The palette colourer
// is set for the drawing of that formula here.
inline CColoratoreEsterno &EsternoDaScelta(int8_t scelta, CEsternoFasce &fasce, CEsternoSfumato &sfumato,
                                           const CTavolozze &tavolozze, const CFrattale &formula)
{
    if (scelta < 1 || scelta > CTavolozze::Numero)
        return fasce;
    const CTavolozza &tavolozza = tavolozze.Tavolozza(scelta);
    switch (formula.Tipo()) {
    case TipoFormula::Mandelbrot:
        sfumato.Imposta(tavolozza, nullptr);
        break;
    case TipoFormula::Julia:
        sfumato.Imposta(tavolozza, &static_cast<const Julia &>(formula).Param);
        break;
    default:
        sfumato.Imposta(tavolozza);
        break;
    }
    return sfumato;
}

// The colour tables a document builds when it is created: bands from red
// towards green (the table's defaults), shading from red towards yellow.
inline void PreparaTabelleDocumento(CInternoLog &log, CEsternoFasce &)
{
    log.Tabella.ColoreIniziale = 0xFF;
    log.Tabella.Ricalcola();
    log.Tabella.ColoreFinale = 0xFFFF;
    log.Tabella.Ricalcola();
    log.Tabella.NumeroColori = 64;
    log.Tabella.Ricalcola();
}
