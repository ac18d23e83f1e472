#include "Verifica.h"

#include "Diretta.h"
#include "Errore.h"
#include "Motore.h"
#include "PuntiPixel.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

namespace {

double Secondi(std::chrono::steady_clock::time_point inizio)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - inizio).count();
}

// log2 of |v|, a large negative number for 0.
double Log2Di(const CReale &v)
{
    if (mpfr_zero_p(v.Mp()))
        return -1e18;
    long e = 0;
    const double m = mpfr_get_d_2exp(&e, v.Mp(), MPFR_RNDN);
    return double(e) + std::log2(std::fabs(m));
}

} // namespace

mpfr_prec_t PrecisioneDiretta(const CBloccoFinestra &f)
{
    const double passo = std::min(Log2Di(DifferenzaEsatta(f.Max.re, f.Min.re)) - std::log2(double(f.Larghezza)),
                                  Log2Di(DifferenzaEsatta(f.Max.im, f.Min.im)) - std::log2(double(f.Altezza)));
    double grandezza = passo;
    for (const CReale *v : {&f.Min.re, &f.Min.im, &f.Max.re, &f.Max.im})
        grandezza = std::max(grandezza, Log2Di(*v));
    const double bit = std::max(128.0, grandezza - passo + 64.0);
    return mpfr_prec_t(std::ceil(bit / 64.0)) * 64;
}

namespace {

CFormulaDiretta FormulaDi(const CParametri &par)
{
    CFormulaDiretta f;
    f.Julia = par.SceltaFrattale == 1;
    f.Costante = par.FrattaleJulia.Param;
    return f;
}

CPuntoEsatto PuntoDi(const CParametri &par, int32_t j, int32_t i, bool ottantaBit)
{
    if (!ottantaBit)
        return PuntoDelPixel(par.Finestra, j, i);
    CPuntoEsatto p;
    p.Numeratore = CComplessoAlto(PuntoOttantaBit(par.Finestra, par.SceltaMetodo, j, i));
    return p;
}

// Whether the block method may have filled pixel (j, i) from its block's
// corner: not on the coarse grid, and the corner, its right, lower,
// lower-right, upper and left neighbours on its pass's grid hold one value.
bool Riempibile(const std::vector<int32_t> &conteggi, int32_t W, int32_t H, int32_t j, int32_t i)
{
    if (j % 8 == 0 && i % 8 == 0)
        return false;
    const int32_t h = (j % 4 == 0 && i % 4 == 0) ? 4 : (j % 2 == 0 && i % 2 == 0) ? 2 : 1;
    const int32_t S = 2 * h;
    const int32_t j0 = j - j % S, i0 = i - i % S;
    if (j0 < S || i0 < S)
        return false; // the left column and top row of blocks are always computed
    const int32_t qui = conteggi[size_t(i0) * W + j0];
    const auto uguale = [&](int32_t x, int32_t y) {
        return x >= W || y >= H || conteggi[size_t(y) * W + x] == qui; // past the edges: unknown
    };
    return uguale(j0 + S, i0) && uguale(j0, i0 + S) && uguale(j0 + S, i0 + S) && uguale(j0, i0 - S)
        && uguale(j0 - S, i0) && conteggi[size_t(i) * W + j] == qui;
}

} // namespace

CConteggioDiretto ContaPixel(const CParametri &par, int32_t j, int32_t i, bool ottantaBit, mpfr_prec_t bit)
{
    return ConteggioDiretto(PuntoDi(par, j, i, ottantaBit), FormulaDi(par), par.Finestra.MaxIterazioni, bit);
}

CEsitoCaso VerificaCaso(const CCaso &caso, const COpzioniVerifica &o)
{
    CEsitoCaso esito;
    const CParametri &par = caso.Parametri;
    const CBloccoFinestra &f = par.Finestra;
    const int32_t W = f.Larghezza, H = f.Altezza, limite = f.MaxIterazioni;
    const int32_t fili = o.Fili > 0 ? o.Fili : int32_t(std::max(1u, std::thread::hardware_concurrency()));

    CDisegnoMotore motore;
    const auto inizioMotore = std::chrono::steady_clock::now();
    try {
        motore = ConteggiDelMotore(par, fili);
    } catch (const CErrore &e) {
        esito.Errore = e.what();
        return esito;
    }
    esito.SecondiMotore = Secondi(inizioMotore);
    esito.OttantaBit = motore.OttantaBit;
    esito.Bit = PrecisioneDiretta(f);

    const CFormulaDiretta formula = FormulaDi(par);

    // The sample: the centre pixel and PixelMinimi others in a random order,
    // then more, as many as the time per pixel so far leaves room for.
    std::vector<int32_t> ordine(size_t(W) * H);
    for (size_t k = 0; k < ordine.size(); ++k)
        ordine[k] = int32_t(k);
    CCasuale r(o.Seme, uint64_t(caso.Numero) + (uint64_t(1) << 32));
    const int32_t centro = (H / 2) * W + W / 2;
    std::swap(ordine[0], ordine[size_t(centro)]);
    for (size_t k = ordine.size() - 1; k > 1; --k)
        std::swap(ordine[k], ordine[1 + size_t(r.Bit64() % k)]);
    std::vector<int32_t> campione;
    std::vector<CConteggioDiretto> diretti;
    std::vector<int32_t> semplici;
    double secondi = 0.0; // of one thread, over the pixels computed
    // Computes pixels ordine[da .. a) on the threads.
    const auto calcola = [&](size_t da, size_t a) {
        campione.insert(campione.end(), ordine.begin() + std::ptrdiff_t(da), ordine.begin() + std::ptrdiff_t(a));
        diretti.resize(campione.size());
        semplici.resize(campione.size(), -1);
        // The costliest first (by the engine's counts), so that the threads finish together.
        std::stable_sort(campione.begin() + std::ptrdiff_t(da), campione.end(), [&](int32_t x, int32_t y) {
            return motore.Conteggi[size_t(x)] > motore.Conteggi[size_t(y)];
        });
        std::atomic<size_t> prossimo{da};
        std::vector<double> tempi(size_t(fili), 0.0);
        const auto lavora = [&](size_t filo) {
            for (size_t k; (k = prossimo.fetch_add(1)) < campione.size();) {
                const auto inizio = std::chrono::steady_clock::now();
                const CPuntoEsatto p = PuntoDi(par, campione[k] % W, campione[k] / W, motore.OttantaBit);
                diretti[k] = ConteggioDiretto(p, formula, limite, esito.Bit);
                if (o.Controllo && diretti[k].Certo)
                    semplici[k] = PassiSemplici(p, formula, limite, 2 * diretti[k].Bit + 64);
                tempi[filo] += Secondi(inizio);
            }
        };
        std::vector<std::thread> aiutanti;
        for (int32_t t = 1; t < std::min<int32_t>(fili, int32_t(a - da)); ++t)
            aiutanti.emplace_back([&lavora, t] {
                lavora(size_t(t));
                mpfr_free_cache2(MPFR_FREE_LOCAL_CACHE); // MPFR's caches of this thread
            });
        lavora(0);
        for (std::thread &t : aiutanti)
            t.join();
        for (double t : tempi)
            secondi += t;
    };
    const auto inizioDiretti = std::chrono::steady_clock::now();
    calcola(0, std::min(ordine.size(), size_t(o.PixelMinimi) + 1));
    // At most twice as many at a time, so that a few cheap pixels do not promise too much.
    while (campione.size() < ordine.size() && secondi < o.SecondiDiretti) {
        const double perPixel = secondi / double(campione.size());
        const double altri = std::floor((o.SecondiDiretti - secondi) / std::max(perPixel, 1e-9));
        if (altri < 1.0)
            break;
        const size_t da = campione.size();
        calcola(da, da + size_t(std::min({altri, double(da), double(ordine.size() - da)})));
    }
    esito.SecondiDiretti = Secondi(inizioDiretti);

    for (size_t k = 0; k < campione.size(); ++k) {
        const CConteggioDiretto &d = diretti[k];
        esito.Passi += d.Passi;
        if (!d.Certo) {
            ++esito.FiliDiLama;
            continue;
        }
        ++esito.Confrontati;
        esito.Limitate += d.Limitata;
        esito.Discordi += semplici[k] >= 0 && semplici[k] != d.Conteggio;
        const int32_t n = motore.Conteggi[size_t(campione[k])];
        if (n == d.Conteggio)
            continue;
        const int32_t j = campione[k] % W, i = campione[k] / W;
        const bool riempibile = par.SceltaMetodo == 1 && Riempibile(motore.Conteggi, W, H, j, i);
        ++esito.Sbagliati;
        esito.Riempibili += riempibile;
        if (esito.Diversi.size() < 4)
            esito.Diversi.push_back({j, i, n, d.Conteggio, riempibile});
    }
    return esito;
}

std::string RigaCaso(const CCaso &caso, const CEsitoCaso &e)
{
    const CBloccoFinestra &f = caso.Parametri.Finestra;
    char riga[512];
    std::snprintf(riga, sizeof riga, "#%-5d %-11s 10^-%-7.1f %3dx%-3d %-5s limit %-6d ", caso.Numero,
                  NomeTipo(caso.Tipo), caso.Esponente, f.Larghezza, f.Altezza,
                  caso.Parametri.SceltaMetodo ? "block" : "point", f.MaxIterazioni);
    std::string testo = riga;
    if (!e.Errore.empty())
        return testo + "REFUSED: " + e.Errore + " | " + caso.Descrizione + "\n";
    std::snprintf(riga, sizeof riga,
                  "%4d px %3d knife %4d wrong%s | P %ld%s | %.2f s point, %.2f s engine, %.2f s direct, %lld steps | ",
                  e.Confrontati, e.FiliDiLama, e.Sbagliati,
                  e.Sbagliati && e.Riempibili == e.Sbagliati ? " (all fillable)" : "", long(e.Bit),
                  e.OttantaBit ? ", 80-bit picture" : "", caso.SecondiGenerazione, e.SecondiMotore, e.SecondiDiretti,
                  (long long)e.Passi);
    testo += riga + caso.Descrizione + "\n";
    if (e.Discordi) {
        std::snprintf(riga, sizeof riga, "       CHECK: %d plain iterations disagree with the certain count\n",
                      e.Discordi);
        testo += riga;
    }
    for (const CDiverso &d : e.Diversi) {
        std::snprintf(riga, sizeof riga, "       pixel (%d, %d): engine %d, direct %d%s\n", d.Colonna, d.Riga, d.Motore,
                      d.Diretto, d.Riempibile ? " (fillable by the block method)" : "");
        testo += riga;
    }
    return testo;
}

int BandaDi(double esponente)
{
    return esponente <= 300.0 ? 0 : esponente <= 4900.0 ? 1 : 2;
}

void CTabella::CCella::Aggiungi(const CCaso &caso, const CEsitoCaso &e)
{
    ++Casi;
    if (!e.Errore.empty()) {
        ++Rifiutati;
        return;
    }
    CasiSbagliati += e.Sbagliati > 0;
    Confrontati += e.Confrontati;
    FiliDiLama += e.FiliDiLama;
    Sbagliati += e.Sbagliati;
    Riempibili += e.Riempibili;
    Discordi += e.Discordi;
    Secondi[0] += caso.SecondiGenerazione;
    Secondi[1] += e.SecondiMotore;
    Secondi[2] += e.SecondiDiretti;
}

void CTabella::CCella::Aggiungi(const CCella &a)
{
    Casi += a.Casi;
    CasiSbagliati += a.CasiSbagliati;
    Rifiutati += a.Rifiutati;
    Confrontati += a.Confrontati;
    FiliDiLama += a.FiliDiLama;
    Sbagliati += a.Sbagliati;
    Riempibili += a.Riempibili;
    Discordi += a.Discordi;
    for (int k = 0; k < 3; ++k)
        Secondi[k] += a.Secondi[k];
}

void CTabella::Aggiungi(const CCaso &caso, const CEsitoCaso &esito)
{
    Celle[BandaDi(caso.Esponente)][int(caso.Tipo)].Aggiungi(caso, esito);
}

CTabella::CCella CTabella::Totale() const
{
    CCella t;
    for (const auto &banda : Celle)
        for (const CCella &c : banda)
            t.Aggiungi(c);
    return t;
}

double CTabella::Giusti() const
{
    const CCella t = Totale();
    return t.Confrontati ? 100.0 * double(t.Confrontati - t.Sbagliati) / double(t.Confrontati) : 100.0;
}

void CTabella::Stampa(std::FILE *f) const
{
    const char *bande[QuanteBande] = {"to 10^-300", "to 10^-4900", "to 10^-19990"};
    std::fprintf(f, "%-13s %-12s %6s %6s %9s %7s %8s %8s %9s %8s %8s %8s\n", "depth", "kind", "cases", "wrong",
                 "pixels", "knife", "wrong px", "fillable", "% right", "s point", "s engine", "s direct");
    const auto riga = [&](const char *banda, const char *tipo, const CCella &c) {
        if (!c.Casi)
            return;
        const double giusti = c.Confrontati ? 100.0 * double(c.Confrontati - c.Sbagliati) / double(c.Confrontati) : 100.0;
        const double n = std::max(1, c.Casi - c.Rifiutati);
        std::fprintf(f, "%-13s %-12s %6d %6d %9lld %7lld %8lld %8lld %9.4f %8.2f %8.2f %8.2f\n", banda, tipo,
                     c.Casi, c.CasiSbagliati, (long long)c.Confrontati, (long long)c.FiliDiLama,
                     (long long)c.Sbagliati, (long long)c.Riempibili, giusti, c.Secondi[0] / n, c.Secondi[1] / n,
                     c.Secondi[2] / n);
    };
    for (int b = 0; b < QuanteBande; ++b) {
        CCella banda;
        for (int t = 0; t < QuantiTipi; ++t) {
            riga(bande[b], NomeTipo(CTipo(t)), Celle[b][t]);
            banda.Aggiungi(Celle[b][t]);
        }
        riga(bande[b], "all", banda);
    }
    for (int t = 0; t < QuantiTipi; ++t) {
        CCella tipo;
        for (int b = 0; b < QuanteBande; ++b)
            tipo.Aggiungi(Celle[b][t]);
        riga("all depths", NomeTipo(CTipo(t)), tipo);
    }
    const CCella t = Totale();
    riga("all depths", "all", t);
    if (t.Rifiutati)
        std::fprintf(f, "%d case(s) refused by the engine\n", t.Rifiutati);
    if (t.Discordi)
        std::fprintf(f, "CHECK: %lld plain iteration(s) disagreed with certain counts\n", (long long)t.Discordi);
}
