#pragma once

#include "FileParametri.h"

#include <cstdint>
#include <string>
#include <vector>

// The cases of the check: pictures around special points, with their
// settings, made at random from a seed or listed by hand.

// Random choices from a seed: splitmix64, the same sequence on every machine.
class CCasuale
{
public:
    CCasuale(uint64_t seme, uint64_t flusso);
    uint64_t Bit64();
    double Uniforme(double a, double b); // in [a, b)
    double LogUniforme(double a, double b);
    int32_t Intero(int32_t a, int32_t b); // in [a, b]
    bool Moneta(double p);

private:
    uint64_t Stato;
};

enum class CTipo
{
    Misiurewicz,
    Minibrot,
    Julia,
    AsseReale,
};
inline constexpr int QuantiTipi = 4;
const char *NomeTipo(CTipo t);

// One picture to check and what it was made from.
struct CCaso
{
    int32_t Numero = 0;
    CTipo Tipo = CTipo::Misiurewicz;
    // The special point, readable: "M(12,3)", "nucleus p 873", ...
    std::string Descrizione;
    // Formula, Julia's constant, method, window, size and limit.
    CParametri Parametri;
    // The window is about 10^-Esponente wide.
    double Esponente = 0.0;
    // Seconds it took to find the point.
    double SecondiGenerazione = 0.0;
};

// The window 10^-esponente wide, of W x H square pixels, whose centre is
// centro moved by fx of its width and fy of its height; the corners to the
// bits their magnitude over the pixel spacing needs and 64 more.
CBloccoFinestra FinestraAttorno(const CComplessoAlto &centro, double esponente, int32_t W, int32_t H, int32_t limite,
                                double fx = 0.0, double fy = 0.0);

// What the random cases are drawn from. Depths (the window's width
// 10^-E): E uniform within a band, the bands 20..300, 300..4900 and
// 4900..19000 taken with the weights below (those past EsponenteMassimo
// cut off, and those short of EsponenteMinimo); kinds with theirs; sizes 15..129 pixels a side (a third of
// them square); either method; a third centred on their point exactly,
// the others moved by a random fraction of the window; limits from the
// counts the point's neighbourhood needs, times 0.6 to 3, up to 100 000.
struct COpzioniCasi
{
    double EsponenteMinimo = 20.0;
    double EsponenteMassimo = 19000.0;
    double PesiBande[3] = {0.50, 0.42, 0.08};
    double PesiTipi[QuantiTipi] = {0.30, 0.25, 0.25, 0.20};
    int32_t LimiteMassimo = 100000;
};

// The default weights written out, with depths from 10^-da to 10^-finoA:
// the options of cases that must not move when the defaults do.
COpzioniCasi OpzioniScritte(double da, double finoA);

// Case numero of the run of this seed: it depends on the two alone.
CCaso GeneraCaso(uint64_t seme, int32_t numero, const COpzioniCasi &opzioni);

// The pictures the program is known to draw wrong today.
std::vector<CCaso> CasiNoti();

// The fixed scenes that the bench checked before: 64 x 64 windows 10^-30,
// 10^-300 and 10^-3000 wide centred on 0 + 1i and on the Misiurewicz point
// of preperiod 31 and period 1 nearest -0.75 + 0.1i (down to 10^-fondo).
std::vector<CCaso> CasiFissi(int fondo);
