#pragma once

#include "Reale.h"

#include <cstdint>
#include <vector>

// Special points of the Mandelbrot and Julia sets, found in MPFR to as many
// bits as a window around them needs. The orbit of c is z_0 = 0,
// z_n = z_{n-1}^2 + c (so z_1 = c).

// The log2 of a complex value's modulus.
double Log2Modulo(const CComplessoAlto &z);

// A Misiurewicz point: z_{m+p} = z_m, with preperiod m and period p both
// the least.
struct CMisiurewicz
{
    CComplessoAlto c;
    int Preperiodo = 0;
    int Periodo = 0;
    // log2 of the modulus of the cycle's multiplier (the product of 2 z_k
    // over the cycle), and of dz_m/dc at the point: pixels at a distance d
    // leave the cycle after about p (log2(1 / d) - Log2Derivata) / Log2Moltiplicatore
    // steps past m.
    double Log2Moltiplicatore = 0.0;
    double Log2Derivata = 0.0;
};

// Newton's method from partenza for z_{m+p}(c) = z_m(c), the roots of lower
// preperiods divided out, to bit bits. False when it does not converge, or
// converges to a point whose least preperiod and period are not m and p, or
// outside |c| <= 2.
bool TrovaMisiurewicz(const CComplessoAlto &partenza, int m, int p, mpfr_prec_t bit, CMisiurewicz &trovato);

// Newton's method from partenza for a nucleus, z_p(c) = 0, the nuclei of the
// periods that divide p divided out, at the precision the distance still to
// go needs (from bitIniziali up to bit bits). False when it does not converge
// or the nucleus's least period is not p.
bool TrovaNucleo(const CComplessoAlto &partenza, int p, mpfr_prec_t bitIniziali, mpfr_prec_t bit,
                 CComplessoAlto &nucleo);

// The period of a nucleus near c0 (the ball method): the first n >= 1 at
// which the disc of radius log2 2^raggioLog2 around c0 covers 0 under z_n to
// first order, |z_n| < |dz_n/dc| 2^raggioLog2; 0 when none up to massimo, or
// c0's orbit escapes first.
int PeriodoPalla(const CComplessoAlto &c0, double raggioLog2, int massimo, mpfr_prec_t bit);

// log2 of the size of the minibrot of nucleus c and period p (the usual
// estimate 1 / |b l^2|, l = product of 2 z_k, b = sum of 1 / l over the cycle).
double Log2Dimensione(const CComplessoAlto &c, int p);

// A point of a Julia set of z^2 + k: the preimage of the repelling fixed
// point (critico: of 0) along the branches given by segni (true: the other
// root), at bit bits; log2Derivata gets log2 |(f^n)'| at it (n =
// segni.size()). seconda: the other fixed point (where both repel).
CComplessoAlto PreimmagineJulia(const Complesso &k, bool critico, bool seconda, const std::vector<bool> &segni,
                                mpfr_prec_t bit, double &log2Derivata);
// log2 of the modulus of 2 b for the fixed point b that PreimmagineJulia starts from.
double Log2MoltiplicatoreJulia(const Complesso &k, bool seconda);
