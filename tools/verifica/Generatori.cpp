#include "Generatori.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A complex value in MPFR.
struct CC
{
    explicit CC(mpfr_prec_t bit) : re(CReale::Zero(bit)), im(CReale::Zero(bit)) {}
    explicit CC(const CComplessoAlto &z) : re(z.re), im(z.im)
    {
        Precisione(std::max(re.Precisione(), im.Precisione()));
    }
    void Precisione(mpfr_prec_t bit)
    {
        mpfr_prec_round(re.Mp(), bit, MPFR_RNDN);
        mpfr_prec_round(im.Mp(), bit, MPFR_RNDN);
    }
    void Uno()
    {
        mpfr_set_ui(re.Mp(), 1, MPFR_RNDN);
        mpfr_set_zero(im.Mp(), 1);
    }
    void Zero()
    {
        mpfr_set_zero(re.Mp(), 1);
        mpfr_set_zero(im.Mp(), 1);
    }
    void Copia(const CC &z)
    {
        mpfr_set(re.Mp(), z.re.Mp(), MPFR_RNDN);
        mpfr_set(im.Mp(), z.im.Mp(), MPFR_RNDN);
    }
    double Log2() const
    {
        CReale h = CReale::Zero(64);
        mpfr_hypot(h.Mp(), re.Mp(), im.Mp(), MPFR_RNDN);
        if (mpfr_zero_p(h.Mp()))
            return -std::numeric_limits<double>::infinity();
        long e = 0;
        const double m = mpfr_get_d_2exp(&e, h.Mp(), MPFR_RNDN);
        return double(e) + std::log2(m);
    }
    CComplessoAlto Alto() const { return {re, im}; }
    CReale re;
    CReale im;
};

// Complex arithmetic with scratch of its own; results may alias the operands.
class CAritmetica
{
public:
    explicit CAritmetica(mpfr_prec_t bit) : A(CReale::Zero(bit)), B(CReale::Zero(bit)), T(CReale::Zero(bit)) {}
    void Precisione(mpfr_prec_t bit)
    {
        for (CReale *v : {&A, &B, &T})
            mpfr_set_prec(v->Mp(), bit);
    }
    // r = x y
    void Per(CC &r, const CC &x, const CC &y)
    {
        mpfr_mul(T.Mp(), x.im.Mp(), y.im.Mp(), MPFR_RNDN);
        mpfr_fms(A.Mp(), x.re.Mp(), y.re.Mp(), T.Mp(), MPFR_RNDN);
        mpfr_mul(T.Mp(), x.im.Mp(), y.re.Mp(), MPFR_RNDN);
        mpfr_fma(B.Mp(), x.re.Mp(), y.im.Mp(), T.Mp(), MPFR_RNDN);
        mpfr_set(r.re.Mp(), A.Mp(), MPFR_RNDN);
        mpfr_set(r.im.Mp(), B.Mp(), MPFR_RNDN);
    }
    // z = z^2 + c
    void Quadrato(CC &z, const CC &c)
    {
        mpfr_sqr(A.Mp(), z.re.Mp(), MPFR_RNDN);
        mpfr_sqr(B.Mp(), z.im.Mp(), MPFR_RNDN);
        mpfr_mul(z.im.Mp(), z.re.Mp(), z.im.Mp(), MPFR_RNDN);
        mpfr_mul_2ui(z.im.Mp(), z.im.Mp(), 1, MPFR_RNDN);
        mpfr_add(z.im.Mp(), z.im.Mp(), c.im.Mp(), MPFR_RNDN);
        mpfr_sub(z.re.Mp(), A.Mp(), B.Mp(), MPFR_RNDN);
        mpfr_add(z.re.Mp(), z.re.Mp(), c.re.Mp(), MPFR_RNDN);
    }
    // d = 2 z d + uno (1 or 0)
    void Derivata(CC &d, const CC &z, int uno)
    {
        Per(d, z, d);
        mpfr_mul_2ui(d.re.Mp(), d.re.Mp(), 1, MPFR_RNDN);
        mpfr_mul_2ui(d.im.Mp(), d.im.Mp(), 1, MPFR_RNDN);
        mpfr_add_si(d.re.Mp(), d.re.Mp(), uno, MPFR_RNDN);
    }
    // r = x / y
    void Diviso(CC &r, const CC &x, const CC &y)
    {
        mpfr_sqr(T.Mp(), y.re.Mp(), MPFR_RNDN);
        mpfr_fma(T.Mp(), y.im.Mp(), y.im.Mp(), T.Mp(), MPFR_RNDN);
        mpfr_mul(A.Mp(), x.im.Mp(), y.im.Mp(), MPFR_RNDN);
        mpfr_fma(A.Mp(), x.re.Mp(), y.re.Mp(), A.Mp(), MPFR_RNDN);
        mpfr_mul(B.Mp(), x.re.Mp(), y.im.Mp(), MPFR_RNDN);
        mpfr_fms(B.Mp(), x.im.Mp(), y.re.Mp(), B.Mp(), MPFR_RNDN);
        mpfr_div(r.re.Mp(), A.Mp(), T.Mp(), MPFR_RNDN);
        mpfr_div(r.im.Mp(), B.Mp(), T.Mp(), MPFR_RNDN);
    }
    // r = x - y
    static void Meno(CC &r, const CC &x, const CC &y)
    {
        mpfr_sub(r.re.Mp(), x.re.Mp(), y.re.Mp(), MPFR_RNDN);
        mpfr_sub(r.im.Mp(), x.im.Mp(), y.im.Mp(), MPFR_RNDN);
    }
    static void Piu(CC &r, const CC &x, const CC &y)
    {
        mpfr_add(r.re.Mp(), x.re.Mp(), y.re.Mp(), MPFR_RNDN);
        mpfr_add(r.im.Mp(), x.im.Mp(), y.im.Mp(), MPFR_RNDN);
    }
    // The principal square root (real part >= 0), with no cancellation.
    void Radice(CC &r, const CC &x)
    {
        mpfr_hypot(T.Mp(), x.re.Mp(), x.im.Mp(), MPFR_RNDN);
        const bool meno = mpfr_sgn(x.im.Mp()) < 0;
        if (mpfr_sgn(x.re.Mp()) >= 0) {
            mpfr_add(A.Mp(), T.Mp(), x.re.Mp(), MPFR_RNDN);
            mpfr_div_2ui(A.Mp(), A.Mp(), 1, MPFR_RNDN);
            mpfr_sqrt(A.Mp(), A.Mp(), MPFR_RNDN); // real part
            if (mpfr_zero_p(A.Mp()))
                mpfr_set_zero(B.Mp(), 1);
            else {
                mpfr_div(B.Mp(), x.im.Mp(), A.Mp(), MPFR_RNDN);
                mpfr_div_2ui(B.Mp(), B.Mp(), 1, MPFR_RNDN);
            }
        } else {
            mpfr_sub(B.Mp(), T.Mp(), x.re.Mp(), MPFR_RNDN);
            mpfr_div_2ui(B.Mp(), B.Mp(), 1, MPFR_RNDN);
            mpfr_sqrt(B.Mp(), B.Mp(), MPFR_RNDN); // |imaginary part|
            if (meno)
                mpfr_neg(B.Mp(), B.Mp(), MPFR_RNDN);
            mpfr_div(A.Mp(), x.im.Mp(), B.Mp(), MPFR_RNDN);
            mpfr_div_2ui(A.Mp(), A.Mp(), 1, MPFR_RNDN);
        }
        mpfr_set(r.re.Mp(), A.Mp(), MPFR_RNDN);
        mpfr_set(r.im.Mp(), B.Mp(), MPFR_RNDN);
    }

private:
    CReale A, B, T;
};

mpfr_prec_t Per64(double bit)
{
    return mpfr_prec_t(std::ceil(std::max(bit, 128.0) / 64.0)) * 64;
}

// Newton's method at rising precision. passo(c, bit, delta) sets delta to the
// step for c at bit bits (false when it cannot); the precision follows what
// the next step needs, quadratic convergence doubling the bits, up to bitMax.
template <class Passo>
bool Newton(CC &c, mpfr_prec_t bitMin, mpfr_prec_t bitMax, int massimo, Passo passo)
{
    mpfr_prec_t bit = std::min(bitMin, bitMax);
    c.Precisione(bit);
    CC delta(bit);
    for (int k = 0; k < massimo; ++k) {
        if (!passo(c, bit, delta))
            return false;
        const double scala = std::max(c.Log2(), -10.0);
        const double relativo = delta.Log2() - scala;
        if (!(relativo < 4.0) && !std::isinf(relativo))
            return false; // diverging, or not a number
        CAritmetica::Meno(c, c, delta);
        if (bit == bitMax && relativo < -double(bitMax - 64))
            return true;
        const mpfr_prec_t nuovo = std::min(bitMax, std::max(bit, Per64(-2.0 * relativo + 64.0)));
        if (nuovo != bit) {
            bit = nuovo;
            c.Precisione(bit);
            delta.Precisione(bit);
        }
    }
    return false;
}

// The orbit z_0 .. z_n of c and the derivatives dz_k/dc.
void Orbita(const CC &c, int n, std::vector<CC> &z, std::vector<CC> &d, CAritmetica &a)
{
    const mpfr_prec_t bit = c.re.Precisione();
    z.assign(size_t(n) + 1, CC(bit));
    d.assign(size_t(n) + 1, CC(bit));
    for (int k = 1; k <= n; ++k) {
        d[k].Copia(d[k - 1]);
        a.Derivata(d[k], z[k - 1], 1);
        z[k].Copia(z[k - 1]);
        a.Quadrato(z[k], c);
    }
}

// log2 |x - y| less log2 of the larger of |x| and 1.
double Scarto(const CC &x, const CC &y)
{
    CC t(x.re.Precisione());
    CAritmetica::Meno(t, x, y);
    return t.Log2() - std::max(0.0, x.Log2());
}

std::vector<int> DivisoriPropri(int p)
{
    std::vector<int> d;
    for (int k = 1; k < p; ++k)
        if (p % k == 0)
            d.push_back(k);
    return d;
}

} // namespace

double Log2Modulo(const CComplessoAlto &z)
{
    return CC(z).Log2();
}

bool TrovaMisiurewicz(const CComplessoAlto &partenza, int m, int p, mpfr_prec_t bit, CMisiurewicz &trovato)
{
    if (m < 1 || p < 1)
        return false;
    CC c(partenza);
    std::vector<CC> z, d;
    const auto passo = [&](const CC &cc, mpfr_prec_t b, CC &delta) {
        CAritmetica a(b);
        Orbita(cc, m + p, z, d, a);
        // g = (z_{m+p} - z_m) / prod_{j<m} (z_{j+p} - z_j); the step is g / g' = 1 / L.
        CC L(b), t(b), u(b);
        const auto termine = [&](int j, bool meno) {
            CAritmetica::Meno(t, d[j + p], d[j]);
            CAritmetica::Meno(u, z[j + p], z[j]);
            a.Diviso(t, t, u);
            if (meno)
                CAritmetica::Meno(L, L, t);
            else
                CAritmetica::Piu(L, L, t);
        };
        termine(m, false);
        for (int j = 0; j < m; ++j)
            termine(j, true);
        delta.Uno();
        a.Diviso(delta, delta, L);
        return true;
    };
    if (!Newton(c, 128, Per64(double(bit)), 200, passo))
        return false;
    // The least preperiod and period, checked on the orbit at full precision.
    const mpfr_prec_t b = c.re.Precisione();
    CAritmetica a(b);
    Orbita(c, m + p, z, d, a);
    const double uguali = -double(b) / 2, diversi = -double(b) / 4;
    if (c.Log2() > 1.0 || !(Scarto(z[m + p], z[m]) < uguali) || !(Scarto(z[m - 1 + p], z[m - 1]) > diversi))
        return false;
    for (int q : DivisoriPropri(p))
        if (!(Scarto(z[m + q], z[m]) > diversi))
            return false;
    trovato.c = c.Alto();
    trovato.Preperiodo = m;
    trovato.Periodo = p;
    trovato.Log2Moltiplicatore = 0.0;
    for (int k = m; k < m + p; ++k)
        trovato.Log2Moltiplicatore += 1.0 + z[k].Log2();
    trovato.Log2Derivata = d[m].Log2();
    return true;
}

bool TrovaNucleo(const CComplessoAlto &partenza, int p, mpfr_prec_t bitIniziali, mpfr_prec_t bit,
                 CComplessoAlto &nucleo)
{
    if (p < 2)
        return false;
    const std::vector<int> divisori = DivisoriPropri(p);
    CC c(partenza);
    const auto passo = [&](const CC &cc, mpfr_prec_t b, CC &delta) {
        // The derivative to half the bits and 64 more: a step then gains at
        // least that many bits, and the last ones start from half.
        const mpfr_prec_t bd = std::min(b, Per64(double(b) / 2.0 + 64.0));
        CAritmetica a(b), ad(bd);
        CC z(b), d(bd), L(bd), t(bd);
        // L = d_p / z_p - sum over the proper divisors k of d_k / z_k; the step is 1 / L.
        size_t prossimo = 0;
        for (int k = 1; k <= p; ++k) {
            ad.Derivata(d, z, 1);
            a.Quadrato(z, cc);
            if (k == p || (prossimo < divisori.size() && divisori[prossimo] == k)) {
                if (mpfr_zero_p(z.re.Mp()) && mpfr_zero_p(z.im.Mp()))
                    return false;
                ad.Diviso(t, d, z);
                if (k == p)
                    CAritmetica::Piu(L, L, t);
                else {
                    CAritmetica::Meno(L, L, t);
                    ++prossimo;
                }
            }
        }
        delta.Uno();
        ad.Diviso(delta, delta, L);
        return true;
    };
    if (!Newton(c, Per64(double(bitIniziali)), Per64(double(bit)), 400, passo))
        return false;
    // z_p is 0 within the precision, and no z_k of a proper divisor is.
    const mpfr_prec_t b = c.re.Precisione();
    CAritmetica a(b);
    CC z(b), d(b);
    double minimo = 0.0;
    for (int k = 1; k <= p; ++k) {
        a.Derivata(d, z, 1);
        a.Quadrato(z, c);
        const double l = z.Log2() - d.Log2(); // the distance to a root, to first order
        if (k < p && p % k == 0 && l < -double(b) / 2)
            return false;
        if (k == p)
            minimo = l;
    }
    if (!(minimo < -double(b) / 2) || c.Log2() > 1.0)
        return false;
    nucleo = c.Alto();
    return true;
}

int PeriodoPalla(const CComplessoAlto &c0, double raggioLog2, int massimo, mpfr_prec_t bit)
{
    CC c(c0);
    c.Precisione(bit);
    CAritmetica a(bit);
    CAritmetica piccola(64);
    CC z(bit), d(64);
    for (int n = 1; n <= massimo; ++n) {
        piccola.Derivata(d, z, 1);
        a.Quadrato(z, c);
        const double lz = z.Log2();
        if (lz > 1.0)
            return 0;
        if (lz < d.Log2() + raggioLog2)
            return n;
    }
    return 0;
}

double Log2Dimensione(const CComplessoAlto &nucleo, int p)
{
    CC c(nucleo);
    CAritmetica a(c.re.Precisione());
    CAritmetica piccola(128);
    CC z(c.re.Precisione()), l(128), b(128), t(128), zz(128);
    l.Uno();
    b.Uno();
    for (int i = 1; i < p; ++i) {
        a.Quadrato(z, c);
        mpfr_set(zz.re.Mp(), z.re.Mp(), MPFR_RNDN);
        mpfr_set(zz.im.Mp(), z.im.Mp(), MPFR_RNDN);
        piccola.Derivata(l, zz, 0);
        t.Uno();
        piccola.Diviso(t, t, l);
        CAritmetica::Piu(b, b, t);
    }
    return -(b.Log2() + 2.0 * l.Log2());
}

double Log2MoltiplicatoreJulia(const Complesso &k, bool seconda)
{
    const std::vector<bool> nessuno;
    double derivata = 0.0;
    const CComplessoAlto b = PreimmagineJulia(k, false, seconda, nessuno, 128, derivata);
    return 1.0 + Log2Modulo(b);
}

CComplessoAlto PreimmagineJulia(const Complesso &k, bool critico, bool seconda, const std::vector<bool> &segni,
                                mpfr_prec_t bit, double &log2Derivata)
{
    const mpfr_prec_t lavoro = bit + 128;
    CAritmetica a(lavoro);
    CC K(lavoro), w(lavoro), t(lavoro);
    mpfr_set_ld(K.re.Mp(), k.re, MPFR_RNDN);
    mpfr_set_ld(K.im.Mp(), k.im, MPFR_RNDN);
    if (!critico) {
        // The fixed points (1 +- sqrt(1 - 4k)) / 2: the one with |2 b| > 1, the larger one if both.
        CC s(lavoro), uno(lavoro), altro(lavoro);
        mpfr_mul_si(s.re.Mp(), K.re.Mp(), -4, MPFR_RNDN);
        mpfr_mul_si(s.im.Mp(), K.im.Mp(), -4, MPFR_RNDN);
        mpfr_add_ui(s.re.Mp(), s.re.Mp(), 1, MPFR_RNDN);
        a.Radice(s, s);
        uno.Uno();
        CAritmetica::Piu(w, uno, s);
        CAritmetica::Meno(altro, uno, s);
        for (CC *v : {&w, &altro}) {
            mpfr_div_2ui(v->re.Mp(), v->re.Mp(), 1, MPFR_RNDN);
            mpfr_div_2ui(v->im.Mp(), v->im.Mp(), 1, MPFR_RNDN);
        }
        // w has the larger modulus (its real part is at least 1/2).
        if (seconda && altro.Log2() > -1.0)
            w.Copia(altro);
    }
    log2Derivata = 0.0;
    for (const bool s : segni) {
        CAritmetica::Meno(t, w, K);
        a.Radice(w, t);
        if (s) {
            mpfr_neg(w.re.Mp(), w.re.Mp(), MPFR_RNDN);
            mpfr_neg(w.im.Mp(), w.im.Mp(), MPFR_RNDN);
        }
        log2Derivata += 1.0 + w.Log2();
    }
    w.Precisione(bit);
    return w.Alto();
}
