#include "PuntiPixel.h"

CPuntoEsatto PuntoDelPixel(const CBloccoFinestra &finestra, int32_t j, int32_t i)
{
    // The window as the program takes a deep one: its corners the numbers
    // their texts stand for (trailing zeros of a text add nothing).
    CBloccoFinestra f = finestra;
    for (CReale *v : {&f.Min.re, &f.Min.im, &f.Max.re, &f.Max.im})
        *v = RealeDelTesto(*v);
    // XMin W + j (XMax - XMin) and YMax H + i (YMin - YMax), exactly.
    CPuntoEsatto p;
    p.Numeratore.re = SommaEsatta(ProdottoEsatto(f.Min.re, f.Larghezza),
                                  ProdottoEsatto(DifferenzaEsatta(f.Max.re, f.Min.re), j));
    p.Numeratore.im = SommaEsatta(ProdottoEsatto(f.Max.im, f.Altezza),
                                  ProdottoEsatto(DifferenzaEsatta(f.Min.im, f.Max.im), i));
    p.DivisoreRe = f.Larghezza;
    p.DivisoreIm = f.Altezza;
    return p;
}

Complesso PuntoOttantaBit(const CBloccoFinestra &f, int8_t metodo, int32_t j, int32_t i)
{
    const Complesso Min = f.Min.Esteso();
    const Complesso Max = f.Max.Esteso();
    const long double dx = (Max.re - Min.re) / f.Larghezza;
    const long double dy = (Min.im - Max.im) / f.Altezza;
    // The real part after n steps of u from X Min, added one at a time.
    const auto lungoLaRiga = [&](long double u, int32_t n) {
        long double re = Min.re;
        for (int32_t k = 0; k < n; ++k)
            re = u + re;
        return re;
    };
    if (metodo == 0)
        return {lungoLaRiga(dx, j), Max.im + i * dy};
    // Block method, three levels: the coarse grid of step 8, then blocks of 8, 4 and 2.
    constexpr int32_t S0 = 8;
    if (j % S0 == 0 && i % S0 == 0)
        return {lungoLaRiga(S0 * dx, j / S0), Max.im + i * dy};
    const int32_t h = (j % 4 == 0 && i % 4 == 0) ? 4 : (j % 2 == 0 && i % 2 == 0) ? 2 : 1;
    const int32_t S = 2 * h;
    const int32_t j0 = j - j % S;
    const int32_t i0 = i - i % S;
    const long double u = S * dx;
    const long double hx = u * 0.5L;
    const long double hy = (S * dy) * 0.5L;
    const Complesso P{lungoLaRiga(u, j0 / S), Max.im + i0 * dy};
    // The three new points of a block, each moved on from the one before.
    const Complesso c1{P.re + hx, P.im + 0.0L};
    const Complesso c2{c1.re + 0.0L, c1.im + hy};
    const Complesso c3{c2.re + -hx, c2.im + 0.0L};
    if (j == j0 + h && i == i0)
        return c1;
    if (j == j0 + h)
        return c2;
    return c3;
}
