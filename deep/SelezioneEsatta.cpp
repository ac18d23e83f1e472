#include "SelezioneEsatta.h"

#include "Profondita.h"

#include <algorithm>

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

bool FinestraEsattaDaSelezione(const CSelezione &sel, const CComplessoAlto &Min, const CComplessoAlto &Max, int32_t W,
                               int32_t H, CComplessoAlto &nuovoMin, CComplessoAlto &nuovoMax)
{
    const int32_t hw = sel.Larghezza / 2;
    const int32_t hh = sel.Altezza / 2;
    if (W < 1 || H < 1 || hw < 1 || hh < 1) {
        nuovoMin = Min;
        nuovoMax = Max;
        return true;
    }
    if (!Oltre80Bit(Min, Max, W, H)) {
        Complesso min;
        Complesso max;
        FinestraDaSelezione(sel, Min.Esteso(), Max.Esteso(), W, H, min, max);
        nuovoMin = min;
        nuovoMax = max;
        return true;
    }
    // First at a precision that is plenty for telling how deep the new
    // window is, then once more, from the exact sums, at the one it needs.
    const mpfr_prec_t bozza = 64 + std::max({Min.re.Precisione(), Min.im.Precisione(), Max.re.Precisione(),
                                             Max.im.Precisione()});
    CComplessoAlto min;
    CComplessoAlto max;
    Angoli(sel, Min, Max, W, H, hw, hh, bozza, min, max);
    const mpfr_prec_t bit = PrecisioneFinestra(min, max, 65536, 65536, 32);
    if (CifrePrecisione(bit) > MassimoCifre)
        return false;
    Angoli(sel, Min, Max, W, H, hw, hh, bit, nuovoMin, nuovoMax);
    return true;
}
