#include "Motore.h"

#include "Disegno.h"

namespace {

// Colourers whose colour is the pixel's iteration count.
class InternoConteggio final : public CColoratoreInterno
{
public:
    int32_t Colore(const CPunto &p) const override { return p.Iterazioni; }
};
class EsternoConteggio final : public CColoratoreEsterno
{
public:
    int32_t Colore(const CPunto &p) const override { return p.Iterazioni; }
};

} // namespace

CDisegnoMotore ConteggiDelMotore(const CParametri &par, int32_t fili)
{
    const int32_t W = par.Finestra.Larghezza;
    const int32_t H = par.Finestra.Altezza;
    CDisegno disegno;
    InternoConteggio interno;
    EsternoConteggio esterno;
    disegno.AreaDisegno.Fili = fili;
    CDisegnatore &metodo = disegno.Prepara(par, nullptr, W, H);
    disegno.AreaDisegno.Interno = &interno;
    disegno.AreaDisegno.Esterno = &esterno;
    metodo.Disegna(disegno.AreaDisegno);
    CDisegnoMotore d;
    d.OttantaBit = disegno.AreaDisegno.Calcolatore == nullptr;
    d.Conteggi.resize(size_t(W) * size_t(H));
    for (int32_t i = 0; i < H; ++i)
        for (int32_t j = 0; j < W; ++j)
            d.Conteggi[size_t(i) * size_t(W) + size_t(j)] = disegno.AreaDisegno.LeggiPixel(j, i);
    return d;
}
