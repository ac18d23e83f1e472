#pragma once

#include "AreaDisegno.h"

#include <QImage>

// The engine's picture over a true-colour QImage (0xFFRRGGBB pixels).
class CImmagineQt final : public CImmagine
{
public:
    // The image must stay alive and unresized while a drawing uses this view.
    explicit CImmagineQt(QImage &immagine);

    void ImpostaPixel(int32_t x, int32_t y, int32_t colore) override
    {
        if (x < Larghezza && y < Altezza)
            reinterpret_cast<QRgb *>(Bits + qsizetype(y) * Passo)[x] = QRgbDaColore(colore);
    }

    static QRgb QRgbDaColore(int32_t colore)
    {
        return qRgb(colore & 0xFF, (colore >> 8) & 0xFF, (colore >> 16) & 0xFF);
    }
    static int32_t ColoreDaQRgb(QRgb rgb)
    {
        return int32_t(qRed(rgb)) | (int32_t(qGreen(rgb)) << 8) | (int32_t(qBlue(rgb)) << 16);
    }

private:
    uchar *Bits;
    qsizetype Passo;
    int32_t Larghezza;
    int32_t Altezza;
};
