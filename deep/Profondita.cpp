#include "Profondita.h"

#include <algorithm>
#include <cmath>

namespace {

// |a| as a fresh value (exact).
CReale Assoluto(const CReale &a)
{
    CReale r = a;
    mpfr_abs(r.Mp(), r.Mp(), MPFR_RNDN);
    return r;
}

// The largest magnitude of the four corners.
const CReale &Massimo(const CComplessoAlto &Min, const CComplessoAlto &Max)
{
    const CReale *m = &Min.re;
    for (const CReale *v : {&Min.im, &Max.re, &Max.im})
        if (mpfr_cmpabs(v->Mp(), m->Mp()) > 0)
            m = v;
    return *m;
}

// The window's sides, exactly, in magnitude: false where there is no
// picture (no pixels, or a side of 0).
bool Lati(const CComplessoAlto &Min, const CComplessoAlto &Max, int32_t W, int32_t H, CReale &larghezza,
          CReale &altezza)
{
    if (W < 1 || H < 1)
        return false;
    larghezza = Assoluto(DifferenzaEsatta(Max.re, Min.re));
    altezza = Assoluto(DifferenzaEsatta(Max.im, Min.im));
    return mpfr_regular_p(larghezza.Mp()) && mpfr_regular_p(altezza.Mp());
}

} // namespace

bool Oltre80Bit(const CComplessoAlto &Min, const CComplessoAlto &Max, int32_t W, int32_t H)
{
    CReale larghezza, altezza;
    if (!Lati(Min, Max, W, H, larghezza, altezza))
        return false;
    // spacing < 2^-60 M, for either side: side x 2^60 < pixels x M, exactly.
    const CReale M = Assoluto(Massimo(Min, Max));
    mpfr_mul_2ui(larghezza.Mp(), larghezza.Mp(), 60, MPFR_RNDN);
    mpfr_mul_2ui(altezza.Mp(), altezza.Mp(), 60, MPFR_RNDN);
    return mpfr_less_p(larghezza.Mp(), ProdottoEsatto(M, W).Mp())
        || mpfr_less_p(altezza.Mp(), ProdottoEsatto(M, H).Mp());
}

mpfr_prec_t PrecisioneFinestra(const CComplessoAlto &Min, const CComplessoAlto &Max, int64_t W, int64_t H,
                               int margine)
{
    const CReale larghezza = DifferenzaEsatta(Max.re, Min.re);
    const CReale altezza = DifferenzaEsatta(Max.im, Min.im);
    const CReale &M = Massimo(Min, Max);
    mpfr_prec_t bit = 0;
    if (mpfr_regular_p(larghezza.Mp()) && mpfr_regular_p(altezza.Mp()) && mpfr_regular_p(M.Mp())) {
        // The spacing's exponent, at most that of the side less that of the
        // pixel count's lower power of 2; |M| < 2^EXP(M). So the corners'
        // magnitudes over the spacing stay below 2^(EXP(M) - spacing's exponent + 1).
        const auto esponente = [](const CReale &lato, int64_t pixel) {
            int64_t bitPixel = 0;
            while ((int64_t(1) << (bitPixel + 1)) <= std::max<int64_t>(pixel, 1))
                ++bitPixel;
            return mpfr_get_exp(lato.Mp()) - 1 - mpfr_exp_t(bitPixel);
        };
        const mpfr_exp_t passo = std::min(esponente(larghezza, W), esponente(altezza, H));
        bit = mpfr_prec_t(mpfr_get_exp(M.Mp()) - passo + 1) + margine;
    } else {
        bit = std::max({Min.re.Precisione(), Min.im.Precisione(), Max.re.Precisione(), Max.im.Precisione()});
    }
    bit = std::max<mpfr_prec_t>(bit, 128);
    return std::min<mpfr_prec_t>((bit + 63) / 64 * 64, MPFR_PREC_MAX / 64 * 64);
}

bool JuliaOltre80Bit(const CComplessoAlto &Min, const CComplessoAlto &Max, int32_t W, int32_t H, const Complesso &k,
                     int32_t limite)
{
    CReale larghezza, altezza;
    if (!Lati(Min, Max, W, H, larghezza, altezza))
        return false;
    // The spread of the pixels, and the centre, in 80 bits: the window is
    // on the 80-bit side, so both are held there.
    const long double passo = std::min(larghezza.Esteso() / W, altezza.Esteso() / H);
    CReale cr = SommaEsatta(Min.re, Max.re);
    CReale ci = SommaEsatta(Min.im, Max.im);
    long double zr = cr.Esteso() * 0.5L;
    long double zi = ci.Esteso() * 0.5L;
    long double spread = passo;
    const int32_t passi = std::min(limite, 10000);
    for (int32_t n = 0; n < passi; ++n) {
        const long double modulo = std::hypot(zr, zi);
        if (modulo >= 2.0L)
            return false;
        // The pixels straddle 0 where the window's extent there (about half
        // its width in spreads) reaches it, not only its spacing.
        const bool acavallo = spread * (long double)(std::max(W, H) / 2 + 1) > modulo;
        spread = acavallo ? spread * spread : 2.0L * modulo * spread;
        const long double nr = (zr * zr - zi * zi) + k.re;
        zi = (zr * 2.0L) * zi + k.im;
        zr = nr;
        // Squared below the 80-bit resolution of the value it lands on.
        if (acavallo && spread < 0x1p-60L * std::max(std::hypot(zr, zi), 0x1p-60L))
            return true;
        if (!(spread > 0.0L))
            return false;
    }
    return false;
}
