#include "Ritaglio.h"

#include "Coloratore.h"
#include "Disegno.h"
#include "Errore.h"
#include "Frattali.h"
#include "ImmagineQt.h"
#include "Orbite.h"
#include "Perturbazione.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// Computes the rows of a part, each row on one thread.
class CRighe
{
public:
    // The picture's rows are taken here, on the calling thread, so that the
    // threads touch only their pixels.
    // profonda: the whole picture's deep calculator, its reference ready;
    // null for a picture in 80 bits.
    CRighe(const CAreaDisegno &area, const CCalcolatoreProfondo *profonda, const QRect &parte, QImage &figura)
        : Area(area), Parte(parte), Pixel(figura.bits()), Passo(figura.bytesPerLine()), Profonda(profonda),
          Dx((area.Max.re - area.Min.re) / area.Larghezza), Dy((area.Min.im - area.Max.im) / area.Altezza),
          FormulaJulia(area.Frattale->Tipo() == TipoFormula::Julia ? static_cast<const Julia *>(area.Frattale)
                                                                   : nullptr),
          Lotti(FormulaJulia || area.Frattale->Tipo() == TipoFormula::Mandelbrot)
    {
    }

    // Takes rows until none is left.
    void Lavora()
    {
        for (int32_t k; (k = Prossima.fetch_add(1, std::memory_order_relaxed)) < Parte.height();)
            Riga(Parte.y() + k, reinterpret_cast<QRgb *>(Pixel + k * Passo));
    }

private:
    int32_t Colore(const CPunto &p) const
    {
        return p.Iterazioni == p.MaxIterazioni ? Area.Interno->Colore(p) : Area.Esterno->Colore(p);
    }

    void Riga(int32_t i, QRgb *uscita) const
    {
        const int32_t x0 = Parte.x();
        const int32_t w = Parte.width();
        CPunto p;
        if (Profonda) {
            for (int32_t j = 0; j < w; ++j) {
                Profonda->IteraPixel(Area, x0 + j, i, p);
                uscita[j] = CImmagineQt::QRgbDaColore(Colore(p));
            }
            return;
        }
        // The point method's row: its imaginary part by one product, its
        // real parts by adding the step to X Min once per column.
        const long double im = Area.Max.im + i * Dy;
        long double re = Area.Min.re;
        for (int32_t j = 0; j < x0; ++j)
            re = Dx + re;
        // Mandelbrot's and Julia's orbits a batch at a time, as the drawing
        // runs them: the same count and final value as each point's own loop.
        COrbita orbite[Lotto];
        long double punti[Lotto];
        int32_t colonne[Lotto];
        int32_t quante = 0;
        const auto svuota = [&] {
            IteraLotto(orbite, quante, Area.MaxIterazioni);
            for (int32_t k = 0; k < quante; ++k) {
                p.c = {punti[k], im};
                p.z = {orbite[k].zr.Reale, orbite[k].zi.Reale};
                p.Iterazioni = orbite[k].n;
                p.MaxIterazioni = Area.MaxIterazioni;
                uscita[colonne[k]] = CImmagineQt::QRgbDaColore(Colore(p));
            }
            quante = 0;
        };
        for (int32_t j = 0; j < w; ++j) {
            const Complesso k = FormulaJulia ? FormulaJulia->Param : Complesso{re, im};
            if (Lotti && Area.MaxIterazioni > 0 && orbite[quante].Imposta(re, im, k.re, k.im)) {
                punti[quante] = re;
                colonne[quante++] = j;
                if (quante == Lotto)
                    svuota();
            } else {
                p.c = {re, im};
                p.MaxIterazioni = Area.MaxIterazioni;
                Area.Frattale->Itera(p);
                uscita[j] = CImmagineQt::QRgbDaColore(Colore(p));
            }
            re = Dx + re;
        }
        svuota();
    }

    static constexpr int32_t Lotto = 64;

    const CAreaDisegno &Area;
    const QRect Parte;
    uchar *const Pixel;
    const qsizetype Passo;
    const CCalcolatoreProfondo *const Profonda;
    const long double Dx;
    const long double Dy;
    const Julia *const FormulaJulia;
    const bool Lotti; // Mandelbrot or Julia
    std::atomic<int32_t> Prossima{0};
};

} // namespace

void DisegnaRitaglio(const CParametri &parametri, const QRect &parte, int32_t fili, QImage &figura)
{
    figura = QImage(parte.size(), QImage::Format_RGB32);
    if (figura.isNull())
        throw CErrore(MessaggioBuffer);
    // The drawing's wiring for the whole picture, without its buffer: a
    // buffer of one pixel, then the whole size, which decides whether the
    // drawing goes past 80 bits and where its reference point lies.
    CDisegno disegno;
    disegno.Prepara(parametri, nullptr, 1, 1);
    CAreaDisegno &area = disegno.AreaDisegno;
    const int32_t W = parametri.Finestra.Larghezza;
    const int32_t H = parametri.Finestra.Altezza;
    area.Larghezza = W;
    area.Altezza = H;
    const CCalcolatoreProfondo *profonda = nullptr;
    if (DisegnoProfondo(disegno.Parametri.Finestra, *area.Frattale, W, H)) {
        disegno.Profondo.Prepara(disegno.Parametri.Finestra, *area.Frattale, W, H);
        disegno.Profondo.Inizia(area);
        profonda = &disegno.Profondo;
    }

    CRighe righe(area, profonda, parte, figura);
    if (fili < 1)
        fili = int32_t(std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::thread> aiutanti;
    for (int32_t k = 1; k < std::min(fili, parte.height()); ++k) {
        try {
            aiutanti.emplace_back(&CRighe::Lavora, &righe);
        } catch (const std::system_error &) {
            break; // fewer threads draw the same picture
        }
    }
    righe.Lavora();
    for (std::thread &t : aiutanti)
        t.join();
}
