#pragma once

#include "Complesso.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

// One step of a reference orbit as the perturbation loop reads it: twice the
// orbit's value, each part as a pair of doubles whose sum is the value
// rounded to 80 bits (two doubles load much faster than one 80-bit value).
struct CPassoRiferimento
{
    double DueZr[2];
    double DueZi[2];
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
    int64_t Ultimo = 0;
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

// The reference orbits of a drawing past 80 bits, and what its pixels need
// besides. The room is reserved before the drawing (so that a drawing whose
// orbits cannot be held is refused before anything changes); the drawing
// computes the orbits into it.
class CRiferimento
{
public:
    // Room for orbite orbits of passi steps each; what it held is lost.
    // Throws CErrore with the buffer message, changing nothing, when the
    // room would take more than half of the machine's memory or cannot be
    // allocated.
    void Riserva(int64_t passi, int32_t orbite);
    void Libera();

    int64_t Passi() const { return PassiPerOrbita; }
    // Room for the leaps of the start orbit, by levels from PrimoLivello.
    CSalto *Salti() { return SaltiOrbita.get(); }
    static constexpr int PrimoLivello = 3;
    static int64_t CapienzaSalti(int64_t passi) { return passi / 4 + 1; }
    int32_t Orbite() const { return QuanteOrbite; }
    CPassoRiferimento *Passo(int32_t orbita) { return PassiOrbite.get() + orbita * PassiPerOrbita; }
    float *Soglie(int32_t orbita) { return SoglieOrbite.get() + 2 * orbita * PassiPerOrbita; }
    float *Soglie2(int32_t orbita) { return Soglie(orbita) + PassiPerOrbita; }

    // Whether drawings leap over stretches of steps where they can (the
    // bench turns it off to time the steps themselves).
    bool SaltiAmmessi = true;

    // Set by the drawing once the orbits are computed, for this drawing only.
    bool Pronto = false;
    // Mandelbrot adds the pixel's difference at every step; Julia adds nothing.
    bool Mandelbrot = true;
    // A pixel starts on Avvio at step IndiceAvvio with its difference from
    // the reference point, and rebases onto Ribase at step 0.
    COrbitaRiferimento Avvio;
    COrbitaRiferimento Ribase;
    int64_t IndiceAvvio = 0;
    // Pixel (j, i) lies (j - ColonnaCentro) PassoX and (i - RigaCentro) PassoY
    // away from the reference point, CentroRe[0] + CentroRe[1] and
    // CentroIm[0] + CentroIm[1] (its 80-bit rounding and the rest).
    long double PassoX = 0.0L;
    long double PassoY = 0.0L;
    int32_t ColonnaCentro = 0;
    int32_t RigaCentro = 0;
    long double CentroRe[2] = {0.0L, 0.0L};
    long double CentroIm[2] = {0.0L, 0.0L};
    // What the last step adds: the pixel's point (Mandelbrot) or Julia's constant.
    Complesso Costante;
    // Precision of the orbits, in bits.
    long Precisione = 0;
    // The leaps of level l take 2^l steps of Avvio, the k-th from step
    // IndiceAvvio + k 2^l: Livelli[l][k], k below QuantiSalti[l]; levels
    // from PrimoLivello to LivelloMassimo (none when it is below).
    const CSalto *Livelli[64] = {};
    int64_t QuantiSalti[64] = {};
    int LivelloMassimo = 0;

private:
    struct LiberaMemoria
    {
        void operator()(void *p) const { std::free(p); }
    };
    std::unique_ptr<CPassoRiferimento[], LiberaMemoria> PassiOrbite;
    std::unique_ptr<float[], LiberaMemoria> SoglieOrbite;
    std::unique_ptr<CSalto[], LiberaMemoria> SaltiOrbita;
    int64_t PassiPerOrbita = 0;
    int32_t QuanteOrbite = 0;
};
