// What a deep frame's reference orbit takes of its drawing: for each
// parameters file given, the time of the reference orbit with its leaps and
// that of the whole drawing (the file's method, one thread), best of some
// runs taken in turns. A benchmark for piano-bench.sh, not installed.
//
// misura-fotogrammi [--runs N] PARAMS...

#include "Disegno.h"
#include "FileDocumento.h"
#include "Perturbazione.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

double Secondi(std::chrono::steady_clock::time_point inizio)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - inizio).count();
}

} // namespace

int main(int argc, char **argv)
{
    int ripetizioni = 5;
    std::vector<const char *> nomi;
    for (int a = 1; a < argc; ++a) {
        if (!std::strcmp(argv[a], "--runs") && a + 1 < argc)
            ripetizioni = std::max(1, std::atoi(argv[++a]));
        else
            nomi.push_back(argv[a]);
    }
    if (nomi.empty()) {
        std::fprintf(stderr, "uso: misura-fotogrammi [--runs N] PARAMETRI...\n");
        return 2;
    }
    for (const char *nome : nomi) {
        CParametri par;
        if (!LeggiFileParametri(QString::fromLocal8Bit(nome), par)) {
            std::fprintf(stderr, "misura-fotogrammi: %s: Il file dei parametri NON è valido!\n", nome);
            return 1;
        }
        const int32_t W = par.Finestra.Larghezza;
        const int32_t H = par.Finestra.Altezza;
        double disegno = 1e30;
        double riferimento = 1e30;
        bool profondo = false;
        long bit = 0;
        int64_t passi = 0;
        for (int r = 0; r < ripetizioni; ++r) {
            CDisegno d;
            d.AreaDisegno.Fili = 1;
            CDisegnatore &metodo = d.Prepara(par, nullptr, W, H);
            auto inizio = std::chrono::steady_clock::now();
            metodo.Disegna(d.AreaDisegno);
            disegno = std::min(disegno, Secondi(inizio));
            CRiferimento &rif = d.Profondo.Riferimento;
            profondo = d.AreaDisegno.Calcolatore != nullptr;
            bit = rif.Precisione;
            passi = rif.Avvio.Ultimo;
            if (profondo) {
                // Once more, computed again rather than kept.
                rif.Pronto = false;
                inizio = std::chrono::steady_clock::now();
                d.Profondo.Inizia(d.AreaDisegno);
                riferimento = std::min(riferimento, Secondi(inizio));
            }
        }
        if (profondo)
            std::printf("%s: %dx%d limit %d: drawing %.4f s, reference orbit and leaps %.5f s (%.2f%%; %lld steps "
                        "of %ld bits)\n",
                        nome, W, H, par.Finestra.MaxIterazioni, disegno, riferimento, 100.0 * riferimento / disegno,
                        (long long)passi, bit);
        else
            std::printf("%s: %dx%d limit %d: drawing %.4f s in 80 bits, no reference orbit\n", nome, W, H,
                        par.Finestra.MaxIterazioni, disegno);
    }
    return 0;
}
