#include "Diretta.h"

#include "Maggiorante.h"

#include <algorithm>
#include <cmath>

namespace {

// A rough copy of an orbit's value, for the search of cycles: each part's
// sign, exponent and leading bits.
struct CApprossimato
{
    struct CParte
    {
        int Segno = 0;
        long Esponente = 0;
        uint64_t Testa = 0;
    };
    CParte Re, Im;

    static CParte Di(mpfr_srcptr v)
    {
        CParte p;
        if (!mpfr_regular_p(v))
            return p;
        p.Segno = mpfr_sgn(v);
        p.Esponente = mpfr_get_exp(v);
        const mp_limb_t *limb = static_cast<const mp_limb_t *>(mpfr_custom_get_significand(v));
        p.Testa = uint64_t(limb[(mpfr_get_prec(v) - 1) / GMP_NUMB_BITS]) << (64 - GMP_NUMB_BITS);
        return p;
    }
    static CApprossimato Di(mpfr_srcptr re, mpfr_srcptr im) { return {Di(re), Di(im)}; }

    // Whether two values agree in about 36 leading bits of the larger part.
    bool Vicino(const CApprossimato &b) const
    {
        long alto = -(1L << 60);
        for (const CParte *p : {&Re, &Im, &b.Re, &b.Im})
            if (p->Segno)
                alto = std::max(alto, p->Esponente);
        const auto uguali = [&](const CParte &x, const CParte &y) {
            if ((!x.Segno || x.Esponente < alto - 36) && (!y.Segno || y.Esponente < alto - 36))
                return true; // too small to tell
            if (x.Segno != y.Segno || x.Esponente != y.Esponente)
                return false;
            const uint64_t d = x.Testa > y.Testa ? x.Testa - y.Testa : y.Testa - x.Testa;
            return (d >> 28) >> std::min<long>(35, alto - x.Esponente) == 0;
        };
        return uguali(Re, b.Re) && uguali(Im, b.Im);
    }
};

CMaggiorante InMaggiorante(mpfr_srcptr v, int ternario)
{
    return ternario ? CMaggiorante::Di(v) : CMaggiorante();
}

// A bound into MPFR, exactly (v has at least 53 bits).
void InMpfr(mpfr_ptr v, const CMaggiorante &m)
{
    mpfr_set_d(v, m.ParteMantissa(), MPFR_RNDU);
    mpfr_mul_2si(v, v, m.ParteEsponente(), MPFR_RNDU);
}

// One run of the direct iteration at one precision.
class CIterazione
{
public:
    CIterazione(const CPuntoEsatto &c, const CFormulaDiretta &f, mpfr_prec_t bit)
        : Bit(bit), U(CMaggiorante::Potenza2(-long(bit))), Zr(CReale::Zero(bit)), Zi(CReale::Zero(bit)),
          Kr(CReale::Zero(bit)), Ki(CReale::Zero(bit)), X2(CReale::Zero(bit)), Y2(CReale::Zero(bit)),
          M(CReale::Zero(bit)), T(CReale::Zero(bit)), W(CReale::Zero(bit)), Sr(CReale::Zero(bit)),
          Si(CReale::Zero(bit)), Vr(CReale::Zero(bit)), Vi(CReale::Zero(bit))
    {
        const int tr = mpfr_div_si(Zr.Mp(), c.Numeratore.re.Mp(), long(c.DivisoreRe), MPFR_RNDN);
        const int ti = mpfr_div_si(Zi.Mp(), c.Numeratore.im.Mp(), long(c.DivisoreIm), MPFR_RNDN);
        // |error| <= |error of re| + |error of im|.
        Raggio = U * (InMaggiorante(Zr.Mp(), tr) + InMaggiorante(Zi.Mp(), ti));
        if (f.Julia) {
            mpfr_set_ld(Kr.Mp(), f.Costante.re, MPFR_RNDN); // 64 bits fit
            mpfr_set_ld(Ki.Mp(), f.Costante.im, MPFR_RNDN);
        } else {
            mpfr_set(Kr.Mp(), Zr.Mp(), MPFR_RNDN);
            mpfr_set(Ki.Mp(), Zi.Mp(), MPFR_RNDN);
            RaggioK = Raggio;
        }
        // The roundings of a step: x^2, y^2, x^2 - y^2, 2xy are each at most
        // m (1 + u)^3 (m the rounded squared modulus), the new parts at most
        // that and |k|: together within u (6 m + |k_re| + |k_im|) (1 + 5u).
        const CMaggiorante margine = CMaggiorante::Di(1.0) + CMaggiorante::Potenza2(-40);
        SeiU = U * CMaggiorante::Di(6.0) * margine;
        ArrotondamentoK = U * (CMaggiorante::Di(Kr.Mp()) + CMaggiorante::Di(Ki.Mp())) * margine;
        UnoPiuTreU = CMaggiorante::Di(1.0) + U * CMaggiorante::Di(3.0);
        TreU = U * CMaggiorante::Di(3.0);
        // A real orbit: the imaginary parts are exactly 0 at every step.
        Reale = mpfr_zero_p(Zi.Mp()) && ti == 0 && mpfr_zero_p(Ki.Mp());
        if (Reale)
            PreparaIntervallo();
    }

    CEsitoDiretto Itera(int32_t limite, bool cicli)
    {
        CEsitoDiretto e;
        if (limite <= 0) {
            e.Certo = true;
            return e;
        }
        int64_t salvato = 0;   // the step whose value Sr, Si hold
        int64_t blocco = 1;    // steps from it to the next save
        int64_t prossimo = 16; // the earliest step for the next proof of a cycle
        CApprossimato approssimatoSalvato;
        CMaggiorante lambda; // |f^(n - salvato)'| at the saved value, from above
        for (int64_t n = 0;; ++n) {
            e.Passi = n + Extra;
            // The count is the limit whatever the test of the last step says.
            if (n + 1 >= limite) {
                e.Conteggio = limite;
                e.Certo = true;
                return e;
            }
            if (cicli) {
                const CApprossimato z = CApprossimato::Di(Zr.Mp(), Zi.Mp());
                if (n > salvato && n >= prossimo && lambda < Contrazione && z.Vicino(approssimatoSalvato)) {
                    const int64_t q = n - salvato;
                    if (Ciclo(q, lambda)) {
                        e.Conteggio = limite;
                        e.Certo = e.Limitata = true;
                        e.Passi = n + Extra;
                        return e;
                    }
                    prossimo = n + std::max<int64_t>(q, n);
                }
                if (n - salvato >= blocco) {
                    salvato = n;
                    blocco *= 2;
                    mpfr_set(Sr.Mp(), Zr.Mp(), MPFR_RNDN);
                    mpfr_set(Si.Mp(), Zi.Mp(), MPFR_RNDN);
                    approssimatoSalvato = z;
                    lambda = CMaggiorante::Di(1.0);
                }
            }
            const int tx = mpfr_sqr(X2.Mp(), Zr.Mp(), MPFR_RNDN);
            const int ty = mpfr_sqr(Y2.Mp(), Zi.Mp(), MPFR_RNDN);
            const int tm = mpfr_add(M.Mp(), X2.Mp(), Y2.Mp(), MPFR_RNDN);
            const CMaggiorante m = CMaggiorante::Di(M.Mp());
            const CMaggiorante modulo = Radice(m * UnoPiuTreU);
            const int esito = Fuga(tx | ty | tm, m, modulo, e.BitMancanti);
            if (esito > 0) {
                e.Conteggio = int32_t(n + 1);
                e.Certo = true;
                return e;
            }
            if (esito < 0) {
                e.Conteggio = int32_t(n + 1);
                return e;
            }
            if (Reale && modulo + Raggio <= Beta) {
                e.Conteggio = limite;
                e.Certo = e.Limitata = true;
                return e;
            }
            if (cicli)
                lambda = lambda * (modulo + modulo);
            Passo(Zr, Zi, m, modulo, Raggio, tx | ty);
        }
    }

private:
    // The escape test of the ball around the value: 1 when every point of it
    // has squared modulus 4 or more, 0 when none has, -1 when it cannot say
    // (then mancanti estimates the bits it lacked). M holds m = RN(RN(x^2) +
    // RN(y^2)) of the centre, inesatto when some rounding was inexact; modulo
    // bounds the centre's modulus.
    int Fuga(int inesatto, const CMaggiorante &m, const CMaggiorante &modulo, double &mancanti)
    {
        // |exact |z|^2 - m| <= 2|z~| r + r^2 + (the roundings of m: at most 3u m).
        CMaggiorante errore = (modulo + modulo + Raggio) * Raggio;
        if (inesatto)
            errore += TreU * m;
        if (errore < Piccolo) {
            if (Oltre <= CMaggiorante::Sotto(M.Mp()))
                return 1;
            if (m <= Entro)
                return 0;
        }
        const int td = mpfr_sub_ui(T.Mp(), M.Mp(), 4, MPFR_RNDN);
        if (td)
            errore += U * CMaggiorante::Di(T.Mp());
        const CMaggiorante delta = CMaggiorante::Sotto(T.Mp());
        if (mpfr_sgn(T.Mp()) >= 0 && errore <= delta)
            return 1;
        if (mpfr_sgn(T.Mp()) < 0 && errore < delta)
            return 0;
        mancanti = delta.Zero() ? 1e9 : errore.Log2() - delta.Log2() + 1.0;
        return -1;
    }

    // z <- z^2 + k on the ball (z, r); X2, Y2 hold RN(x^2), RN(y^2) and m
    // bounds their rounded sum, modulo |z|; inesatto: some rounding so far was.
    void Passo(CReale &zr, CReale &zi, const CMaggiorante &m, const CMaggiorante &modulo, CMaggiorante &r,
               int inesatto)
    {
        inesatto |= mpfr_mul(W.Mp(), zr.Mp(), zi.Mp(), MPFR_RNDN);
        mpfr_mul_2ui(W.Mp(), W.Mp(), 1, MPFR_RNDN);
        inesatto |= mpfr_add(zi.Mp(), W.Mp(), Ki.Mp(), MPFR_RNDN);
        inesatto |= mpfr_sub(T.Mp(), X2.Mp(), Y2.Mp(), MPFR_RNDN);
        inesatto |= mpfr_add(zr.Mp(), T.Mp(), Kr.Mp(), MPFR_RNDN);
        // |(z + e)^2 - z^2| <= (2|z| + |e|) |e|.
        r = (modulo + modulo + r) * r + RaggioK;
        if (inesatto)
            r += SeiU * m + ArrotondamentoK;
    }

    // Whether the orbit from here is proved to stay bounded: the ball of
    // radius R around the value now, R chosen from the distance to the value
    // q steps ago and the multiplier, is mapped by f^q into itself, and its
    // images stay inside the escape radius.
    bool Ciclo(int64_t q, const CMaggiorante &lambda)
    {
        const int tr = mpfr_sub(Vr.Mp(), Zr.Mp(), Sr.Mp(), MPFR_RNDN);
        const int ti = mpfr_sub(Vi.Mp(), Zi.Mp(), Si.Mp(), MPFR_RNDN);
        CMaggiorante distanza = CMaggiorante::Di(Vr.Mp()) + CMaggiorante::Di(Vi.Mp());
        distanza += U * (InMaggiorante(Vr.Mp(), tr) + InMaggiorante(Vi.Mp(), ti));
        // Wide enough for the distance still to go and the roundings of q steps.
        const double contrazione = std::max(1e-3, 1.0 - std::exp2(lambda.Log2()));
        const CMaggiorante modulo = CMaggiorante::Di(Zr.Mp()) + CMaggiorante::Di(Zi.Mp());
        const CMaggiorante R = CMaggiorante::Di(4.0 / contrazione) * distanza + CMaggiorante::Di(2.0) * Raggio
            + U * CMaggiorante::Potenza2(24) * modulo;
        mpfr_set(Vr.Mp(), Zr.Mp(), MPFR_RNDN);
        mpfr_set(Vi.Mp(), Zi.Mp(), MPFR_RNDN);
        CMaggiorante rho = R;
        const CMaggiorante due = CMaggiorante::Di(2.0);
        for (int64_t j = 0; j < q; ++j) {
            ++Extra;
            const int tx = mpfr_sqr(X2.Mp(), Vr.Mp(), MPFR_RNDN);
            const int ty = mpfr_sqr(Y2.Mp(), Vi.Mp(), MPFR_RNDN);
            const int tm = mpfr_add(M.Mp(), X2.Mp(), Y2.Mp(), MPFR_RNDN);
            const CMaggiorante m = CMaggiorante::Di(M.Mp());
            const CMaggiorante mod = Radice(m * UnoPiuTreU);
            if (!(mod + rho < due))
                return false;
            Passo(Vr, Vi, m, mod, rho, tx | ty | tm);
        }
        const int dr = mpfr_sub(Vr.Mp(), Vr.Mp(), Zr.Mp(), MPFR_RNDN);
        const int di = mpfr_sub(Vi.Mp(), Vi.Mp(), Zi.Mp(), MPFR_RNDN);
        CMaggiorante scarto = CMaggiorante::Di(Vr.Mp()) + CMaggiorante::Di(Vi.Mp());
        scarto += U * (InMaggiorante(Vr.Mp(), dr) + InMaggiorante(Vi.Mp(), di));
        return scarto + rho <= R;
    }

    // For a real orbit whose constant k lies in (-2, 1/4] for the whole of
    // its ball: a lower bound of b(k) = (1 + sqrt(1 - 4k)) / 2, which f maps
    // [-b, b] into and which is below 2. b decreases with k, so it is taken
    // at the ball's largest k.
    void PreparaIntervallo()
    {
        CReale alto = CReale::Zero(Bit + 64);
        CReale basso = CReale::Zero(Bit + 64);
        CReale r = CReale::Zero(Bit + 64);
        InMpfr(r.Mp(), RaggioK);
        mpfr_add(alto.Mp(), Kr.Mp(), r.Mp(), MPFR_RNDU);
        mpfr_sub(basso.Mp(), Kr.Mp(), r.Mp(), MPFR_RNDD);
        if (mpfr_cmp_si(basso.Mp(), -2) <= 0 || mpfr_cmp_d(alto.Mp(), 0.25) > 0) {
            Reale = false;
            return;
        }
        mpfr_mul_si(alto.Mp(), alto.Mp(), -4, MPFR_RNDD); // exact
        mpfr_add_ui(alto.Mp(), alto.Mp(), 1, MPFR_RNDD);
        mpfr_sqrt(alto.Mp(), alto.Mp(), MPFR_RNDD);
        mpfr_add_ui(alto.Mp(), alto.Mp(), 1, MPFR_RNDD);
        mpfr_div_2ui(alto.Mp(), alto.Mp(), 1, MPFR_RNDD);
        Beta = CMaggiorante::Sotto(alto.Mp());
    }

    const mpfr_prec_t Bit;
    const CMaggiorante U; // 2^-bit: the largest relative error of a rounding
    CReale Zr, Zi, Kr, Ki;
    CReale X2, Y2, M, T, W;
    CReale Sr, Si; // the value saved for the search of cycles
    CReale Vr, Vi; // scratch of the proofs of cycles
    CMaggiorante Raggio;  // of the ball around the orbit's value
    CMaggiorante RaggioK; // of the constant (Mandelbrot's point, rounded)
    CMaggiorante SeiU, ArrotondamentoK, UnoPiuTreU, TreU;
    bool Reale = false;
    CMaggiorante Beta;
    int64_t Extra = 0; // steps of the proofs of cycles
    // Below this the escape test needs no subtraction: m is then either
    // at least Oltre or at most Entro, or the test looks closer.
    const CMaggiorante Piccolo = CMaggiorante::Potenza2(-30);
    const CMaggiorante Oltre = CMaggiorante::Di(4.0 + 0x1p-18);
    const CMaggiorante Entro = CMaggiorante::Di(4.0 - 0x1p-18);
    // Cycles are looked for where |f^q'| is below this.
    const CMaggiorante Contrazione = CMaggiorante::Di(0.99);
};

} // namespace

CEsitoDiretto IteraDiretta(const CPuntoEsatto &c, const CFormulaDiretta &f, int32_t limite, mpfr_prec_t bit, bool cicli)
{
    CIterazione it(c, f, bit);
    return it.Itera(limite, cicli);
}

CConteggioDiretto ConteggioDiretto(const CPuntoEsatto &c, const CFormulaDiretta &f, int32_t limite, mpfr_prec_t bit)
{
    CConteggioDiretto r;
    // At least twice the bits each time: where the bound has grown as large
    // as the value, what the failed test says it lacks is only a lower bound
    // (an orbit passing near 0, for one, needs twice the bits of the window).
    const mpfr_prec_t massimo = 4 * bit + 256;
    for (;;) {
        const CEsitoDiretto e = IteraDiretta(c, f, limite, bit);
        r = {e.Conteggio, e.Certo, bit, e.Limitata, r.Passi + e.Passi};
        if (e.Certo || bit > massimo / 2)
            return r;
        const double mancanti = std::min(e.BitMancanti, double(massimo));
        bit = std::min(massimo, std::max(2 * bit + 64, bit + mpfr_prec_t(std::ceil(mancanti)) + 64));
        bit = (bit + 63) / 64 * 64;
    }
}

int32_t PassiSemplici(const CPuntoEsatto &c, const CFormulaDiretta &f, int32_t limite, mpfr_prec_t bit)
{
    CReale zr = CReale::Zero(bit), zi = CReale::Zero(bit), kr = CReale::Zero(bit), ki = CReale::Zero(bit);
    CReale x2 = CReale::Zero(bit), y2 = CReale::Zero(bit), m = CReale::Zero(bit);
    mpfr_div_si(zr.Mp(), c.Numeratore.re.Mp(), long(c.DivisoreRe), MPFR_RNDN);
    mpfr_div_si(zi.Mp(), c.Numeratore.im.Mp(), long(c.DivisoreIm), MPFR_RNDN);
    if (f.Julia) {
        mpfr_set_ld(kr.Mp(), f.Costante.re, MPFR_RNDN);
        mpfr_set_ld(ki.Mp(), f.Costante.im, MPFR_RNDN);
    } else {
        mpfr_set(kr.Mp(), zr.Mp(), MPFR_RNDN);
        mpfr_set(ki.Mp(), zi.Mp(), MPFR_RNDN);
    }
    int32_t n = 0;
    bool fuori = false;
    while (n < limite && !fuori) {
        mpfr_sqr(x2.Mp(), zr.Mp(), MPFR_RNDN);
        mpfr_sqr(y2.Mp(), zi.Mp(), MPFR_RNDN);
        mpfr_add(m.Mp(), x2.Mp(), y2.Mp(), MPFR_RNDN);
        mpfr_mul(zi.Mp(), zr.Mp(), zi.Mp(), MPFR_RNDN);
        mpfr_mul_2ui(zi.Mp(), zi.Mp(), 1, MPFR_RNDN);
        mpfr_add(zi.Mp(), zi.Mp(), ki.Mp(), MPFR_RNDN);
        mpfr_sub(zr.Mp(), x2.Mp(), y2.Mp(), MPFR_RNDN);
        mpfr_add(zr.Mp(), zr.Mp(), kr.Mp(), MPFR_RNDN);
        fuori = mpfr_cmp_ui(m.Mp(), 4) >= 0;
        ++n;
    }
    return n;
}
