#include "Selezione.h"

#include "Profondita.h"

#include <algorithm>
#include <cstdlib>

void CSelezione::Ridimensiona(int32_t x, int32_t y, int32_t W, int32_t H)
{
    const int64_t larghezza = 2 * std::llabs(int64_t(X) - x);
    const int64_t altezza = 2 * std::llabs(int64_t(Y) - y);
    int64_t l = larghezza;
    int64_t a = altezza;
    if (W > 0 && H > 0) {
        const int64_t t = (larghezza * H) / W;
        if (altezza > t)
            l = (altezza * W) / H;
        else
            a = t;
    }
    Larghezza = int32_t(l < 10 ? 10 : (l > INT32_MAX ? INT32_MAX : l));
    Altezza = int32_t(a < 10 ? 10 : (a > INT32_MAX ? INT32_MAX : a));
}

void FinestraDaSelezione(const CSelezione &sel, const Complesso &Min, const Complesso &Max, int32_t W, int32_t H,
                         Complesso &nuovoMin, Complesso &nuovoMax)
{
    const int32_t hw = sel.Larghezza / 2;
    const int32_t hh = sel.Altezza / 2;
    if (W < 1 || H < 1 || hw < 1 || hh < 1) {
        nuovoMin = Min;
        nuovoMax = Max;
        return;
    }
    const long double x1 = Min.re;
    const long double y1 = Min.im;
    const long double x2 = Max.re;
    const long double y2 = Max.im;
    const long double dx = (x2 - x1) / W;
    const long double dy = (y2 - y1) / H;
    const long double cx = sel.X * dx + x1;
    const long double cy = y2 - sel.Y * dy;
    const long double kx = static_cast<long double>(W) / hw;
    const long double ky = static_cast<long double>(H) / hh;
    nuovoMax.re = (W * dx) / kx + cx;
    nuovoMax.im = (H * dy) / ky + cy;
    nuovoMin.re = cx - (W * dx) / kx;
    nuovoMin.im = cy - (H * dy) / ky;
}

namespace {

// (a u + b v) / d, with a u + b v exact and one rounding to bit bits.
CReale Combinazione(int64_t a, const CReale &u, int64_t b, const CReale &v, int64_t d, mpfr_prec_t bit)
{
    const CReale somma = SommaEsatta(ProdottoEsatto(u, a), ProdottoEsatto(v, b));
    CReale r = CReale::Zero(bit);
    mpfr_div_si(r.Mp(), somma.Mp(), long(d), MPFR_RNDN);
    return r;
}

// The four corners at bit bits.
void Angoli(const CSelezione &sel, const CComplessoAlto &Min, const CComplessoAlto &Max, int64_t W, int64_t H,
            int64_t hw, int64_t hh, mpfr_prec_t bit, CComplessoAlto &nuovoMin, CComplessoAlto &nuovoMax)
{
    // x1 + (X + s) (x2 - x1) / W = ((W - X - s) x1 + (X + s) x2) / W, and so on.
    const int64_t X = sel.X;
    const int64_t Y = sel.Y;
    nuovoMax.re = Combinazione(W - X - hw, Min.re, X + hw, Max.re, W, bit);
    nuovoMin.re = Combinazione(W - X + hw, Min.re, X - hw, Max.re, W, bit);
    nuovoMax.im = Combinazione(H - Y + hh, Max.im, Y - hh, Min.im, H, bit);
    nuovoMin.im = Combinazione(H - Y - hh, Max.im, Y + hh, Min.im, H, bit);
}

} // namespace

void FinestraEsattaDaSelezione(const CSelezione &sel, const CComplessoAlto &Min, const CComplessoAlto &Max, int32_t W,
                               int32_t H, CComplessoAlto &nuovoMin, CComplessoAlto &nuovoMax)
{
    const int32_t hw = sel.Larghezza / 2;
    const int32_t hh = sel.Altezza / 2;
    if (W < 1 || H < 1 || hw < 1 || hh < 1) {
        nuovoMin = Min;
        nuovoMax = Max;
        return;
    }
    if (!Oltre80Bit(Min, Max, W, H)) {
        Complesso min;
        Complesso max;
        FinestraDaSelezione(sel, Min.Esteso(), Max.Esteso(), W, H, min, max);
        nuovoMin = min;
        nuovoMax = max;
        return;
    }
    // First at a precision that is plenty for telling how deep the new
    // window is, then once more, from the exact sums, at the one it needs.
    const mpfr_prec_t bozza = 64 + std::max({Min.re.Precisione(), Min.im.Precisione(), Max.re.Precisione(),
                                             Max.im.Precisione()});
    CComplessoAlto min;
    CComplessoAlto max;
    Angoli(sel, Min, Max, W, H, hw, hh, bozza, min, max);
    const mpfr_prec_t bit = PrecisioneFinestra(min, max, 65536, 65536, 32);
    Angoli(sel, Min, Max, W, H, hw, hh, bit, nuovoMin, nuovoMax);
}
