#include "Disegnatori.h"

#include "Coloratori.h"
#include "Frattali.h"

namespace {

// The colour of the pixel that p stands for, after iterating it.
inline int32_t ColoreDi(const CAreaDisegno &area, CPunto &p)
{
    area.Frattale->Itera(p);
    if (p.Iterazioni == p.MaxIterazioni)
        return area.Interno->Colore(p);
    return area.Esterno->Colore(p);
}

constexpr int32_t LatoMassimo = 0x7FFF0000;

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
    CPunto p;
    p.MaxIterazioni = area.MaxIterazioni;
    for (int32_t i = 0; i < H; ++i) {
        Complesso P{area.Min.re, area.Max.im + i * dy};
        for (int32_t j = 0; j < W; ++j) {
            if (!area.Continua())
                return;
            p.c = P;
            area.ScriviPixel(ColoreDi(area, p), j, i);
            P.re = dx + P.re;
        }
        area.Completamento = r + area.Completamento;
    }
}

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
    CPunto p;
    p.MaxIterazioni = area.MaxIterazioni;

    // Coarse pass.
    const int32_t S0 = int32_t(1) << Livelli;
    {
        // The divisor is the 32-bit product H x S0; a zero one adds no progress.
        const int32_t divisore = static_cast<int32_t>(int64_t(H) * S0);
        const double r = divisore != 0 ? 100.0 / divisore : 0.0;
        const long double u = S0 * dx;
        for (int64_t i = 0; i < H; i += S0) {
            Complesso P{area.Min.re, area.Max.im + i * dy};
            for (int64_t j = 0; j < W; j += S0) {
                if (!area.Continua())
                    return;
                p.c = P;
                area.ScriviPixel(ColoreDi(area, p), int32_t(j), int32_t(i));
                P.re = u + P.re;
            }
            area.Completamento = r + area.Completamento;
        }
    }

    // Refinement passes.
    for (int32_t k = 0; k < Livelli; ++k) {
        const int32_t S = int32_t(1) << (Livelli - k);
        const int32_t h = S / 2;
        const int32_t q = static_cast<int32_t>((int64_t(H) * h * h) / S);
        const double r = q != 0 ? static_cast<double>(75.0 / q) : 0.0;
        const long double u = S * dx;
        const long double hx = u * 0.5L;
        const long double hy = (S * dy) * 0.5L;
        for (int32_t i = 0; i < H; i += S) {
            const Complesso P0{area.Min.re, area.Max.im + i * dy};
            Complesso P = P0;
            int32_t sinistra = -1;
            int32_t qui = -1;
            int32_t sotto;
            int32_t prossimo = area.LeggiPixel(0, i);
            int32_t prossimoSotto = area.LeggiPixel(0, i + S);
            for (int32_t j = 0; j < W; j += S) {
                sinistra = qui;
                qui = prossimo;
                sotto = prossimoSotto;
                prossimo = area.LeggiPixel(j + S, i);
                prossimoSotto = area.LeggiPixel(j + S, i + S);
                const int32_t sopra = i >= S ? area.LeggiPixel(j, i - S) : -1;
                if (qui == sotto && qui == prossimo && qui == prossimoSotto && sopra == qui && qui == sinistra) {
                    area.ScriviPixel(qui, j + h, i);
                    area.ScriviPixel(qui, j + h, i + h);
                    area.ScriviPixel(qui, j, i + h);
                } else {
                    if (!area.Continua())
                        return;
                    p.c = P + Complesso{hx, 0.0L};
                    area.ScriviPixel(ColoreDi(area, p), j + h, i);
                    p.c = p.c + Complesso{0.0L, hy};
                    area.ScriviPixel(ColoreDi(area, p), j + h, i + h);
                    p.c = p.c + Complesso{-hx, 0.0L};
                    area.ScriviPixel(ColoreDi(area, p), j, i + h);
                }
                P.re = u + P.re;
            }
            area.Completamento = r + area.Completamento;
        }
    }
}
