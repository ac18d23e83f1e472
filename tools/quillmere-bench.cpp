// Benchmark: draws fixed scenes with the engine, with one thread and with
// every core, beside a plain one-point-at-a-time 80-bit loop, and checks that
// every variant draws the same picture. With --verifica, checks the engine's
// deep pictures against a direct iteration of their pixels.

#include "Casi.h"
#include "Disegno.h"
#include "FileParametri.h"
#include "Perturbazione.h"
#include "Profondita.h"
#include "Verifica.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

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
// drawn by perturbation.

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

// ---- The check against direct iteration -----------------------------------
// Pictures around special points, drawn by the engine, each pixel's count
// against a direct iteration of the pixel in high precision (tools/verifica/).

struct CRichiestaVerifica
{
    enum { Casuali, Note, Fisse, File } Insieme = Casuali;
    std::vector<std::string> Percorsi; // the parameters files to check
    uint64_t Seme = 0;
    int32_t Casi = 200;
    int32_t Caso = -1; // only this one
    int32_t Fondo = 3000; // the fixed scenes down to 10^-Fondo
    std::string Cartella; // where the cases with wrong pixels are written
    int Tipo = -1;         // the kind given with --solo
    COpzioniCasi Generazione;
    COpzioniVerifica Opzioni;
};

// Writes the case's parameters file into the folder; its name, or empty.
std::string ScriviCaso(const std::string &cartella, const std::string &nome, const CCaso &caso)
{
    const std::string percorso = cartella + "/" + nome + ".Quillmere";
    std::ofstream f(percorso, std::ios::binary);
    f << TestoParametri(caso.Parametri);
    return f ? percorso : std::string();
}

// The pictures of parameters files as cases: of the kind given (Julia
// for a Julia file), about 10^-E wide as their width says. False, with a
// message, when one cannot be read.
bool CasiDaFile(const std::vector<std::string> &percorsi, int tipo, std::vector<CCaso> &lista)
{
    for (const std::string &percorso : percorsi) {
        std::ifstream f(percorso, std::ios::binary);
        CCaso caso;
        if (!f || !LeggiParametri(f, caso.Parametri)) {
            std::fprintf(stderr, "quillmere-bench: %s is not a parameters file that can be read\n", percorso.c_str());
            return false;
        }
        const CBloccoFinestra &w = caso.Parametri.Finestra;
        CReale larghezza = CReale::Zero(64);
        mpfr_sub(larghezza.Mp(), w.Max.re.Mp(), w.Min.re.Mp(), MPFR_RNDN);
        mpfr_abs(larghezza.Mp(), larghezza.Mp(), MPFR_RNDN);
        mpfr_log10(larghezza.Mp(), larghezza.Mp(), MPFR_RNDN);
        caso.Esponente = -mpfr_get_d(larghezza.Mp(), MPFR_RNDN);
        caso.Tipo = caso.Parametri.SceltaFrattale == 1 ? CTipo::Julia : CTipo(tipo >= 0 ? tipo : 0);
        caso.Descrizione = percorso;
        caso.Numero = int32_t(lista.size());
        lista.push_back(std::move(caso));
    }
    return true;
}

// Runs the check, printing a line per case and the table by depth and kind.
// Returns the exit status: 0 when every pixel compared was right.
int Verifica(const CRichiestaVerifica &r)
{
    std::vector<CCaso> lista;
    const char *prefisso = "";
    if (r.Insieme == CRichiestaVerifica::Note) {
        lista = CasiNoti();
        prefisso = "nota";
        std::printf("quillmere-bench: the pictures known to be drawn wrong, against direct iteration\n");
    } else if (r.Insieme == CRichiestaVerifica::File) {
        if (!CasiDaFile(r.Percorsi, r.Tipo, lista))
            return 2;
        prefisso = "file";
        std::printf("quillmere-bench: %zu parameters file(s), against direct iteration\n", lista.size());
    } else if (r.Insieme == CRichiestaVerifica::Fisse) {
        lista = CasiFissi(r.Fondo);
        prefisso = "fissa";
        std::printf("quillmere-bench: the fixed scenes down to 10^-%d, against direct iteration\n", r.Fondo);
    } else {
        prefisso = "verifica";
        std::printf("quillmere-bench: seed %llu, %d random cases 10^-%g to 10^-%g wide, against direct iteration\n",
                    (unsigned long long)r.Seme, r.Casi, r.Generazione.EsponenteMinimo, r.Generazione.EsponenteMassimo);
    }
    const int32_t quanti = r.Insieme == CRichiestaVerifica::Casuali ? r.Casi : int32_t(lista.size());
    std::printf("sample: the centre pixel and %d more, then more while they fit in %g s of one thread per case; "
                "%d thread(s)\n\n",
                r.Opzioni.PixelMinimi, r.Opzioni.SecondiDiretti,
                r.Opzioni.Fili > 0 ? r.Opzioni.Fili : int(std::max(1u, std::thread::hardware_concurrency())));
    std::fflush(stdout);
    std::vector<int32_t> numeri;
    for (int32_t k = 0; k < quanti; ++k)
        if (r.Caso < 0 || k == r.Caso)
            numeri.push_back(k);
    // Several cases at once, each on one thread: finding a point and the
    // engine's reference orbit take one thread, so this keeps the cores busy.
    // The lines come out in the order of the cases.
    const int32_t fili = r.Opzioni.Fili > 0 ? r.Opzioni.Fili : int32_t(std::max(1u, std::thread::hardware_concurrency()));
    const int32_t insieme = std::max<int32_t>(1, std::min<int32_t>(fili, int32_t(numeri.size())));
    COpzioniVerifica opzioni = r.Opzioni;
    opzioni.Fili = std::max<int32_t>(1, fili / insieme);
    struct CRisultato
    {
        CCaso Caso;
        CEsitoCaso Esito;
        bool Pronto = false;
    };
    std::vector<CRisultato> risultati(numeri.size());
    std::mutex mutex;
    std::condition_variable pronto;
    std::atomic<size_t> prossimo{0};
    const auto lavora = [&] {
        for (size_t k; (k = prossimo.fetch_add(1)) < numeri.size();) {
            CCaso caso = r.Insieme == CRichiestaVerifica::Casuali ? GeneraCaso(r.Seme, numeri[k], r.Generazione)
                                                                  : lista[size_t(numeri[k])];
            CEsitoCaso esito = VerificaCaso(caso, opzioni);
            {
                std::lock_guard<std::mutex> lock(mutex);
                risultati[k] = {std::move(caso), std::move(esito), true};
            }
            pronto.notify_all();
        }
        mpfr_free_cache2(MPFR_FREE_LOCAL_CACHE); // MPFR's caches of this thread
    };
    CTabella tabella;
    const auto inizio = std::chrono::steady_clock::now();
    std::vector<std::thread> squadra;
    for (int32_t t = 0; t < insieme; ++t)
        squadra.emplace_back(lavora);
    for (size_t k = 0; k < numeri.size(); ++k) {
        {
            std::unique_lock<std::mutex> lock(mutex);
            pronto.wait(lock, [&] { return risultati[k].Pronto; });
        }
        const CCaso &caso = risultati[k].Caso;
        const CEsitoCaso &esito = risultati[k].Esito;
        std::printf("%s", RigaCaso(caso, esito).c_str());
        if (!r.Cartella.empty() && esito.Sbagliati > 0) {
            char nome[64];
            std::snprintf(nome, sizeof nome, "%s-%llu-%04d", prefisso, (unsigned long long)r.Seme, numeri[k]);
            const std::string scritto = ScriviCaso(r.Cartella, nome, caso);
            std::printf("       %s\n", scritto.empty() ? "COULD NOT WRITE THE PARAMETERS FILE" : scritto.c_str());
        }
        std::fflush(stdout);
        tabella.Aggiungi(caso, esito);
        if (isatty(fileno(stderr)) && numeri.size() > 1) {
            const double trascorsi = Secondi(inizio);
            std::fprintf(stderr, "\r[%zu/%zu] %.0f s, about %.0f s left ", k + 1, numeri.size(), trascorsi,
                         trascorsi / double(k + 1) * double(numeri.size() - k - 1));
        }
    }
    for (std::thread &t : squadra)
        t.join();
    const int32_t fatti = int32_t(numeri.size());
    if (isatty(fileno(stderr)) && numeri.size() > 1)
        std::fprintf(stderr, "\n");
    std::printf("\n");
    tabella.Stampa(stdout);
    const double totale = Secondi(inizio);
    std::printf("\n%d case(s) in %.0f s (%.1f s a case); %.4f%% of the pixels compared right\n", fatti, totale,
                totale / std::max(1, fatti), tabella.Giusti());
    return tabella.Sbagliati() == 0 ? 0 : 1;
}

// The kind named on the command line, or -1.
int TipoDaNome(const char *nome)
{
    const char *nomi[QuantiTipi] = {"misiurewicz", "minibrot", "julia", "reale"};
    for (int t = 0; t < QuantiTipi; ++t)
        if (!std::strcmp(nome, nomi[t]))
            return t;
    return -1;
}

const char *const Uso =
    "uso: quillmere-bench [--size N] [--runs N] [--scene 1|2|3|4|5]\n"
    "     quillmere-bench --verifica SEED [--casi N] [--da E] [--fino-a E] [--solo KIND] [--caso K]\n"
    "                     [--fili N] [--minimi N] [--secondi S] [--controllo] [--scrivi DIR]\n"
    "     quillmere-bench --verifica-note | --verifica-fisse [E] | --verifica-file FILE...\n"
    "                     [the same options, no --casi, --fino-a]\n"
    "\n"
    "Without --verifica: draws fixed scenes, timing both methods on one thread and on every core.\n"
    "--verifica SEED: random pictures around Misiurewicz points, minibrots, Julia sets' points and the\n"
    "  real axis, 10^-20 to 10^-19000 wide, each pixel of a sample against a direct iteration in MPFR;\n"
    "  prints each case and a table by depth and kind. Exit status 1 when a pixel is wrong.\n"
    "  --casi N        cases 0 .. N-1 of the seed (200)\n"
    "  --da E          no window wider than 10^-E (20)\n"
    "  --fino-a E      no window narrower than 10^-E (19000)\n"
    "  --solo KIND     cases of one kind: misiurewicz, minibrot, julia or reale (the real axis)\n"
    "  --caso K        case K of the run only (the same seed, --da, --fino-a and --solo)\n"
    "  --fili N        threads (every core): as many cases at once, each on one thread\n"
    "  --minimi N      pixels compared besides the centre one, whatever they cost (4)\n"
    "  --secondi S     then more pixels, as many as the time per pixel of those fits in S seconds\n"
    "                  of one thread (4)\n"
    "  --controllo     also the plain MPFR loop at twice the bits, for every pixel (slower)\n"
    "  --scrivi DIR    writes each case with a wrong pixel as a parameters file into DIR\n"
    "--verifica-note: the pictures known to be drawn wrong today (minibrots, around 0 + 1i, Julia near\n"
    "  its critical point, the tip at -2, past 10^-4935).\n"
    "--verifica-fisse [E]: the fixed scenes of 10^-30, 10^-300, 10^-3000 (down to 10^-E).\n"
    "--verifica-file FILE...: the pictures of parameters files (of the kind --solo names in the table).\n";

} // namespace

int main(int argc, char **argv)
{
    int32_t latoScene = 1024;
    int ripetizioni = 5;
    int sola = 0; // one scene only (1 to 5), or all of them
    bool verifica = false;
    CRichiestaVerifica richiesta;
    const auto numero = [&](int &a, double minimo, double &v) {
        if (a + 1 >= argc)
            return false;
        char *fine = nullptr;
        v = std::strtod(argv[a + 1], &fine);
        if (*fine || !(v >= minimo))
            return false;
        ++a;
        return true;
    };
    for (int a = 1; a < argc; ++a) {
        double v = 0.0;
        const char *o = argv[a];
        if (!std::strcmp(o, "--help")) {
            std::printf("%s", Uso);
            return 0;
        } else if (!std::strcmp(o, "--size") && numero(a, 8, v))
            latoScene = int32_t(std::min(v, 65536.0));
        else if (!std::strcmp(o, "--runs") && numero(a, 1, v))
            ripetizioni = int(std::min(v, 1000.0));
        else if (!std::strcmp(o, "--scene") && numero(a, 1, v) && v <= 5)
            sola = int(v);
        else if (!std::strcmp(o, "--verifica") && numero(a, 0, v)) {
            verifica = true;
            richiesta.Seme = std::strtoull(argv[a], nullptr, 10);
        } else if (!std::strcmp(o, "--verifica-note")) {
            verifica = true;
            richiesta.Insieme = CRichiestaVerifica::Note;
        } else if (!std::strcmp(o, "--verifica-file") && a + 1 < argc) {
            verifica = true;
            richiesta.Insieme = CRichiestaVerifica::File;
            while (a + 1 < argc && std::strncmp(argv[a + 1], "--", 2) != 0)
                richiesta.Percorsi.push_back(argv[++a]);
        } else if (!std::strcmp(o, "--verifica-fisse")) {
            verifica = true;
            richiesta.Insieme = CRichiestaVerifica::Fisse;
            if (numero(a, 1, v))
                richiesta.Fondo = int32_t(std::min(v, 19990.0));
        } else if (!std::strcmp(o, "--casi") && numero(a, 1, v))
            richiesta.Casi = int32_t(std::min(v, 1e9));
        else if (!std::strcmp(o, "--fino-a") && numero(a, 20, v))
            richiesta.Generazione.EsponenteMassimo = std::min(v, 19000.0);
        else if (!std::strcmp(o, "--da") && numero(a, 20, v))
            richiesta.Generazione.EsponenteMinimo = std::min(v, 19000.0);
        else if (!std::strcmp(o, "--solo") && a + 1 < argc && TipoDaNome(argv[a + 1]) >= 0) {
            const int tipo = TipoDaNome(argv[++a]);
            richiesta.Tipo = tipo;
            for (int t = 0; t < QuantiTipi; ++t)
                richiesta.Generazione.PesiTipi[t] = t == tipo ? 1.0 : 0.0;
        } else if (!std::strcmp(o, "--caso") && numero(a, 0, v))
            richiesta.Caso = int32_t(std::min(v, 1e9));
        else if (!std::strcmp(o, "--fili") && numero(a, 1, v))
            richiesta.Opzioni.Fili = int32_t(std::min(v, 256.0));
        else if (!std::strcmp(o, "--secondi") && numero(a, 0, v))
            richiesta.Opzioni.SecondiDiretti = v;
        else if (!std::strcmp(o, "--minimi") && numero(a, 0, v))
            richiesta.Opzioni.PixelMinimi = int32_t(std::min(v, 1e9));
        else if (!std::strcmp(o, "--controllo"))
            richiesta.Opzioni.Controllo = true;
        else if (!std::strcmp(o, "--scrivi") && a + 1 < argc)
            richiesta.Cartella = argv[++a];
        else {
            std::fprintf(stderr, "%s", Uso);
            return 2;
        }
    }
    if (verifica) {
        richiesta.Opzioni.Seme = richiesta.Seme;
        return Verifica(richiesta);
    }
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
