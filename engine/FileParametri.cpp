#include "FileParametri.h"

#include <istream>
#include <locale>
#include <ostream>
#include <sstream>

CParametri::CParametri()
{
    FrattaleJulia.Param = {-1.25L, 0.0L};
    // The parameters are the doubles 0.65 and 0.3 widened, not the nearest extended values.
    FrattaleVolterraLotka.Param1 = static_cast<long double>(0.65);
    FrattaleVolterraLotka.Param2 = static_cast<long double>(0.3);
}

std::string TestoParametri(const CParametri &par)
{
    std::ostringstream os;
    os.imbue(std::locale::classic());
    os << "0.9\n"
       << par.Finestra
       << int(par.SceltaFrattale) << '\n'
       << int(par.SceltaInterno) << '\n'
       << int(par.SceltaEsterno) << '\n'
       << int(par.SceltaMetodo) << '\n'
       << par.FrattaleMandelbrot << par.FrattaleJulia << par.FrattaleVolterraLotka;
    std::string testo;
    for (const char c : os.str()) {
        if (c == '\n')
            testo += '\r';
        testo += c;
    }
    return testo;
}

void ScriviParametri(std::ostream &os, const CParametri &par)
{
    os << TestoParametri(par);
}

namespace {

// A choice, any integer: the document keeps its low 8 bits, and a drawing
// resolves whatever value that leaves (Scelte.h).
bool LeggiScelta(std::istream &is, int8_t &scelta)
{
    int32_t valore = 0;
    if (!(is >> valore))
        return false;
    scelta = static_cast<int8_t>(valore);
    return true;
}

} // namespace

bool LeggiParametri(std::istream &is, CParametri &par)
{
    const std::locale prima = is.imbue(std::locale::classic());
    CParametri letto = par;
    double versione = 0.0;
    CBloccoFinestra finestra;
    const bool ok = (is >> versione) && versione == 0.9
        && (is >> finestra)
        && LeggiScelta(is, letto.SceltaFrattale)
        && LeggiScelta(is, letto.SceltaInterno)
        && LeggiScelta(is, letto.SceltaEsterno)
        && LeggiScelta(is, letto.SceltaMetodo)
        && (is >> letto.FrattaleMandelbrot >> letto.FrattaleJulia >> letto.FrattaleVolterraLotka);
    is.imbue(prima);
    if (!ok)
        return false;
    letto.Finestra = finestra;
    par = letto;
    return true;
}
