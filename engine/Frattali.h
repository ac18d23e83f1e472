#pragma once

#include "CicloOrbita.h"
#include "Complesso.h"

#include <iosfwd>

// Which formula an object is, for the drawing methods' faster loops and the
// deep path: Mandelbrot and Julia iterate z <- z^2 + k. Any other formula is
// only ever iterated through its own Itera.
enum class TipoFormula
{
    Mandelbrot,
    Julia,
    VolterraLotka,
    Altra,
};

// An escape-time formula: iterates one point and keeps its own parameters.
class CFrattale
{
public:
    virtual void ScriviParametri(std::ostream &os) const = 0;
    virtual void LeggiParametri(std::istream &is) = 0;
    virtual void Itera(CPunto &p) const = 0;
    // Asked once per drawing, never per point.
    virtual TipoFormula Tipo() const { return TipoFormula::Altra; }

protected:
    CFrattale() = default;
    CFrattale(const CFrattale &) = default;
    CFrattale &operator=(const CFrattale &) = default;
    ~CFrattale() = default;
};

std::ostream &operator<<(std::ostream &os, const CFrattale &f);
std::istream &operator>>(std::istream &is, CFrattale &f);

// z <- z^2 + c, starting at z = c.
class Mandelbrot final : public CFrattale
{
public:
    void ScriviParametri(std::ostream &os) const override;
    void LeggiParametri(std::istream &is) override;
    void Itera(CPunto &p) const override;
    TipoFormula Tipo() const override { return TipoFormula::Mandelbrot; }
    // The same, passing the checkpoint every PassiFraSoste steps; false when
    // it stopped the orbit (p is then unfinished).
    bool Itera(CPunto &p, const CSosta &sosta, CEsitoOrbita &esito) const;
};

// z <- z^2 + Param, starting at z = c.
class Julia final : public CFrattale
{
public:
    void ScriviParametri(std::ostream &os) const override;
    void LeggiParametri(std::istream &is) override;
    void Itera(CPunto &p) const override;
    TipoFormula Tipo() const override { return TipoFormula::Julia; }
    bool Itera(CPunto &p, const CSosta &sosta, CEsitoOrbita &esito) const;

    Complesso Param;
};

// One predictor-corrector step of the Lotka-Volterra system per iteration.
class VolterraLotka final : public CFrattale
{
public:
    void ScriviParametri(std::ostream &os) const override;
    void LeggiParametri(std::istream &is) override;
    void Itera(CPunto &p) const override;
    TipoFormula Tipo() const override { return TipoFormula::VolterraLotka; }
    bool Itera(CPunto &p, const CSosta &sosta, CEsitoOrbita &esito) const;

    long double Param1 = 0.0L; // corrector step length
    long double Param2 = 0.0L; // predictor step length
};
