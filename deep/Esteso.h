#pragma once

#include <mpfr.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>

// std::ilogb and std::ldexp of 80-bit values, inline: read from and written
// to the exponent field where the value is normal and stays normal (the same
// results: ldexp is exact there), the library's functions elsewhere.
#if LDBL_MANT_DIG == 64 && (defined(__x86_64__) || defined(__i386__))
inline int Ilogb80(long double x)
{
    uint16_t campo = 0;
    std::memcpy(&campo, reinterpret_cast<const unsigned char *>(&x) + 8, sizeof campo);
    const int e = campo & 0x7fff;
    return e != 0 && e != 0x7fff ? e - 16383 : std::ilogb(x);
}

inline long double Ldexp80(long double x, int n)
{
    uint16_t campo = 0;
    unsigned char *byte = reinterpret_cast<unsigned char *>(&x) + 8;
    std::memcpy(&campo, byte, sizeof campo);
    const int e = campo & 0x7fff;
    const int64_t nuovo = int64_t(e) + n;
    if (e == 0 || e == 0x7fff || nuovo <= 0 || nuovo >= 0x7fff)
        return std::ldexp(x, n);
    campo = uint16_t((campo & 0x8000) | uint16_t(nuovo));
    std::memcpy(byte, &campo, sizeof campo);
    return x;
}
#else
inline int Ilogb80(long double x)
{
    return std::ilogb(x);
}

inline long double Ldexp80(long double x, int n)
{
    return std::ldexp(x, n);
}
#endif

// A real beyond the range of an 80-bit value: M 2^E, M an 80-bit value.
// Inside the range where 80-bit arithmetic is safe, E is 0 and M the value
// itself, so that the operations below give, there, exactly the 80-bit
// results; outside it M is normalised to [1, 2) in magnitude and E carries
// the rest. The exponent is wide enough for any orbit a drawing iterates.
struct CEsteso
{
    long double M = 0.0L;
    int64_t E = 0;

    // The widest magnitudes held plainly: products and sums of two such
    // values stay normal 80-bit values, with room to spare.
    static constexpr int64_t Margine = 8000;

    CEsteso() = default;
    CEsteso(long double m) : M(m), E(0) { Normalizza(); }
    CEsteso(long double m, int64_t e) : M(m), E(e) { Normalizza(); }

    bool Zero() const { return M == 0.0L; }
    // The binary exponent of the value (that of 1 is 0); for 0 a very small one.
    int64_t Esponente() const
    {
        if (M == 0.0L)
            return INT64_MIN / 4;
        return int64_t(Ilogb80(M)) + E;
    }
    // The value as an 80-bit value: 0, or infinite, where it lies beyond.
    long double Valore() const { return E == 0 ? M : Ldexp80(M, int(std::max<int64_t>(std::min<int64_t>(E, 40000), -40000))); }

    void Normalizza()
    {
        if (M == 0.0L || !std::isfinite(M)) {
            E = M == 0.0L ? 0 : E;
            return;
        }
        const int e = Ilogb80(M);
        const int64_t totale = int64_t(e) + E;
        if (totale > -Margine && totale < Margine) {
            if (E != 0) {
                M = Ldexp80(M, int(E));
                E = 0;
            }
        } else {
            M = Ldexp80(M, -e);
            E = totale;
        }
    }
};

inline CEsteso operator-(const CEsteso &a)
{
    CEsteso r = a;
    r.M = -r.M;
    return r;
}

inline CEsteso operator*(const CEsteso &a, const CEsteso &b)
{
    if (a.E == 0 && b.E == 0) {
        const long double p = a.M * b.M;
        // Both inside the plain range: so is the product, but near its edges.
        return CEsteso(p);
    }
    return CEsteso(a.M * b.M, a.E + b.E);
}

inline CEsteso operator+(const CEsteso &a, const CEsteso &b)
{
    if (a.E == 0 && b.E == 0)
        return CEsteso(a.M + b.M);
    if (a.M == 0.0L)
        return b;
    if (b.M == 0.0L)
        return a;
    // Aligned to the larger one; a part more than 128 binary places below
    // it adds nothing an 80-bit significand holds.
    const int64_t ea = a.Esponente();
    const int64_t eb = b.Esponente();
    const int64_t alto = std::max(ea, eb);
    const auto scala = [&](const CEsteso &x) {
        const int64_t d = x.Esponente() - alto;
        if (d < -128)
            return 0.0L;
        return Ldexp80(Ldexp80(x.M, -Ilogb80(x.M)), int(d));
    };
    return CEsteso(scala(a) + scala(b), alto);
}

inline CEsteso operator-(const CEsteso &a, const CEsteso &b)
{
    return a + (-b);
}

inline bool Minore(const CEsteso &a, const CEsteso &b)
{
    return (a - b).M < 0.0L;
}

inline CEsteso Assoluto(const CEsteso &a)
{
    CEsteso r = a;
    r.M = std::fabs(r.M);
    return r;
}

// The value of an MPFR number, to 64 bits, at any exponent.
inline CEsteso EstesoDa(mpfr_srcptr v)
{
    if (mpfr_zero_p(v) || !mpfr_number_p(v))
        return CEsteso();
    long e = 0;
    const long double m = mpfr_get_ld_2exp(&e, v, MPFR_RNDN); // in [0.5, 1)
    return CEsteso(m, int64_t(e));
}

// A complex number of such reals, each part with an exponent of its own.
struct CComplessoEsteso
{
    CEsteso re;
    CEsteso im;
};

inline CComplessoEsteso operator+(const CComplessoEsteso &a, const CComplessoEsteso &b)
{
    return {a.re + b.re, a.im + b.im};
}

inline CComplessoEsteso operator*(const CComplessoEsteso &a, const CComplessoEsteso &b)
{
    return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

// |re| + |im|, the size the drawing measures differences by.
inline CEsteso Misura(const CComplessoEsteso &a)
{
    return Assoluto(a.re) + Assoluto(a.im);
}
