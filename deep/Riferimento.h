#pragma once

#include "Complesso.h"
#include "Esteso.h"
#include "Reale.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

// One step of a reference orbit as the loop reads it: twice the orbit's
// value, each part as a pair of doubles whose sum is the value rounded to 80
// bits (two doubles load much faster than one 80-bit value). A step whose
// value no pair of doubles holds (|2Z| below 2^-1000, near a minibrot's
// nucleus) holds zeros here and its value among the special steps.
struct CPassoRiferimento
{
    double DueZr[2];
    double DueZi[2];
};

// What a step needs besides, for the pixels that look at it (its size is 0,
// so every pixel does): flags of Genere.
enum : uint8_t
{
    // 2Z is not in the pair of doubles: Z is among the special steps.
    PassoPiccolo = 1,
    // |Z|^2 is so near 4 that an 80-bit full value cannot tell the escape:
    // |Z|^2 - 4 exactly is among the special steps.
    PassoAlBordo = 2,
};

// A step of a reference orbit that a pixel cannot take from its pair of
// doubles alone.
struct CPassoSpeciale
{
    int64_t Indice = 0;
    CComplessoEsteso Z; // the orbit's value, to 64 bits at any exponent
    CEsteso Bordo;      // |Z|^2 - 4, where PassoAlBordo
};

// Steps of a reference orbit taken at once ("bilinear approximation"):
// while a difference dz, measured by |dr| + |di|, is below Raggio at the
// first of them, they take it to A dz + B dc (dc the pixel's difference,
// which Mandelbrot adds at every step) within a relative 2^-40: the squares
// of the differences that this leaves out are that small beside the rest,
// and none of the steps can escape or need a rebase.
struct CSalto
{
    long double Ar, Ai;
    long double Br, Bi;
    long double Raggio;
};

// The same leap for differences below the 80-bit range (scaled by a power
// of 2, see Perturbazione.cpp): A, B and the radius at any exponent, each
// as an 80-bit significand and an exponent of its own.
struct CSaltoEsteso
{
    long double Ar, Ai;
    long double Br, Bi;
    long double Raggio;
    int64_t EA, EB, ER;
};

// The leaps of one orbit by levels: level l takes 2^l steps, the k-th from
// step Base + k 2^l (Livelli[l][k], k below Quanti[l]), levels from
// PrimoLivello up to Massimo (none when it is below).
template <class Salto>
struct CTabellaSalti
{
    static constexpr int PrimoLivello = 3;
    const Salto *Livelli[64] = {};
    int64_t Quanti[64] = {};
    int Massimo = 0;
    int64_t Base = 0;
};

// A reference orbit as the loop reads it: steps 0 .. Ultimo and, for each
// step, the size of a difference (|dr| + |di|) below which the pixel can
// neither escape nor need a rebase there (0 where it must look: at step 0, at the
// last step, and wherever the orbit nears 0 or the escape radius); and the
// same for this step and the next one together.
struct COrbitaRiferimento
{
    const CPassoRiferimento *Passi = nullptr;
    const float *Soglie = nullptr;
    const float *Soglie2 = nullptr;
    const uint8_t *Generi = nullptr;
    int64_t Ultimo = 0;
    // Whether the orbit ended at Ultimo by escaping (else at the limit).
    bool Fuggita = false;
    // Whether it went on far beyond its pixels' deviations (see CalcolaOrbita),
    // and the bits its own count lacks then (those of its error bound above
    // 2^-24, and the precision it reached).
    bool Indugia = false;
    int64_t BitMancanti = 0;
    int64_t BitRaggiunti = 0;
    // From step Ciclo on, the orbit repeats itself every Periodo steps, bit
    // for bit (0: it was not seen to); the steps stored past Ciclo + Periodo
    // are copies.
    int64_t Ciclo = 0;
    int64_t Periodo = 0;
    // The multiple of the period, of at least 64 steps, at whose multiples
    // past Ciclo a pixel's cycle check looks.
    int64_t PeriodoFase = 0;
    const CPassoSpeciale *Speciali = nullptr;
    int64_t QuantiSpeciali = 0;
    CTabellaSalti<CSalto> Salti;
    CTabellaSalti<CSaltoEsteso> SaltiEstesi;

    // The special step i (Generi[i] not 0).
    const CPassoSpeciale &Speciale(int64_t i) const;
    // The step that i repeats, for a periodic orbit: i itself before the cycle.
    int64_t Canonico(int64_t i) const
    {
        return Periodo > 0 && i >= Ciclo + Periodo ? Ciclo + (i - Ciclo) % Periodo : i;
    }
};

// The reference orbits of a drawing past 80 bits, and what its pixels need
// besides. The room is reserved before the drawing (so that a drawing whose
// orbits cannot be held is refused before anything changes); the drawing
// computes the orbits into it.
class CRiferimento
{
public:
    // Room for orbite orbits of passi steps each, with their leaps (and
    // leaps for differences below the 80-bit range where estesi); what it
    // held is lost. Throws CErrore with the buffer message, changing
    // nothing, when the room would take more than half of the machine's
    // memory or cannot be allocated.
    void Riserva(int64_t passi, int32_t orbite, bool estesi);
    void Libera();

    int64_t Passi() const { return PassiPerOrbita; }
    int32_t Orbite() const { return QuanteOrbite; }
    bool ConEstesi() const { return bool(SaltiEstesiOrbite); }
    static int64_t CapienzaSalti(int64_t passi) { return passi / 4 + 1; }
    CPassoRiferimento *Passo(int32_t orbita) { return PassiOrbite.get() + orbita * PassiPerOrbita; }
    float *Soglie(int32_t orbita) { return SoglieOrbite.get() + 2 * orbita * PassiPerOrbita; }
    float *Soglie2(int32_t orbita) { return Soglie(orbita) + PassiPerOrbita; }
    uint8_t *Generi(int32_t orbita) { return GeneriOrbite.get() + orbita * PassiPerOrbita; }
    CSalto *Salti(int32_t orbita) { return SaltiOrbite.get() + orbita * CapienzaSalti(PassiPerOrbita); }
    CSaltoEsteso *SaltiEstesi(int32_t orbita)
    {
        return SaltiEstesiOrbite ? SaltiEstesiOrbite.get() + orbita * CapienzaSalti(PassiPerOrbita) : nullptr;
    }
    std::vector<CPassoSpeciale> &Speciali(int32_t orbita) { return SpecialiOrbite[orbita ? 1 : 0]; }

    // Whether drawings leap over stretches of steps where they can, and end
    // the orbits seen to be periodic early (the bench and the tests turn
    // them off to time or check the steps themselves).
    bool SaltiAmmessi = true;
    bool CicliAmmessi = true;

    // Set by the drawing once the orbits are computed, for this drawing only.
    bool Pronto = false;
    // Mandelbrot adds the pixel's difference at every step; Julia adds nothing.
    bool Mandelbrot = true;
    // A pixel starts on Avvio at step IndiceAvvio with its difference from
    // the reference point, and rebases onto Ribase at step 0.
    COrbitaRiferimento Avvio;
    COrbitaRiferimento Ribase;
    int64_t IndiceAvvio = 0;
    // Pixel (j, i) lies (2j - ColonnaCentro2) MezzoPassoX and (2i -
    // RigaCentro2) MezzoPassoY away from the reference point, CentroRe[0] +
    // CentroRe[1] and CentroIm[0] + CentroIm[1] (its 80-bit rounding and the
    // rest): the reference lies on a pixel, or halfway between two, of
    // column ColonnaCentro2 / 2 and row RigaCentro2 / 2. The steps (PassoX,
    // PassoY: a pixel's) are M 2^E: 80-bit values while they are.
    CEsteso PassoX;
    CEsteso PassoY;
    CEsteso MezzoPassoX;
    CEsteso MezzoPassoY;
    int64_t ColonnaCentro2 = 0;
    int64_t RigaCentro2 = 0;
    // Where the reference point lies between pixels, off those places: the
    // point's excess over them (0 on them), taken off every difference.
    CEsteso ResiduoX;
    CEsteso ResiduoY;
    long double CentroRe[2] = {0.0L, 0.0L};
    long double CentroIm[2] = {0.0L, 0.0L};
    // Each column's (row's) difference from the reference point and the
    // 80-bit part of its pixels' points (real or imaginary), from the left
    // (top) edge to a block beyond the other.
    struct CPosto
    {
        CEsteso Differenza;
        long double Punto = 0.0L;
    };
    std::vector<CPosto> Colonne;
    std::vector<CPosto> Righe;
    // The reference point in full, and the precision a pixel's own loop
    // starts from where it outlives the reference's orbit.
    CComplessoAlto Punto;
    long PrecisionePixel = 0;
    // The window's corners (as their texts stood for them) and the picture's
    // size, for a pixel's own point exactly.
    CComplessoAlto Minimo;
    CComplessoAlto Massimo;
    int32_t Larghezza = 0;
    int32_t Altezza = 0;
    // What the last step adds: the pixel's point (Mandelbrot) or Julia's constant.
    Complesso Costante;
    // Precision of the orbits, in bits (the highest, where it grew).
    long Precisione = 0;
    // The largest difference a pixel adds at every step (none for Julia).
    CEsteso DcMassimo;
    // The count and final value of the reference point itself, where its
    // orbit's own bits were not enough for it (-1: the orbit's).
    int32_t ConteggioProprio = -1;
    Complesso ZProprio;

private:
    struct LiberaMemoria
    {
        void operator()(void *p) const { std::free(p); }
    };
    std::unique_ptr<CPassoRiferimento[], LiberaMemoria> PassiOrbite;
    std::unique_ptr<float[], LiberaMemoria> SoglieOrbite;
    std::unique_ptr<uint8_t[], LiberaMemoria> GeneriOrbite;
    std::unique_ptr<CSalto[], LiberaMemoria> SaltiOrbite;
    std::unique_ptr<CSaltoEsteso[], LiberaMemoria> SaltiEstesiOrbite;
    std::vector<CPassoSpeciale> SpecialiOrbite[2];
    int64_t PassiPerOrbita = 0;
    int32_t QuanteOrbite = 0;
};
