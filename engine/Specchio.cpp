#include "Specchio.h"

#include "AreaDisegno.h"
#include "Frattali.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// The room recorded points may take; a larger picture draws without them.
constexpr uint64_t MassimoByte = uint64_t(256) << 20;

// Where pixel k meets its mirror image: k + its mirror's k = the result, the
// grid's step being passo from the edge inizio; -1 when that is not a whole
// number of pixels within 0 .. 2 lato.
int32_t Somma(long double inizio, long double passo, int32_t lato)
{
    const long double d = -2.0L * inizio / passo;
    if (!std::isfinite(d) || d < 0.0L || d > 2.0L * lato || d >= 2147483646.0L)
        return -1;
    const long double intero = std::nearbyint(d);
    return std::fabs(d - intero) <= 1e-3L ? int32_t(intero) : -1;
}

bool Uguale(const unsigned char (&registrato)[10], long double v)
{
    return std::memcmp(registrato, &v, 10) == 0;
}

long double Valore(const unsigned char (&registrato)[10])
{
    long double v = 0.0L;
    std::memcpy(&v, registrato, 10);
    return v;
}

} // namespace

CSpecchio::CSpecchio(const CAreaDisegno &area, int32_t fili, bool ammesso) : Insieme(fili > 1)
{
    if (!ammesso || !Prepara(area)) {
        // No row records, none looks: every call does nothing.
        Y0 = Y1 = 0;
        Voci.reset();
    }
}

bool CSpecchio::Prepara(const CAreaDisegno &area)
{
    const TipoFormula tipo = area.Frattale->Tipo();
    const bool mandelbrot = tipo == TipoFormula::Mandelbrot;
    PerIlCentro = tipo == TipoFormula::Julia;
    const int32_t h = area.Altezza;
    W = area.Larghezza;
    if ((!mandelbrot && !PerIlCentro) || W < 1 || h < 2)
        return false;
    // The rows as the drawing methods place them: Max.im + y dy.
    DY = Somma(area.Max.im, (area.Min.im - area.Max.im) / h, h);
    DX = PerIlCentro ? Somma(area.Min.re, (area.Max.re - area.Min.re) / W, W) : 0;
    if (DY < 0 || DX < 0)
        return false;
    // The rows of the side that comes first, whose mirror rows are pixels too.
    Y0 = std::max(0, DY - h + 1);
    Y1 = std::min(h, (DY + 1) / 2);
    if (Y1 <= Y0 || uint64_t(Y1 - Y0) * uint64_t(W) > MassimoByte / sizeof(CVoce))
        return false;
    Voci = AllocaAzzerata<CVoce>(size_t(Y1 - Y0) * size_t(W));
    if (!Voci)
        return false;
    Finite = std::make_unique<std::atomic<int32_t>[]>(size_t(Y1 - Y0));
    return true;
}

bool CSpecchio::Prendi(const CVoce &v, long double re, long double im, CPunto &p) const
{
    if (!Uguale(v.Im, -im) || !Uguale(v.Re, PerIlCentro ? -re : re))
        return false;
    p.c = {re, im};
    p.Iterazioni = v.Iterazioni;
    if (PerIlCentro)
        p.z = v.Iterazioni > 0 ? Complesso{Valore(v.Zr), Valore(v.Zi)} : p.c;
    else
        p.z = {Valore(v.Zr), 0.0L - Valore(v.Zi)};
    return true;
}

void CSpecchio::Scrivi(CVoce &v, const CPunto &p)
{
    std::memcpy(v.Re, &p.c.re, 10);
    std::memcpy(v.Im, &p.c.im, 10);
    std::memcpy(v.Zr, &p.z.re, 10);
    std::memcpy(v.Zi, &p.z.im, 10);
    v.Iterazioni = p.Iterazioni;
}
