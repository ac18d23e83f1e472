#include "Disegnatori.h"

#include "Calcolatore.h"
#include "Specchio.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <type_traits>
#include <vector>

namespace {

constexpr int32_t LatoMassimo = 0x7FFF0000;

// The points of one row of a drawing on their way to the calculator: the
// batch, with what its computation tells added up over the row.
class CRigaCalcolo
{
public:
    CRigaCalcolo(CAreaDisegno &area, const CCalcolatore &calcolatore, CSpecchio &specchio)
        : Area(area), Calcolatore(calcolatore), Specchio(specchio.Attivo() ? &specchio : nullptr)
    {
    }

    bool Pieno() const { return Lotto.Pieno(); }
    void Metti(long double re, const CImmaginaria &im, int32_t x, int32_t y) { Lotto.Metti(re, im, x, y); }
    // Computes the points handed in; false when the drawing was stopped.
    bool Svuota() { return Lotto.Quanti == 0 || Calcolatore.Calcola(Area, Lotto, Specchio); }
    const CLotto &Esito() const { return Lotto; }

private:
    CAreaDisegno &Area;
    const CCalcolatore &Calcolatore;
    CSpecchio *const Specchio;
    CLotto Lotto;
};

// Hands in the points re, passo + re, passo + (passo + re), ... of a row, from
// column j by colonne at a time, up to column fine (excluded), computing as
// the batches fill. Every pixel passes the area's checkpoint: the inner loop
// makes no call, and leaves for the real checkpoint as soon as the gate has
// something to say. Returns false when the drawing was stopped.
bool RigaDiPunti(CAreaDisegno &area, CRigaCalcolo &calcolo, long double re, long double passo, const CImmaginaria &im,
                 int64_t j, int64_t fine, int32_t colonne, int32_t riga)
{
    while (j < fine) {
        if (!area.Continua())
            return false;
        do {
            calcolo.Metti(re, im, int32_t(j), riga);
            re = passo + re;
            j += colonne;
        } while (j < fine && !calcolo.Pieno() && area.SenzaRichieste());
        if (calcolo.Pieno() && !calcolo.Svuota())
            return false;
    }
    return calcolo.Svuota();
}

int32_t FiliDa(const CAreaDisegno &area)
{
    if (area.Fili > 0)
        return area.Fili;
    return int32_t(std::max(1u, std::thread::hardware_concurrency()));
}

// Adds a row's share to the progress, the steps its cycle checks spared and
// the points it took from their mirror images; rows may end on several
// threads at once. Every row adds the same increment, so the sum does not
// depend on their order.
class CProgresso
{
public:
    explicit CProgresso(CAreaDisegno &area) : Area(area) {}
    void Aggiungi(double r, const CRigaCalcolo &calcolo)
    {
        std::lock_guard<std::mutex> lock(Mutex);
        Area.Completamento = r + Area.Completamento;
        Area.PassiRisparmiati += calcolo.Esito().PassiRisparmiati;
        Area.PuntiRiflessi += calcolo.Esito().PuntiRiflessi;
    }

private:
    CAreaDisegno &Area;
    std::mutex Mutex;
};

// The threads of one drawing: the one that called Disegna and its helpers,
// started at the first pass that needs them and kept until the drawing ends,
// so that a pass does not start and join threads of its own. Between passes
// the helpers wait outside the area's gate.
class CSquadra
{
public:
    explicit CSquadra(CAreaDisegno &area) : Area(area), Fili(FiliDa(area)) {}
    ~CSquadra()
    {
        {
            std::lock_guard<std::mutex> lock(Mutex);
            Chiudi = true;
        }
        Lavoro.notify_all();
        for (std::thread &t : Aiutanti)
            t.join();
    }
    CSquadra(const CSquadra &) = delete;
    CSquadra &operator=(const CSquadra &) = delete;

    // Runs riga(contesto, k) for k = 0 .. righe - 1, sharing the rows among
    // the threads as they become free. A thread takes a run of neighbouring
    // rows at a time, a part of what is left that shrinks towards one row:
    // neighbouring rows of blocks read and write the same cache lines, which
    // would otherwise pass from core to core, while the last runs, one row
    // each, keep the threads finishing together. Every thread passes the
    // area's gate: it parks there when asked, and all of them leave when the
    // drawing is stopped. Returns false when the drawing was stopped.
    bool Passata(int32_t righe, bool (*riga)(void *, int32_t), void *contesto)
    {
        const int32_t fili = std::min(Fili, righe);
        if (fili <= 1) {
            for (int32_t k = 0; k < righe; ++k)
                if (!riga(contesto, k))
                    return false;
            return true;
        }
        while (int32_t(Aiutanti.size()) < fili - 1) {
            try {
                Aiutanti.emplace_back(&CSquadra::Aiuta, this, int32_t(Aiutanti.size()));
            } catch (const std::system_error &) {
                break; // fewer threads draw the same picture
            }
        }
        const int32_t partecipanti = std::min<int32_t>(fili, int32_t(Aiutanti.size()) + 1);
        CCancello *const cancello = Area.Cancello;
        // The helpers are announced before they start, so that a suspension
        // waits for them too.
        if (cancello)
            for (int32_t t = 1; t < partecipanti; ++t)
                cancello->Entra();
        {
            std::lock_guard<std::mutex> lock(Mutex);
            Righe = righe;
            Riga = riga;
            Contesto = contesto;
            Partecipanti = partecipanti;
            Prossima.store(0, std::memory_order_relaxed);
            Fermato.store(false, std::memory_order_relaxed);
            Errore = nullptr;
            InCorso = partecipanti - 1;
            ++Generazione;
        }
        Lavoro.notify_all();
        Lavora();
        // While this thread waits for the others it touches nothing, so it leaves
        // the gate; back in, it passes a checkpoint before doing anything else.
        if (cancello)
            cancello->Esci();
        std::exception_ptr errore;
        {
            std::unique_lock<std::mutex> lock(Mutex);
            Fatto.wait(lock, [this] { return InCorso == 0; });
            errore = Errore;
        }
        if (cancello)
            cancello->Entra();
        if (errore)
            std::rethrow_exception(errore);
        return Area.Continua() && !Fermato.load(std::memory_order_relaxed);
    }

private:
    // A helper: takes part in every pass that needs it, until the drawing ends.
    void Aiuta(int32_t indice)
    {
        uint64_t vista = 0;
        for (;;) {
            {
                std::unique_lock<std::mutex> lock(Mutex);
                Lavoro.wait(lock, [&] { return Chiudi || Generazione != vista; });
                if (Chiudi)
                    return;
                vista = Generazione;
                if (indice + 1 >= Partecipanti)
                    continue; // not needed in this pass
            }
            Lavora();
            if (Area.Cancello)
                Area.Cancello->Esci();
            std::lock_guard<std::mutex> lock(Mutex);
            if (--InCorso == 0)
                Fatto.notify_all();
        }
    }

    // This thread's share of the pass. The first error of any thread ends the
    // others at their next row and is raised on the calling thread once they
    // are all done.
    void Lavora()
    {
        try {
            int32_t k = Prossima.load(std::memory_order_relaxed);
            while (!Fermato.load(std::memory_order_relaxed)) {
                int32_t fine;
                do {
                    if (k >= Righe)
                        return;
                    fine = k + std::max<int32_t>(1, (Righe - k) / (4 * Partecipanti));
                } while (!Prossima.compare_exchange_weak(k, fine, std::memory_order_relaxed));
                for (; k < fine && !Fermato.load(std::memory_order_relaxed); ++k)
                    if (!Riga(Contesto, k))
                        Fermato.store(true, std::memory_order_relaxed);
                k = Prossima.load(std::memory_order_relaxed);
            }
        } catch (...) {
            std::lock_guard<std::mutex> lock(Mutex);
            if (!Errore)
                Errore = std::current_exception();
            Fermato.store(true, std::memory_order_relaxed);
        }
    }

    CAreaDisegno &Area;
    const int32_t Fili;
    std::vector<std::thread> Aiutanti;
    std::mutex Mutex;
    std::condition_variable Lavoro; // a new pass, or the end
    std::condition_variable Fatto;  // the helpers are done with the pass
    bool Chiudi = false;
    uint64_t Generazione = 0; // passes handed out so far
    // The current pass; set under the mutex before the helpers wake.
    int32_t Righe = 0;
    bool (*Riga)(void *, int32_t) = nullptr;
    void *Contesto = nullptr;
    int32_t Partecipanti = 1;
    int32_t InCorso = 0; // helpers still at work on it
    std::atomic<int32_t> Prossima{0};
    std::atomic<bool> Fermato{false};
    std::exception_ptr Errore;
};

// Runs riga(k) for k = 0 .. righe - 1 on the drawing's threads (see
// CSquadra::Passata). Returns false when the drawing was stopped.
template <class Riga>
bool PerOgniRiga(CSquadra &squadra, int32_t righe, Riga &&riga)
{
    using Tipo = std::remove_reference_t<Riga>;
    return squadra.Passata(
        righe, [](void *r, int32_t k) { return bool((*static_cast<Tipo *>(r))(k)); }, &riga);
}

} // namespace

void MetodoPuntoPunto::Disegna(CAreaDisegno &area)
{
    const int32_t W = area.Larghezza;
    const int32_t H = area.Altezza;
    CCalcolatore80 ottanta;
    CCalcolatore &calcolatore = area.Calcolatore ? *area.Calcolatore : ottanta;
    if (W < 1 || H < 1 || !calcolatore.Inizia(area))
        return;
    const double r = static_cast<double>(100.0L / H);
    const long double dx = (area.Max.re - area.Min.re) / W;
    const long double dy = (area.Min.im - area.Max.im) / H;
    CProgresso progresso(area);
    CSquadra squadra(area);
    CSpecchio specchio(area, FiliDa(area), calcolatore.AmmetteSpecchio());
    specchio.NuovaPassata();
    // Each row starts afresh from X Min, so rows can be drawn in any order.
    PerOgniRiga(squadra, H, [&](int32_t k) {
        const int32_t i = specchio.Ordine(k, H, 1);
        CRigaCalcolo calcolo(area, calcolatore, specchio);
        if (!RigaDiPunti(area, calcolo, area.Min.re, dx, CImmaginaria(area.Max.im + i * dy), 0, W, 1, i))
            return false;
        specchio.RigaFinita(i);
        progresso.Aggiungi(r, calcolo);
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
    CCalcolatore80 ottanta;
    CCalcolatore &calcolatore = area.Calcolatore ? *area.Calcolatore : ottanta;
    if (W < 1 || H < 1 || W > LatoMassimo || H > LatoMassimo || Livelli < 0 || Livelli > 16
        || !calcolatore.Inizia(area))
        return;
    const long double dx = (area.Max.re - area.Min.re) / W;
    const long double dy = (area.Min.im - area.Max.im) / H;
    CProgresso progresso(area);
    CSquadra squadra(area);
    CSpecchio specchio(area, FiliDa(area), calcolatore.AmmetteSpecchio());

    // Coarse pass.
    const int32_t S0 = int32_t(1) << Livelli;
    {
        // The divisor is the 32-bit product H x S0; a zero one adds no progress.
        const int32_t divisore = static_cast<int32_t>(int64_t(H) * S0);
        const double r = divisore != 0 ? 100.0 / divisore : 0.0;
        const long double u = S0 * dx;
        const int32_t righe = int32_t((int64_t(H) + S0 - 1) / S0);
        specchio.NuovaPassata();
        const bool finito = PerOgniRiga(squadra, righe, [&](int32_t k) {
            const int32_t i = specchio.Ordine(k, righe, S0) * S0;
            CRigaCalcolo calcolo(area, calcolatore, specchio);
            if (!RigaDiPunti(area, calcolo, area.Min.re, u, CImmaginaria(area.Max.im + i * dy), 0, W, S0, i))
                return false;
            specchio.RigaFinita(i);
            progresso.Aggiungi(r, calcolo);
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
        specchio.NuovaPassata();
        const bool finito = PerOgniRiga(squadra, righe, [&](int32_t kr) {
            const int32_t i = specchio.Ordine(kr, righe, S) * S;
            CRigaCalcolo calcolo(area, calcolatore, specchio);
            Complesso P{area.Min.re, area.Max.im + i * dy};
            // The three new points of a block: c1 = P + (hx, 0), c2 = c1 + (0, hy),
            // c3 = c2 + (-hx, 0); their imaginary parts are the same for the row.
            const CImmaginaria im1(P.im + 0.0L);
            const CImmaginaria im2(im1.Valore + hy);
            const CImmaginaria im3(im2.Valore + 0.0L);
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
                    // Past the edge the reads may land on pixels of this row's
                    // blocks: they must all be stored first.
                    if (!calcolo.Svuota())
                        return false;
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
                    // Each point moves on from the previous one.
                    const long double re1 = P.re + hx;
                    const long double re2 = re1 + 0.0L;
                    const long double re3 = re2 + -hx;
                    calcolo.Metti(re1, im1, j + h, i);
                    if (calcolo.Pieno() && !calcolo.Svuota())
                        return false;
                    calcolo.Metti(re2, im2, j + h, i + h);
                    if (calcolo.Pieno() && !calcolo.Svuota())
                        return false;
                    calcolo.Metti(re3, im3, j, i + h);
                    if (calcolo.Pieno() && !calcolo.Svuota())
                        return false;
                }
                P.re = u + P.re;
            }
            if (!calcolo.Svuota())
                return false;
            specchio.RigaFinita(i);
            specchio.RigaFinita(i + h);
            progresso.Aggiungi(r, calcolo);
            return true;
        });
        if (!finito)
            return;
    }
}
