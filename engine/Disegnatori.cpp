#include "Disegnatori.h"

#include "Coloratore.h"
#include "Frattali.h"
#include "Orbite.h"
#include "Perturbazione.h"
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

// The colour of the pixel that an iterated point stands for.
inline int32_t ColoreDi(const CAreaDisegno &area, const CPunto &p)
{
    if (p.Iterazioni == p.MaxIterazioni)
        return area.Interno->Colore(p);
    return area.Esterno->Colore(p);
}

// The imaginary part that a row of points shares, split into doubles once
// for all of them.
struct CImmaginaria
{
    explicit CImmaginaria(long double im) : Valore(im), Divisa(DividiInDouble(im, Parti)) {}

    long double Valore;
    double Parti[2];
    bool Divisa;
};

// Computes the points a drawing method hands it and stores each one's colour
// at its pixel. For the formulas z <- z^2 + k (Mandelbrot, Julia) it gathers
// the points in batches whose orbits run two or three at a time; the others, and a
// point that no pair of doubles holds, go one by one through the formula's
// own loop. A colour is stored when the batch is computed: Svuota computes it,
// and must be called whenever Pieno says so and once the last point is in.
// A point whose mirror image the drawing has computed already (Specchio.h)
// takes its count and final value from there, and its colour is stored at once.
// Every point gets exactly the count and the final value that the formula's
// Itera gives. Long orbits pass the area's checkpoint as they go, so that a
// drawing can be parked or stopped in the middle of a pixel.
class CCalcolo
{
public:
    CCalcolo(CAreaDisegno &area, CSpecchio *specchio)
        : Area(area), Max(area.MaxIterazioni), Sosta{&Continua, &area}, Specchio(specchio)
    {
        if ((FormulaMandelbrot = dynamic_cast<const Mandelbrot *>(area.Frattale)))
            Lotti = true;
        else if ((FormulaJulia = dynamic_cast<const Julia *>(area.Frattale))) {
            Costante = true;
            Lotti = DividiInDouble(FormulaJulia->Param.re, CostanteRe) && DividiInDouble(FormulaJulia->Param.im, CostanteIm);
        } else
            FormulaVolterra = dynamic_cast<const VolterraLotka *>(area.Frattale);
        Lotti = Lotti && Max > 0;
        // Points that go through the formula one by one are computed as
        // soon as they are in.
        CapienzaLenti = Lotti ? MassimoLenti : 1;
    }

    bool Pieno() const { return QuanteOrbite == MassimoLotto || QuantiLenti == CapienzaLenti; }

    // Hands in the point (re, im), whose colour goes to pixel (x, y). Makes no
    // call, so that a loop handing in points keeps its values in registers.
    void Metti(long double re, const CImmaginaria &im, int32_t x, int32_t y)
    {
        if (Specchio && Riflesso(re, im.Valore, x, y))
            return;
        double r[2];
        if (Lotti && im.Divisa && DividiInDouble(re, r)) {
            // Mandelbrot adds the point itself, Julia its constant.
            Orbite[QuanteOrbite].Imposta(r, im.Parti, Costante ? CostanteRe : r, Costante ? CostanteIm : im.Parti);
            Pixel[QuanteOrbite] = {{r[0], r[1]}, {im.Parti[0], im.Parti[1]}, x, y};
            ++QuanteOrbite;
        } else {
            Lenti[QuantiLenti] = {{re, im.Valore}, x, y};
            ++QuantiLenti;
        }
    }

    // Computes every point handed in and stores its colour; false when the
    // drawing was stopped meanwhile (nothing more is stored then).
    bool Svuota()
    {
        if (QuanteOrbite > 0) {
            if (!IteraLotto(Orbite, QuanteOrbite, Max, Sosta))
                return false;
            for (int32_t k = 0; k < QuanteOrbite; ++k) {
                const CPixel &px = Pixel[k];
                CPunto p;
                p.c = {SommaDouble(px.Re), SommaDouble(px.Im)};
                // Copied as bytes: an 80-bit load and store cost far more.
                std::memcpy(&p.z.re, &Orbite[k].zr.Reale, sizeof(long double));
                std::memcpy(&p.z.im, &Orbite[k].zi.Reale, sizeof(long double));
                p.Iterazioni = Orbite[k].n;
                p.MaxIterazioni = Max;
                Risparmiati += uint64_t(Orbite[k].Risparmiati);
                if (Specchio)
                    Specchio->Ricorda(p, px.x, px.y);
                Area.ScriviPixel(ColoreDi(Area, p), px.x, px.y);
            }
            QuanteOrbite = 0;
        }
        for (int32_t k = 0; k < QuantiLenti; ++k) {
            CPunto p;
            p.c = Lenti[k].c;
            p.MaxIterazioni = Max;
            if (!Itera(p))
                return false;
            if (Specchio)
                Specchio->Ricorda(p, Lenti[k].x, Lenti[k].y);
            Area.ScriviPixel(ColoreDi(Area, p), Lenti[k].x, Lenti[k].y);
        }
        QuantiLenti = 0;
        return true;
    }

    // The steps that the cycle check spared in the points computed so far.
    uint64_t PassiRisparmiati() const { return Risparmiati; }
    // The points taken from their mirror images so far.
    uint64_t PuntiRiflessi() const { return Riflessi; }

private:
    static constexpr int32_t MassimoLotto = 256;
    static constexpr int32_t MassimoLenti = 8;

    static bool Continua(void *area) { return static_cast<const CAreaDisegno *>(area)->Continua(); }

    // Stores the colour of the point (re, im) at (x, y) from its mirror
    // image; false when that is not at hand.
    bool Riflesso(long double re, long double im, int32_t x, int32_t y)
    {
        CPunto p;
        if (!Specchio->Cerca(re, im, x, y, p))
            return false;
        p.MaxIterazioni = Max;
        Area.ScriviPixel(ColoreDi(Area, p), x, y);
        ++Riflessi;
        return true;
    }

    // One point on its own: the formulas of the program with the checkpoint,
    // any other through its Itera.
    bool Itera(CPunto &p)
    {
        CEsitoOrbita esito;
        if (FormulaMandelbrot)
            FormulaMandelbrot->Itera(p, Sosta, esito);
        else if (FormulaJulia)
            FormulaJulia->Itera(p, Sosta, esito);
        else if (FormulaVolterra)
            FormulaVolterra->Itera(p, Sosta, esito);
        else
            Area.Frattale->Itera(p);
        Risparmiati += uint64_t(esito.Risparmiati);
        return !esito.Fermata;
    }

    // The pixel of an orbit, and its point as pairs of doubles.
    struct CPixel
    {
        double Re[2];
        double Im[2];
        int32_t x;
        int32_t y;
    };
    struct CLento
    {
        Complesso c;
        int32_t x;
        int32_t y;
    };

    CAreaDisegno &Area;
    const int32_t Max;
    const CSosta Sosta;
    CSpecchio *const Specchio; // null when the drawing has no mirror images
    const Mandelbrot *FormulaMandelbrot = nullptr;
    const Julia *FormulaJulia = nullptr;
    const VolterraLotka *FormulaVolterra = nullptr;
    bool Lotti = false;
    bool Costante = false; // Julia's, split into doubles; Mandelbrot adds the point itself
    double CostanteRe[2] = {0.0, 0.0};
    double CostanteIm[2] = {0.0, 0.0};
    int32_t CapienzaLenti = 1;
    int32_t QuanteOrbite = 0;
    int32_t QuantiLenti = 0;
    uint64_t Risparmiati = 0;
    uint64_t Riflessi = 0;
    COrbita Orbite[MassimoLotto];
    CPixel Pixel[MassimoLotto];
    CLento Lenti[MassimoLenti];
};

// The point calculator of one drawing: the 80-bit one, or the perturbation
// one when the drawing goes past 80 bits (decided once, before its first pixel).
class CCalcoloScelto
{
public:
    CCalcoloScelto(CAreaDisegno &area, CSpecchio &specchio)
        : Profondo(area.Riferimento.Pronto), Ottanta(area, specchio.Attivo() ? &specchio : nullptr), Perturbato(area)
    {
    }

    bool Pieno() const { return Profondo ? Perturbato.Pieno() : Ottanta.Pieno(); }
    void Metti(long double re, const CImmaginaria &im, int32_t x, int32_t y)
    {
        if (Profondo)
            Perturbato.Metti(x, y);
        else
            Ottanta.Metti(re, im, x, y);
    }
    // False when the drawing was stopped in the middle of an orbit.
    bool Svuota()
    {
        if (!Profondo)
            return Ottanta.Svuota();
        Perturbato.Svuota();
        return true;
    }
    uint64_t PassiRisparmiati() const { return Ottanta.PassiRisparmiati(); }
    uint64_t PuntiRiflessi() const { return Ottanta.PuntiRiflessi(); }

private:
    const bool Profondo;
    CCalcolo Ottanta;
    CCalcoloProfondo Perturbato;
};

// Hands in the points re, passo + re, passo + (passo + re), ... of a row, from
// column j by colonne at a time, up to column fine (excluded), computing as
// the batches fill. Every pixel passes the area's checkpoint: the inner loop
// makes no call, and leaves for the real checkpoint as soon as the gate has
// something to say. Returns false when the drawing was stopped.
bool RigaDiPunti(CAreaDisegno &area, CCalcoloScelto &calcolo, long double re, long double passo, const CImmaginaria &im,
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
    void Aggiungi(double r, const CCalcoloScelto &calcolo)
    {
        std::lock_guard<std::mutex> lock(Mutex);
        Area.Completamento = r + Area.Completamento;
        Area.PassiRisparmiati += calcolo.PassiRisparmiati();
        Area.PuntiRiflessi += calcolo.PuntiRiflessi();
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
    if (W < 1 || H < 1 || !CalcolaRiferimento(area))
        return;
    const double r = static_cast<double>(100.0L / H);
    const long double dx = (area.Max.re - area.Min.re) / W;
    const long double dy = (area.Min.im - area.Max.im) / H;
    CProgresso progresso(area);
    CSquadra squadra(area);
    CSpecchio specchio(area, FiliDa(area));
    specchio.NuovaPassata();
    // Each row starts afresh from X Min, so rows can be drawn in any order.
    PerOgniRiga(squadra, H, [&](int32_t k) {
        const int32_t i = specchio.Ordine(k, H, 1);
        CCalcoloScelto calcolo(area, specchio);
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
    if (W < 1 || H < 1 || W > LatoMassimo || H > LatoMassimo || Livelli < 0 || Livelli > 16
        || !CalcolaRiferimento(area))
        return;
    const long double dx = (area.Max.re - area.Min.re) / W;
    const long double dy = (area.Min.im - area.Max.im) / H;
    CProgresso progresso(area);
    CSquadra squadra(area);
    CSpecchio specchio(area, FiliDa(area));

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
            CCalcoloScelto calcolo(area, specchio);
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
            CCalcoloScelto calcolo(area, specchio);
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
