#include "Disegnatori.h"

#include "Coloratori.h"
#include "Frattali.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace {

constexpr int32_t LatoMassimo = 0x7FFF0000;

// The colour of the pixel that p stands for, after iterating it.
inline int32_t ColoreDi(const CAreaDisegno &area, CPunto &p)
{
    area.Frattale->Itera(p);
    if (p.Iterazioni == p.MaxIterazioni)
        return area.Interno->Colore(p);
    return area.Esterno->Colore(p);
}

int32_t FiliDa(const CAreaDisegno &area)
{
    if (area.Fili > 0)
        return area.Fili;
    return int32_t(std::max(1u, std::thread::hardware_concurrency()));
}

// Adds a row's share to the progress; rows may end on several threads at once.
// Every row adds the same increment, so the sum does not depend on their order.
class CProgresso
{
public:
    explicit CProgresso(CAreaDisegno &area) : Area(area) {}
    void Aggiungi(double r)
    {
        std::lock_guard<std::mutex> lock(Mutex);
        Area.Completamento = r + Area.Completamento;
    }

private:
    CAreaDisegno &Area;
    std::mutex Mutex;
};

// Runs riga(k) for k = 0 .. righe - 1, sharing the rows among the drawing's
// threads as they become free. Every thread passes the area's gate: it parks
// there when asked, and all of them leave when the drawing is stopped.
// Returns false when the drawing was stopped.
template <class Riga>
bool PerOgniRiga(CAreaDisegno &area, int32_t righe, Riga &&riga)
{
    const int32_t fili = std::min(FiliDa(area), righe);
    if (fili <= 1) {
        for (int32_t k = 0; k < righe; ++k)
            if (!riga(k))
                return false;
        return true;
    }

    std::atomic<int32_t> prossima{0};
    std::atomic<bool> fermato{false};
    // The first error of any thread ends the others at their next row and is
    // raised on this thread once they are all joined.
    std::exception_ptr errore;
    std::mutex mutexErrore;
    const auto lavora = [&] {
        try {
            while (!fermato.load(std::memory_order_relaxed)) {
                const int32_t k = prossima.fetch_add(1, std::memory_order_relaxed);
                if (k >= righe)
                    return;
                if (!riga(k))
                    fermato.store(true, std::memory_order_relaxed);
            }
        } catch (...) {
            std::lock_guard<std::mutex> lock(mutexErrore);
            if (!errore)
                errore = std::current_exception();
            fermato.store(true, std::memory_order_relaxed);
        }
    };

    CCancello *const cancello = area.Cancello;
    std::vector<std::thread> aiutanti;
    aiutanti.reserve(size_t(fili - 1));
    for (int32_t t = 1; t < fili; ++t) {
        // Announced before it starts, so that a suspension waits for it too.
        if (cancello)
            cancello->Entra();
        try {
            aiutanti.emplace_back([&] {
                lavora();
                if (cancello)
                    cancello->Esci();
            });
        } catch (const std::system_error &) {
            if (cancello)
                cancello->Esci();
            break; // fewer threads draw the same picture
        }
    }
    lavora();
    // While this thread waits for the others it touches nothing, so it leaves
    // the gate; back in, it passes a checkpoint before doing anything else.
    if (cancello)
        cancello->Esci();
    for (std::thread &t : aiutanti)
        t.join();
    if (cancello)
        cancello->Entra();
    if (errore)
        std::rethrow_exception(errore);
    return area.Continua() && !fermato.load(std::memory_order_relaxed);
}

} // namespace

void MetodoPuntoPunto::Disegna(CAreaDisegno &area)
{
    const int32_t W = area.Larghezza;
    const int32_t H = area.Altezza;
    if (W < 1 || H < 1)
        return;
    const double r = static_cast<double>(100.0L / H);
    const long double dx = (area.Max.re - area.Min.re) / W;
    const long double dy = (area.Min.im - area.Max.im) / H;
    CProgresso progresso(area);
    // Each row starts afresh from X Min, so rows can be drawn in any order.
    PerOgniRiga(area, H, [&](int32_t i) {
        CPunto p;
        p.MaxIterazioni = area.MaxIterazioni;
        Complesso P{area.Min.re, area.Max.im + i * dy};
        for (int32_t j = 0; j < W; ++j) {
            if (!area.Continua())
                return false;
            p.c = P;
            area.ScriviPixel(ColoreDi(area, p), j, i);
            P.re = dx + P.re;
        }
        progresso.Aggiungi(r);
        return true;
    });
}

namespace {

// A block of row i reading at (colonna, riga) with colonna past the right
// edge: the read lands further on in the buffer. A pixel there that a later
// row of blocks sets in this same pass is seen as it was before the pass (0,
// since no earlier pass sets it), exactly as drawing the rows one after
// another sees it; every other pixel there is read as it is.
int32_t LeggiOltreIlBordo(const CAreaDisegno &area, int32_t colonna, int32_t riga, int32_t i, int32_t S, int32_t h)
{
    const int64_t W = area.Larghezza;
    const int64_t indice = int64_t(colonna) + int64_t(riga) * W;
    const int64_t r = indice / W;
    const int64_t c = indice % W;
    const bool nuovo = c % h == 0 && r % h == 0 && !(c % S == 0 && r % S == 0);
    if (nuovo && r >= int64_t(i) + S && r < area.Altezza)
        return 0;
    return area.LeggiPixel(colonna, riga);
}

} // namespace

void MetodoBlocco::Disegna(CAreaDisegno &area)
{
    const int32_t W = area.Larghezza;
    const int32_t H = area.Altezza;
    // Sizes near the 32-bit limit could not be allocated anyway; refusing them
    // keeps every coordinate below (the edges plus a block) within 32 bits.
    if (W < 1 || H < 1 || W > LatoMassimo || H > LatoMassimo || Livelli < 0 || Livelli > 16)
        return;
    const long double dx = (area.Max.re - area.Min.re) / W;
    const long double dy = (area.Min.im - area.Max.im) / H;
    CProgresso progresso(area);

    // Coarse pass.
    const int32_t S0 = int32_t(1) << Livelli;
    {
        // The divisor is the 32-bit product H x S0; a zero one adds no progress.
        const int32_t divisore = static_cast<int32_t>(int64_t(H) * S0);
        const double r = divisore != 0 ? 100.0 / divisore : 0.0;
        const long double u = S0 * dx;
        const int32_t righe = int32_t((int64_t(H) + S0 - 1) / S0);
        const bool finito = PerOgniRiga(area, righe, [&](int32_t k) {
            const int32_t i = k * S0;
            CPunto p;
            p.MaxIterazioni = area.MaxIterazioni;
            Complesso P{area.Min.re, area.Max.im + i * dy};
            for (int64_t j = 0; j < W; j += S0) {
                if (!area.Continua())
                    return false;
                p.c = P;
                area.ScriviPixel(ColoreDi(area, p), int32_t(j), i);
                P.re = u + P.re;
            }
            progresso.Aggiungi(r);
            return true;
        });
        if (!finito)
            return;
    }

    // Refinement passes. A block reads only pixels of the current grid, which
    // this pass does not change, apart from the reads past the right edge.
    for (int32_t k = 0; k < Livelli; ++k) {
        const int32_t S = int32_t(1) << (Livelli - k);
        const int32_t h = S / 2;
        const int32_t q = static_cast<int32_t>((int64_t(H) * h * h) / S);
        const double r = q != 0 ? static_cast<double>(75.0 / q) : 0.0;
        const long double u = S * dx;
        const long double hx = u * 0.5L;
        const long double hy = (S * dy) * 0.5L;
        const int32_t righe = int32_t((int64_t(H) + S - 1) / S);
        const bool finito = PerOgniRiga(area, righe, [&](int32_t kr) {
            const int32_t i = kr * S;
            CPunto p;
            p.MaxIterazioni = area.MaxIterazioni;
            Complesso P{area.Min.re, area.Max.im + i * dy};
            int32_t sinistra = -1;
            int32_t qui = -1;
            int32_t sotto;
            int32_t prossimo = area.LeggiPixel(0, i);
            int32_t prossimoSotto = area.LeggiPixel(0, i + S);
            for (int32_t j = 0; j < W; j += S) {
                sinistra = qui;
                qui = prossimo;
                sotto = prossimoSotto;
                if (j + S < W) {
                    prossimo = area.LeggiPixel(j + S, i);
                    prossimoSotto = area.LeggiPixel(j + S, i + S);
                } else {
                    prossimo = LeggiOltreIlBordo(area, j + S, i, i, S, h);
                    prossimoSotto = LeggiOltreIlBordo(area, j + S, i + S, i, S, h);
                }
                const int32_t sopra = i >= S ? area.LeggiPixel(j, i - S) : -1;
                if (qui == sotto && qui == prossimo && qui == prossimoSotto && sopra == qui && qui == sinistra) {
                    area.ScriviPixel(qui, j + h, i);
                    area.ScriviPixel(qui, j + h, i + h);
                    area.ScriviPixel(qui, j, i + h);
                } else {
                    if (!area.Continua())
                        return false;
                    p.c = P + Complesso{hx, 0.0L};
                    area.ScriviPixel(ColoreDi(area, p), j + h, i);
                    p.c = p.c + Complesso{0.0L, hy};
                    area.ScriviPixel(ColoreDi(area, p), j + h, i + h);
                    p.c = p.c + Complesso{-hx, 0.0L};
                    area.ScriviPixel(ColoreDi(area, p), j, i + h);
                }
                P.re = u + P.re;
            }
            progresso.Aggiungi(r);
            return true;
        });
        if (!finito)
            return;
    }
}
