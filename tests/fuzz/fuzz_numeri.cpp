// Fuzz target: the panels' integer and number readings. Whatever the text,
// a reading either gives a value or raises the program's error; a value read
// is written back to a text that reads again: an integer or a coordinate of
// more than 64 bits to the same value, any other number to within the 15
// digits the panels show.

#include "Errore.h"
#include "Numeri.h"

#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// A text of at most 15 significant digits reads back to within half a unit
// of its last digit, over the double's and then the text's rounding.
bool Vicino(long double letto, long double v)
{
    return std::fabs(letto - v) <= std::fabs(v) * 6e-15L;
}

void Numero(const QString &testo, const QString &separatore)
{
    long double v;
    try {
        v = LeggiNumero(testo, separatore);
    } catch (const CErrore &) {
        return;
    }
    try {
        if (!Vicino(LeggiNumero(TestoNumero(v, separatore), separatore), v))
            std::abort();
    } catch (const CErrore &) {
        std::abort();
    }
}

// A coordinate of any precision: one of more than 64 bits exactly, with its
// precision; one of 64 bits as a number.
void Coordinata(const QString &testo, const QString &separatore)
{
    CReale v;
    try {
        v = LeggiCoordinata(testo, separatore);
    } catch (const CErrore &) {
        return;
    }
    try {
        const CReale letto = LeggiCoordinata(TestoCoordinata(v, separatore), separatore);
        if (v.Precisione() <= 64) {
            if (!Vicino(letto.Esteso(), v.Esteso()))
                std::abort();
            return;
        }
        // A zero is written "0", whatever its precision.
        if (!(letto == v) || (!mpfr_zero_p(v.Mp()) && letto.Precisione() != v.Precisione()))
            std::abort();
    } catch (const CErrore &) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dati, size_t n)
{
    const QString testo = QString::fromUtf8(reinterpret_cast<const char *>(dati), qsizetype(n));
    try {
        const int32_t v = LeggiIntero(testo);
        if (LeggiIntero(TestoIntero(v)) != v)
            std::abort();
    } catch (const CErrore &) {
    }
    Numero(testo, QStringLiteral("."));
    Numero(testo, QStringLiteral(","));
    Coordinata(testo, QStringLiteral("."));
    return 0;
}
