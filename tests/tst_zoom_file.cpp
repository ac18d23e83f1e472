// Zooming by a drag over a document's picture, and saving and opening
// pictures with their parameters files, through the program's windows.

#include "Applicazione.h"
#include "Errore.h"
#include "FileDocumento.h"
#include "FileParametri.h"
#include "FormContenitore.h"
#include "Immagine.h"
#include "Numeri.h"
#include "MDIChild.h"

#include "SupportoUi.h"

#include <QtTest>

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

#include <cmath>
#include <deque>
#include <iomanip>
#include <memory>
#include <sstream>

Q_DECLARE_METATYPE(long double)

namespace {

const QString FileNonValido = QStringLiteral("Il file dei parametri NON è valido!");
// A limit that keeps the default Mandelbrot drawing for minutes: such a
// drawing is always stopped by the test.
const QString LimiteLento = QStringLiteral("2147483647");

// The file of a new document drawn once at 256 x 256 with all defaults.
const QByteArray FilePredefinito = "0.9\r\n-2\r\n-1.25\r\n0.5\r\n1.25\r\n256\r\n256\r\n120\r\n"
                                   "0\r\n1\r\n0\r\n1\r\n-1.25\r\n0\r\n0.65\r\n0.3\r\n";

// The pixels a selection centred on (x, y), l x a pixels, inverts: from
// (x - l/2, y - a/2) up to, not including, (x + l/2, y + a/2).
QRect Rettangolo(int x, int y, int l, int a)
{
    return QRect(x - l / 2, y - a / 2, 2 * (l / 2), 2 * (a / 2));
}

// The picture with every pixel inside an odd number of the rectangles inverted.
QImage Invertita(const QImage &figura, const QList<QRect> &rettangoli)
{
    QImage attesa = figura.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < attesa.height(); ++y)
        for (int x = 0; x < attesa.width(); ++x) {
            int volte = 0;
            for (const QRect &r : rettangoli)
                volte += r.contains(x, y) ? 1 : 0;
            if (volte % 2)
                attesa.setPixel(x, y, attesa.pixel(x, y) ^ 0xFFFFFF);
        }
    return attesa;
}

bool ScriviFile(const QString &nome, const QByteArray &dati)
{
    QFile file(nome);
    return file.open(QIODevice::WriteOnly) && file.write(dati) == dati.size();
}

// A picture with a different colour in every pixel of its corners.
QImage Campione(int larghezza, int altezza)
{
    QImage figura(larghezza, altezza, QImage::Format_RGB32);
    for (int y = 0; y < altezza; ++y)
        for (int x = 0; x < larghezza; ++x)
            figura.setPixel(x, y, qRgb(x * 7 % 256, y * 13 % 256, (x + y) % 256));
    return figura;
}

// The settings of a new document, as its parameters file would hold them.
void ControllaComeNuovo(TMDIChild *d)
{
    const CParametri nuovo;
    const CParametri p = d->Parametri();
    QVERIFY(p.Finestra.Min == nuovo.Finestra.Min);
    QVERIFY(p.Finestra.Max == nuovo.Finestra.Max);
    QCOMPARE(p.Finestra.Larghezza, 256);
    QCOMPARE(p.Finestra.Altezza, 256);
    QCOMPARE(p.Finestra.MaxIterazioni, 120);
    QCOMPARE(p.SceltaFrattale, int8_t(0));
    QCOMPARE(p.SceltaInterno, int8_t(1));
    QCOMPARE(p.SceltaEsterno, int8_t(0));
    QCOMPARE(p.SceltaMetodo, int8_t(1));
    QVERIFY(p.FrattaleJulia.Param == nuovo.FrattaleJulia.Param);
    QVERIFY(p.FrattaleVolterraLotka.Param1 == nuovo.FrattaleVolterraLotka.Param1);
    QVERIFY(p.FrattaleVolterraLotka.Param2 == nuovo.FrattaleVolterraLotka.Param2);
}

} // namespace

class TestZoomFile : public CProvaFinestre
{
    Q_OBJECT

public:
    TestZoomFile() { Dimensioni = QSize(1200, 900); }

private:
    std::unique_ptr<QTemporaryDir> Cartella;

    QString Percorso(const QString &nome) const { return Cartella->filePath(nome); }

    // A drag on the document's picture with that button: press, moves,
    // release. Returns the document the zoom opened, once it has drawn.
    TMDIChild *Trascina(TMDIChild *d, QPoint da, const QList<QPoint> &mosse,
                        Qt::MouseButton pulsante = Qt::LeftButton)
    {
        const int prima = NumeroDocumenti();
        QTest::mousePress(Immagine(d), pulsante, {}, da);
        for (const QPoint &p : mosse)
            QTest::mouseMove(Immagine(d), p);
        QTest::mouseRelease(Immagine(d), pulsante, {}, mosse.isEmpty() ? da : mosse.last());
        if (NumeroDocumenti() != prima + 1 || !Finito(Ultimo()))
            return nullptr;
        return Ultimo();
    }

    // Opens a file through File > Open: a new document, numbered, which loads it.
    TMDIChild *Apri(const QString &nome, std::initializer_list<Azione> dopo = {})
    {
        std::deque<Azione> risposte{Nome(QFileInfo(nome).absolutePath(), nome)};
        risposte.insert(risposte.end(), dopo.begin(), dopo.end());
        Risponditore.Rispondi(std::move(risposte));
        const int prima = NumeroDocumenti();
        Comando("FileOpenItem")->trigger();
        if (!QTest::qWaitFor([&] { return Risponditore.Risposto() && !QApplication::activeModalWidget(); }))
            return nullptr;
        return NumeroDocumenti() == prima + 1 ? Attivo() : nullptr;
    }

private slots:
    void init()
    {
        Cartella = std::make_unique<QTemporaryDir>();
        QVERIFY(Cartella->isValid());
        CProvaFinestre::init();
    }

    void cleanup()
    {
        CProvaFinestre::cleanup();
        Cartella.reset();
    }

    // ---- Zoom -------------------------------------------------------------

    // On the default window (-2 .. 0.5 x -1.25 .. 1.25) at 256 x 256 a pixel
    // is 2.5 / 256 = 0.009765625 wide and high; the new window reaches hw
    // pixels left and right of the press point and hh up and down.
    void zoom_data()
    {
        QTest::addColumn<int>("pulsante");
        QTest::addColumn<QPoint>("da");
        QTest::addColumn<QList<QPoint>>("mosse");
        QTest::addColumn<QSize>("rettangolo");
        QTest::addColumn<long double>("xMin");
        QTest::addColumn<long double>("xMax");
        QTest::addColumn<long double>("yMin");
        QTest::addColumn<long double>("yMax");
        QTest::addColumn<long double>("tolleranza");
        // What X Min and Y Max show: 15 digits, whatever the last bits.
        QTest::addColumn<QStringList>("testi");
        // 5 x 5: 4 pixels wide and high about (-0.75, 0).
        QTest::newRow("click without a drag") << int(Qt::LeftButton) << QPoint(128, 128) << QList<QPoint>{}
                                              << QSize(5, 5) << -0.76953125L << -0.73046875L << -0.01953125L
                                              << 0.01953125L << 0.0L << QStringList{"-0.76953125", "0.01953125"};
        // Width 128 wins over height 64: 128 x 128, 64 pixels to each side.
        QTest::newRow("128 x 128") << int(Qt::LeftButton) << QPoint(128, 128) << QList<QPoint>{QPoint(192, 160)}
                                   << QSize(128, 128) << -1.375L << -0.125L << -0.625L << 0.625L << 0.0L
                                   << QStringList{"-1.375", "0.625"};
        QTest::newRow("right button") << int(Qt::RightButton) << QPoint(128, 128)
                                      << QList<QPoint>{QPoint(200, 140), QPoint(192, 160)} << QSize(128, 128)
                                      << -1.375L << -0.125L << -0.625L << 0.625L << 0.0L
                                      << QStringList{"-1.375", "0.625"};
        // The height wins: 32 wide, 64 high, so 64 x 64.
        QTest::newRow("height wins, moving up-left") << int(Qt::LeftButton) << QPoint(128, 128)
                                                     << QList<QPoint>{QPoint(112, 96)} << QSize(64, 64)
                                                     << -1.0625L << -0.4375L << -0.3125L << 0.3125L << 0.0L
                                                     << QStringList{"-1.0625", "0.3125"};
        // 6 x 2, then 6 x 6, then the 10-pixel minimum: 5 pixels to each side
        // (256 / 5 is no binary fraction: the last bits are the arithmetic's).
        QTest::newRow("3 pixels: 10 x 10") << int(Qt::LeftButton) << QPoint(128, 128)
                                           << QList<QPoint>{QPoint(131, 129)} << QSize(10, 10) << -0.798828125L
                                           << -0.701171875L << -0.048828125L << 0.048828125L << 1e-18L
                                           << QStringList{"-0.798828125", "0.048828125"};
        // Press at the top edge: the centre is the old window's top, y2 = 1.25.
        QTest::newRow("top edge") << int(Qt::LeftButton) << QPoint(128, 0) << QList<QPoint>{} << QSize(5, 5)
                                  << -0.76953125L << -0.73046875L << 1.23046875L << 1.26953125L << 0.0L
                                  << QStringList{"-0.76953125", "1.26953125"};
        // Past the right edge, with the pointer outside the picture: centre
        // 250 pixels right of -2, 64 pixels to each side.
        QTest::newRow("past the edge") << int(Qt::LeftButton) << QPoint(250, 128)
                                       << QList<QPoint>{QPoint(280, 130), QPoint(314, 128)} << QSize(128, 128)
                                       << -0.18359375L << 1.06640625L << -0.625L << 0.625L << 0.0L
                                       << QStringList{"-0.18359375", "0.625"};
    }
    void zoom()
    {
        QFETCH(int, pulsante);
        QFETCH(QPoint, da);
        QFETCH(QList<QPoint>, mosse);
        QFETCH(QSize, rettangolo);
        QFETCH(long double, xMin);
        QFETCH(long double, xMax);
        QFETCH(long double, yMin);
        QFETCH(long double, yMax);
        QFETCH(long double, tolleranza);
        QFETCH(QStringList, testi);
        TMDIChild *sorgente = Attivo();
        Disegna();
        const QImage disegnata = Immagine(sorgente)->Bitmap();
        const CParametri primaDelloZoom = sorgente->Parametri();

        TMDIChild *nuovo = Trascina(sorgente, da, mosse, Qt::MouseButton(pulsante));
        QVERIFY(nuovo);
        QVERIFY(nuovo != sorgente);
        QCOMPARE(sorgente->Selezione().Larghezza, rettangolo.width());
        QCOMPARE(sorgente->Selezione().Altezza, rettangolo.height());
        QVERIFY(!sorgente->Selezione().InSelezione);

        // The new document: captioned by the open documents, active, 256 x 256, drawn.
        QCOMPARE(Didascalia(nuovo), QStringLiteral("Finestra 2"));
        QCOMPARE(Attivo(), nuovo);
        QCOMPARE(Immagine(nuovo)->size(), QSize(256, 256));
        const CBloccoFinestra &area = nuovo->Parametri().Finestra;
        const auto uguale = [tolleranza](long double a, long double b) {
            return tolleranza == 0.0L ? a == b : std::fabs(a - b) <= tolleranza;
        };
        QVERIFY(uguale(area.Min.re.Esteso(), xMin));
        QVERIFY(uguale(area.Max.re.Esteso(), xMax));
        QVERIFY(uguale(area.Min.im.Esteso(), yMin));
        QVERIFY(uguale(area.Max.im.Esteso(), yMax));
        QCOMPARE(area.MaxIterazioni, 120);
        ControllaDopo(nuovo);
        QCOMPARE(PixelDiversi(Immagine(nuovo)->Bitmap(), Renderer(nuovo->Parametri())), 0);
        // The panels show it.
        QCOMPARE(Campo("EditXMin")->text(), testi[0]);
        QCOMPARE(Campo("EditYMax")->text(), testi[1]);

        // The source keeps its settings; its picture keeps the last rectangle,
        // inverted, and stays unstretched until it is drawn again.
        const CParametri dopo = sorgente->Parametri();
        QVERIFY(dopo.Finestra.Min == primaDelloZoom.Finestra.Min && dopo.Finestra.Max == primaDelloZoom.Finestra.Max);
        QCOMPARE(dopo.Finestra.MaxIterazioni, 120);
        QVERIFY(!Immagine(sorgente)->Stirata());
        const QRect r = Rettangolo(da.x(), da.y(), rettangolo.width(), rettangolo.height());
        QCOMPARE(Immagine(sorgente)->Bitmap(), Invertita(disegnata, {r}));
        Attiva(sorgente);
        Disegna();
        QVERIFY(Immagine(sorgente)->Stirata());
        QCOMPARE(Immagine(sorgente)->Bitmap(), disegnata);
    }

    void rettangoloDellaPressione()
    {
        // The press shows 5 x 5 (4 x 4 pixels inverted); every move erases the
        // last rectangle exactly before it draws the next one.
        TMDIChild *d = Attivo();
        Disegna();
        const QImage disegnata = Immagine(d)->Bitmap();
        QTest::mousePress(Immagine(d), Qt::LeftButton, {}, QPoint(40, 50));
        QVERIFY(d->Selezione().InSelezione);
        QCOMPARE(Immagine(d)->Bitmap(), Invertita(disegnata, {QRect(38, 48, 4, 4)}));
        const QList<QPoint> mosse = {QPoint(60, 60), QPoint(-30, 300), QPoint(41, 50), QPoint(90, 70),
                                     QPoint(40, 50)};
        for (const QPoint &p : mosse) {
            QTest::mouseMove(Immagine(d), p);
            CSelezione atteso{40, 50, 5, 5};
            atteso.Ridimensiona(p.x(), p.y(), 256, 256);
            QCOMPARE(d->Selezione().Larghezza, atteso.Larghezza);
            QCOMPARE(d->Selezione().Altezza, atteso.Altezza);
            QCOMPARE(Immagine(d)->Bitmap(),
                     Invertita(disegnata, {Rettangolo(40, 50, atteso.Larghezza, atteso.Altezza)}));
        }
        // Back at the press point: the 10 x 10 minimum.
        QCOMPARE(d->Selezione().Larghezza, 10);
        // The rectangle drawn once more by hand goes away: exclusive-or.
        d->DisegnaSelezione();
        QCOMPARE(Immagine(d)->Bitmap(), disegnata);
        d->DisegnaSelezione();
        // A second button during the selection changes nothing.
        QTest::mousePress(Immagine(d), Qt::RightButton, {}, QPoint(200, 200));
        QCOMPARE(d->Selezione().X, 40);
        QCOMPARE(Immagine(d)->Bitmap(), Invertita(disegnata, {QRect(35, 45, 10, 10)}));
        QTest::mouseRelease(Immagine(d), Qt::LeftButton, {}, QPoint(40, 50));
        QTRY_COMPARE(NumeroDocumenti(), 2);
        // The other button's release finds no selection: no second region.
        QTest::mouseRelease(Immagine(d), Qt::RightButton, {}, QPoint(200, 200));
        QCoreApplication::processEvents();
        QCOMPARE(NumeroDocumenti(), 2);
        QVERIFY(Finito(Attivo()));
    }

    void selezioneInterrotta()
    {
        // Enter draws the document while the button is still held: the
        // drawing takes the control away, and the selection ends with it.
        TMDIChild *d = Attivo();
        Disegna();
        QTest::mousePress(Immagine(d), Qt::LeftButton, {}, QPoint(60, 60));
        QTest::mouseMove(Immagine(d), QPoint(90, 90));
        QVERIFY(d->Selezione().InSelezione);
        QTest::keyClick(Campo("EditXMin"), Qt::Key_Return);
        QVERIFY(!d->Selezione().InSelezione);
        QVERIFY(Finito(d));
        const QImage disegnata = Immagine(d)->Bitmap();
        QCOMPARE(PixelDiversi(disegnata, Renderer(d->Parametri())), 0);
        // The release it never got changes nothing.
        QTest::mouseMove(Immagine(d), QPoint(120, 120));
        QTest::mouseRelease(Immagine(d), Qt::LeftButton, {}, QPoint(120, 120));
        QCoreApplication::processEvents();
        QCOMPARE(NumeroDocumenti(), 1);
        QCOMPARE(Immagine(d)->Bitmap(), disegnata);
        // The next drag zooms as always.
        TMDIChild *nuovo = Trascina(d, QPoint(128, 128), {QPoint(192, 160)});
        QVERIFY(nuovo);
        QVERIFY(nuovo->Parametri().Finestra.Min == (Complesso{-1.375L, -0.625L}));

        // A release lost otherwise (the pointer taken by another window):
        // the next press erases the old rectangle and starts afresh.
        const QImage conRettangolo = Immagine(d)->Bitmap();
        d->ImmagineMouseDown(Qt::LeftButton, Qt::LeftButton, {}, 40, 40);
        QCOMPARE(Immagine(d)->Bitmap(), Invertita(conRettangolo, {QRect(38, 38, 4, 4)}));
        d->ImmagineMouseDown(Qt::RightButton, Qt::RightButton, {}, 100, 100);
        QCOMPARE(Immagine(d)->Bitmap(), Invertita(conRettangolo, {QRect(98, 98, 4, 4)}));
        d->ImmagineMouseUp(Qt::RightButton, Qt::NoButton, {}, 100, 100);
        QTRY_COMPARE(NumeroDocumenti(), 3);
        QVERIFY(Finito(Attivo()));
        // Centred on the second press.
        QVERIFY(Attivo()->Parametri().Finestra.Min.re == 100 * 0.009765625L - 2.0L - 2 * 0.009765625L);
    }

    void rettangoliSovrapposti()
    {
        // Two zooms from the same source before it is drawn again: where the
        // two rectangles overlap the pixels are inverted twice.
        TMDIChild *sorgente = Attivo();
        Disegna();
        const QImage disegnata = Immagine(sorgente)->Bitmap();
        // 64 x 64 each (the widths win), from 68 to 131 and from 88 to 151.
        TMDIChild *primo = Trascina(sorgente, QPoint(100, 100), {QPoint(132, 110)});
        QVERIFY(primo);
        QCOMPARE(Attivo(), primo);
        // The press on the source, not the active document, makes it the source again.
        TMDIChild *secondo = Trascina(sorgente, QPoint(120, 120), {QPoint(152, 125)});
        QVERIFY(secondo);
        QCOMPARE(Didascalia(secondo), QStringLiteral("Finestra 3"));
        const QImage atteso = Invertita(disegnata, {QRect(68, 68, 64, 64), QRect(88, 88, 64, 64)});
        QCOMPARE(Immagine(sorgente)->Bitmap(), atteso);
        // The overlap is as drawn, both rectangles elsewhere inverted.
        QCOMPARE(Immagine(sorgente)->Bitmap().pixel(100, 100), disegnata.pixel(100, 100));
        QCOMPARE(Immagine(sorgente)->Bitmap().pixel(70, 70), disegnata.pixel(70, 70) ^ 0xFFFFFF);
        QCOMPARE(Immagine(sorgente)->Bitmap().pixel(150, 150), disegnata.pixel(150, 150) ^ 0xFFFFFF);
        // Both regions came from the source's window.
        const long double passo = 0.009765625L;
        QVERIFY(primo->Parametri().Finestra.Min == (Complesso{-2.0L + 68 * passo, 1.25L - 132 * passo}));
        QVERIFY(secondo->Parametri().Finestra.Max == (Complesso{-2.0L + 152 * passo, 1.25L - 88 * passo}));
    }

    void numerazione()
    {
        // New numbers by its own counter, a zoom by the open documents.
        TMDIChild *uno = Attivo();
        Comando("FileNewItem")->trigger();
        TMDIChild *due = Attivo();
        const QString didascaliaDue = QStringLiteral("Finestra %1").arg(Finestra->ContatoreFinestre - 1);
        QCOMPARE(Didascalia(due), didascaliaDue);
        TMDIChild *tre = Trascina(due, QPoint(128, 128), {});
        QVERIFY(tre);
        QCOMPARE(Didascalia(tre), QStringLiteral("Finestra 3"));

        // Only the second one left open: the zoom counts it and itself.
        Chiudi(uno);
        Chiudi(tre);
        TMDIChild *quattro = Trascina(due, QPoint(10, 10), {});
        QVERIFY(quattro);
        QCOMPARE(Didascalia(quattro), QStringLiteral("Finestra 2"));
        QCOMPARE(Didascalia(due), didascaliaDue);
        // New keeps its own count.
        const int n = Finestra->ContatoreFinestre;
        Comando("FileNewItem")->trigger();
        QCOMPARE(Didascalia(Attivo()), QStringLiteral("Finestra %1").arg(n));
    }

    void dalDocumentoGrande()
    {
        // A 512 x 512 document: pixels half as wide, and the new document 256 x 256.
        TMDIChild *sorgente = Attivo();
        sorgente->ImpostaDimensioni(512, 512);
        QCOMPARE(Immagine(sorgente)->size(), QSize(512, 512));
        Disegna();
        QCOMPARE(sorgente->AreaDisegno.Larghezza, 512);
        TMDIChild *nuovo = Trascina(sorgente, QPoint(256, 256), {});
        QVERIFY(nuovo);
        QCOMPARE(Immagine(nuovo)->size(), QSize(256, 256));
        QCOMPARE(Immagine(nuovo)->Bitmap().size(), QSize(256, 256));
        QCOMPARE(nuovo->AreaDisegno.Larghezza, 256);
        // 2 pixels of 2.5 / 512 on each side of (-0.75, 0).
        QVERIFY(nuovo->Parametri().Finestra.Min == (Complesso{-0.759765625L, -0.009765625L}));
        QVERIFY(nuovo->Parametri().Finestra.Max == (Complesso{-0.740234375L, 0.009765625L}));
    }

    void ingrandito()
    {
        // Drawn at 256, then enlarged to 512 without drawing: the press makes
        // the picture 512 x 512 as shown, each drawn pixel over 2 x 2, and the
        // area 512 x 512 while its buffer keeps the drawing's size.
        TMDIChild *d = Attivo();
        Disegna();
        const QImage disegnata = Immagine(d)->Bitmap();
        const uint64_t celle = d->AreaDisegno.CelleBuffer();
        d->ImpostaDimensioni(512, 512);
        QVERIFY(Immagine(d)->Stirata());
        QTest::mousePress(Immagine(d), Qt::LeftButton, {}, QPoint(300, 300));
        QCOMPARE(d->AreaDisegno.Larghezza, 512);
        QCOMPARE(d->AreaDisegno.Altezza, 512);
        QCOMPARE(d->AreaDisegno.CelleBuffer(), celle);
        QImage scalata(512, 512, QImage::Format_RGB32);
        for (int y = 0; y < 512; ++y)
            for (int x = 0; x < 512; ++x)
                scalata.setPixel(x, y, disegnata.pixel(x / 2, y / 2));
        QCOMPARE(Immagine(d)->Bitmap(), Invertita(scalata, {QRect(298, 298, 4, 4)}));
        QTest::mouseRelease(Immagine(d), Qt::LeftButton, {}, QPoint(300, 300));
        QTRY_COMPARE(NumeroDocumenti(), 2);
        TMDIChild *nuovo = Attivo();
        QVERIFY(Finito(nuovo));
        // 2 pixels of 2.5 / 512 on each side of the point under (300, 300).
        const long double passo = 2.5L / 512;
        QVERIFY(nuovo->Parametri().Finestra.Min.re == 300 * passo - 2.0L - 2 * passo);
        // The source repainted from its buffer before its next drawing stays
        // inside the buffer (its rows no longer match).
        Attiva(d);
        Comando("WindowRedrawItem")->trigger();
        QCOMPARE(Immagine(d)->Bitmap().size(), QSize(512, 512));
    }

    void impostazioniDallaSorgente()
    {
        // The source's stored settings pass on, not what the panels show.
        TMDIChild *sorgente = Attivo();
        ScegliFrattale(1);
        Elenco("ComboBoxColoreInterno")->setCurrentIndex(0);
        Scrivi(Campo("EditMaxIterazioni"), QStringLiteral("200"));
        Scrivi(Campo("EditXMin"), QStringLiteral("-2"));
        Scrivi(Campo("EditXMax"), QStringLiteral("2"));
        Scrivi(Campo("EditYMin"), QStringLiteral("-2"));
        Scrivi(Campo("EditYMax"), QStringLiteral("2"));
        Scrivi(Campo("EditParam1"), QStringLiteral("0.285"));
        Scrivi(Campo("EditParam2"), QStringLiteral("0.01"));
        CParametri p = sorgente->Parametri();
        p.SceltaMetodo = 0;
        p.FrattaleVolterraLotka.Param1 = 0.125L;
        p.FrattaleVolterraLotka.Param2 = 0.375L;
        sorgente->ImpostaParametri(p);
        sorgente->Disegno.DisegnatoreBlocco.Livelli = 5;
        Disegna();
        // Shown and not stored: another formula, with its parameters.
        ScegliFrattale(2);
        QCOMPARE(Campo("EditParam1")->text(), QStringLiteral("0.125"));
        Elenco("ComboBoxColoreInterno")->setCurrentIndex(1);
        Scrivi(Campo("EditMaxIterazioni"), QStringLiteral("999"));
        Scrivi(Campo("EditParam1"), QStringLiteral("0.5"));
        Scrivi(Campo("EditXMin"), QStringLiteral("-9"));

        TMDIChild *nuovo = Trascina(sorgente, QPoint(128, 128), {QPoint(192, 192)});
        QVERIFY(nuovo);
        const CParametri &n = nuovo->Parametri();
        QCOMPARE(n.SceltaFrattale, int8_t(1));
        QCOMPARE(n.SceltaInterno, int8_t(0));
        QCOMPARE(n.SceltaMetodo, int8_t(0));
        QVERIFY(n.FrattaleJulia.Param == (Complesso{0.285L, 0.01L}));
        QCOMPARE(n.FrattaleVolterraLotka.Param1, 0.125L);
        QCOMPARE(n.FrattaleVolterraLotka.Param2, 0.375L);
        QCOMPARE(n.Finestra.MaxIterazioni, 200);
        // 4 / 256 per pixel, 64 to each side of the centre (0, 0).
        QVERIFY(n.Finestra.Min == (Complesso{-1.0L, -1.0L}));
        QVERIFY(n.Finestra.Max == (Complesso{1.0L, 1.0L}));
        // Not taken: the block method's settings. Drawn with the choices taken.
        QCOMPARE(nuovo->Disegno.DisegnatoreBlocco.Livelli, 3);
        QVERIFY(nuovo->AreaDisegno.Frattale == &nuovo->Disegno.Parametri.FrattaleJulia);
        QVERIFY(nuovo->AreaDisegno.Interno == &nuovo->Disegno.ColoratoreSolido);
        // The panels show the new document; it drew what the renderer draws.
        QCOMPARE(Elenco("ComboBoxFrattale")->currentIndex(), 1);
        QCOMPARE(Elenco("ComboBoxColoreInterno")->currentIndex(), 0);
        QCOMPARE(Campo("EditMaxIterazioni")->text(), QStringLiteral("200"));
        QCOMPARE(Campo("EditParam1")->text(), QStringLiteral("0.285"));
        QCOMPARE(PixelDiversi(Immagine(nuovo)->Bitmap(), Renderer(n)), 0);
        // The source is as it was.
        QCOMPARE(sorgente->Parametri().SceltaFrattale, int8_t(1));
        QCOMPARE(sorgente->Parametri().SceltaInterno, int8_t(0));
        QCOMPARE(sorgente->Parametri().Finestra.MaxIterazioni, 200);
    }

    void zoomDuranteUnDisegno()
    {
        // A zoom in an idle document while another draws: the region draws
        // beside it and ends on its own, the other one goes on until stopped.
        // The drawing document's picture takes no press.
        TMDIChild *primo = Attivo();
        Scrivi(Campo("EditMaxIterazioni"), LimiteLento);
        Ridisegna();
        QVERIFY(!Immagine(primo)->isEnabled());
        QTest::mousePress(Immagine(primo), Qt::LeftButton, {}, QPoint(50, 50));
        QVERIFY(!primo->Selezione().InSelezione);
        QTest::mouseRelease(Immagine(primo), Qt::LeftButton, {}, QPoint(50, 50));
        QCOMPARE(NumeroDocumenti(), 1);
        Comando("FileNewItem")->trigger();
        TMDIChild *terzo = Trascina(Attivo(), QPoint(128, 128), {QPoint(160, 160)});
        QVERIFY(terzo);
        QCOMPARE(Didascalia(terzo), QStringLiteral("Finestra 3"));
        QCOMPARE(PixelDiversi(Immagine(terzo)->Bitmap(), Renderer(terzo->Parametri())), 0);
        ControllaAspettoLibero();
        const int64_t tempo = primo->TempoImpiegato();
        QTRY_VERIFY(primo->TempoImpiegato() > tempo);
        QVERIFY(primo->InCalcolo());
        Attiva(primo);
        QVERIFY(AspettoOccupato());
        Ferma();
        QVERIFY(!primo->InCalcolo());
    }

    void chiusaLaSorgenteDuranteIlDisegno()
    {
        // The source closes while the region it opened draws: the drawing
        // goes on, and stops when asked.
        TMDIChild *sorgente = Attivo();
        Scrivi(Campo("EditMaxIterazioni"), LimiteLento);
        Finestra->PannelliADocumento();
        QTest::mouseClick(Immagine(sorgente), Qt::LeftButton, {}, QPoint(128, 128));
        QCOMPARE(NumeroDocumenti(), 2);
        TMDIChild *nuovo = Ultimo();
        QVERIFY(nuovo->InCalcolo());
        Chiudi(sorgente);
        QCOMPARE(Attivo(), nuovo);
        const int64_t tempo = nuovo->TempoImpiegato();
        QTRY_VERIFY(nuovo->TempoImpiegato() > tempo);
        QVERIFY(nuovo->InCalcolo());
        QVERIFY(AspettoOccupato());
        Ferma();
        QVERIFY(!nuovo->InCalcolo());
        ControllaDopo(nuovo);
    }

    // ---- Saving -------------------------------------------------------------

    void filePredefinito()
    {
        TMDIChild *d = Attivo();
        Disegna();
        const QString nome = Percorso(QStringLiteral("sfondo.bmp"));
        QVERIFY(d->SalvaCome(nome));
        QCOMPARE(LeggiTutto(nome + QStringLiteral(".Quillmere")), FilePredefinito);
        // The bitmap holds the picture exactly.
        QCOMPARE(PixelDiversi(QImage(nome, "bmp").convertToFormat(QImage::Format_RGB32), Immagine(d)->Bitmap()), 0);
        QCOMPARE(QDir(Cartella->path()).entryList(QDir::Files),
                 (QStringList{QStringLiteral("sfondo.bmp"), QStringLiteral("sfondo.bmp.Quillmere")}));
        // Saved again over them: both replaced, no question.
        CParametri p = d->Parametri();
        p.Finestra.MaxIterazioni = 77;
        d->ImpostaParametri(p);
        QVERIFY(d->SalvaCome(nome));
        QVERIFY(LeggiTutto(nome + QStringLiteral(".Quillmere")).contains("\r\n77\r\n"));
        QCOMPARE(QDir(Cartella->path()).entryList(QDir::Files).size(), 2);
    }

    void dialogoDelDocumento()
    {
        // The document's save dialog; it builds no other.
        QCOMPARE(Attivo()->findChildren<QFileDialog *>().size(), 1);
        auto *dialogo = Attivo()->Elemento<QFileDialog>(QStringLiteral("SaveDialog1"));
        QVERIFY(dialogo);
        QCOMPARE(dialogo->windowTitle(), QStringLiteral("Nome con cui salvare ?"));
        // Shown as "Bitmap", "PNG" and "All"; "All" shows names without a dot too.
        QCOMPARE(dialogo->nameFilters(), (QStringList{QStringLiteral("Bitmap (*.bmp)"), QStringLiteral("PNG (*.png)"),
                                                      QStringLiteral("All (*)")}));
        QCOMPARE(dialogo->selectedNameFilter(), QStringLiteral("Bitmap"));
        QVERIFY(dialogo->testOption(QFileDialog::HideNameFilterDetails));
        QCOMPARE(dialogo->defaultSuffix(), QStringLiteral("bmp"));
        QCOMPARE(dialogo->acceptMode(), QFileDialog::AcceptSave);
        QCOMPARE(dialogo->fileMode(), QFileDialog::AnyFile);
        QVERIFY(!dialogo->testOption(QFileDialog::DontConfirmOverwrite));

        // Closed while the completion list of its name field shows, it
        // leaves no list behind to hold the keyboard.
        Risponditore.Rispondi([](QWidget *modale) {
            auto *completamento = modale->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->completer();
            QVERIFY(completamento);
            completamento->popup()->show();
            QVERIFY(QApplication::activePopupWidget());
            static_cast<QDialog *>(modale)->reject();
        });
        dialogo->exec();
        QVERIFY(Risponditore.Risposto());
        QVERIFY(!QApplication::activePopupWidget());
    }

    void salvaDalMenu()
    {
        TMDIChild *d = Attivo();
        Disegna();
        const QString cartella = Cartella->path();
        // Cancelled: nothing written.
        Risponditore.Rispondi({[](QWidget *modale) {
            QVERIFY(qobject_cast<QFileDialog *>(modale));
            static_cast<QDialog *>(modale)->reject();
        }});
        Comando("FileSaveItem")->trigger();
        QCOMPARE(Risponditore.Risposti(), 1);
        QVERIFY(QDir(cartella).entryList(QDir::Files).isEmpty());

        // A name without an extension gets ".bmp", and its parameters file.
        Risponditore.Rispondi({Nome(cartella, QStringLiteral("sfondo"))});
        Comando("FileSaveAsItem")->trigger();
        QCOMPARE(Risponditore.Risposti(), 1);
        QCOMPARE(QDir(cartella).entryList(QDir::Files),
                 (QStringList{QStringLiteral("sfondo.bmp"), QStringLiteral("sfondo.bmp.Quillmere")}));
        QCOMPARE(LeggiTutto(Percorso(QStringLiteral("sfondo.bmp.Quillmere"))), FilePredefinito);

        // In a folder that does not exist: refused, the dialog stays for another name.
        Risponditore.Rispondi({Nome(cartella, QStringLiteral("manca/sfondo")),
                  [](QWidget *modale) {
                      auto *avviso = qobject_cast<QMessageBox *>(modale);
                      QVERIFY(avviso);
                      QVERIFY(avviso->text().contains(QStringLiteral("manca")));
                      avviso->button(QMessageBox::Ok)->click();
                  },
                  [](QWidget *modale) {
                      QVERIFY(qobject_cast<QFileDialog *>(modale));
                      static_cast<QDialog *>(modale)->reject();
                  }});
        Comando("SaveBtn")->trigger();
        QCOMPARE(Risponditore.Risposti(), 3);
        QVERIFY(!QFileInfo::exists(Percorso(QStringLiteral("manca"))));

        // Over an existing picture: asked; Yes replaces both files.
        CParametri p = d->Parametri();
        p.Finestra.MaxIterazioni = 55;
        d->ImpostaParametri(p);
        Risponditore.Rispondi({Nome(cartella, QStringLiteral("sfondo.bmp")), [](QWidget *modale) {
                      auto *domanda = qobject_cast<QMessageBox *>(modale);
                      QVERIFY(domanda);
                      QVERIFY(domanda->text().contains(QStringLiteral("sfondo.bmp")));
                      domanda->button(QMessageBox::Yes)->click();
                  }});
        Comando("FileSaveItem")->trigger();
        QCOMPARE(Risponditore.Risposti(), 2);
        QVERIFY(LeggiTutto(Percorso(QStringLiteral("sfondo.bmp.Quillmere"))).contains("\r\n55\r\n"));
    }

    void png()
    {
        // Saved through the menu with "PNG" chosen: a name typed without an
        // extension takes ".png", its parameters file goes beside it, and
        // File > Open brings both back.
        TMDIChild *d = Attivo();
        Scrivi(Campo("EditMaxIterazioni"), QStringLiteral("90"));
        Disegna();
        const QImage salvata = Immagine(d)->Bitmap();
        const Azione nome = Nome(Cartella->path(), QStringLiteral("sfondo"));
        Risponditore.Rispondi([nome](QWidget *modale) {
            auto *dialogo = qobject_cast<QFileDialog *>(modale);
            QVERIFY(dialogo);
            dialogo->selectNameFilter(QStringLiteral("PNG (*.png)"));
            nome(modale);
        });
        Comando("FileSaveItem")->trigger();
        QVERIFY(Risponditore.Risposto());
        QCOMPARE(QDir(Cartella->path()).entryList(QDir::Files),
                 (QStringList{QStringLiteral("sfondo.png"), QStringLiteral("sfondo.png.Quillmere")}));
        const QString png = Percorso(QStringLiteral("sfondo.png"));
        QVERIFY(LeggiTutto(png).startsWith("\x89PNG"));
        QVERIFY(LeggiTutto(png + QStringLiteral(".Quillmere")).contains("\r\n90\r\n"));

        TMDIChild *aperto = Apri(png);
        QVERIFY(aperto);
        QCOMPARE(Immagine(aperto)->Bitmap(), salvata);
        QCOMPARE(aperto->Parametri().Finestra.MaxIterazioni, 90);
    }

    void ultimaCartella()
    {
        // The folder of the last Open or Save is where the next one starts,
        // in a main window made afterwards too, as at the next run.
        QSettings().clear();
        const QString a = Percorso(QStringLiteral("a"));
        const QString b = Percorso(QStringLiteral("b"));
        QVERIFY(QDir().mkpath(a) && QDir().mkpath(b));
        const auto iniziaIn = [](const QString &cartella) -> Azione {
            return [cartella](QWidget *modale) {
                auto *dialogo = qobject_cast<QFileDialog *>(modale);
                QVERIFY(dialogo);
                QCOMPARE(dialogo->directory().absolutePath(), cartella);
                dialogo->reject();
            };
        };
        Risponditore.Rispondi(Nome(a, QStringLiteral("x.bmp")));
        Comando("FileSaveItem")->trigger();
        QVERIFY(Risponditore.Risposto());
        Finestra.reset();
        // A folder merely shown by a file dialog is not one used.
        QFileDialog(nullptr, QString(), b).setDirectory(b);
        Finestra = FinestraPrincipale(Dimensioni.width(), Dimensioni.height());
        QVERIFY(Finestra);
        Risponditore.Rispondi(iniziaIn(a));
        Comando("FileOpenItem")->trigger();
        QVERIFY(Risponditore.Risposto());

        QString errore;
        QVERIFY(ScriviFigura(Campione(8, 8), b + QStringLiteral("/y.png"), errore));
        QVERIFY(Apri(b + QStringLiteral("/y.png"), {Messaggio(FileNonValido)}));
        Risponditore.Rispondi(iniziaIn(b));
        Comando("FileSaveItem")->trigger();
        QVERIFY(Risponditore.Risposto());
    }

    void salvaInUnaCartellaMancante()
    {
        TMDIChild *d = Attivo();
        const QString nome = Percorso(QStringLiteral("manca/x.bmp"));
        Risponditore.Rispondi({Errore(QStringLiteral("Impossibile salvare l'immagine"), QStringLiteral("x.bmp"))});
        QVERIFY(!d->SalvaCome(nome));
        QCOMPARE(Risponditore.Risposti(), 1);
        QVERIFY(QDir(Cartella->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    }

    void fileDeiParametriNonScrivibile()
    {
        // The bitmap is written, the parameters file cannot be: the user is
        // told, since the picture would open again with a new document's settings.
        TMDIChild *d = Attivo();
        const QString nome = Percorso(QStringLiteral("x.bmp"));
        QVERIFY(QDir(Cartella->path()).mkdir(QStringLiteral("x.bmp.Quillmere")));
        Risponditore.Rispondi({Errore(QStringLiteral("Immagine salvata, ma"), QStringLiteral("x.bmp.Quillmere"))});
        QVERIFY(!d->SalvaCome(nome));
        QCOMPARE(Risponditore.Risposti(), 1);
        QVERIFY(QFileInfo(nome).isFile());
        QVERIFY(QFileInfo(nome + QStringLiteral(".Quillmere")).isDir());
    }

    // ---- Opening ------------------------------------------------------------

    void andataERitorno_data()
    {
        QTest::addColumn<int>("frattale");
        QTest::addColumn<QStringList>("parametri");
        QTest::addColumn<QStringList>("righe1314");
        QTest::newRow("Mandelbrot") << 0 << QStringList{} << QStringList{"-1.25", "0"};
        QTest::newRow("Julia (0.285, 0.01)") << 1 << QStringList{"0.285", "0.01"} << QStringList{"0.285", "0.01"};
    }
    void andataERitorno()
    {
        QFETCH(int, frattale);
        QFETCH(QStringList, parametri);
        QFETCH(QStringList, righe1314);
        TMDIChild *d = Attivo();
        ScegliFrattale(frattale);
        if (!parametri.isEmpty()) {
            Scrivi(Campo("EditParam1"), parametri[0]);
            Scrivi(Campo("EditParam2"), parametri[1]);
        }
        Scrivi(Campo("EditMaxIterazioni"), QStringLiteral("90"));
        Disegna();
        const QImage salvata = Immagine(d)->Bitmap();
        const QString nome = Percorso(QStringLiteral("a.bmp"));
        QVERIFY(d->SalvaCome(nome));
        const QList<QByteArray> righe = LeggiTutto(nome + QStringLiteral(".Quillmere")).split('\n');
        QCOMPARE(righe.size(), 17);
        QCOMPARE(righe[12], righe1314[0].toLatin1() + '\r');
        QCOMPARE(righe[13], righe1314[1].toLatin1() + '\r');

        const int n = Finestra->ContatoreFinestre;
        TMDIChild *aperto = Apri(nome);
        QVERIFY(aperto);
        QVERIFY(aperto != d);
        QCOMPARE(Didascalia(aperto), QStringLiteral("Finestra %1").arg(n));
        QCOMPARE(Immagine(aperto)->Bitmap(), salvata);
        QCOMPARE(aperto->Parametri().SceltaFrattale, int8_t(frattale));
        QVERIFY(aperto->Parametri().FrattaleJulia.Param == d->Parametri().FrattaleJulia.Param);
        QCOMPARE(aperto->Parametri().Finestra.MaxIterazioni, 90);
        // The panels show the loaded settings.
        QCOMPARE(Elenco("ComboBoxFrattale")->currentIndex(), frattale);
        QCOMPARE(Campo("EditMaxIterazioni")->text(), QStringLiteral("90"));
        if (frattale == 1)
            QCOMPARE(Campo("EditParam1")->text(), parametri[0]);
        // Redrawn, it is the saved picture again.
        Disegna();
        QCOMPARE(PixelDiversi(Immagine(aperto)->Bitmap(), salvata), 0);
    }

    void zoomProfondo()
    {
        // Four clicks, each 64 times closer: a window about 1.5e-7 wide
        // about -0.73046875 + 0.283203125i, near the set's edge, whose
        // corners six digits cannot tell apart.
        TMDIChild *d = Attivo();
        Disegna();
        for (int i = 0; i < 4; ++i) {
            d = Trascina(d, i == 0 ? QPoint(130, 99) : QPoint(128, 128), {});
            QVERIFY(d);
        }
        const Complesso min = d->Parametri().Finestra.Min.Esteso();
        const Complesso max = d->Parametri().Finestra.Max.Esteso();
        // Six significant digits would write both real parts alike.
        const auto seiCifre = [](long double v) {
            std::ostringstream testo;
            testo << std::setprecision(6) << v;
            return testo.str();
        };
        QCOMPARE(seiCifre(min.re), seiCifre(max.re));
        const QImage salvata = Immagine(d)->Bitmap();
        QSet<QRgb> colori;
        for (int y = 0; y < salvata.height(); ++y)
            for (int x = 0; x < salvata.width(); ++x)
                colori.insert(salvata.pixel(x, y));
        QVERIFY(colori.size() > 10);
        const QString nome = Percorso(QStringLiteral("profondo.bmp"));
        QVERIFY(d->SalvaCome(nome));

        TMDIChild *aperto = Apri(nome);
        QVERIFY(aperto);
        QVERIFY(aperto->Parametri().Finestra.Min == min);
        QVERIFY(aperto->Parametri().Finestra.Max == max);
        Disegna();
        QCOMPARE(PixelDiversi(Immagine(aperto)->Bitmap(), salvata), 0);
    }

    // Past the 80-bit floor with the program's own gestures: clicks around
    // 0 + 1i, each 64 times closer, down to a window narrower than 10^-40;
    // Enter after raising the limit, save, open and redraw: the window stays
    // exactly as it was and every picture is sharp. Then a saved window
    // 10^-300 wide, opened and drawn at once.
    void profonditaConIlMouse()
    {
        const auto nitida = [](const QImage &figura) {
            QSet<QRgb> colori;
            for (int y = 0; y < figura.height(); y += 2)
                for (int x = 0; x < figura.width(); x += 2)
                    colori.insert(figura.pixel(x, y));
            return colori.size() > 20;
        };
        Scrivi(Campo("EditMaxIterazioni"), QStringLiteral("1000"));
        Disegna();
        TMDIChild *d = Attivo();
        for (;;) {
            const CBloccoFinestra &f = d->Parametri().Finestra;
            const long double larghezza = DifferenzaEsatta(f.Max.re, f.Min.re).Esteso();
            if (larghezza < 1e-40L)
                break;
            // The pixel of 0 + 1i (row 0 is the largest imaginary part).
            const long double x = DifferenzaEsatta(CReale(0.0L), f.Min.re).Esteso() / larghezza * 256;
            const long double y =
                DifferenzaEsatta(f.Max.im, CReale(1.0L)).Esteso() / DifferenzaEsatta(f.Max.im, f.Min.im).Esteso() * 256;
            d = Trascina(d, QPoint(int(x), int(y)), {});
            QVERIFY(d);
            QVERIFY2(nitida(Immagine(d)->Bitmap()), qPrintable(QString::number(double(larghezza))));
        }
        const CBloccoFinestra finestra = d->Parametri().Finestra;
        QCOMPARE(NumeroDocumenti(), 24); // 23 clicks
        QVERIFY(finestra.Min.re.Precisione() > 64);
        Scrivi(Campo("EditMaxIterazioni"), QStringLiteral("2000"));
        Disegna();
        QVERIFY(d->Parametri().Finestra.Min == finestra.Min && d->Parametri().Finestra.Max == finestra.Max);
        const QImage disegnata = Immagine(d)->Bitmap();
        QVERIFY(nitida(disegnata));
        const QString nome = Percorso(QStringLiteral("profondo.png"));
        QVERIFY(d->SalvaCome(nome));
        TMDIChild *aperto = Apri(nome);
        QVERIFY(aperto);
        QVERIFY(aperto->Parametri().Finestra.Min == finestra.Min && aperto->Parametri().Finestra.Max == finestra.Max);
        Disegna();
        QCOMPARE(PixelDiversi(Immagine(aperto)->Bitmap(), disegnata), 0);

        const int prima = NumeroDocumenti();
        Finestra->ApriFile(QStringLiteral(QUILLMERE_SORGENTI "/samples/profondo.Quillmere"));
        QCOMPARE(NumeroDocumenti(), prima + 1);
        QVERIFY(Finito(Attivo()));
        QVERIFY(nitida(Immagine(Attivo())->Bitmap()));
    }

    void formeDelFile_data()
    {
        QTest::addColumn<QByteArray>("testo");
        QTest::newRow("CR LF") << QByteArray("0.9\r\n-1\r\n-0.5\r\n1\r\n0.5\r\n64\r\n32\r\n500\r\n1\r\n0\r\n0\r\n0\r\n"
                                             "0.285\r\n0.01\r\n0.5\r\n0.25\r\n");
        QTest::newRow("LF") << QByteArray("0.9\n-1\n-0.5\n1\n0.5\n64\n32\n500\n1\n0\n0\n0\n0.285\n0.01\n0.5\n0.25\n");
        QTest::newRow("one line") << QByteArray("0.9 -1 -0.5 1 0.5 64 32 500 1 0 0 0 0.285 0.01 0.5 0.25");
        QTest::newRow("version 0.90") << QByteArray("0.90\n-1\n-0.5\n1\n0.5\n64\n32\n500\n1\n0\n0\n0\n0.285\n0.01\n"
                                                    "0.5\n0.25\n");
    }
    void formeDelFile()
    {
        QFETCH(QByteArray, testo);
        const QString nome = Percorso(QStringLiteral("f.bmp"));
        QVERIFY(Campione(40, 30).save(nome, "bmp"));
        QVERIFY(ScriviFile(nome + QStringLiteral(".Quillmere"), testo));
        TMDIChild *d = Apri(nome);
        QVERIFY(d);
        const CParametri &p = d->Parametri();
        QVERIFY(p.Finestra.Min == (Complesso{-1.0L, -0.5L}));
        QVERIFY(p.Finestra.Max == (Complesso{1.0L, 0.5L}));
        QCOMPARE(p.Finestra.Larghezza, 64);
        QCOMPARE(p.Finestra.Altezza, 32);
        QCOMPARE(p.Finestra.MaxIterazioni, 500);
        QCOMPARE(p.SceltaFrattale, int8_t(1));
        QCOMPARE(p.SceltaInterno, int8_t(0));
        QCOMPARE(p.SceltaMetodo, int8_t(0));
        QVERIFY(p.FrattaleJulia.Param == (Complesso{0.285L, 0.01L}));
        QCOMPARE(p.FrattaleVolterraLotka.Param1, 0.5L);
        QCOMPARE(p.FrattaleVolterraLotka.Param2, 0.25L);
        // The size only sizes the buffer: the image stays 256 x 256 and shows
        // the bitmap; the buffer holds zeros, so a redraw from it is black.
        QCOMPARE(d->AreaDisegno.CelleBuffer(), uint64_t(64 + 128) * (32 + 128));
        QCOMPARE(Immagine(d)->size(), QSize(256, 256));
        QCOMPARE(Immagine(d)->Bitmap(), Campione(40, 30));
        QCOMPARE(Campo("EditXMin")->text(), QStringLiteral("-1"));
        QCOMPARE(Campo("EditParam2")->text(), QStringLiteral("0.01"));
        Comando("WindowRedrawItem")->trigger();
        QVERIFY(TuttoNero(Immagine(d)->Bitmap()));
    }

    // A parameters file that is not valid, or a size for which no buffer can
    // be had: the message, the bitmap shown, the settings of a new document,
    // and the document draws as any other.
    void fileNonValido_data()
    {
        QTest::addColumn<QByteArray>("testo");
        QTest::addColumn<bool>("creaFile");
        QTest::addColumn<QString>("messaggio");
        const QByteArray coda = " 1 0 0 0 0.285 0.01 0.5 0.25";
        QTest::newRow("missing") << QByteArray() << false << FileNonValido;
        QTest::newRow("empty") << QByteArray() << true << FileNonValido;
        QTest::newRow("version 1.0") << "1.0 -1 -0.5 1 0.5 64 32 500" + coda << true << FileNonValido;
        QTest::newRow("truncated") << QByteArray("0.9 -1 -0.5 1 0.5 64 32 500 1 0 0 0 0.285 0.01 0.5") << true
                                   << FileNonValido;
        QTest::newRow("letters in a corner") << "0.9 -1 abc 1 0.5 64 32 500" + coda << true << FileNonValido;
        QTest::newRow("width beyond 32 bits") << "0.9 -1 -0.5 1 0.5 99999999999 32 500" + coda << true
                                              << FileNonValido;
        QTest::newRow("negative width") << "0.9 -1 -0.5 1 0.5 -64 32 500" + coda << true << FileNonValido;
        QTest::newRow("negative height") << "0.9 -1 -0.5 1 0.5 64 -2147483648 500" + coda << true << FileNonValido;
        QTest::newRow("huge size") << "0.9 -1 -0.5 1 0.5 2147483647 2147483647 500" + coda << true
                                   << QString::fromUtf8(MessaggioBuffer) + QLatin1Char('.');
    }
    void fileNonValido()
    {
        QFETCH(QByteArray, testo);
        QFETCH(bool, creaFile);
        QFETCH(QString, messaggio);
        const QString nome = Percorso(QStringLiteral("n.bmp"));
        QVERIFY(Campione(256, 256).save(nome, "bmp"));
        if (creaFile)
            QVERIFY(ScriviFile(nome + QStringLiteral(".Quillmere"), testo));
        const bool allocazione = messaggio != FileNonValido;
        TMDIChild *d = Apri(nome, {Messaggio(messaggio, allocazione ? QMessageBox::Critical : QMessageBox::NoIcon)});
        QVERIFY(d);
        QCOMPARE(Risponditore.Risposti(), 2);
        QCOMPARE(Immagine(d)->Bitmap(), Campione(256, 256));
        ControllaComeNuovo(d);
        QCOMPARE(Campo("EditXMin")->text(), QStringLiteral("-2"));
        QCOMPARE(Elenco("ComboBoxFrattale")->currentIndex(), 0);
        // Usable: a repaint from the buffer and a drawing.
        Comando("WindowRedrawItem")->trigger();
        QVERIFY(TuttoNero(Immagine(d)->Bitmap()));
        Disegna();
        QCOMPARE(PixelDiversi(Immagine(d)->Bitmap(), Renderer(CParametri())), 0);
    }

    // Every choice a file can hold draws as a drawing resolves it: formula 0
    // Mandelbrot, 1 Julia, any other Volterra-Lotka; interior 0 black, any
    // other shaded; exterior 1 to 4 a palette, 0 and any other the bands;
    // method 0 point by point, any other block. The document keeps the
    // values, in 8 bits.
    void scelteDelFile_data()
    {
        QTest::addColumn<QByteArray>("scelte");
        QTest::addColumn<QList<int>>("tenute");
        QTest::addColumn<QList<int>>("risolte");
        QTest::newRow("formula 9, exterior 9") << QByteArray("9 0 9 7") << QList<int>{9, 0, 9, 7}
                                               << QList<int>{2, 0, 0, 1};
        QTest::newRow("exterior 257, a palette") << QByteArray("0 0 257 1") << QList<int>{0, 0, 1, 1}
                                                 << QList<int>{0, 0, 1, 1};
        QTest::newRow("formula 300, interior -4") << QByteArray("300 -4 0 0") << QList<int>{44, -4, 0, 0}
                                                  << QList<int>{2, 1, 0, 0};
        QTest::newRow("formula 257, method 256") << QByteArray("257 1 0 256") << QList<int>{1, 1, 0, 0}
                                                 << QList<int>{1, 1, 0, 0};
    }
    void scelteDelFile()
    {
        QFETCH(QByteArray, scelte);
        QFETCH(QList<int>, tenute);
        QFETCH(QList<int>, risolte);
        const QString nome = Percorso(QStringLiteral("scelte.Quillmere"));
        QVERIFY(ScriviFile(nome, "0.9 0.2 0.2 3 3 256 256 90 " + scelte + " -0.8 0.156 0.65 0.3"));
        Finestra->ApriFile(nome);
        TMDIChild *d = Attivo();
        QVERIFY(Finito(d));
        const CParametri &p = d->Parametri();
        QCOMPARE((QList<int>{p.SceltaFrattale, p.SceltaInterno, p.SceltaEsterno, p.SceltaMetodo}), tenute);
        CParametri attesi = ParametriDi(d);
        attesi.SceltaFrattale = int8_t(risolte[0]);
        attesi.SceltaInterno = int8_t(risolte[1]);
        attesi.SceltaEsterno = int8_t(risolte[2]);
        attesi.SceltaMetodo = int8_t(risolte[3]);
        const QImage disegnata = Immagine(d)->Bitmap();
        QCOMPARE(PixelDiversi(disegnata, Renderer(attesi)), 0);
        // A formula outside the list shows none, and no parameters.
        const bool nellElenco = tenute[0] >= 0 && tenute[0] <= 2;
        QCOMPARE(Elenco("ComboBoxFrattale")->currentIndex(), nellElenco ? tenute[0] : -1);
        QCOMPARE(Pannello(0), nellElenco ? Elenco("ComboBoxFrattale")->currentText() : QString());
        if (!nellElenco)
            QCOMPARE(Campo("EditParam1")->text(), QString());

        // Drawn again from the panels, untouched: the same values, the same picture.
        Disegna();
        QCOMPARE((QList<int>{p.SceltaFrattale, p.SceltaInterno, p.SceltaEsterno, p.SceltaMetodo}), tenute);
        QCOMPARE(PixelDiversi(Immagine(d)->Bitmap(), disegnata), 0);
    }

    void carica()
    {
        // Called as File > Open calls it, on a new document: a missing file is
        // reported and leaves the document as it was; Carica raises only for
        // the buffer, leaving the settings untouched.
        TMDIChild *d = Attivo();
        const QString nome = Percorso(QStringLiteral("g.bmp"));
        QVERIFY(Campione(8, 8).save(nome, "bmp"));
        QVERIFY(ScriviFile(nome + QStringLiteral(".Quillmere"),
                       "0.9 -1 -0.5 1 0.5 100000 2147483647 500 1 0 0 0 0.285 0.01 0.5 0.25"));
        QVERIFY_THROWS_EXCEPTION(CErrore, d->Carica(nome));
        ControllaComeNuovo(d);
        QCOMPARE(Immagine(d)->Bitmap(), Campione(8, 8));
        QVERIFY(ScriviFile(nome + QStringLiteral(".Quillmere"), FilePredefinito));
        QVERIFY(d->Carica(nome) == TMDIChild::Caricamento::Completo);
        QCOMPARE(d->AreaDisegno.CelleBuffer(), uint64_t(384 * 384));
        // The values as read from their text: Volterra-Lotka's 0.65 is now the
        // extended value nearest to 0.65, no longer the double widened.
        const CParametri &p = d->Parametri();
        QCOMPARE(p.FrattaleVolterraLotka.Param1, 0.65L);
        QVERIFY(p.FrattaleVolterraLotka.Param1 != static_cast<long double>(0.65));
        QCOMPARE(p.FrattaleVolterraLotka.Param2, 0.3L);
        QVERIFY(p.Finestra.Min == (Complesso{-2.0L, -1.25L}));
    }

    void bitmapIlleggibile_data()
    {
        QTest::addColumn<QByteArray>("contenuto");
        QTest::addColumn<bool>("crea");
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("not a bitmap") << QByteArray("0.9\r\n-2\r\n") << true;
        QByteArray png;
        {
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            Campione(64, 64).save(&buffer, "png");
        }
        QTest::newRow("a PNG named .bmp") << png << true;
    }
    void bitmapIlleggibile()
    {
        // Reported; the new document closes again and gives its number back:
        // the program is as it was.
        QFETCH(QByteArray, contenuto);
        QFETCH(bool, crea);
        const QString nome = Percorso(QStringLiteral("rotta.bmp"));
        if (crea)
            QVERIFY(ScriviFile(nome, contenuto));
        QVERIFY(ScriviFile(nome + QStringLiteral(".Quillmere"),
                           "0.9 -1 -0.5 1 0.5 64 32 500 1 0 0 0 0.285 0.01 0.5 0.25"));
        TMDIChild *primo = Attivo();
        const int n = Finestra->ContatoreFinestre;
        const Azione errore = Errore(QStringLiteral("Impossibile leggere l'immagine"), QStringLiteral("rotta.bmp"));
        if (crea) {
            Apri(nome, {errore});
        } else {
            // The open dialog takes only existing files: the name comes as if
            // the file went away after it was chosen.
            Risponditore.Rispondi(errore);
            Finestra->NuovoDocumento(nome);
        }
        QCOMPARE(Risponditore.Risposti(), crea ? 2 : 1);
        QTRY_COMPARE(NumeroDocumenti(), 1);
        QCOMPARE(Attivo(), primo);
        QCOMPARE(Finestra->ContatoreFinestre, n);
        ControllaComeNuovo(primo);
        Comando("FileNewItem")->trigger();
        QCOMPARE(Didascalia(Attivo()), QStringLiteral("Finestra %1").arg(n));
    }

    // ---- Files handed from outside (the command line) -------------------------

    void fileDaFuori()
    {
        // Each opens as File > Open would, one after the other once the event
        // loop runs; what cannot be read is reported and the others still open.
        QVERIFY(Campione(40, 30).save(Percorso(QStringLiteral("a.bmp")), "bmp"));
        QVERIFY(ScriviFile(Percorso(QStringLiteral("a.bmp.Quillmere")), FilePredefinito));
        QVERIFY(Campione(20, 10).save(Percorso(QStringLiteral("senza.png")), "png"));
        CParametri julia;
        julia.SceltaFrattale = 1;
        julia.Finestra.MaxIterazioni = 77;
        QVERIFY(ScriviFile(Percorso(QStringLiteral("julia.Quillmere")), QByteArray::fromStdString(TestoParametri(julia))));
        QVERIFY(ScriviFile(Percorso(QStringLiteral("rotto.Quillmere")), "0.9 -2 -1.25"));
        QVERIFY(QDir(Cartella->path()).mkdir(QStringLiteral("cartella.bmp")));
        const QStringList nomi{Percorso(QStringLiteral("manca.bmp")), Percorso(QStringLiteral("a.bmp")),
                               Percorso(QStringLiteral("rotto.Quillmere")), Percorso(QStringLiteral("cartella.bmp")),
                               Percorso(QStringLiteral("senza.png")), QString(),
                               Percorso(QStringLiteral("manca.Quillmere")), Percorso(QStringLiteral("julia.Quillmere"))};
        Risponditore.Rispondi({Errore(QStringLiteral("Impossibile leggere l'immagine"), QStringLiteral("manca.bmp")),
                               Messaggio(FileNonValido),
                               Errore(QStringLiteral("Impossibile leggere l'immagine"), QStringLiteral("cartella.bmp")),
                               Messaggio(FileNonValido), Messaggio(FileNonValido)});
        const int n = Finestra->ContatoreFinestre;
        Finestra->ApriFileDaFuori(nomi);
        QCOMPARE(NumeroDocumenti(), 1);
        QTRY_COMPARE(NumeroDocumenti(), 4);
        QVERIFY(Risponditore.Risposto());

        // Numbered in order: what could not be read used no number.
        const QList<TMDIChild *> documenti = Finestra->Documenti();
        QCOMPARE(Didascalia(documenti[1]), QStringLiteral("Finestra %1").arg(n));
        QCOMPARE(Immagine(documenti[1])->Bitmap(), Campione(40, 30));
        QCOMPARE(documenti[1]->Parametri().Finestra.MaxIterazioni, 120);
        QCOMPARE(Didascalia(documenti[2]), QStringLiteral("Finestra %1").arg(n + 1));
        QCOMPARE(Immagine(documenti[2])->Bitmap(), Campione(20, 10));
        ControllaComeNuovo(documenti[2]);
        // The parameters file alone: its settings, drawn at once, shown in the panels.
        TMDIChild *disegnato = documenti[3];
        QCOMPARE(Didascalia(disegnato), QStringLiteral("Finestra %1").arg(n + 2));
        QCOMPARE(Attivo(), disegnato);
        QVERIFY(Finito(disegnato));
        QCOMPARE(disegnato->Parametri().SceltaFrattale, int8_t(1));
        QCOMPARE(Campo("EditMaxIterazioni")->text(), QStringLiteral("77"));
        QCOMPARE(PixelDiversi(Immagine(disegnato)->Bitmap(), Renderer(disegnato->Parametri())), 0);
    }

    void bitmapDiAltriProgrammi_data()
    {
        QTest::addColumn<int>("formato");
        QTest::newRow("8-bit palette") << int(QImage::Format_Indexed8);
        QTest::newRow("24-bit") << int(QImage::Format_RGB888);
        QTest::newRow("32-bit") << int(QImage::Format_ARGB32);
    }
    void bitmapDiAltriProgrammi()
    {
        QFETCH(int, formato);
        const QImage campione = Campione(50, 40).convertToFormat(QImage::Format(formato));
        const QString nome = Percorso(QStringLiteral("v.bmp"));
        QVERIFY(campione.save(nome, "bmp"));
        QVERIFY(ScriviFile(nome + QStringLiteral(".Quillmere"), FilePredefinito));
        TMDIChild *d = Apri(nome);
        QVERIFY(d);
        QCOMPARE(PixelDiversi(Immagine(d)->Bitmap(), campione.convertToFormat(QImage::Format_RGB32)), 0);
    }

    void dialogoDiApertura()
    {
        // Both kinds of picture the program saves, and the parameters files.
        QCOMPARE(Elemento<QFileDialog>("OpenDialog")->nameFilters(),
                 (QStringList{QStringLiteral("Pictures and parameters (*.bmp *.png *.Quillmere)"),
                              QStringLiteral("Pictures (*.bmp *.png)"), QStringLiteral("Parameters (*.Quillmere)")}));
        QCOMPARE(Elemento<QFileDialog>("OpenDialog")->fileMode(), QFileDialog::ExistingFile);
        QCOMPARE(Elemento<QFileDialog>("OpenDialog")->acceptMode(), QFileDialog::AcceptOpen);
    }
};

int main(int argc, char *argv[])
{
    TApplicazione applicazione(argc, argv);
    QLocale::setDefault(QLocale::c());
    TestZoomFile prova;
    return QTest::qExec(&prova, argc, argv);
}

#include "tst_zoom_file.moc"
