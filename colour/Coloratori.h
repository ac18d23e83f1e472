#pragma once

#include "Coloratore.h"
#include "TabellaColori.h"

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
