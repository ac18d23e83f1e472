#pragma once

#include "Complesso.h"
#include "Memoria.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>

class CAreaDisegno;

// The points of a drawing whose orbit is another point's, mirrored, bit for
// bit, so that the one computed first gives the other its count and final
// value without a step.
//
// Mandelbrot: the conjugate point's orbit is the conjugate orbit. Its real
// parts are the same values and its imaginary parts the opposite ones, with
// one exception: a sum that cancels exactly is +0 in both. So the count is
// the same, and the final value is (zr, 0 - zi). The point's mirror image is
// in the same column, in the row whose imaginary part is the opposite one.
// Julia: from the point's opposite, the orbit is the same after its first
// step, so count and final value are the same (with no step, the final
// value is the starting one). The mirror image is through the window's
// centre.
//
// The rows of one side record what they compute; the rows of the other look
// up their mirror images there, but only in a row that has finished the
// current pass, which is thus written no more. A point is taken only when the
// recorded one is its mirror image bit for bit, so a window whose rows or
// columns do not mirror exactly just draws as it would anyway.
class CSpecchio
{
public:
    // Ready for the area's drawing when it is a Mandelbrot or Julia drawing
    // whose calculator admits mirror images (ammesso: the 80-bit one), its
    // window holds mirror images, and the room to record them can be had;
    // otherwise not active, and every call does nothing. fili: the threads
    // that share the drawing's rows.
    CSpecchio(const CAreaDisegno &area, int32_t fili, bool ammesso);

    bool Attivo() const { return bool(Voci); }

    // A new pass of the drawing (between passes, on one thread).
    void NuovaPassata() { ++Passata; }
    // Every point of pixel row y that this pass computes has been recorded.
    void RigaFinita(int32_t y)
    {
        if (y >= Y0 && y < Y1)
            Finite[y - Y0].store(Passata, std::memory_order_release);
    }

    // Which row of blocks (of righe, S pixels apart) a pass draws k-th.
    // Where several threads share the rows, the rows of the side that
    // records go first, from the axis outwards, then the others, from the
    // axis outwards: a row then finds its mirror image finished, and the
    // costliest rows, those the mirror cannot spare, are not the last to be
    // handed out. One thread draws the rows in order, which finds every
    // mirror image as well.
    int32_t Ordine(int32_t k, int32_t righe, int32_t S) const
    {
        if (!Voci || !Insieme)
            return k;
        const int64_t prime = std::min<int64_t>(righe, (int64_t(Y1) + S - 1) / S);
        return k < prime ? int32_t(prime - 1 - k) : k;
    }

    // The point c of pixel (x, y) from its mirror image, computed already:
    // sets p's point, count and final value and returns true; false when
    // the mirror image is not at hand.
    bool Cerca(long double re, long double im, int32_t x, int32_t y, CPunto &p) const
    {
        const int32_t ym = DY - y;
        const int32_t xm = PerIlCentro ? DX - x : x;
        if (ym < Y0 || ym >= Y1 || xm < 0 || xm >= W || im == 0.0L
            || Finite[ym - Y0].load(std::memory_order_acquire) != Passata)
            return false;
        return Prendi(Voci[size_t(ym - Y0) * size_t(W) + size_t(xm)], re, im, p);
    }

    // Records a point computed at pixel (x, y) when its row is one that
    // records. (A drawing method may compute points past the picture's
    // edges, whose pixels are never stored: they are not recorded either.)
    void Ricorda(const CPunto &p, int32_t x, int32_t y)
    {
        if (y >= Y0 && y < Y1 && x >= 0 && x < W)
            Scrivi(Voci[size_t(y - Y0) * size_t(W) + size_t(x)], p);
    }

private:
    // One recorded point: its value, count and final value, the 80-bit
    // values packed in their 10 bytes.
    struct CVoce
    {
        unsigned char Re[10];
        unsigned char Im[10];
        unsigned char Zr[10];
        unsigned char Zi[10];
        int32_t Iterazioni;
    };

    // Sets the mirror up for the area's drawing; false when it has none.
    bool Prepara(const CAreaDisegno &area);
    bool Prendi(const CVoce &v, long double re, long double im, CPunto &p) const;
    static void Scrivi(CVoce &v, const CPunto &p);

    bool Insieme = false; // several threads draw
    bool PerIlCentro = false; // Julia: through the centre; Mandelbrot: across the real axis
    int32_t W = 0;
    int32_t DX = 0; // x + its mirror's x (through the centre)
    int32_t DY = 0; // y + its mirror's y
    int32_t Y0 = 0; // the rows that record: Y0 .. Y1 - 1
    int32_t Y1 = 0;
    int32_t Passata = 0;
    CMemoriaAzzerata<CVoce> Voci;
    std::unique_ptr<std::atomic<int32_t>[]> Finite; // the pass each recording row last finished
};
