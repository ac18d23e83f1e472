#include "Orbite.h"

#if defined(QUILLMERE_X87)

extern "C" int32_t quillmere_orbite_x87(COrbita *a, COrbita *b, int32_t passi, int32_t *finite);

int32_t IteraCoppia(COrbita &a, COrbita &b, int32_t passi, int32_t &finite)
{
    return quillmere_orbite_x87(&a, &b, passi, &finite);
}

#else

namespace {

// One step of one orbit; returns false when it was made from m >= 4 (or NaN).
inline bool Passo(COrbita &o)
{
    const long double x2 = o.zr * o.zr;
    const long double y2 = o.zi * o.zi;
    const long double nr = (x2 - y2) + o.kr;
    const long double ni = (o.zr * 2.0L) * o.zi + o.ki;
    const long double m = x2 + y2;
    o.zr = nr;
    o.zi = ni;
    return m < 4.0L;
}

} // namespace

int32_t IteraCoppia(COrbita &a, COrbita &b, int32_t passi, int32_t &finite)
{
    int32_t k = 0;
    for (;;) {
        const bool va = Passo(a);
        const bool vb = Passo(b);
        ++k;
        if (!va || !vb) {
            finite = (va ? 0 : 1) | (vb ? 0 : 2);
            return k;
        }
        if (k >= passi) {
            finite = 0;
            return k;
        }
    }
}

#endif
