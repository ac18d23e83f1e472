#include "FileDocumento.h"

#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

#include <sstream>
#include <string>

namespace {
// A parameters file holds sixteen values, four corners of at most 20000
// significant digits among them; anything much larger is not one.
constexpr qint64 MassimoParametri = 256 * 1024;
} // namespace

QString NomeFileParametri(const QString &nomeBitmap)
{
    return nomeBitmap + QStringLiteral(".Quillmere");
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

} // namespace

bool ScriviBitmap(const QImage &immagine, const QString &nome, QString &errore)
{
    return ScriviIntero(nome, errore, [&](QSaveFile &file, QString &motivo) {
        QImageWriter writer(&file, "bmp");
        if (writer.write(immagine))
            return true;
        motivo = writer.errorString();
        return false;
    });
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
    if (!file.open(QIODevice::ReadOnly)) {
        errore = file.errorString();
        return false;
    }
    return LeggiBitmap(&file, immagine, errore);
}

bool LeggiBitmap(QIODevice *dispositivo, QImage &immagine, QString &errore)
{
    QImageReader reader(dispositivo, "bmp");
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

bool LeggiFileParametri(const QString &nome, CParametri &parametri)
{
    QFile file(nome);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray dati = file.read(MassimoParametri + 1);
    if (dati.size() > MassimoParametri)
        return false;
    std::istringstream in(dati.toStdString());
    return LeggiParametri(in, parametri);
}
