// Benchmark: draws fixed scenes with the engine, with one thread and with
// every core, beside a plain one-point-at-a-time 80-bit loop, and checks that
// every variant draws the same picture.

#include "Disegno.h"
#include "FileParametri.h"
#include "Perturbazione.h"
#include "Profondita.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Scena
{
    const char *Nome;
    Complesso Min;
    Complesso Max;
    int32_t Limite;
    bool Quarto; // drawn at a quarter of the size (a scene far slower per pixel)
};

// A picture in memory.
class ImmagineMemoria final : public CImmagine
{
public:
    ImmagineMemoria(int32_t w, int32_t h) : W(w), Pixel(size_t(w) * size_t(h), 0) {}
    void ImpostaPixel(int32_t x, int32_t y, int32_t colore) override { Pixel[size_t(y) * W + x] = colore; }
    int32_t W;
    std::vector<int32_t> Pixel;
};

// Counts the points iterated and their iterations (one thread only).
class FormulaContata final : public CFrattale
{
public:
    explicit FormulaContata(const CFrattale &f) : Vera(f) {}
    void ScriviParametri(std::ostream &) const override {}
    void LeggiParametri(std::istream &) override {}
    void Itera(CPunto &p) const override
    {
        Vera.Itera(p);
        ++Punti;
        Iterazioni += uint64_t(p.Iterazioni);
    }
    const CFrattale &Vera;
    mutable uint64_t Punti = 0;
    mutable uint64_t Iterazioni = 0;
};

double Secondi(std::chrono::steady_clock::time_point inizio)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - inizio).count();
}

struct Risultato
{
    double Tempo = 1e30; // the best run
    std::vector<int32_t> Pixel;
    uint64_t Risparmiati = 0; // steps the cycle check spared in one drawing
    uint64_t Riflessi = 0;    // points taken from their mirror images in one drawing
};

// A picture and its render area, ready to draw; the formula may be one that
// counts what it computes.
struct Tela
{
    Tela(const Scena &s, int32_t lato, const CFrattale &formula, int32_t fili) : Immagine(lato, lato)
    {
        Parametri.Finestra.Min = s.Min;
        Parametri.Finestra.Max = s.Max;
        Parametri.Finestra.MaxIterazioni = s.Limite;
        Disegno.AreaDisegno.Fili = fili;
        Disegno.Prepara(Parametri, &Immagine, lato, lato);
        Disegno.AreaDisegno.Frattale = &formula;
    }
    // The area refers to the window inside.
    CParametri Parametri;
    ImmagineMemoria Immagine;
    CDisegno Disegno;
};

// Draws the scene volte times in a row, timed as a whole; keeps the best time
// per drawing and the picture.
void Disegna(const Scena &s, int32_t lato, CDisegnatore &metodo, const CFrattale &formula, int32_t fili, int volte,
             Risultato &r)
{
    std::vector<std::unique_ptr<Tela>> tele;
    for (int v = 0; v < volte; ++v)
        tele.push_back(std::make_unique<Tela>(s, lato, formula, fili));
    const auto inizio = std::chrono::steady_clock::now();
    for (const std::unique_ptr<Tela> &t : tele)
        metodo.Disegna(t->Disegno.AreaDisegno);
    r.Tempo = std::min(r.Tempo, Secondi(inizio) / volte);
    r.Pixel = std::move(tele.back()->Immagine.Pixel);
    r.Risparmiati = tele.back()->Disegno.AreaDisegno.PassiRisparmiati;
    r.Riflessi = tele.back()->Disegno.AreaDisegno.PuntiRiflessi;
}

// The textbook loop: z from 0, one point at a time, over the pixels of the
// point-by-point method, volte times in a row. Keeps the best time per pass
// over the points; counts the iterations of one.
void CicloRiferimento(const Scena &s, int32_t lato, int volte, uint64_t &iterazioni, double &migliore)
{
    uint64_t totale = 0;
    const int32_t limite = s.Limite;
    const auto inizio = std::chrono::steady_clock::now();
    const long double dx = (s.Max.re - s.Min.re) / lato;
    const long double dy = (s.Min.im - s.Max.im) / lato;
    for (int64_t riga = 0; riga < int64_t(lato) * volte; ++riga) {
        const int32_t i = int32_t(riga % lato);
        const long double ci = s.Max.im + i * dy;
        long double cr = s.Min.re;
        for (int32_t j = 0; j < lato; ++j) {
            long double x = 0, y = 0, x2 = 0, y2 = 0;
            int32_t n = 0;
            while (n < limite && x2 + y2 <= 4.0L) {
                y = 2 * x * y + ci;
                x = x2 - y2 + cr;
                x2 = x * x;
                y2 = y * y;
                ++n;
            }
            totale += uint64_t(n);
            cr += dx;
        }
    }
    migliore = std::min(migliore, Secondi(inizio) / volte);
    iterazioni = totale / uint64_t(volte);
}


// ---- Past 80 bits ----------------------------------------------------------
// The deep scene: Mandelbrot in a window 10^-300 wide centred on 0 + 1i,
// drawn by perturbation; and, with --check, the iteration counts of small
// deep pictures against a direct iteration of every pixel in MPFR.

// Colourers that give a pixel its iteration count for colour and add up the
// iterations they see (one thread at a time).
template <class Base>
class ColoreConteggio final : public Base
{
public:
    int32_t Colore(const CPunto &p) const override
    {
        Iterazioni += uint64_t(p.Iterazioni);
        return p.Iterazioni;
    }
    mutable uint64_t Iterazioni = 0;
};

// The window 10^-esponente wide and high centred on centro.
CBloccoFinestra FinestraAttorno(const CComplessoAlto &centro, int esponente, int32_t lato, int32_t limite)
{
    const mpfr_prec_t bit = (mpfr_prec_t(esponente * 3.33) + 160) / 64 * 64;
    CReale mezzo = CReale::Zero(bit);
    mpfr_set_str(mezzo.Mp(), ("5e-" + std::to_string(esponente + 1)).c_str(), 10, MPFR_RNDN);
    CBloccoFinestra f{centro, centro, lato, lato, limite};
    for (CReale *v : {&f.Min.re, &f.Min.im, &f.Max.re, &f.Max.im}) {
        const CReale c = *v;
        *v = CReale::Zero(bit);
        if (v == &f.Min.re || v == &f.Min.im)
            mpfr_sub(v->Mp(), c.Mp(), mezzo.Mp(), MPFR_RNDN);
        else
            mpfr_add(v->Mp(), c.Mp(), mezzo.Mp(), MPFR_RNDN);
    }
    return f;
}

// A deep picture in memory with its settings, ready to draw.
struct TelaProfonda
{
    TelaProfonda(const CParametri &p, int32_t fili, bool salti = true)
        : Parametri(p), Immagine(p.Finestra.Larghezza, p.Finestra.Altezza)
    {
        Disegno.AreaDisegno.Fili = fili;
        Disegno.Profondo.Riferimento.SaltiAmmessi = salti;
        Disegno.Prepara(Parametri, &Immagine, Immagine.W, p.Finestra.Altezza);
    }
    // Counts instead of colours.
    void Conta()
    {
        Disegno.AreaDisegno.Interno = &Interno;
        Disegno.AreaDisegno.Esterno = &Esterno;
    }
    CParametri Parametri;
    ImmagineMemoria Immagine;
    CDisegno Disegno;
    ColoreConteggio<CColoratoreInterno> Interno;
    ColoreConteggio<CColoratoreEsterno> Esterno;
};

void ScenaProfonda(int32_t lato, int ripetizioni, bool &tuttiUguali)
{
    std::printf("\n== 5: Mandelbrot 10^-300 wide centred on 0 + 1i, limit 5000, by perturbation\n");
    CParametri par;
    par.Finestra = FinestraAttorno(CComplessoAlto{CReale(0.0L), CReale(1.0L)}, 300, lato, 5000);
    MetodoPuntoPunto punto;
    MetodoBlocco blocco;
    CDisegnatore *metodi[] = {&punto, &blocco};
    const char *nomi[] = {"point", "block"};
    const int32_t nuclei = int32_t(std::max(1u, std::thread::hardware_concurrency()));

    // The iterations of each method, in counting drawings of their own, and
    // those of the point method taking every step one by one.
    uint64_t iterazioni[2];
    for (int k = 0; k < 2; ++k) {
        TelaProfonda t(par, 1);
        t.Conta();
        metodi[k]->Disegna(t.Disegno.AreaDisegno);
        iterazioni[k] = t.Interno.Iterazioni + t.Esterno.Iterazioni;
    }
    TelaProfonda passoPasso(par, 1, false);
    passoPasso.Conta();
    punto.Disegna(passoPasso.Disegno.AreaDisegno);
    const uint64_t iterazioniPassi = passoPasso.Interno.Iterazioni + passoPasso.Esterno.Iterazioni;
    // The 80-bit x87 path beside it: the default window at limit 5000, point
    // by point on one thread.
    const Scena ottanta{"", {-2.0L, -1.25L}, {0.5L, 1.25L}, 5000, false};
    Mandelbrot m;
    FormulaContata contata(m);
    Risultato conteggioOttanta;
    Disegna(ottanta, lato, punto, contata, 1, 1, conteggioOttanta);

    Risultato uno[2];
    Risultato tutti[2];
    Risultato passi;
    Risultato rifOttanta;
    double tRiferimento = 1e30;
    const auto cronometra = [](CDisegnatore &metodo, TelaProfonda &t, Risultato &ris) {
        const auto inizio = std::chrono::steady_clock::now();
        metodo.Disegna(t.Disegno.AreaDisegno);
        ris.Tempo = std::min(ris.Tempo, Secondi(inizio));
        ris.Pixel = std::move(t.Immagine.Pixel);
    };
    for (int r = 0; r < ripetizioni; ++r) {
        Disegna(ottanta, lato, punto, m, 1, 1, rifOttanta);
        TelaProfonda senzaSalti(par, 1, false);
        cronometra(punto, senzaSalti, passi);
        for (int k = 0; k < 2; ++k)
            for (int f = 0; f < 2; ++f) {
                TelaProfonda t(par, f ? nuclei : 1);
                cronometra(*metodi[k], t, f ? tutti[k] : uno[k]);
            }
        TelaProfonda t(par, 1);
        const auto inizio = std::chrono::steady_clock::now();
        t.Disegno.Profondo.Inizia(t.Disegno.AreaDisegno);
        tRiferimento = std::min(tRiferimento, Secondi(inizio));
    }
    const double itOttanta = double(contata.Iterazioni) / rifOttanta.Tempo;
    std::printf("  %-28s %8.3f s %8.3f Giter/s (the 80-bit x87 path, default window, limit 5000)\n",
                "80 bits, point, 1 thread", rifOttanta.Tempo, itOttanta / 1e9);
    const double pixel = double(lato) * lato;
    const double itPassi = double(iterazioniPassi) / passi.Tempo;
    std::printf("  %-28s %8.3f s %8.2f Mpixel/s %8.3f Giter/s  x%.2f 80 bits per core\n",
                "point, 1 thread, every step", passi.Tempo, pixel / passi.Tempo / 1e6, itPassi / 1e9,
                itPassi / itOttanta);
    for (int k = 0; k < 2; ++k) {
        const bool uguali = tutti[k].Pixel == uno[k].Pixel;
        tuttiUguali = tuttiUguali && uguali;
        for (int f = 0; f < 2; ++f) {
            const Risultato &r = f ? tutti[k] : uno[k];
            const double itS = double(iterazioni[k]) / r.Tempo;
            char nome[64];
            std::snprintf(nome, sizeof nome, "%s, %d thread%s, leaps", nomi[k], f ? nuclei : 1,
                          (f ? nuclei : 1) > 1 ? "s" : "");
            std::printf("  %-28s %8.3f s %8.2f Mpixel/s %8.3f Giter/s  x%.2f 80 bits per core  x%.2f 1 thread\n",
                        nome, r.Tempo, pixel / r.Tempo / 1e6, itS / 1e9, itS / (f ? nuclei : 1) / itOttanta,
                        uno[k].Tempo / r.Tempo);
        }
        std::printf("  %-28s %llu iterations; %s\n", nomi[k], (unsigned long long)iterazioni[k],
                    uguali ? "same picture with every thread count" : "PICTURES DIFFER");
    }
    const bool ugualiPassi = passi.Pixel == uno[0].Pixel;
    std::printf("  leaps: the point drawing x%.2f faster than taking every step; %s\n", passi.Tempo / uno[0].Tempo,
                ugualiPassi ? "the same picture" : "the pictures differ");
    std::printf("  reference orbit and leaps %8.4f s: %.2f%% of the point drawing on 1 thread "
                "(%.2f%% of every step's), %.2f%% on %d\n",
                tRiferimento, 100.0 * tRiferimento / uno[0].Tempo, 100.0 * tRiferimento / passi.Tempo,
                100.0 * tRiferimento / tutti[0].Tempo, nuclei);
}

// The program's own Mandelbrot steps for the point (cr, ci), in MPFR at the
// scratch values' precision.
int32_t PassiEsatti(const CReale &cr, const CReale &ci, int32_t max, mpfr_prec_t bit)
{
    CReale zr = cr, zi = ci, x2 = CReale::Zero(bit), y2 = CReale::Zero(bit), m = CReale::Zero(bit);
    mpfr_prec_round(zr.Mp(), bit, MPFR_RNDN);
    mpfr_prec_round(zi.Mp(), bit, MPFR_RNDN);
    int32_t n = 0;
    while (n < max) {
        mpfr_sqr(x2.Mp(), zr.Mp(), MPFR_RNDN);
        mpfr_sqr(y2.Mp(), zi.Mp(), MPFR_RNDN);
        mpfr_add(m.Mp(), x2.Mp(), y2.Mp(), MPFR_RNDN);
        mpfr_mul(zi.Mp(), zr.Mp(), zi.Mp(), MPFR_RNDN);
        mpfr_mul_2ui(zi.Mp(), zi.Mp(), 1, MPFR_RNDN);
        mpfr_add(zi.Mp(), zi.Mp(), ci.Mp(), MPFR_RNDN);
        mpfr_sub(zr.Mp(), x2.Mp(), y2.Mp(), MPFR_RNDN);
        mpfr_add(zr.Mp(), zr.Mp(), cr.Mp(), MPFR_RNDN);
        ++n;
        if (mpfr_cmp_ui(m.Mp(), 4) >= 0)
            break;
    }
    return n;
}

// A Misiurewicz point (preperiod k, period 1) by Newton's method from c, at
// bit bits; the roots of lower orders are divided out.
CComplessoAlto Misiurewicz(Complesso c0, int k, mpfr_prec_t bit)
{
    std::vector<CReale> zr, zi, dr, di;
    CReale cr = CReale::Zero(bit), ci = CReale::Zero(bit);
    mpfr_set_ld(cr.Mp(), c0.re, MPFR_RNDN);
    mpfr_set_ld(ci.Mp(), c0.im, MPFR_RNDN);
    CReale a = CReale::Zero(bit), b = CReale::Zero(bit), t = CReale::Zero(bit), u = CReale::Zero(bit);
    CReale Lr = CReale::Zero(bit), Li = CReale::Zero(bit), nr = CReale::Zero(bit), ni = CReale::Zero(bit);
    for (int i = 0; i <= k + 1; ++i) {
        zr.push_back(CReale::Zero(bit));
        zi.push_back(CReale::Zero(bit));
        dr.push_back(CReale::Zero(bit));
        di.push_back(CReale::Zero(bit));
    }
    // L = sum of +-(d[j+1] - d[j]) / (z[j+1] - z[j]); the Newton step is 1 / L.
    const auto aggiungi = [&](int j, bool meno) {
        mpfr_sub(a.Mp(), zr[j + 1].Mp(), zr[j].Mp(), MPFR_RNDN);
        mpfr_sub(b.Mp(), zi[j + 1].Mp(), zi[j].Mp(), MPFR_RNDN);
        mpfr_sub(t.Mp(), dr[j + 1].Mp(), dr[j].Mp(), MPFR_RNDN);
        mpfr_sub(u.Mp(), di[j + 1].Mp(), di[j].Mp(), MPFR_RNDN);
        // (t + iu) / (a + ib) = ((t a + u b) + i (u a - t b)) / (a^2 + b^2)
        CReale q = CReale::Zero(bit), x = CReale::Zero(bit), y = CReale::Zero(bit), w = CReale::Zero(bit);
        mpfr_sqr(q.Mp(), a.Mp(), MPFR_RNDN);
        mpfr_fma(q.Mp(), b.Mp(), b.Mp(), q.Mp(), MPFR_RNDN);
        mpfr_mul(x.Mp(), t.Mp(), a.Mp(), MPFR_RNDN);
        mpfr_fma(x.Mp(), u.Mp(), b.Mp(), x.Mp(), MPFR_RNDN);
        mpfr_mul(y.Mp(), u.Mp(), a.Mp(), MPFR_RNDN);
        mpfr_mul(w.Mp(), t.Mp(), b.Mp(), MPFR_RNDN);
        mpfr_sub(y.Mp(), y.Mp(), w.Mp(), MPFR_RNDN);
        mpfr_div(x.Mp(), x.Mp(), q.Mp(), MPFR_RNDN);
        mpfr_div(y.Mp(), y.Mp(), q.Mp(), MPFR_RNDN);
        if (meno) {
            mpfr_sub(Lr.Mp(), Lr.Mp(), x.Mp(), MPFR_RNDN);
            mpfr_sub(Li.Mp(), Li.Mp(), y.Mp(), MPFR_RNDN);
        } else {
            mpfr_add(Lr.Mp(), Lr.Mp(), x.Mp(), MPFR_RNDN);
            mpfr_add(Li.Mp(), Li.Mp(), y.Mp(), MPFR_RNDN);
        }
    };
    for (int passo = 0; passo < 64; ++passo) {
        for (int i = 1; i <= k + 1; ++i) {
            // d <- 2 z d + 1, z <- z^2 + c
            mpfr_mul(a.Mp(), zr[i - 1].Mp(), dr[i - 1].Mp(), MPFR_RNDN);
            mpfr_mul(b.Mp(), zi[i - 1].Mp(), di[i - 1].Mp(), MPFR_RNDN);
            mpfr_sub(a.Mp(), a.Mp(), b.Mp(), MPFR_RNDN);
            mpfr_mul_2ui(a.Mp(), a.Mp(), 1, MPFR_RNDN);
            mpfr_add_ui(dr[i].Mp(), a.Mp(), 1, MPFR_RNDN);
            mpfr_mul(a.Mp(), zr[i - 1].Mp(), di[i - 1].Mp(), MPFR_RNDN);
            mpfr_mul(b.Mp(), zi[i - 1].Mp(), dr[i - 1].Mp(), MPFR_RNDN);
            mpfr_add(a.Mp(), a.Mp(), b.Mp(), MPFR_RNDN);
            mpfr_mul_2ui(di[i].Mp(), a.Mp(), 1, MPFR_RNDN);
            mpfr_sqr(a.Mp(), zr[i - 1].Mp(), MPFR_RNDN);
            mpfr_sqr(b.Mp(), zi[i - 1].Mp(), MPFR_RNDN);
            mpfr_sub(a.Mp(), a.Mp(), b.Mp(), MPFR_RNDN);
            mpfr_mul(b.Mp(), zr[i - 1].Mp(), zi[i - 1].Mp(), MPFR_RNDN);
            mpfr_add(zr[i].Mp(), a.Mp(), cr.Mp(), MPFR_RNDN);
            mpfr_mul_2ui(b.Mp(), b.Mp(), 1, MPFR_RNDN);
            mpfr_add(zi[i].Mp(), b.Mp(), ci.Mp(), MPFR_RNDN);
        }
        mpfr_set_zero(Lr.Mp(), 1);
        mpfr_set_zero(Li.Mp(), 1);
        aggiungi(k, false);
        for (int j = 0; j < k; ++j)
            aggiungi(j, true);
        // c <- c - 1 / L
        mpfr_sqr(a.Mp(), Lr.Mp(), MPFR_RNDN);
        mpfr_fma(a.Mp(), Li.Mp(), Li.Mp(), a.Mp(), MPFR_RNDN);
        mpfr_div(nr.Mp(), Lr.Mp(), a.Mp(), MPFR_RNDN);
        mpfr_div(ni.Mp(), Li.Mp(), a.Mp(), MPFR_RNDN);
        mpfr_sub(cr.Mp(), cr.Mp(), nr.Mp(), MPFR_RNDN);
        mpfr_add(ci.Mp(), ci.Mp(), ni.Mp(), MPFR_RNDN);
        if (mpfr_zero_p(nr.Mp()) || mpfr_get_exp(nr.Mp()) < mpfr_get_exp(cr.Mp()) - mpfr_exp_t(bit) + 8)
            break;
    }
    return {cr, ci};
}

// The counts of a 64 x 64 picture of each deep window against a direct
// iteration of every pixel in MPFR, at the precision the window needs and
// 64 bits more.
bool VerificaProfondita(int fondo)
{
    const int32_t lato = 64;
    struct Caso
    {
        const char *Nome;
        bool Misiurewicz;
        int Esponente;
        int32_t Limite;
    };
    const Caso casi[] = {
        {"0 + 1i", false, 30, 1000},     {"0 + 1i", false, 300, 5000},     {"0 + 1i", false, 3000, 30000},
        {"M(31,1)", true, 30, 2000},    {"M(31,1)", true, 300, 5000},     {"M(31,1)", true, 3000, 30000},
    };
    std::printf("\n== Perturbation against a direct MPFR iteration of every pixel, %dx%d\n"
                "   M(31,1) is the Misiurewicz point of preperiod 31 and period 1 nearest -0.75 + 0.1i\n",
                lato, lato);
    bool bene = true;
    for (const Caso &caso : casi) {
        if (caso.Esponente > fondo)
            continue;
        const mpfr_prec_t bitCentro = (mpfr_prec_t(caso.Esponente * 3.33) + 256) / 64 * 64;
        const CComplessoAlto centro = caso.Misiurewicz
            ? Misiurewicz({-0.74982115706863455536L, 0.10065949381215762867L}, 31, bitCentro)
            : CComplessoAlto{CReale(0.0L), CReale(1.0L)};
        CParametri par;
        par.Finestra = FinestraAttorno(centro, caso.Esponente, lato, caso.Limite);
        TelaProfonda t(par, 0);
        t.Conta();
        MetodoPuntoPunto punto;
        const auto inizio = std::chrono::steady_clock::now();
        punto.Disegna(t.Disegno.AreaDisegno);
        const double tPerturbazione = Secondi(inizio);

        const mpfr_prec_t bit = PrecisioneFinestra(par.Finestra.Min, par.Finestra.Max, lato, lato, 128);
        CReale dx = CReale::Zero(bit), dy = CReale::Zero(bit);
        mpfr_sub(dx.Mp(), par.Finestra.Max.re.Mp(), par.Finestra.Min.re.Mp(), MPFR_RNDN);
        mpfr_div_si(dx.Mp(), dx.Mp(), lato, MPFR_RNDN);
        mpfr_sub(dy.Mp(), par.Finestra.Min.im.Mp(), par.Finestra.Max.im.Mp(), MPFR_RNDN);
        mpfr_div_si(dy.Mp(), dy.Mp(), lato, MPFR_RNDN);
        std::vector<int32_t> esatti(size_t(lato) * lato);
        std::atomic<int32_t> prossima{0};
        const auto lavora = [&] {
            for (int32_t i; (i = prossima.fetch_add(1)) < lato;) {
                CReale ci = CReale::Zero(bit), cr = CReale::Zero(bit);
                mpfr_mul_si(ci.Mp(), dy.Mp(), i, MPFR_RNDN);
                mpfr_add(ci.Mp(), ci.Mp(), par.Finestra.Max.im.Mp(), MPFR_RNDN);
                for (int32_t j = 0; j < lato; ++j) {
                    mpfr_mul_si(cr.Mp(), dx.Mp(), j, MPFR_RNDN);
                    mpfr_add(cr.Mp(), cr.Mp(), par.Finestra.Min.re.Mp(), MPFR_RNDN);
                    esatti[size_t(i) * lato + j] = PassiEsatti(cr, ci, caso.Limite, bit);
                }
            }
        };
        const auto inizioEsatti = std::chrono::steady_clock::now();
        std::vector<std::thread> fili;
        for (unsigned k = 1; k < std::max(1u, std::thread::hardware_concurrency()); ++k)
            fili.emplace_back(lavora);
        lavora();
        for (std::thread &f : fili)
            f.join();
        const double tEsatti = Secondi(inizioEsatti);

        int32_t uguali = 0, limite = 0, minimo = caso.Limite, massimo = 0, scarto = 0;
        std::string diversi;
        for (size_t k = 0; k < esatti.size(); ++k) {
            const int32_t n = t.Immagine.Pixel[k];
            uguali += n == esatti[k];
            limite += esatti[k] == caso.Limite;
            minimo = std::min(minimo, esatti[k]);
            massimo = std::max(massimo, esatti[k]);
            scarto = std::max(scarto, std::abs(n - esatti[k]));
            if (n != esatti[k] && diversi.size() < 400) {
                // The pixel once more in MPFR, at twice the precision.
                const int32_t i = int32_t(k) / lato, j = int32_t(k) % lato;
                CReale cr = CReale::Zero(2 * bit), ci = CReale::Zero(2 * bit);
                mpfr_mul_si(cr.Mp(), dx.Mp(), j, MPFR_RNDN);
                mpfr_add(cr.Mp(), cr.Mp(), par.Finestra.Min.re.Mp(), MPFR_RNDN);
                mpfr_mul_si(ci.Mp(), dy.Mp(), i, MPFR_RNDN);
                mpfr_add(ci.Mp(), ci.Mp(), par.Finestra.Max.im.Mp(), MPFR_RNDN);
                char riga[160];
                std::snprintf(riga, sizeof riga, "\n      pixel (%d, %d): perturbation %d, MPFR %d, MPFR at %ld bits %d",
                              j, i, n, esatti[k], long(2 * bit), PassiEsatti(cr, ci, caso.Limite, 2 * bit));
                diversi += riga;
            }
        }
        const double quota = 100.0 * uguali / double(esatti.size());
        bene = bene && quota >= 99.0;
        std::printf("  %-8s 10^-%-4d limit %-5d %6.2f%% equal (largest difference %d); counts %d..%d, %d at the limit;"
                    " perturbation %.3f s (reference at %ld bits), MPFR at %ld bits %.1f s\n",
                    caso.Nome, caso.Esponente, caso.Limite, quota, scarto, minimo, massimo, limite, tPerturbazione,
                    t.Disegno.Profondo.Riferimento.Precisione, long(bit), tEsatti);
        std::printf("%s%s", diversi.c_str(), diversi.empty() ? "" : "\n");
        std::fflush(stdout);
    }
    return bene;
}

} // namespace

int main(int argc, char **argv)
{
    int32_t latoScene = 1024;
    int ripetizioni = 5;
    int sola = 0; // one scene only (1 to 5), or all of them
    int verifica = 0; // the deepest check, 10^-verifica, or none
    for (int a = 1; a < argc; ++a) {
        if (!std::strcmp(argv[a], "--size") && a + 1 < argc)
            latoScene = std::max(8, std::atoi(argv[++a]));
        else if (!std::strcmp(argv[a], "--runs") && a + 1 < argc)
            ripetizioni = std::max(1, std::atoi(argv[++a]));
        else if (!std::strcmp(argv[a], "--scene") && a + 1 < argc && std::atoi(argv[a + 1]) >= 1
                 && std::atoi(argv[a + 1]) <= 5)
            sola = std::atoi(argv[++a]);
        else if (!std::strcmp(argv[a], "--check"))
            verifica = a + 1 < argc && std::atoi(argv[a + 1]) > 0 ? std::atoi(argv[++a]) : 3000;
        else {
            std::fprintf(stderr, "uso: quillmere-bench [--size N] [--runs N] [--scene 1|2|3|4|5] [--check [DEPTH]]\n");
            return 2;
        }
    }
    if (verifica)
        return VerificaProfondita(verifica) ? 0 : 1;
    const int32_t nuclei = int32_t(std::max(1u, std::thread::hardware_concurrency()));
    const Scena scene[] = {
        {"default window, limit 120", {-2.0L, -1.25L}, {0.5L, 1.25L}, 120, false},
        {"default window, limit 5000", {-2.0L, -1.25L}, {0.5L, 1.25L}, 5000, false},
        {"-0.7454..-0.7434 x 0.1308..0.1328, limit 2000", {-0.7454L, 0.1308L}, {-0.7434L, 0.1328L}, 2000, false},
        {"default window, limit 50000", {-2.0L, -1.25L}, {0.5L, 1.25L}, 50000, true},
    };
    std::printf("quillmere-bench: %dx%d (scene 4 a quarter of it), %d core(s), best of %d run(s) each, the variants "
                "taking turns\n",
                latoScene, latoScene, nuclei, ripetizioni);
    bool tuttiUguali = true;
    for (int numero = 1; numero <= 4; ++numero) {
        if (sola && numero != sola)
            continue;
        const Scena &s = scene[numero - 1];
        const int32_t lato = s.Quarto ? std::max(8, latoScene / 4) : latoScene;
        std::printf("\n== %d: %s, %dx%d\n", numero, s.Nome, lato, lato);
        Mandelbrot m;
        MetodoPuntoPunto punto;
        MetodoBlocco blocco;
        CDisegnatore *metodi[] = {&punto, &blocco};
        const char *nomi[] = {"point", "block"};
        // The points computed and their iterations, counted in a drawing of its own.
        FormulaContata contate[] = {FormulaContata(m), FormulaContata(m)};
        Risultato conteggio[2];
        for (int k = 0; k < 2; ++k)
            Disegna(s, lato, *metodi[k], contate[k], 1, 1, conteggio[k]);
        // A short scene is timed over several drawings in a row (about a
        // second's worth on one thread), so that the time is that of drawing
        // on, not of a thread starting on a core that was idle.
        Risultato prova;
        Disegna(s, lato, punto, m, 1, 1, prova);
        const int volte = std::clamp(int(1.0 / prova.Tempo), 1, 16);
        // The runs of all the variants take turns, so that a slower or faster
        // moment of the machine touches them all alike; each keeps its best.
        uint64_t iterRif = 0;
        double tRif = 1e30;
        Risultato uno[2];
        Risultato tutti[2];
        for (int r = 0; r < ripetizioni; ++r) {
            CicloRiferimento(s, lato, volte, iterRif, tRif);
            for (int k = 0; k < 2; ++k) {
                Disegna(s, lato, *metodi[k], m, 1, volte, uno[k]);
                Disegna(s, lato, *metodi[k], m, nuclei, volte, tutti[k]);
            }
        }
        if (volte > 1)
            std::printf("  (times per drawing, each timed over %d drawings in a row)\n", volte);
        const double pixel = double(lato) * lato;
        std::printf("  %-22s %8.3f s %8.2f Mpixel/s %8.3f Giter/s\n", "reference loop", tRif, pixel / tRif / 1e6,
                    double(iterRif) / tRif / 1e9);
        const double itRif = double(iterRif) / tRif;
        for (int k = 0; k < 2; ++k) {
            const bool uguali = uno[k].Pixel == conteggio[k].Pixel && tutti[k].Pixel == uno[k].Pixel;
            tuttiUguali = tuttiUguali && uguali;
            for (int f = 0; f < 2; ++f) {
                const Risultato &r = f ? tutti[k] : uno[k];
                const double itS = double(contate[k].Iterazioni) / r.Tempo;
                char nome[64];
                std::snprintf(nome, sizeof nome, "%s, %d thread%s", nomi[k], f ? nuclei : 1, (f ? nuclei : 1) > 1 ? "s" : "");
                std::printf("  %-22s %8.3f s %8.2f Mpixel/s %8.3f Giter/s  x%.2f ref  x%.2f 1 thread\n", nome, r.Tempo,
                            pixel / r.Tempo / 1e6, itS / 1e9, itS / itRif, uno[k].Tempo / r.Tempo);
            }
            std::printf("  %-22s %llu of %llu points computed (%.1f%%), %llu iterations; %.1f%% of the points taken "
                        "from their mirror images, %.1f%% of the iterations spared by the cycle check; %s\n",
                        nomi[k], (unsigned long long)contate[k].Punti, (unsigned long long)(pixel),
                        100.0 * double(contate[k].Punti) / pixel, (unsigned long long)contate[k].Iterazioni,
                        100.0 * double(uno[k].Riflessi) / double(std::max<uint64_t>(contate[k].Punti, 1)),
                        100.0 * double(uno[k].Risparmiati) / double(std::max<uint64_t>(contate[k].Iterazioni, 1)),
                        uguali ? "same picture with every thread count" : "PICTURES DIFFER");
        }
    }
    if (!sola || sola == 5)
        ScenaProfonda(latoScene, ripetizioni, tuttiUguali);
    std::printf("\n%s\n", tuttiUguali ? "All variants drew the same pictures." : "SOME VARIANTS DREW DIFFERENT PICTURES.");
    return tuttiUguali ? 0 : 1;
}
