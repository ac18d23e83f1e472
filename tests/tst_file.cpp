// The files of a document: bitmaps written and read back, bitmaps of other
// programs, damaged files, and writes that must not leave half a file.

#include "FileDocumento.h"

#include <QImageWriter>
#include <QtTest>

#include <sys/stat.h>

namespace {

void Scrivi16(QByteArray &b, quint16 v)
{
    b.append(char(v & 0xFF)).append(char(v >> 8));
}

void Scrivi32(QByteArray &b, quint32 v)
{
    for (int k = 0; k < 4; ++k)
        b.append(char((v >> (8 * k)) & 0xFF));
}

// A Windows bitmap as another program might write it: 8 bits with a palette,
// 24 or 32 bits, bottom-up or top-down rows. Pixel (x, y) has red 10x,
// green 20y and blue 7 (or, with a palette, the palette entry x + y).
QByteArray Bitmap(int w, int h, int bit, bool dallAlto)
{
    const int perRiga = ((w * bit + 31) / 32) * 4;
    const int tavolozza = bit == 8 ? 256 * 4 : 0;
    QByteArray b;
    b.append("BM");
    Scrivi32(b, quint32(14 + 40 + tavolozza + perRiga * h));
    Scrivi32(b, 0);
    Scrivi32(b, quint32(14 + 40 + tavolozza));
    Scrivi32(b, 40);
    Scrivi32(b, quint32(w));
    Scrivi32(b, quint32(dallAlto ? -h : h));
    Scrivi16(b, 1);
    Scrivi16(b, quint16(bit));
    Scrivi32(b, 0); // no compression
    Scrivi32(b, quint32(perRiga * h));
    Scrivi32(b, 2835);
    Scrivi32(b, 2835);
    Scrivi32(b, bit == 8 ? 256 : 0);
    Scrivi32(b, 0);
    for (int k = 0; k < tavolozza / 4; ++k) {
        b.append(char(k)).append(char(255 - k)).append(char(k / 2)).append(char(0)); // blue, green, red
    }
    for (int r = 0; r < h; ++r) {
        const int y = dallAlto ? r : h - 1 - r;
        QByteArray riga;
        for (int x = 0; x < w; ++x) {
            if (bit == 8) {
                riga.append(char(x + y));
            } else {
                riga.append(char(7)).append(char(20 * y)).append(char(10 * x));
                if (bit == 32)
                    riga.append(char(0));
            }
        }
        riga.append(QByteArray(perRiga - riga.size(), '\0'));
        b.append(riga);
    }
    return b;
}

QString Scrivi(const QTemporaryDir &dir, const QString &nome, const QByteArray &dati)
{
    const QString percorso = dir.filePath(nome);
    QFile f(percorso);
    if (f.open(QIODevice::WriteOnly))
        f.write(dati);
    return percorso;
}

// A picture with a different colour in every pixel.
QImage Campione(int w, int h)
{
    QImage immagine(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            immagine.setPixel(x, y, qRgb(x * 6, y * 12, (x * y) % 256));
    return immagine;
}

QByteArray Png(const QImage &immagine)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    immagine.save(&buffer, "png");
    return png;
}

} // namespace

class TestFile : public QObject
{
    Q_OBJECT

private slots:
    void nomeParametri();
    void andataERitorno();
    void bitmapDiAltriProgrammi_data();
    void bitmapDiAltriProgrammi();
    void bitmapIllegibili_data();
    void bitmapIllegibili();
    void parametriIllegibili();
    void formatoDalNome_data();
    void formatoDalNome();
    void figureIllegibili_data();
    void figureIllegibili();
    void nonFileNormali();
    void scritturaImpossibile();
};

void TestFile::nomeParametri()
{
    QCOMPARE(NomeFileParametri("/tmp/sfondo.bmp"), QStringLiteral("/tmp/sfondo.bmp.Quillmere"));
}

void TestFile::andataERitorno()
{
    QTemporaryDir dir;
    QImage immagine(37, 21, QImage::Format_RGB32);
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 37; ++x)
            immagine.setPixel(x, y, qRgb(x * 6, y * 12, (x * y) % 256));
    const QString nome = dir.filePath("sfondo.bmp");
    QString errore;
    QVERIFY2(ScriviBitmap(immagine, nome, errore), qPrintable(errore));
    QImage letta;
    QVERIFY2(LeggiBitmap(nome, letta, errore), qPrintable(errore));
    QCOMPARE(letta.size(), immagine.size());
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 37; ++x)
            QCOMPARE(letta.pixel(x, y), immagine.pixel(x, y));

    CParametri par;
    par.SceltaFrattale = 1;
    par.FrattaleJulia.Param = {0.285L, 0.01L};
    QVERIFY2(ScriviFileParametri(par, NomeFileParametri(nome), errore), qPrintable(errore));
    QFile f(NomeFileParametri(nome));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray::fromStdString(TestoParametri(par)));
    CParametri letti;
    QVERIFY(LeggiFileParametri(NomeFileParametri(nome), letti));
    QCOMPARE(int(letti.SceltaFrattale), 1);
    QCOMPARE(letti.FrattaleJulia.Param, (Complesso{0.285L, 0.01L}));

    // Saving again replaces both files whole.
    immagine.fill(Qt::red);
    QVERIFY(ScriviBitmap(immagine, nome, errore));
    QVERIFY(LeggiBitmap(nome, letta, errore));
    QCOMPARE(letta.pixel(5, 5), qRgb(255, 0, 0));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2); // nothing left beside them

    // The file holds the very bytes the toolkit's own writer gives, for
    // every padding of a row and the picture's own resolution.
    for (int w : {1, 2, 3, 4, 37}) {
        const QImage pezzo = immagine.copy(0, 0, w, 3);
        QImage stampa = pezzo;
        stampa.setDotsPerMeterX(2835);
        for (const QImage &figura : {pezzo, stampa}) {
            QVERIFY(ScriviBitmap(figura, nome, errore));
            QBuffer atteso;
            atteso.open(QIODevice::WriteOnly);
            QVERIFY(QImageWriter(&atteso, "bmp").write(figura));
            QFile f(nome);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), atteso.data());
        }
    }
}

void TestFile::bitmapDiAltriProgrammi_data()
{
    QTest::addColumn<int>("bit");
    QTest::addColumn<bool>("dallAlto");
    QTest::newRow("24-bit") << 24 << false;
    QTest::newRow("24-bit, top-down") << 24 << true;
    QTest::newRow("32-bit") << 32 << false;
    QTest::newRow("8-bit palette") << 8 << false;
}

void TestFile::bitmapDiAltriProgrammi()
{
    QFETCH(int, bit);
    QFETCH(bool, dallAlto);
    QTemporaryDir dir;
    const QString nome = Scrivi(dir, "altro.bmp", Bitmap(13, 9, bit, dallAlto));
    QImage letta;
    QString errore;
    QVERIFY2(LeggiBitmap(nome, letta, errore), qPrintable(errore));
    QCOMPARE(letta.size(), QSize(13, 9));
    QCOMPARE(letta.format(), QImage::Format_RGB32);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 13; ++x) {
            const int k = x + y;
            const QRgb atteso = bit == 8 ? qRgb(k / 2, 255 - k, k) : qRgb(10 * x, 20 * y, 7);
            QCOMPARE(letta.pixel(x, y), atteso);
        }
}

void TestFile::bitmapIllegibili_data()
{
    QTest::addColumn<QByteArray>("dati");
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImage(4, 4, QImage::Format_RGB32).save(&buffer, "png");
    }
    QByteArray enorme = Bitmap(4, 4, 24, false);
    enorme.replace(18, 8, QByteArray("\x40\x42\x0f\x00\x40\x42\x0f\x00", 8)); // 1000000 x 1000000
    QByteArray negativa = Bitmap(4, 4, 24, false);
    negativa.replace(18, 4, QByteArray("\xff\xff\xff\xff", 4)); // width -1
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("text") << QByteArray("this is not a picture");
    QTest::newRow("a PNG named .bmp") << png;
    QTest::newRow("header only") << Bitmap(8, 8, 24, false).left(30);
    QTest::newRow("rows cut short") << Bitmap(64, 64, 24, false).left(2000);
    QTest::newRow("last row missing") << Bitmap(64, 64, 24, false).chopped(64 * 3);
    QTest::newRow("one byte short") << Bitmap(64, 64, 24, false).chopped(1);
    QTest::newRow("top-down, one byte short") << Bitmap(64, 64, 24, true).chopped(1);
    QTest::newRow("a million pixels square") << enorme;
    QTest::newRow("negative width") << negativa;
}

void TestFile::bitmapIllegibili()
{
    QFETCH(QByteArray, dati);
    QTemporaryDir dir;
    const QString nome = Scrivi(dir, "rotto.bmp", dati);
    QImage letta(3, 3, QImage::Format_RGB32);
    letta.fill(Qt::green);
    QString errore;
    // A file cut short is refused like any other that cannot be read.
    QVERIFY(!LeggiBitmap(nome, letta, errore));
    QVERIFY(!errore.isEmpty());
    QCOMPARE(letta.pixel(1, 1), qRgb(0, 255, 0)); // untouched
    QString altro;
    QVERIFY(!LeggiBitmap(dir.filePath("manca.bmp"), letta, altro));
    QVERIFY(!altro.isEmpty());
}

void TestFile::parametriIllegibili()
{
    QTemporaryDir dir;
    CParametri par;
    par.SceltaMetodo = 0;
    QVERIFY(!LeggiFileParametri(dir.filePath("manca.bmp.Quillmere"), par));
    const QString lungo = Scrivi(dir, "lungo.Quillmere",
                                 QByteArray::fromStdString(TestoParametri(CParametri())) + QByteArray(300000, ' '));
    QVERIFY(!LeggiFileParametri(lungo, par));
    // Four corners of 20000 digits each fit.
    const QByteArray cifre(19999, '3');
    const QString profondo = Scrivi(dir, "profondo.Quillmere",
                                    "0.9 -0.1" + cifre + " 0.1" + cifre + " 0.2" + cifre + " 0.3" + cifre
                                        + " 8 8 10 0 1 0 1 -1.25 0 0.65 0.3");
    CParametri letti;
    QVERIFY(LeggiFileParametri(profondo, letti));
    QCOMPARE(int(letti.Finestra.Max.im.Precisione()), 66432);
    const QString rotto = Scrivi(dir, "rotto.Quillmere", "0.9 -2 -1.25 0.5");
    QVERIFY(!LeggiFileParametri(rotto, par));
    QCOMPARE(int(par.SceltaMetodo), 0);
}

void TestFile::scritturaImpossibile()
{
    QTemporaryDir dir;
    QImage immagine(8, 8, QImage::Format_RGB32);
    immagine.fill(Qt::blue);
    QString errore;
    QVERIFY(!ScriviBitmap(immagine, dir.filePath("manca/sfondo.bmp"), errore));
    QVERIFY(!errore.isEmpty());
    QVERIFY(!ScriviFileParametri(CParametri(), dir.filePath("manca/sfondo.bmp.Quillmere"), errore));
    QVERIFY(!QFile::exists(dir.filePath("manca")));
    // A null picture cannot be written: the good file already there stays.
    const QString nome = dir.filePath("buono.bmp");
    QVERIFY(ScriviBitmap(immagine, nome, errore));
    const QByteArray prima = [&] { QFile f(nome); f.open(QIODevice::ReadOnly); return f.readAll(); }();
    QVERIFY(!ScriviBitmap(QImage(), nome, errore));
    QFile f(nome);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), prima);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

void TestFile::formatoDalNome_data()
{
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QByteArray>("firma");
    QTest::newRow("a.png") << "a.png" << QByteArray("\x89PNG");
    QTest::newRow("a.PNG") << "a.PNG" << QByteArray("\x89PNG");
    QTest::newRow("a.bmp") << "a.bmp" << QByteArray("BM");
    QTest::newRow("no extension") << "a" << QByteArray("BM");
    QTest::newRow("a.png.old") << "a.png.old" << QByteArray("BM");
}

void TestFile::formatoDalNome()
{
    // Written and read back in the format the name gives, pixel for pixel.
    QFETCH(QString, nome);
    QFETCH(QByteArray, firma);
    QTemporaryDir dir;
    const QString percorso = dir.filePath(nome);
    QString errore;
    QVERIFY2(ScriviFigura(Campione(37, 21), percorso, errore), qPrintable(errore));
    QFile f(percorso);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.read(4).startsWith(firma));
    QImage letta;
    QVERIFY2(LeggiFigura(percorso, letta, errore), qPrintable(errore));
    QCOMPARE(letta.format(), QImage::Format_RGB32);
    QCOMPARE(letta, Campione(37, 21));
}

void TestFile::figureIllegibili_data()
{
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QByteArray>("dati");
    const QByteArray png = Png(Campione(64, 64));
    QByteArray alterato = png;
    alterato[png.size() / 2] = char(alterato[png.size() / 2] ^ 0x55);
    QTest::newRow("PNG cut in half") << "a.png" << png.left(png.size() / 2);
    QTest::newRow("PNG, image data cut short") << "a.png" << png.left(png.size() - 20);
    QTest::newRow("PNG, damaged data") << "a.png" << alterato;
    QTest::newRow("a bitmap named .png") << "a.png" << Bitmap(8, 8, 24, false);
    QTest::newRow("text named .png") << "a.png" << QByteArray("0.9\r\n-2\r\n");
    QTest::newRow("empty .png") << "a.png" << QByteArray();
    QTest::newRow("a PNG named .bmp") << "a.bmp" << png;
}

void TestFile::figureIllegibili()
{
    QFETCH(QString, nome);
    QFETCH(QByteArray, dati);
    QTemporaryDir dir;
    QImage letta(3, 3, QImage::Format_RGB32);
    letta.fill(Qt::green);
    QString errore;
    QVERIFY(!LeggiFigura(Scrivi(dir, nome, dati), letta, errore));
    QVERIFY(!errore.isEmpty());
    QCOMPARE(letta.pixel(1, 1), qRgb(0, 255, 0)); // untouched
}

void TestFile::nonFileNormali()
{
    // A folder and a pipe named as pictures and parameters files: refused
    // with a reason, and a pipe nobody writes to is not waited on.
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("cartella.png"));
    QVERIFY(QDir(dir.path()).mkdir("cartella.bmp.Quillmere"));
    const QString tubo = dir.filePath("tubo.bmp");
    QCOMPARE(::mkfifo(QFile::encodeName(tubo).constData(), 0600), 0);
    QCOMPARE(::mkfifo(QFile::encodeName(NomeFileParametri(tubo)).constData(), 0600), 0);
    for (const QString &nome : {dir.filePath("cartella.png"), tubo}) {
        QImage letta;
        QString errore;
        QVERIFY(!LeggiFigura(nome, letta, errore));
        QVERIFY(!errore.isEmpty());
        QVERIFY(letta.isNull());
    }
    CParametri par;
    QVERIFY(!LeggiFileParametri(dir.filePath("cartella.bmp.Quillmere"), par));
    QVERIFY(!LeggiFileParametri(NomeFileParametri(tubo), par));
}

QTEST_GUILESS_MAIN(TestFile)
#include "tst_file.moc"
