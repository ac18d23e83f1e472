#pragma once

#include <cstdint>
#include <iosfwd>
#include <limits>

static_assert(std::numeric_limits<long double>::digits == 64,
              "plane arithmetic needs the 80-bit extended type (64-bit significand)");

// A point of the complex plane in 80-bit extended reals.
struct Complesso
{
    long double re = 0.0L;
    long double im = 0.0L;
};

inline Complesso operator+(const Complesso &a, const Complesso &b)
{
    return {a.re + b.re, a.im + b.im};
}

inline bool operator==(const Complesso &a, const Complesso &b)
{
    return a.re == b.re && a.im == b.im;
}

// The record one call of Itera works on.
struct CPunto
{
    Complesso c;
    Complesso z;
    int32_t Iterazioni = 0;
    int32_t MaxIterazioni = 0;
};

// Real part, line break, imaginary part, line break, in the stream's own number form.
std::ostream &operator<<(std::ostream &os, const Complesso &c);
std::istream &operator>>(std::istream &is, Complesso &c);
