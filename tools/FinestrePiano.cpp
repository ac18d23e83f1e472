#include "FinestrePiano.h"

#include "Profondita.h"

#include <algorithm>
#include <cmath>

namespace {

// Precision of the scale factors and half sides of frames: their rounding
// moves a corner by a relative 2^-190 of the window's side, far below the
// 2^-32 of a pixel that the corners keep.
constexpr mpfr_prec_t BitScala = 192;

mpfr_prec_t PrecisioneMassima(const CBloccoFinestra &f)
{
    return std::max({f.Min.re.Precisione(), f.Min.im.Precisione(), f.Max.re.Precisione(), f.Max.im.Precisione()});
}

// (a u + b v) / d, with a u + b v exact and one rounding to bit bits.
CReale Combinazione(int64_t a, const CReale &u, int64_t b, const CReale &v, int64_t d, mpfr_prec_t bit)
{
    const CReale somma = SommaEsatta(ProdottoEsatto(u, a), ProdottoEsatto(v, b));
    CReale r = CReale::Zero(bit);
    mpfr_div_si(r.Mp(), somma.Mp(), long(d), MPFR_RNDN);
    return r;
}

// c + s (s < 0 for the lower corners), rounded once to bit bits.
CReale Somma(const CReale &c, const CReale &s, mpfr_prec_t bit)
{
    CReale r = CReale::Zero(bit);
    mpfr_add(r.Mp(), c.Mp(), s.Mp(), MPFR_RNDN);
    return r;
}

// The midpoint of a and b, exactly.
CReale Mezzo(const CReale &a, const CReale &b)
{
    CReale r = SommaEsatta(a, b);
    mpfr_div_2ui(r.Mp(), r.Mp(), 1, MPFR_RNDN);
    return r;
}

// The window sized W x H with limit `limite` whose corners angolo(bit) gives
// at bit bits (Min.re, Min.im, Max.re, Max.im): at 64 bits while a W x H
// picture of that window is drawn in 80 bits (a window that 64 bits make
// empty is not), else first at `bozza` bits,
// which is plenty for telling how deep the window is, then at the precision
// it needs.
template <class Angoli>
CBloccoFinestra Arrotonda(Angoli &&angoli, mpfr_prec_t bozza, int32_t W, int32_t H, int32_t limite)
{
    CBloccoFinestra f;
    f.Larghezza = W;
    f.Altezza = H;
    f.MaxIterazioni = limite;
    angoli(mpfr_prec_t(64), f.Min, f.Max);
    if (mpfr_less_p(f.Min.re.Mp(), f.Max.re.Mp()) && mpfr_less_p(f.Min.im.Mp(), f.Max.im.Mp())
        && !Oltre80Bit(f.Min, f.Max, W, H))
        return f;
    angoli(bozza, f.Min, f.Max);
    angoli(PrecisioneFinestra(f.Min, f.Max, W, H, 32), f.Min, f.Max);
    return f;
}

} // namespace

CReale LarghezzaFinestra(const CBloccoFinestra &f)
{
    return DifferenzaEsatta(f.Max.re, f.Min.re);
}

CBloccoFinestra SottoFinestra(const CBloccoFinestra &f, int32_t x0, int32_t y0, int32_t w, int32_t h)
{
    const int64_t W = f.Larghezza;
    const int64_t H = f.Altezza;
    const int64_t x1 = int64_t(x0) + w;
    const int64_t y1 = int64_t(y0) + h;
    const auto angoli = [&](mpfr_prec_t bit, CComplessoAlto &min, CComplessoAlto &max) {
        min.re = Combinazione(W - x0, f.Min.re, x0, f.Max.re, W, bit);
        max.re = Combinazione(W - x1, f.Min.re, x1, f.Max.re, W, bit);
        max.im = Combinazione(H - y0, f.Max.im, y0, f.Min.im, H, bit);
        min.im = Combinazione(H - y1, f.Max.im, y1, f.Min.im, H, bit);
    };
    return Arrotonda(angoli, PrecisioneMassima(f) + 128, w, h, f.MaxIterazioni);
}

namespace {

// The window centred on f's centre whose half sides are mezzaX and mezzaY.
CBloccoFinestra Attorno(const CBloccoFinestra &f, const CReale &mezzaX, const CReale &mezzaY, int32_t W, int32_t H,
                        int32_t limite)
{
    const CReale cx = Mezzo(f.Min.re, f.Max.re);
    const CReale cy = Mezzo(f.Min.im, f.Max.im);
    CReale menoX = mezzaX;
    CReale menoY = mezzaY;
    mpfr_neg(menoX.Mp(), menoX.Mp(), MPFR_RNDN);
    mpfr_neg(menoY.Mp(), menoY.Mp(), MPFR_RNDN);
    const auto angoli = [&](mpfr_prec_t bit, CComplessoAlto &min, CComplessoAlto &max) {
        min.re = Somma(cx, menoX, bit);
        max.re = Somma(cx, mezzaX, bit);
        min.im = Somma(cy, menoY, bit);
        max.im = Somma(cy, mezzaY, bit);
    };
    return Arrotonda(angoli, PrecisioneMassima(f) + BitScala, W, H, limite);
}

} // namespace

CBloccoFinestra FinestraCentrata(const CBloccoFinestra &f, const CReale &larghezza, int32_t W, int32_t H)
{
    CReale mezzaX = CReale::Zero(BitScala);
    CReale mezzaY = CReale::Zero(BitScala);
    mpfr_div_2ui(mezzaX.Mp(), larghezza.Mp(), 1, MPFR_RNDN);
    mpfr_mul_si(mezzaY.Mp(), mezzaX.Mp(), H, MPFR_RNDN);
    mpfr_div_si(mezzaY.Mp(), mezzaY.Mp(), W, MPFR_RNDN);
    return Attorno(f, mezzaX, mezzaY, W, H, f.MaxIterazioni);
}

CBloccoFinestra FinestraFotogramma(const CReale &larghezza0, const CBloccoFinestra &fine, int32_t k, int32_t n,
                                   int32_t W, int32_t H)
{
    if (n <= 1 || k >= n - 1) {
        CBloccoFinestra f = fine;
        f.Larghezza = W;
        f.Altezza = H;
        return f;
    }
    // The frame's sides are fine's times q = (larghezza0 / w)^((n - 1 - k) / (n - 1)).
    CReale q = CReale::Zero(BitScala);
    mpfr_div(q.Mp(), larghezza0.Mp(), LarghezzaFinestra(fine).Mp(), MPFR_RNDN);
    mpfr_log(q.Mp(), q.Mp(), MPFR_RNDN);
    mpfr_mul_si(q.Mp(), q.Mp(), long(n) - 1 - k, MPFR_RNDN);
    mpfr_div_si(q.Mp(), q.Mp(), long(n) - 1, MPFR_RNDN);
    mpfr_exp(q.Mp(), q.Mp(), MPFR_RNDN);
    const auto mezzo = [&](const CReale &a, const CReale &b) {
        CReale r = CReale::Zero(BitScala);
        mpfr_sub(r.Mp(), b.Mp(), a.Mp(), MPFR_RNDN);
        mpfr_mul(r.Mp(), r.Mp(), q.Mp(), MPFR_RNDN);
        mpfr_div_2ui(r.Mp(), r.Mp(), 1, MPFR_RNDN);
        return r;
    };
    return Attorno(fine, mezzo(fine.Min.re, fine.Max.re), mezzo(fine.Min.im, fine.Max.im), W, H, fine.MaxIterazioni);
}

int64_t FotogrammiPerDimezzamento(const CReale &larghezza0, const CBloccoFinestra &fine, double perDimezzamento)
{
    CReale dimezzamenti = CReale::Zero(64);
    mpfr_div(dimezzamenti.Mp(), larghezza0.Mp(), LarghezzaFinestra(fine).Mp(), MPFR_RNDN);
    mpfr_abs(dimezzamenti.Mp(), dimezzamenti.Mp(), MPFR_RNDN);
    mpfr_log2(dimezzamenti.Mp(), dimezzamenti.Mp(), MPFR_RNDN);
    const double passi = std::ceil(std::fabs(mpfr_get_d(dimezzamenti.Mp(), MPFR_RNDN)) * perDimezzamento);
    if (!(passi < 1e15))
        return INT64_MAX;
    return 1 + int64_t(passi);
}
