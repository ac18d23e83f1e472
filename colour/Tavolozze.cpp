#include "Tavolozze.h"

#include "Errore.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <stdexcept>

namespace {

constexpr int32_t Rgb(int r, int g, int b)
{
    return r | (g << 8) | (b << 16);
}

int Canale(int32_t colore, int k)
{
    return (colore >> (8 * k)) & 0xFF;
}

// One channel of the closed gradient at t in [0, 1): a cubic Hermite piece
// between the stops around t, with the slopes that keep it monotone between
// each pair of stops (a stop between a rise and a fall, or next to a flat
// stretch, gets a flat slope).
double Valore(const std::vector<CTavolozza::CTappa> &tappe, int k, double t)
{
    const size_t n = tappe.size();
    const auto x = [&](ptrdiff_t i) {
        const ptrdiff_t giri = i >= 0 ? i / ptrdiff_t(n) : -((-i + ptrdiff_t(n) - 1) / ptrdiff_t(n));
        return tappe[size_t(i - giri * ptrdiff_t(n))].Posizione + double(giri);
    };
    const auto y = [&](ptrdiff_t i) {
        const ptrdiff_t r = ((i % ptrdiff_t(n)) + ptrdiff_t(n)) % ptrdiff_t(n);
        return double(Canale(tappe[size_t(r)].Colore, k));
    };
    const auto pendenza = [&](ptrdiff_t i) { return (y(i + 1) - y(i)) / (x(i + 1) - x(i)); };
    const auto tangente = [&](ptrdiff_t i) {
        const double prima = pendenza(i - 1);
        const double dopo = pendenza(i);
        if (prima * dopo <= 0.0)
            return 0.0;
        const double h0 = x(i) - x(i - 1);
        const double h1 = x(i + 1) - x(i);
        return 3.0 * (h0 + h1) / ((2.0 * h1 + h0) / prima + (h1 + 2.0 * h0) / dopo);
    };
    // The stop i at or before t (the last one, one cycle back, before the first).
    ptrdiff_t i = ptrdiff_t(n) - 1;
    while (i >= 0 && tappe[size_t(i)].Posizione > t)
        --i;
    const double x0 = x(i);
    const double h = x(i + 1) - x0;
    const double s = (t - x0) / h;
    const double s2 = s * s;
    const double s3 = s2 * s;
    return (2 * s3 - 3 * s2 + 1) * y(i) + (s3 - 2 * s2 + s) * h * tangente(i) + (-2 * s3 + 3 * s2) * y(i + 1)
        + (s3 - s2) * h * tangente(i + 1);
}

} // namespace

CTavolozza::CTavolozza(std::initializer_list<CTappa> tappe)
{
    const std::vector<CTappa> elenco(tappe);
    try {
        Colori.resize(Voci);
    } catch (const std::bad_alloc &) {
        throw CErrore(MessaggioTabella);
    } catch (const std::length_error &) {
        throw CErrore(MessaggioTabella);
    }
    for (int32_t v = 0; v < Voci; ++v) {
        const double t = double(v) / Voci;
        int32_t colore = 0;
        for (int k = 0; k < 3; ++k) {
            const long canale = std::lround(std::clamp(Valore(elenco, k, t), 0.0, 255.0));
            colore |= int32_t(canale) << (8 * k);
        }
        Colori[size_t(v)] = colore;
    }
}

// The palettes are chosen to be told apart at a glance and to keep the
// set's filaments readable: each runs from a dark colour, where the points
// escape slowly, to a light one and back, so that neighbouring counts
// differ in lightness as well as in hue. Black is left to the interior.
CTavolozze::CTavolozze()
{
    // "Oceano": deep blue, sky blue, white, gold, almost black.
    Elenco.push_back(CTavolozza{{0.0, Rgb(0, 7, 100)},
                                {0.16, Rgb(32, 107, 203)},
                                {0.42, Rgb(237, 255, 255)},
                                {0.6425, Rgb(255, 170, 0)},
                                {0.8575, Rgb(0, 2, 0)}});
    // "Fuoco": embers, red, orange, yellow, a flash of white.
    Elenco.push_back(CTavolozza{{0.0, Rgb(24, 0, 0)},
                                {0.25, Rgb(160, 16, 0)},
                                {0.5, Rgb(250, 120, 0)},
                                {0.7, Rgb(255, 220, 60)},
                                {0.82, Rgb(255, 255, 230)},
                                {0.92, Rgb(120, 30, 10)}});
    // "Aurora": night blue, teal, green, pale yellow, violet.
    Elenco.push_back(CTavolozza{{0.0, Rgb(8, 8, 40)},
                                {0.22, Rgb(0, 110, 140)},
                                {0.45, Rgb(60, 210, 130)},
                                {0.62, Rgb(230, 245, 190)},
                                {0.8, Rgb(150, 70, 190)}});
    // "Grafite": black to white and back, for print.
    Elenco.push_back(CTavolozza{{0.0, Rgb(16, 16, 16)}, {0.5, Rgb(245, 245, 245)}});
}
