#include "TabellaColori.h"

#include "Errore.h"

#include <new>
#include <stdexcept>

CTabellaColori::CTabellaColori()
{
    Ricalcola();
}

void CTabellaColori::Ricalcola()
{
    const int64_t sr = ColoreIniziale & 0xFF;
    const int64_t sg = (ColoreIniziale & 0xFF00) >> 8;
    const int64_t sb = (ColoreIniziale & 0xFF0000) >> 16;
    const int64_t er = ColoreFinale & 0xFF;
    const int64_t eg = (ColoreFinale & 0xFF00) >> 8;
    const int64_t eb = (ColoreFinale & 0xFF0000) >> 16;

    std::vector<int32_t>().swap(Colori);
    if (NumeroColori < 0)
        throw CErrore(MessaggioTabella);
    try {
        Colori.resize(static_cast<size_t>(NumeroColori));
    } catch (const std::bad_alloc &) {
        throw CErrore(MessaggioTabella);
    } catch (const std::length_error &) {
        throw CErrore(MessaggioTabella);
    }

    // 64-bit terms give the 32-bit results for every count where those do not overflow.
    const int64_t n = NumeroColori;
    for (int64_t i = 0; i < n; ++i) {
        const int64_t r = (sr * (n - i) + er * i) / n;
        const int64_t g = (sg * (n - i) + eg * i) / n;
        const int64_t b = (sb * (n - i) + eb * i) / n;
        Colori[static_cast<size_t>(i)] = static_cast<int32_t>(r + g * 256 + b * 65536);
    }
}
