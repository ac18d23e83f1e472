#include "AreaDisegno.h"

#include "Errore.h"

#include <algorithm>

namespace {
constexpr uint64_t CelleIniziali = 80000;
// No picture this program can show needs more; beyond it the allocation is refused.
constexpr uint64_t MassimoCelle = uint64_t(1) << 34;
} // namespace

CAreaDisegno::CAreaDisegno()
{
    Alloca(CelleIniziali);
}

void CAreaDisegno::Alloca(uint64_t celle)
{
    Buffer.reset();
    Celle = 0;
    if (celle <= MassimoCelle)
        Buffer = AllocaAzzerata<int32_t>(celle);
    if (!Buffer)
        throw CErrore(MessaggioBuffer);
    Celle = celle;
}

void CAreaDisegno::PreparaBuffer(int32_t larghezza, int32_t altezza)
{
    const uint64_t w = uint64_t(std::max<int64_t>(larghezza, 5)) + 128;
    const uint64_t h = uint64_t(std::max<int64_t>(altezza, 5)) + 128;
    Alloca(w * h);
    Completamento = 0.0001;
    PassiRisparmiati = 0;
    PuntiRiflessi = 0;
}
