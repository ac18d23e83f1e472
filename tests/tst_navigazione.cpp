// Moving over the plane through the windows: the wheel and the keys zoom and
// move a document in place, back and forward step through what it drew, the
// exterior colouring is chosen from the menu, a picture is exported at a
// size of its own; and what a user met on the way: the selection marks in
// saved and copied pictures, pictures after a window's state changed, the
// status of a document that is not the one drawing.

#include "Applicazione.h"
#include "Cronologia.h"
#include "Esporta.h"
#include "Esportazione.h"
#include "FileDocumento.h"
#include "Navigatore.h"
#include "Profondita.h"

#include "SupportoUi.h"

#include <QtTest>

#include <QClipboard>
#include <QDialogButtonBox>
#include <QProgressDialog>
#include <QSignalSpy>
#include <QSpinBox>

namespace {

// The default window's corners, exactly, and a window 2^-k of it about the
// point of pixel (x, y) of a 256 x 256 picture (every value a short binary
// fraction, so exact in 80 bits).
struct CAngoli
{
    long double x1, x2, y1, y2;
};
CAngoli Zoomato(CAngoli f, int x, int y, int k)
{
    const long double w = f.x2 - f.x1;
    const long double h = f.y2 - f.y1;
    const long double px = f.x1 + x * w / 256;
    const long double py = f.y2 - y * h / 256;
    const long double s = std::ldexp(1.0L, -k);
    return {px - x * w * s / 256, px - x * w * s / 256 + w * s, py + y * h * s / 256 - h * s, py + y * h * s / 256};
}
bool Uguale(const CParametri &p, CAngoli f)
{
    return p.Finestra.Min == Complesso{f.x1, f.y1} && p.Finestra.Max == Complesso{f.x2, f.y2};
}
const CAngoli Predefinita{-2.0L, 0.5L, -1.25L, 1.25L};

// n / d rounded once to 64 bits.
CReale Frazione(long n, long d)
{
    CReale r = CReale::Zero(64);
    mpfr_set_si(r.Mp(), n, MPFR_RNDN);
    mpfr_div_si(r.Mp(), r.Mp(), d, MPFR_RNDN);
    return r;
}

} // namespace

class TestNavigazione : public CProvaFinestre
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> Cartella;

    // The document neither draws nor waits for more moves to draw.
    static bool Fermo(TMDIChild *d)
    {
        return QTest::qWaitFor([d] { return !d->InCalcolo() && !d->Navigazione().InAttesa(); }, 120000);
    }

    // The size asked in the export's dialog.
    static void Dimensioni(QWidget *dialogo, int larghezza, int altezza)
    {
        dialogo->findChild<QSpinBox *>(QStringLiteral("EditLarghezzaEsporta"))->setValue(larghezza);
        dialogo->findChild<QSpinBox *>(QStringLiteral("EditAltezzaEsporta"))->setValue(altezza);
    }

    // A drag over the picture: a new document opens on the region.
    void Trascina(TMDIChild *d, QPoint da, QPoint a)
    {
        QTest::mousePress(Immagine(d), Qt::LeftButton, {}, da);
        QTest::mouseMove(Immagine(d), a);
        QTest::mouseRelease(Immagine(d), Qt::LeftButton, {}, a);
    }

private slots:
    void init()
    {
        Cartella = std::make_unique<QTemporaryDir>();
        QVERIFY(Cartella->isValid());
        CProvaFinestre::init();
    }

    // ---- The wheel and the keys ------------------------------------------

    void rotella()
    {
        TMDIChild *d = Attivo();
        Disegna();
        // A notch away from the user: twice as close, the point under the
        // pointer where it was; drawn at once.
        Rotella(d, QPoint(64, 192), 120);
        QVERIFY(d->InCalcolo());
        QVERIFY(Uguale(d->Parametri(), Zoomato(Predefinita, 64, 192, 1)));
        QVERIFY(Fermo(d));
        QCOMPARE(PixelDiversi(Immagine(d)->Bitmap(), Renderer(ParametriDi(d))), 0);
        // A touchpad's fine steps add up to a notch; a turn the other way
        // starts afresh.
        for (int k = 0; k < 3; ++k)
            Rotella(d, QPoint(64, 192), 40);
        QVERIFY(Uguale(d->Parametri(), Zoomato(Predefinita, 64, 192, 2)));
        Rotella(d, QPoint(64, 192), 0, 20);
        Rotella(d, QPoint(64, 192), -60);
        Rotella(d, QPoint(64, 192), 60);
        QVERIFY(Uguale(d->Parametri(), Zoomato(Predefinita, 64, 192, 2)));
        // Towards the user: back out, exactly.
        Rotella(d, QPoint(64, 192), -240);
        QVERIFY(Uguale(d->Parametri(), Predefinita));
        QVERIFY(Fermo(d));
        // The panels show the window the document draws.
        QCOMPARE(Campo("EditXMin")->text(), QStringLiteral("-2"));
    }

    void rotellaRaccoglieLeTacche()
    {
        // Quick notches while the document draws: the drawing stops, and one
        // drawing comes of them all.
        TMDIChild *d = Attivo();
        Scrivi(Campo("EditMaxIterazioni"), QStringLiteral("2147483647"));
        Ridisegna();
        QSignalSpy disegni(d, &TMDIChild::Occupato);
        for (int k = 0; k < 5; ++k)
            Rotella(d, QPoint(128, 128), 120);
        QVERIFY(!d->InCalcolo());
        QVERIFY(d->Navigazione().InAttesa());
        QTRY_VERIFY(d->InCalcolo());
        QCOMPARE(disegni.count(), 1);
        QVERIFY(Uguale(d->Parametri(), Zoomato(Predefinita, 128, 128, 5)));
        Ferma();
    }

    void tasti()
    {
        TMDIChild *d = Attivo();
        d->setFocus();
        // + and - about the centre, the arrows by a quarter of the window.
        QTest::keyClick(d, Qt::Key_Plus);
        CAngoli attesa = Zoomato(Predefinita, 128, 128, 1);
        QVERIFY(Uguale(d->Parametri(), attesa));
        QTest::keyClick(d, Qt::Key_Left);
        QTest::keyClick(d, Qt::Key_Up);
        attesa = {attesa.x1 - 0.3125L, attesa.x2 - 0.3125L, attesa.y1 + 0.3125L, attesa.y2 + 0.3125L};
        QVERIFY(Uguale(d->Parametri(), attesa));
        QTest::keyClick(d, Qt::Key_Right);
        QTest::keyClick(d, Qt::Key_Down);
        QTest::keyClick(d, Qt::Key_Minus);
        QVERIFY(Uguale(d->Parametri(), Predefinita));
        QVERIFY(Fermo(d));
        // A settings field keeps its keys.
        Campo("EditXMin")->setFocus();
        QTest::keyClick(Campo("EditXMin"), Qt::Key_Plus);
        QVERIFY(Uguale(d->Parametri(), Predefinita));
        QVERIFY(Campo("EditXMin")->text().contains(QLatin1Char('+')));
    }

    void indietroEAvanti()
    {
        TMDIChild *d = Attivo();
        QAction *indietro = Comando("IndietroItem");
        QAction *avanti = Comando("AvantiItem");
        QVERIFY(!indietro->isEnabled() && !avanti->isEnabled());
        Disegna();
        Rotella(d, QPoint(10, 20), 120);
        QVERIFY(Fermo(d));
        Rotella(d, QPoint(200, 20), 120);
        QVERIFY(Fermo(d));
        const CParametri terzo = d->Parametri();
        // Alt+Left anywhere in the main window, and the toolbar's button.
        QTest::keyClick(Finestra.get(), Qt::Key_Left, Qt::AltModifier);
        QVERIFY(Uguale(d->Parametri(), Zoomato(Predefinita, 10, 20, 1)));
        QVERIFY(d->InCalcolo());
        QVERIFY(Fermo(d));
        indietro->trigger();
        QVERIFY(Uguale(d->Parametri(), Predefinita));
        QVERIFY(!indietro->isEnabled() && avanti->isEnabled());
        QVERIFY(Fermo(d));
        QCOMPARE(PixelDiversi(Immagine(d)->Bitmap(), Renderer(ParametriDi(d))), 0);
        QTest::keyClick(Finestra.get(), Qt::Key_Right, Qt::AltModifier);
        avanti->trigger();
        QVERIFY(StesseImpostazioni(d->Parametri(), terzo));
        QVERIFY(!avanti->isEnabled());
        QVERIFY(Fermo(d));
        // A new drawing after a step back drops what was ahead.
        indietro->trigger();
        QVERIFY(Fermo(d));
        Scrivi(Campo("EditMaxIterazioni"), QStringLiteral("60"));
        Disegna();
        QVERIFY(!avanti->isEnabled());
        QCOMPARE(d->Navigazione().Cronologia().Numero(), size_t(3));
    }

    void profonditaEAllIndietro()
    {
        // From the whole set down past 10^-100 and out again, with the point
        // under the pointer fixed: exact all the way, so that the way out
        // ends on the very window it started from.
        TMDIChild *d = Attivo();
        d->ImpostaDimensioni(64, 64);
        const QPoint punto(21, 40);
        for (int k = 0; k < 21; ++k)
            QVERIFY(d->Navigazione().Zoom(16, punto.x(), punto.y()));
        QVERIFY(Fermo(d));
        const CParametri profonda = d->Parametri();
        const CReale larghezza = DifferenzaEsatta(profonda.Finestra.Max.re, profonda.Finestra.Min.re);
        QCOMPARE(long(mpfr_get_exp(larghezza.Mp())), long(2 - 336)); // 2.5 x 2^-336, about 10^-101
        QVERIFY(Oltre80Bit(profonda.Finestra.Min, profonda.Finestra.Max, 64, 64));
        // The fixed point, x1 + 21 (x2 - x1) / 64 of the first window.
        CReale fisso = CReale::Zero(1024);
        mpfr_mul_si(fisso.Mp(), larghezza.Mp(), 21, MPFR_RNDN);
        mpfr_div_si(fisso.Mp(), fisso.Mp(), 64, MPFR_RNDN);
        mpfr_add(fisso.Mp(), fisso.Mp(), profonda.Finestra.Min.re.Mp(), MPFR_RNDN);
        QCOMPARE(mpfr_cmp_ld(fisso.Mp(), -2.0L + 21 * 2.5L / 64), 0);
        for (int k = 0; k < 21; ++k)
            QVERIFY(d->Navigazione().Zoom(-16, punto.x(), punto.y()));
        QVERIFY(Fermo(d));
        QCOMPARE(d->Parametri().Finestra.Min, CComplessoAlto(Complesso{-2.0L, -1.25L}));
        QCOMPARE(d->Parametri().Finestra.Max, CComplessoAlto(Complesso{0.5L, 1.25L}));
        QCOMPARE(int(d->Parametri().Finestra.Min.re.Precisione()), 64);
    }

    // ---- Colours and export ------------------------------------------------

    void colori()
    {
        TMDIChild *d = Attivo();
        Disegna();
        const QImage fasce = Immagine(d)->Bitmap();
        Comando("Colore2")->trigger();
        QCOMPARE(d->Parametri().SceltaEsterno, int8_t(2));
        QVERIFY(Comando("Colore2")->isChecked() && !Comando("Colore0")->isChecked());
        QVERIFY(Fermo(d));
        QCOMPARE(PixelDiversi(Immagine(d)->Bitmap(), Renderer(ParametriDi(d))), 0);
        QVERIFY(PixelDiversi(Immagine(d)->Bitmap(), fasce) > 0);
        // Kept in the parameters file, and back is the bands again.
        const QString nome = Cartella->filePath(QStringLiteral("colori.png"));
        QVERIFY(d->SalvaCome(nome));
        CParametri letti;
        QVERIFY(LeggiFileParametri(NomeFileParametri(nome), letti));
        QCOMPARE(letti.SceltaEsterno, int8_t(2));
        Comando("IndietroItem")->trigger();
        QVERIFY(Comando("Colore0")->isChecked());
        QVERIFY(Fermo(d));
        QCOMPARE(Immagine(d)->Bitmap(), fasce);
    }

    void esporta()
    {
        const QString nome = Cartella->filePath(QStringLiteral("grande.png"));
        Risponditore.Rispondi({[](QWidget *modale) {
                                   Dimensioni(modale, 4000, 3000);
                                   static_cast<QDialog *>(modale)->accept();
                               },
                               Nome(Cartella->path(), QStringLiteral("grande.png"))});
        Comando("FileExportItem")->trigger();
        QVERIFY(Risponditore.Risposto());
        QVERIFY(Elemento<QProgressDialog>("ProgressoEsporta")->isVisible());
        // The program goes on meanwhile.
        Disegna();
        QTRY_VERIFY_WITH_TIMEOUT(!Finestra->findChild<QProgressDialog *>(QStringLiteral("ProgressoEsporta")), 120000);
        // All of the document's picture, and more of the plane at its sides.
        CParametri esportati;
        QVERIFY(LeggiFileParametri(NomeFileParametri(nome), esportati));
        QCOMPARE(esportati.Finestra.Larghezza, 4000);
        QCOMPARE(esportati.Finestra.Altezza, 3000);
        QCOMPARE(esportati.Finestra.Min, CComplessoAlto(Frazione(-29, 12), CReale(-1.25L)));
        QCOMPARE(esportati.Finestra.Max, CComplessoAlto(Frazione(11, 12), CReale(1.25L)));
        const QImage figura(nome);
        QCOMPARE(figura.size(), QSize(4000, 3000));
        QCOMPARE(PixelDiversi(figura.convertToFormat(QImage::Format_RGB32), Renderer(esportati)), 0);

        // Larger than one drawing: said, with the poster tool.
        Risponditore.Rispondi({[](QWidget *modale) {
                                   Dimensioni(modale, 60000, 60000);
                                   QPushButton *ok =
                                       modale->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
                                   QMetaObject::invokeMethod(ok, "click", Qt::QueuedConnection);
                               },
                               [](QWidget *modale) {
                                   auto *box = qobject_cast<QMessageBox *>(modale);
                                   QVERIFY(box);
                                   QVERIFY(box->text().contains(QStringLiteral("quillmere-plan poster")));
                                   box->button(QMessageBox::Ok)->click();
                               },
                               [](QWidget *modale) { static_cast<QDialog *>(modale)->reject(); }});
        Comando("FileExportItem")->trigger();
        QVERIFY(Risponditore.Risposto());
        QCOMPARE(Finestra->findChild<TEsporta *>(QStringLiteral("Esporta"))->InCorso(), 0);
    }

    void esportazioneFermata()
    {
        // Stopped from its dialog: nothing is written.
        CParametri lenta;
        lenta.Finestra.MaxIterazioni = 2147483647;
        const QString nome = Cartella->filePath(QStringLiteral("ferma.bmp"));
        TEsporta *esporta = Finestra->findChild<TEsporta *>(QStringLiteral("Esporta"));
        QSignalSpy concluse(esporta, &TEsporta::Conclusa);
        QVERIFY(esporta->Avvia(lenta, QSize(256, 256), 300, 200, nome));
        QCOMPARE(esporta->InCorso(), 1);
        Premi(Elemento<QProgressDialog>("ProgressoEsporta")->findChild<QPushButton *>());
        QCOMPARE(concluse.count(), 1);
        QCOMPARE(concluse.first().at(1).toBool(), false);
        QCOMPARE(esporta->InCorso(), 0);
        QVERIFY(!QFile::exists(nome) && !QFile::exists(NomeFileParametri(nome)));
    }

    // ---- What a new user met ---------------------------------------------

    void senzaSegniDiSelezione()
    {
        // The marks of a drag stay on the screen, not in what is copied or saved.
        TMDIChild *d = Attivo();
        Disegna();
        const QImage disegnata = Immagine(d)->Bitmap();
        Trascina(d, QPoint(100, 100), QPoint(140, 130));
        QVERIFY(Finito(Ultimo()));
        Attiva(d);
        QVERIFY(PixelDiversi(Immagine(d)->Bitmap(), disegnata) > 0);
        Comando("CopyItem")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), disegnata);
        const QString nome = Cartella->filePath(QStringLiteral("segni.bmp"));
        QVERIFY(d->SalvaCome(nome));
        QCOMPARE(QImage(nome).convertToFormat(QImage::Format_RGB32), disegnata);
    }

    void ingranditoEPoiRipristinato()
    {
        // Maximized, a drawn document draws its picture at the new size;
        // restored, at its own again, inside the document area.
        TMDIChild *d = Attivo();
        Disegna();
        Cornice(d)->move(AreaDocumenti()->viewport()->width() - 100, 50);
        Cornice(d)->showMaximized();
        QTRY_VERIFY(d->InCalcolo() || Immagine(d)->LarghezzaBitmap() > 256);
        QVERIFY(Fermo(d));
        QCOMPARE(Immagine(d)->Bitmap().size(), Immagine(d)->size());
        QCOMPARE(PixelDiversi(Immagine(d)->Bitmap(), Renderer(ParametriDi(d))), 0);
        Cornice(d)->showNormal();
        QTRY_COMPARE(Immagine(d)->LarghezzaBitmap(), Immagine(d)->width());
        QVERIFY(Fermo(d));
        QVERIFY(AreaDocumenti()->viewport()->rect().contains(Cornice(d)->geometry()));
    }

    void statoDelDocumentoAttivo()
    {
        // Each document's own caption and status, not another's.
        TMDIChild *a = Attivo();
        Disegna();
        const QString tempi = Pannello(2);
        Comando("FileNewItem")->trigger();
        TMDIChild *b = Attivo();
        b->ImpostaDimensioni(300, 300);
        Scrivi(Campo("EditMaxIterazioni"), QStringLiteral("2147483647"));
        Ridisegna();
        QTRY_VERIFY(Finestra->windowTitle().contains(QStringLiteral("Tempo stimato")));
        Attiva(a);
        QCOMPARE(Finestra->windowTitle(), QStringLiteral("Quillmere v0.9"));
        QCOMPARE(Pannello(1), QStringLiteral("256x256"));
        QCOMPARE(Pannello(2), tempi);
        QVERIFY(Continua(b));
        QCOMPARE(Finestra->windowTitle(), QStringLiteral("Quillmere v0.9"));
        Chiudi(b);
        QCOMPARE(Pannello(1), QStringLiteral("256x256"));
        QCOMPARE(Pannello(2), tempi);
    }

    void suggerimentiEApertura()
    {
        // A coordinate field shows all of its value; File > Open opens a
        // parameters file drawn, as the command line does.
        QCOMPARE(Campo("EditXMin")->toolTip(), QStringLiteral("-2"));
        const QString nome = Cartella->filePath(QStringLiteral("p.Quillmere"));
        CParametri p;
        p.SceltaEsterno = 3;
        QString errore;
        QVERIFY(ScriviFileParametri(p, nome, errore));
        Risponditore.Rispondi({Nome(Cartella->path(), QStringLiteral("p.Quillmere"))});
        Comando("FileOpenItem")->trigger();
        QVERIFY(Risponditore.Risposto());
        QCOMPARE(NumeroDocumenti(), 2);
        QCOMPARE(Attivo()->Parametri().SceltaEsterno, int8_t(3));
        QVERIFY(Finito(Attivo()));
        QVERIFY(Comando("Colore3")->isChecked());
    }
};

int main(int argc, char *argv[])
{
    TApplicazione applicazione(argc, argv);
    QLocale::setDefault(QLocale::c());
    TestNavigazione prova;
    return QTest::qExec(&prova, argc, argv);
}

#include "tst_navigazione.moc"
