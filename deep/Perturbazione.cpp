#include "Perturbazione.h"

#include "Errore.h"
#include "FileParametri.h"
#include "Frattali.h"
#include "Profondita.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstddef>

bool DisegnoProfondo(const CBloccoFinestra &f, const CFrattale &formula, int32_t W, int32_t H)
{
    const TipoFormula tipo = formula.Tipo();
    if (f.MaxIterazioni <= 0 || (tipo != TipoFormula::Mandelbrot && tipo != TipoFormula::Julia))
        return false;
    return Oltre80Bit(f.Min, f.Max, W, H);
}

namespace {

inline long double Somma(const double parti[2])
{
    return static_cast<long double>(parti[0]) + parti[1];
}

// Room for the rounding of the sizes below and of the loop's own |dz|^2.
constexpr double Margine = 0x1p-40;

// A size rounded down into a float; below a float's normal range 0, so that
// the loop looks every time.
float InFloat(double misura)
{
    if (!(misura >= double(FLT_MIN)))
        return 0.0f;
    float f = static_cast<float>(misura);
    if (double(f) > misura)
        f = std::nextafter(f, 0.0f);
    return f;
}

// The size below which a difference dz at a step whose value has magnitude a
// can neither escape (|Z + dz| < 2 needs |dz| < 2 - a) nor need a rebase
// (|Z + dz| >= |dz| when |dz| <= a / 2). The loop measures dz by |dr| + |di|,
// which is never below |dz| and, unlike a square, never underflows.
float Soglia(double a)
{
    const double s = std::min(2.0 - a - Margine, a * 0.5 * (1.0 - Margine));
    return s > 0.0 ? InFloat(s * (1.0 - Margine)) : 0.0f;
}

// The same for two steps, from a step of magnitude a to the next, whose own
// size is prossima: |dz| within the first and |dz| (2 a + |dz|) + dc within
// the next, dc being the largest difference a pixel adds.
float SogliaDoppia(float questa, float prossima, double a, double dc)
{
    const double t = double(prossima) * (1.0 - Margine) - dc;
    if (!(t > 0.0) || questa == 0.0f)
        return 0.0f;
    // r (2 a + r) = t, in the form that loses nothing for small t.
    const double r = t / (a + std::sqrt(a * a + t)) * (1.0 - Margine);
    return std::min(questa, InFloat(r));
}

// Splits a value into two doubles whose sum is the value to 106 bits.
// t is scratch of the value's precision or more.
void DueDouble(mpfr_srcptr v, mpfr_ptr t, double parti[2])
{
    parti[0] = mpfr_get_d(v, MPFR_RNDN);
    mpfr_sub_d(t, v, parti[0], MPFR_RNDN);
    parti[1] = mpfr_get_d(t, MPFR_RNDN);
}

// The orbit of z <- z^2 + k from z0, at bit bits, into at most quanti steps
// of o; it ends at the first step of magnitude 2 or more. dc is the largest
// difference a pixel adds at every step. Returns false when the drawing was
// stopped.
bool CalcolaOrbita(const CAreaDisegno &area, const CReale &z0r, const CReale &z0i, const CReale &kr, const CReale &ki,
                   mpfr_prec_t bit, double dc, CPassoRiferimento *passi, float *soglie, float *soglie2,
                   int64_t quanti, COrbitaRiferimento &o)
{
    CReale zr = CReale::Zero(bit);
    CReale zi = CReale::Zero(bit);
    CReale x2 = CReale::Zero(bit);
    CReale y2 = CReale::Zero(bit);
    CReale t = CReale::Zero(bit);
    mpfr_set(zr.Mp(), z0r.Mp(), MPFR_RNDN);
    mpfr_set(zi.Mp(), z0i.Mp(), MPFR_RNDN);
    int64_t k = 0;
    for (;; ++k) {
        if (!area.Continua())
            return false;
        CPassoRiferimento &p = passi[k];
        mpfr_mul_2ui(x2.Mp(), zr.Mp(), 1, MPFR_RNDN);
        DueDouble(x2.Mp(), t.Mp(), p.DueZr);
        mpfr_mul_2ui(y2.Mp(), zi.Mp(), 1, MPFR_RNDN);
        DueDouble(y2.Mp(), t.Mp(), p.DueZi);
        const double a = std::hypot(p.DueZr[0], p.DueZi[0]) * 0.5;
        soglie[k] = Soglia(a);
        if (k + 1 >= quanti || !(a < 2.0))
            break;
        mpfr_sqr(x2.Mp(), zr.Mp(), MPFR_RNDN);
        mpfr_sqr(y2.Mp(), zi.Mp(), MPFR_RNDN);
        mpfr_mul(zi.Mp(), zr.Mp(), zi.Mp(), MPFR_RNDN);
        mpfr_mul_2ui(zi.Mp(), zi.Mp(), 1, MPFR_RNDN);
        mpfr_add(zi.Mp(), zi.Mp(), ki.Mp(), MPFR_RNDN);
        mpfr_sub(zr.Mp(), x2.Mp(), y2.Mp(), MPFR_RNDN);
        mpfr_add(zr.Mp(), zr.Mp(), kr.Mp(), MPFR_RNDN);
    }
    soglie[k] = 0.0f; // the last step: the pixel must rebase
    soglie2[k] = 0.0f;
    for (int64_t j = 0; j < k; ++j)
        soglie2[j] = SogliaDoppia(soglie[j], soglie[j + 1], std::hypot(passi[j].DueZr[0], passi[j].DueZi[0]) * 0.5, dc);
    o = {passi, soglie, soglie2, k};
    return true;
}

// How small the squares of the differences that a leap leaves out are,
// beside the rest of a step.
constexpr long double Trascurabile = 0x1p-56L;

// Step x followed by leap or step y, as one leap: dz -> Ay (Ax dz + Bx dc) +
// By dc. Valid where dz is within x's radius and Ax dz + Bx dc within y's
// for every dc up to dc.
CSalto Unisci(const CSalto &x, const CSalto &y, long double dc)
{
    CSalto r;
    r.Ar = y.Ar * x.Ar - y.Ai * x.Ai;
    r.Ai = y.Ar * x.Ai + y.Ai * x.Ar;
    r.Br = (y.Ar * x.Br - y.Ai * x.Bi) + y.Br;
    r.Bi = (y.Ar * x.Bi + y.Ai * x.Br) + y.Bi;
    const long double a = std::sqrt(x.Ar * x.Ar + x.Ai * x.Ai);
    const long double resto = y.Raggio - std::sqrt(x.Br * x.Br + x.Bi * x.Bi) * dc;
    long double raggio = a > 0.0L ? resto / a : (resto > 0.0L ? x.Raggio : 0.0L);
    raggio = std::min(raggio, x.Raggio) * (1.0L - Trascurabile);
    r.Raggio = raggio > 0.0L ? raggio : 0.0L; // not a number too
    return r;
}

// The leaps of orbit o from step base: level PrimoLivello from its steps,
// each level above from pairs of the one below. dc is the largest
// difference a pixel adds at every step (none for Julia).
void CostruisciSalti(CRiferimento &rif, const COrbitaRiferimento &o, int64_t base, bool mandelbrot, long double dc)
{
    CSalto *salto = rif.Salti();
    int livello = CRiferimento::PrimoLivello;
    const int64_t passi = int64_t(1) << livello;
    int64_t quanti = (o.Ultimo - base) / passi;
    rif.LivelloMassimo = quanti > 0 ? livello : 0;
    if (quanti <= 0)
        return;
    rif.Livelli[livello] = salto;
    rif.QuantiSalti[livello] = quanti;
    for (int64_t k = 0; k < quanti; ++k) {
        for (int64_t j = 0; j < passi; ++j) {
            // One step: dz -> 2Z dz + dc, leaving out dz^2, which is below
            // Trascurabile of 2Z dz while |dz| < Trascurabile |2Z|.
            const CPassoRiferimento &p = o.Passi[base + k * passi + j];
            CSalto uno;
            uno.Ar = Somma(p.DueZr);
            uno.Ai = Somma(p.DueZi);
            uno.Br = mandelbrot ? 1.0L : 0.0L;
            uno.Bi = 0.0L;
            uno.Raggio = std::min<long double>(Trascurabile * std::sqrt(uno.Ar * uno.Ar + uno.Ai * uno.Ai),
                                               o.Soglie[base + k * passi + j]);
            *salto = j == 0 ? uno : Unisci(*salto, uno, dc);
        }
        ++salto;
    }
    while (quanti >= 2 && livello + 1 < 64) {
        const CSalto *sotto = rif.Livelli[livello];
        ++livello;
        quanti /= 2;
        rif.Livelli[livello] = salto;
        rif.QuantiSalti[livello] = quanti;
        rif.LivelloMassimo = livello;
        for (int64_t k = 0; k < quanti; ++k)
            *salto++ = Unisci(sotto[2 * k], sotto[2 * k + 1], dc);
    }
}

// Steps between two checkpoints inside long orbits.
constexpr int32_t Tratto = 1 << 16;

} // namespace

// A pixel on its way through the loop. The x87 routine reads and writes the
// fields up to I (their layout is its own, see PerturbazioneX87.S).
struct alignas(16) CCorsia
{
    long double Dr;       // the difference now
    long double Di;
    long double Ar;       // what every step adds: the pixel's difference (Mandelbrot) or 0 (Julia)
    long double Ai;
    const CPassoRiferimento *Passi; // of the orbit the pixel is on
    const float *Soglie2;
    int64_t I;            // the step of that orbit
    const COrbitaRiferimento *Orbita;
    int32_t N = 0;        // steps taken
    bool Finita = false;  // escaped, or at the limit
    int32_t X = 0;
    int32_t Y = 0;
    CPunto P;
};

#if defined(QUILLMERE_X87)
static_assert(offsetof(CCorsia, Dr) == 0 && offsetof(CCorsia, Di) == 16 && offsetof(CCorsia, Ar) == 32
                  && offsetof(CCorsia, Ai) == 48 && offsetof(CCorsia, Passi) == 64 && offsetof(CCorsia, Soglie2) == 72
                  && offsetof(CCorsia, I) == 80,
              "the x87 routine reads lanes with this layout");

// Takes two lanes coppie times two steps further, as long as both
// differences pass the two-step test at each pair's first step: exactly the
// steps of Avanza, two pixels at a time.
extern "C" void quillmere_perturbazione_x87(CCorsia *a, CCorsia *b, int64_t coppie);
#endif

namespace {

// Starts pixel (x, y) on a lane.
void Avvia(const CRiferimento &rif, int32_t max, int32_t x, int32_t y, CCorsia &c)
{
    const long double dcr = static_cast<long double>(x - rif.ColonnaCentro) * rif.PassoX;
    const long double dci = static_cast<long double>(y - rif.RigaCentro) * rif.PassoY;
    c.Dr = dcr;
    c.Di = dci;
    c.Ar = rif.Mandelbrot ? dcr : 0.0L;
    c.Ai = rif.Mandelbrot ? dci : 0.0L;
    c.Orbita = &rif.Avvio;
    c.Passi = c.Orbita->Passi;
    c.Soglie2 = c.Orbita->Soglie2;
    c.I = rif.IndiceAvvio;
    c.N = 0;
    c.P.Iterazioni = 0;
    c.Finita = max <= 0;
    c.X = x;
    c.Y = y;
    // The pixel's point rounded to 80 bits, for the colourers.
    c.P.c = {rif.CentroRe[0] + (rif.CentroRe[1] + dcr), rif.CentroIm[0] + (rif.CentroIm[1] + dci)};
    c.P.z = c.P.c;
    c.P.MaxIterazioni = max;
    // While the difference is small, whole stretches of steps at once: the
    // largest leap that starts here, stays within the limit and holds it.
    int64_t m = 0;
    for (int l = rif.LivelloMassimo; l >= CRiferimento::PrimoLivello;) {
        const int64_t k = m >> l;
        const int64_t passi = int64_t(1) << l;
        if ((m & (passi - 1)) != 0 || k >= rif.QuantiSalti[l] || max - c.N < passi
            || !(std::fabs(c.Dr) + std::fabs(c.Di) < rif.Livelli[l][k].Raggio)) {
            --l;
            continue;
        }
        const CSalto &s = rif.Livelli[l][k];
        const long double nr = (s.Ar * c.Dr - s.Ai * c.Di) + (s.Br * dcr - s.Bi * dci);
        c.Di = (s.Ar * c.Di + s.Ai * c.Dr) + (s.Br * dci + s.Bi * dcr);
        c.Dr = nr;
        c.I += passi;
        c.N += int32_t(passi);
        m += passi;
        l = rif.LivelloMassimo;
    }
}

// Takes a lane at most passi steps further, as Mandelbrot's and Julia's Itera
// take them: while fewer than the limit are done and the full value before
// the step is below 2 in modulus. Where the difference is not small enough
// for the step to go on blindly the full value Z + dz decides whether the
// pixel escapes there or its difference rebases. The lane ends Finita, with
// its count and final full value, when the pixel escaped or reached the limit.
void Avanza(const CRiferimento &rif, CCorsia &c, int32_t passi)
{
    const COrbitaRiferimento *orbita = c.Orbita;
    const CPassoRiferimento *passo = orbita->Passi;
    const float *soglie = orbita->Soglie;
    int64_t i = c.I;
    long double dr = c.Dr;
    long double di = c.Di;
    const long double ar = c.Ar;
    const long double ai = c.Ai;
    const int32_t max = c.P.MaxIterazioni;
    const int32_t fine = max - c.N > passi ? c.N + passi : max;
    int32_t n = c.N;
    while (n < fine) {
        if (!(std::fabs(dr) + std::fabs(di) < soglie[i])) {
            const long double fr = Somma(passo[i].DueZr) * 0.5L + dr;
            const long double fi = Somma(passo[i].DueZi) * 0.5L + di;
            const long double x2 = fr * fr;
            const long double y2 = fi * fi;
            const long double m = x2 + y2;
            if (!(m < 4.0L)) {
                // One step past, as Itera ends.
                const Complesso &k = rif.Mandelbrot ? c.P.c : rif.Costante;
                c.P.z = {(x2 - y2) + k.re, (fr * 2.0L) * fi + k.im};
                c.P.Iterazioni = n + 1;
                c.Finita = true;
                return;
            }
            // Squares of differences below about 10^-2466 are 0 in 80 bits:
            // there the sums of the parts' magnitudes compare instead.
            const long double q = dr * dr + di * di;
            const bool piuVicino = q != 0.0L ? m < q : std::fabs(fr) + std::fabs(fi) < std::fabs(dr) + std::fabs(di);
            if (piuVicino || i == orbita->Ultimo) {
                dr = fr;
                di = fi;
                orbita = &rif.Ribase;
                passo = orbita->Passi;
                soglie = orbita->Soglie;
                i = 0;
            }
        }
        const long double Ar = Somma(passo[i].DueZr) + dr;
        const long double Ai = Somma(passo[i].DueZi) + di;
        const long double nr = Ar * dr - Ai * di + ar;
        di = Ar * di + Ai * dr + ai;
        dr = nr;
        ++i;
        ++n;
    }
    c.Dr = dr;
    c.Di = di;
    c.I = i;
    c.Orbita = orbita;
    c.Passi = orbita->Passi;
    c.Soglie2 = orbita->Soglie2;
    c.N = n;
    if (n == max) {
        c.P.z = {Somma(passo[i].DueZr) * 0.5L + dr, Somma(passo[i].DueZi) * 0.5L + di};
        c.P.Iterazioni = n;
        c.Finita = true;
    }
}

#if defined(QUILLMERE_X87)
// True when the lane's next two steps may go on blindly.
bool DoppioLibero(const CCorsia &c)
{
    return c.P.MaxIterazioni - c.N >= 2 && std::fabs(c.Dr) + std::fabs(c.Di) < c.Soglie2[c.I];
}
#endif

} // namespace

namespace {

// Mandelbrot's pixels start at step 1 and end one step past their last
// test: steps 0 .. limit + 1. Julia starts its pixels on the orbit of the
// window's centre and rebases them onto the orbit of 0.
int64_t PassiRiferimento(int32_t limite)
{
    return int64_t(limite) + 2;
}

int32_t OrbiteRiferimento(const CFrattale &formula)
{
    return formula.Tipo() == TipoFormula::Julia ? 2 : 1;
}

} // namespace

void CCalcolatoreProfondo::Prepara(const CBloccoFinestra &f, const CFrattale &formula, int32_t, int32_t)
{
    Riferimento.Riserva(PassiRiferimento(f.MaxIterazioni), OrbiteRiferimento(formula));
    Finestra = &f;
}

void CCalcolatoreProfondo::Libera()
{
    Riferimento.Libera();
    Finestra = nullptr;
}

bool CCalcolatoreProfondo::Inizia(CAreaDisegno &area)
{
    CRiferimento &rif = Riferimento;
    rif.Pronto = false;
    const int64_t quanti = PassiRiferimento(area.MaxIterazioni);
    const int32_t orbite = OrbiteRiferimento(*area.Frattale);
    if (!Finestra || rif.Passi() < quanti || rif.Orbite() < orbite)
        throw CErrore(MessaggioBuffer);

    const CBloccoFinestra &f = *Finestra;
    const int32_t W = area.Larghezza;
    const int32_t H = area.Altezza;
    const mpfr_prec_t bit = PrecisioneFinestra(f.Min, f.Max, W, H, 64);
    rif.Precisione = long(bit);

    // The reference point is the point of the centre pixel.
    CReale passoX = CReale::Zero(bit);
    CReale passoY = CReale::Zero(bit);
    mpfr_sub(passoX.Mp(), f.Max.re.Mp(), f.Min.re.Mp(), MPFR_RNDN);
    mpfr_div_si(passoX.Mp(), passoX.Mp(), W, MPFR_RNDN);
    mpfr_sub(passoY.Mp(), f.Min.im.Mp(), f.Max.im.Mp(), MPFR_RNDN);
    mpfr_div_si(passoY.Mp(), passoY.Mp(), H, MPFR_RNDN);
    rif.ColonnaCentro = W / 2;
    rif.RigaCentro = H / 2;
    CReale cr = CReale::Zero(bit);
    CReale ci = CReale::Zero(bit);
    mpfr_mul_si(cr.Mp(), passoX.Mp(), rif.ColonnaCentro, MPFR_RNDN);
    mpfr_add(cr.Mp(), cr.Mp(), f.Min.re.Mp(), MPFR_RNDN);
    mpfr_mul_si(ci.Mp(), passoY.Mp(), rif.RigaCentro, MPFR_RNDN);
    mpfr_add(ci.Mp(), ci.Mp(), f.Max.im.Mp(), MPFR_RNDN);
    rif.PassoX = passoX.Esteso();
    rif.PassoY = passoY.Esteso();
    CReale resto = CReale::Zero(bit);
    rif.CentroRe[0] = cr.Esteso();
    mpfr_sub(resto.Mp(), cr.Mp(), CReale(rif.CentroRe[0]).Mp(), MPFR_RNDN);
    rif.CentroRe[1] = resto.Esteso();
    rif.CentroIm[0] = ci.Esteso();
    mpfr_sub(resto.Mp(), ci.Mp(), CReale(rif.CentroIm[0]).Mp(), MPFR_RNDN);
    rif.CentroIm[1] = resto.Esteso();

    const CReale zero = CReale::Zero(bit);
    rif.LivelloMassimo = 0;
    if (area.Frattale->Tipo() == TipoFormula::Julia) {
        const Julia *julia = static_cast<const Julia *>(area.Frattale);
        // Pixels start on the orbit of the centre and rebase onto that of 0.
        const CReale kr(julia->Param.re);
        const CReale ki(julia->Param.im);
        rif.Mandelbrot = false;
        rif.Costante = julia->Param;
        rif.IndiceAvvio = 0;
        if (!CalcolaOrbita(area, cr, ci, kr, ki, bit, 0.0, rif.Passo(0), rif.Soglie(0), rif.Soglie2(0), quanti,
                           rif.Avvio)
            || !CalcolaOrbita(area, zero, zero, kr, ki, bit, 0.0, rif.Passo(1), rif.Soglie(1), rif.Soglie2(1), quanti,
                              rif.Ribase))
            return false;
        if (rif.SaltiAmmessi)
            CostruisciSalti(rif, rif.Avvio, rif.IndiceAvvio, false, 0.0L);
    } else {
        // The orbit of the reference point from 0: its step 1 is the point
        // itself, where Mandelbrot's orbits start. A pixel adds its
        // difference, which for pixels up to a block beyond the edges is at most:
        const long double x = std::max(rif.ColonnaCentro, W + 8 - rif.ColonnaCentro) * std::fabs(rif.PassoX);
        const long double y = std::max(rif.RigaCentro, H + 8 - rif.RigaCentro) * std::fabs(rif.PassoY);
        const double dc = static_cast<double>(std::sqrt(x * x + y * y)) * (1.0 + Margine);
        rif.Mandelbrot = true;
        rif.IndiceAvvio = 1;
        if (!CalcolaOrbita(area, zero, zero, cr, ci, bit, dc, rif.Passo(0), rif.Soglie(0), rif.Soglie2(0), quanti,
                           rif.Avvio))
            return false;
        rif.Ribase = rif.Avvio;
        if (rif.SaltiAmmessi)
            CostruisciSalti(rif, rif.Avvio, rif.IndiceAvvio, true, std::sqrt(x * x + y * y) * (1.0L + Trascurabile));
    }
    rif.Pronto = true;
    return true;
}

bool CCalcolatoreProfondo::IteraPixel(const CAreaDisegno &area, int32_t x, int32_t y, CPunto &p) const
{
    CCorsia c;
    Avvia(Riferimento, area.MaxIterazioni, x, y, c);
    while (!c.Finita) {
        Avanza(Riferimento, c, Tratto);
        if (!c.Finita && !area.Continua())
            return false;
    }
    p = c.P;
    return true;
}

bool CCalcolatoreProfondo::Calcola(CAreaDisegno &area, CLotto &lotto, CSpecchio *) const
{
    const CRiferimento &rif = Riferimento;
    const int32_t max = area.MaxIterazioni;
    const int32_t quanti = lotto.Quanti;
    lotto.Quanti = 0;
    CCorsia corsie[2];
    int32_t prossimo = 0;
    // Puts the next pixel on a lane, or leaves it empty; a pixel done is stored.
    const auto carica = [&](CCorsia &c) {
        for (;;) {
            if (prossimo == quanti)
                return false;
            const CLotto::CVoce &px = lotto.Voci[prossimo++];
            Avvia(rif, max, px.X, px.Y, c);
            if (!c.Finita)
                return true;
            area.ScriviPixel(ColoreDi(area, c.P), c.X, c.Y);
        }
    };
    const auto avanza = [&](CCorsia &c, bool &attiva, int32_t passi) {
        Avanza(rif, c, passi);
        if (c.Finita) {
            area.ScriviPixel(ColoreDi(area, c.P), c.X, c.Y);
            attiva = carica(c);
        }
    };
    bool attive[2] = {carica(corsie[0]), false};
    attive[1] = carica(corsie[1]);
    int64_t dalControllo = 0;
    while (attive[0] || attive[1]) {
#if defined(QUILLMERE_X87)
        if (attive[0] && attive[1]) {
            // Both lanes together while they may go on blindly, then a few
            // steps of one alone where it may not.
            CCorsia &a = corsie[0];
            CCorsia &b = corsie[1];
            const int64_t coppie = std::min<int64_t>(std::min(max - a.N, max - b.N), Tratto) / 2;
            if (coppie > 0) {
                const int64_t prima = a.I;
                quillmere_perturbazione_x87(&a, &b, coppie);
                const int32_t passi = int32_t(a.I - prima);
                a.N += passi;
                b.N += passi;
                dalControllo += 2 * int64_t(passi);
            }
            for (int k = 0; k < 2; ++k)
                if (attive[k] && !DoppioLibero(corsie[k])) {
                    avanza(corsie[k], attive[k], 8);
                    dalControllo += 8;
                }
        } else
#endif
        {
            for (int k = 0; k < 2; ++k)
                if (attive[k]) {
                    avanza(corsie[k], attive[k], Tratto);
                    dalControllo += Tratto;
                }
        }
        if (dalControllo >= Tratto) {
            dalControllo = 0;
            if (!area.Continua())
                return false; // stopped: nothing more is stored
        }
    }
    return true;
}
