#include "FinestraTrasformata.h"

#include "Profondita.h"

#include <algorithm>
#include <utility>

namespace {

// (A lo + B hi) / D, the sum exact, rounded once to bit bits.
CReale Combina(const CCombinazione &c, const CReale &lo, const CReale &hi, mpfr_prec_t bit)
{
    const CReale somma = SommaEsatta(ProdottoEsatto(lo, c.A), ProdottoEsatto(hi, c.B));
    CReale r = CReale::Zero(bit);
    mpfr_div_si(r.Mp(), somma.Mp(), long(c.D), MPFR_RNDN);
    return r;
}

void Angoli(const CComplessoAlto &Min, const CComplessoAlto &Max, const CTrasformazione &t, mpfr_prec_t bit,
            CComplessoAlto &nuovoMin, CComplessoAlto &nuovoMax)
{
    nuovoMin.re = Combina(t.XMin, Min.re, Max.re, bit);
    nuovoMax.re = Combina(t.XMax, Min.re, Max.re, bit);
    nuovoMin.im = Combina(t.YMin, Min.im, Max.im, bit);
    nuovoMax.im = Combina(t.YMax, Min.im, Max.im, bit);
}

bool Ampia(const CComplessoAlto &Min, const CComplessoAlto &Max)
{
    for (const CReale *v : {&Min.re, &Min.im, &Max.re, &Max.im})
        if (!mpfr_number_p(v->Mp()) || mpfr_cmp_ld(v->Mp(), LimiteAmpiezza) > 0
            || mpfr_cmp_ld(v->Mp(), -LimiteAmpiezza) < 0)
            return true;
    return false;
}

} // namespace

EsitoFinestra FinestraTrasformata(const CComplessoAlto &Min, const CComplessoAlto &Max, const CTrasformazione &t,
                                  int32_t W, int32_t H, CComplessoAlto &nuovoMin, CComplessoAlto &nuovoMax)
{
    // First at a precision that holds the old corners and more, enough to
    // tell where the new window stands; then once more, from the exact sums,
    // at the precision it needs.
    const mpfr_prec_t bozza = 64 + std::max({Min.re.Precisione(), Min.im.Precisione(), Max.re.Precisione(),
                                             Max.im.Precisione()});
    CComplessoAlto min;
    CComplessoAlto max;
    Angoli(Min, Max, t, bozza, min, max);
    if (Ampia(min, max))
        return EsitoFinestra::TroppoAmpia;
    mpfr_prec_t bit = 64;
    if (Oltre80Bit(min, max, std::max(W, 1), std::max(H, 1))) {
        bit = PrecisioneFinestra(min, max, 65536, 65536, 32);
        if (CifrePrecisione(bit) > MassimoCifre)
            return EsitoFinestra::OltreIlLimite;
    }
    // Into fresh values first: the new corners may be the old ones' places.
    Angoli(Min, Max, t, bit, min, max);
    nuovoMin = std::move(min);
    nuovoMax = std::move(max);
    return EsitoFinestra::Fatta;
}

CTrasformazione ZoomAttorno(int32_t X, int32_t Y, int32_t W, int32_t H, int passi)
{
    // The window's side becomes m / n of what it was. With f = n / m:
    //   x1' = x1 + X (x2 - x1) (1 - 1/f) / W,  x2' = x1' + (x2 - x1) / f,
    //   y2' = y2 - Y (y2 - y1) (1 - 1/f) / H,  y1' = y2' - (y2 - y1) / f.
    passi = std::clamp(passi, -16, 16);
    const int64_t n = passi > 0 ? int64_t(1) << passi : 1;
    const int64_t m = passi < 0 ? int64_t(1) << -passi : 1;
    const int64_t w = W;
    const int64_t h = H;
    const int64_t px = int64_t(X) * (n - m);
    const int64_t py = int64_t(Y) * (n - m);
    CTrasformazione t;
    t.XMin = {w * n - px, px, w * n};
    t.XMax = {w * n - px - w * m, px + w * m, w * n};
    t.YMax = {py, h * n - py, h * n};
    t.YMin = {py + h * m, h * n - py - h * m, h * n};
    return t;
}

CTrasformazione Spostamento(int quartiX, int quartiY)
{
    const int64_t qx = quartiX;
    const int64_t qy = quartiY;
    CTrasformazione t;
    t.XMin = {4 - qx, qx, 4};
    t.XMax = {-qx, 4 + qx, 4};
    t.YMin = {4 - qy, qy, 4};
    t.YMax = {-qy, 4 + qy, 4};
    return t;
}

CTrasformazione Ampliamento(int32_t w0, int32_t h0, int32_t W, int32_t H)
{
    // The new pixel takes k old pixels, k = max(w0 / W, h0 / H), so that
    // the new picture holds the old one; each side then grows by q = p / r,
    // its new span over its old one, about the centre:
    //   lo' = ((r + p) lo + (r - p) hi) / 2r,  hi' = ((r - p) lo + (r + p) hi) / 2r.
    const int64_t larghezza0 = std::max(w0, 1);
    const int64_t altezza0 = std::max(h0, 1);
    const int64_t larghezza = std::max(W, 1);
    const int64_t altezza = std::max(H, 1);
    int64_t px = 1, rx = 1, py = 1, ry = 1;
    if (larghezza0 * altezza >= altezza0 * larghezza) {
        py = altezza * larghezza0;
        ry = larghezza * altezza0;
    } else {
        px = larghezza * altezza0;
        rx = altezza * larghezza0;
    }
    CTrasformazione t;
    t.XMin = {rx + px, rx - px, 2 * rx};
    t.XMax = {rx - px, rx + px, 2 * rx};
    t.YMin = {ry + py, ry - py, 2 * ry};
    t.YMax = {ry - py, ry + py, 2 * ry};
    return t;
}
