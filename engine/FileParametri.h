#pragma once

#include "AreaDisegno.h"
#include "Frattali.h"

#include <iosfwd>
#include <string>

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
bool LeggiParametri(std::istream &is, CParametri &par);
