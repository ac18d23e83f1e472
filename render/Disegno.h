#pragma once

#include "AreaDisegno.h"
#include "Coloratori.h"
#include "Disegnatori.h"
#include "FileParametri.h"
#include "Perturbazione.h"

#include <cstdint>

// Everything a picture is drawn with besides its settings: both drawing
// methods, the colourers with the tables and palettes a new document builds,
// the render area and the calculator of the drawings past 80 bits. Prepara wires
// them for one drawing of a set of settings.
class CDisegno
{
public:
    // Builds the colour tables and palettes. Throws CErrore when the buffer or a table
    // cannot be allocated.
    CDisegno();

    CDisegno(const CDisegno &) = delete;
    CDisegno &operator=(const CDisegno &) = delete;

    // Wires the render area for a drawing of these settings on a picture of
    // larghezza x altezza pixels (null: the buffer alone) and prepares a
    // zeroed buffer: the choices become the formula, colourers and method,
    // the window and the limit come from the settings. The area refers to
    // the chosen formula; a drawing past 80 bits (DisegnoProfondo) to the
    // full-precision window of the settings kept here, which must stay
    // unchanged while the drawing runs. Returns the drawing method. Throws CErrore when the buffer cannot be allocated (the area
    // then has no buffer), or when the reference orbits of a drawing past 80
    // bits cannot be held (the buffer is then untouched).
    CDisegnatore &Prepara(const CParametri &parametri, CImmagine *immagine, int32_t larghezza, int32_t altezza);

    // The settings of the last drawing prepared.
    CParametri Parametri;
    MetodoPuntoPunto DisegnatorePuntoPunto;
    MetodoBlocco DisegnatoreBlocco;
    CAreaDisegno AreaDisegno;
    CInternoSolido ColoratoreSolido;
    CInternoLog ColoratoreLog;
    CEsternoFasce ColoratoreFasce;
    CEsternoSfumato ColoratoreSfumato;
    CTavolozze Tavolozze;
    CCalcolatoreProfondo Profondo;
};
