#include "FileDocumento.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <utility>

namespace {
// A parameters file holds sixteen values, four corners of at most 20000
// significant digits among them; anything much larger is not one.
constexpr qint64 MassimoParametri = 256 * 1024;
} // namespace

QString NomeFileParametri(const QString &nomeBitmap)
{
    return nomeBitmap + QStringLiteral(".Quillmere");
}

FormatoFigura FormatoDaNome(const QString &nome)
{
    return nome.endsWith(QLatin1String(".png"), Qt::CaseInsensitive) ? FormatoFigura::Png : FormatoFigura::Bitmap;
}

namespace {

// Writes a file beside the named one and renames it over it once complete:
// on any failure the named file is left as it was.
template <class Scrittura>
bool ScriviIntero(const QString &nome, QString &errore, Scrittura &&scrivi)
{
    QSaveFile file(nome);
    if (!file.open(QIODevice::WriteOnly)) {
        errore = file.errorString();
        return false;
    }
    if (!scrivi(file, errore)) {
        file.cancelWriting();
        return false;
    }
    // What is still buffered must reach the file now: commit() heeds only
    // the failures of write() calls, and would put a file that a full disk
    // cut short, or left empty, in place of the old one.
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        errore = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        errore = file.errorString();
        return false;
    }
    return true;
}

const char *NomeFormato(FormatoFigura formato)
{
    return formato == FormatoFigura::Png ? "png" : "bmp";
}

void Metti(char *&p, uint32_t valore, int byte)
{
    for (int k = 0; k < byte; ++k, valore >>= 8)
        *p++ = char(valore & 0xFF);
}

constexpr qint64 TestaBitmap = 14 + 40;

qint64 RigaBitmap24(const QImage &immagine)
{
    return ((qint64(immagine.width()) * 24 + 31) / 32) * 4;
}

// Whether the picture is one ScriviBitmap24 writes: true colour, and a file
// whose size a bitmap's header can give (others are left to the toolkit).
bool Bitmap24(const QImage &immagine)
{
    return immagine.format() == QImage::Format_RGB32 && !immagine.isNull()
        && TestaBitmap + RigaBitmap24(immagine) * immagine.height() <= 0xFFFFFFFF;
}

// Writes a true-colour picture as a 24-bit bitmap, the bytes the toolkit's
// writer gives it (rows from the bottom up, each padded to four bytes), in
// pieces of about a megabyte: the toolkit's writer converts and writes a row
// at a time, several times slower on a large picture.
bool ScriviBitmap24(const QImage &immagine, QIODevice &file, QString &motivo)
{
    const int w = immagine.width();
    const int h = immagine.height();
    const qint64 riga = RigaBitmap24(immagine);
    char testa[TestaBitmap];
    char *p = testa;
    Metti(p, 'B' | ('M' << 8), 2);
    Metti(p, uint32_t(TestaBitmap + riga * h), 4);
    Metti(p, 0, 4);
    Metti(p, uint32_t(TestaBitmap), 4);
    Metti(p, 40, 4);
    Metti(p, uint32_t(w), 4);
    Metti(p, uint32_t(h), 4);
    Metti(p, 1, 2);
    Metti(p, 24, 2);
    Metti(p, 0, 4);
    Metti(p, uint32_t(riga * h), 4);
    Metti(p, uint32_t(immagine.dotsPerMeterX()), 4);
    Metti(p, uint32_t(immagine.dotsPerMeterY()), 4);
    Metti(p, 0, 4);
    Metti(p, 0, 4);
    bool scritto = file.write(testa, TestaBitmap) == TestaBitmap;
    // Zeroed once: the rows' padding stays zero.
    const qint64 righe = std::max<qint64>(1, (1 << 20) / riga);
    QByteArray pezzo(riga * std::min<qint64>(righe, h), '\0');
    for (int y = h - 1; scritto && y >= 0;) {
        char *q = pezzo.data();
        const int fine = int(std::max<qint64>(-1, y - righe));
        for (; y > fine; --y, q += riga) {
            const QRgb *pixel = reinterpret_cast<const QRgb *>(immagine.constScanLine(y));
            char *b = q;
            for (int x = 0; x < w; ++x) {
                *b++ = char(qBlue(pixel[x]));
                *b++ = char(qGreen(pixel[x]));
                *b++ = char(qRed(pixel[x]));
            }
        }
        const qint64 n = q - pezzo.constData();
        scritto = file.write(pezzo.constData(), n) == n;
    }
    if (!scritto)
        motivo = file.errorString();
    return scritto;
}

bool ScriviNelFormato(const QImage &immagine, const QString &nome, FormatoFigura formato, QString &errore)
{
    return ScriviIntero(nome, errore, [&](QSaveFile &file, QString &motivo) {
        if (formato == FormatoFigura::Bitmap && Bitmap24(immagine))
            return ScriviBitmap24(immagine, file, motivo);
        QImageWriter writer(&file, NomeFormato(formato));
        if (writer.write(immagine))
            return true;
        motivo = writer.errorString();
        return false;
    });
}

// Opens a plain file for reading. Anything else is refused before it is
// opened: a pipe or a device would keep the reader waiting, or never end.
bool ApriFile(QFile &file, QString &errore)
{
    const QFileInfo informazioni(file.fileName());
    if (informazioni.exists() && !informazioni.isFile()) {
        errore = QCoreApplication::translate("FileDocumento", "non è un file");
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        errore = file.errorString();
        return false;
    }
    return true;
}

} // namespace

bool ScriviBitmap(const QImage &immagine, const QString &nome, QString &errore)
{
    return ScriviNelFormato(immagine, nome, FormatoFigura::Bitmap, errore);
}

bool ScriviFigura(const QImage &immagine, const QString &nome, QString &errore)
{
    return ScriviNelFormato(immagine, nome, FormatoDaNome(nome), errore);
}

bool ScriviFileParametri(const CParametri &parametri, const QString &nome, QString &errore)
{
    return ScriviIntero(nome, errore, [&](QSaveFile &file, QString &motivo) {
        const QByteArray testo = QByteArray::fromStdString(TestoParametri(parametri));
        if (file.write(testo) == testo.size())
            return true;
        motivo = file.errorString();
        return false;
    });
}

bool LeggiBitmap(const QString &nome, QImage &immagine, QString &errore)
{
    QFile file(nome);
    return ApriFile(file, errore) && LeggiBitmap(&file, immagine, errore);
}

bool LeggiFigura(const QString &nome, QImage &immagine, QString &errore)
{
    QFile file(nome);
    return ApriFile(file, errore) && LeggiFigura(&file, FormatoDaNome(nome), immagine, errore);
}

namespace {

uint32_t Parola(const QByteArray &dati, int posizione, int byte)
{
    uint32_t valore = 0;
    for (int k = byte - 1; k >= 0; --k)
        valore = (valore << 8) | uint8_t(dati[posizione + k]);
    return valore;
}

// Whether the file holds every row its header announces. The toolkit's
// reader shows a bitmap cut short as a picture black where the rows are
// missing; such a file is reported instead. Headers it cannot size are left
// to the reader.
bool Completa(QIODevice *dispositivo)
{
    if (dispositivo->isSequential())
        return true;
    const QByteArray testa = dispositivo->peek(34);
    if (testa.size() < 26 || !testa.startsWith("BM"))
        return true;
    const uint64_t inizio = Parola(testa, 10, 4);
    const uint32_t dimensioneTesta = Parola(testa, 14, 4);
    int64_t larghezza = 0;
    int64_t altezza = 0;
    uint32_t bit = 0;
    uint32_t compressione = 0;
    uint64_t dati = 0;
    if (dimensioneTesta == 12) {
        larghezza = Parola(testa, 18, 2);
        altezza = Parola(testa, 20, 2);
        bit = Parola(testa, 24, 2);
    } else if (dimensioneTesta >= 40 && testa.size() >= 34) {
        larghezza = int32_t(Parola(testa, 18, 4));
        altezza = int32_t(Parola(testa, 22, 4));
        bit = Parola(testa, 28, 2);
        compressione = Parola(testa, 30, 4);
        const QByteArray resto = dispositivo->peek(38);
        if (resto.size() >= 38)
            dati = Parola(resto, 34, 4);
    } else {
        return true;
    }
    uint64_t necessari = 0;
    if (compressione == 0 || compressione == 3 || compressione == 6) {
        // Uncompressed rows, each padded to four bytes.
        const uint64_t riga = (uint64_t(std::llabs(larghezza)) * bit + 31) / 32 * 4;
        necessari = riga * uint64_t(std::llabs(altezza));
    } else {
        necessari = dati; // compressed: the size the header gives, if any
    }
    return uint64_t(dispositivo->size()) >= inizio + necessari;
}

} // namespace

bool LeggiBitmap(QIODevice *dispositivo, QImage &immagine, QString &errore)
{
    return LeggiFigura(dispositivo, FormatoFigura::Bitmap, immagine, errore);
}

bool LeggiFigura(QIODevice *dispositivo, FormatoFigura formato, QImage &immagine, QString &errore)
{
    if (formato == FormatoFigura::Bitmap && !Completa(dispositivo)) {
        errore = QCoreApplication::translate("FileDocumento", "il file è incompleto");
        return false;
    }
    // The toolkit's PNG reader refuses a file whose image data is cut short
    // or fails its checksums.
    QImageReader reader(dispositivo, NomeFormato(formato));
    reader.setDecideFormatFromContent(false);
    QImage letta;
    if (!reader.read(&letta) || letta.isNull()) {
        errore = reader.errorString();
        return false;
    }
    immagine = letta.convertToFormat(QImage::Format_RGB32);
    if (immagine.isNull()) {
        errore = QStringLiteral("Out of memory");
        return false;
    }
    return true;
}

bool LeggiFileParametri(const QString &nome, CParametri &parametri, QString *motivo)
{
    if (motivo)
        motivo->clear();
    QFile file(nome);
    QString errore;
    if (!ApriFile(file, errore))
        return false;
    const QByteArray dati = file.read(MassimoParametri + 1);
    if (dati.size() > MassimoParametri)
        return false;
    std::istringstream in(dati.toStdString());
    CParametri letti = parametri;
    bool troppeCifre = false;
    // A negative size is no picture's.
    if (!LeggiParametri(in, letti, &troppeCifre) || letti.Finestra.Larghezza < 0 || letti.Finestra.Altezza < 0) {
        if (motivo && troppeCifre)
            *motivo = TestoCifreOltreIlLimite();
        return false;
    }
    parametri = std::move(letti);
    return true;
}

QString TestoCifreOltreIlLimite()
{
    return QCoreApplication::translate("CFileDocumento",
                                       "Un angolo della finestra ha più di %1 cifre significative: "
                                       "una finestra così profonda è oltre ciò che il programma disegna.")
        .arg(MassimoCifre);
}

QString TestoZoomOltreIlLimite()
{
    return QCoreApplication::translate("CFileDocumento",
                                       "Questa regione è più profonda di ciò che il programma disegna: i suoi angoli "
                                       "vorrebbero più di %1 cifre significative.")
        .arg(MassimoCifre);
}
