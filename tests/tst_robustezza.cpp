// The drawing life cycle under load, through the real windows: hundreds of
// starts and stops of one document, documents closed and the program quit in
// the middle of drawings (nested ones too), stops while another document
// draws. Afterwards no drawing thread may be left and the documents that
// remain must draw as before.

#include "Applicazione.h"
#include "FileDocumento.h"
#include "FileParametri.h"
#include "FormContenitore.h"
#include "Immagine.h"
#include "QuillmereShell.h"

#include "SupportoUi.h"

#include <QtTest>

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace {

const QString Titolo = QStringLiteral("Quillmere v0.9");
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

class TestRobustezza : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TContenitore> Finestra;
    // Parent of the timers a test starts; they go with it.
    std::unique_ptr<QObject> Ambito;
    CRisponditore Risponditore;
    // The saved documents the tests open.
    std::unique_ptr<QTemporaryDir> Cartella;

    // A file dialog: the name typed into its text field, then accepted.
    static std::function<void(QWidget *)> Nome(const QString &nome)
    {
        return [nome](QWidget *modale) {
            auto *dialogo = qobject_cast<QFileDialog *>(modale);
            QVERIFY(dialogo);
            dialogo->setDirectory(QFileInfo(nome).absolutePath());
            auto *campo = dialogo->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            QVERIFY(campo);
            campo->setText(QFileInfo(nome).fileName());
            QMetaObject::invokeMethod(dialogo, "accept", Qt::QueuedConnection);
        };
    }
    // A message box with that text, answered OK.
    static std::function<void(QWidget *)> Messaggio(const QString &testo)
    {
        return [testo](QWidget *modale) {
            auto *box = qobject_cast<QMessageBox *>(modale);
            QVERIFY(box);
            QCOMPARE(box->text(), testo);
            box->button(QMessageBox::Ok)->click();
        };
    }

    // Runs the action once, from the events a running drawing handles, as
    // soon as the condition holds (checked every intervallo ms; 0: at every
    // pass through the events). Should a check in it fail, every drawing is
    // stopped so that the test ends.
    void Quando(std::function<bool()> condizione, std::function<void()> azione, int intervallo = 10)
    {
        auto *timer = new QTimer(Ambito.get());
        connect(timer, &QTimer::timeout, timer, [this, timer, condizione, azione] {
            if (!condizione())
                return;
            timer->stop();
            timer->deleteLater();
            azione();
            if (QTest::currentTestFailed() && Finestra)
                for (TMDIChild *d : Finestra->Documenti())
                    d->StopRichiesto = true;
        });
        timer->start(intervallo);
    }

    TMDIChild *Attivo() const { return Finestra->DocumentoAttivo(); }
    void Attiva(TMDIChild *d) { Finestra->AreaDocumenti->setActiveSubWindow(Cornice(d)); }

    void Premi(QPushButton *bottone) { QTest::mouseClick(bottone, Qt::LeftButton); }
    void Ridisegna() { Premi(Finestra->BottoneRidisegna); }
    void Ferma()
    {
        QVERIFY(Finestra->BottoneFermaCalcolo->isVisible());
        Premi(Finestra->BottoneFermaCalcolo);
    }
    // The outer drawing after a nested one has ended: the nested drawing's
    // end gave the toolbar its idle look, so "Stop !" is hidden although the
    // outer drawing goes on. Its handler acts on the active document.
    void FermaEsterno(TMDIChild *d)
    {
        Attiva(d);
        QVERIFY(d->InCalcolo());
        Finestra->BottoneFermaCalcoloClick();
    }

    void Scrivi(QLineEdit *campo, const QString &testo)
    {
        campo->selectAll();
        QTest::keyClicks(campo, testo);
    }

    // A new document whose next drawing runs for minutes.
    TMDIChild *NuovoLento()
    {
        Finestra->FileNewItem->trigger();
        Scrivi(Finestra->EditMaxIterazioni, LimiteLento);
        return Attivo();
    }

    // A drawing started while another one draws (its "Ridisegna" is hidden
    // then): the panels go into the active document and it draws, nested.
    void DisegnoAnnidato()
    {
        Finestra->PannelliADocumento();
        Finestra->RidisegnaAttivo();
    }

    void ControllaAspettoLibero()
    {
        QVERIFY(Finestra->BottoneRidisegna->isVisible());
        QVERIFY(Finestra->BottoneRidisegna->isEnabled());
        QVERIFY(Finestra->BottoneFermaCalcolo->isHidden());
        QVERIFY(Finestra->LabelAttendi->isHidden());
    }
    bool AspettoOccupato() const
    {
        return Finestra->BottoneRidisegna->isHidden() && Finestra->BottoneFermaCalcolo->isVisible() &&
               Finestra->BottoneFermaCalcolo->isEnabled() && Finestra->LabelAttendi->isVisible();
    }
    // What a finished or stopped drawing leaves behind.
    void ControllaDopo(TMDIChild *d)
    {
        ControllaAspettoLibero();
        QVERIFY(!d->InCalcolo());
        QVERIFY(d->Immagine->isEnabled());
        QVERIFY(d->Immagine->Stirata());
        QCOMPARE(d->TempoPrevisto, int64_t(0));
        QCOMPARE(d->TempoImpiegato % 200, int64_t(0));
        QCOMPARE(Finestra->windowTitle(), Titolo);
        QCOMPARE(TitoloApplicazione(), Titolo);
    }

    // The document is still usable: a new drawing of its own settings runs
    // to its end and gives the picture that the headless renderer gives.
    void DisegnoCompleto(TMDIChild *d)
    {
        Attiva(d);
        QCOMPARE(Attivo(), d);
        QVERIFY(!d->InCalcolo());
        Scrivi(Finestra->EditMaxIterazioni, LimiteRapido);
        Ridisegna();
        ControllaDopo(d);
        QCOMPARE(d->AreaDisegno.MaxIterazioni, LimiteRapido.toInt());
        QVERIFY(d->AreaDisegno.Completamento > 99.0);
        const QImage atteso = Renderer(d->Parametri());
        QVERIFY(!atteso.isNull());
        QCOMPARE(PixelDiversi(d->Immagine->Bitmap(), atteso), 0);
    }

    // A drag on an idle document's picture: the region under it opens in a
    // new document, which draws once the release has been handled.
    void Trascina(TMDIChild *d)
    {
        QVERIFY(d->Immagine->isEnabled());
        QTest::mousePress(d->Immagine, Qt::LeftButton, {}, QPoint(128, 128));
        QTest::mouseMove(d->Immagine, QPoint(160, 160));
        QTest::mouseRelease(d->Immagine, Qt::LeftButton, {}, QPoint(160, 160));
    }
    TMDIChild *Ultimo() const { return Finestra->Documenti().last(); }

    void NuovaFinestra()
    {
        Ambito = std::make_unique<QObject>();
        Finestra = FinestraPrincipale(1000, 800);
        QVERIFY(Finestra);
    }

private slots:
    void init()
    {
        Cartella = std::make_unique<QTemporaryDir>();
        QVERIFY(Cartella->isValid());
        NuovaFinestra();
    }

    void cleanup()
    {
        Ambito.reset();
        Risponditore.Ferma();
        Cartella.reset();
        if (Finestra)
            for (TMDIChild *d : Finestra->Documenti())
                QVERIFY(!d->InCalcolo());
        Finestra.reset();
        QVERIFY(!QApplication::activeModalWidget());
    }

    // ---- Starts and stops -------------------------------------------------

    void duecentoAvviiEArresti()
    {
        TMDIChild *d = Attivo();
        Scrivi(Finestra->EditMaxIterazioni, LimiteLento);
        const int fili = NumeroFili();
        const int tutti = TuttiIFili();
            int filiDurante = 0;
        QElapsedTimer orologio;
        orologio.start();
        for (int ciclo = 0; ciclo < 200; ++ciclo) {
            // Both drawing methods; most cycles stop at the first poll, every
            // tenth one a few polls later, when the progress texts are shown.
            d->SceltaMetodo = int8_t(ciclo % 2);
            const int64_t quando = ciclo % 10 == 9 ? 600 : 200;
            int64_t tempoAlloStop = -1;
            bool occupato = false;
            Quando([d, quando] { return d->InCalcolo() && d->TempoImpiegato >= quando; }, [&] {
                occupato = AspettoOccupato() && !d->Immagine->isEnabled();
                filiDurante = std::max(filiDurante, NumeroFili());
                tempoAlloStop = d->TempoImpiegato;
                Ferma();
            });
            Ridisegna();
            QVERIFY2(occupato, qPrintable(QStringLiteral("cycle %1").arg(ciclo)));
            // The stop took effect in the poll that handled the click.
            QCOMPARE(d->TempoImpiegato, tempoAlloStop);
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
        d->SceltaMetodo = 1;
        DisegnoCompleto(d);
    }

    // ---- Closing a document while it draws --------------------------------

    void chiusureDuranteIlDisegno()
    {
        TMDIChild *primo = Attivo();
        const int fili = NumeroFili();
        for (int volta = 0; volta < 20; ++volta) {
            TMDIChild *d = NuovoLento();
            QPointer<TMDIChild> guardia(d);
            const int64_t quando = 200 * (1 + volta % 4);
            bool chiuso = false;
            Quando([d, quando] { return d->TempoImpiegato >= quando; }, [&] {
                if (volta % 2)
                    Finestra->FileCloseItem->trigger();
                else
                    Cornice(d)->close();
                // The document stays until its drawing has ended.
                QVERIFY(!guardia.isNull());
                QVERIFY(d->StopRichiesto);
                chiuso = true;
            });
            Ridisegna();
            QVERIFY(chiuso);
            QTRY_VERIFY(guardia.isNull());
            QCOMPARE(Finestra->Documenti().size(), 1);
            QTRY_VERIFY_WITH_TIMEOUT(NumeroFili() <= fili, 2000);
            QCOMPARE(Finestra->windowTitle(), Titolo);
            ControllaAspettoLibero();
        }
        DisegnoCompleto(primo);
    }

    // Two drawings, one parked under the other; the outer, the inner or both
    // documents are closed while the inner one draws.
    void chiusuraConDisegnoAnnidato_data()
    {
        QTest::addColumn<bool>("esterno");
        QTest::addColumn<bool>("interno");
        QTest::newRow("esterno") << true << false;
        QTest::newRow("interno") << false << true;
        QTest::newRow("entrambi") << true << true;
    }
    void chiusuraConDisegnoAnnidato()
    {
        QFETCH(bool, esterno);
        QFETCH(bool, interno);
        const int fili = NumeroFili();
        TMDIChild *e = NuovoLento();
        TMDIChild *i = nullptr;
        QPointer<TMDIChild> guardiaE(e);
        QPointer<TMDIChild> guardiaI;
        int64_t tempoE = 0;
        int64_t tempoI = 0;
        bool chiuso = false;
        bool fermatoE = false;
        Quando([e] { return e->TempoImpiegato >= 400; }, [&] {
            tempoE = e->TempoImpiegato;
            i = NuovoLento();
            guardiaI = i;
            Quando([&] { return i->TempoImpiegato >= 400; }, [&] {
                tempoI = i->TempoImpiegato;
                if (esterno) {
                    Cornice(e)->close();
                    QVERIFY(e->StopRichiesto);
                }
                if (interno) {
                    Cornice(i)->close();
                    QVERIFY(i->StopRichiesto);
                } else {
                    // The inner one goes on drawing, then is stopped.
                    Quando([&] { return i->TempoImpiegato >= tempoI + 400; }, [&] {
                        Attiva(i);
                        Ferma();
                    });
                }
                QVERIFY(!guardiaE.isNull());
                QVERIFY(!guardiaI.isNull());
                chiuso = true;
            });
            DisegnoAnnidato();
            // The inner drawing has ended; the outer one made no progress meanwhile.
            QVERIFY(!guardiaE.isNull());
            QCOMPARE(e->TempoImpiegato, tempoE);
            QVERIFY(e->InCalcolo());
            if (!esterno)
                Quando([&] { return guardiaE && e->TempoImpiegato >= tempoE + 400; }, [&] {
                    fermatoE = true;
                    FermaEsterno(e);
                });
        });
        Attiva(e);
        Ridisegna();
        QVERIFY(chiuso);
        QCOMPARE(fermatoE, !esterno);
        if (esterno)
            QTRY_VERIFY(guardiaE.isNull());
        if (interno)
            QTRY_VERIFY(guardiaI.isNull());
        QCOMPARE(Finestra->Documenti().size(), 3 - int(esterno) - int(interno));
        QTRY_VERIFY_WITH_TIMEOUT(NumeroFili() <= fili, 2000);
        ControllaAspettoLibero();
        for (TMDIChild *d : Finestra->Documenti())
            DisegnoCompleto(d);
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
        // Three drawings, each nested in the one before, and one idle document.
        TMDIChild *a = NuovoLento();
        std::vector<TMDIChild *> annidati;
        std::vector<int64_t> tempi;
        int64_t tempoUltimo = 0;
        int domande = 0;
        bool uscito = false;
        const auto chiudi = [&] {
            if (dalMenu)
                Finestra->FileExitItem->trigger();
            else
                Finestra->close();
        };
        const auto rispondi = [&](QMessageBox::StandardButton risposta) {
            Risponditore.Rispondi({[&, risposta](QWidget *modale) {
                auto *domanda = qobject_cast<QMessageBox *>(modale);
                QVERIFY(domanda);
                QCOMPARE(domanda->text(), QStringLiteral("Are you sure you want to quit?"));
                ++domande;
                domanda->button(risposta)->click();
            }});
        };
        std::function<void()> annida = [&] {
            TMDIChild *esterno = Attivo();
            tempi.push_back(esterno->TempoImpiegato);
            if (annidati.size() < 2) {
                annidati.push_back(NuovoLento());
                TMDIChild *d = annidati.back();
                Quando([d] { return d->TempoImpiegato >= 400; }, annida);
                DisegnoAnnidato();
                QVERIFY(!d->InCalcolo());
                return;
            }
            // The innermost drawing: the quit question.
            TMDIChild *d = esterno;
            if (primaNo) {
                rispondi(QMessageBox::No);
                chiudi();
                QVERIFY(Risponditore.Risposto());
                QVERIFY(Finestra->isVisible());
                QVERIFY(!d->StopRichiesto);
                tempoUltimo = d->TempoImpiegato;
                // The drawings go on; then the user quits after all.
                Quando([&, d] { return d->TempoImpiegato >= tempoUltimo + 400; }, [&, d] {
                    tempoUltimo = d->TempoImpiegato;
                    rispondi(QMessageBox::Yes);
                    chiudi();
                    uscito = Risponditore.Risposto();
                });
            } else {
                tempoUltimo = d->TempoImpiegato;
                rispondi(QMessageBox::Yes);
                chiudi();
                uscito = Risponditore.Risposto();
            }
        };
        Quando([a] { return a->TempoImpiegato >= 400; }, annida);
        Ridisegna();
        QVERIFY(uscito);
        QCOMPARE(domande, primaNo ? 2 : 1);
        QVERIFY(!Finestra->isVisible());
        QCOMPARE(annidati.size(), size_t(2));
        QCOMPARE(tempi.size(), size_t(3));
        // Each drawing ended in its first poll after the quit: the innermost
        // in the poll that handled it, the outer ones as soon as the one
        // nested in them had ended, with no progress of their own.
        QCOMPARE(annidati[1]->TempoImpiegato, tempoUltimo);
        QCOMPARE(annidati[0]->TempoImpiegato, tempi[1]);
        QCOMPARE(a->TempoImpiegato, tempi[0]);
        for (TMDIChild *d : Finestra->Documenti())
            QVERIFY(!d->InCalcolo());
        QCOMPARE(Finestra->Documenti().size(), 4);
        QTRY_VERIFY_WITH_TIMEOUT(NumeroFili() <= fili, 2000);
        // The program ends: the main window goes with its documents.
        QPointer<TMDIChild> guardia(a);
        Finestra.reset();
        QVERIFY(guardia.isNull());
        QTRY_VERIFY_WITH_TIMEOUT(NumeroFili() <= fili, 2000);
    }

    // ---- Stopping while another document draws ----------------------------

    // The outer document is stopped while a nested drawing of another
    // document runs; the inner one is stopped too, or left to finish.
    void fermaMentreUnAltroDisegna_data()
    {
        QTest::addColumn<QString>("caso");
        QTest::newRow("ferma l'esterno, poi l'interno") << "esterno, interno";
        QTest::newRow("ferma l'esterno, l'interno finisce") << "esterno, interno finisce";
        QTest::newRow("ferma l'interno, l'esterno continua") << "interno, esterno continua";
    }
    void fermaMentreUnAltroDisegna()
    {
        QFETCH(QString, caso);
        const int fili = NumeroFili();
        TMDIChild *e = NuovoLento();
        TMDIChild *i = nullptr;
        int64_t tempoE = 0;
        int64_t tempoI = 0;
        bool fatto = false;
        bool continuato = false;
        Quando([e] { return e->TempoImpiegato >= 400; }, [&] {
            tempoE = e->TempoImpiegato;
            Finestra->FileNewItem->trigger();
            i = Attivo();
            Scrivi(Finestra->EditMaxIterazioni,
                   caso == QStringLiteral("esterno, interno finisce") ? LimiteRapido : LimiteLento);
            // Checked at every pass: the inner drawing may end in its first poll.
            Quando([&] { return i->InCalcolo(); }, [&] {
                tempoI = i->TempoImpiegato;
                QVERIFY(AspettoOccupato());
                if (caso.startsWith(QStringLiteral("esterno"))) {
                    // The outer document, active, shows the busy look of the
                    // inner drawing; its Stop waits for the inner one to end.
                    Attiva(e);
                    QVERIFY(AspettoOccupato());
                    Ferma();
                    QVERIFY(e->StopRichiesto);
                    QVERIFY(!i->StopRichiesto);
                    if (caso == QStringLiteral("esterno, interno"))
                        Quando([&] { return i->TempoImpiegato >= tempoI + 400; }, [&] {
                            Attiva(i);
                            Ferma();
                        });
                } else {
                    Ferma();
                    QVERIFY(!e->StopRichiesto);
                }
                fatto = true;
            }, 0);
            DisegnoAnnidato();
            QVERIFY(fatto);
            QVERIFY(!i->InCalcolo());
            QCOMPARE(e->TempoImpiegato, tempoE);
            QVERIFY(e->InCalcolo());
            if (caso == QStringLiteral("esterno, interno finisce")) {
                // The inner drawing ran to its end, undisturbed.
                ControllaDopo(i);
                QVERIFY(i->AreaDisegno.Completamento > 99.0);
                QCOMPARE(PixelDiversi(i->Immagine->Bitmap(), Renderer(i->Parametri())), 0);
            } else if (caso == QStringLiteral("esterno, interno")) {
                QVERIFY(i->TempoImpiegato >= tempoI + 400);
            } else {
                QCOMPARE(i->TempoImpiegato, tempoI);
                // The outer drawing takes up again, then is stopped.
                Quando([&] { return e->TempoImpiegato >= tempoE + 400; }, [&] {
                    continuato = true;
                    FermaEsterno(e);
                });
            }
        });
        Attiva(e);
        Ridisegna();
        QVERIFY(fatto);
        if (caso.startsWith(QStringLiteral("esterno")))
            QCOMPARE(e->TempoImpiegato, tempoE); // in its first poll after the inner one
        else
            QVERIFY(continuato);
        ControllaDopo(e);
        QTRY_VERIFY_WITH_TIMEOUT(NumeroFili() <= fili, 2000);
        for (TMDIChild *d : Finestra->Documenti())
            DisegnoCompleto(d);
    }

    // ---- Zooms while another document draws -------------------------------

    // A drag on an idle document while another draws: the region opens in a
    // new document whose drawing runs nested in the other one. The outer
    // drawing is stopped with "Stop !" during the zoom's drawing, which
    // finishes or is stopped too; or the zoom is stopped and the outer one
    // goes on.
    void zoomDuranteUnDisegno_data()
    {
        QTest::addColumn<QString>("caso");
        QTest::newRow("esterno fermato, lo zoom finisce") << "finisce";
        QTest::newRow("esterno fermato, poi lo zoom") << "fermato";
        QTest::newRow("zoom fermato, l'esterno continua") << "continua";
    }
    void zoomDuranteUnDisegno()
    {
        QFETCH(QString, caso);
        const int fili = NumeroFili();
        // The zoom takes its iteration limit from the document it starts in.
        TMDIChild *sorgente = Attivo();
        Scrivi(Finestra->EditMaxIterazioni, caso == QStringLiteral("finisce") ? LimiteRapido : LimiteLento);
        Finestra->PannelliADocumento();
        TMDIChild *a = NuovoLento();
        TMDIChild *zoom = nullptr;
        int64_t tempoA = -1;
        double completamentoA = -1.0;
        int64_t tempoZoom = 0;
        bool fermato = false;
        bool continuato = false;
        Quando([a] { return a->TempoImpiegato >= 400; }, [&] {
            // Checked at every pass: the zoom's drawing may end in its first poll.
            Quando([&] { return Finestra->Documenti().size() == 3 && Ultimo()->InCalcolo(); }, [&] {
                zoom = Ultimo();
                QCOMPARE(Attivo(), zoom);
                QVERIFY(AspettoOccupato());
                tempoA = a->TempoImpiegato;
                completamentoA = a->AreaDisegno.Completamento;
                tempoZoom = zoom->TempoImpiegato;
                if (caso == QStringLiteral("continua")) {
                    Quando([&] { return zoom->TempoImpiegato >= tempoZoom + 400; }, [&] { Ferma(); });
                    // The outer drawing takes up again once the zoom's has ended.
                    Quando([&] { return !zoom->InCalcolo() && a->TempoImpiegato >= tempoA + 400; }, [&] {
                        continuato = true;
                        FermaEsterno(a);
                    });
                } else {
                    Attiva(a);
                    QVERIFY(AspettoOccupato());
                    Ferma();
                    QVERIFY(a->StopRichiesto);
                    QVERIFY(!zoom->StopRichiesto);
                    if (caso == QStringLiteral("fermato"))
                        Quando([&] { return zoom->TempoImpiegato >= tempoZoom + 400; }, [&] {
                            Attiva(zoom);
                            Ferma();
                        });
                }
                fermato = true;
            }, 0);
            Trascina(sorgente);
        });
        Attiva(a);
        Ridisegna();
        QVERIFY(fermato);
        QVERIFY(zoom);
        QVERIFY(!zoom->InCalcolo());
        ControllaDopo(a);
        if (caso == QStringLiteral("continua")) {
            QVERIFY(continuato);
        } else {
            // Nothing drawn in the outer document after the zoom began.
            QCOMPARE(a->TempoImpiegato, tempoA);
            QCOMPARE(a->AreaDisegno.Completamento, completamentoA);
        }
        if (caso == QStringLiteral("finisce")) {
            QVERIFY(zoom->AreaDisegno.Completamento > 99.0);
            QCOMPARE(PixelDiversi(zoom->Immagine->Bitmap(), Renderer(zoom->Parametri())), 0);
        } else {
            QVERIFY(zoom->TempoImpiegato >= tempoZoom + 400);
            QVERIFY(zoom->AreaDisegno.Completamento < 100.0);
        }
        QTRY_VERIFY_WITH_TIMEOUT(NumeroFili() <= fili, 2000);
        for (TMDIChild *d : Finestra->Documenti())
            DisegnoCompleto(d);
    }

    // Ten zooms, one after the other, each drawn to its end during one
    // drawing of another document, whose Stop is pressed during the last.
    void dieciZoomDuranteUnDisegno()
    {
        const int fili = NumeroFili();
        TMDIChild *sorgente = Attivo();
        Scrivi(Finestra->EditMaxIterazioni, LimiteRapido);
        Finestra->PannelliADocumento();
        TMDIChild *a = NuovoLento();
        int64_t tempoA = -1;
        double completamentoA = -1.0;
        bool fatto = false;
        Quando([a] { return a->TempoImpiegato >= 400; }, [&] {
            tempoA = a->TempoImpiegato;
            completamentoA = a->AreaDisegno.Completamento;
            for (int zoom = 0; zoom < 10; ++zoom) {
                if (zoom == 9)
                    Quando([&] { return Finestra->Documenti().size() == 12 && Ultimo()->InCalcolo(); }, [&] {
                        Attiva(a);
                        Ferma();
                        fatto = true;
                    }, 0);
                Trascina(sorgente);
                QTRY_COMPARE(Finestra->Documenti().size(), qsizetype(3 + zoom));
                QTRY_VERIFY(!Ultimo()->InCalcolo());
                QVERIFY(Ultimo()->AreaDisegno.Completamento > 99.0);
                QVERIFY(a->InCalcolo());
                QCOMPARE(a->TempoImpiegato, tempoA);
            }
        });
        Attiva(a);
        Ridisegna();
        QVERIFY(fatto);
        ControllaDopo(a);
        QCOMPARE(a->TempoImpiegato, tempoA);
        QCOMPARE(a->AreaDisegno.Completamento, completamentoA);
        QCOMPARE(Finestra->Documenti().size(), qsizetype(12));
        QTRY_VERIFY_WITH_TIMEOUT(NumeroFili() <= fili, 2000);
        // The ten pictures are the same region drawn alike.
        const QImage atteso = Renderer(Ultimo()->Parametri());
        for (TMDIChild *d : Finestra->Documenti().mid(2))
            QCOMPARE(PixelDiversi(d->Immagine->Bitmap(), atteso), 0);
        DisegnoCompleto(sorgente);
        DisegnoCompleto(a);
    }

    // Three drawings, each nested in the one before: a drawing, a zoom that
    // started during it, a zoom that started during that one. All three are
    // stopped while the innermost draws; they end one after the other.
    void zoomDentroUnoZoom()
    {
        const int fili = NumeroFili();
        TMDIChild *sorgente = Attivo();
        Scrivi(Finestra->EditMaxIterazioni, LimiteLento);
        Finestra->PannelliADocumento();
        TMDIChild *a = NuovoLento();
        std::vector<TMDIChild *> annidati;
        std::vector<int64_t> tempi;
        bool fermati = false;
        Quando([a] { return a->TempoImpiegato >= 400; }, [&] {
            Quando([&] { return Finestra->Documenti().size() == 3 && Ultimo()->TempoImpiegato >= 400; }, [&] {
                Quando([&] { return Finestra->Documenti().size() == 4 && Ultimo()->TempoImpiegato >= 400; }, [&] {
                    annidati = {a, Finestra->Documenti()[2], Finestra->Documenti()[3]};
                    for (TMDIChild *d : annidati) {
                        QVERIFY(d->InCalcolo());
                        tempi.push_back(d->TempoImpiegato);
                        Attiva(d);
                        Ferma();
                        QVERIFY(d->StopRichiesto);
                    }
                    fermati = true;
                });
                Trascina(sorgente);
            });
            Trascina(sorgente);
        });
        Attiva(a);
        Ridisegna();
        QVERIFY(fermati);
        for (size_t i = 0; i < annidati.size(); ++i) {
            QVERIFY(!annidati[i]->InCalcolo());
            QCOMPARE(annidati[i]->TempoImpiegato, tempi[i]);
        }
        ControllaAspettoLibero();
        QTRY_VERIFY_WITH_TIMEOUT(NumeroFili() <= fili, 2000);
        for (TMDIChild *d : Finestra->Documenti())
            DisegnoCompleto(d);
    }

    // ---- Saving and opening while a drawing runs --------------------------

    // The drawing document is saved as far as it has come and opened again,
    // then a file asking for a picture too large is opened: all while its
    // drawing runs, parked, which then goes on.
    void salvaEApriDuranteUnDisegno()
    {
        const int fili = NumeroFili();
        TMDIChild *a = NuovoLento();
        const QString nome = Cartella->filePath(QStringLiteral("durante.bmp"));
        const QString enorme = Cartella->filePath(QStringLiteral("enorme.bmp"));
        TMDIChild *aperto = nullptr;
        TMDIChild *fallito = nullptr;
        QImage salvata;
        int64_t tempoA = -1;
        bool fatto = false;
        bool continuato = false;
        Quando([a] { return a->TempoImpiegato >= 600; }, [&] {
            tempoA = a->TempoImpiegato;
            salvata = a->Immagine->Bitmap();
            QVERIFY(!TuttoNero(salvata));
            Risponditore.Rispondi({Nome(nome)});
            Finestra->FileSaveItem->trigger();
            QVERIFY(Risponditore.Risposto());
            QVERIFY(a->InCalcolo());

            // The pair just written, opened in a new document.
            Risponditore.Rispondi({Nome(nome)});
            Finestra->FileOpenItem->trigger();
            QVERIFY(Risponditore.Risposto());
            QCOMPARE(Finestra->Documenti().size(), qsizetype(3));
            aperto = Ultimo();
            QCOMPARE(aperto->Immagine->Bitmap(), salvata);
            QCOMPARE(aperto->AreaDisegno.MaxIterazioni, LimiteLento.toInt());
            QVERIFY(!aperto->InCalcolo());

            // A parameters file asking for a picture no memory holds.
            QString errore;
            QVERIFY(ScriviBitmap(salvata, enorme, errore));
            CParametri parametri = a->Parametri();
            parametri.Finestra.Larghezza = 2147483647;
            parametri.Finestra.Altezza = 2147483647;
            QVERIFY(ScriviFileParametri(parametri, NomeFileParametri(enorme), errore));
            Risponditore.Rispondi({Nome(enorme), Messaggio(QStringLiteral("Fallita allocazione del buffer per l'immagine."))});
            Finestra->FileOpenItem->trigger();
            QVERIFY(Risponditore.Risposto());
            QCOMPARE(Finestra->Documenti().size(), qsizetype(4));
            fallito = Ultimo();
            QCOMPARE(fallito->Immagine->Bitmap(), salvata);
            // The settings of a new document.
            QCOMPARE(fallito->AreaDisegno.MaxIterazioni, 120);
            QVERIFY(fallito->AreaDisegno.Min == (Complesso{-2.0L, -1.25L}));
            QCOMPARE(fallito->AreaDisegno.Larghezza, 256);

            // All the while the drawing stayed parked, and still runs.
            QVERIFY(a->InCalcolo());
            QCOMPARE(a->TempoImpiegato, tempoA);
            QVERIFY(AspettoOccupato());
            fatto = true;
            Quando([&] { return a->TempoImpiegato >= tempoA + 400; }, [&] {
                continuato = true;
                Attiva(a);
                Ferma();
            });
        });
        Attiva(a);
        Ridisegna();
        QVERIFY(fatto);
        QVERIFY(continuato);
        ControllaDopo(a);
        QCOMPARE(Finestra->Documenti().size(), qsizetype(4));
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
