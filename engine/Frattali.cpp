#include "Frattali.h"

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

// The bailout looks at the squared modulus before the step just done, so the
// stored z is one step past the first value of modulus 2 or more.
void Mandelbrot::Itera(CPunto &p) const
{
    const long double cre = p.c.re;
    const long double cim = p.c.im;
    long double zre = cre;
    long double zim = cim;
    long double m = 0.0L;
    int32_t n = 0;
    const int32_t limite = p.MaxIterazioni;
    while (n < limite && m < 4.0L) {
        const long double x2 = zre * zre;
        const long double y2 = zim * zim;
        const long double nre = (x2 - y2) + cre;
        const long double nim = (zre * 2.0L) * zim + cim;
        m = x2 + y2;
        zre = nre;
        zim = nim;
        ++n;
    }
    p.z = {zre, zim};
    p.Iterazioni = n;
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
    const long double kre = Param.re;
    const long double kim = Param.im;
    long double zre = p.c.re;
    long double zim = p.c.im;
    long double m = 0.0L;
    int32_t n = 0;
    const int32_t limite = p.MaxIterazioni;
    while (n < limite && m < 4.0L) {
        const long double x2 = zre * zre;
        const long double y2 = zim * zim;
        const long double nre = (x2 - y2) + kre;
        const long double nim = (zre * 2.0L) * zim + kim;
        m = x2 + y2;
        zre = nre;
        zim = nim;
        ++n;
    }
    p.z = {zre, zim};
    p.Iterazioni = n;
}

void VolterraLotka::ScriviParametri(std::ostream &os) const
{
    os << Param1 << '\n' << Param2 << '\n';
}

void VolterraLotka::LeggiParametri(std::istream &is)
{
    is >> Param1 >> Param2;
}

// Here the bailout looks at the values after the step, with |x| + |y| and an
// inclusive bound of 500.
void VolterraLotka::Itera(CPunto &p) const
{
    long double x = p.c.re;
    long double y = p.c.im;
    const long double h = Param1 * 0.5L;
    const long double passo = Param2;
    long double s = 0.0L;
    int32_t n = 0;
    const int32_t limite = p.MaxIterazioni;
    while (n < limite && s <= 500.0L) {
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
        s = std::fabs(x) + std::fabs(y);
        ++n;
    }
    p.z = {x, y};
    p.Iterazioni = n;
}
