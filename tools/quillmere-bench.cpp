// Benchmark: draws fixed scenes with the engine, with one thread and with
// every core, beside a plain one-point-at-a-time 80-bit loop, and checks that
// every variant draws the same picture.

#include "Coloratori.h"
#include "Disegnatori.h"
#include "Frattali.h"
#include "Scelte.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
    double Tempo = 0;
    std::vector<int32_t> Pixel;
};

// The best of a few runs, so that a busy moment of the machine counts less.
Risultato Disegna(const Scena &s, int32_t lato, CDisegnatore &metodo, CFrattale &formula, int32_t fili, int ripetizioni)
{
    CInternoSolido nero;
    CInternoLog log;
    CEsternoFasce fasce;
    PreparaTabelleDocumento(log, fasce);
    Risultato r;
    r.Tempo = 1e30;
    for (int k = 0; k < ripetizioni; ++k) {
        ImmagineMemoria img(lato, lato);
        CAreaDisegno area;
        area.Frattale = &formula;
        area.Interno = &log;
        area.Esterno = &fasce;
        area.Immagine = &img;
        area.Min = s.Min;
        area.Max = s.Max;
        area.Larghezza = area.Altezza = lato;
        area.MaxIterazioni = s.Limite;
        area.Fili = fili;
        area.PreparaBuffer(lato, lato);
        const auto inizio = std::chrono::steady_clock::now();
        metodo.Disegna(area);
        r.Tempo = std::min(r.Tempo, Secondi(inizio));
        r.Pixel = std::move(img.Pixel);
    }
    return r;
}

// The textbook loop: z from 0, one point at a time, over the pixels of the
// point-by-point method. Returns the seconds; counts the iterations.
double CicloRiferimento(const Scena &s, int32_t lato, uint64_t &iterazioni, int ripetizioni)
{
    double migliore = 1e30;
    for (int k = 0; k < ripetizioni; ++k) {
        uint64_t totale = 0;
        const int32_t limite = s.Limite;
        const auto inizio = std::chrono::steady_clock::now();
        const long double dx = (s.Max.re - s.Min.re) / lato;
        const long double dy = (s.Min.im - s.Max.im) / lato;
        for (int32_t i = 0; i < lato; ++i) {
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
        migliore = std::min(migliore, Secondi(inizio));
        iterazioni = totale;
    }
    return migliore;
}

} // namespace

int main(int argc, char **argv)
{
    int32_t lato = 1024;
    int ripetizioni = 3;
    for (int a = 1; a < argc; ++a) {
        if (!std::strcmp(argv[a], "--size") && a + 1 < argc)
            lato = std::max(8, std::atoi(argv[++a]));
        else if (!std::strcmp(argv[a], "--runs") && a + 1 < argc)
            ripetizioni = std::max(1, std::atoi(argv[++a]));
        else {
            std::fprintf(stderr, "uso: quillmere-bench [--size N] [--runs N]\n");
            return 2;
        }
    }
    const int32_t nuclei = int32_t(std::max(1u, std::thread::hardware_concurrency()));
    const Scena scene[] = {
        {"default window, limit 120", {-2.0L, -1.25L}, {0.5L, 1.25L}, 120},
        {"default window, limit 5000", {-2.0L, -1.25L}, {0.5L, 1.25L}, 5000},
        {"-0.7454..-0.7434 x 0.1308..0.1328, limit 2000", {-0.7454L, 0.1308L}, {-0.7434L, 0.1328L}, 2000},
    };
    std::printf("quillmere-bench: %dx%d, %d core(s), best of %d run(s)\n", lato, lato, nuclei, ripetizioni);
    bool tuttiUguali = true;
    for (const Scena &s : scene) {
        std::printf("\n== %s\n", s.Nome);
        uint64_t iterRif = 0;
        const double tRif = CicloRiferimento(s, lato, iterRif, ripetizioni);
        const double pixel = double(lato) * lato;
        std::printf("  %-22s %8.3f s %8.2f Mpixel/s %8.3f Giter/s\n", "reference loop", tRif, pixel / tRif / 1e6,
                    double(iterRif) / tRif / 1e9);
        const double itRif = double(iterRif) / tRif;

        Mandelbrot m;
        MetodoPuntoPunto punto;
        MetodoBlocco blocco;
        CDisegnatore *metodi[] = {&punto, &blocco};
        const char *nomi[] = {"point", "block"};
        for (int k = 0; k < 2; ++k) {
            FormulaContata contata(m);
            const Risultato conteggio = Disegna(s, lato, *metodi[k], contata, 1, 1);
            const Risultato uno = Disegna(s, lato, *metodi[k], m, 1, ripetizioni);
            const Risultato tutti = Disegna(s, lato, *metodi[k], m, nuclei, ripetizioni);
            const bool uguali = uno.Pixel == conteggio.Pixel && tutti.Pixel == uno.Pixel;
            tuttiUguali = tuttiUguali && uguali;
            for (int f = 0; f < 2; ++f) {
                const Risultato &r = f ? tutti : uno;
                const double itS = double(contata.Iterazioni) / r.Tempo;
                char nome[64];
                std::snprintf(nome, sizeof nome, "%s, %d thread%s", nomi[k], f ? nuclei : 1, (f ? nuclei : 1) > 1 ? "s" : "");
                std::printf("  %-22s %8.3f s %8.2f Mpixel/s %8.3f Giter/s  x%.2f ref  x%.2f 1 thread\n", nome, r.Tempo,
                            pixel / r.Tempo / 1e6, itS / 1e9, itS / itRif, uno.Tempo / r.Tempo);
            }
            std::printf("  %-22s %llu of %llu points computed (%.1f%%), %llu iterations; %s\n", nomi[k],
                        (unsigned long long)contata.Punti, (unsigned long long)(pixel), 100.0 * double(contata.Punti) / pixel,
                        (unsigned long long)contata.Iterazioni, uguali ? "same picture with every thread count" : "PICTURES DIFFER");
        }
    }
    std::printf("\n%s\n", tuttiUguali ? "All variants drew the same pictures." : "SOME VARIANTS DREW DIFFERENT PICTURES.");
    return tuttiUguali ? 0 : 1;
}
