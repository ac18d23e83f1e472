#include "Orbite.h"

#if defined(QUILLMERE_X87)

static_assert(sizeof(COrbita) == 80, "the x87 routine reads orbits of 80 bytes");

extern "C" void quillmere_lotto_x87(COrbita *orbite, int32_t quante, int32_t max);

void IteraLotto(COrbita *orbite, int32_t quante, int32_t max)
{
    if (max <= 0) {
        for (int32_t k = 0; k < quante; ++k)
            orbite[k].n = 0;
        return;
    }
    quillmere_lotto_x87(orbite, quante, max);
}

#else

void IteraLotto(COrbita *orbite, int32_t quante, int32_t max)
{
    for (int32_t k = 0; k < quante; ++k) {
        COrbita &o = orbite[k];
        long double zr = o.zr;
        long double zi = o.zi;
        long double m = 0.0L;
        int32_t n = 0;
        while (n < max && m < 4.0L) {
            const long double x2 = zr * zr;
            const long double y2 = zi * zi;
            const long double nr = (x2 - y2) + o.kr;
            const long double ni = (zr * 2.0L) * zi + o.ki;
            m = x2 + y2;
            zr = nr;
            zi = ni;
            ++n;
        }
        o.zr = zr;
        o.zi = zi;
        o.n = n;
    }
}

#endif
