#include "AreaDisegno.h"

#include "Errore.h"
#include "Perturbazione.h"

#include <algorithm>
#include <istream>
#include <locale>
#include <ostream>
#include <sstream>

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
    if (DisegnoProfondo(*this))
        Riferimento.Riserva(PassiRiferimento(*this), OrbiteRiferimento(*this));
    else
        Riferimento.Libera();
    const uint64_t w = uint64_t(std::max<int64_t>(larghezza, 5)) + 128;
    const uint64_t h = uint64_t(std::max<int64_t>(altezza, 5)) + 128;
    Alloca(w * h);
    Completamento = 0.0001;
    PassiRisparmiati = 0;
    PuntiRiflessi = 0;
}

void ScriviRealeEsatto(std::ostream &os, long double v)
{
    const std::streamsize base = std::max<std::streamsize>(os.precision(), 1);
    std::string testo;
    for (std::streamsize cifre = std::min<std::streamsize>(base, 21); ; ++cifre) {
        std::ostringstream out;
        out.imbue(std::locale::classic());
        out.flags(os.flags() & ~std::ios_base::floatfield);
        out.precision(cifre);
        out << v;
        testo = out.str();
        std::istringstream in(testo);
        in.imbue(std::locale::classic());
        long double letto = 0.0L;
        if (cifre >= 21 || ((in >> letto) && letto == v))
            break;
    }
    os << testo;
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

std::istream &operator>>(std::istream &is, CBloccoFinestra &b)
{
    CBloccoFinestra letto;
    if (LeggiReale(is, letto.Min.re) && LeggiReale(is, letto.Min.im) && LeggiReale(is, letto.Max.re)
        && LeggiReale(is, letto.Max.im) && (is >> letto.Larghezza >> letto.Altezza >> letto.MaxIterazioni)) {
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

CBloccoFinestra BloccoFinestra(const CAreaDisegno &a)
{
    if (a.Esatta)
        return {a.Esatta->Min, a.Esatta->Max, a.Larghezza, a.Altezza, a.MaxIterazioni};
    return {a.Min, a.Max, a.Larghezza, a.Altezza, a.MaxIterazioni};
}

std::ostream &operator<<(std::ostream &os, const CAreaDisegno &a)
{
    return os << BloccoFinestra(a);
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
