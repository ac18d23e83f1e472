#pragma once

#include "Cancello.h"
#include "Complesso.h"
#include "Memoria.h"

#include <cstdint>
#include <memory>

class CCalcolatore;
class CColoratoreEsterno;
class CColoratoreInterno;
class CFrattale;

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
    // How the drawing computes its points (not owned); null: in 80 bits
    // (CCalcolatore80).
    CCalcolatore *Calcolatore = nullptr;

private:
    void Alloca(uint64_t celle);

    CMemoriaAzzerata<int32_t> Buffer;
    uint64_t Celle = 0;
};
