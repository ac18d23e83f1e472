// Fuzz target: the parameters-file reader. Whatever the bytes, reading never
// crashes; a file it accepts writes back to a text that reads to the same
// values, each corner with its precision, and a window whose corners carry
// more digits than 80 bits hold is never empty or inverted.

#include "FileParametri.h"
#include "Reale.h"

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
    const CReale *angoli[] = {&letto.Finestra.Min.re, &letto.Finestra.Min.im, &letto.Finestra.Max.re,
                              &letto.Finestra.Max.im};
    const CReale *riletti[] = {&riletto.Finestra.Min.re, &riletto.Finestra.Min.im, &riletto.Finestra.Max.re,
                               &riletto.Finestra.Max.im};
    bool profonda = false;
    for (int k = 0; k < 4; ++k) {
        // Zero reads back at 64 bits whatever its precision.
        if (riletti[k]->Precisione() != angoli[k]->Precisione() && !mpfr_zero_p(angoli[k]->Mp()))
            std::abort();
        profonda = profonda || angoli[k]->Precisione() > 64;
    }
    if (profonda && !(mpfr_less_p(angoli[0]->Mp(), angoli[2]->Mp()) && mpfr_less_p(angoli[1]->Mp(), angoli[3]->Mp())))
        std::abort();
    return 0;
}
