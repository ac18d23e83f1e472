#pragma once

#include "Complesso.h"
#include "TabellaColori.h"

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

// Interior "Nero": black.
class CInternoSolido final : public CColoratoreInterno
{
public:
    int32_t Colore(const CPunto &p) const override;
};

// Interior "Sfumato Log1": shading by the logarithm of |z - c|^2.
class CInternoLog final : public CColoratoreInterno
{
public:
    int32_t Colore(const CPunto &p) const override;

    CTabellaColori Tabella;
};

// Exterior bands: the iteration count picks the table entry.
class CEsternoFasce final : public CColoratoreEsterno
{
public:
    int32_t Colore(const CPunto &p) const override;

    CTabellaColori Tabella;
};
