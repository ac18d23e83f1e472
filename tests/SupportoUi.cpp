#include "SupportoUi.h"

#include "Applicazione.h"
#include "BarraDiStato.h"
#include "Immagine.h"
#include "TestiCalcolo.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QPointer>
#include <QSettings>

namespace {
const QString Titolo = QStringLiteral("Quillmere v0.9");
} // namespace

CProvaFinestre::CProvaFinestre()
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, Impostazioni.path());
}

void CProvaFinestre::init()
{
    Ambito = std::make_unique<QObject>();
    Finestra = FinestraPrincipale(Dimensioni.width(), Dimensioni.height());
    QVERIFY(Finestra);
}

void CProvaFinestre::cleanup()
{
    Ambito.reset();
    Risponditore.Ferma();
    if (Finestra)
        for (TMDIChild *d : Finestra->Documenti()) {
            QVERIFY(!d->InCalcolo());
            d->FermaCalcolo();
        }
    Finestra.reset();
    QVERIFY(!QApplication::activeModalWidget());
}

QString CProvaFinestre::Pannello(int i) const
{
    return BarraDiStato()->TestoPannello(i);
}

void CProvaFinestre::Attiva(TMDIChild *d)
{
    AreaDocumenti()->setActiveSubWindow(Cornice(d));
}

void CProvaFinestre::Ridisegna()
{
    Premi(Bottone("BottoneRidisegna"));
}

bool CProvaFinestre::Finito(TMDIChild *d)
{
    QPointer<TMDIChild> documento(d);
    return QTest::qWaitFor([documento] { return !documento || !documento->InCalcolo(); }, 120000);
}

void CProvaFinestre::Disegna()
{
    TMDIChild *d = Attivo();
    Ridisegna();
    QVERIFY(Finito(d));
}

bool CProvaFinestre::Continua(TMDIChild *d)
{
    const int64_t tempo = d->TempoImpiegato();
    return QTest::qWaitFor([&] { return d->TempoImpiegato() > tempo; }) && d->InCalcolo();
}

void CProvaFinestre::ImpostaMetodo(TMDIChild *d, int metodo)
{
    CParametri par = d->Parametri();
    par.SceltaMetodo = int8_t(metodo);
    d->ImpostaParametri(par);
}

void CProvaFinestre::Ferma()
{
    QVERIFY(Bottone("BottoneFermaCalcolo")->isVisible());
    Premi(Bottone("BottoneFermaCalcolo"));
}

void CProvaFinestre::Scrivi(QLineEdit *campo, const QString &testo)
{
    campo->selectAll();
    if (testo.isEmpty())
        QTest::keyClick(campo, Qt::Key_Delete);
    else
        QTest::keyClicks(campo, testo);
}

void CProvaFinestre::ScegliFrattale(int indice)
{
    QComboBox *elenco = Elenco("ComboBoxFrattale");
    while (elenco->currentIndex() < indice)
        QTest::keyClick(elenco, Qt::Key_Down);
    while (elenco->currentIndex() > indice)
        QTest::keyClick(elenco, Qt::Key_Up);
}

void CProvaFinestre::Chiudi(TMDIChild *documento)
{
    QPointer<TMDIChild> guardia(documento);
    Attiva(documento);
    Comando("FileCloseItem")->trigger();
    QTRY_VERIFY(guardia.isNull());
}

void CProvaFinestre::Quando(std::function<bool()> condizione, std::function<void()> azione, int intervallo)
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
                d->FermaCalcolo();
    });
    timer->start(intervallo);
}

void CProvaFinestre::ControllaAspettoLibero()
{
    QVERIFY(Bottone("BottoneRidisegna")->isVisible());
    QVERIFY(Bottone("BottoneRidisegna")->isEnabled());
    QVERIFY(Bottone("BottoneFermaCalcolo")->isHidden());
    QVERIFY(!Bottone("BottoneFermaCalcolo")->isEnabled());
    QVERIFY(Elemento<QLabel>("LabelAttendi")->isHidden());
}

bool CProvaFinestre::AspettoOccupato() const
{
    return Bottone("BottoneRidisegna")->isHidden() && !Bottone("BottoneRidisegna")->isEnabled()
           && Bottone("BottoneFermaCalcolo")->isVisible() && Bottone("BottoneFermaCalcolo")->isEnabled()
           && Elemento<QLabel>("LabelAttendi")->isVisible();
}

void CProvaFinestre::ControllaDopo(TMDIChild *d)
{
    ControllaAspettoLibero();
    QCOMPARE(Finestra->windowTitle(), Titolo);
    QCOMPARE(TitoloApplicazione(), Titolo);
    QVERIFY(Immagine(d)->isEnabled());
    QVERIFY(Immagine(d)->Stirata());
    QVERIFY(!d->InCalcolo());
    QCOMPARE(d->TempoPrevisto(), int64_t(0));
    // Whole polling periods, at least one.
    QVERIFY(d->TempoImpiegato() > 0);
    QCOMPARE(d->TempoImpiegato() % 200, int64_t(0));
    QCOMPARE(Pannello(1), TestoDimensione(Immagine(d)->width(), Immagine(d)->height()));
    QCOMPARE(Pannello(2), QStringLiteral("\tTempo impiegato: ") + FormattaTempo(d->TempoImpiegato()));
}

CProvaFinestre::Azione CProvaFinestre::Messaggio(const QString &testo, QMessageBox::Icon icona)
{
    return [testo, icona](QWidget *modale) {
        auto *box = qobject_cast<QMessageBox *>(modale);
        QVERIFY(box);
        QCOMPARE(box->windowTitle(), Titolo);
        QCOMPARE(box->text(), testo);
        QCOMPARE(box->icon(), icona);
        QCOMPARE(box->standardButtons(), QMessageBox::Ok);
        box->button(QMessageBox::Ok)->click();
    };
}

CProvaFinestre::Azione CProvaFinestre::Errore(const QString &inizio, const QString &nome)
{
    return [inizio, nome](QWidget *modale) {
        auto *box = qobject_cast<QMessageBox *>(modale);
        QVERIFY(box);
        QVERIFY2(box->text().startsWith(inizio), qPrintable(box->text()));
        QVERIFY2(box->text().contains(nome), qPrintable(box->text()));
        QVERIFY(box->text().endsWith(QLatin1Char('.')));
        QCOMPARE(box->icon(), QMessageBox::Critical);
        QCOMPARE(box->windowTitle(), Titolo);
        box->button(QMessageBox::Ok)->click();
    };
}

CProvaFinestre::Azione CProvaFinestre::Nome(const QString &cartella, const QString &nome)
{
    return [cartella, nome](QWidget *modale) {
        auto *dialogo = qobject_cast<QFileDialog *>(modale);
        QVERIFY(dialogo);
        dialogo->setDirectory(cartella);
        auto *campo = dialogo->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        QVERIFY(campo);
        // A file the dialog still shows selected from its last use would be
        // chosen beside the name typed (typing drops it only while the field
        // has the keyboard focus): the selection goes first.
        dialogo->selectFile(nome);
        campo->setText(nome);
        QMetaObject::invokeMethod(dialogo, "accept", Qt::QueuedConnection);
    };
}
