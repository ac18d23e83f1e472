#pragma once

#include "AreaDisegno.h"

// A drawing method: computes the whole image of a render area.
class CDisegnatore
{
public:
    virtual void Disegna(CAreaDisegno &area) = 0;

protected:
    CDisegnatore() = default;
    CDisegnatore(const CDisegnatore &) = default;
    CDisegnatore &operator=(const CDisegnatore &) = default;
    ~CDisegnatore() = default;
};

// Computes every pixel, row by row.
class MetodoPuntoPunto final : public CDisegnatore
{
public:
    void Disegna(CAreaDisegno &area) override;
};

// Coarse to fine: a grid of step 2^Livelli, then three halvings, filling a
// block's new pixels without computing them where its neighbours agree.
class MetodoBlocco final : public CDisegnatore
{
public:
    void Disegna(CAreaDisegno &area) override;

    int32_t Livelli = 3;
};
