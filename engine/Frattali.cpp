#include "Frattali.h"

#include "PassiQuadratici.h"

#include <cmath>
#include <istream>
#include <ostream>

std::ostream &operator<<(std::ostream &os, const Complesso &c)
{
    return os << c.re << '\n' << c.im << '\n';
}

std::istream &operator>>(std::istream &is, Complesso &c)
{
    return is >> c.re >> c.im;
}

std::ostream &operator<<(std::ostream &os, const CFrattale &f)
{
    f.ScriviParametri(os);
    return os;
}

std::istream &operator>>(std::istream &is, CFrattale &f)
{
    f.LeggiParametri(is);
    return is;
}

void Mandelbrot::ScriviParametri(std::ostream &) const {}
void Mandelbrot::LeggiParametri(std::istream &) {}

void Mandelbrot::Itera(CPunto &p) const
{
    CEsitoOrbita esito;
    Itera(p, CSosta(), esito);
}

bool Mandelbrot::Itera(CPunto &p, const CSosta &sosta, CEsitoOrbita &esito) const
{
    long double zr = p.c.re; // the orbit starts at the point itself
    long double zi = p.c.im;
    p.Iterazioni = PassiQuadratici(zr, zi, p.c.re, p.c.im, p.MaxIterazioni, &sosta, esito);
    p.z = {zr, zi};
    return !esito.Fermata;
}

void Julia::ScriviParametri(std::ostream &os) const
{
    os << Param.re << '\n' << Param.im << '\n';
}

void Julia::LeggiParametri(std::istream &is)
{
    is >> Param.re >> Param.im;
}

void Julia::Itera(CPunto &p) const
{
    CEsitoOrbita esito;
    Itera(p, CSosta(), esito);
}

bool Julia::Itera(CPunto &p, const CSosta &sosta, CEsitoOrbita &esito) const
{
    long double zr = p.c.re;
    long double zi = p.c.im;
    p.Iterazioni = PassiQuadratici(zr, zi, Param.re, Param.im, p.MaxIterazioni, &sosta, esito);
    p.z = {zr, zi};
    return !esito.Fermata;
}

void VolterraLotka::ScriviParametri(std::ostream &os) const
{
    os << Param1 << '\n' << Param2 << '\n';
}

void VolterraLotka::LeggiParametri(std::istream &is)
{
    is >> Param1 >> Param2;
}

void VolterraLotka::Itera(CPunto &p) const
{
    CEsitoOrbita esito;
    Itera(p, CSosta(), esito);
}

// Here the bailout looks at the values after the step, with |x| + |y| and an
// inclusive bound of 500.
bool VolterraLotka::Itera(CPunto &p, const CSosta &sosta, CEsitoOrbita &esito) const
{
    long double re = p.c.re;
    long double im = p.c.im;
    const long double h = Param1 * 0.5L;
    const long double passo = Param2;
    p.Iterazioni = OrbitaConCicli(
        re, im, p.MaxIterazioni,
        [h, passo](long double &x, long double &y) {
            const long double e = x * y;
            const long double a = x - e;
            const long double b = e - y;
            const long double x1 = a * passo + x;
            const long double y1 = b * passo + y;
            const long double e1 = x1 * y1;
            const long double A = (a + x1) - e1;
            const long double B = (b + e1) - y1;
            x = h * A + x;
            y = h * B + y;
            return std::fabs(x) + std::fabs(y) <= 500.0L;
        },
        &sosta, esito);
    p.z = {re, im};
    return !esito.Fermata;
}
