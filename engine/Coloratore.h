#pragma once

#include "Complesso.h"

// Turns one iterated point into the colour of its pixel (0x00BBGGRR).
class CColoratore
{
public:
    virtual int32_t Colore(const CPunto &p) const = 0;

protected:
    CColoratore() = default;
    CColoratore(const CColoratore &) = default;
    CColoratore &operator=(const CColoratore &) = default;
    ~CColoratore() = default;
};

// Colours the points whose iteration reached the limit.
class CColoratoreInterno : public CColoratore
{
protected:
    ~CColoratoreInterno() = default;
};

// Colours the points that escaped.
class CColoratoreEsterno : public CColoratore
{
protected:
    ~CColoratoreEsterno() = default;
};
