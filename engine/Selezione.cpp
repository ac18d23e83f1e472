#include "Selezione.h"

#include <algorithm>
#include <cstdlib>

void CSelezione::Ridimensiona(int32_t x, int32_t y, int32_t W, int32_t H)
{
    const int64_t larghezza = 2 * std::llabs(int64_t(X) - x);
    const int64_t altezza = 2 * std::llabs(int64_t(Y) - y);
    int64_t l = larghezza;
    int64_t a = altezza;
    if (W > 0 && H > 0) {
        const int64_t t = (larghezza * H) / W;
        if (altezza > t)
            l = (altezza * W) / H;
        else
            a = t;
    }
    Larghezza = int32_t(l < 10 ? 10 : (l > INT32_MAX ? INT32_MAX : l));
    Altezza = int32_t(a < 10 ? 10 : (a > INT32_MAX ? INT32_MAX : a));
}

void FinestraDaSelezione(const CSelezione &sel, const Complesso &Min, const Complesso &Max, int32_t W, int32_t H,
                         Complesso &nuovoMin, Complesso &nuovoMax)
{
    const int32_t hw = sel.Larghezza / 2;
    const int32_t hh = sel.Altezza / 2;
    if (W < 1 || H < 1 || hw < 1 || hh < 1) {
        nuovoMin = Min;
        nuovoMax = Max;
        return;
    }
    const long double x1 = Min.re;
    const long double y1 = Min.im;
    const long double x2 = Max.re;
    const long double y2 = Max.im;
    const long double dx = (x2 - x1) / W;
    const long double dy = (y2 - y1) / H;
    const long double cx = sel.X * dx + x1;
    const long double cy = y2 - sel.Y * dy;
    const long double kx = static_cast<long double>(W) / hw;
    const long double ky = static_cast<long double>(H) / hh;
    nuovoMax.re = (W * dx) / kx + cx;
    nuovoMax.im = (H * dy) / ky + cy;
    nuovoMin.re = cx - (W * dx) / kx;
    nuovoMin.im = cy - (H * dy) / ky;
}
