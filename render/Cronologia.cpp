#include "Cronologia.h"

bool StesseImpostazioni(const CParametri &a, const CParametri &b)
{
    return a.Finestra.Min == b.Finestra.Min && a.Finestra.Max == b.Finestra.Max
        && a.Finestra.MaxIterazioni == b.Finestra.MaxIterazioni && a.SceltaFrattale == b.SceltaFrattale
        && a.SceltaInterno == b.SceltaInterno && a.SceltaEsterno == b.SceltaEsterno
        && a.SceltaMetodo == b.SceltaMetodo && a.FrattaleJulia.Param == b.FrattaleJulia.Param
        && a.FrattaleVolterraLotka.Param1 == b.FrattaleVolterraLotka.Param1
        && a.FrattaleVolterraLotka.Param2 == b.FrattaleVolterraLotka.Param2;
}

void CCronologia::Registra(const CParametri &parametri)
{
    if (!Voci.empty() && StesseImpostazioni(Voci[Attuale], parametri))
        return;
    if (!Voci.empty())
        Voci.erase(Voci.begin() + std::ptrdiff_t(Attuale) + 1, Voci.end());
    Voci.push_back(parametri);
    if (Voci.size() > Massimo)
        Voci.erase(Voci.begin());
    Attuale = Voci.size() - 1;
}

const CParametri *CCronologia::Indietro()
{
    if (!PuoIndietro())
        return nullptr;
    return &Voci[--Attuale];
}

const CParametri *CCronologia::Avanti()
{
    if (!PuoAvanti())
        return nullptr;
    return &Voci[++Attuale];
}
