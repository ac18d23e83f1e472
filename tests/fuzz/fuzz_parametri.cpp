// Fuzz target: the parameters-file reader. Whatever the bytes, reading never
// crashes; a file it accepts writes back to a text that reads to the same values.

#include "FileParametri.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dati, size_t n)
{
    std::istringstream in(std::string(reinterpret_cast<const char *>(dati), n));
    CParametri letto;
    letto.FrattaleJulia.Param = {7.0L, -7.0L};
    const CParametri prima = letto;
    if (!LeggiParametri(in, letto)) {
        // A refused file changes nothing.
        if (!(letto.FrattaleJulia.Param == prima.FrattaleJulia.Param) || letto.Finestra.Larghezza != 256)
            std::abort();
        return 0;
    }
    const std::string testo = TestoParametri(letto);
    std::istringstream di_nuovo(testo);
    CParametri riletto;
    if (!LeggiParametri(di_nuovo, riletto))
        std::abort();
    // The corners come back exactly, and the written text is stable.
    if (!(riletto.Finestra.Min == letto.Finestra.Min) || !(riletto.Finestra.Max == letto.Finestra.Max)
        || riletto.Finestra.Larghezza != letto.Finestra.Larghezza || riletto.SceltaFrattale != letto.SceltaFrattale
        || TestoParametri(riletto) != testo)
        std::abort();
    return 0;
}
