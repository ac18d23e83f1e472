// Benchmark: draws fixed scenes with the engine, with one thread and with
// every core, beside a plain one-point-at-a-time 80-bit loop, and checks that
// every variant draws the same picture.

#include "Disegno.h"
#include "FileParametri.h"

#include <algorithm>
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

} // namespace

int main(int argc, char **argv)
{
    int32_t lato = 1024;
    int ripetizioni = 5;
    int sola = 0; // one scene only (1 to 3), or all of them
    for (int a = 1; a < argc; ++a) {
        if (!std::strcmp(argv[a], "--size") && a + 1 < argc)
            lato = std::max(8, std::atoi(argv[++a]));
        else if (!std::strcmp(argv[a], "--runs") && a + 1 < argc)
            ripetizioni = std::max(1, std::atoi(argv[++a]));
        else if (!std::strcmp(argv[a], "--scene") && a + 1 < argc && std::atoi(argv[a + 1]) >= 1
                 && std::atoi(argv[a + 1]) <= 3)
            sola = std::atoi(argv[++a]);
        else {
            std::fprintf(stderr, "uso: quillmere-bench [--size N] [--runs N] [--scene 1|2|3]\n");
            return 2;
        }
    }
    const int32_t nuclei = int32_t(std::max(1u, std::thread::hardware_concurrency()));
    const Scena scene[] = {
        {"default window, limit 120", {-2.0L, -1.25L}, {0.5L, 1.25L}, 120},
        {"default window, limit 5000", {-2.0L, -1.25L}, {0.5L, 1.25L}, 5000},
        {"-0.7454..-0.7434 x 0.1308..0.1328, limit 2000", {-0.7454L, 0.1308L}, {-0.7434L, 0.1328L}, 2000},
    };
    std::printf("quillmere-bench: %dx%d, %d core(s), best of %d run(s) each, the variants taking turns\n", lato, lato, nuclei, ripetizioni);
    bool tuttiUguali = true;
    for (int numero = 1; numero <= 3; ++numero) {
        if (sola && numero != sola)
            continue;
        const Scena &s = scene[numero - 1];
        std::printf("\n== %d: %s\n", numero, s.Nome);
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
            std::printf("  %-22s %llu of %llu points computed (%.1f%%), %llu iterations; %s\n", nomi[k],
                        (unsigned long long)contate[k].Punti, (unsigned long long)(pixel),
                        100.0 * double(contate[k].Punti) / pixel, (unsigned long long)contate[k].Iterazioni,
                        uguali ? "same picture with every thread count" : "PICTURES DIFFER");
        }
    }
    std::printf("\n%s\n", tuttiUguali ? "All variants drew the same pictures." : "SOME VARIANTS DREW DIFFERENT PICTURES.");
    return tuttiUguali ? 0 : 1;
}
