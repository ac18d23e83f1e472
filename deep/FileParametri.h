#pragma once

#include "AreaDisegno.h"
#include "Frattali.h"
#include "Reale.h"

#include <iosfwd>
#include <string>

// The window block of a parameters file: Min, Max (each as a real and an
// imaginary line), width, height and limit, each on its own line. The
// corners keep every digit they were given (Reale.h).
struct CBloccoFinestra
{
    CComplessoAlto Min;
    CComplessoAlto Max;
    int32_t Larghezza = 0;
    int32_t Altezza = 0;
    int32_t MaxIterazioni = 0;
};

// Corners of 64 bits are written in the stream's own form when that text
// reads back to the same 80-bit value, otherwise with the fewest digits (up
// to 21) that do; deeper corners with the digits of their precision
// (Reale.h). Reading fails, changing nothing, where a corner cannot be read,
// or where a corner carries more than 21 digits and the window is empty or
// inverted at full precision.
std::ostream &operator<<(std::ostream &os, const CBloccoFinestra &b);
std::istream &operator>>(std::istream &is, CBloccoFinestra &b);

// The render area's window block (Min and Max, width, height, limit), through
// CBloccoFinestra: reading changes the area only when the whole block was
// read; the area gets the corners rounded to 80 bits.
std::ostream &operator<<(std::ostream &os, const CAreaDisegno &a);
std::istream &operator>>(std::istream &is, CAreaDisegno &a);

// Everything the parameters file beside a saved picture holds.
struct CParametri
{
    CBloccoFinestra Finestra{{-2.0L, -1.25L}, {0.5L, 1.25L}, 256, 256, 120};
    int8_t SceltaFrattale = 0;
    int8_t SceltaInterno = 1;
    int8_t SceltaEsterno = 0;
    int8_t SceltaMetodo = 1;
    Mandelbrot FrattaleMandelbrot;
    Julia FrattaleJulia;
    VolterraLotka FrattaleVolterraLotka;

    // The defaults of a new document.
    CParametri();
};

// The file's 16 lines, each ended by CR LF, in the classic "C" number form.
std::string TestoParametri(const CParametri &par);
void ScriviParametri(std::ostream &os, const CParametri &par);

// Reads a whole file: the version 0.9, then every value, as whitespace
// separated tokens in the classic "C" number form. The four choices are any
// integers, kept in 8 bits; a drawing resolves every value (Scelte.h,
// ScelteColori.h). Returns false (leaving par untouched) when the version is
// wrong or a value is missing or unreadable.
// troppeCifre, where given, tells whether the file was refused for a corner
// of more than MassimoCifre significant digits (a window deeper than the
// program draws).
bool LeggiParametri(std::istream &is, CParametri &par, bool *troppeCifre = nullptr);
