#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A precomputed linear gradient from a start colour towards an end colour.
// Colours are 0x00BBGGRR.
class CTabellaColori
{
public:
    CTabellaColori();

    // Rebuilds the entries from the start colour, end colour and count.
    // Throws CErrore when the entries cannot be allocated; the old ones are gone by then.
    void Ricalcola();

    int32_t Colore(int32_t i) const { return Colori[static_cast<size_t>(i)]; }
    int32_t Conteggio() const { return static_cast<int32_t>(Colori.size()); }

    int32_t NumeroColori = 32;
    int32_t ColoreIniziale = 0xFF;
    int32_t ColoreFinale = 0xFF00;

private:
    std::vector<int32_t> Colori;
};
