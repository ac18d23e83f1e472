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

std::ostream &operator<<(std::ostream &os, const CBloccoFinestra &b)
{
    ScriviReale(os, b.Min.re);
    os << '\n';
    ScriviReale(os, b.Min.im);
    os << '\n';
    ScriviReale(os, b.Max.re);
    os << '\n';
    ScriviReale(os, b.Max.im);
    os << '\n';
    return os << b.Larghezza << '\n' << b.Altezza << '\n' << b.MaxIterazioni << '\n';
}

namespace {

std::istream &LeggiBlocco(std::istream &is, CBloccoFinestra &b, bool *troppeCifre)
{
    CBloccoFinestra letto;
    if (LeggiReale(is, letto.Min.re, troppeCifre) && LeggiReale(is, letto.Min.im, troppeCifre)
        && LeggiReale(is, letto.Max.re, troppeCifre) && LeggiReale(is, letto.Max.im, troppeCifre)
        && (is >> letto.Larghezza >> letto.Altezza >> letto.MaxIterazioni)) {
        // A window written with more digits than 80 bits hold is one that
        // was meant at full precision: empty or inverted there, it is not one.
        const bool profonda = letto.Min.re.Precisione() > 64 || letto.Min.im.Precisione() > 64
            || letto.Max.re.Precisione() > 64 || letto.Max.im.Precisione() > 64;
        if (profonda
            && !(mpfr_less_p(letto.Min.re.Mp(), letto.Max.re.Mp()) && mpfr_less_p(letto.Min.im.Mp(), letto.Max.im.Mp())))
            is.setstate(std::ios_base::failbit);
        else
            b = std::move(letto);
    }
    return is;
}

} // namespace

std::istream &operator>>(std::istream &is, CBloccoFinestra &b)
{
    return LeggiBlocco(is, b, nullptr);
}

std::ostream &operator<<(std::ostream &os, const CAreaDisegno &a)
{
    return os << CBloccoFinestra{a.Min, a.Max, a.Larghezza, a.Altezza, a.MaxIterazioni};
}

std::istream &operator>>(std::istream &is, CAreaDisegno &a)
{
    CBloccoFinestra b;
    if (is >> b) {
        a.Min = b.Min.Esteso();
        a.Max = b.Max.Esteso();
        a.Larghezza = b.Larghezza;
        a.Altezza = b.Altezza;
        a.MaxIterazioni = b.MaxIterazioni;
    }
    return is;
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

bool LeggiParametri(std::istream &is, CParametri &par, bool *troppeCifre)
{
    const std::locale prima = is.imbue(std::locale::classic());
    CParametri letto = par;
    double versione = 0.0;
    CBloccoFinestra finestra;
    bool cifre = false;
    const bool ok = (is >> versione) && versione == 0.9
        && LeggiBlocco(is, finestra, &cifre)
        && LeggiScelta(is, letto.SceltaFrattale)
        && LeggiScelta(is, letto.SceltaInterno)
        && LeggiScelta(is, letto.SceltaEsterno)
        && LeggiScelta(is, letto.SceltaMetodo)
        && (is >> letto.FrattaleMandelbrot >> letto.FrattaleJulia >> letto.FrattaleVolterraLotka);
    is.imbue(prima);
    if (troppeCifre)
        *troppeCifre = !ok && cifre;
    if (!ok)
        return false;
    letto.Finestra = finestra;
    par = letto;
    return true;
}
