// The drawing life cycle under load, through the real windows: hundreds of
// starts and stops of one document, documents closed and the program quit in
// the middle of drawings, several documents and zooms drawing side by side,
// saving and opening while a drawing runs. Afterwards no drawing thread may
// be left and the documents that remain must draw as before.

#include "Applicazione.h"
#include "FileDocumento.h"
#include "FileParametri.h"
#include "FormContenitore.h"
#include "Immagine.h"
#include "MDIChild.h"

#include "SupportoUi.h"

#include <QtTest>

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QRandomGenerator>

#include <functional>
#include <memory>
#include <vector>

namespace {

// Keeps the default Mandelbrot drawing for minutes: always stopped by the test.
const QString LimiteLento = QStringLiteral("2147483647");
// Draws the default 256 x 256 picture to its end in a moment.
const QString LimiteRapido = QStringLiteral("60");

// Every thread of this process, named or not.
int TuttiIFili()
{
    return int(QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

} // namespace

class TestRobustezza : public CProvaFinestre
{
    Q_OBJECT

private:
    // The saved documents the tests open.
    std::unique_ptr<QTemporaryDir> Cartella;

    // A new document whose next drawing runs for minutes, started.
    TMDIChild *NuovoLento()
    {
        Comando("FileNewItem")->trigger();
        Scrivi(Campo("EditMaxIterazioni"), LimiteLento);
        Ridisegna();
        return Attivo();
    }

    // The document is still usable: a new drawing of its own settings runs
    // to its end and gives the picture that the headless renderer gives.
    void DisegnoCompleto(TMDIChild *d)
    {
        Attiva(d);
        QCOMPARE(Attivo(), d);
        QVERIFY(!d->InCalcolo());
        Scrivi(Campo("EditMaxIterazioni"), LimiteRapido);
        Disegna();
        ControllaDopo(d);
        QCOMPARE(d->Parametri().Finestra.MaxIterazioni, LimiteRapido.toInt());
        QVERIFY(d->AreaDisegno.Completamento > 99.0);
        const QImage atteso = Renderer(ParametriDi(d));
        QVERIFY(!atteso.isNull());
        QCOMPARE(PixelDiversi(Immagine(d)->Bitmap(), atteso), 0);
    }

    // A drag on an idle document's picture: the region under it opens in a
    // new document, which starts drawing at once.
    TMDIChild *Trascina(TMDIChild *d)
    {
        const int prima = NumeroDocumenti();
        if (!Immagine(d)->isEnabled())
            return nullptr; // a drawing document takes no drags
        QTest::mousePress(Immagine(d), Qt::LeftButton, {}, QPoint(128, 128));
        QTest::mouseMove(Immagine(d), QPoint(160, 160));
        QTest::mouseRelease(Immagine(d), Qt::LeftButton, {}, QPoint(160, 160));
        return NumeroDocumenti() == prima + 1 ? Ultimo() : nullptr;
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
        Cartella.reset();
        CProvaFinestre::cleanup();
    }

    // ---- Starts and stops -------------------------------------------------

    void duecentoAvviiEArresti()
    {
        TMDIChild *d = Attivo();
        Scrivi(Campo("EditMaxIterazioni"), LimiteLento);
        const int fili = NumeroFili();
        const int tutti = TuttiIFili();
        int filiDurante = 0;
        QElapsedTimer orologio;
        orologio.start();
        for (int ciclo = 0; ciclo < 200; ++ciclo) {
            // Both drawing methods; most cycles stop at once, every tenth one
            // once the progress texts are shown.
            ImpostaMetodo(d, ciclo % 2);
            Ridisegna();
            QVERIFY2(AspettoOccupato() && !Immagine(d)->isEnabled(), qPrintable(QStringLiteral("cycle %1").arg(ciclo)));
            if (ciclo % 10 == 9)
                QTRY_VERIFY(d->TempoImpiegato() >= 600);
            filiDurante = std::max(filiDurante, NumeroFili());
            Ferma();
            QVERIFY(!d->InCalcolo());
            QVERIFY(d->AreaDisegno.Completamento < 100.0);
            ControllaDopo(d);
            if (QTest::currentTestFailed())
                return;
            QTRY_VERIFY_WITH_TIMEOUT(NumeroFili() <= fili, 2000);
        }
        const qint64 durata = orologio.elapsed();
        qInfo("200 start/stop cycles in %lld ms; threads without a name %d before, at most %d during, %d after; "
              "all threads %d before, %d after",
              durata, fili, filiDurante, NumeroFili(), tutti, TuttiIFili());
        QVERIFY(filiDurante > fili);
        ImpostaMetodo(d, 1);
        DisegnoCompleto(d);
    }

    // "Stop !" at random moments while two documents draw and the user goes
    // from one to the other: every click stops the document active then, at
    // once, and leaves the other drawing. (The seed is printed, so that a
    // failing run can be repeated.)
    void fermaACasoFraDueDisegni()
    {
        const quint32 seme = QRandomGenerator::global()->generate();
        qInfo("seed %u", seme);
        QRandomGenerator caso(seme);
        TMDIChild *documenti[] = {Attivo(), NuovoLento()};
        Attiva(documenti[0]);
        Scrivi(Campo("EditMaxIterazioni"), LimiteLento);
        for (int volta = 0; volta < 40; ++volta) {
            for (TMDIChild *d : documenti)
                if (!d->InCalcolo()) {
                    Attiva(d);
                    ImpostaMetodo(d, int(caso.bounded(2)));
                    Ridisegna();
                }
            // A few switches, each after a moment of its own.
            for (int passo = int(caso.bounded(4)); passo >= 0; --passo) {
                Attiva(documenti[caso.bounded(2)]);
                QTest::qWait(int(caso.bounded(250)));
            }
            TMDIChild *attivo = Attivo();
            TMDIChild *altro = attivo == documenti[0] ? documenti[1] : documenti[0];
            QVERIFY(attivo->InCalcolo() && altro->InCalcolo());
            QVERIFY(AspettoOccupato());
            Ferma();
            QVERIFY2(!attivo->InCalcolo(), qPrintable(QStringLiteral("click %1").arg(volta)));
            QVERIFY(altro->InCalcolo());
            ControllaDopo(attivo);
        }
        for (TMDIChild *d : documenti)
            if (d->InCalcolo()) {
                Attiva(d);
                Ferma();
            }
    }

    // ---- Closing documents while they draw ---------------------------------

    void chiusureDuranteIlDisegno()
    {
        TMDIChild *primo = Attivo();
        const int fili = NumeroFili();
        for (int volta = 0; volta < 20; ++volta) {
            // One to three documents drawing side by side, closed in turn.
            std::vector<QPointer<TMDIChild>> aperti;
            for (int k = 0; k <= volta % 3; ++k)
                aperti.emplace_back(NuovoLento());
            QVERIFY(Continua(aperti.back()));
            for (const QPointer<TMDIChild> &d : aperti) {
                if (volta % 2) {
                    Attiva(d);
                    Comando("FileCloseItem")->trigger();
                } else {
                    Cornice(d)->close();
                }
                QTRY_VERIFY(d.isNull());
            }
            QCOMPARE(NumeroDocumenti(), 1);
            QTRY_VERIFY_WITH_TIMEOUT(NumeroFili() <= fili, 2000);
            ControllaAspettoLibero();
        }
        DisegnoCompleto(primo);
    }

    // ---- Quitting while drawings run --------------------------------------

    void uscitaDuranteIDisegni_data()
    {
        QTest::addColumn<bool>("dalMenu");
        QTest::addColumn<bool>("primaNo");
        QTest::newRow("File > Exit, Yes") << true << false;
        QTest::newRow("chiusura della finestra, No e poi Yes") << false << true;
    }
    void uscitaDuranteIDisegni()
    {
        QFETCH(bool, dalMenu);
        QFETCH(bool, primaNo);
        const int fili = NumeroFili();
        // Three drawings (one of them a zoom) and one idle document.
        std::vector<TMDIChild *> disegni{NuovoLento(), NuovoLento()};
        Comando("FileNewItem")->trigger();
        Scrivi(Campo("EditMaxIterazioni"), LimiteLento);
        Finestra->PannelliADocumento();
        disegni.push_back(Trascina(Attivo()));
        QVERIFY(disegni.back());
        for (TMDIChild *d : disegni)
            QVERIFY(Continua(d));
        const auto esci = [&](QMessageBox::StandardButton risposta) {
            Risponditore.Rispondi([risposta](QWidget *modale) {
                auto *domanda = qobject_cast<QMessageBox *>(modale);
                QVERIFY(domanda);
                QCOMPARE(domanda->text(), QStringLiteral("Are you sure you want to quit?"));
                domanda->button(risposta)->click();
            });
            if (dalMenu)
                Comando("FileExitItem")->trigger();
            else
                Finestra->close();
            QVERIFY(Risponditore.Risposto());
        };
        if (primaNo) {
            esci(QMessageBox::No);
            QVERIFY(Finestra->isVisible());
            for (TMDIChild *d : disegni)
                QVERIFY(Continua(d));
        }
        esci(QMessageBox::Yes);
        // Every drawing ended with the answer.
        QVERIFY(!Finestra->isVisible());
        for (TMDIChild *d : Finestra->Documenti())
            QVERIFY(!d->InCalcolo());
        QCOMPARE(NumeroDocumenti(), 5);
        QTRY_VERIFY_WITH_TIMEOUT(NumeroFili() <= fili, 2000);
        // The program ends: the main window goes with its documents.
        QPointer<TMDIChild> guardia(disegni.front());
        Finestra.reset();
        QVERIFY(guardia.isNull());
        QTRY_VERIFY_WITH_TIMEOUT(NumeroFili() <= fili, 2000);
    }

    // ---- Zooms while another document draws -------------------------------

    // Ten zooms, one after the other, while another document draws: each
    // draws to its end while the other goes on, and they show the same region
    // drawn alike; the other is stopped at the end with "Stop !".
    void dieciZoomDuranteUnDisegno()
    {
        const int fili = NumeroFili();
        TMDIChild *sorgente = Attivo();
        Scrivi(Campo("EditMaxIterazioni"), LimiteRapido);
        Finestra->PannelliADocumento();
        TMDIChild *a = NuovoLento();
        for (int zoom = 0; zoom < 10; ++zoom) {
            TMDIChild *nuovo = Trascina(sorgente);
            QVERIFY(nuovo);
            QCOMPARE(Attivo(), nuovo);
            QVERIFY(Finito(nuovo));
            QVERIFY(nuovo->AreaDisegno.Completamento > 99.0);
            QVERIFY(a->InCalcolo());
        }
        QVERIFY(Continua(a));
        Attiva(a);
        Ferma();
        ControllaDopo(a);
        QCOMPARE(NumeroDocumenti(), 12);
        QTRY_VERIFY_WITH_TIMEOUT(NumeroFili() <= fili, 2000);
        CParametri par = Ultimo()->Parametri();
        par.Finestra.Larghezza = par.Finestra.Altezza = 256;
        const QImage atteso = Renderer(par);
        for (TMDIChild *d : Finestra->Documenti().mid(2))
            QCOMPARE(PixelDiversi(Immagine(d)->Bitmap(), atteso), 0);
        DisegnoCompleto(sorgente);
        DisegnoCompleto(a);
    }

    // Zooms of zooms while each one draws: three documents drawing side by
    // side, stopped in turn; the rest draw on until stopped.
    void zoomDentroUnoZoom()
    {
        const int fili = NumeroFili();
        TMDIChild *sorgente = Attivo();
        Scrivi(Campo("EditMaxIterazioni"), LimiteLento);
        Finestra->PannelliADocumento();
        std::vector<TMDIChild *> zoom{Trascina(sorgente)};
        QVERIFY(zoom.back());
        // A drawing document takes no drags: its zoom comes once it is stopped.
        QVERIFY(Continua(zoom.back()));
        Ferma();
        zoom.push_back(Trascina(zoom.back()));
        zoom.push_back(Trascina(sorgente));
        for (TMDIChild *d : {zoom[1], zoom[2]})
            QVERIFY(d && Continua(d));
        for (TMDIChild *d : {zoom[2], zoom[1]}) {
            Attiva(d);
            Ferma();
            ControllaDopo(d);
        }
        QTRY_VERIFY_WITH_TIMEOUT(NumeroFili() <= fili, 2000);
        for (TMDIChild *d : Finestra->Documenti())
            DisegnoCompleto(d);
    }

    // ---- Saving and opening while a drawing runs --------------------------

    // The drawing document is saved as far as it has come and opened again,
    // then a file asking for a picture too large is opened: all while its
    // drawing runs on.
    void salvaEApriDuranteUnDisegno()
    {
        const int fili = NumeroFili();
        TMDIChild *a = NuovoLento();
        const QString cartella = Cartella->path();
        const QString nome = Cartella->filePath(QStringLiteral("durante.bmp"));
        const QString enorme = Cartella->filePath(QStringLiteral("enorme.bmp"));
        QTRY_VERIFY(a->TempoImpiegato() >= 600);
        Risponditore.Rispondi({Nome(cartella, QStringLiteral("durante.bmp"))});
        Comando("FileSaveItem")->trigger();
        QVERIFY(Risponditore.Risposto());
        QVERIFY(a->InCalcolo());
        QImage salvata;
        QString errore;
        QVERIFY(LeggiBitmap(nome, salvata, errore));
        QVERIFY(!TuttoNero(salvata));

        // The pair just written, opened in a new document.
        Risponditore.Rispondi({Nome(cartella, QStringLiteral("durante.bmp"))});
        Comando("FileOpenItem")->trigger();
        QVERIFY(Risponditore.Risposto());
        QCOMPARE(NumeroDocumenti(), 3);
        TMDIChild *aperto = Ultimo();
        QCOMPARE(Immagine(aperto)->Bitmap(), salvata);
        QCOMPARE(aperto->Parametri().Finestra.MaxIterazioni, LimiteLento.toInt());
        QVERIFY(!aperto->InCalcolo());

        // A parameters file asking for a picture no memory holds.
        QVERIFY(ScriviBitmap(salvata, enorme, errore));
        CParametri parametri = a->Parametri();
        parametri.Finestra.Larghezza = 2147483647;
        parametri.Finestra.Altezza = 2147483647;
        QVERIFY(ScriviFileParametri(parametri, NomeFileParametri(enorme), errore));
        Risponditore.Rispondi({Nome(cartella, QStringLiteral("enorme.bmp")),
                               Messaggio(QStringLiteral("Fallita allocazione del buffer per l'immagine."),
                                         QMessageBox::Critical)});
        Comando("FileOpenItem")->trigger();
        QVERIFY(Risponditore.Risposto());
        QCOMPARE(NumeroDocumenti(), 4);
        TMDIChild *fallito = Ultimo();
        QCOMPARE(Immagine(fallito)->Bitmap(), salvata);
        // The settings of a new document.
        QCOMPARE(fallito->Parametri().Finestra.MaxIterazioni, 120);
        QVERIFY(fallito->Parametri().Finestra.Min == (Complesso{-2.0L, -1.25L}));
        QCOMPARE(fallito->AreaDisegno.Larghezza, 256);

        // All the while the drawing ran on.
        QVERIFY(Continua(a));
        Attiva(a);
        Ferma();
        ControllaDopo(a);
        QTRY_VERIFY_WITH_TIMEOUT(NumeroFili() <= fili, 2000);
        for (TMDIChild *d : Finestra->Documenti())
            DisegnoCompleto(d);
    }
};

int main(int argc, char *argv[])
{
    TApplicazione applicazione(argc, argv);
    TestRobustezza prova;
    return QTest::qExec(&prova, argc, argv);
}

#include "tst_robustezza.moc"
