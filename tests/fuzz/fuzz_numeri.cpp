// Fuzz target: the panels' integer and number readings. Whatever the text,
// a reading either gives a value or raises the program's error; a value read
// is written back to a text that reads again, to the same value.

#include "Errore.h"
#include "Numeri.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void Numero(const QString &testo, const QString &separatore)
{
    long double v;
    try {
        v = LeggiNumero(testo, separatore);
    } catch (const CErrore &) {
        return;
    }
    // Every value reads back exactly from its text.
    try {
        if (!(LeggiNumero(TestoNumero(v, separatore), separatore) == v))
            std::abort();
    } catch (const CErrore &) {
        std::abort();
    }
}

// A coordinate of any precision: the same, with its precision.
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
        // A zero is written "0", whatever its precision.
        if (!(letto == v) || (v.Precisione() > 64 && !mpfr_zero_p(v.Mp()) && letto.Precisione() != v.Precisione()))
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
