// Drawing from the main window: the settings panels, "Ridisegna", Enter and
// "Stop !", the document's redraw on its worker thread, and closing or
// quitting while a drawing runs.

#include "Applicazione.h"
#include "BarraDiStato.h"
#include "BarraStrumenti.h"
#include "FileParametri.h"
#include "FormContenitore.h"
#include "Immagine.h"
#include "ImmagineQt.h"
#include "QuillmereShell.h"
#include "TestiCalcolo.h"

#include "SupportoUi.h"

#include <QtTest>

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

#include <functional>
#include <memory>

Q_DECLARE_METATYPE(long double)

namespace {

const QString Titolo = QStringLiteral("Quillmere v0.9");
// A limit that keeps the default Mandelbrot drawing for minutes: such a
// drawing is always stopped by the test.
const QString LimiteLento = QStringLiteral("2147483647");

// Whether the render area's buffer holds exactly the picture's colours.
bool BufferComeFigura(TMDIChild *d)
{
    const QImage figura = d->Immagine->Bitmap();
    for (int y = 0; y < figura.height(); ++y)
        for (int x = 0; x < figura.width(); ++x)
            if (CImmagineQt::QRgbDaColore(d->AreaDisegno.LeggiPixel(x, y)) != (figura.pixel(x, y) | 0xFF000000))
                return false;
    return true;
}

} // namespace

class TestDisegnoUi : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TContenitore> Finestra;
    // Parent of the timers a test starts; they go with it.
    std::unique_ptr<QObject> Ambito;
    CRisponditore Risponditore;

    // Runs the action once, from the events a running drawing handles, as
    // soon as the condition holds. Should a check in it fail, every drawing
    // is stopped so that the test ends.
    void Quando(std::function<bool()> condizione, std::function<void()> azione)
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
        timer->start(10);
    }

    TMDIChild *Attivo() const { return Finestra->DocumentoAttivo(); }
    QString Pannello(int i) const { return Finestra->BarraDiStato->TestoPannello(i); }

    void Premi(QPushButton *bottone) { QTest::mouseClick(bottone, Qt::LeftButton); }
    void Ridisegna() { Premi(Finestra->BottoneRidisegna); }

    // The panels' texts, as the user types them.
    void Scrivi(QLineEdit *campo, const QString &testo)
    {
        campo->selectAll();
        if (testo.isEmpty())
            QTest::keyClick(campo, Qt::Key_Delete);
        else
            QTest::keyClicks(campo, testo);
    }
    // The user chooses a formula in the list with the keyboard.
    void ScegliFrattale(int indice)
    {
        QComboBox *elenco = Finestra->ComboBoxFrattale;
        while (elenco->currentIndex() < indice)
            QTest::keyClick(elenco, Qt::Key_Down);
        while (elenco->currentIndex() > indice)
            QTest::keyClick(elenco, Qt::Key_Up);
    }

    // The parameters of the active document's next drawing, for the renderer.
    CParametri ParametriDi(TMDIChild *d) const
    {
        CParametri par;
        par.Finestra = {d->AreaDisegno.Min, d->AreaDisegno.Max, d->Immagine->width(), d->Immagine->height(),
                        d->AreaDisegno.MaxIterazioni};
        par.SceltaFrattale = d->SceltaFrattale;
        par.SceltaInterno = d->SceltaInterno;
        par.SceltaEsterno = d->SceltaEsterno;
        par.SceltaMetodo = d->SceltaMetodo;
        par.FrattaleJulia.Param = d->FrattaleJulia.Param;
        par.FrattaleVolterraLotka.Param1 = d->FrattaleVolterraLotka.Param1;
        par.FrattaleVolterraLotka.Param2 = d->FrattaleVolterraLotka.Param2;
        return par;
    }

    void ControllaAspettoLibero()
    {
        QVERIFY(Finestra->BottoneRidisegna->isVisible());
        QVERIFY(Finestra->BottoneRidisegna->isEnabled());
        QVERIFY(Finestra->BottoneFermaCalcolo->isHidden());
        QVERIFY(!Finestra->BottoneFermaCalcolo->isEnabled());
        QVERIFY(Finestra->LabelAttendi->isHidden());
    }
    void ControllaAspettoOccupato()
    {
        QVERIFY(Finestra->BottoneRidisegna->isHidden());
        QVERIFY(!Finestra->BottoneRidisegna->isEnabled());
        QVERIFY(Finestra->BottoneFermaCalcolo->isVisible());
        QVERIFY(Finestra->BottoneFermaCalcolo->isEnabled());
        QVERIFY(Finestra->LabelAttendi->isVisible());
    }
    // The texts and states a finished or stopped drawing leaves behind.
    void ControllaDopo(TMDIChild *d)
    {
        ControllaAspettoLibero();
        QCOMPARE(Finestra->windowTitle(), Titolo);
        QCOMPARE(TitoloApplicazione(), Titolo);
        QVERIFY(d->Immagine->isEnabled());
        QVERIFY(d->Immagine->Stirata());
        QVERIFY(!d->InCalcolo());
        QCOMPARE(d->TempoPrevisto, int64_t(0));
        // Whole polling periods; none when the worker had ended before the first.
        QVERIFY(d->TempoImpiegato >= 0);
        QCOMPARE(d->TempoImpiegato % 200, int64_t(0));
        QCOMPARE(Pannello(1), TestoDimensione(d->Immagine->width(), d->Immagine->height()));
        QCOMPARE(Pannello(2), QStringLiteral("\tTempo impiegato: ") + FormattaTempo(d->TempoImpiegato));
    }

private slots:
    void init()
    {
        Ambito = std::make_unique<QObject>();
        Finestra = FinestraPrincipale(1000, 800);
        QVERIFY(Finestra);
    }

    void cleanup()
    {
        Ambito.reset();
        Risponditore.Ferma();
        if (Finestra)
            for (TMDIChild *d : Finestra->Documenti())
                QVERIFY(!d->InCalcolo());
        Finestra.reset();
        QVERIFY(!QApplication::activeModalWidget());
    }

    // ---- The panels -------------------------------------------------------

    void pannelliAllAvvio()
    {
        // The layout's placeholders are gone: the first document's defaults show.
        QCOMPARE(Finestra->ComboBoxFrattale->currentText(), QStringLiteral("Mandelbrot"));
        QCOMPARE(Finestra->ComboBoxColoreInterno->currentText(), QStringLiteral("Sfumato Log1"));
        QCOMPARE(Finestra->EditMaxIterazioni->text(), QStringLiteral("120"));
        QCOMPARE(Finestra->EditXMin->text(), QStringLiteral("-2"));
        QCOMPARE(Finestra->EditXMax->text(), QStringLiteral("0.5"));
        QCOMPARE(Finestra->EditYMin->text(), QStringLiteral("-1.25"));
        QCOMPARE(Finestra->EditYMax->text(), QStringLiteral("1.25"));
        QCOMPARE(Finestra->EditParam1->text(), QString());
        QCOMPARE(Finestra->EditParam2->text(), QString());
        QCOMPARE(Pannello(0), QStringLiteral("Mandelbrot"));
        // Nothing has been drawn yet.
        QVERIFY(TuttoNero(Attivo()->Immagine->Bitmap()));
        ControllaAspettoLibero();
    }

    void cambioDiFrattale_data()
    {
        QTest::addColumn<int>("indice");
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("param1");
        QTest::addColumn<QString>("param2");
        QTest::newRow("Julia") << 1 << "Julia" << "-1.25" << "0";
        QTest::newRow("Volterra-Lotka") << 2 << "Volterra-Lotka" << "0.65" << "0.3";
    }
    void cambioDiFrattale()
    {
        QFETCH(int, indice);
        QFETCH(QString, nome);
        QFETCH(QString, param1);
        QFETCH(QString, param2);
        TMDIChild *d = Attivo();
        // Typed and not stored: replaced by the document's own values.
        Scrivi(Finestra->EditXMax, QStringLiteral("7"));
        Scrivi(Finestra->EditMaxIterazioni, QStringLiteral("33"));
        ScegliFrattale(indice);
        QCOMPARE(d->SceltaFrattale, int8_t(indice));
        QCOMPARE(Finestra->EditParam1->text(), param1);
        QCOMPARE(Finestra->EditParam2->text(), param2);
        QCOMPARE(Pannello(0), nome);
        QCOMPARE(Finestra->EditXMax->text(), QStringLiteral("0.5"));
        QCOMPARE(Finestra->EditMaxIterazioni->text(), QStringLiteral("120"));
        QCOMPARE(d->AreaDisegno.MaxIterazioni, 120);
        // Nothing is drawn.
        QVERIFY(TuttoNero(d->Immagine->Bitmap()));
        QCOMPARE(d->TempoImpiegato, int64_t(0));
        // Back to Mandelbrot: no parameters.
        ScegliFrattale(0);
        QCOMPARE(Finestra->EditParam1->text(), QString());
        QCOMPARE(Finestra->EditParam2->text(), QString());
        QCOMPARE(Pannello(0), QStringLiteral("Mandelbrot"));
    }

    void attivazioneScartaIlTestoScritto()
    {
        TMDIChild *primo = Attivo();
        Finestra->FileNewItem->trigger();
        TMDIChild *secondo = Attivo();
        ScegliFrattale(1);
        Scrivi(Finestra->EditParam1, QStringLiteral("0.25"));
        Scrivi(Finestra->EditYMin, QStringLiteral("-9"));
        Finestra->AreaDocumenti->setActiveSubWindow(Cornice(primo));
        QCOMPARE(Finestra->ComboBoxFrattale->currentText(), QStringLiteral("Mandelbrot"));
        QCOMPARE(Finestra->EditParam1->text(), QString());
        QCOMPARE(Finestra->EditYMin->text(), QStringLiteral("-1.25"));
        Finestra->AreaDocumenti->setActiveSubWindow(Cornice(secondo));
        QCOMPARE(Finestra->EditParam1->text(), QStringLiteral("-1.25"));
        QCOMPARE(Finestra->EditYMin->text(), QStringLiteral("-1.25"));
        QVERIFY(secondo->FrattaleJulia.Param == (Complesso{-1.25L, 0.0L}));
    }

    void letturaIterazioni_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<int>("atteso");
        QTest::newRow("12") << "12" << 12;
        QTest::newRow("spazi davanti") << "   12" << 12;
        QTest::newRow("esadecimale $FF") << "$FF" << 255;
        QTest::newRow("esadecimale 0x10") << "0x10" << 16;
        QTest::newRow("segno") << "+40" << 40;
        QTest::newRow("zero, memorizzato com'è") << "0" << 0;
    }
    void letturaIterazioni()
    {
        QFETCH(QString, testo);
        QFETCH(int, atteso);
        TMDIChild *d = Attivo();
        Scrivi(Finestra->EditMaxIterazioni, testo);
        Ridisegna();
        QCOMPARE(d->AreaDisegno.MaxIterazioni, atteso);
        // The panels are not refreshed: the text stays as typed.
        QCOMPARE(Finestra->EditMaxIterazioni->text(), testo);
        ControllaDopo(d);
    }

    void letturaFinestra_data()
    {
        QTest::addColumn<QString>("campo");
        QTest::addColumn<QString>("testo");
        QTest::addColumn<long double>("atteso");
        QTest::newRow("X Max 1e3") << "EditXMax" << "1e3" << 1000.0L;
        QTest::newRow("X Min con spazi") << "EditXMin" << "  -1.5  " << -1.5L;
        QTest::newRow("Y Min 80 bit") << "EditYMin" << "-0.1" << -0.1L;
        QTest::newRow("Y Max esponente") << "EditYMax" << "+125E-2" << 1.25L;
    }
    void letturaFinestra()
    {
        QFETCH(QString, campo);
        QFETCH(QString, testo);
        QFETCH(long double, atteso);
        TMDIChild *d = Attivo();
        auto *edit = Finestra->findChild<QLineEdit *>(campo);
        QVERIFY(edit);
        Scrivi(edit, testo);
        Ridisegna();
        const CAreaDisegno &a = d->AreaDisegno;
        const long double letto = campo == "EditXMin"   ? a.Min.re
                                  : campo == "EditXMax" ? a.Max.re
                                  : campo == "EditYMin" ? a.Min.im
                                                        : a.Max.im;
        QVERIFY2(letto == atteso, qPrintable(campo));
        ControllaDopo(d);
    }

    // A text that fails its reading: the message in the program's error box,
    // what was read before it stored, it and what follows untouched, no drawing.
    void letturaErrata_data()
    {
        QTest::addColumn<int>("frattale");
        QTest::addColumn<QString>("campo");
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("messaggio");
        const QString intero = QStringLiteral("'%1' is not a valid integer value.");
        const QString reale = QStringLiteral("'%1' is not a valid floating point value.");
        QTest::newRow("iterazioni con uno spazio dopo") << 0 << "EditMaxIterazioni" << "12 " << intero.arg("12 ");
        QTest::newRow("iterazioni vuote") << 0 << "EditMaxIterazioni" << "" << intero.arg("");
        QTest::newRow("X Min") << 0 << "EditXMin" << "abc" << reale.arg("abc");
        QTest::newRow("X Max con la virgola") << 0 << "EditXMax" << "1,5" << reale.arg("1,5");
        QTest::newRow("Y Max") << 0 << "EditYMax" << "1e99999" << reale.arg("1e99999");
        QTest::newRow("Julia Param 1") << 1 << "EditParam1" << "x" << reale.arg("x");
        QTest::newRow("Julia Param 2") << 1 << "EditParam2" << "0..1" << reale.arg("0..1");
        QTest::newRow("Volterra-Lotka Param 1") << 2 << "EditParam1" << "-" << reale.arg("-");
        QTest::newRow("Volterra-Lotka Param 2") << 2 << "EditParam2" << "1e" << reale.arg("1e");
    }
    void letturaErrata()
    {
        QFETCH(int, frattale);
        QFETCH(QString, campo);
        QFETCH(QString, testo);
        QFETCH(QString, messaggio);
        TMDIChild *d = Attivo();
        ScegliFrattale(frattale);
        // Every field valid and different from the document, then one spoilt.
        Finestra->ComboBoxColoreInterno->setCurrentIndex(0);
        Scrivi(Finestra->EditMaxIterazioni, QStringLiteral("77"));
        Scrivi(Finestra->EditXMin, QStringLiteral("-1"));
        Scrivi(Finestra->EditXMax, QStringLiteral("1"));
        Scrivi(Finestra->EditYMin, QStringLiteral("-0.5"));
        Scrivi(Finestra->EditYMax, QStringLiteral("0.5"));
        Scrivi(Finestra->EditParam1, QStringLiteral("0.25"));
        Scrivi(Finestra->EditParam2, QStringLiteral("0.75"));
        auto *errato = Finestra->findChild<QLineEdit *>(campo);
        QVERIFY(errato);
        Scrivi(errato, testo);

        Risponditore.Rispondi([messaggio](QWidget *modale) {
            auto *box = qobject_cast<QMessageBox *>(modale);
            QVERIFY(box);
            QCOMPARE(box->windowTitle(), Titolo);
            QCOMPARE(box->text(), messaggio);
            QCOMPARE(box->icon(), QMessageBox::Critical);
            QCOMPARE(box->standardButtons(), QMessageBox::Ok);
            box->button(QMessageBox::Ok)->click();
        });
        Ridisegna();
        QVERIFY(Risponditore.Risposto());

        // The order of reading: choices, limit, window (as a whole), parameters.
        const QStringList ordine = {"EditMaxIterazioni", "EditXMin", "EditXMax", "EditYMin", "EditYMax",
                                    "EditParam1",        "EditParam2"};
        const qsizetype fallito = ordine.indexOf(campo);
        QCOMPARE(d->SceltaFrattale, int8_t(frattale));
        QCOMPARE(d->SceltaInterno, int8_t(0));
        QCOMPARE(d->AreaDisegno.MaxIterazioni, fallito > 0 ? 77 : 120);
        const bool finestraLetta = fallito > 4;
        QVERIFY(d->AreaDisegno.Min == (finestraLetta ? Complesso{-1.0L, -0.5L} : Complesso{-2.0L, -1.25L}));
        QVERIFY(d->AreaDisegno.Max == (finestraLetta ? Complesso{1.0L, 0.5L} : Complesso{0.5L, 1.25L}));
        // Julia's constant changes only as a whole; Volterra-Lotka's Param 1 on its own.
        QVERIFY(d->FrattaleJulia.Param == (Complesso{-1.25L, 0.0L}));
        QVERIFY(d->FrattaleVolterraLotka.Param1 ==
                (frattale == 2 && campo == "EditParam2" ? 0.25L : static_cast<long double>(0.65)));
        QVERIFY(d->FrattaleVolterraLotka.Param2 == static_cast<long double>(0.3));

        // No drawing, and the user's texts stay for a correction.
        QCOMPARE(d->TempoImpiegato, int64_t(0));
        QVERIFY(TuttoNero(d->Immagine->Bitmap()));
        QCOMPARE(errato->text(), testo);
        QCOMPARE(Finestra->EditMaxIterazioni->text(), campo == "EditMaxIterazioni" ? testo : QStringLiteral("77"));
        ControllaAspettoLibero();
        QCOMPARE(TitoloApplicazione(), Titolo);

        // Corrected, the same press draws.
        Scrivi(errato, QStringLiteral("0.125"));
        if (campo == "EditMaxIterazioni")
            Scrivi(errato, QStringLiteral("50"));
        Ridisegna();
        ControllaDopo(d);
        QVERIFY(!TuttoNero(d->Immagine->Bitmap()));
    }

    void mandelbrotIgnoraIParametri()
    {
        TMDIChild *d = Attivo();
        Scrivi(Finestra->EditParam1, QStringLiteral("non un numero"));
        Scrivi(Finestra->EditParam2, QStringLiteral("0.5"));
        Risponditore.Rispondi([](QWidget *modale) {
            QFAIL("no message was expected");
            modale->close();
        });
        Ridisegna();
        QVERIFY(!Risponditore.Risposto());
        Risponditore.Ferma();
        ControllaDopo(d);
        QVERIFY(d->FrattaleJulia.Param == (Complesso{-1.25L, 0.0L}));
        QVERIFY(d->FrattaleVolterraLotka.Param1 == static_cast<long double>(0.65));
        // The next refresh empties them.
        TContenitore::AggiornaPannelli();
        QCOMPARE(Finestra->EditParam1->text(), QString());
        QCOMPARE(Finestra->EditParam2->text(), QString());
    }

    void separatoreDellaLocale()
    {
        // Run once under C.UTF-8 and once under an Italian locale, which
        // writes decimals with a comma: the panels write and read with the
        // same separator.
        const bool virgola = qgetenv("LC_ALL").startsWith("it_IT");
        const QString s = virgola ? QStringLiteral(",") : QStringLiteral(".");
        QCOMPARE(Finestra->SeparatoreDecimale, s);
        QCOMPARE(Finestra->EditXMax->text(), "0" + s + "5");
        QCOMPARE(Finestra->EditYMin->text(), "-1" + s + "25");
        ScegliFrattale(2);
        QCOMPARE(Finestra->EditParam1->text(), "0" + s + "65");

        TMDIChild *d = Attivo();
        Scrivi(Finestra->EditXMax, "0" + s + "75");
        Ridisegna();
        QVERIFY(d->AreaDisegno.Max.re == 0.75L);
        // The other separator is refused.
        const QString altro = QStringLiteral("0") + (virgola ? "." : ",") + "75";
        Scrivi(Finestra->EditXMax, altro);
        Risponditore.Rispondi([altro](QWidget *modale) {
            auto *box = qobject_cast<QMessageBox *>(modale);
            QVERIFY(box);
            QCOMPARE(box->text(), QStringLiteral("'%1' is not a valid floating point value.").arg(altro));
            box->button(QMessageBox::Ok)->click();
        });
        Ridisegna();
        QVERIFY(Risponditore.Risposto());
        QVERIFY(d->AreaDisegno.Max.re == 0.75L);
    }

    // ---- A whole drawing ------------------------------------------------

    void comeIlRenderer_data()
    {
        QTest::addColumn<int>("frattale");
        QTest::addColumn<int>("interno");
        QTest::addColumn<int>("metodo");
        QTest::addColumn<QString>("iterazioni");
        QTest::addColumn<QStringList>("finestra");
        QTest::addColumn<QStringList>("parametri");
        QTest::newRow("predefinito") << 0 << 1 << 1 << "120" << QStringList{} << QStringList{};
        QTest::newRow("Mandelbrot nero punto per punto")
            << 0 << 0 << 0 << "300" << QStringList{"-0.7454", "-0.7434", "0.1308", "0.1328"} << QStringList{};
        QTest::newRow("Julia") << 1 << 1 << 1 << "200" << QStringList{"-1.6", "1.6", "-1.2", "1.2"}
                               << QStringList{"-0.8", "0.156"};
        QTest::newRow("Volterra-Lotka") << 2 << 0 << 1 << "150" << QStringList{"0.2", "3", "0.2", "3"}
                                        << QStringList{"0.65", "0.3"};
    }
    void comeIlRenderer()
    {
        QFETCH(int, frattale);
        QFETCH(int, interno);
        QFETCH(int, metodo);
        QFETCH(QString, iterazioni);
        QFETCH(QStringList, finestra);
        QFETCH(QStringList, parametri);
        TMDIChild *d = Attivo();
        d->SceltaMetodo = int8_t(metodo);
        ScegliFrattale(frattale);
        Finestra->ComboBoxColoreInterno->setCurrentIndex(interno);
        Scrivi(Finestra->EditMaxIterazioni, iterazioni);
        if (!finestra.isEmpty()) {
            Scrivi(Finestra->EditXMin, finestra[0]);
            Scrivi(Finestra->EditXMax, finestra[1]);
            Scrivi(Finestra->EditYMin, finestra[2]);
            Scrivi(Finestra->EditYMax, finestra[3]);
        }
        if (!parametri.isEmpty()) {
            Scrivi(Finestra->EditParam1, parametri[0]);
            Scrivi(Finestra->EditParam2, parametri[1]);
        }
        Ridisegna();
        ControllaDopo(d);
        QCOMPARE(d->AreaDisegno.Larghezza, 256);
        QCOMPARE(d->AreaDisegno.Altezza, 256);
        QVERIFY(d->FrattaleScelto);
        QVERIFY(d->DisegnatoreScelto == (metodo ? static_cast<CDisegnatore *>(&d->DisegnatoreBlocco)
                                                : static_cast<CDisegnatore *>(&d->DisegnatorePuntoPunto)));
        QVERIFY(d->InternoScelto == (interno ? static_cast<CColoratoreInterno *>(&d->ColoratoreLog)
                                             : static_cast<CColoratoreInterno *>(&d->ColoratoreSolido)));

        // The parameters as the user gave them, read by the renderer from its file.
        CParametri par;
        par.Finestra.MaxIterazioni = iterazioni.toInt();
        if (!finestra.isEmpty()) {
            par.Finestra.Min = {std::strtold(qPrintable(finestra[0]), nullptr),
                                std::strtold(qPrintable(finestra[2]), nullptr)};
            par.Finestra.Max = {std::strtold(qPrintable(finestra[1]), nullptr),
                                std::strtold(qPrintable(finestra[3]), nullptr)};
        }
        par.SceltaFrattale = int8_t(frattale);
        par.SceltaInterno = int8_t(interno);
        par.SceltaMetodo = int8_t(metodo);
        if (frattale == 1)
            par.FrattaleJulia.Param = {std::strtold(qPrintable(parametri[0]), nullptr),
                                       std::strtold(qPrintable(parametri[1]), nullptr)};
        const QImage atteso = Renderer(par);
        QVERIFY(!atteso.isNull());
        const QImage disegnata = d->Immagine->Bitmap();
        QCOMPARE(disegnata.size(), QSize(256, 256));
        QCOMPARE(PixelDiversi(disegnata, atteso), 0);
        QVERIFY(BufferComeFigura(d));
    }

    // The drawing is sized to the control, whatever size it has now.
    void dimensioniDelControllo_data()
    {
        QTest::addColumn<QSize>("lato");
        QTest::newRow("0 x 0") << QSize(0, 0);
        QTest::newRow("7 x 0") << QSize(7, 0);
        QTest::newRow("0 x 5") << QSize(0, 5);
        QTest::newRow("1 x 1") << QSize(1, 1);
        QTest::newRow("40 x 25") << QSize(40, 25);
    }
    void dimensioniDelControllo()
    {
        QFETCH(QSize, lato);
        TMDIChild *d = Attivo();
        d->Immagine->resize(lato);
        Ridisegna();
        ControllaDopo(d);
        QCOMPARE(d->AreaDisegno.Larghezza, lato.width());
        QCOMPARE(d->AreaDisegno.Altezza, lato.height());
        // A control with no area has an empty picture.
        if (lato.width() > 0 && lato.height() > 0)
            QCOMPARE(d->Immagine->Bitmap().size(), lato);
        else
            QVERIFY(d->Immagine->Bitmap().isNull());
        QCOMPARE(Pannello(1), QStringLiteral("%1x%2").arg(lato.width()).arg(lato.height()));
        if (lato.width() > 0 && lato.height() > 0) {
            CParametri par = ParametriDi(d);
            QCOMPARE(PixelDiversi(d->Immagine->Bitmap(), Renderer(par)), 0);
        }
    }

    void documentoRidottoAIcona()
    {
        // An icon keeps its hidden control's size: the drawing has that size
        // and shows when the document comes back.
        TMDIChild *d = Attivo();
        Cornice(d)->showMinimized();
        QVERIFY(Cornice(d)->isMinimized());
        QCOMPARE(Attivo(), d);
        Finestra->RidisegnaAttivo();
        ControllaDopo(d);
        QCOMPARE(d->Immagine->Bitmap().size(), d->Immagine->size());
        const QImage disegnata = d->Immagine->Bitmap();
        QCOMPARE(PixelDiversi(disegnata, Renderer(ParametriDi(d))), 0);
        Cornice(d)->showNormal();
        QCOMPARE(d->Immagine->Bitmap(), disegnata);
    }

    void statoDopoUnRidimensionamento()
    {
        TMDIChild *d = Attivo();
        Ridisegna();
        const int64_t tempo = d->TempoImpiegato;
        UltimaLarghezza = 256;
        UltimaAltezza = 256;
        QMdiSubWindow *cornice = Cornice(d);
        cornice->resize(cornice->size() + QSize(44, 0));
        QCOMPARE(d->Immagine->size(), QSize(300, 300));
        QCOMPARE(Pannello(1), QStringLiteral("300x300"));
        QCOMPARE(Pannello(2), QStringLiteral("\tTempo impiegato: ") + FormattaTempo(tempo));
        // An estimate beyond 32 bits of milliseconds is held and shown whole.
        d->TempoImpiegato = 2400;
        d->TempoPrevisto = 2399999999;
        d->AggiornaStato();
        QCOMPARE(Pannello(2), QStringLiteral("\tTempo impiegato/previsto: 0:02.4 / 27gg,18:39:59.9"));
        d->TempoPrevisto = 0;
        d->AggiornaStato();
        QCOMPARE(Pannello(2), QStringLiteral("\tTempo impiegato: 0:02.4"));
    }

    // ---- Enter ----------------------------------------------------------

    void invio_data()
    {
        QTest::addColumn<bool>("fluttuante");
        QTest::addColumn<int>("tasto");
        QTest::newRow("barra agganciata, Invio") << false << int(Qt::Key_Return);
        QTest::newRow("barra agganciata, Invio del tastierino") << false << int(Qt::Key_Enter);
        QTest::newRow("barra fluttuante") << true << int(Qt::Key_Return);
    }
    void invio()
    {
        QFETCH(bool, fluttuante);
        QFETCH(int, tasto);
        TMDIChild *d = Attivo();
        if (fluttuante) {
            Finestra->Toolbar971->Sgancia();
            QVERIFY(Finestra->Toolbar971->isWindow());
        }
        QLineEdit *campo = Finestra->EditXMin;
        const Qt::KeyboardModifiers tastierino = tasto == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;

        // A modifier makes it another key. (Pressed, not clicked: a click's
        // drawing runs before a spy on the click would count it.)
        QSignalSpy premuto(Finestra->BottoneRidisegna, &QPushButton::pressed);
        QTest::keyClick(campo, Qt::Key(tasto), tastierino | Qt::ControlModifier);
        QCOMPARE(premuto.count(), 0);

        // Enter stores the panels and draws.
        Scrivi(campo, QStringLiteral("-1.5"));
        QTest::keyClick(campo, Qt::Key(tasto), tastierino);
        QCOMPARE(premuto.count(), 1);
        QVERIFY(d->AreaDisegno.Min.re == -1.5L);
        ControllaDopo(d);
        QCOMPARE(PixelDiversi(d->Immagine->Bitmap(), Renderer(ParametriDi(d))), 0);

        // While a drawing runs, Enter does nothing: nothing is stored, nothing
        // starts again.
        Scrivi(Finestra->EditMaxIterazioni, LimiteLento);
        bool durante = false;
        Quando([d] { return d->TempoImpiegato >= 400; }, [&] {
            durante = true;
            ControllaAspettoOccupato();
            Scrivi(Finestra->EditMaxIterazioni, QStringLiteral("55"));
            Scrivi(campo, QStringLiteral("-1.75"));
            QTest::keyClick(campo, Qt::Key(tasto), tastierino);
            QTest::keyClick(Finestra->EditMaxIterazioni, Qt::Key(tasto), tastierino);
            QCOMPARE(premuto.count(), 2);
            QVERIFY(d->InCalcolo());
            QCOMPARE(d->AreaDisegno.MaxIterazioni, LimiteLento.toInt());
            QVERIFY(d->AreaDisegno.Min.re == -1.5L);
            d->StopRichiesto = true;
        });
        QTest::keyClick(campo, Qt::Key(tasto), tastierino);
        QVERIFY(durante);
        QCOMPARE(premuto.count(), 2);
        ControllaDopo(d);
        QCOMPARE(d->AreaDisegno.MaxIterazioni, LimiteLento.toInt());
    }

    // ---- During a drawing, and Stop -------------------------------------

    void fermaLasciaIlDisegnoFinoALi()
    {
        TMDIChild *d = Attivo();
        Scrivi(Finestra->EditMaxIterazioni, LimiteLento);
        QImage alloStop;
        int64_t tempoAlloStop = 0;
        bool fermato = false;
        Quando([] { return Contenitore->windowTitle().contains(QStringLiteral("Tempo stimato")); }, [&] {
            // Busy: the controls, the disabled and unstretched image, the texts.
            ControllaAspettoOccupato();
            QVERIFY(!d->Immagine->isEnabled());
            QVERIFY(!d->Immagine->Stirata());
            QVERIFY(d->TempoImpiegato >= 600);
            QVERIFY(d->TempoPrevisto > 0);
            // The texts of the last 600 ms mark; the progress has gone on since.
            const QRegularExpression testo(
                QStringLiteral("^Completamento: (\\d+\\.\\d)%   Tempo stimato: (.*) secs\\.$"));
            const QRegularExpressionMatch letto = testo.match(Finestra->windowTitle());
            QVERIFY2(letto.hasMatch(), qPrintable(Finestra->windowTitle()));
            QCOMPARE(letto.captured(2), FormattaTempo(d->TempoPrevisto));
            // Written to a tenth, so it may stand up to 0.05 above the progress it rounds.
            QVERIFY(letto.captured(1).toDouble() <= d->AreaDisegno.Completamento + 0.05);
            QCOMPARE(TitoloApplicazione(), letto.captured(1) + QStringLiteral("% ") + Titolo);
            QCOMPARE(Pannello(1), QStringLiteral("256x256"));
            QVERIFY(Pannello(2).startsWith(QStringLiteral("\tTempo impiegato/previsto: ")));
            // The interface stays usable: the menus, the panels.
            ScegliFrattale(1);
            QCOMPARE(Finestra->EditParam1->text(), QStringLiteral("-1.25"));
            ScegliFrattale(0);

            alloStop = d->Immagine->Bitmap();
            tempoAlloStop = d->TempoImpiegato;
            Premi(Finestra->BottoneFermaCalcolo);
            fermato = d->StopRichiesto;
        });
        Ridisegna();
        QVERIFY(fermato);
        ControllaDopo(d);
        // Stopped in the poll that handled the click: nothing drawn after it.
        QCOMPARE(d->TempoImpiegato, tempoAlloStop);
        QCOMPARE(PixelDiversi(d->Immagine->Bitmap(), alloStop), 0);
        QVERIFY(d->AreaDisegno.Completamento < 100.0);
        QVERIFY(BufferComeFigura(d));

        // A new drawing starts at once.
        Scrivi(Finestra->EditMaxIterazioni, QStringLiteral("60"));
        Ridisegna();
        ControllaDopo(d);
        QCOMPARE(PixelDiversi(d->Immagine->Bitmap(), Renderer(ParametriDi(d))), 0);
    }

    void fermaAgisceSulDocumentoAttivo()
    {
        TMDIChild *primo = Attivo();
        Scrivi(Finestra->EditMaxIterazioni, LimiteLento);
        TMDIChild *secondo = nullptr;
        int64_t tempo = 0;
        bool continuato = false;
        Quando([primo] { return primo->TempoImpiegato >= 400; }, [&] {
            // A new document during the drawing; Stop goes to it.
            Finestra->FileNewItem->trigger();
            secondo = Attivo();
            QVERIFY(secondo != primo);
            ControllaAspettoOccupato();
            Premi(Finestra->BottoneFermaCalcolo);
            QVERIFY(secondo->StopRichiesto);
            QVERIFY(!primo->StopRichiesto);
            tempo = primo->TempoImpiegato;
            Quando([&] { return primo->TempoImpiegato >= tempo + 400; }, [&] {
                continuato = true;
                QVERIFY(primo->InCalcolo());
                Finestra->AreaDocumenti->setActiveSubWindow(Cornice(primo));
                Premi(Finestra->BottoneFermaCalcolo);
            });
        });
        Ridisegna();
        QVERIFY(continuato);
        QVERIFY(secondo);
        ControllaDopo(primo);
        QVERIFY(TuttoNero(secondo->Immagine->Bitmap()));
        QCOMPARE(secondo->TempoImpiegato, int64_t(0));
    }

    // A drawing started while another draws: the outer one waits, parked, and
    // stays usable once the inner one has ended.
    void disegnoAnnidato()
    {
        TMDIChild *primo = Attivo();
        Scrivi(Finestra->EditMaxIterazioni, LimiteLento);
        TMDIChild *secondo = nullptr;
        bool fatto = false;
        Quando([primo] { return primo->TempoImpiegato >= 400; }, [&] {
            const double completamento = primo->AreaDisegno.Completamento;
            const int64_t tempo = primo->TempoImpiegato;
            Finestra->FileNewItem->trigger();
            secondo = Attivo();
            Scrivi(Finestra->EditMaxIterazioni, QStringLiteral("80"));
            Finestra->PannelliADocumento();
            Finestra->RidisegnaAttivo();
            ControllaDopo(secondo);
            QCOMPARE(PixelDiversi(secondo->Immagine->Bitmap(), Renderer(ParametriDi(secondo))), 0);
            // The outer drawing made no progress meanwhile and still runs.
            QVERIFY(primo->InCalcolo());
            QCOMPARE(primo->AreaDisegno.Completamento, completamento);
            QCOMPARE(primo->TempoImpiegato, tempo);

            // "Ridisegna" shows again; on the outer document it is refused
            // without harm: nothing stored, nothing cleared or resized.
            Finestra->AreaDocumenti->setActiveSubWindow(Cornice(primo));
            QCOMPARE(Finestra->EditMaxIterazioni->text(), LimiteLento);
            Scrivi(Finestra->EditMaxIterazioni, QStringLiteral("90"));
            const QImage prima = primo->Immagine->Bitmap();
            Risponditore.Rispondi([](QWidget *modale) {
                QFAIL("no message was expected");
                modale->close();
            });
            Ridisegna();
            QVERIFY(!Risponditore.Risposto());
            Risponditore.Ferma();
            QVERIFY(primo->InCalcolo());
            QCOMPARE(primo->AreaDisegno.MaxIterazioni, LimiteLento.toInt());
            QCOMPARE(PixelDiversi(primo->Immagine->Bitmap(), prima), 0);
            QCOMPARE(primo->TempoImpiegato, tempo);
            fatto = true;
            Finestra->BottoneFermaCalcoloClick();
        });
        Ridisegna();
        QVERIFY(fatto);
        ControllaDopo(primo);
        // The outer document draws again at once.
        Scrivi(Finestra->EditMaxIterazioni, QStringLiteral("70"));
        Ridisegna();
        ControllaDopo(primo);
        QCOMPARE(PixelDiversi(primo->Immagine->Bitmap(), Renderer(ParametriDi(primo))), 0);
    }

    // ---- Closing and quitting during a drawing ----------------------------

    void chiusuraDuranteIlDisegno_data()
    {
        QTest::addColumn<bool>("dalMenu");
        QTest::newRow("File > Close") << true;
        QTest::newRow("casella di chiusura") << false;
    }
    void chiusuraDuranteIlDisegno()
    {
        QFETCH(bool, dalMenu);
        Finestra->FileNewItem->trigger();
        TMDIChild *d = Attivo();
        QPointer<TMDIChild> guardia(d);
        Scrivi(Finestra->EditMaxIterazioni, LimiteLento);
        // The threads before the drawing: its worker and helpers are all joined after it.
        const int fili = NumeroFili();
        int64_t tempo = 0;
        bool chiesto = false;
        Quando([d] { return d->TempoImpiegato >= 400; }, [&] {
            QVERIFY(NumeroFili() > fili);
            tempo = d->TempoImpiegato;
            if (dalMenu)
                Finestra->FileCloseItem->trigger();
            else
                Cornice(d)->close();
            // The document stays until its drawing has ended.
            QVERIFY(!guardia.isNull());
            QVERIFY(d->StopRichiesto);
            chiesto = true;
        });
        Ridisegna();
        QVERIFY(chiesto);
        QTRY_VERIFY(guardia.isNull());
        QCOMPARE(Finestra->Documenti().size(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(NumeroFili() <= fili, 2000); // none left behind (a toolkit thread may have ended meanwhile)
        QCOMPARE(Finestra->windowTitle(), Titolo);
        ControllaAspettoLibero();
        // The other document draws as before.
        Ridisegna();
        ControllaDopo(Attivo());
    }

    void uscitaDuranteIlDisegno_data()
    {
        QTest::addColumn<bool>("si");
        QTest::newRow("No") << false;
        QTest::newRow("Yes") << true;
    }
    void uscitaDuranteIlDisegno()
    {
        QFETCH(bool, si);
        TMDIChild *d = Attivo();
        Scrivi(Finestra->EditMaxIterazioni, LimiteLento);
        const int fili = NumeroFili();
        int64_t tempo = 0;
        bool continuato = false;
        Quando([d] { return d->TempoImpiegato >= 400; }, [&] {
            Risponditore.Rispondi([si](QWidget *modale) {
                auto *domanda = qobject_cast<QMessageBox *>(modale);
                QVERIFY(domanda);
                QCOMPARE(domanda->text(), QStringLiteral("Are you sure you want to quit?"));
                domanda->button(si ? QMessageBox::Yes : QMessageBox::No)->click();
            });
            Finestra->FileExitItem->trigger();
            QVERIFY(Risponditore.Risposto());
            tempo = d->TempoImpiegato;
            if (!si)
                Quando([&] { return d->TempoImpiegato >= tempo + 400; }, [&] {
                    continuato = true;
                    d->StopRichiesto = true;
                });
        });
        Ridisegna();
        QCOMPARE(Finestra->isVisible(), !si);
        QVERIFY(!d->InCalcolo());
        QTRY_VERIFY_WITH_TIMEOUT(NumeroFili() <= fili, 2000); // none left behind (a toolkit thread may have ended meanwhile)
        if (si)
            QCOMPARE(d->TempoImpiegato, tempo); // stopped in the same poll
        else
            QVERIFY(continuato);
        QCOMPARE(Finestra->windowTitle(), Titolo);
    }

    void uscitaConDisegniAnnidati()
    {
        TMDIChild *primo = Attivo();
        Scrivi(Finestra->EditMaxIterazioni, LimiteLento);
        const int fili = NumeroFili();
        TMDIChild *secondo = nullptr;
        int64_t tempoPrimo = 0;
        int64_t tempoSecondo = 0;
        bool uscito = false;
        Quando([primo] { return primo->TempoImpiegato >= 400; }, [&] {
            tempoPrimo = primo->TempoImpiegato;
            Finestra->FileNewItem->trigger();
            secondo = Attivo();
            Scrivi(Finestra->EditMaxIterazioni, LimiteLento);
            Finestra->PannelliADocumento();
            Quando([&] { return secondo->TempoImpiegato >= 400; }, [&] {
                tempoSecondo = secondo->TempoImpiegato;
                Risponditore.Rispondi([](QWidget *modale) {
                    auto *domanda = qobject_cast<QMessageBox *>(modale);
                    QVERIFY(domanda);
                    domanda->button(QMessageBox::Yes)->click();
                });
                Finestra->close();
                uscito = Risponditore.Risposto();
            });
            Finestra->RidisegnaAttivo();
            // The inner drawing ended in the poll that handled the quit.
            QCOMPARE(secondo->TempoImpiegato, tempoSecondo);
            QVERIFY(!secondo->InCalcolo());
        });
        Ridisegna();
        QVERIFY(uscito);
        QVERIFY(!Finestra->isVisible());
        // The outer one in its first poll after the inner one had ended.
        QCOMPARE(primo->TempoImpiegato, tempoPrimo);
        QVERIFY(!primo->InCalcolo());
        QTRY_VERIFY_WITH_TIMEOUT(NumeroFili() <= fili, 2000); // none left behind (a toolkit thread may have ended meanwhile)
        QCOMPARE(Finestra->Documenti().size(), 2);
    }
};

int main(int argc, char *argv[])
{
    TApplicazione applicazione(argc, argv);
    TestDisegnoUi prova;
    return QTest::qExec(&prova, argc, argv);
}

#include "tst_disegno_ui.moc"
