#include "Perturbazione.h"

#include "Errore.h"
#include "FileParametri.h"
#include "Frattali.h"
#include "Profondita.h"
#include "Specchio.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>

// Differences below LimiteScala in magnitude go scaled: a significand w of
// 80 bits and an exponent S of their own, dz = w 2^S, and the constant the
// pixel adds as d = dc 2^-S. Above it every product a step makes is a normal
// 80-bit value with room to spare, so the steps are today's 80-bit steps,
// bit for bit. Below it the square of a difference is so far below twice
// the reference's value (at least 2^-1000 at an ordinary step) that the
// step is linear, w <- 2Z w + d, which 80-bit values take at any scale.
namespace {

constexpr long double LimiteScala = 0x1p-15000L;
// A scaled significand stays within 2^-32 .. 2^32.
constexpr long double AltoScala = 0x1p32L;
constexpr long double BassoScala = 0x1p-32L;

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
// which is never below |dz| and, unlike a square, never underflows. A value
// below 2^-40 makes the pixel look every time, so that no blind step shrinks
// a difference by more than 2^-39.
float Soglia(double a)
{
    if (!(a >= 0x1p-40))
        return 0.0f;
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

// Splits v into two doubles whose sum is v rounded to 80 bits (to 106 bits
// in fact). t is scratch of the value's precision or more.
void DueDouble(mpfr_srcptr v, mpfr_ptr t, double parti[2])
{
    parti[0] = mpfr_get_d(v, MPFR_RNDN);
    mpfr_sub_d(t, v, parti[0], MPFR_RNDN);
    parti[1] = mpfr_get_d(t, MPFR_RNDN);
}

// Whether pairs of doubles hold 2Z = re + i im as the loop needs it: each
// part to 80 bits, or, a part far below the other, to 80 bits of |2Z| (as a
// small or subnormal double). They do while |2Z| is at least 2^-1000.
bool InDueDouble(mpfr_srcptr re, mpfr_srcptr im)
{
    if (mpfr_zero_p(re) && mpfr_zero_p(im))
        return true;
    const mpfr_exp_t e = std::max(mpfr_zero_p(re) ? mpfr_exp_t(-2000) : mpfr_get_exp(re),
                                  mpfr_zero_p(im) ? mpfr_exp_t(-2000) : mpfr_get_exp(im));
    return e > -1000 && e < 1000;
}

CComplessoEsteso ComplessoEsteso(const Complesso &c)
{
    return {CEsteso(c.re), CEsteso(c.im)};
}

// The derivative of a reference orbit by the pixels' point, to track how
// far apart the pixels are around it: a complex 80-bit value with an
// exponent of its own, renormalised as it grows or shrinks.
struct CDerivata
{
    long double Re = 0.0L;
    long double Im = 0.0L;
    int64_t E = 0;

    bool Zero() const { return Re == 0.0L && Im == 0.0L; }
    // log2 of |Re| + |Im|, to within one.
    int64_t Esponente() const { return int64_t(Ilogb80(std::fabs(Re) + std::fabs(Im))) + E; }
    void Normalizza()
    {
        const long double m = std::fabs(Re) + std::fabs(Im);
        if (m == 0.0L || (m >= 0x1p-64L && m <= 0x1p64L))
            return;
        const int e = Ilogb80(m);
        Re = Ldexp80(Re, -e);
        Im = Ldexp80(Im, -e);
        E += e;
    }
};

// One step z <- z^2 + k of a reference orbit, at the precision of z:
// re = (zr + zi)(zr - zi) + kr, im = 2 zr zi + ki, two products that another
// thread can share where they are long (the same operations either way, so
// that the orbit does not depend on the threads). The two threads hand the
// product over by an atomic flag: a step takes microseconds, far less than
// waking a thread; the helper waits on a condition once it has had nothing
// to do for a while.
class CPassoMpfr
{
public:
    explicit CPassoMpfr(bool aiuto)
    {
        if (aiuto) {
            try {
                Aiuto = std::thread(&CPassoMpfr::Lavora, this);
            } catch (const std::system_error &) {
                // one thread computes the same step
            }
        }
    }
    ~CPassoMpfr()
    {
        if (Aiuto.joinable()) {
            Stato.store(Chiudi, std::memory_order_release);
            {
                std::lock_guard<std::mutex> lock(Mutex);
            }
            Condizione.notify_one();
            Aiuto.join();
        }
    }
    CPassoMpfr(const CPassoMpfr &) = delete;
    CPassoMpfr &operator=(const CPassoMpfr &) = delete;

    // True when no operation of the step rounded.
    bool Passo(CReale &zr, CReale &zi, const CReale &kr, const CReale &ki)
    {
        int inesatto = 0;
        const mpfr_prec_t p = mpfr_get_prec(zr.Mp());
        for (CReale *v : {&Somma, &Differenza, &Prodotto, &Incrocio})
            if (mpfr_get_prec(v->Mp()) != p)
                mpfr_set_prec(v->Mp(), p);
        // Two threads where a product takes microseconds.
        const bool insieme = Aiuto.joinable() && p >= 2048;
        if (insieme) {
            Zr = zr.Mp();
            Zi = zi.Mp();
            if (Stato.exchange(Lavoro, std::memory_order_acq_rel) == Dorme) {
                std::lock_guard<std::mutex> lock(Mutex);
                Condizione.notify_one();
            }
        } else {
            Inesatto = mpfr_mul(Incrocio.Mp(), zr.Mp(), zi.Mp(), MPFR_RNDN);
        }
        inesatto |= mpfr_add(Somma.Mp(), zr.Mp(), zi.Mp(), MPFR_RNDN);
        inesatto |= mpfr_sub(Differenza.Mp(), zr.Mp(), zi.Mp(), MPFR_RNDN);
        inesatto |= mpfr_mul(Prodotto.Mp(), Somma.Mp(), Differenza.Mp(), MPFR_RNDN);
        if (insieme)
            for (int giri = 0; Stato.load(std::memory_order_acquire) == Lavoro; ++giri) {
                if (giri < 4096)
                    Pausa();
                else
                    std::this_thread::yield(); // the helper is not running: let it
            }
        inesatto |= Inesatto;
        inesatto |= mpfr_mul_2ui(zi.Mp(), Incrocio.Mp(), 1, MPFR_RNDN);
        inesatto |= mpfr_add(zi.Mp(), zi.Mp(), ki.Mp(), MPFR_RNDN);
        inesatto |= mpfr_add(zr.Mp(), Prodotto.Mp(), kr.Mp(), MPFR_RNDN);
        return inesatto == 0;
    }

private:
    enum : int { Libero, Lavoro, Dorme, Chiudi };

    static void Pausa()
    {
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#endif
    }

    void Lavora()
    {
        for (;;) {
            // Spins a while for the next product, then sleeps.
            int stato = Stato.load(std::memory_order_acquire);
            for (int giri = 0; stato == Libero && giri < 200000; ++giri) {
                Pausa();
                stato = Stato.load(std::memory_order_acquire);
            }
            if (stato == Libero) {
                std::unique_lock<std::mutex> lock(Mutex);
                int atteso = Libero;
                if (Stato.compare_exchange_strong(atteso, Dorme, std::memory_order_acq_rel))
                    Condizione.wait(lock, [this] { return Stato.load(std::memory_order_acquire) != Dorme; });
                continue;
            }
            if (stato == Chiudi)
                return;
            Inesatto = mpfr_mul(Incrocio.Mp(), Zr, Zi, MPFR_RNDN);
            Stato.store(Libero, std::memory_order_release);
        }
    }

    CReale Somma = CReale::Zero(64), Differenza = CReale::Zero(64), Prodotto = CReale::Zero(64),
           Incrocio = CReale::Zero(64);
    std::thread Aiuto;
    std::mutex Mutex;
    std::condition_variable Condizione;
    std::atomic<int> Stato{Libero};
    mpfr_srcptr Zr = nullptr;
    mpfr_srcptr Zi = nullptr;
    int Inesatto = 0; // the cross product's rounding, of either thread
};

// log2 (2^a + 2^b), for bounds kept as their log2.
double Log2Somma(double a, double b)
{
    return std::max(a, b) + std::log2(1.0 + std::exp2(-std::fabs(a - b)));
}

// log2 |product of 2Z| over steps da .. a - 1 of an orbit being computed:
// below 0 where its cycle attracts.
double Log2Moltiplicatore(const CPassoRiferimento *passi, const uint8_t *generi,
                          const std::vector<CPassoSpeciale> &speciali, int64_t da, int64_t a)
{
    double somma = 0.0;
    for (int64_t j = da; j < a; ++j) {
        if (generi[j] & PassoPiccolo) {
            const auto s = std::lower_bound(speciali.begin(), speciali.end(), j,
                                            [](const CPassoSpeciale &x, int64_t indice) { return x.Indice < indice; });
            somma += 1.0 + double(std::max(s->Z.re.Esponente(), s->Z.im.Esponente()));
        } else {
            somma += std::log2(std::max(std::hypot(passi[j].DueZr[0], passi[j].DueZi[0]), 1e-300));
        }
    }
    return somma;
}

// The fewest steps between two places where a pixel's cycle check looks.
constexpr int64_t MinimoFase = 64;

// Computes one reference orbit: z <- z^2 + k from z0 into at most quanti
// steps of the orbit orbita of the store. It ends at the first step whose
// |Z|^2 is 4 or more (exactly, in MPFR), at the last step there is room for,
// or where the orbit is seen to repeat itself bit for bit (the rest is then
// copied). Its precision follows the deviations among the pixels around it:
// passo, the pixels' spacing, times the derivative of the orbit by the
// pixel's point (mandelbrot: by c, from 0; else by z0, from 1), or their
// square where the pixels straddle 0 (z^2 turns differences of d into d^2).
// Deviations that grow, as near a repelling cycle, need fewer bits as the
// orbit goes on; a Julia orbit passing the critical point needs twice as
// many after it. The precision stays within 128 bits and tetto. dc: the
// largest difference a pixel adds at every step (for the two-step sizes).
// Returns false when the drawing was stopped.
bool CalcolaOrbita(const CAreaDisegno &area, CRiferimento &rif, int32_t orbita, const CReale &z0r, const CReale &z0i,
                   const CReale &kr, const CReale &ki, const CEsteso &passo, mpfr_prec_t tetto, bool mandelbrot,
                   double dc, int64_t quanti, CPassoMpfr &passoMpfr, COrbitaRiferimento &o)
{
    o = {};
    CPassoRiferimento *passi = rif.Passo(orbita);
    float *soglie = rif.Soglie(orbita);
    uint8_t *generi = rif.Generi(orbita);
    std::vector<CPassoSpeciale> &speciali = rif.Speciali(orbita);
    speciali.clear();
    // The derivative, and the precision for the deviations at step 0.
    CDerivata derivata;
    derivata.Re = mandelbrot ? 0.0L : 1.0L;
    const long double passoM = passo.Zero() ? 0.0L : Ldexp80(passo.M, -Ilogb80(passo.M));
    const int64_t passoE = passo.Zero() ? 0 : passo.Esponente();
    const auto deviazione = [&](const CDerivata &d) {
        // passo |d|, as the binary exponent of a value
        return d.Zero() || passoM == 0.0L ? INT64_MIN / 4 : passoE + d.Esponente();
    };
    const auto bit = [&](int64_t esponente) {
        const int64_t servono = 130 - esponente;
        return mpfr_prec_t(std::min<int64_t>(tetto, std::max<int64_t>(128, (servono + 63) / 64 * 64)));
    };
    mpfr_prec_t p = bit(passoE);
    mpfr_prec_t pMassima = p;
    bool fissa = false;
    CReale zr = CReale::Zero(p), zi = CReale::Zero(p), x2 = CReale::Zero(p), y2 = CReale::Zero(p);
    CReale t = CReale::Zero(p);
    mpfr_set(zr.Mp(), z0r.Mp(), MPFR_RNDN);
    mpfr_set(zi.Mp(), z0i.Mp(), MPFR_RNDN);
    const auto precisione = [&](mpfr_prec_t nuova) {
        for (CReale *v : {&zr, &zi})
            mpfr_prec_round(v->Mp(), nuova, MPFR_RNDN);
        for (CReale *v : {&x2, &y2, &t})
            mpfr_set_prec(v->Mp(), nuova);
        p = nuova;
        pMassima = std::max(pMassima, p);
    };
    // Brent's cycle detection on the exact values.
    CReale sr = CReale::Zero(p), si = CReale::Zero(p);
    int64_t salvato = -1;
    int64_t prossimo = 1;
    bool esattoDalloInizio = true;
    double logErrore = -1e9;
    double logErroreMassimo = -1e9;
    mpfr_prec_t pSalvata = 0;
    bool fuggita = false;
    int64_t k = 0;
    for (;; ++k) {
        if (!area.Continua())
            return false;
        CPassoRiferimento &s = passi[k];
        uint8_t genere = 0;
        mpfr_mul_2ui(x2.Mp(), zr.Mp(), 1, MPFR_RNDN);
        mpfr_mul_2ui(y2.Mp(), zi.Mp(), 1, MPFR_RNDN);
        double a = 0.0;
        if (InDueDouble(x2.Mp(), y2.Mp())) {
            DueDouble(x2.Mp(), t.Mp(), s.DueZr);
            DueDouble(y2.Mp(), t.Mp(), s.DueZi);
            a = std::hypot(s.DueZr[0], s.DueZi[0]) * 0.5;
        } else {
            genere |= PassoPiccolo;
            s = CPassoRiferimento{{0.0, 0.0}, {0.0, 0.0}};
        }
        // |Z|^2 against 4: from the doubles where they tell by far, else
        // exactly; within 2^-47 of 4 an 80-bit full value may not tell, and
        // the pixels decide on the exact |Z|^2 - 4.
        const double a2 = a * a;
        if (genere & PassoPiccolo) {
            fuggita = false;
        } else if (a2 < 4.0 - 0x1p-40 || a2 > 4.0 + 0x1p-40) {
            fuggita = a2 > 4.0;
        } else {
            mpfr_sqr(x2.Mp(), zr.Mp(), MPFR_RNDN);
            mpfr_sqr(y2.Mp(), zi.Mp(), MPFR_RNDN);
            mpfr_add(t.Mp(), x2.Mp(), y2.Mp(), MPFR_RNDN);
            mpfr_sub_ui(t.Mp(), t.Mp(), 4, MPFR_RNDN);
            // An orbit on the circle itself (that of -2: 2, 2, ...) goes on,
            // for the pixels round it, which stay inside; the pixels' own
            // tests (from |Z|^2 - 4, 0 there) say where each escapes.
            fuggita = mpfr_sgn(t.Mp()) > 0;
            if (mpfr_zero_p(t.Mp()) || mpfr_get_exp(t.Mp()) < -46)
                genere |= PassoAlBordo;
        }
        soglie[k] = genere ? 0.0f : Soglia(a);
        generi[k] = genere;
        if (genere) {
            CPassoSpeciale sp;
            sp.Indice = k;
            sp.Z = {EstesoDa(zr.Mp()), EstesoDa(zi.Mp())};
            if (genere & PassoAlBordo)
                sp.Bordo = EstesoDa(t.Mp());
            speciali.push_back(sp);
        }
        if (fuggita || k + 1 >= quanti)
            break;
        // A repetition counts where the cycle attracts, or where no step
        // was ever rounded: on a repelling cycle a rounded orbit
        // repeats only because the rounding lost what it had still to show
        // (its deviation from the cycle, which grows until it escapes).
        if (salvato >= 0 && p == pSalvata && mpfr_equal_p(zr.Mp(), sr.Mp()) && mpfr_equal_p(zi.Mp(), si.Mp())
            && (esattoDalloInizio || Log2Moltiplicatore(passi, generi, speciali, salvato, k) < 0.0)) {
            // Periodic from the save on: the steps to come are copies.
            o.Ciclo = salvato;
            o.Periodo = k - salvato;
            o.PeriodoFase = o.Periodo * ((MinimoFase - 1 + o.Periodo) / o.Periodo);
            break;
        }
        if (k == prossimo) {
            mpfr_set_prec(sr.Mp(), p);
            mpfr_set_prec(si.Mp(), p);
            mpfr_set(sr.Mp(), zr.Mp(), MPFR_RNDN);
            mpfr_set(si.Mp(), zi.Mp(), MPFR_RNDN);
            salvato = k;
            pSalvata = p;
            prossimo = 2 * k;
        }
        // The deviations among the pixels at the next step: the derivative
        // d <- 2 Z d (+ 1), or their square where they straddle 0 here.
        const int64_t qui = deviazione(derivata);
        const long double zrd = mpfr_get_ld(zr.Mp(), MPFR_RNDN);
        const long double zid = mpfr_get_ld(zi.Mp(), MPFR_RNDN);
        const int64_t modulo = (genere & PassoPiccolo)
            ? std::max(mpfr_zero_p(zr.Mp()) ? INT64_MIN / 4 : int64_t(mpfr_get_exp(zr.Mp())),
                       mpfr_zero_p(zi.Mp()) ? INT64_MIN / 4 : int64_t(mpfr_get_exp(zi.Mp())))
            : int64_t(Ilogb80(std::fabs(zrd) + std::fabs(zid)));
        if (!derivata.Zero() && modulo < qui && qui < 0) {
            // Straddling 0: d^2 / passo
            derivata = {1.0L, 0.0L, 2 * qui - passoE};
        } else {
            // 2Z d, with Z's exponent apart where it lies below the 80-bit range.
            long double ur = 2.0L * zrd, ui = 2.0L * zid;
            int64_t eZ = 0;
            if (genere & PassoPiccolo) {
                const CComplessoEsteso &z = speciali.back().Z;
                eZ = modulo;
                ur = 2.0L * (z.re.Zero() ? 0.0L : Ldexp80(z.re.M, int(std::max<int64_t>(z.re.Esponente() - eZ, -20000)) - Ilogb80(z.re.M)));
                ui = 2.0L * (z.im.Zero() ? 0.0L : Ldexp80(z.im.M, int(std::max<int64_t>(z.im.Esponente() - eZ, -20000)) - Ilogb80(z.im.M)));
            }
            const long double nr = ur * derivata.Re - ui * derivata.Im;
            derivata.Im = ur * derivata.Im + ui * derivata.Re;
            derivata.Re = nr;
            derivata.E += eZ;
        }
        if (mandelbrot) {
            // + 1, where it counts beside 2Z d.
            const int64_t e = derivata.Zero() ? INT64_MIN / 4 : derivata.Esponente();
            if (e < 70) {
                const long double uno = e < -70 ? 1.0L : Ldexp80(1.0L, int(-derivata.E));
                if (e < -70)
                    derivata = {1.0L, 0.0L, 0};
                else
                    derivata.Re += uno;
            }
        }
        derivata.Normalizza();
        // Deviations of 1 or more need no more than the least precision: held there.
        if (!derivata.Zero() && deviazione(derivata) > 64)
            derivata.E -= deviazione(derivata) - 64;
        // z <- z^2 + k, at the precision the next step needs.
        // Fewer bits only while the deviations grow (an orbit leaving a
        // repelling cycle): once they shrink again (an orbit returning near
        // 0, as near a minibrot) the precision only grows, so that an orbit
        // turning periodic repeats its values at the same precision.
        const mpfr_prec_t serve = bit(deviazione(derivata));
        if (!derivata.Zero() && serve != p) {
            if (serve > p)
                fissa = true;
            if (serve > p || !fissa) {
                esattoDalloInizio = esattoDalloInizio && serve > p; // rounding to fewer bits
                precisione(serve);
            }
        }
        const bool esatto = passoMpfr.Passo(zr, zi, kr, ki);
        esattoDalloInizio = esatto && esattoDalloInizio;
        // A bound on the orbit's own error, in log2: carried by 2Z, and a
        // rounding of 2^-p of the new value where the step rounded. |2Z| from
        // above: an orbit lingering on a cycle of multiplier 2^0.3 grows its
        // error by that much a step, which a whole power of 2 would miss.
        const double log2DueZ = (genere & PassoPiccolo) ? 1.5 + double(modulo)
                                                        : 1.0 + std::log2(a) + 0x1p-40;
        const double portato = logErrore + log2DueZ;
        const double nuovo = esatto ? -1e9 : 2.0 - double(p);
        logErrore = Log2Somma(portato, nuovo);
        logErroreMassimo = std::max(logErroreMassimo, logErrore);
    }
    rif.Precisione = std::max<long>(rif.Precisione, long(pMassima));
    // Its own count is in doubt where its error may have grown to tell at
    // any step (a reference point far closer to a repelling cycle's
    // preimage than its pixels, whose deviations set the precision). An
    // error grown that far bounds nothing after: the orbit may have left the
    // cycle on the wrong side, into an attracting cycle whose steps shrink
    // the bound again (Julia of -0.25 - 0.0234375i, 10^-6279 around a
    // preimage of its repelling fixed point: the orbit escapes, the rounded
    // one fell to the attracting fixed point).
    o.Indugia = logErroreMassimo > -24.0;
    o.BitMancanti = o.Indugia ? int64_t(std::ceil(std::min(logErroreMassimo, 1e6))) + 24 : 0;
    o.BitRaggiunti = pMassima;
    int64_t ultimo = k;
    if (o.Periodo > 0) {
        // The rest of the room repeats the cycle; the special steps are
        // found by the step each one repeats.
        const int64_t P = o.Periodo;
        for (int64_t j = k; j < quanti; ++j) {
            const int64_t sorgente = j - P;
            passi[j] = passi[sorgente];
            soglie[j] = soglie[sorgente];
            generi[j] = generi[sorgente];
        }
        ultimo = quanti - 1;
        fuggita = false;
    }
    soglie[ultimo] = 0.0f; // the last step: the pixel must rebase or escape
    float *soglie2 = rif.Soglie2(orbita);
    soglie2[ultimo] = 0.0f;
    for (int64_t j = 0; j < ultimo; ++j)
        soglie2[j] = SogliaDoppia(soglie[j], soglie[j + 1], std::hypot(passi[j].DueZr[0], passi[j].DueZi[0]) * 0.5, dc);
    o.Passi = passi;
    o.Soglie = soglie;
    o.Soglie2 = soglie2;
    o.Generi = generi;
    o.Ultimo = ultimo;
    o.Fuggita = fuggita;
    o.Speciali = speciali.data();
    o.QuantiSpeciali = int64_t(speciali.size());
    return true;
}

// A point as exact quotients of numbers by integers, to any precision.
struct CPuntoRazionale
{
    CReale Re;
    CReale Im;
    int64_t DivisoreRe = 1;
    int64_t DivisoreIm = 1;

    // The point at p bits; true where it is exact.
    bool A(mpfr_prec_t p, CReale &re, CReale &im) const
    {
        re = CReale::Zero(p);
        im = CReale::Zero(p);
        const int r = mpfr_div_si(re.Mp(), Re.Mp(), long(DivisoreRe), MPFR_RNDN);
        const int i = mpfr_div_si(im.Mp(), Im.Mp(), long(DivisoreIm), MPFR_RNDN);
        return r == 0 && i == 0;
    }
};

// The formula's own loop in MPFR from the point z0 with the constant k
// (Mandelbrot: none, the point itself): the count and final value (one step
// past, as Itera ends), at bit bits and more until the count is certain, at
// most 16 times bit (past that, the last). The loop carries a bound on its
// distance from the point's own orbit: a count is certain where the bound
// stayed below 2^-24 at every step and every escape test cleared it. Two
// precisions that agree are not enough: an orbit lingering on a repelling
// cycle longer than their bits can tell leaves it on either side, and both
// may fall into an attracting cycle where the point's own orbit escapes.
// The next precision has the bits the bound lacked, or twice as many.
// Returns false when the drawing was stopped.
bool ContaDiretto(const CAreaDisegno &area, const CPuntoRazionale &z0, const CReale *kr, const CReale *ki,
                  int32_t max, mpfr_prec_t bit, CPassoMpfr &passoMpfr, int32_t &conteggio, Complesso &finale)
{
    for (mpfr_prec_t p = bit; p <= 16 * bit;) {
        CReale zr, zi, cr, ci;
        const bool esattoZ = z0.A(p, zr, zi);
        const bool esattoK = kr || z0.A(p, cr, ci);
        const CReale &kre = kr ? *kr : cr;
        const CReale &kim = ki ? *ki : ci;
        CReale m = CReale::Zero(p), t = CReale::Zero(p);
        // log2 of the bound: each step carries it by |z^2 - w^2| <= (2|w| +
        // e) e and adds its roundings and the constant's, below 2^(6 - p) for
        // values within the radius. A test of |z|^2 against 4 holds for the
        // point's own orbit where they differ by more than (2|w| + e) e, at
        // most 2^3 e.
        const double arrotondamento = 6.0 - double(p);
        double errore = esattoZ ? -1e9 : arrotondamento;
        double peggiore = errore;
        bool incerto = false;
        int32_t n = 0;
        // The last precision tried runs to its end; one before it stops
        // where the bound passes 1, having lost all it could tell.
        const bool ultima = 2 * p > 16 * bit;
        while (n < max && (ultima || peggiore < 0.0)) {
            if ((n & 63) == 0 && !area.Continua())
                return false;
            // |Z|^2 against 4: from doubles where they tell by far, else at p bits.
            const double x = mpfr_get_d(zr.Mp(), MPFR_RNDN), y = mpfr_get_d(zi.Mp(), MPFR_RNDN);
            const double m2 = x * x + y * y;
            bool fuori = m2 > 4.0 + 0x1p-40;
            if (m2 >= 4.0 - 0x1p-40 && !fuori) {
                mpfr_sqr(m.Mp(), zr.Mp(), MPFR_RNDN);
                mpfr_sqr(t.Mp(), zi.Mp(), MPFR_RNDN);
                mpfr_add(m.Mp(), m.Mp(), t.Mp(), MPFR_RNDN);
                mpfr_sub_ui(t.Mp(), m.Mp(), 4, MPFR_RNDN);
                fuori = mpfr_sgn(t.Mp()) >= 0;
                if (errore > -1e8)
                    incerto = incerto || mpfr_zero_p(t.Mp()) || double(mpfr_get_exp(t.Mp())) - 1.0 <= errore + 3.0;
            } else {
                incerto = incerto || std::fabs(m2 - 4.0) <= std::exp2(errore + 3.0) + 0x1p-50;
            }
            const bool esatto = passoMpfr.Passo(zr, zi, kre, kim) && esattoK;
            ++n;
            if (fuori)
                break;
            const double portato = errore + std::log2(2.0 * std::sqrt(m2) * (1.0 + 0x1p-40) + std::exp2(errore));
            errore = esatto ? portato : Log2Somma(portato, arrotondamento);
            peggiore = std::max(peggiore, errore);
        }
        conteggio = n;
        finale = {zr.Esteso(), zi.Esteso()};
        if (peggiore <= -24.0 && !incerto)
            break;
        // Where the bound grew past all it can tell (past 1), the bits it
        // lacked are not known: twice as many.
        mpfr_prec_t prossima = 2 * p;
        if (peggiore > -24.0 && peggiore < 0.0)
            prossima = std::max<mpfr_prec_t>(p + 64, p + mpfr_prec_t(std::ceil(peggiore)) + 24 + 64);
        p = (prossima + 63) / 64 * 64;
    }
    return true;
}

// Whether a pixel lies on the reference point (the only one whose
// differences are both 0).
bool SuUnPixel(const CRiferimento &rif)
{
    return rif.ResiduoX.Zero() && rif.ResiduoY.Zero() && rif.ColonnaCentro2 % 2 == 0 && rif.RigaCentro2 % 2 == 0;
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

// A leap's coefficients at any exponent, while they are built.
struct CSaltoLargo
{
    CComplessoEsteso A;
    CComplessoEsteso B;
    CEsteso Raggio;
};

CEsteso Modulo(const CComplessoEsteso &z)
{
    // |z| to well within the radius's own margin.
    const int64_t e = std::max(z.re.Esponente(), z.im.Esponente());
    if (z.re.Zero() && z.im.Zero())
        return CEsteso();
    const auto scala = [&](const CEsteso &x) {
        return x.Zero() ? 0.0L : Ldexp80(Ldexp80(x.M, -Ilogb80(x.M)), int(std::max<int64_t>(x.Esponente() - e, -20000)));
    };
    const long double r = scala(z.re), i = scala(z.im);
    return CEsteso(std::sqrt(r * r + i * i), e);
}

CSaltoLargo Unisci(const CSaltoLargo &x, const CSaltoLargo &y, const CEsteso &dc)
{
    CSaltoLargo r;
    r.A = y.A * x.A;
    r.B = y.A * x.B + y.B;
    const CEsteso a = Modulo(x.A);
    const CEsteso resto = y.Raggio - Modulo(x.B) * dc;
    CEsteso raggio;
    if (!a.Zero()) {
        raggio = resto.M > 0.0L ? CEsteso(resto.M / a.M, resto.E - a.E) : CEsteso();
    } else {
        raggio = resto.M > 0.0L ? x.Raggio : CEsteso();
    }
    if (Minore(x.Raggio, raggio))
        raggio = x.Raggio;
    raggio = raggio * CEsteso(1.0L - Trascurabile);
    r.Raggio = raggio.M > 0.0L ? raggio : CEsteso();
    return r;
}

CSaltoEsteso Compatto(const CSaltoLargo &s)
{
    // Each complex coefficient on the larger exponent of its parts.
    const auto comune = [](const CComplessoEsteso &z, long double &r, long double &i, int64_t &e) {
        e = std::max(z.re.Zero() ? INT64_MIN / 4 : z.re.Esponente(), z.im.Zero() ? INT64_MIN / 4 : z.im.Esponente());
        if (z.re.Zero() && z.im.Zero()) {
            r = i = 0.0L;
            e = 0;
            return;
        }
        const auto parte = [&](const CEsteso &x) {
            return x.Zero() ? 0.0L
                            : Ldexp80(Ldexp80(x.M, -Ilogb80(x.M)), int(std::max<int64_t>(x.Esponente() - e, -20000)));
        };
        r = parte(z.re);
        i = parte(z.im);
    };
    CSaltoEsteso c;
    comune(s.A, c.Ar, c.Ai, c.EA);
    comune(s.B, c.Br, c.Bi, c.EB);
    if (s.Raggio.Zero()) {
        c.Raggio = 0.0L;
        c.ER = 0;
    } else {
        c.ER = s.Raggio.Esponente();
        c.Raggio = Ldexp80(s.Raggio.M, -Ilogb80(s.Raggio.M));
    }
    return c;
}

// The leaps of orbit o from step base: level PrimoLivello from its steps,
// each level above from pairs of the one below; in 80 bits, and where the
// store has room for them, at any exponent for the scaled differences.
// mandelbrot: the pixels add their difference (at most dc) at every step.
void CostruisciSalti(COrbitaRiferimento &o, CSalto *salto, CSaltoEsteso *esteso, int64_t base, bool mandelbrot,
                     long double dc, const CEsteso &dcEsteso)
{
    using Tabella = CTabellaSalti<CSalto>;
    int livello = Tabella::PrimoLivello;
    const int64_t passi = int64_t(1) << livello;
    int64_t quanti = (o.Ultimo - base) / passi;
    o.Salti = {};
    o.SaltiEstesi = {};
    o.Salti.Base = o.SaltiEstesi.Base = base;
    if (quanti <= 0)
        return;
    o.Salti.Massimo = o.SaltiEstesi.Massimo = livello;
    o.Salti.Livelli[livello] = salto;
    o.Salti.Quanti[livello] = o.SaltiEstesi.Quanti[livello] = quanti;
    o.SaltiEstesi.Livelli[livello] = esteso;
    std::vector<CSaltoLargo> larghi;
    if (esteso)
        larghi.resize(size_t(quanti));
    for (int64_t k = 0; k < quanti; ++k) {
        CSaltoLargo largo;
        for (int64_t j = 0; j < passi; ++j) {
            // One step: dz -> 2Z dz + dc, leaving out dz^2, which is below
            // Trascurabile of 2Z dz while |dz| < Trascurabile |2Z|.
            const int64_t i = base + k * passi + j;
            const CPassoRiferimento &p = o.Passi[i];
            CSalto uno;
            uno.Ar = Somma(p.DueZr);
            uno.Ai = Somma(p.DueZi);
            uno.Br = mandelbrot ? 1.0L : 0.0L;
            uno.Bi = 0.0L;
            uno.Raggio = std::min<long double>(Trascurabile * std::sqrt(uno.Ar * uno.Ar + uno.Ai * uno.Ai), o.Soglie[i]);
            *salto = j == 0 ? uno : Unisci(*salto, uno, dc);
            if (esteso) {
                CSaltoLargo l{{CEsteso(uno.Ar), CEsteso(uno.Ai)}, {CEsteso(uno.Br), CEsteso(uno.Bi)}, CEsteso(uno.Raggio)};
                largo = j == 0 ? l : Unisci(largo, l, dcEsteso);
            }
        }
        ++salto;
        if (esteso) {
            larghi[size_t(k)] = largo;
            *esteso++ = Compatto(largo);
        }
    }
    while (quanti >= 2 && livello + 1 < 64) {
        const CSalto *sotto = o.Salti.Livelli[livello];
        ++livello;
        quanti /= 2;
        o.Salti.Livelli[livello] = salto;
        o.Salti.Quanti[livello] = quanti;
        o.Salti.Massimo = livello;
        for (int64_t k = 0; k < quanti; ++k)
            *salto++ = Unisci(sotto[2 * k], sotto[2 * k + 1], dc);
        if (esteso) {
            o.SaltiEstesi.Livelli[livello] = esteso;
            o.SaltiEstesi.Quanti[livello] = quanti;
            o.SaltiEstesi.Massimo = livello;
            for (int64_t k = 0; k < quanti; ++k) {
                larghi[size_t(k)] = Unisci(larghi[size_t(2 * k)], larghi[size_t(2 * k + 1)], dcEsteso);
                *esteso++ = Compatto(larghi[size_t(k)]);
            }
        }
    }
    if (!esteso)
        o.SaltiEstesi.Massimo = 0;
}

// Steps between two checkpoints inside long orbits.
constexpr int32_t Tratto = 1 << 16;

} // namespace

// A pixel on its way through the loop. The x87 routine reads and writes the
// fields up to I (their layout is its own, see PerturbazioneX87.S).
struct alignas(16) CCorsia
{
    long double Dr;       // the difference now (scaled: its significand)
    long double Di;
    long double Ar;       // what every step adds: the pixel's difference (Mandelbrot) or 0 (Julia); scaled as Dr
    long double Ai;
    const CPassoRiferimento *Passi; // of the orbit the pixel is on
    const float *Soglie2;
    int64_t I;            // the step of that orbit
    const COrbitaRiferimento *Orbita;
    // A difference below LimiteScala is (Dr, Di) 2^Scala, and what each
    // step adds (Ar, Ai) 2^Scala; a scaled lane never goes to the x87 routine.
    bool Scalata = false;
    int64_t Scala = 0;
    CComplessoEsteso Dc;  // the pixel's difference at any exponent (Mandelbrot; 0 for Julia)
    int32_t N = 0;        // steps taken
    bool Finita = false;  // escaped, or at the limit
    // The step at which the lane outlived the reference orbit (-1: it has
    // not): it went on from there without its own difference (Fidata).
    int32_t Oltre = -1;
    long double Margine = 0.0L; // then |z|^2 - 4 where it escaped
    bool Periodica = false;     // ended by the cycle check
    // The count after a step that lost a part of the difference it made to
    // cancellation (-1: none), and the orbit and step the lane was then on:
    // see Ripara.
    int32_t Cancellata = -1;
    const COrbitaRiferimento *OrbitaCancellata = nullptr;
    int64_t ICancellata = 0;
    // An escape test on the circle |z| = 2 that the lane's bits could not
    // decide: the pixel's own loop counts it (Fidata).
    bool Dubbia = false;
    int32_t X = 0;
    int32_t Y = 0;
    CPunto P;
    // The state saved for the cycle check (Brent): the lane's orbit, step
    // (the one it repeats, on a periodic orbit) and difference, and when.
    struct CSalvato
    {
        const COrbitaRiferimento *Orbita = nullptr;
        int64_t I = 0;
        long double Dr = 0.0L;
        long double Di = 0.0L;
        int64_t Scala = 0;
        bool Scalata = false;
        int32_t N = -1; // none yet
    } Salvato;
    int32_t ProssimoSalvataggio = PrimoSalvataggio;
    int32_t Risparmiati = 0; // the steps the cycle check spared
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

// The difference of a lane at any exponent.
CComplessoEsteso Differenza(const CCorsia &c)
{
    if (!c.Scalata)
        return ComplessoEsteso({c.Dr, c.Di});
    return {CEsteso(c.Dr, c.Scala), CEsteso(c.Di, c.Scala)};
}

// Scales a lane: its difference d, what it adds from its own Dc.
void Scala(CCorsia &c, const CComplessoEsteso &d)
{
    const int64_t e = std::max(d.re.Zero() ? INT64_MIN / 4 : d.re.Esponente(), d.im.Zero() ? INT64_MIN / 4 : d.im.Esponente());
    const auto parte = [](const CEsteso &x, int64_t e) {
        if (x.Zero())
            return x.M * 0.0L;
        const int64_t s = x.Esponente() - e;
        return s < -20000 ? 0.0L : Ldexp80(Ldexp80(x.M, -Ilogb80(x.M)), int(s));
    };
    c.Scalata = true;
    c.Scala = e;
    c.Dr = parte(d.re, e);
    c.Di = parte(d.im, e);
    c.Ar = parte(c.Dc.re, e);
    c.Ai = parte(c.Dc.im, e);
}

// Sets a lane's difference d: plainly when it is large enough, scaled otherwise.
// A difference of exactly 0 (a pixel on its reference) stays plain: it stays 0.
void Imposta(CCorsia &c, const CComplessoEsteso &d)
{
    const long double r = d.re.Valore();
    const long double i = d.im.Valore();
    const long double misura = std::fabs(r) + std::fabs(i);
    const bool zero = d.re.Zero() && d.im.Zero() && c.Dc.re.Zero() && c.Dc.im.Zero();
    if (zero || misura >= LimiteScala) {
        c.Scalata = false;
        c.Scala = 0;
        c.Dr = r;
        c.Di = i;
        c.Ar = c.Dc.re.Valore();
        c.Ai = c.Dc.im.Valore();
    } else {
        Scala(c, d);
    }
}

// Where a scaled significand grew or shrank past its bounds: back within
// them, or plain once the difference is large enough.
void Riscala(CCorsia &c)
{
    const long double m = std::fabs(c.Dr) + std::fabs(c.Di);
    if (m >= BassoScala && m <= AltoScala)
        return;
    if (m == 0.0L)
        return;
    Imposta(c, Differenza(c));
}

// The value of the orbit o at step i, as 80 bits (0 below their range) and at any exponent.
Complesso ValoreDoppio(const COrbitaRiferimento &o, int64_t i)
{
    const CPassoRiferimento &p = o.Passi[i];
    return {Somma(p.DueZr), Somma(p.DueZi)};
}

CComplessoEsteso ValoreEsteso(const COrbitaRiferimento &o, int64_t i)
{
    if (o.Generi[i] & PassoPiccolo)
        return o.Speciale(o.Canonico(i)).Z;
    const Complesso due = ValoreDoppio(o, i);
    return {CEsteso(due.re * 0.5L), CEsteso(due.im * 0.5L)};
}

// The lane's full value Z + dz rounded to 80 bits.
Complesso Pieno(const CCorsia &c)
{
    const CComplessoEsteso z = ValoreEsteso(*c.Orbita, c.I) + Differenza(c);
    return {z.re.Valore(), z.im.Valore()};
}

// Whether a part of a difference, the sum of terms whose magnitudes add up
// to termini, kept fewer than 24 of its 64 bits: the rest is the terms'
// rounding. (A part exactly 0 of terms all 0 keeps them all.)
bool Cancella(long double parte, long double termini)
{
    return std::fabs(parte) < 0x1p-40L * termini;
}

bool CancellaEsteso(const CEsteso &parte, const CEsteso &termini)
{
    return !termini.Zero() && Minore(Assoluto(parte), termini * CEsteso(0x1p-40L));
}

void SegnaCancellata(CCorsia &c, const COrbitaRiferimento *orbita, int64_t i, int32_t n)
{
    c.Cancellata = n;
    c.OrbitaCancellata = orbita;
    c.ICancellata = i;
}

// Whether the full value Z + dz, at step i of the lane's orbit, has |Z + dz|^2
// of 4 or more: exactly enough, from |Z|^2 - 4 where that is small.
bool Fuori(CCorsia &c, const CComplessoEsteso &z, const CComplessoEsteso &dz)
{
    const COrbitaRiferimento &o = *c.Orbita;
    if (o.Generi[c.I] & PassoAlBordo) {
        // |Z + dz|^2 - 4 = (|Z|^2 - 4) + 2 Re(conj(Z) dz) + |dz|^2: where
        // its terms cancel below their rounding, the lane cannot tell.
        const CEsteso due(2.0L);
        const CEsteso &bordo = o.Speciale(o.Canonico(c.I)).Bordo;
        const CEsteso xr = due * (z.re * dz.re), xi = due * (z.im * dz.im);
        const CEsteso q = dz.re * dz.re + dz.im * dz.im;
        const CEsteso v = bordo + (xr + xi) + q;
        if (CancellaEsteso(v, Assoluto(bordo) + Assoluto(xr) + Assoluto(xi) + q))
            c.Dubbia = true;
        return v.M >= 0.0L;
    }
    const CComplessoEsteso f = z + dz;
    const CEsteso m = f.re * f.re + f.im * f.im;
    return !Minore(m, CEsteso(4.0L));
}

// Ends a lane that escaped at its step: one step past, as Itera ends.
void Fuggi(const CRiferimento &rif, CCorsia &c, const Complesso &f)
{
    const Complesso &k = rif.Mandelbrot ? c.P.c : rif.Costante;
    const long double x2 = f.re * f.re;
    const long double y2 = f.im * f.im;
    c.P.z = {(x2 - y2) + k.re, (f.re * 2.0L) * f.im + k.im};
    c.P.Iterazioni = c.N + 1;
    c.Finita = true;
}

// While the difference is small, whole stretches of steps at once: the
// largest leap that starts here, stays within the limit and holds it.
void Salta(const CRiferimento &rif, CCorsia &c)
{
    if (!rif.SaltiAmmessi)
        return;
    const COrbitaRiferimento &o = *c.Orbita;
    const int64_t m0 = c.I - o.Salti.Base;
    if (m0 < 0)
        return;
    int64_t m = m0;
    const int32_t max = c.P.MaxIterazioni;
    // A leap of level l starts at a multiple of 2^l: the first level to try.
    const auto primo = [&m](int massimo) { return m == 0 ? massimo : std::min(massimo, __builtin_ctzll(uint64_t(m))); };
    if (!c.Scalata) {
        const CTabellaSalti<CSalto> &t = o.Salti;
        const long double dcr = c.Ar;
        const long double dci = c.Ai;
        // A leap of level l + 1 is two of level l, valid where the first is
        // and less: the radii shrink as the levels rise, and so do the
        // leaps there is room for. The largest leap that holds is found by
        // halving the levels, and the first look tells whether any does.
        const auto vale = [&](int l) {
            const int64_t k = m >> l;
            return k < t.Quanti[l] && max - c.N >= (int64_t(1) << l)
                   && std::fabs(c.Dr) + std::fabs(c.Di) < t.Livelli[l][k].Raggio;
        };
        constexpr int primoLivello = CTabellaSalti<CSalto>::PrimoLivello;
        for (;;) {
            int alto = primo(t.Massimo);
            if (alto < primoLivello || !vale(primoLivello))
                return;
            int l = primoLivello;
            while (l < alto) {
                const int mezzo = (l + alto + 1) / 2;
                if (vale(mezzo))
                    l = mezzo;
                else
                    alto = mezzo - 1;
            }
            const int64_t passi = int64_t(1) << l;
            const CSalto &s = t.Livelli[l][m >> l];
            const long double nr = (s.Ar * c.Dr - s.Ai * c.Di) + (s.Br * dcr - s.Bi * dci);
            c.Di = (s.Ar * c.Di + s.Ai * c.Dr) + (s.Br * dci + s.Bi * dcr);
            c.Dr = nr;
            c.I += passi;
            c.N += int32_t(passi);
            m += passi;
        }
    }
    const CTabellaSalti<CSaltoEsteso> &t = o.SaltiEstesi;
    for (int l = primo(t.Massimo); l >= CTabellaSalti<CSaltoEsteso>::PrimoLivello;) {
        const int64_t k = m >> l;
        const int64_t passi = int64_t(1) << l;
        if ((m & (passi - 1)) != 0 || k >= t.Quanti[l] || max - c.N < passi) {
            --l;
            continue;
        }
        const CSaltoEsteso &s = t.Livelli[l][k];
        // |dz| < radius: |w| 2^Scala < r 2^ER.
        const int64_t d = c.Scala - s.ER;
        const long double w = std::fabs(c.Dr) + std::fabs(c.Di);
        const bool dentro = s.Raggio > 0.0L && (d < -20000 || (d <= 20000 && Ldexp80(w, int(d)) < s.Raggio));
        if (!dentro) {
            --l;
            continue;
        }
        // w' = A w 2^EA + B d 2^EB, on the larger of the two exponents.
        const long double ar = s.Ar * c.Dr - s.Ai * c.Di;
        const long double ai = s.Ar * c.Di + s.Ai * c.Dr;
        const long double br = s.Br * c.Ar - s.Bi * c.Ai;
        const long double bi = s.Br * c.Ai + s.Bi * c.Ar;
        const int64_t e = std::max(s.EA, s.EB);
        const auto giu = [](long double v, int64_t s) { return s < -20000 ? v * 0.0L : Ldexp80(v, int(s)); };
        const CComplessoEsteso nuova{CEsteso(giu(ar, s.EA - e) + giu(br, s.EB - e), c.Scala + e),
                                     CEsteso(giu(ai, s.EA - e) + giu(bi, s.EB - e), c.Scala + e)};
        c.I += passi;
        c.N += int32_t(passi);
        m += passi;
        Imposta(c, nuova);
        if (!c.Scalata)
            return; // the rest with the 80-bit leaps, from the next look
        l = primo(t.Massimo);
    }
}

// A column's (row's) difference from the reference point's, at any
// exponent, given the reference's place there and the half step; in 80 bits
// exactly today's product where it is one.
CEsteso DifferenzaPosto(int32_t k, int64_t centro2, const CEsteso &mezzoPasso, const CEsteso &residuo)
{
    // (2k - 2 column) (step / 2): for a whole column exactly (k - column) step.
    const CEsteso d = CEsteso(static_cast<long double>(2 * int64_t(k) - centro2)) * mezzoPasso;
    return residuo.Zero() ? d : d - residuo;
}

// A column's (row's) difference, and the 80-bit part of its pixels' points
// about the reference point's part centro.
CRiferimento::CPosto Posto(int32_t k, int64_t centro2, const CEsteso &mezzoPasso, const CEsteso &residuo,
                           const long double (&centro)[2])
{
    const CEsteso d = DifferenzaPosto(k, centro2, mezzoPasso, residuo);
    return {d, centro[0] + (centro[1] + d.Valore())};
}

CRiferimento::CPosto Colonna(const CRiferimento &rif, int32_t x)
{
    if (x >= 0 && size_t(x) < rif.Colonne.size())
        return rif.Colonne[size_t(x)];
    return Posto(x, rif.ColonnaCentro2, rif.MezzoPassoX, rif.ResiduoX, rif.CentroRe);
}

CRiferimento::CPosto Riga(const CRiferimento &rif, int32_t y)
{
    if (y >= 0 && size_t(y) < rif.Righe.size())
        return rif.Righe[size_t(y)];
    return Posto(y, rif.RigaCentro2, rif.MezzoPassoY, rif.ResiduoY, rif.CentroIm);
}

// Every column's and row's difference and point, once a drawing's reference
// point and steps are known: pixels up to a block beyond the edges take them
// from there.
void PreparaPixel(CRiferimento &rif, int32_t W, int32_t H)
{
    rif.Colonne.clear();
    rif.Righe.clear();
    for (int32_t x = 0; x < W + 16; ++x)
        rif.Colonne.push_back(Posto(x, rif.ColonnaCentro2, rif.MezzoPassoX, rif.ResiduoX, rif.CentroRe));
    for (int32_t y = 0; y < H + 16; ++y)
        rif.Righe.push_back(Posto(y, rif.RigaCentro2, rif.MezzoPassoY, rif.ResiduoY, rif.CentroIm));
}

// The pixel's difference from the reference point, at any exponent.
CComplessoEsteso DifferenzaDelPixel(const CRiferimento &rif, int32_t x, int32_t y)
{
    return {Colonna(rif, x).Differenza, Riga(rif, y).Differenza};
}

// The pixel's point rounded to 80 bits, for the colourers and the mirror images.
Complesso PuntoDelPixel(const CRiferimento &rif, int32_t x, int32_t y)
{
    return {Colonna(rif, x).Punto, Riga(rif, y).Punto};
}

// A lane may outlive its reference orbit (the reference escaped first): it
// goes on with its full value in the difference, rounded to 64 bits, where
// its own difference from the reference point, far smaller, is lost. That
// error at most quadruples a step: an escape a few steps on, clear of the
// radius by far more than the error, is the pixel's; any other end (later,
// close to the radius, or at the limit with no cycle found) is not, and the
// count is then the pixel's own (ContaPixel).
constexpr int32_t PassiOltre = 16;

bool Fidata(const CCorsia &c)
{
    if (c.Dubbia)
        return false;
    if (c.Oltre < 0 || c.Periodica)
        return true;
    const int32_t k = c.P.Iterazioni - c.Oltre;
    return c.P.Iterazioni < c.P.MaxIterazioni && k <= PassiOltre && c.Margine > Ldexp80(1.0L, 2 * k - 50);
}

CReale RealeDa(const CEsteso &x)
{
    CReale v(x.M);
    mpfr_mul_2si(v.Mp(), v.Mp(), long(x.E), MPFR_RNDN); // exact
    return v;
}

// Pixel (x, y)'s point exactly as the picture stands for it: (Min (W - x)
// + Max x) / W and (Max (H - y) + Min y) / H, each numerator summed exactly
// (so that a pixel and its mirror image are each other's mirror at every
// precision).
CPuntoRazionale PuntoEsatto(const CRiferimento &rif, int32_t x, int32_t y)
{
    const int32_t W = rif.Larghezza, H = rif.Altezza;
    return {SommaEsatta(ProdottoEsatto(rif.Minimo.re, W - int64_t(x)), ProdottoEsatto(rif.Massimo.re, x)),
            SommaEsatta(ProdottoEsatto(rif.Massimo.im, H - int64_t(y)), ProdottoEsatto(rif.Minimo.im, y)), W, H};
}

// The count of the pixel on the reference point, where the reference's
// orbit went on far beyond its pixels' deviations (COrbitaRiferimento::
// Indugia): it lies so close to a repelling cycle's preimage that its count
// needs the bits of that closeness, which the orbit's precision (set by its
// pixels) may lack; so may the reference point, that pixel's point rounded
// to twice the window's bits. The pixel's own loop from its exact point
// counts it. The constant k: none for Mandelbrot (the point itself).
bool ContaProprio(const CAreaDisegno &area, const CReale *kr, const CReale *ki, int32_t max, mpfr_prec_t bit,
                  CPassoMpfr &passoMpfr, CRiferimento &rif)
{
    // The bits the orbit's own error bound says its count lacked, and a word
    // more (bit: the most the pixels' deviations may call for).
    const COrbitaRiferimento &o = rif.Avvio;
    const int64_t serve = std::clamp<int64_t>(o.BitRaggiunti + o.BitMancanti + 64, 128, 16 * int64_t(bit));
    const CPuntoRazionale punto = PuntoEsatto(rif, int32_t(rif.ColonnaCentro2 / 2), int32_t(rif.RigaCentro2 / 2));
    return ContaDiretto(area, punto, kr, ki, max, mpfr_prec_t((serve + 63) / 64 * 64), passoMpfr,
                        rif.ConteggioProprio, rif.ZProprio);
}

// The count and final value of a lane that is not Fidata: the formula's own
// loop in MPFR from the pixel's exact point. Returns false when the drawing
// was stopped.
bool ContaPixel(const CAreaDisegno &area, const CRiferimento &rif, CCorsia &c)
{
    const CPuntoRazionale punto = PuntoEsatto(rif, c.X, c.Y);
    CPassoMpfr passo(false);
    // From the reference's bits: the loop's bound says where the pixel's
    // own orbit needs more.
    const mpfr_prec_t bit = std::max(mpfr_prec_t(rif.Precisione) + 64, mpfr_prec_t(128));
    int32_t n = 0;
    Complesso z;
    const CReale kr(rif.Costante.re), ki(rif.Costante.im);
    if (!ContaDiretto(area, punto, rif.Mandelbrot ? nullptr : &kr, rif.Mandelbrot ? nullptr : &ki, c.P.MaxIterazioni, bit,
                      passo, n, z))
        return false;
    c.P.Iterazioni = n;
    c.P.z = z;
    c.Oltre = -1;
    c.Dubbia = false;
    return true;
}

// Puts a lane at step i of orbit o after n steps taken, with nothing of
// its past: no end, no cycle check's state, no doubt.
void Riparti(CCorsia &c, const COrbitaRiferimento *o, int64_t i, int32_t n)
{
    c.Orbita = o;
    c.Passi = o->Passi;
    c.Soglie2 = o->Soglie2;
    c.I = i;
    c.N = n;
    c.Finita = false;
    c.Oltre = -1;
    c.Margine = 0.0L;
    c.Periodica = false;
    c.Cancellata = -1;
    c.Dubbia = false;
    c.Salvato = {};
    c.ProssimoSalvataggio = std::max(PrimoSalvataggio, n + 1);
    c.Risparmiati = 0;
}

// Starts pixel (x, y) on a lane.
void Avvia(const CRiferimento &rif, int32_t max, int32_t x, int32_t y, CCorsia &c)
{
    const CComplessoEsteso d = DifferenzaDelPixel(rif, x, y);
    const CEsteso &dcr = d.re;
    const CEsteso &dci = d.im;
    Riparti(c, &rif.Avvio, rif.IndiceAvvio, 0);
    c.P.Iterazioni = 0;
    c.Finita = max <= 0;
    c.X = x;
    c.Y = y;
    c.Dc = rif.Mandelbrot ? CComplessoEsteso{dcr, dci} : CComplessoEsteso{};
    Imposta(c, {dcr, dci});
    c.P.c = PuntoDelPixel(rif, x, y);
    c.P.z = c.P.c;
    c.P.MaxIterazioni = max;
    if (rif.ConteggioProprio >= 0 && dcr.Zero() && dci.Zero() && !c.Finita) {
        // The pixel on the reference: the reference point's own count.
        c.P.Iterazioni = std::min(rif.ConteggioProprio, max);
        c.P.z = rif.ZProprio;
        c.Finita = true;
        return;
    }
    Salta(rif, c);
}

// A step that a pixel cannot take in 80 bits alone: near 0 (the reference's
// value out of the pairs' range, or the difference scaled), at the radius,
// at the end of the orbit. At any exponent: the escape test, the rebase,
// the step. Returns true when the lane ended.
bool PassoEsteso(const CRiferimento &rif, CCorsia &c)
{
    const COrbitaRiferimento *o = c.Orbita;
    CComplessoEsteso z = ValoreEsteso(*o, c.I);
    CComplessoEsteso dz = Differenza(c);
    const bool fuori = Fuori(c, z, dz);
    if (c.Dubbia) {
        c.Finita = true; // counted from its own point
        return true;
    }
    if (fuori) {
        const CComplessoEsteso f = z + dz;
        c.Margine = (f.re * f.re + f.im * f.im).Valore() - 4.0L;
        Fuggi(rif, c, {f.re.Valore(), f.im.Valore()});
        return true;
    }
    // Rebase where the full value comes closer to 0 than the difference, or
    // the orbit ends.
    const CComplessoEsteso f = z + dz;
    const bool piuVicino = Minore(f.re * f.re + f.im * f.im, dz.re * dz.re + dz.im * dz.im);
    bool ribasato = false;
    if (piuVicino || c.I == o->Ultimo) {
        if (!piuVicino && o->Fuggita && c.Oltre < 0)
            c.Oltre = c.N;
        dz = f;
        o = &rif.Ribase;
        c.Orbita = o;
        c.Passi = o->Passi;
        c.Soglie2 = o->Soglie2;
        c.I = 0;
        z = ValoreEsteso(*o, 0);
        ribasato = true;
    }
    // dz <- (2Z + dz) dz + dc
    const CComplessoEsteso due{CEsteso(2.0L) * z.re + dz.re, CEsteso(2.0L) * z.im + dz.im};
    const CComplessoEsteso nuova = due * dz + c.Dc;
    if (c.Cancellata < 0) {
        const auto misura = [](const CEsteso &a, const CEsteso &b) { return Assoluto(a * b); };
        const CEsteso termiRe = misura(due.re, dz.re) + misura(due.im, dz.im) + Assoluto(c.Dc.re);
        const CEsteso termiIm = misura(due.re, dz.im) + misura(due.im, dz.re) + Assoluto(c.Dc.im);
        if (CancellaEsteso(nuova.re, termiRe) || CancellaEsteso(nuova.im, termiIm))
            SegnaCancellata(c, o, c.I + 1, c.N + 1);
    }
    ++c.I;
    ++c.N;
    Imposta(c, nuova);
    if (ribasato)
        Salta(rif, c);
    return false;
}

// Takes a scaled lane at most passi steps further: the linear steps
// w <- 2Z w + d in 80 bits, the others at any exponent. It leaves as soon as
// the difference is large enough to go plainly.
void AvanzaScalata(const CRiferimento &rif, CCorsia &c, int32_t fine)
{
    while (c.N < fine && c.Scalata) {
        const COrbitaRiferimento &o = *c.Orbita;
        const uint8_t *generi = o.Generi;
        const CPassoRiferimento *passo = o.Passi;
        const int64_t ultimo = o.Ultimo;
        int64_t i = c.I;
        int32_t n = c.N;
        long double wr = c.Dr, wi = c.Di;
        const long double ar = c.Ar, ai = c.Ai;
        while (n < fine && i != ultimo && generi[i] == 0) {
            const long double zr = Somma(passo[i].DueZr);
            const long double zi = Somma(passo[i].DueZi);
            const long double nr = zr * wr - zi * wi + ar;
            wi = zr * wi + zi * wr + ai;
            wr = nr;
            ++i;
            ++n;
            const long double m = std::fabs(wr) + std::fabs(wi);
            if (!(m >= BassoScala && m <= AltoScala))
                break;
        }
        c.Dr = wr;
        c.Di = wi;
        c.I = i;
        c.N = n;
        if (n >= fine)
            break;
        if (i == ultimo || generi[i] != 0) {
            if (PassoEsteso(rif, c))
                return;
        } else {
            Riscala(c);
        }
    }
}

// Takes a lane at most passi steps further, as Mandelbrot's and Julia's Itera
// take them: while fewer than the limit are done and the full value before
// the step is below 2 in modulus. Where the difference is not small enough
// for the step to go on blindly the full value Z + dz decides whether the
// pixel escapes there or its difference rebases. The lane ends Finita, with
// its count and final full value, when the pixel escaped or reached the limit.
void Avanza(const CRiferimento &rif, CCorsia &c, int32_t passi, bool cicli = true, bool libera = false);

// On a periodic reference a lane can repeat its state only at the same
// place of the reference's cycle: the cycle check looks at its start and
// every multiple of the period of at least 64 steps after. The steps from
// step i of orbit o to the next such place (0: it is one); o periodic.
int64_t DallaFase(const COrbitaRiferimento &o, int64_t i)
{
    const int64_t q = o.PeriodoFase;
    return i <= o.Ciclo ? o.Ciclo - i : (q - (i - o.Ciclo) % q) % q;
}

bool AllaFase(const CCorsia &c)
{
    return c.Orbita->Periodo > 0 && DallaFase(*c.Orbita, c.I) == 0;
}

// The cycle check of a lane: once its whole state repeats bit for bit, the
// pixel's computation is periodic and it can never escape, so only the
// steps left modulo the period are taken (count and final value are those of
// taking them all). It looks only where a lane comes back to on its own, so
// that a saved state can come round again: at the places of the reference's
// cycle where PassiAllaFase stops the lane, and right after a rebase (a
// pixel inside a minibrot rebases at its nucleus every period, and may never
// reach the reference's cycle). The state is saved there after
// PrimoSalvataggio steps and again whenever the steps have grown by half.
// Returns true when the lane ended.
bool Ciclo(const CRiferimento &rif, CCorsia &c, bool ribasata = false)
{
    if (c.Finita)
        return true;
    if (!rif.CicliAmmessi || !(ribasata || AllaFase(c)))
        return false;
    CCorsia::CSalvato &s = c.Salvato;
    if (s.N >= 0 && c.N > s.N && StessoValore(s.Dr, c.Dr) && StessoValore(s.Di, c.Di) && s.Orbita == c.Orbita
        && s.I == c.Orbita->Canonico(c.I) && s.Scalata == c.Scalata && s.Scala == c.Scala) {
        // The steps left modulo the period, as the last ones would go: with
        // leaps held within them.
        const int32_t max = c.P.MaxIterazioni;
        const int32_t resto = (max - c.N) % (c.N - s.N);
        c.P.MaxIterazioni = c.N + resto;
        while (!c.Finita)
            Avanza(rif, c, resto, false);
        c.P.MaxIterazioni = max;
        c.Risparmiati = max - c.N;
        c.N = max;
        c.P.z = Pieno(c);
        c.P.Iterazioni = max;
        c.Finita = true;
        c.Periodica = true;
        return true;
    }
    if (c.N >= c.ProssimoSalvataggio) {
        s = {c.Orbita, c.Orbita->Canonico(c.I), c.Dr, c.Di, c.Scala, c.Scalata, c.N};
        c.ProssimoSalvataggio = c.N <= INT32_MAX - c.N / 2 ? c.N + std::max(c.N / 2, 8) : INT32_MAX;
    }
    return false;
}

// The steps until the lane is next at a place where the cycle check looks
// (DallaFase), were it to take them one by one; INT32_MAX where there is
// none.
int32_t PassiAllaFase(const CCorsia &c)
{
    const COrbitaRiferimento &o = *c.Orbita;
    if (o.Periodo <= 0 || c.N < PrimoSalvataggio)
        return INT32_MAX;
    const int64_t d = DallaFase(o, c.I);
    return int32_t(std::min<int64_t>(d == 0 ? o.PeriodoFase : d, INT32_MAX));
}

// True when the lane's next two steps may go on blindly.
bool DoppioLibero(const CCorsia &c)
{
    return !c.Scalata && c.P.MaxIterazioni - c.N >= 2 && std::fabs(c.Dr) + std::fabs(c.Di) < c.Soglie2[c.I];
}

void Avanza(const CRiferimento &rif, CCorsia &c, int32_t passi, bool cicli, bool libera)
{
    const int32_t max = c.P.MaxIterazioni;
    if (cicli && rif.CicliAmmessi)
        passi = std::min(passi, PassiAllaFase(c));
    const int32_t fine = max - c.N > passi ? c.N + passi : max;
    const int32_t inizio = c.N;
    while (c.N < fine && !c.Finita) {
        if (c.Scalata) {
            AvanzaScalata(rif, c, fine);
            continue;
        }
        const COrbitaRiferimento *orbita = c.Orbita;
        const CPassoRiferimento *passo = orbita->Passi;
        const float *soglie = orbita->Soglie;
        const float *soglie2 = orbita->Soglie2;
        int64_t i = c.I;
        long double dr = c.Dr;
        long double di = c.Di;
        const long double ar = c.Ar;
        const long double ai = c.Ai;
        int32_t n = c.N;
        bool esteso = false;
        bool ribasato = false;
        bool libero = false;
        while (n < fine) {
            const long double misura = std::fabs(dr) + std::fabs(di);
            if (misura < soglie[i]) {
                if (libera && n != inizio && misura < soglie2[i] && max - n >= 2) {
                    libero = true;
                    break;
                }
                // A blind step.
                const long double Ar = Somma(passo[i].DueZr) + dr;
                const long double Ai = Somma(passo[i].DueZi) + di;
                const long double nr = Ar * dr - Ai * di + ar;
                di = Ar * di + Ai * dr + ai;
                dr = nr;
                ++i;
                ++n;
                if (std::fabs(dr) + std::fabs(di) < LimiteScala && (dr != 0.0L || di != 0.0L)) {
                    esteso = true;
                    break;
                }
                continue;
            }
            // A step that may not go blindly: the full value decides
            // whether the pixel escapes or rebases, and the step is checked
            // for cancellation.
            if (orbita->Generi[i] != 0) {
                esteso = true;
                break;
            }
            const long double fr = Somma(passo[i].DueZr) * 0.5L + dr;
            const long double fi = Somma(passo[i].DueZi) * 0.5L + di;
            const long double x2 = fr * fr;
            const long double y2 = fi * fi;
            const long double m = x2 + y2;
            if (!(m < 4.0L)) {
                c.Margine = m - 4.0L;
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
                if (!piuVicino && orbita->Fuggita && c.Oltre < 0)
                    c.Oltre = n;
                dr = fr;
                di = fi;
                orbita = &rif.Ribase;
                passo = orbita->Passi;
                soglie = orbita->Soglie;
                soglie2 = orbita->Soglie2;
                i = 0;
                ribasato = true;
                if ((std::fabs(dr) + std::fabs(di) < LimiteScala && (dr != 0.0L || di != 0.0L))
                    || orbita->Generi[0] != 0) {
                    esteso = true;
                    break;
                }
            }
            const long double Ar = Somma(passo[i].DueZr) + dr;
            const long double Ai = Somma(passo[i].DueZi) + di;
            const long double nr = Ar * dr - Ai * di + ar;
            const long double ni = Ar * di + Ai * dr + ai;
            if (c.Cancellata < 0
                && (Cancella(nr, std::fabs(Ar * dr) + std::fabs(Ai * di) + std::fabs(ar))
                    || Cancella(ni, std::fabs(Ar * di) + std::fabs(Ai * dr) + std::fabs(ai))))
                SegnaCancellata(c, orbita, i + 1, n + 1);
            di = ni;
            dr = nr;
            ++i;
            ++n;
            if (ribasato)
                break;
            if (std::fabs(dr) + std::fabs(di) < LimiteScala && (dr != 0.0L || di != 0.0L)) {
                esteso = true;
                break;
            }
        }
        c.Dr = dr;
        c.Di = di;
        c.I = i;
        c.Orbita = orbita;
        c.Passi = orbita->Passi;
        c.Soglie2 = orbita->Soglie2;
        c.N = n;
        if (libero)
            break;
        if (esteso) {
            // The step at any exponent: near 0, at the radius or scaled.
            if (!c.Scalata && std::fabs(dr) + std::fabs(di) < LimiteScala && (dr != 0.0L || di != 0.0L))
                Imposta(c, Differenza(c));
            if (c.N < fine && PassoEsteso(rif, c))
                return;
        } else if (ribasato) {
            // Right after a rebase is a place a lane comes back to on its
            // own: a pixel inside a minibrot rebases at its nucleus every
            // period, and never reaches the places the cycle check looks
            // at on the reference's cycle.
            if (cicli && Ciclo(rif, c, true))
                return;
            if (c.N < max)
                Salta(rif, c);
        }
        if (libera && c.N != inizio && DoppioLibero(c))
            break;
    }
    if (!c.Finita && c.N == max) {
        c.P.z = Pieno(c);
        c.P.Iterazioni = max;
        c.Finita = true;
    }
    if (cicli)
        Ciclo(rif, c);
}

// A lane one of whose watched steps lost a part of its difference to
// cancellation (Cancellata): where the full value z is small, the step's
// parts are those of z^2, and a part near 0 keeps only the rounding of the
// others. An orbit that goes on along the circle |z| = 2 decides its escape
// on the real part alone (Julia of -2 on the diagonals through a preimage of
// 0): there the lost bits are the count. The step is taken again from the
// pixel's exact point in MPFR, at the bits its parts need (three times z's
// below 1), and the lane goes on from there. Returns false when the drawing
// was stopped.
bool Ripara(const CAreaDisegno &area, const CRiferimento &rif, CCorsia &c)
{
    for (int volte = 0; c.Cancellata >= 0; ++volte) {
        if (volte == 16) {
            c.Cancellata = -1;
            return ContaPixel(area, rif, c); // rebases cancelling again and again: the pixel's own loop
        }
        const int32_t n0 = c.Cancellata - 1; // the step that cancelled
        const CPuntoRazionale punto = PuntoEsatto(rif, c.X, c.Y);
        CPassoMpfr passo(false);
        mpfr_prec_t bit = std::max(mpfr_prec_t(rif.PrecisionePixel), mpfr_prec_t(128)) + 64;
        CReale zr, zi, kr(rif.Costante.re), ki(rif.Costante.im);
        for (int giro = 0; giro < 2; ++giro) {
            punto.A(bit, zr, zi);
            if (rif.Mandelbrot)
                punto.A(bit, kr, ki);
            for (int32_t n = 0; n < n0; ++n) {
                if ((n & 1023) == 1023 && !area.Continua())
                    return false;
                passo.Passo(zr, zi, kr, ki);
            }
            if (giro == 0) {
                // z's exponent below 1, at most the bits already spent
                const auto esponente = [&](const CReale &v) { return mpfr_zero_p(v.Mp()) ? -long(bit) : long(mpfr_get_exp(v.Mp())); };
                const long sotto = std::clamp(-std::max(esponente(zr), esponente(zi)), 0L, long(bit));
                bit += mpfr_prec_t(3 * sotto + 64);
            }
        }
        passo.Passo(zr, zi, kr, ki);
        // The difference from the orbit's value as the lane reads it.
        const CComplessoEsteso Z = ValoreEsteso(*c.OrbitaCancellata, c.ICancellata);
        mpfr_sub(zr.Mp(), zr.Mp(), RealeDa(Z.re).Mp(), MPFR_RNDN);
        mpfr_sub(zi.Mp(), zi.Mp(), RealeDa(Z.im).Mp(), MPFR_RNDN);
        Riparti(c, c.OrbitaCancellata, c.ICancellata, n0 + 1);
        Imposta(c, {EstesoDa(zr.Mp()), EstesoDa(zi.Mp())});
        if (c.N >= c.P.MaxIterazioni) {
            c.P.z = Pieno(c);
            c.P.Iterazioni = c.P.MaxIterazioni;
            c.Finita = true;
        }
        while (!c.Finita) {
            Avanza(rif, c, Tratto);
            if (!c.Finita && !area.Continua())
                return false;
        }
    }
    return true;
}

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

// The largest difference a pixel adds (up to a block beyond the edges) and the
// pixel spacing, at any exponent, for a W x H drawing of the window.
void Distanze(const CBloccoFinestra &f, int32_t W, int32_t H, CEsteso &dcMassimo, CEsteso &passo)
{
    const mpfr_prec_t bit = 128;
    CReale dx = CReale::Zero(bit), dy = CReale::Zero(bit);
    mpfr_sub(dx.Mp(), f.Max.re.Mp(), f.Min.re.Mp(), MPFR_RNDN);
    mpfr_div_si(dx.Mp(), dx.Mp(), std::max(W, 1), MPFR_RNDN);
    mpfr_sub(dy.Mp(), f.Max.im.Mp(), f.Min.im.Mp(), MPFR_RNDN);
    mpfr_div_si(dy.Mp(), dy.Mp(), std::max(H, 1), MPFR_RNDN);
    const CEsteso x = Assoluto(EstesoDa(dx.Mp())) * CEsteso(static_cast<long double>(W / 2 + 8 + W / 2 + 1));
    const CEsteso y = Assoluto(EstesoDa(dy.Mp())) * CEsteso(static_cast<long double>(H / 2 + 8 + H / 2 + 1));
    dcMassimo = x + y;
    passo = Minore(Assoluto(EstesoDa(dx.Mp())), Assoluto(EstesoDa(dy.Mp()))) ? Assoluto(EstesoDa(dx.Mp()))
                                                                              : Assoluto(EstesoDa(dy.Mp()));
}

// The point from a to b at k/2 of n steps (a + k (b - a) / 2n exactly, a
// pixel for even k, halfway between two for odd k) that is held exactly in
// the fewest binary digits, when some is held in half of bit or fewer: k, and
// its value in v. Ties go to a pixel rather than between two, then to the one
// nearer the middle. -1 when there is none.
int64_t PuntoSemplice(const CAreaDisegno &area, const CReale &a, const CReale &b, int32_t n, mpfr_prec_t bit,
                      CReale &v)
{
    int64_t migliore = -1;
    mpfr_prec_t cifre = bit / 2 + 1;
    CReale x = CReale::Zero(bit);
    const int64_t doppio = 2 * int64_t(n);
    const auto prima = [&](int64_t k, int64_t j) {
        if ((k % 2 == 0) != (j % 2 == 0))
            return k % 2 == 0;
        return std::llabs(k - n) < std::llabs(j - n);
    };
    for (int64_t k = 0; k <= doppio - 2; ++k) {
        if (k % 64 == 0 && !area.Continua())
            return -1;
        // (a (2n - k) + b k) / 2n, the sum exact, one rounding.
        const CReale somma = SommaEsatta(ProdottoEsatto(a, doppio - k), ProdottoEsatto(b, k));
        if (mpfr_div_si(x.Mp(), somma.Mp(), long(doppio), MPFR_RNDN) != 0)
            continue;
        const mpfr_prec_t c = mpfr_zero_p(x.Mp()) ? 1 : mpfr_min_prec(x.Mp());
        if (c < cifre || (c == cifre && migliore >= 0 && prima(k, migliore))) {
            cifre = c;
            migliore = k;
            mpfr_set(v.Mp(), x.Mp(), MPFR_RNDN);
        }
    }
    return migliore;
}

// The number held in the fewest binary digits, at most cifre, from the
// first pixel to the last of the n from a to b (the pixels' points a + k (b -
// a) / n, k from 0 to n - 1), where it is far simpler than chance would give:
// true with that number in v; 0 wherever it lies there. A window put round
// such a point (-2, 0, 0 + 1i) off the pixels' places still has it for
// reference, whose exact orbit is the one its pixels follow.
bool SempliceFraIPixel(const CReale &a, const CReale &b, int32_t n, mpfr_prec_t cifre, mpfr_prec_t bit, CReale &v)
{
    if (n < 2)
        return false;
    CReale ultimo = CReale::Zero(bit);
    const CReale somma = SommaEsatta(ProdottoEsatto(a, 1), ProdottoEsatto(b, n - 1));
    mpfr_div_si(ultimo.Mp(), somma.Mp(), n, MPFR_RNDN);
    const bool crescente = mpfr_lessequal_p(a.Mp(), ultimo.Mp());
    const CReale &basso = crescente ? a : ultimo;
    const CReale &alto = crescente ? ultimo : a;
    if (mpfr_sgn(basso.Mp()) <= 0 && mpfr_sgn(alto.Mp()) >= 0) {
        v = CReale::Zero(bit);
        return true;
    }
    // Only a number far simpler than the window's width makes likely: with
    // 32 digits fewer than its magnitude over the width has.
    CReale larghezza = CReale::Zero(bit);
    mpfr_sub(larghezza.Mp(), alto.Mp(), basso.Mp(), MPFR_RNDN);
    if (mpfr_zero_p(larghezza.Mp()))
        return false;
    const mpfr_exp_t grande = std::max(mpfr_zero_p(basso.Mp()) ? mpfr_exp_t(0) : mpfr_get_exp(basso.Mp()),
                                       mpfr_zero_p(alto.Mp()) ? mpfr_exp_t(0) : mpfr_get_exp(alto.Mp()));
    cifre = std::min<mpfr_prec_t>(cifre, mpfr_prec_t(grande - mpfr_get_exp(larghezza.Mp())) - 32);
    if (cifre < 1)
        return false;
    // The least number of p digits at or above basso, if it lies below alto:
    // where some p do, so do p + 1.
    CReale x = CReale::Zero(2);
    const auto entro = [&](mpfr_prec_t p) {
        mpfr_set_prec(x.Mp(), p);
        mpfr_set(x.Mp(), basso.Mp(), MPFR_RNDU);
        return mpfr_lessequal_p(x.Mp(), alto.Mp());
    };
    if (!entro(cifre))
        return false;
    mpfr_prec_t giu = 1, su = cifre;
    while (giu < su) {
        const mpfr_prec_t mezzo = giu + (su - giu) / 2;
        if (entro(mezzo))
            su = mezzo;
        else
            giu = mezzo + 1;
    }
    entro(su);
    v = CReale::Zero(bit);
    mpfr_set(v.Mp(), x.Mp(), MPFR_RNDN);
    return true;
}

// The half-pixel place k (0 to 2n - 2) nearest to v, from a to b, and v's
// excess over that place's point.
int64_t PostoVicino(const CReale &a, const CReale &b, int32_t n, mpfr_prec_t bit, const CReale &v, CEsteso &residuo)
{
    CReale t = CReale::Zero(bit), d = CReale::Zero(bit);
    mpfr_sub(t.Mp(), v.Mp(), a.Mp(), MPFR_RNDN);
    mpfr_sub(d.Mp(), b.Mp(), a.Mp(), MPFR_RNDN);
    mpfr_div(t.Mp(), t.Mp(), d.Mp(), MPFR_RNDN);
    mpfr_mul_si(t.Mp(), t.Mp(), 2 * long(n), MPFR_RNDN);
    const int64_t k =
        std::clamp<int64_t>(int64_t(std::llround(mpfr_get_d(t.Mp(), MPFR_RNDN))), 0, 2 * int64_t(n) - 2);
    const CReale somma = SommaEsatta(ProdottoEsatto(a, 2 * int64_t(n) - k), ProdottoEsatto(b, k));
    CReale punto = CReale::Zero(2 * bit + 128);
    mpfr_div_si(punto.Mp(), somma.Mp(), 2 * long(n), MPFR_RNDN);
    CReale r = CReale::Zero(2 * bit + 128);
    mpfr_sub(r.Mp(), v.Mp(), punto.Mp(), MPFR_RNDN);
    residuo = EstesoDa(r.Mp());
    return k;
}

// Whether pixels of such a drawing can start with differences below the
// 80-bit steps' range (they need the leaps at any exponent).
bool DifferenzeScalate(const CEsteso &passo)
{
    return passo.Esponente() < -14900;
}

} // namespace

bool DisegnoProfondo(const CBloccoFinestra &f, const CFrattale &formula, int32_t W, int32_t H)
{
    const TipoFormula tipo = formula.Tipo();
    if (f.MaxIterazioni <= 0 || (tipo != TipoFormula::Mandelbrot && tipo != TipoFormula::Julia))
        return false;
    if (Oltre80Bit(f.Min, f.Max, W, H))
        return true;
    return tipo == TipoFormula::Julia
        && JuliaOltre80Bit(f.Min, f.Max, W, H, static_cast<const Julia &>(formula).Param, f.MaxIterazioni);
}

bool CCalcolatoreProfondo::CChiave::operator==(const CChiave &altra) const
{
    return Finestra.Min == altra.Finestra.Min && Finestra.Max == altra.Finestra.Max
        && Finestra.MaxIterazioni == altra.Finestra.MaxIterazioni && W == altra.W && H == altra.H && Tipo == altra.Tipo
        && StessoValore(Costante.re, altra.Costante.re) && StessoValore(Costante.im, altra.Costante.im)
        && Salti == altra.Salti;
}

void CCalcolatoreProfondo::Prepara(const CBloccoFinestra &f, const CFrattale &formula, int32_t W, int32_t H)
{
    // The corners as the numbers their texts stood for: trailing zeros that
    // add precision and nothing else play no part, so that the same window
    // draws the same picture.
    CChiave chiave;
    chiave.Finestra = f;
    for (CReale *v : {&chiave.Finestra.Min.re, &chiave.Finestra.Min.im, &chiave.Finestra.Max.re, &chiave.Finestra.Max.im})
        *v = RealeDelTesto(*v);
    chiave.W = W;
    chiave.H = H;
    chiave.Tipo = formula.Tipo();
    if (chiave.Tipo == TipoFormula::Julia)
        chiave.Costante = static_cast<const Julia &>(formula).Param;
    chiave.Salti = Riferimento.SaltiAmmessi;
    // The same drawing again (a redraw, another colouring): its reference
    // orbits are those computed already.
    if (Riferimento.Pronto && chiave == Chiave)
        return;
    CEsteso dc, passo;
    Distanze(chiave.Finestra, W, H, dc, passo);
    Riferimento.Riserva(PassiRiferimento(f.MaxIterazioni), OrbiteRiferimento(formula), DifferenzeScalate(passo));
    Riferimento.Pronto = false;
    Chiave = std::move(chiave);
}

void CCalcolatoreProfondo::Libera()
{
    Riferimento.Libera();
    Chiave = CChiave();
}

bool CCalcolatoreProfondo::Inizia(CAreaDisegno &area)
{
    CRiferimento &rif = Riferimento;
    if (rif.Pronto && Chiave.Salti == rif.SaltiAmmessi && Chiave.W == area.Larghezza && Chiave.H == area.Altezza)
        return true;
    rif.Pronto = false;
    Chiave.Salti = rif.SaltiAmmessi;
    const int64_t quanti = PassiRiferimento(area.MaxIterazioni);
    const int32_t orbite = OrbiteRiferimento(*area.Frattale);
    if (Chiave.W < 1 || rif.Passi() < quanti || rif.Orbite() < orbite)
        throw CErrore(MessaggioBuffer);

    const CBloccoFinestra &f = Chiave.Finestra;
    const int32_t W = area.Larghezza;
    const int32_t H = area.Altezza;
    const mpfr_prec_t bit = PrecisioneFinestra(f.Min, f.Max, W, H, 64);
    rif.Precisione = 0;
    CEsteso passoPixel;
    Distanze(f, W, H, rif.DcMassimo, passoPixel);

    // The reference point is the point of the centre pixel, unless a column
    // or a row lies on a value of few binary digits: the window was placed
    // on such a point (0 + 1i, -2 and the like), whose exact orbit the
    // pixel there must follow, and the pixel on the reference point does.
    CReale passoX = CReale::Zero(bit);
    CReale passoY = CReale::Zero(bit);
    mpfr_sub(passoX.Mp(), f.Max.re.Mp(), f.Min.re.Mp(), MPFR_RNDN);
    mpfr_div_si(passoX.Mp(), passoX.Mp(), W, MPFR_RNDN);
    mpfr_sub(passoY.Mp(), f.Min.im.Mp(), f.Max.im.Mp(), MPFR_RNDN);
    mpfr_div_si(passoY.Mp(), passoY.Mp(), H, MPFR_RNDN);
    CReale cr = CReale::Zero(bit);
    CReale ci = CReale::Zero(bit);
    rif.ColonnaCentro2 = PuntoSemplice(area, f.Min.re, f.Max.re, W, bit, cr);
    rif.RigaCentro2 = PuntoSemplice(area, f.Max.im, f.Min.im, H, bit, ci);
    if (!area.Continua())
        return false;
    rif.ResiduoX = CEsteso();
    rif.ResiduoY = CEsteso();
    // A simpler number still between the pixels' places goes before them.
    const auto fraIPixel = [&](const CReale &a, const CReale &b, int32_t n, int64_t &posto, CReale &v,
                               CEsteso &residuo) {
        const mpfr_prec_t cifre = posto < 0 ? bit / 2 : (mpfr_zero_p(v.Mp()) ? 0 : mpfr_min_prec(v.Mp()) - 1);
        CReale w;
        if (cifre > 0 && SempliceFraIPixel(a, b, n, cifre, bit, w)) {
            posto = PostoVicino(a, b, n, bit, w, residuo);
            v = std::move(w);
        }
    };
    fraIPixel(f.Min.re, f.Max.re, W, rif.ColonnaCentro2, cr, rif.ResiduoX);
    fraIPixel(f.Max.im, f.Min.im, H, rif.RigaCentro2, ci, rif.ResiduoY);
    // Else the centre pixel, its point (a (n - k) + b k) / n exact to twice
    // the window's bits: the pixel on the reference is that pixel, whose
    // count may need them (a pixel near a repelling cycle's preimage).
    const mpfr_prec_t tetto = 2 * bit + 128;
    const auto centro = [&](const CReale &a, const CReale &b, int32_t n, CReale &v) {
        const CReale somma = SommaEsatta(ProdottoEsatto(a, n - n / 2), ProdottoEsatto(b, n / 2));
        v = CReale::Zero(tetto);
        mpfr_div_si(v.Mp(), somma.Mp(), n, MPFR_RNDN);
        return 2 * int64_t(n / 2);
    };
    if (rif.ColonnaCentro2 < 0)
        rif.ColonnaCentro2 = centro(f.Min.re, f.Max.re, W, cr);
    if (rif.RigaCentro2 < 0)
        rif.RigaCentro2 = centro(f.Max.im, f.Min.im, H, ci);
    rif.Punto = {cr, ci};
    rif.PrecisionePixel = tetto;
    rif.Minimo = f.Min;
    rif.Massimo = f.Max;
    rif.Larghezza = W;
    rif.Altezza = H;
    rif.PassoX = EstesoDa(passoX.Mp());
    rif.PassoY = EstesoDa(passoY.Mp());
    mpfr_div_2ui(passoX.Mp(), passoX.Mp(), 1, MPFR_RNDN);
    mpfr_div_2ui(passoY.Mp(), passoY.Mp(), 1, MPFR_RNDN);
    rif.MezzoPassoX = EstesoDa(passoX.Mp());
    rif.MezzoPassoY = EstesoDa(passoY.Mp());
    CReale resto = CReale::Zero(tetto);
    rif.CentroRe[0] = cr.Esteso();
    mpfr_sub(resto.Mp(), cr.Mp(), CReale(rif.CentroRe[0]).Mp(), MPFR_RNDN);
    rif.CentroRe[1] = resto.Esteso();
    rif.CentroIm[0] = ci.Esteso();
    mpfr_sub(resto.Mp(), ci.Mp(), CReale(rif.CentroIm[0]).Mp(), MPFR_RNDN);
    rif.CentroIm[1] = resto.Esteso();
    PreparaPixel(rif, W, H);

    const CReale zero = CReale::Zero(bit);
    rif.Avvio = {};
    rif.Ribase = {};
    rif.ConteggioProprio = -1;
    // The precision may grow where the deviations among the pixels shrink,
    // up to about twice the window's (one passage of the critical point).
    const bool estesi = rif.ConEstesi() && rif.SaltiAmmessi;
    const int32_t fili = area.Fili > 0 ? area.Fili : int32_t(std::max(1u, std::thread::hardware_concurrency()));
    CPassoMpfr passoMpfr(fili > 1);
    // A Mandelbrot pixel adds its difference, which for pixels up to a
    // block beyond the edges is at most:
    // (A reference off the pixels' places is within a quarter of a pixel of one.)
    const long double xMassimo =
        (std::max<int64_t>(rif.ColonnaCentro2, 2 * int64_t(W + 8) - rif.ColonnaCentro2) + !rif.ResiduoX.Zero())
        * std::fabs(rif.MezzoPassoX.Valore());
    const long double yMassimo =
        (std::max<int64_t>(rif.RigaCentro2, 2 * int64_t(H + 8) - rif.RigaCentro2) + !rif.ResiduoY.Zero())
        * std::fabs(rif.MezzoPassoY.Valore());
    const long double dcPiano = std::sqrt(xMassimo * xMassimo + yMassimo * yMassimo);
    if (area.Frattale->Tipo() == TipoFormula::Julia) {
        // Pixels start on the orbit of the centre and rebase onto that of 0.
        const Julia *julia = static_cast<const Julia *>(area.Frattale);
        const CReale kr(julia->Param.re);
        const CReale ki(julia->Param.im);
        rif.Mandelbrot = false;
        rif.Costante = julia->Param;
        rif.IndiceAvvio = 0;
        if (!CalcolaOrbita(area, rif, 0, cr, ci, kr, ki, passoPixel, tetto, false, 0.0, quanti, passoMpfr, rif.Avvio)
            || !CalcolaOrbita(area, rif, 1, zero, zero, kr, ki, passoPixel, tetto, false, 0.0, quanti, passoMpfr,
                              rif.Ribase)
            || (rif.Avvio.Indugia && SuUnPixel(rif)
                && !ContaProprio(area, &kr, &ki, area.MaxIterazioni, tetto, passoMpfr, rif)))
            return false;
        if (rif.SaltiAmmessi) {
            CostruisciSalti(rif.Avvio, rif.Salti(0), estesi ? rif.SaltiEstesi(0) : nullptr, 0, false, 0.0L, CEsteso());
            CostruisciSalti(rif.Ribase, rif.Salti(1), estesi ? rif.SaltiEstesi(1) : nullptr, 1, false, 0.0L,
                            CEsteso());
        }
    } else {
        // The orbit of the reference point from 0: its step 1 is the point
        // itself, where Mandelbrot's orbits start.
        rif.Mandelbrot = true;
        rif.IndiceAvvio = 1;
        if (!CalcolaOrbita(area, rif, 0, zero, zero, cr, ci, passoPixel, tetto, true,
                           static_cast<double>(dcPiano) * (1.0 + Margine), quanti, passoMpfr, rif.Avvio))
            return false;
        if (rif.Avvio.Indugia && SuUnPixel(rif)
            && !ContaProprio(area, nullptr, nullptr, area.MaxIterazioni, tetto, passoMpfr, rif))
            return false;
        if (rif.SaltiAmmessi)
            CostruisciSalti(rif.Avvio, rif.Salti(0), estesi ? rif.SaltiEstesi(0) : nullptr, rif.IndiceAvvio, true,
                            dcPiano * (1.0L + Trascurabile), rif.DcMassimo);
        rif.Ribase = rif.Avvio;
    }
    // Mirror images, where the computation of a pixel's mirror image is its
    // own mirrored bit for bit: Mandelbrot's on a real reference orbit, with
    // the pixels' imaginary differences its exact opposites; Julia's around
    // a reference on 0, whose pixels and their opposites have the same
    // orbit after the first step. The mirror's check of each point, bit for
    // bit, finds the pairs (Specchio.h).
    SpecchioAmmesso = rif.CentroIm[0] == 0.0L && rif.CentroIm[1] == 0.0L
        && (rif.Mandelbrot || (rif.CentroRe[0] == 0.0L && rif.CentroRe[1] == 0.0L));
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
    if ((c.Cancellata >= 0 && !Ripara(area, Riferimento, c)) || (!Fidata(c) && !ContaPixel(area, Riferimento, c)))
        return false;
    p = c.P;
    return true;
}

bool CCalcolatoreProfondo::Calcola(CAreaDisegno &area, CLotto &lotto, CSpecchio *specchio) const
{
    const CRiferimento &rif = Riferimento;
    const int32_t max = area.MaxIterazioni;
    const int32_t quanti = lotto.Quanti;
    lotto.Quanti = 0;
    CCorsia corsie[2];
    int32_t prossimo = 0;
    // Puts the next pixel on a lane, or leaves it empty; a pixel done is stored.
    // A pixel done: its colour, and its record for its mirror image.
    bool fermato = false;
    const auto scrivi = [&](CCorsia &c) {
        if ((c.Cancellata >= 0 && !Ripara(area, rif, c)) || (!Fidata(c) && !ContaPixel(area, rif, c))) {
            fermato = true;
            return;
        }
        lotto.PassiRisparmiati += uint64_t(c.Risparmiati);
        if (specchio)
            specchio->Ricorda(c.P, c.X, c.Y);
        area.ScriviPixel(ColoreDi(area, c.P), c.X, c.Y);
    };
    // Puts the next pixel on a lane, or leaves it empty; a pixel done is
    // stored, one whose mirror image is done takes it from there.
    const auto carica = [&](CCorsia &c) {
        for (;;) {
            if (prossimo == quanti)
                return false;
            const CLotto::CVoce &px = lotto.Voci[prossimo++];
            if (specchio) {
                CPunto p;
                const Complesso punto = PuntoDelPixel(rif, px.X, px.Y);
                if (specchio->Cerca(punto.re, punto.im, px.X, px.Y, p)) {
                    p.MaxIterazioni = max;
                    area.ScriviPixel(ColoreDi(area, p), px.X, px.Y);
                    ++lotto.PuntiRiflessi;
                    continue;
                }
            }
            Avvia(rif, max, px.X, px.Y, c);
            if (!c.Finita)
                return true;
            scrivi(c);
        }
    };
    const auto avanza = [&](CCorsia &c, bool &attiva, int32_t passi, bool libera) {
        Avanza(rif, c, passi, true, libera);
        if (c.Finita) {
            scrivi(c);
            attiva = carica(c);
        }
    };
    bool attive[2] = {carica(corsie[0]), false};
    attive[1] = carica(corsie[1]);
    int64_t dalControllo = 0;
    while (attive[0] || attive[1]) {
#if defined(QUILLMERE_X87)
        if (attive[0] && attive[1] && !corsie[0].Scalata && !corsie[1].Scalata) {
            // Both lanes together while they may go on blindly, then a few
            // steps of one alone where it may not.
            CCorsia &a = corsie[0];
            CCorsia &b = corsie[1];
            int64_t coppie = std::min<int64_t>(std::min(max - a.N, max - b.N), Tratto) / 2;
            // Each lane stops at the place its cycle check looks at.
            if (rif.CicliAmmessi)
                coppie = std::min<int64_t>(coppie, std::min(PassiAllaFase(a), PassiAllaFase(b)) / 2);
            if (coppie > 0) {
                const int64_t prima = a.I;
                quillmere_perturbazione_x87(&a, &b, coppie);
                const int32_t passi = int32_t(a.I - prima);
                a.N += passi;
                b.N += passi;
                dalControllo += 2 * int64_t(passi);
                for (int k = 0; k < 2; ++k)
                    if (Ciclo(rif, corsie[k])) {
                        scrivi(corsie[k]);
                        attive[k] = carica(corsie[k]);
                    }
                if (!attive[0] || !attive[1])
                    continue;
            }
            for (int k = 0; k < 2; ++k)
                if (attive[k] && (!DoppioLibero(corsie[k]) || (rif.CicliAmmessi && PassiAllaFase(corsie[k]) < 2))) {
                    avanza(corsie[k], attive[k], 8, true);
                    dalControllo += 8;
                }
        } else
#endif
        {
            for (int k = 0; k < 2; ++k)
                if (attive[k]) {
                    avanza(corsie[k], attive[k], Tratto, false);
                    dalControllo += Tratto;
                }
        }
        if (fermato)
            return false;
        if (dalControllo >= Tratto) {
            dalControllo = 0;
            if (!area.Continua())
                return false; // stopped: nothing more is stored
        }
    }
    return true;
}
