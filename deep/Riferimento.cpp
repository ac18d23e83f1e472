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

template <class T>
T *Alloca(uint64_t quanti)
{
    return static_cast<T *>(std::malloc(std::max<uint64_t>(quanti, 1) * sizeof(T)));
}

} // namespace

const CPassoSpeciale &COrbitaRiferimento::Speciale(int64_t i) const
{
    const CPassoSpeciale *fine = Speciali + QuantiSpeciali;
    return *std::lower_bound(Speciali, fine, i,
                             [](const CPassoSpeciale &s, int64_t indice) { return s.Indice < indice; });
}

void CRiferimento::Riserva(int64_t passi, int32_t orbite, bool estesi)
{
    if (passi < 0 || orbite < 0 || orbite > 2)
        throw CErrore(MessaggioBuffer);
    Pronto = false;
    if (passi == PassiPerOrbita && orbite == QuanteOrbite && PassiOrbite && estesi == ConEstesi())
        return;
    const uint64_t perPasso = sizeof(CPassoRiferimento) + 2 * sizeof(float) + sizeof(uint8_t);
    const uint64_t perSalto = sizeof(CSalto) + (estesi ? sizeof(CSaltoEsteso) : 0);
    const uint64_t elementi = uint64_t(passi) * uint64_t(orbite);
    const uint64_t salti = uint64_t(CapienzaSalti(passi)) * uint64_t(orbite);
    const uint64_t concessa = MemoriaConcessa();
    if (elementi > concessa / perPasso || salti > (concessa - elementi * perPasso) / perSalto)
        throw CErrore(MessaggioBuffer);
    // Pages that are never written (an orbit that escapes early) cost nothing.
    std::unique_ptr<CPassoRiferimento[], LiberaMemoria> nuoviPassi(Alloca<CPassoRiferimento>(elementi));
    std::unique_ptr<float[], LiberaMemoria> nuoveSoglie(Alloca<float>(2 * elementi));
    std::unique_ptr<uint8_t[], LiberaMemoria> nuoviGeneri(Alloca<uint8_t>(elementi));
    std::unique_ptr<CSalto[], LiberaMemoria> nuoviSalti(Alloca<CSalto>(salti));
    std::unique_ptr<CSaltoEsteso[], LiberaMemoria> nuoviEstesi(estesi ? Alloca<CSaltoEsteso>(salti) : nullptr);
    if (!nuoviPassi || !nuoveSoglie || !nuoviGeneri || !nuoviSalti || (estesi && !nuoviEstesi))
        throw CErrore(MessaggioBuffer);
    PassiOrbite = std::move(nuoviPassi);
    SoglieOrbite = std::move(nuoveSoglie);
    GeneriOrbite = std::move(nuoviGeneri);
    SaltiOrbite = std::move(nuoviSalti);
    SaltiEstesiOrbite = std::move(nuoviEstesi);
    PassiPerOrbita = passi;
    QuanteOrbite = orbite;
}

void CRiferimento::Libera()
{
    PassiOrbite.reset();
    SoglieOrbite.reset();
    GeneriOrbite.reset();
    SaltiOrbite.reset();
    SaltiEstesiOrbite.reset();
    for (std::vector<CPassoSpeciale> &s : SpecialiOrbite)
        std::vector<CPassoSpeciale>().swap(s);
    PassiPerOrbita = 0;
    QuanteOrbite = 0;
    Pronto = false;
}
