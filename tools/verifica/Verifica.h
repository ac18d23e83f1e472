#pragma once

#include "Casi.h"
#include "Diretta.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// The engine's picture of a case against the direct iteration of its pixels.

struct COpzioniVerifica
{
    // Threads of the engine's drawing and of the direct iterations (0: one per core).
    int32_t Fili = 0;
    // The direct iterations of a case take the centre pixel and this many
    // others (or all)...
    int32_t PixelMinimi = 4;
    // ...and then more, as many as the time per pixel so far leaves room
    // for within this many seconds of one thread (at most twice as many at a time).
    double SecondiDiretti = 4.0;
    // Also the plain iteration at 2P + 64 bits for each pixel compared, whose
    // count must be the certain one (a check of the check).
    bool Controllo = false;
    // The sample of pixels is drawn from this seed and the case's number.
    uint64_t Seme = 0;
};

// A pixel whose count the engine got wrong.
struct CDiverso
{
    int32_t Colonna = 0;
    int32_t Riga = 0;
    int32_t Motore = 0;
    int32_t Diretto = 0;
    // Drawn by the block method, which may have filled it from its block's
    // corner without computing it (the six values it compares are all equal).
    bool Riempibile = false;
};

struct CEsitoCaso
{
    // The engine refused to draw it (its message).
    std::string Errore;
    bool OttantaBit = false;
    // The precision of the direct iterations (the first one tried).
    mpfr_prec_t Bit = 0;
    int32_t Confrontati = 0; // pixels whose count is certain
    int32_t FiliDiLama = 0;  // pixels that no precision tried decides
    int32_t Sbagliati = 0;
    int32_t Riempibili = 0;  // of the wrong ones, those the block method may have filled
    int32_t Limitate = 0;    // certain interior pixels proved before the limit
    int32_t Discordi = 0;    // with Controllo: plain iterations that disagree with a certain count
    std::vector<CDiverso> Diversi; // the first few
    double SecondiMotore = 0.0;
    double SecondiDiretti = 0.0;

    int64_t Passi = 0; // steps of the direct iterations
};

CEsitoCaso VerificaCaso(const CCaso &caso, const COpzioniVerifica &opzioni);

// The precision the direct iterations of a window's pixels start from: the
// bits of its corners' magnitude over its pixel spacing, and 64 more. What an
// orbit needs beyond that shows in its error bounds, and a pixel that lacks
// bits is iterated again with more (ConteggioDiretto).
mpfr_prec_t PrecisioneDiretta(const CBloccoFinestra &finestra);

// The direct count of pixel (j, i) of the picture par: of its exact point,
// or, when the engine drew it in 80 bits, of the 80-bit point its method computes.
CConteggioDiretto ContaPixel(const CParametri &par, int32_t j, int32_t i, bool ottantaBit, mpfr_prec_t bit);

// One line per case (and one per wrong pixel shown).
std::string RigaCaso(const CCaso &caso, const CEsitoCaso &esito);

// Which depth band a window 10^-esponente wide falls in: to 10^-300, to
// 10^-4900, deeper.
int BandaDi(double esponente);
inline constexpr int QuanteBande = 3;

// The results of a run, by depth band and kind.
class CTabella
{
public:
    void Aggiungi(const CCaso &caso, const CEsitoCaso &esito);
    void Stampa(std::FILE *f) const;
    // The share of the compared pixels that are right, in percent.
    double Giusti() const;
    int64_t Sbagliati() const { return Totale().Sbagliati; }

private:
    struct CCella
    {
        int32_t Casi = 0;
        int32_t CasiSbagliati = 0;
        int32_t Rifiutati = 0;
        int64_t Confrontati = 0;
        int64_t FiliDiLama = 0;
        int64_t Sbagliati = 0;
        int64_t Riempibili = 0;
        int64_t Discordi = 0;
        double Secondi[3] = {0.0, 0.0, 0.0}; // to find the point, to draw, to iterate directly
        void Aggiungi(const CCaso &caso, const CEsitoCaso &esito);
        void Aggiungi(const CCella &altra);
    };
    CCella Totale() const;
    CCella Celle[QuanteBande][QuantiTipi];
};
