// Fuzz target: reading the bitmap that File > Open is given. Whatever the
// bytes, reading either gives a true-colour picture or a reason, never a crash.

#include "FileDocumento.h"

#include <QBuffer>
#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *dati, size_t n)
{
    QByteArray byte(reinterpret_cast<const char *>(dati), qsizetype(n));
    QBuffer buffer(&byte);
    buffer.open(QIODevice::ReadOnly);
    QImage immagine;
    QString errore;
    if (LeggiBitmap(&buffer, immagine, errore)) {
        if (immagine.isNull() || immagine.format() != QImage::Format_RGB32)
            std::abort();
        volatile QRgb angolo = immagine.pixel(immagine.width() - 1, immagine.height() - 1);
        (void)angolo;
    } else if (errore.isEmpty()) {
        std::abort();
    }
    return 0;
}
