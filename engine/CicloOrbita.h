#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

// A checkpoint that a long orbit passes every PassiFraSoste steps, so that
// the drawing can be parked or stopped in the middle of it: Funzione(Dati)
// returns false when the orbit must end now, unfinished.
struct CSosta
{
    bool (*Funzione)(void *dati) = nullptr;
    void *Dati = nullptr;

    bool Passa() const { return !Funzione || Funzione(Dati); }
};

// What one orbit's loop tells besides its count and value.
struct CEsitoOrbita
{
    int32_t Risparmiati = 0; // steps the cycle check spared
    bool Fermata = false;    // a checkpoint ended it: count and value are meaningless
};

// Steps between two checkpoints of a long orbit.
constexpr int32_t PassiFraSoste = 32768;
// The first value an orbit saves for the cycle check is that after this
// many steps: a shorter orbit pays nothing for the check.
constexpr int32_t PrimoSalvataggio = 128;

// Bit for bit: a zero's sign counts (it can decide the sign of a later zero).
inline bool StessoValore(long double x, long double y)
{
    return x == y && std::signbit(x) == std::signbit(y);
}

// Runs the orbit of the state (a, b): passo(a, b) does one step and returns
// whether the orbit goes on after it; the loop ends after at most max steps
// and returns the steps done. Exactly the plain loop's count and final state,
// found faster where the orbit turns periodic: once the state repeats bit
// for bit (Brent: the state is saved after PrimoSalvataggio steps and again
// whenever the steps have grown by half, and compared after every step; his
// doubling windows would find a late cycle later) it never
// ends early, so only the steps left modulo the period are done.
template <class Passo>
int32_t OrbitaConCicli(long double &a, long double &b, int32_t max, Passo &&passo, const CSosta *sosta,
                       CEsitoOrbita &esito)
{
    constexpr int32_t Mai = std::numeric_limits<int32_t>::max();
    long double sa = 0.0L;
    long double sb = 0.0L;
    int32_t salvato = -1; // the steps at the save; none yet
    int32_t prossimo = PrimoSalvataggio;
    int32_t prossimaSosta = PassiFraSoste;
    int32_t n = 0;
    while (n < max) {
        const bool avanti = passo(a, b);
        ++n;
        if (!avanti)
            break;
        if (salvato >= 0 && StessoValore(a, sa) && StessoValore(b, sb)) {
            const int32_t resto = (max - n) % (n - salvato);
            for (int32_t k = 0; k < resto; ++k)
                passo(a, b);
            esito.Risparmiati = (max - n) - resto;
            return max;
        }
        if (n == prossimo) {
            sa = a;
            sb = b;
            salvato = n;
            prossimo = n <= Mai - n / 2 ? n + n / 2 : Mai;
        }
        if (n == prossimaSosta) {
            if (sosta && !sosta->Passa()) {
                esito.Fermata = true;
                return n;
            }
            prossimaSosta = n <= Mai - PassiFraSoste ? n + PassiFraSoste : Mai;
        }
    }
    return n;
}
