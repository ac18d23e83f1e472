#pragma once

#include <mpfr.h>

#include <cmath>
#include <cstdint>

// An upper bound of a non-negative real of any magnitude, a mantissa in
// [0.5, 1) (or 0) times 2^exponent, so that it neither overflows nor
// underflows where a double would. Every operation rounds up: what is
// computed from upper bounds is one too. The error bounds of the direct
// iteration are made of these.
class CMaggiorante
{
public:
    CMaggiorante() = default;

    // At least |v|.
    static CMaggiorante Di(double v) { return Normale(std::fabs(v), 0); }
    // At least |v|, from its leading 53 bits (rounded up).
    static CMaggiorante Di(mpfr_srcptr v)
    {
        if (!mpfr_regular_p(v))
            return {};
        return Normale(double((Testa(v) >> 11) + 1) * 0x1p-53, mpfr_get_exp(v));
    }
    // At most |v|: a lower bound, for the comparisons that need one.
    static CMaggiorante Sotto(mpfr_srcptr v)
    {
        if (!mpfr_regular_p(v))
            return {};
        return Normale(double(Testa(v) >> 11) * 0x1p-53, mpfr_get_exp(v));
    }
    // 2^e exactly.
    static CMaggiorante Potenza2(long e)
    {
        CMaggiorante r;
        r.Mantissa = 0.5;
        r.Esponente = e + 1;
        return r;
    }

    bool Zero() const { return Mantissa == 0.0; }
    // log2 of the value, roughly (for estimates, not bounds); a large negative number for 0.
    double Log2() const { return Zero() ? -1e18 : double(Esponente) + std::log2(Mantissa); }
    // The value is ParteMantissa() x 2^ParteEsponente() exactly.
    double ParteMantissa() const { return Mantissa; }
    long ParteEsponente() const { return Esponente; }

    friend CMaggiorante operator*(const CMaggiorante &a, const CMaggiorante &b)
    {
        if (a.Zero() || b.Zero())
            return {};
        return Normale((a.Mantissa * b.Mantissa) * Su, a.Esponente + b.Esponente);
    }
    friend CMaggiorante operator+(const CMaggiorante &a, const CMaggiorante &b)
    {
        if (a.Zero())
            return b;
        if (b.Zero())
            return a;
        const CMaggiorante &g = a.Esponente >= b.Esponente ? a : b;
        const CMaggiorante &p = a.Esponente >= b.Esponente ? b : a;
        const long d = g.Esponente - p.Esponente;
        // Below 2^-60 of the larger one, the smaller one fits in the rounding up.
        const double m = d > 60 ? g.Mantissa * Su : (g.Mantissa + p.Mantissa * Scala(d)) * Su;
        return Normale(m, g.Esponente);
    }
    CMaggiorante &operator+=(const CMaggiorante &b) { return *this = *this + b; }
    friend CMaggiorante Radice(const CMaggiorante &a)
    {
        if (a.Zero())
            return {};
        const bool dispari = (a.Esponente & 1) != 0;
        return Normale(std::sqrt(dispari ? 2.0 * a.Mantissa : a.Mantissa) * Su,
                       (dispari ? a.Esponente - 1 : a.Esponente) / 2);
    }
    // Exact comparison of the two values.
    friend bool operator<(const CMaggiorante &a, const CMaggiorante &b)
    {
        if (a.Zero() || b.Zero())
            return !b.Zero();
        return a.Esponente != b.Esponente ? a.Esponente < b.Esponente : a.Mantissa < b.Mantissa;
    }
    friend bool operator<=(const CMaggiorante &a, const CMaggiorante &b) { return !(b < a); }

private:
    // 1 + 2^-50: a product or sum of doubles rounded to nearest is within
    // 2^-53 of its exact value, so multiplied by this (and rounded) it is above.
    static constexpr double Su = 1.0 + 0x1p-50;

    // The leading limb of a regular value's significand (its top bit set).
    static uint64_t Testa(mpfr_srcptr v)
    {
        const mp_limb_t *limb = static_cast<const mp_limb_t *>(mpfr_custom_get_significand(v));
        return uint64_t(limb[(mpfr_get_prec(v) - 1) / GMP_NUMB_BITS]) << (64 - GMP_NUMB_BITS);
    }
    // 2^-d, 0 <= d <= 60, exactly.
    static double Scala(long d) { return double(uint64_t(1) << (60 - d)) * 0x1p-60; }

    static CMaggiorante Normale(double m, long e)
    {
        CMaggiorante r;
        if (m == 0.0)
            return r;
        // Products of mantissas fall in [0.25, 1), sums in [0.5, 2): no frexp needed there.
        if (m >= 0.5 && m < 1.0) {
            r.Mantissa = m;
            r.Esponente = e;
        } else if (m >= 1.0 && m < 2.0) {
            r.Mantissa = m * 0.5;
            r.Esponente = e + 1;
        } else if (m >= 0.25 && m < 0.5) {
            r.Mantissa = m * 2.0;
            r.Esponente = e - 1;
        } else {
            int k = 0;
            r.Mantissa = std::frexp(m, &k); // exact
            r.Esponente = e + k;
        }
        return r;
    }

    double Mantissa = 0.0;
    long Esponente = 0;
};
