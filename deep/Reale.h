#pragma once

#include "Complesso.h"

#include <mpfr.h>

#include <cstdint>
#include <iosfwd>
#include <string>
#include <utility>

// A real number in GNU MPFR with a precision of its own, in bits. Copies
// carry the value and the precision. A value of 64 bits is an 80-bit value
// exactly, as every value of the program was before deep windows.
class CReale
{
public:
    CReale() : CReale(0.0L) {}
    // Exactly v, at 64 bits.
    CReale(long double v);
    CReale(const CReale &altro);
    CReale(CReale &&altro) noexcept;
    CReale &operator=(const CReale &altro);
    CReale &operator=(CReale &&altro) noexcept;
    ~CReale();

    // Zero, at that precision.
    static CReale Zero(mpfr_prec_t bit);

    mpfr_prec_t Precisione() const { return mpfr_get_prec(V); }
    // The 80-bit value nearest to this one.
    long double Esteso() const { return mpfr_get_ld(V, MPFR_RNDN); }

    mpfr_ptr Mp() { return V; }
    mpfr_srcptr Mp() const { return V; }

private:
    mpfr_t V;
};

// Values compare as numbers, whatever their precisions.
bool operator==(const CReale &a, const CReale &b);
inline bool operator!=(const CReale &a, const CReale &b)
{
    return !(a == b);
}

// A point of the plane with parts of any precision.
struct CComplessoAlto
{
    CComplessoAlto() = default;
    CComplessoAlto(CReale r, CReale i) : re(std::move(r)), im(std::move(i)) {}
    // An 80-bit point, exactly.
    CComplessoAlto(const Complesso &c) : re(c.re), im(c.im) {}

    // Both parts rounded to the nearest 80-bit values.
    Complesso Esteso() const { return {re.Esteso(), im.Esteso()}; }

    CReale re;
    CReale im;
};

bool operator==(const CComplessoAlto &a, const CComplessoAlto &b);
inline bool operator!=(const CComplessoAlto &a, const CComplessoAlto &b)
{
    return !(a == b);
}

// Exact results, each at the precision it needs (a zero at 64 bits).
CReale SommaEsatta(const CReale &a, const CReale &b);
CReale DifferenzaEsatta(const CReale &a, const CReale &b);
CReale ProdottoEsatto(const CReale &a, int64_t n);

// ---- Numbers as text -------------------------------------------------------
//
// The precision of a number read from text follows from its significant
// digits, counted from the first nonzero digit of the mantissa to its last
// digit (the exponent is not counted):
//  - at most 21 digits: the 80-bit value nearest to the text, at 64 bits,
//    exactly as the program has always read numbers;
//  - n > 21 digits: 64 k bits, k the smallest integer of at least 2 whose
//    64 k bits are written with n or more digits (CifrePrecisione), the
//    value rounded to nearest;
//  - more than MassimoCifre digits: refused.
// Writing is the other way round, so that every value reads back exactly,
// with its precision: a value of 64 bits as the parameters file has always
// written it (ScriviRealeEsatto), one of 64 k bits with CifrePrecisione(64 k)
// significant digits, trailing zeros included.

inline constexpr int CifreEsteso = 21;
inline constexpr int MassimoCifre = 20000;

// The significant digits that a precision of 64 k bits (k >= 2) is written
// with: 1 + ceil(64 k log10 2).
int CifrePrecisione(mpfr_prec_t bit);

// The magnitude of a value as ±0.d1d2...dn x 10^Esponente; no digits for zero.
struct CCifre
{
    bool Negativo = false;
    std::string Cifre;
    long Esponente = 0;
};

// The digits a value is written with (see above); for 64 bits without
// trailing zeros.
CCifre CifreDi(const CReale &v);
// The value of ±0.d1d2...dn x 10^Esponente at the precision its digits imply
// (leading zeros are not significant). False, leaving v alone, when a
// character is not a digit, there are too many digits, or the value lies
// beyond the 80-bit range.
bool RealeDaCifre(const CCifre &c, CReale &v);

// The text a value is written with in the classic "C" form.
std::string TestoReale(const CReale &v);
// The number that v's text stood for, read again as the shortest text that
// reads back to v: the same value for every value read from the same
// number, whatever trailing zeros (and so extra precision) its text
// carried; a value the program wrote comes back as it is. A value of 64
// bits is an 80-bit value exactly and stays as it is.
CReale RealeDelTesto(const CReale &v);
// Reads a whole C-locale text (sign, digits with at most one '.', exponent
// with 'e' or 'E'), nothing before or after it. False, leaving v alone, as
// for RealeDaCifre or when the text is not a number.
bool LeggiReale(const std::string &testo, CReale &v);

// Writes v in the general form with the stream's precision, or with more
// significant digits (up to 21) when that is needed to read back exactly.
void ScriviRealeEsatto(std::ostream &os, long double v);

// Stream forms, for the parameters file. Reading takes, after any white
// space, exactly the characters the stream's own extraction of a long double
// takes; a failure sets the stream's failbit and leaves v alone.
// troppeCifre, where given, tells whether a failure was the text's digits
// (more than MassimoCifre).
std::istream &LeggiReale(std::istream &is, CReale &v, bool *troppeCifre = nullptr);
void ScriviReale(std::ostream &os, const CReale &v);
