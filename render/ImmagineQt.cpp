#include "ImmagineQt.h"

CImmagineQt::CImmagineQt(QImage &immagine)
    : Bits(immagine.bits()), Passo(immagine.bytesPerLine()), Larghezza(immagine.width()), Altezza(immagine.height())
{
    Q_ASSERT(immagine.isNull() || immagine.format() == QImage::Format_RGB32);
}
