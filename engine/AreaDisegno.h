#pragma once

#include "Cancello.h"
#include "Complesso.h"
#include "Memoria.h"
#include "Reale.h"
#include "Riferimento.h"

#include <cstdint>
#include <iosfwd>
#include <memory>

class CColoratoreEsterno;
class CColoratoreInterno;
class CFrattale;
struct CBloccoFinestra;

// The picture a drawing paints on, besides the area's own buffer.
// Colours are 0x00BBGGRR; coordinates are always inside the picture.
class CImmagine
{
public:
    virtual void ImpostaPixel(int32_t x, int32_t y, int32_t colore) = 0;

protected:
    CImmagine() = default;
    CImmagine(const CImmagine &) = default;
    CImmagine &operator=(const CImmagine &) = default;
    ~CImmagine() = default;
};

// Everything a drawing method needs to compute one image: the pixel buffer,
// the formula, the colourers, the window of the plane, the size, the limit,
// the picture to draw on and the progress.
class CAreaDisegno
{
public:
    CAreaDisegno();

    // A zeroed buffer for a drawing of that size, with room to spare beyond
    // the image, and the progress at its start value. Throws CErrore when
    // the buffer cannot be allocated; the area then has no buffer.
    // Before the buffer, when the drawing that the area's settings describe
    // goes past 80 bits (DisegnoProfondo), the room of its reference orbits
    // is reserved: when that cannot be held it throws CErrore and changes
    // nothing, the old buffer included.
    void PreparaBuffer(int32_t larghezza, int32_t altezza);

    // Stores a colour in the buffer and on the picture. Pixels outside the
    // image are ignored for both, so the buffer always agrees with the picture.
    void ScriviPixel(int32_t colore, int32_t colonna, int32_t riga)
    {
        if (colonna < 0 || riga < 0 || colonna >= Larghezza || riga >= Altezza)
            return;
        const int64_t indice = int64_t(colonna) + int64_t(riga) * Larghezza;
        if (uint64_t(indice) < Celle)
            Buffer[indice] = colore;
        if (Immagine)
            Immagine->ImpostaPixel(colonna, riga, colore);
    }

    // Reads the buffer at column + row x width: a column past the width lands
    // on a following row, a row past the height in the spare room. Anything
    // outside the buffer reads as 0.
    int32_t LeggiPixel(int32_t colonna, int32_t riga) const
    {
        const int64_t indice = int64_t(colonna) + int64_t(riga) * Larghezza;
        return uint64_t(indice) < Celle ? Buffer[indice] : 0;
    }

    // A drawing thread's checkpoint: false means the drawing must end now.
    bool Continua() const { return !Cancello || Cancello->Punto(); }
    // True when the next checkpoint would let the thread go on at once.
    bool SenzaRichieste() const { return !Cancello || Cancello->SenzaRichieste(); }

    // Number of values the buffer holds (0 after a failed allocation).
    uint64_t CelleBuffer() const { return Celle; }

    CColoratoreInterno *Interno = nullptr;
    CColoratoreEsterno *Esterno = nullptr;
    const CFrattale *Frattale = nullptr;
    Complesso Min;
    Complesso Max;
    // The window at full precision, when the drawing has one (not owned;
    // Min and Max are then its corners rounded to 80 bits). Null: the area
    // draws from Min and Max alone, always in 80 bits.
    const CBloccoFinestra *Esatta = nullptr;
    int32_t Larghezza = 0;
    int32_t Altezza = 0;
    int32_t MaxIterazioni = 0;
    CImmagine *Immagine = nullptr;
    double Completamento = 0.0;
    // Steps of the drawing that the cycle check spared (orbits found periodic).
    uint64_t PassiRisparmiati = 0;
    // Points of the drawing taken from their mirror images (Specchio.h).
    uint64_t PuntiRiflessi = 0;
    CCancello *Cancello = nullptr;
    // Threads a drawing may use; 0 means one per processor core.
    int32_t Fili = 0;
    // The reference orbits of a drawing past 80 bits.
    CRiferimento Riferimento;

private:
    void Alloca(uint64_t celle);

    CMemoriaAzzerata<int32_t> Buffer;
    uint64_t Celle = 0;
};

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

// The area's window block: the corners of its full-precision window when it
// has one, else Min and Max.
CBloccoFinestra BloccoFinestra(const CAreaDisegno &a);
// The area's operators go through the block: reading changes the area only
// when the whole block was read; the area gets the corners rounded to 80 bits.
std::ostream &operator<<(std::ostream &os, const CAreaDisegno &a);
std::istream &operator>>(std::istream &is, CAreaDisegno &a);

// Writes v in the general form with the stream's precision, or with more
// significant digits (up to 21) when that is needed to read back exactly.
void ScriviRealeEsatto(std::ostream &os, long double v);
