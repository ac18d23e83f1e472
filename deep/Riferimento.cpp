#include "Riferimento.h"

#include "Errore.h"

#include <algorithm>

#if defined(__unix__) || defined(__APPLE__)
#include <unistd.h>
#endif

namespace {

// Half of the machine's memory, or no limit where the system does not say.
uint64_t MemoriaConcessa()
{
#if defined(_SC_PHYS_PAGES) && defined(_SC_PAGESIZE)
    const long pagine = sysconf(_SC_PHYS_PAGES);
    const long pagina = sysconf(_SC_PAGESIZE);
    if (pagine > 0 && pagina > 0)
        return uint64_t(pagine) / 2 * uint64_t(pagina);
#endif
    return UINT64_MAX;
}

} // namespace

void CRiferimento::Riserva(int64_t passi, int32_t orbite)
{
    if (passi < 0 || orbite < 0)
        throw CErrore(MessaggioBuffer);
    Pronto = false;
    if (passi == PassiPerOrbita && orbite == QuanteOrbite && PassiOrbite)
        return;
    const uint64_t perPasso = sizeof(CPassoRiferimento) + 2 * sizeof(float);
    const uint64_t elementi = uint64_t(passi) * uint64_t(orbite);
    const uint64_t salti = uint64_t(CapienzaSalti(passi));
    if (passi > 0 && elementi / uint64_t(passi) != uint64_t(orbite))
        throw CErrore(MessaggioBuffer);
    const uint64_t concessa = MemoriaConcessa();
    if (elementi > concessa / perPasso || salti > (concessa - elementi * perPasso) / sizeof(CSalto))
        throw CErrore(MessaggioBuffer);
    // Pages that are never written (an orbit that escapes early) cost nothing.
    std::unique_ptr<CPassoRiferimento[], LiberaMemoria> nuoviPassi(
        static_cast<CPassoRiferimento *>(std::malloc(std::max<uint64_t>(elementi, 1) * sizeof(CPassoRiferimento))));
    std::unique_ptr<float[], LiberaMemoria> nuoveSoglie(
        static_cast<float *>(std::malloc(std::max<uint64_t>(elementi, 1) * 2 * sizeof(float))));
    std::unique_ptr<CSalto[], LiberaMemoria> nuoviSalti(static_cast<CSalto *>(std::malloc(salti * sizeof(CSalto))));
    if (!nuoviPassi || !nuoveSoglie || !nuoviSalti)
        throw CErrore(MessaggioBuffer);
    PassiOrbite = std::move(nuoviPassi);
    SoglieOrbite = std::move(nuoveSoglie);
    SaltiOrbita = std::move(nuoviSalti);
    PassiPerOrbita = passi;
    QuanteOrbite = orbite;
    Pronto = false;
}

void CRiferimento::Libera()
{
    PassiOrbite.reset();
    SoglieOrbite.reset();
    SaltiOrbita.reset();
    PassiPerOrbita = 0;
    QuanteOrbite = 0;
    Pronto = false;
}
