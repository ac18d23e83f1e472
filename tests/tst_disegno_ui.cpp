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
#include "MDIChild.h"
#include "Numeri.h"
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
#include <QSet>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <utility>

Q_DECLARE_METATYPE(long double)

namespace {

const QString Titolo = QStringLiteral("Quillmere v0.9");
// A limit that keeps the default Mandelbrot drawing for minutes: such a
// drawing is always stopped by the test.
const QString LimiteLento = QStringLiteral("2147483647");

// Whether the render area's buffer holds exactly the picture's colours.
bool BufferComeFigura(TMDIChild *d)
{
    const QImage figura = Immagine(d)->Bitmap();
    for (int y = 0; y < figura.height(); ++y)
        for (int x = 0; x < figura.width(); ++x)
            if (CImmagineQt::QRgbDaColore(d->AreaDisegno.LeggiPixel(x, y)) != (figura.pixel(x, y) | 0xFF000000))
                return false;
    return true;
}

} // namespace

class TestDisegnoUi : public CProvaFinestre
{
    Q_OBJECT

private:
    void ControllaAspettoOccupato() { QVERIFY(AspettoOccupato()); }

private slots:
    // ---- The panels -------------------------------------------------------

    void pannelliAllAvvio()
    {
        // The layout's placeholders are gone: the first document's defaults show.
        QCOMPARE(Elenco("ComboBoxFrattale")->currentText(), QStringLiteral("Mandelbrot"));
        QCOMPARE(Elenco("ComboBoxColoreInterno")->currentText(), QStringLiteral("Sfumato Log1"));
        QCOMPARE(Campo("EditMaxIterazioni")->text(), QStringLiteral("120"));
        QCOMPARE(Campo("EditXMin")->text(), QStringLiteral("-2"));
        QCOMPARE(Campo("EditXMax")->text(), QStringLiteral("0.5"));
        QCOMPARE(Campo("EditYMin")->text(), QStringLiteral("-1.25"));
        QCOMPARE(Campo("EditYMax")->text(), QStringLiteral("1.25"));
        QCOMPARE(Campo("EditParam1")->text(), QString());
        QCOMPARE(Campo("EditParam2")->text(), QString());
        QCOMPARE(Pannello(0), QStringLiteral("Mandelbrot"));
        // Nothing has been drawn yet.
        QVERIFY(TuttoNero(Immagine(Attivo())->Bitmap()));
        ControllaAspettoLibero();
    }

    void cambioDiFrattale_data()
    {
        QTest::addColumn<int>("indice");
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("param1");
        QTest::addColumn<QString>("param2");
        QTest::newRow("Julia") << 1 << "Julia" << "-1.25" << "0";
        // The doubles 0.65 and 0.3 widened, with 15 digits.
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
        Scrivi(Campo("EditXMax"), QStringLiteral("7"));
        Scrivi(Campo("EditMaxIterazioni"), QStringLiteral("33"));
        ScegliFrattale(indice);
        // Shown, not stored: the document keeps the formula of its picture
        // (its files and zooms use it) until the panels are stored.
        QCOMPARE(d->Parametri().SceltaFrattale, int8_t(0));
        QCOMPARE(Campo("EditParam1")->text(), param1);
        QCOMPARE(Campo("EditParam2")->text(), param2);
        QCOMPARE(Pannello(0), nome);
        QCOMPARE(Campo("EditXMax")->text(), QStringLiteral("0.5"));
        QCOMPARE(Campo("EditMaxIterazioni")->text(), QStringLiteral("120"));
        QCOMPARE(d->Parametri().Finestra.MaxIterazioni, 120);
        // Nothing is drawn.
        QVERIFY(TuttoNero(Immagine(d)->Bitmap()));
        QCOMPARE(d->TempoImpiegato(), int64_t(0));
        // Activating the document again shows its own formula.
        Attiva(d);
        emit d->PannelliDaAggiornare();
        QCOMPARE(Elenco("ComboBoxFrattale")->currentIndex(), 0);
        ScegliFrattale(indice);
        // Stored with the panels, and drawn; the parameters nobody edited
        // keep their values to the last bit, not those of their texts.
        Disegna();
        QCOMPARE(d->Parametri().SceltaFrattale, int8_t(indice));
        const CParametri nuovo;
        QVERIFY(d->Parametri().FrattaleJulia.Param == nuovo.FrattaleJulia.Param);
        QVERIFY(d->Parametri().FrattaleVolterraLotka.Param1 == nuovo.FrattaleVolterraLotka.Param1);
        QVERIFY(d->Parametri().FrattaleVolterraLotka.Param2 == nuovo.FrattaleVolterraLotka.Param2);
        // Back to Mandelbrot: no parameters.
        ScegliFrattale(0);
        QCOMPARE(Campo("EditParam1")->text(), QString());
        QCOMPARE(Campo("EditParam2")->text(), QString());
        QCOMPARE(Pannello(0), QStringLiteral("Mandelbrot"));
    }

    void attivazioneScartaIlTestoScritto()
    {
        TMDIChild *primo = Attivo();
        Comando("FileNewItem")->trigger();
        TMDIChild *secondo = Attivo();
        ScegliFrattale(1);
        Scrivi(Campo("EditParam1"), QStringLiteral("0.25"));
        Scrivi(Campo("EditYMin"), QStringLiteral("-9"));
        AreaDocumenti()->setActiveSubWindow(Cornice(primo));
        QCOMPARE(Elenco("ComboBoxFrattale")->currentText(), QStringLiteral("Mandelbrot"));
        QCOMPARE(Campo("EditParam1")->text(), QString());
        QCOMPARE(Campo("EditYMin")->text(), QStringLiteral("-1.25"));
        // The formula chosen and not stored is gone too.
        AreaDocumenti()->setActiveSubWindow(Cornice(secondo));
        QCOMPARE(Elenco("ComboBoxFrattale")->currentText(), QStringLiteral("Mandelbrot"));
        QCOMPARE(Campo("EditParam1")->text(), QString());
        QCOMPARE(Campo("EditYMin")->text(), QStringLiteral("-1.25"));
        QVERIFY(secondo->Parametri().FrattaleJulia.Param == (Complesso{-1.25L, 0.0L}));
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
        Scrivi(Campo("EditMaxIterazioni"), testo);
        Disegna();
        QCOMPARE(d->Parametri().Finestra.MaxIterazioni, atteso);
        // The panels are not refreshed: the text stays as typed.
        QCOMPARE(Campo("EditMaxIterazioni")->text(), testo);
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
        Disegna();
        const CBloccoFinestra &a = d->Parametri().Finestra;
        const long double letto = (campo == "EditXMin"   ? a.Min.re
                                   : campo == "EditXMax" ? a.Max.re
                                   : campo == "EditYMin" ? a.Min.im
                                                         : a.Max.im).Esteso();
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
        Elenco("ComboBoxColoreInterno")->setCurrentIndex(0);
        Scrivi(Campo("EditMaxIterazioni"), QStringLiteral("77"));
        Scrivi(Campo("EditXMin"), QStringLiteral("-1"));
        Scrivi(Campo("EditXMax"), QStringLiteral("1"));
        Scrivi(Campo("EditYMin"), QStringLiteral("-0.5"));
        Scrivi(Campo("EditYMax"), QStringLiteral("0.5"));
        Scrivi(Campo("EditParam1"), QStringLiteral("0.25"));
        Scrivi(Campo("EditParam2"), QStringLiteral("0.75"));
        auto *errato = Finestra->findChild<QLineEdit *>(campo);
        QVERIFY(errato);
        Scrivi(errato, testo);

        Risponditore.Rispondi(Messaggio(messaggio, QMessageBox::Critical));
        Ridisegna();
        QVERIFY(Risponditore.Risposto());

        // The order of reading: choices, limit, window (as a whole), parameters.
        const QStringList ordine = {"EditMaxIterazioni", "EditXMin", "EditXMax", "EditYMin", "EditYMax",
                                    "EditParam1",        "EditParam2"};
        const qsizetype fallito = ordine.indexOf(campo);
        const CParametri &p = d->Parametri();
        QCOMPARE(p.SceltaFrattale, int8_t(frattale));
        QCOMPARE(p.SceltaInterno, int8_t(0));
        QCOMPARE(p.Finestra.MaxIterazioni, fallito > 0 ? 77 : 120);
        const bool finestraLetta = fallito > 4;
        QVERIFY(p.Finestra.Min == (finestraLetta ? Complesso{-1.0L, -0.5L} : Complesso{-2.0L, -1.25L}));
        QVERIFY(p.Finestra.Max == (finestraLetta ? Complesso{1.0L, 0.5L} : Complesso{0.5L, 1.25L}));
        // Julia's constant changes only as a whole; Volterra-Lotka's Param 1 on its own.
        QVERIFY(p.FrattaleJulia.Param == (Complesso{-1.25L, 0.0L}));
        QVERIFY(p.FrattaleVolterraLotka.Param1 ==
                (frattale == 2 && campo == "EditParam2" ? 0.25L : static_cast<long double>(0.65)));
        QVERIFY(p.FrattaleVolterraLotka.Param2 == static_cast<long double>(0.3));

        // No drawing, and the user's texts stay for a correction.
        QVERIFY(!d->InCalcolo());
        QCOMPARE(d->TempoImpiegato(), int64_t(0));
        QVERIFY(TuttoNero(Immagine(d)->Bitmap()));
        QCOMPARE(errato->text(), testo);
        QCOMPARE(Campo("EditMaxIterazioni")->text(), campo == "EditMaxIterazioni" ? testo : QStringLiteral("77"));
        ControllaAspettoLibero();
        QCOMPARE(TitoloApplicazione(), Titolo);

        // Corrected, the same press draws.
        Scrivi(errato, QStringLiteral("0.125"));
        if (campo == "EditMaxIterazioni")
            Scrivi(errato, QStringLiteral("50"));
        Disegna();
        ControllaDopo(d);
        QVERIFY(!TuttoNero(Immagine(d)->Bitmap()));
    }

    void mandelbrotIgnoraIParametri()
    {
        TMDIChild *d = Attivo();
        Scrivi(Campo("EditParam1"), QStringLiteral("non un numero"));
        Scrivi(Campo("EditParam2"), QStringLiteral("0.5"));
        Risponditore.Rispondi([](QWidget *modale) {
            QFAIL("no message was expected");
            modale->close();
        });
        Disegna();
        QVERIFY(!Risponditore.Risposto());
        Risponditore.Ferma();
        ControllaDopo(d);
        QVERIFY(d->Parametri().FrattaleJulia.Param == (Complesso{-1.25L, 0.0L}));
        QVERIFY(d->Parametri().FrattaleVolterraLotka.Param1 == static_cast<long double>(0.65));
        // The next refresh empties them.
        Finestra->AggiornaPannelli();
        QCOMPARE(Campo("EditParam1")->text(), QString());
        QCOMPARE(Campo("EditParam2")->text(), QString());
    }

    void separatoreDellaLocale()
    {
        // Run once under C.UTF-8 and once under an Italian locale, which
        // writes decimals with a comma: the panels write and read with the
        // same separator.
        const bool virgola = qgetenv("LC_ALL").startsWith("it_IT");
        const QString s = virgola ? QStringLiteral(",") : QStringLiteral(".");
        QCOMPARE(Separatore(), s);
        QCOMPARE(Campo("EditXMax")->text(), "0" + s + "5");
        QCOMPARE(Campo("EditYMin")->text(), "-1" + s + "25");
        ScegliFrattale(2);
        // The double 0.65 widened.
        QCOMPARE(Campo("EditParam1")->text(), "0" + s + "65");
        ScegliFrattale(0);

        TMDIChild *d = Attivo();
        Scrivi(Campo("EditXMax"), "0" + s + "75");
        Disegna();
        QVERIFY(d->Parametri().Finestra.Max.re == 0.75L);
        // The other separator is refused.
        const QString altro = QStringLiteral("0") + (virgola ? "." : ",") + "75";
        Scrivi(Campo("EditXMax"), altro);
        Risponditore.Rispondi([altro](QWidget *modale) {
            auto *box = qobject_cast<QMessageBox *>(modale);
            QVERIFY(box);
            QCOMPARE(box->text(), QStringLiteral("'%1' is not a valid floating point value.").arg(altro));
            box->button(QMessageBox::Ok)->click();
        });
        Ridisegna();
        QVERIFY(Risponditore.Risposto());
        QVERIFY(d->Parametri().Finestra.Max.re == 0.75L);
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
        ImpostaMetodo(d, metodo);
        ScegliFrattale(frattale);
        Elenco("ComboBoxColoreInterno")->setCurrentIndex(interno);
        Scrivi(Campo("EditMaxIterazioni"), iterazioni);
        if (!finestra.isEmpty()) {
            Scrivi(Campo("EditXMin"), finestra[0]);
            Scrivi(Campo("EditXMax"), finestra[1]);
            Scrivi(Campo("EditYMin"), finestra[2]);
            Scrivi(Campo("EditYMax"), finestra[3]);
        }
        if (!parametri.isEmpty()) {
            Scrivi(Campo("EditParam1"), parametri[0]);
            Scrivi(Campo("EditParam2"), parametri[1]);
        }
        Disegna();
        ControllaDopo(d);
        QCOMPARE(d->AreaDisegno.Larghezza, 256);
        QCOMPARE(d->AreaDisegno.Altezza, 256);
        QVERIFY(d->AreaDisegno.Interno == (interno ? static_cast<CColoratoreInterno *>(&d->Disegno.ColoratoreLog)
                                                   : static_cast<CColoratoreInterno *>(&d->Disegno.ColoratoreSolido)));

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
        const QImage disegnata = Immagine(d)->Bitmap();
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
        Immagine(d)->resize(lato);
        Disegna();
        ControllaDopo(d);
        QCOMPARE(d->AreaDisegno.Larghezza, lato.width());
        QCOMPARE(d->AreaDisegno.Altezza, lato.height());
        // A control with no area has an empty picture.
        if (lato.width() > 0 && lato.height() > 0)
            QCOMPARE(Immagine(d)->Bitmap().size(), lato);
        else
            QVERIFY(Immagine(d)->Bitmap().isNull());
        QCOMPARE(Pannello(1), QStringLiteral("%1x%2").arg(lato.width()).arg(lato.height()));
        if (lato.width() > 0 && lato.height() > 0) {
            CParametri par = ParametriDi(d);
            QCOMPARE(PixelDiversi(Immagine(d)->Bitmap(), Renderer(par)), 0);
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
        QVERIFY(Finito(d));
        ControllaDopo(d);
        QCOMPARE(Immagine(d)->Bitmap().size(), Immagine(d)->size());
        const QImage disegnata = Immagine(d)->Bitmap();
        QCOMPARE(PixelDiversi(disegnata, Renderer(ParametriDi(d))), 0);
        Cornice(d)->showNormal();
        QCOMPARE(Immagine(d)->Bitmap(), disegnata);
    }

    void statoDopoUnRidimensionamento()
    {
        TMDIChild *d = Attivo();
        Disegna();
        const int64_t tempo = d->TempoImpiegato();
        Finestra->UltimaDimensione = QSize(256, 256);
        QMdiSubWindow *cornice = Cornice(d);
        cornice->resize(cornice->size() + QSize(44, 0));
        QCOMPARE(Immagine(d)->size(), QSize(300, 300));
        QCOMPARE(Pannello(1), QStringLiteral("300x300"));
        QCOMPARE(Pannello(2), QStringLiteral("\tTempo impiegato: ") + FormattaTempo(tempo));
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
            Barra("Toolbar971")->Sgancia();
            QVERIFY(Barra("Toolbar971")->isWindow());
        }
        QLineEdit *campo = Campo("EditXMin");
        const Qt::KeyboardModifiers tastierino = tasto == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;

        // A modifier makes it another key.
        QSignalSpy premuto(Bottone("BottoneRidisegna"), &QPushButton::pressed);
        QTest::keyClick(campo, Qt::Key(tasto), tastierino | Qt::ControlModifier);
        QCOMPARE(premuto.count(), 0);

        // Enter stores the panels and draws.
        Scrivi(campo, QStringLiteral("-1.5"));
        QTest::keyClick(campo, Qt::Key(tasto), tastierino);
        QCOMPARE(premuto.count(), 1);
        QVERIFY(d->Parametri().Finestra.Min.re == -1.5L);
        QVERIFY(Finito(d));
        ControllaDopo(d);
        QCOMPARE(PixelDiversi(Immagine(d)->Bitmap(), Renderer(ParametriDi(d))), 0);

        // While the document draws, Enter does nothing: nothing is stored,
        // nothing starts again.
        Scrivi(Campo("EditMaxIterazioni"), LimiteLento);
        QTest::keyClick(campo, Qt::Key(tasto), tastierino);
        QCOMPARE(premuto.count(), 2);
        QVERIFY(d->InCalcolo());
        ControllaAspettoOccupato();
        Scrivi(Campo("EditMaxIterazioni"), QStringLiteral("55"));
        Scrivi(campo, QStringLiteral("-1.75"));
        QTest::keyClick(campo, Qt::Key(tasto), tastierino);
        QTest::keyClick(Campo("EditMaxIterazioni"), Qt::Key(tasto), tastierino);
        QCOMPARE(premuto.count(), 2);
        QCOMPARE(d->Parametri().Finestra.MaxIterazioni, LimiteLento.toInt());
        QVERIFY(d->Parametri().Finestra.Min.re == -1.5L);
        Ferma();
        ControllaDopo(d);
    }

    void profonditaDeiPannelli_data()
    {
        // Windows around a boundary point (a Misiurewicz point near -0.75 + 0.1i),
        // corners as a parameters file writes them: X Min, Y Min, X Max, Y Max;
        // and the text X Min and X Max show, empty where it is every digit of
        // the corner's precision.
        QTest::addColumn<QStringList>("angoli");
        QTest::addColumn<QString>("testo");
        // 10^-16 wide: 80-bit corners, shown with 15 digits, the same for
        // both sides.
        QTest::newRow("80 bit") << QStringList{"-0.74982115706863460538", "0.10065949381215757864",
                                               "-0.74982115706863450538", "0.10065949381215767864"}
                                << "-0.749821157068635";
        // 10^-40 wide: corners of more digits than 80 bits hold, shown whole.
        QTest::newRow("10^-40") << QStringList{"-0.74982115706863455537774795011585706333774680050416",
                                               "0.10065949381215762864350107554305591104365118572590",
                                               "-0.74982115706863455537774795011585706333764680050416",
                                               "0.10065949381215762864350107554305591104375118572590"}
                                << "";
    }
    void profonditaDeiPannelli()
    {
        // Raising the limit and pressing Enter leaves the window exactly as it
        // was: the corners nobody edited keep their values, whatever their
        // texts show.
        QFETCH(QStringList, angoli);
        QFETCH(QString, testo);
        TMDIChild *d = Attivo();
        CParametri par = d->Parametri();
        CReale v[4];
        for (int k = 0; k < 4; ++k)
            QVERIFY(LeggiReale(angoli[k].toStdString(), v[k]));
        par.Finestra.Min = CComplessoAlto(v[0], v[1]);
        par.Finestra.Max = CComplessoAlto(v[2], v[3]);
        d->ImpostaParametri(par);
        Finestra->AggiornaPannelli();
        for (const auto &[campo, angolo] : {std::pair{"EditXMin", &v[0]}, std::pair{"EditXMax", &v[2]}}) {
            const QString mostrato = Campo(campo)->text();
            if (!testo.isEmpty()) {
                QCOMPARE(mostrato, testo);
            } else {
                QVERIFY2(mostrato.size() > 40, qPrintable(mostrato));
                const CReale letto = LeggiCoordinata(mostrato, Separatore());
                QVERIFY(letto == *angolo);
                QCOMPARE(letto.Precisione(), angolo->Precisione());
            }
        }
        Scrivi(Campo("EditMaxIterazioni"), QStringLiteral("3000"));
        QTest::keyClick(Campo("EditMaxIterazioni"), Qt::Key_Return);
        QVERIFY(Finito(d));
        QVERIFY(d->Parametri().Finestra.Min == par.Finestra.Min);
        QVERIFY(d->Parametri().Finestra.Max == par.Finestra.Max);
        QCOMPARE(d->Parametri().Finestra.Min.re.Precisione(), v[0].Precisione());
        QCOMPARE(d->Parametri().Finestra.MaxIterazioni, 3000);
        // A deep window is drawn sharp: many colours, not the blocks of
        // points rounded onto the 80-bit grid.
        QSet<QRgb> colori;
        const QImage figura = Immagine(d)->Bitmap();
        for (int y = 0; y < figura.height(); y += 4)
            for (int x = 0; x < figura.width(); x += 4)
                colori.insert(figura.pixel(x, y));
        QVERIFY2(colori.size() > 8, qPrintable(QString::number(colori.size())));

        // X Max edited: it alone takes the value of its text.
        const QString nuovoXMax = QStringLiteral("-0.7498211570686345");
        Scrivi(Campo("EditXMax"), nuovoXMax);
        QTest::keyClick(Campo("EditXMax"), Qt::Key_Return);
        Ferma();
        const CBloccoFinestra &f = d->Parametri().Finestra;
        QVERIFY(f.Max.re == LeggiCoordinata(nuovoXMax, Separatore()));
        QVERIFY(f.Min == par.Finestra.Min);
        QVERIFY(f.Max.im == par.Finestra.Max.im);
    }

    // ---- During a drawing, and Stop -------------------------------------

    void fermaLasciaIlDisegnoFinoALi()
    {
        TMDIChild *d = Attivo();
        Scrivi(Campo("EditMaxIterazioni"), LimiteLento);
        Ridisegna();
        QTRY_VERIFY(Finestra->windowTitle().contains(QStringLiteral("Tempo stimato")));
        // Busy: the controls, the disabled and unstretched image, the texts.
        ControllaAspettoOccupato();
        QVERIFY(!Immagine(d)->isEnabled());
        QVERIFY(!Immagine(d)->Stirata());
        QVERIFY(d->TempoImpiegato() >= 600);
        QVERIFY(d->TempoPrevisto() > 0);
        // The texts of the last 600 ms mark.
        const QRegularExpression testo(QStringLiteral("^Completamento: (\\d+\\.\\d)%   Tempo stimato: (.*) secs\\.$"));
        const QRegularExpressionMatch letto = testo.match(Finestra->windowTitle());
        QVERIFY2(letto.hasMatch(), qPrintable(Finestra->windowTitle()));
        QCOMPARE(TitoloApplicazione(), letto.captured(1) + QStringLiteral("% ") + Titolo);
        QCOMPARE(Pannello(1), QStringLiteral("256x256"));
        QVERIFY(Pannello(2).startsWith(QStringLiteral("\tTempo impiegato/previsto: ")));
        // The interface stays usable: the panels.
        ScegliFrattale(1);
        QCOMPARE(Campo("EditParam1")->text(), QStringLiteral("-1.25"));
        ScegliFrattale(0);

        // The stop acts at once: the drawing has ended when the click returns,
        // and nothing is drawn after it.
        Ferma();
        QVERIFY(!d->InCalcolo());
        ControllaDopo(d);
        const QImage alloStop = Immagine(d)->Bitmap();
        QTest::qWait(250);
        QCOMPARE(PixelDiversi(Immagine(d)->Bitmap(), alloStop), 0);
        QVERIFY(BufferComeFigura(d));

        // A new drawing starts at once.
        Scrivi(Campo("EditMaxIterazioni"), QStringLiteral("60"));
        Disegna();
        ControllaDopo(d);
        QCOMPARE(PixelDiversi(Immagine(d)->Bitmap(), Renderer(ParametriDi(d))), 0);
    }

    // Two documents draw side by side; "Stop !" shows for the active
    // document while it draws, and acts on it alone.
    void dueDisegniInsieme()
    {
        TMDIChild *primo = Attivo();
        Scrivi(Campo("EditMaxIterazioni"), LimiteLento);
        Ridisegna();
        QVERIFY(Continua(primo));
        Comando("FileNewItem")->trigger();
        TMDIChild *secondo = Attivo();
        // The new, idle document shows the idle look; the first goes on.
        ControllaAspettoLibero();
        Scrivi(Campo("EditMaxIterazioni"), QStringLiteral("80"));
        Ridisegna();
        ControllaAspettoOccupato();
        QVERIFY(Finito(secondo));
        QCOMPARE(PixelDiversi(Immagine(secondo)->Bitmap(), Renderer(ParametriDi(secondo))), 0);
        QVERIFY(Continua(primo));
        ControllaAspettoLibero();

        // Back on the first: "Stop !" shows, and the first stops.
        Attiva(primo);
        ControllaAspettoOccupato();
        QCOMPARE(Campo("EditMaxIterazioni")->text(), LimiteLento);
        Ferma();
        QVERIFY(!primo->InCalcolo());
        ControllaDopo(primo);
        // Both draw again.
        Scrivi(Campo("EditMaxIterazioni"), QStringLiteral("70"));
        Disegna();
        QCOMPARE(PixelDiversi(Immagine(primo)->Bitmap(), Renderer(ParametriDi(primo))), 0);
    }

    void dialogoModaleNonFermaIlDisegno()
    {
        // The about box's own loop keeps the drawing polled.
        TMDIChild *d = Attivo();
        Scrivi(Campo("EditMaxIterazioni"), LimiteLento);
        Ridisegna();
        bool avanzato = false;
        Risponditore.Rispondi([&](QWidget *modale) {
            avanzato = Continua(d) && Continua(d);
            static_cast<QMessageBox *>(modale)->button(QMessageBox::Ok)->click();
        });
        Comando("HelpAboutItem")->trigger();
        QVERIFY(Risponditore.Risposto());
        QVERIFY(avanzato);
        Ferma();
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
        Comando("FileNewItem")->trigger();
        TMDIChild *d = Attivo();
        QPointer<TMDIChild> guardia(d);
        Scrivi(Campo("EditMaxIterazioni"), LimiteLento);
        // The threads before the drawing: its threads are all joined after it.
        const int fili = NumeroFili();
        Ridisegna();
        QVERIFY(Continua(d));
        QVERIFY(NumeroFili() > fili);
        if (dalMenu)
            Comando("FileCloseItem")->trigger();
        else
            Cornice(d)->close();
        // Closed at once, its drawing stopped and joined.
        QTRY_VERIFY(guardia.isNull());
        QCOMPARE(Finestra->Documenti().size(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(NumeroFili() <= fili, 2000); // a joined thread may be listed for a moment
        ControllaAspettoLibero();
        // The other document draws as before.
        Disegna();
        ControllaDopo(Attivo());
    }

    void uscitaDuranteIDisegni_data()
    {
        QTest::addColumn<bool>("si");
        QTest::newRow("No") << false;
        QTest::newRow("Yes") << true;
    }
    void uscitaDuranteIDisegni()
    {
        QFETCH(bool, si);
        TMDIChild *primo = Attivo();
        const int fili = NumeroFili();
        Scrivi(Campo("EditMaxIterazioni"), LimiteLento);
        Ridisegna();
        Comando("FileNewItem")->trigger();
        TMDIChild *secondo = Attivo();
        Scrivi(Campo("EditMaxIterazioni"), LimiteLento);
        Ridisegna();
        QVERIFY(Continua(primo) && Continua(secondo));
        Risponditore.Rispondi([si](QWidget *modale) {
            auto *domanda = qobject_cast<QMessageBox *>(modale);
            QVERIFY(domanda);
            QCOMPARE(domanda->text(), QStringLiteral("Are you sure you want to quit?"));
            domanda->button(si ? QMessageBox::Yes : QMessageBox::No)->click();
        });
        Comando("FileExitItem")->trigger();
        QVERIFY(Risponditore.Risposto());
        QCOMPARE(Finestra->isVisible(), !si);
        // Yes stops every drawing at once; No leaves them drawing.
        QCOMPARE(primo->InCalcolo(), !si);
        QCOMPARE(secondo->InCalcolo(), !si);
        if (!si) {
            QVERIFY(Continua(primo) && Continua(secondo));
            primo->FermaCalcolo();
            secondo->FermaCalcolo();
        }
        QTRY_VERIFY_WITH_TIMEOUT(NumeroFili() <= fili, 2000);
        Finestra.reset();
        QTRY_VERIFY_WITH_TIMEOUT(NumeroFili() <= fili, 2000);
    }
};

int main(int argc, char *argv[])
{
    TApplicazione applicazione(argc, argv);
    TestDisegnoUi prova;
    return QTest::qExec(&prova, argc, argv);
}

#include "tst_disegno_ui.moc"
