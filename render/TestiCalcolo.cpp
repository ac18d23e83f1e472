#include "TestiCalcolo.h"

#include <QCoreApplication>

#include <cmath>
#include <iomanip>
#include <limits>
#include <locale>
#include <sstream>

QString FormattaTempo(int64_t ms)
{
    const long long giorni = ms / 86400000;
    const long long ore = (ms / 3600000) % 24;
    const long long minuti = (ms / 60000) % 60;
    const long long secondi = (ms / 1000) % 60;
    const long long decimi = (ms / 100) % 10;
    if (giorni != 0)
        return QString::asprintf("%lldgg,%lld:%02lld:%02lld.%01lld", giorni, ore, minuti, secondi, decimi);
    if (ore != 0)
        return QString::asprintf("%lld:%02lld:%02lld.%01lld", ore, minuti, secondi, decimi);
    return QString::asprintf("%lld:%02lld.%01lld", minuti, secondi, decimi);
}

int64_t StimaTempoPrevisto(int64_t t, double completamento)
{
    if (!(completamento > 0.0))
        return 0;
    const long double stima = static_cast<long double>(t) * 100.0L / static_cast<long double>(completamento);
    // 2^63 is exact in the extended type; anything at or beyond it does not fit.
    constexpr long double limite = 9223372036854775808.0L;
    if (!(std::fabs(stima) < limite))
        return stima < 0 ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
    return static_cast<int64_t>(stima);
}

QString TestoPercentuale(double completamento)
{
    // The C library's "%.1f" (exact ties to even), with a full stop whatever
    // the user's locale.
    std::ostringstream os;
    os.imbue(std::locale::classic());
    os << std::fixed << std::setprecision(1) << completamento;
    return QString::fromStdString(os.str());
}

QString TestoCompletamento(double completamento, int64_t tempoPrevisto)
{
    return QCoreApplication::translate("TestiCalcolo", "Completamento: %1%   Tempo stimato: %2 secs.")
        .arg(TestoPercentuale(completamento), FormattaTempo(tempoPrevisto));
}

QString TestoDimensione(int32_t larghezza, int32_t altezza)
{
    return QString::number(larghezza) + QLatin1Char('x') + QString::number(altezza);
}

QString TestoTempi(int64_t tempoImpiegato, int64_t tempoPrevisto)
{
    if (tempoPrevisto != 0)
        return QLatin1Char('\t')
               + QCoreApplication::translate("TestiCalcolo", "Tempo impiegato/previsto: %1 / %2")
                     .arg(FormattaTempo(tempoImpiegato), FormattaTempo(tempoPrevisto));
    return QLatin1Char('\t')
           + QCoreApplication::translate("TestiCalcolo", "Tempo impiegato: %1").arg(FormattaTempo(tempoImpiegato));
}

namespace {
// The engine's messages (engine/Errore.h), for the translation tools.
[[maybe_unused]] const char *const MessaggiMotore[] = {
    QT_TRANSLATE_NOOP("CErrore", "Fallita allocazione del buffer per l'immagine"),
    QT_TRANSLATE_NOOP("CErrore", "Fallita allocazione memoria per tabella dei colori"),
};
} // namespace

QString TestoErrore(const std::exception &errore)
{
    return QCoreApplication::translate("CErrore", errore.what());
}
