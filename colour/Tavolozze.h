#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

// A palette: a closed gradient through a few colours, round which the
// exterior of a picture cycles. Held as a table of Voci colours (0x00BBGGRR)
// from position 0 to just before 1, where the gradient has come back to its
// start, so that the cycle has no seam.
class CTavolozza
{
public:
    static constexpr int32_t Voci = 1024;

    // A colour at a position of the cycle, in [0, 1), in increasing order.
    struct CTappa
    {
        double Posizione;
        int32_t Colore;
    };

    // Through the stops, each channel by a monotone cubic: the gradient runs
    // smoothly through each colour, never beyond two neighbouring ones (no
    // channel overshoots, no hue that the stops do not hold). Throws CErrore
    // when the table cannot be allocated.
    CTavolozza(std::initializer_list<CTappa> tappe);

    int32_t Colore(int32_t i) const { return Colori[static_cast<size_t>(i)]; }

private:
    std::vector<int32_t> Colori;
};

// The program's palettes, in the order the exterior colouring numbers them
// (the first is 1; 0 is the bands). A document builds them once.
class CTavolozze
{
public:
    static constexpr int Numero = 4;

    CTavolozze();

    // Palette n, 1 <= n <= Numero.
    const CTavolozza &Tavolozza(int n) const { return Elenco[static_cast<size_t>(n - 1)]; }

private:
    std::vector<CTavolozza> Elenco;
};
