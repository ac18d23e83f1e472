// The main window and the document windows, driven through their widgets.

#include "Applicazione.h"
#include "BarraDiStato.h"
#include "BarraStrumenti.h"
#include "Errore.h"
#include "FileParametri.h"
#include "FormContenitore.h"
#include "Immagine.h"
#include "ImmagineQt.h"
#include "MDIChild.h"

#include "SupportoUi.h"

#include <QtTest>

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPair>
#include <QPushButton>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QToolButton>

#include <functional>
#include <stdexcept>

namespace {

QSize Lato(TMDIChild *documento)
{
    return documento->Immagine->size();
}

// Sizes a document's window so that its image control would be w x h, as a
// drag of the window's edges does.
void Trascina(TMDIChild *documento, int w, int h)
{
    QMdiSubWindow *finestra = Cornice(documento);
    finestra->resize(finestra->width() + w - Lato(documento).width(), finestra->height() + h - Lato(documento).height());
}

// An object whose event handler fails.
class Guasto final : public QObject
{
public:
    explicit Guasto(std::function<void()> errore) : Errore(std::move(errore)) {}
    bool event(QEvent *evento) override
    {
        if (evento->type() == QEvent::User)
            Errore();
        return QObject::event(evento);
    }

private:
    std::function<void()> Errore;
};

} // namespace

class TestUi : public CProvaFinestre
{
    Q_OBJECT

private:
    QList<QAction *> ComandiConDocumento() const
    {
        return {Finestra->FileCloseItem,      Finestra->FileSaveItem,       Finestra->FileSaveAsItem,
                Finestra->CutItem,            Finestra->CopyItem,           Finestra->PasteItem,
                Finestra->SaveBtn,            Finestra->CutBtn,             Finestra->CopyBtn,
                Finestra->PasteBtn,           Finestra->WindowCascadeItem,  Finestra->WindowTileItem,
                Finestra->WindowArrangeItem,  Finestra->WindowMinimizeItem, Finestra->WindowRedrawItem};
    }
    QList<QAction *> ComandiSempre() const
    {
        return {Finestra->FileNewItem, Finestra->FileOpenItem, Finestra->FileExitItem,
                Finestra->HelpAboutItem, Finestra->OpenBtn, Finestra->ExitBtn};
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale::c());
    }

    // ---- Start-up -------------------------------------------------------

    void avvio()
    {
        QCOMPARE(Finestra->windowTitle(), QStringLiteral("MDI Application"));
        QCOMPARE(NumeroDocumenti(), 1);
        TMDIChild *primo = Attivo();
        QVERIFY(primo);
        QCOMPARE(Didascalia(primo), QStringLiteral("Finestra %1").arg(Finestra->ContatoreFinestre - 1));
        QCOMPARE(Pannello(0), QStringLiteral("Mandelbrot"));
        QCOMPARE(Pannello(1), QStringLiteral("Dimensioni"));
        QCOMPARE(Pannello(2), QStringLiteral("Tempi"));
        QCOMPARE(Finestra->ComboBoxFrattale->currentText(), QStringLiteral("Mandelbrot"));
        QCOMPARE(Finestra->ComboBoxColoreInterno->currentText(), QStringLiteral("Sfumato Log1"));
        QCOMPARE(TitoloApplicazione(), QStringLiteral("Quillmere v0.9"));
        // The program's own icon, at the small sizes too.
        QVERIFY(!Finestra->windowIcon().isNull());
        QVERIFY(Finestra->windowIcon().availableSizes().contains(QSize(16, 16)));

        // A black 256 x 256 picture, stretched to a 256 x 256 control.
        QCOMPARE(Lato(primo), QSize(256, 256));
        const QImage figura = primo->Immagine->Bitmap();
        QCOMPARE(figura.size(), QSize(256, 256));
        QCOMPARE(figura.format(), QImage::Format_RGB32);
        for (int y = 0; y < figura.height(); ++y)
            for (int x = 0; x < figura.width(); ++x)
                QCOMPARE(figura.pixel(x, y), qRgb(0, 0, 0));
        QVERIFY(primo->Immagine->Stirata());
        QCOMPARE(primo->AreaDisegno.Larghezza, 256);
        QCOMPARE(primo->AreaDisegno.Altezza, 256);
    }

    void documentoPredefinito()
    {
        TMDIChild *d = Attivo();
        QVERIFY(d);
        const CParametri &p = d->Parametri();
        QCOMPARE(p.SceltaFrattale, int8_t(0));
        QCOMPARE(p.SceltaInterno, int8_t(1));
        QCOMPARE(p.SceltaEsterno, int8_t(0));
        QCOMPARE(p.SceltaMetodo, int8_t(1));
        QVERIFY(p.Finestra.Min == (Complesso{-2.0L, -1.25L}));
        QVERIFY(p.Finestra.Max == (Complesso{0.5L, 1.25L}));
        QCOMPARE(p.Finestra.MaxIterazioni, 120);
        QCOMPARE(d->AreaDisegno.CelleBuffer(), uint64_t(80000));
        QVERIFY(p.FrattaleJulia.Param == (Complesso{-1.25L, 0.0L}));
        // The doubles 0.65 and 0.3 widened, not the extended values nearest the decimals.
        QVERIFY(p.FrattaleVolterraLotka.Param1 == static_cast<long double>(0.65));
        QVERIFY(p.FrattaleVolterraLotka.Param2 == static_cast<long double>(0.3));
        QVERIFY(p.FrattaleVolterraLotka.Param1 != 0.65L);
        const CDisegno &disegno = d->Disegno;
        QCOMPARE(disegno.DisegnatoreBlocco.Livelli, 3);
        QCOMPARE(disegno.ColoratoreLog.Tabella.Conteggio(), 64);
        QCOMPARE(disegno.ColoratoreLog.Tabella.Colore(0), 0xFF);
        QCOMPARE(disegno.ColoratoreLog.Tabella.Colore(32), 0x7FFF); // halfway from red to yellow
        QCOMPARE(disegno.ColoratoreFasce.Tabella.Conteggio(), 32);
        QCOMPARE(disegno.ColoratoreFasce.Tabella.Colore(0), 0xFF);
        QCOMPARE(disegno.ColoratoreFasce.Tabella.Colore(16), 0x7F7F); // halfway from red to green
        // Nothing is chosen before the first drawing.
        QVERIFY(!d->AreaDisegno.Frattale && !d->AreaDisegno.Interno && !d->AreaDisegno.Esterno);
        QVERIFY(!d->InSelezione);
        QVERIFY(!d->InCalcolo());
        QCOMPARE(d->TempoImpiegato(), int64_t(0));
        QCOMPARE(d->TempoPrevisto(), int64_t(0));
        QCOMPARE(d->Titolo, QStringLiteral("Quillmere v0.9"));
    }

    void layoutPrimaDeiDocumenti()
    {
        // A main window not yet shown has no document, and its commands are
        // as the layout gives them.
        Finestra.reset();
        TContenitore nascosta;
        QVERIFY(nascosta.Documenti().isEmpty());
        for (QAction *a : {nascosta.FileNewItem, nascosta.FileOpenItem, nascosta.FileCloseItem, nascosta.FileExitItem,
                           nascosta.WindowCascadeItem, nascosta.WindowTileItem, nascosta.WindowArrangeItem,
                           nascosta.WindowMinimizeItem, nascosta.WindowRedrawItem, nascosta.HelpAboutItem,
                           nascosta.OpenBtn, nascosta.ExitBtn})
            QVERIFY2(a->isEnabled(), qPrintable(a->objectName()));
        for (QAction *a : {nascosta.FileSaveItem, nascosta.FileSaveAsItem, nascosta.CutItem, nascosta.CopyItem,
                           nascosta.PasteItem, nascosta.SaveBtn, nascosta.PasteBtn, nascosta.CutBtn, nascosta.CopyBtn})
            QVERIFY2(!a->isEnabled(), qPrintable(a->objectName()));
        QCOMPARE(nascosta.BarraDiStato->TestoPannello(0), QStringLiteral("TipoFrattale"));
        QCOMPARE(nascosta.ComboBoxFrattale->currentIndex(), -1);
        QCOMPARE(nascosta.EditMaxIterazioni->text(), QStringLiteral("520"));
    }

    // ---- Numbering ------------------------------------------------------

    void numerazione()
    {
        QTemporaryDir cartella;
        QVERIFY(cartella.isValid());
        const QString bitmap = cartella.filePath(QStringLiteral("sfondo.bmp"));
        QImage(4, 4, QImage::Format_RGB32).save(bitmap);
        // With its parameters file, so that the open shows no message.
        QFile parametri(bitmap + QStringLiteral(".Quillmere"));
        QVERIFY(parametri.open(QIODevice::WriteOnly));
        parametri.write(QByteArray::fromStdString(TestoParametri(CParametri())));
        parametri.close();

        const int n = Finestra->ContatoreFinestre; // the start-up document took n - 1
        Finestra->FileNewItem->trigger();
        QCOMPARE(Didascalia(Attivo()), QStringLiteral("Finestra %1").arg(n));
        Finestra->FileNewItem->trigger();
        TMDIChild *terzo = Attivo();
        QCOMPARE(Didascalia(terzo), QStringLiteral("Finestra %1").arg(n + 1));

        // A cancelled Open uses no number.
        Risponditore.Rispondi([](QWidget *modale) {
            QVERIFY(qobject_cast<QFileDialog *>(modale));
            static_cast<QFileDialog *>(modale)->reject();
        });
        Finestra->OpenBtn->trigger();
        QVERIFY(Risponditore.Risposto());
        QCOMPARE(NumeroDocumenti(), 3);
        QCOMPARE(Finestra->ContatoreFinestre, n + 2);

        // An accepted Open opens a document with the next number.
        Risponditore.Rispondi([&bitmap](QWidget *modale) {
            auto *dialogo = qobject_cast<QFileDialog *>(modale);
            QVERIFY(dialogo);
            QCOMPARE(dialogo->nameFilters(), QStringList{QStringLiteral("Pictures (*.bmp *.png)")});
            // The name typed into the dialog's text field.
            auto *nome = dialogo->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            QVERIFY(nome);
            nome->setText(bitmap);
            static_cast<QDialog *>(dialogo)->accept();
        });
        Finestra->FileOpenItem->trigger();
        QVERIFY(Risponditore.Risposto());
        QCOMPARE(NumeroDocumenti(), 4);
        QCOMPARE(Didascalia(Attivo()), QStringLiteral("Finestra %1").arg(n + 2));

        // Closing a document frees no number.
        Chiudi(terzo);
        QCOMPARE(NumeroDocumenti(), 3);
        Finestra->FileNewItem->trigger();
        QCOMPARE(Didascalia(Attivo()), QStringLiteral("Finestra %1").arg(n + 3));
        QStringList didascalie;
        for (TMDIChild *d : Finestra->Documenti())
            didascalie << Didascalia(d);
        QCOMPARE(didascalie, (QStringList{QStringLiteral("Finestra %1").arg(n - 1), QStringLiteral("Finestra %1").arg(n),
                                          QStringLiteral("Finestra %1").arg(n + 2),
                                          QStringLiteral("Finestra %1").arg(n + 3)}));
    }

    // ---- Enabled states -------------------------------------------------

    void statiAbilitati_data()
    {
        QTest::addColumn<int>("documenti");
        QTest::newRow("nessun documento") << 0;
        QTest::newRow("un documento") << 1;
        QTest::newRow("due documenti") << 2;
    }
    void statiAbilitati()
    {
        QFETCH(int, documenti);
        if (documenti == 0)
            Chiudi(Attivo());
        if (documenti == 2)
            Finestra->FileNewItem->trigger();
        QCOMPARE(NumeroDocumenti(), documenti);
        for (QAction *a : ComandiConDocumento())
            QVERIFY2(a->isEnabled() == (documenti > 0), qPrintable(a->objectName()));
        for (QAction *a : ComandiSempre())
            QVERIFY2(a->isEnabled(), qPrintable(a->objectName()));
        // The buttons follow their commands.
        for (const char *nome : {"SaveBtn", "CutBtn", "CopyBtn", "PasteBtn", "OpenBtn", "ExitBtn"}) {
            auto *pulsante = Finestra->findChild<QToolButton *>(QString::fromLatin1(nome));
            QVERIFY2(pulsante, nome);
            QCOMPARE(pulsante->isEnabled(), pulsante->defaultAction()->isEnabled());
        }
        // With no document the panels keep their last texts.
        QCOMPARE(Pannello(0), QStringLiteral("Mandelbrot"));
    }

    void comandiSenzaDocumento()
    {
        Chiudi(Attivo());
        // Reached without an active document, these do nothing (no dialog, no failure).
        Risponditore.Rispondi([](QWidget *modale) {
            QFAIL("a command without a document opened a modal window");
            modale->close();
        });
        Finestra->FileSaveItemClick();
        Finestra->FileSaveAsItemClick();
        Finestra->WindowRedrawItemClick();
        Finestra->FileCloseItemClick();
        Finestra->WindowCascadeItemClick();
        Finestra->WindowTileItemClick();
        Finestra->WindowArrangeItemClick();
        Finestra->WindowMinimizeItemClick();
        QVERIFY(!Risponditore.Risposto());
        QCOMPARE(NumeroDocumenti(), 0);
        QVERIFY(!QApplication::overrideCursor());
    }

    void appuntiConUnDocumento()
    {
        // Copy (the menu item and the button) puts the active picture on the
        // clipboard; Cut and Paste do nothing.
        TMDIChild *d = Attivo();
        Disegna();
        const QImage prima = d->Immagine->Bitmap();
        QClipboard *appunti = QGuiApplication::clipboard();
        for (QAction *a : {Finestra->CopyItem, Finestra->CopyBtn}) {
            appunti->clear();
            QVERIFY(a->isEnabled());
            a->trigger();
            QCOMPARE(appunti->image().convertToFormat(QImage::Format_RGB32), prima);
        }
        appunti->clear();
        for (QAction *a : {Finestra->CutItem, Finestra->PasteItem, Finestra->CutBtn, Finestra->PasteBtn}) {
            QVERIFY(a->isEnabled());
            a->trigger();
        }
        QVERIFY(appunti->image().isNull());
        QCOMPARE(NumeroDocumenti(), 1);
        QCOMPARE(Attivo(), d);
        QCOMPARE(d->Immagine->Bitmap(), prima);
    }

    // ---- Activation, closing, the Window menu -----------------------------

    void attivazioneAggiornaPannelli()
    {
        const auto scegli = [](TMDIChild *d, int frattale, int interno) {
            CParametri p = d->Parametri();
            p.SceltaFrattale = int8_t(frattale);
            p.SceltaInterno = int8_t(interno);
            d->ImpostaParametri(p);
        };
        TMDIChild *primo = Attivo();
        Finestra->FileNewItem->trigger();
        TMDIChild *secondo = Attivo();
        QVERIFY(secondo != primo);
        scegli(secondo, 1, 0);
        scegli(primo, 2, 1);

        Attiva(primo);
        QCOMPARE(Pannello(0), QStringLiteral("Volterra-Lotka"));
        QCOMPARE(Finestra->ComboBoxColoreInterno->currentText(), QStringLiteral("Sfumato Log1"));
        Attiva(secondo);
        QCOMPARE(Pannello(0), QStringLiteral("Julia"));
        QCOMPARE(Finestra->ComboBoxFrattale->currentIndex(), 1);
        QCOMPARE(Finestra->ComboBoxColoreInterno->currentText(), QStringLiteral("Nero"));

        // A choice outside the list selects nothing and shows an empty name.
        scegli(secondo, 7, 0);
        Finestra->AggiornaPannelli();
        QCOMPARE(Finestra->ComboBoxFrattale->currentIndex(), -1);
        QCOMPARE(Pannello(0), QString());
    }

    void chiudiSoloIlDocumentoAttivo()
    {
        TMDIChild *primo = Attivo();
        Finestra->FileNewItem->trigger();
        TMDIChild *secondo = Attivo();
        QPointer<TMDIChild> guardiaPrimo(primo);
        QPointer<TMDIChild> guardiaSecondo(secondo);
        Finestra->FileCloseItem->trigger();
        QTRY_VERIFY(guardiaSecondo.isNull());
        QVERIFY(!guardiaPrimo.isNull());
        QCOMPARE(Finestra->Documenti(), QList<TMDIChild *>{primo});
        QCOMPARE(Attivo(), primo);
        // The document's own close box destroys it too.
        Cornice(primo)->close();
        QTRY_VERIFY(guardiaPrimo.isNull());
        QCOMPARE(NumeroDocumenti(), 0);
        QVERIFY(!Finestra->FileCloseItem->isEnabled());
    }

    void elencoFinestre()
    {
        TMDIChild *primo = Attivo();
        Finestra->FileNewItem->trigger();
        Finestra->FileNewItem->trigger();
        TMDIChild *terzo = Attivo();
        emit Finestra->Window1->aboutToShow();

        const QList<QAction *> voci = Finestra->Window1->actions();
        const qsizetype dopo = voci.indexOf(Finestra->WindowRedrawItem) + 1;
        QVERIFY(dopo > 0);
        QList<QAction *> elenco;
        for (qsizetype i = dopo; i < voci.size(); ++i)
            if (!voci[i]->isSeparator())
                elenco << voci[i];
        QCOMPARE(elenco.size(), 3);
        QStringList testi;
        for (TMDIChild *d : Finestra->Documenti())
            testi << Didascalia(d);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(elenco[i]->text(), testi[i]);
            QCOMPARE(elenco[i]->isChecked(), i == 2);
        }
        QCOMPARE(Attivo(), terzo);
        elenco[0]->trigger();
        QCOMPARE(Attivo(), primo);

        // Shown again, the menu lists each document once.
        emit Finestra->Window1->aboutToShow();
        QCOMPARE(Finestra->Window1->actions().size(), voci.size());
    }

    // ---- Arranging ------------------------------------------------------

    void minimizzaEDisponiIcone()
    {
        Finestra->FileNewItem->trigger();
        Finestra->FileNewItem->trigger();
        const QList<QMdiSubWindow *> finestre = Finestra->AreaDocumenti->subWindowList();
        QCOMPARE(finestre.size(), 3);
        Finestra->WindowMinimizeItem->trigger();
        for (QMdiSubWindow *f : finestre)
            QVERIFY(f->isMinimized());

        // Icons dragged anywhere go back into a line along the bottom.
        finestre[0]->move(100, 30);
        finestre[2]->move(5, 5);
        Finestra->WindowArrangeItem->trigger();
        const int fondo = Finestra->AreaDocumenti->viewport()->height();
        for (int i = 0; i < finestre.size(); ++i) {
            QCOMPARE(finestre[i]->geometry().bottom() + 1, fondo);
            for (int j = 0; j < i; ++j)
                QVERIFY(!finestre[i]->geometry().intersects(finestre[j]->geometry()));
        }
    }

    void affiancaSenzaSovrapporre()
    {
        Finestra->FileNewItem->trigger();
        Finestra->FileNewItem->trigger();
        Finestra->WindowTileItem->trigger();
        const QList<QMdiSubWindow *> finestre = Finestra->AreaDocumenti->subWindowList();
        const QRect area = Finestra->AreaDocumenti->viewport()->rect();
        for (int i = 0; i < finestre.size(); ++i) {
            QVERIFY(area.contains(finestre[i]->geometry()));
            const QSize lato = Lato(Finestra->Documenti()[i]);
            QCOMPARE(lato.width(), lato.height());
            QVERIFY(lato.width() > 100);
            for (int j = 0; j < i; ++j) {
                QVERIFY(!finestre[i]->geometry().intersects(finestre[j]->geometry()));
                // One strip under the other.
                QVERIFY(finestre[i]->y() > finestre[j]->y());
            }
        }
    }

    void cascata()
    {
        Finestra->FileNewItem->trigger();
        Finestra->FileNewItem->trigger();
        Attiva(Finestra->Documenti().first());
        QMdiSubWindow *attiva = Finestra->AreaDocumenti->currentSubWindow();
        QList<QSize> dimensioni;
        for (QMdiSubWindow *f : Finestra->AreaDocumenti->subWindowList())
            dimensioni << f->size();
        Finestra->WindowCascadeItem->trigger();
        const QList<QMdiSubWindow *> pila = Finestra->AreaDocumenti->subWindowList(QMdiArea::StackingOrder);
        QCOMPARE(pila.last(), attiva);
        QCOMPARE(Finestra->AreaDocumenti->currentSubWindow(), attiva);
        for (int i = 1; i < pila.size(); ++i) {
            const QPoint passo = pila[i]->pos() - pila[i - 1]->pos();
            QVERIFY(passo.x() > 0);
            QCOMPARE(passo.x(), passo.y());
        }
        QList<QSize> dopo;
        for (QMdiSubWindow *f : Finestra->AreaDocumenti->subWindowList())
            dopo << f->size();
        QCOMPARE(dopo, dimensioni);
    }

    // ---- Square images --------------------------------------------------

    void ridimensionamento_data()
    {
        QTest::addColumn<QSize>("coppia");
        QTest::addColumn<QSize>("trascinata");
        QTest::addColumn<QSize>("attesa");
        QTest::addColumn<QSize>("coppiaDopo");
        QTest::newRow("solo il bordo destro") << QSize(256, 256) << QSize(300, 256) << QSize(300, 300)
                                              << QSize(300, 300);
        QTest::newRow("solo il bordo in basso") << QSize(256, 256) << QSize(256, 200) << QSize(200, 200)
                                                << QSize(200, 200);
        QTest::newRow("un angolo") << QSize(256, 256) << QSize(320, 280) << QSize(280, 280) << QSize(280, 280);
        QTest::newRow("coppia ancora a zero") << QSize(0, 0) << QSize(300, 256) << QSize(256, 256) << QSize(256, 256);
        QTest::newRow("coppia di un altro documento") << QSize(512, 512) << QSize(300, 256) << QSize(256, 256)
                                                      << QSize(256, 256);
        QTest::newRow("resta quadrata") << QSize(123, 77) << QSize(300, 300) << QSize(300, 300) << QSize(123, 77);
        QTest::newRow("uguale alla coppia") << QSize(300, 256) << QSize(300, 256) << QSize(300, 256)
                                            << QSize(300, 256);
    }
    void ridimensionamento()
    {
        QFETCH(QSize, coppia);
        QFETCH(QSize, trascinata);
        QFETCH(QSize, attesa);
        QFETCH(QSize, coppiaDopo);
        Finestra->resize(1200, 900);
        TMDIChild *d = Attivo();
        QCOMPARE(Lato(d), QSize(256, 256));
        const QPoint angolo = Cornice(d)->pos();
        Finestra->UltimaDimensione = coppia;
        Finestra->ScriviStato(1, QStringLiteral("prima"));

        Trascina(d, trascinata.width(), trascinata.height());
        QCOMPARE(Lato(d), attesa);
        QCOMPARE(Finestra->UltimaDimensione, coppiaDopo);
        QCOMPARE(Cornice(d)->pos(), angolo);
        // The render area and its buffer are not touched by a resize.
        QCOMPARE(d->AreaDisegno.Larghezza, 256);
        QCOMPARE(d->AreaDisegno.Altezza, 256);
        if (attesa.width() == attesa.height() && trascinata == attesa)
            QCOMPARE(Pannello(1), QStringLiteral("prima"));
    }

    void coppiaCondivisa()
    {
        Finestra->resize(1400, 1000);
        TMDIChild *primo = Attivo();
        Finestra->FileNewItem->trigger();
        TMDIChild *secondo = Attivo();
        Finestra->UltimaDimensione = QSize(256, 256);
        Trascina(primo, 512, 256);
        QCOMPARE(Lato(primo), QSize(512, 512));
        QCOMPARE(Finestra->UltimaDimensione, QSize(512, 512));
        Trascina(secondo, 300, 256);
        QCOMPARE(Lato(secondo), QSize(256, 256));
        QCOMPARE(Lato(primo), QSize(512, 512));
    }

    void impostaDimensioni()
    {
        Finestra->resize(1200, 900);
        TMDIChild *d = Attivo();
        QMdiSubWindow *cornice = Cornice(d);
        const QRect prima = cornice->geometry();
        int eventi = 0;
        struct Filtro : QObject
        {
            int &Conta;
            explicit Filtro(int &conta) : Conta(conta) {}
            bool eventFilter(QObject *, QEvent *e) override
            {
                if (e->type() == QEvent::Resize || e->type() == QEvent::Move)
                    ++Conta;
                return false;
            }
        } filtro(eventi);
        cornice->installEventFilter(&filtro);
        d->installEventFilter(&filtro);

        // The size it already has: the window is left alone.
        d->ImpostaDimensioni(256, 256);
        QCOMPARE(cornice->geometry(), prima);
        QCOMPARE(eventi, 0);

        // Another size: the image gets exactly that, the window keeps its corner
        // and grows by the difference.
        d->ImpostaDimensioni(333, 333);
        QCOMPARE(Lato(d), QSize(333, 333));
        QCOMPARE(cornice->pos(), prima.topLeft());
        QCOMPARE(cornice->size(), prima.size() + QSize(77, 77));
        cornice->removeEventFilter(&filtro);
        d->removeEventFilter(&filtro);
    }

    void ripristinoDaIcona()
    {
        Finestra->resize(1200, 900);
        TMDIChild *d = Attivo();
        Finestra->UltimaDimensione = QSize(256, 256);
        Trascina(d, 300, 256);
        QCOMPARE(Lato(d), QSize(300, 300));
        Cornice(d)->showMinimized();
        Cornice(d)->showNormal();
        // Coming back from an icon is not a new start: the image keeps its size.
        QCOMPARE(Lato(d), QSize(300, 300));
    }

    // ---- Redraw from the buffer -----------------------------------------

    void ridisegnaDalBuffer()
    {
        TMDIChild *d = Attivo();
        Disegna();
        const QImage disegnata = d->Immagine->Bitmap();
        QVERIFY(disegnata.pixel(0, 0) != qRgb(0, 0, 0));  // (-2, 1.25) escapes at once
        std::vector<int32_t> buffer;
        for (uint64_t i = 0; i < d->AreaDisegno.CelleBuffer(); ++i)
            buffer.push_back(d->AreaDisegno.LeggiPixel(int32_t(i % 256), int32_t(i / 256)));

        // Paint over the picture, as a zoom's rectangle would.
        d->Immagine->ColoreRiempimento = 0xFFFFFF;
        d->Immagine->RiempiRettangolo(10, 10, 100, 100);
        d->Immagine->ColoreRiempimento = 0;
        QVERIFY(d->Immagine->Bitmap() != disegnata);
        const QStringList pannelli{Pannello(0), Pannello(1), Pannello(2)};

        Finestra->WindowRedrawItem->trigger();
        QCOMPARE(d->Immagine->Bitmap(), disegnata);
        for (uint64_t i = 0; i < d->AreaDisegno.CelleBuffer(); ++i)
            QCOMPARE(d->AreaDisegno.LeggiPixel(int32_t(i % 256), int32_t(i / 256)), buffer[i]);
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE((QStringList{Pannello(0), Pannello(1), Pannello(2)}), pannelli);
    }

    void ridisegnaOltreIlBuffer()
    {
        // After the window grew, a press on the image makes the area's size
        // larger than its buffer: the repaint reads only inside the buffer and
        // draws black whatever it does not hold.
        TMDIChild *d = Attivo();
        QCOMPARE(Lato(d), QSize(256, 256));
        Disegna();
        const uint64_t celle = d->AreaDisegno.CelleBuffer();
        QCOMPARE(celle, uint64_t(384 * 384));
        d->AreaDisegno.Larghezza = 600;
        d->AreaDisegno.Altezza = 600;
        d->Immagine->ImpostaStirata(false);
        d->Immagine->ImpostaDimensioniBitmap(600, 600);

        Finestra->WindowRedrawItem->trigger();
        const QImage figura = d->Immagine->Bitmap();
        QCOMPARE(figura.size(), QSize(600, 600));
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 600; ++x) {
                const uint64_t indice = uint64_t(x) + uint64_t(y) * 600;
                const QRgb atteso = indice < celle ? CImmagineQt::QRgbDaColore(d->AreaDisegno.LeggiPixel(x, y))
                                                   : qRgb(0, 0, 0);
                QCOMPARE(figura.pixel(x, y), atteso);
            }
        QVERIFY(figura.pixel(599, 599) == qRgb(0, 0, 0));
        QVERIFY(figura.pixel(0, 0) != qRgb(0, 0, 0));

        // Far larger than the bitmap and the buffer: still only inside both.
        d->AreaDisegno.Larghezza = 1 << 20;
        d->AreaDisegno.Altezza = 1 << 20;
        Finestra->WindowRedrawItem->trigger();
        QCOMPARE(d->Immagine->Bitmap().size(), QSize(600, 600));
    }

    // ---- Quitting -------------------------------------------------------

    void uscita_data()
    {
        QTest::addColumn<bool>("conIlMenu");
        QTest::addColumn<bool>("si");
        QTest::newRow("Exit, No") << true << false;
        QTest::newRow("casella di chiusura, No") << false << false;
        QTest::newRow("Exit, Yes") << true << true;
    }
    void uscita()
    {
        QFETCH(bool, conIlMenu);
        QFETCH(bool, si);
        Finestra->FileNewItem->trigger();
        const QList<TMDIChild *> documenti = Finestra->Documenti();
        TMDIChild *attivo = Attivo();
        Risponditore.Rispondi([si](QWidget *modale) {
            auto *domanda = qobject_cast<QMessageBox *>(modale);
            QVERIFY(domanda);
            QCOMPARE(domanda->windowTitle(), QStringLiteral("Warning!"));
            QCOMPARE(domanda->text(), QStringLiteral("Are you sure you want to quit?"));
            QCOMPARE(domanda->standardButtons(), QMessageBox::Yes | QMessageBox::No);
            QCOMPARE(domanda->icon(), QMessageBox::NoIcon);
            domanda->button(si ? QMessageBox::Yes : QMessageBox::No)->click();
        });
        if (conIlMenu)
            Finestra->FileExitItem->trigger();
        else
            Finestra->close();
        QVERIFY(Risponditore.Risposto());
        QCOMPARE(Finestra->isVisible(), !si);
        QCOMPARE(Finestra->Documenti(), documenti);
        QCOMPARE(Attivo(), attivo);
    }

    void esciDallaBarra()
    {
        Risponditore.Rispondi([](QWidget *modale) {
            auto *domanda = qobject_cast<QMessageBox *>(modale);
            QVERIFY(domanda);
            domanda->button(QMessageBox::No)->click();
        });
        QTest::mouseClick(Finestra->findChild<QToolButton *>(QStringLiteral("ExitBtn")), Qt::LeftButton);
        QVERIFY(Risponditore.Risposto());
        QVERIFY(Finestra->isVisible());
    }

    // ---- About and the default error handler ----------------------------

    void informazioni()
    {
        ImpostaTitoloApplicazione(QStringLiteral("42.0% Quillmere v0.9"));
        Risponditore.Rispondi([](QWidget *modale) {
            auto *box = qobject_cast<QMessageBox *>(modale);
            QVERIFY(box);
            QCOMPARE(box->windowTitle(), QStringLiteral("42.0% Quillmere v0.9"));
            QVERIFY(box->text().contains(QStringLiteral("Quillmere")));
            QVERIFY(box->text().contains(QStringLiteral("0.9")));
            QCOMPARE(box->icon(), QMessageBox::NoIcon);
            QCOMPARE(box->standardButtons(), QMessageBox::Ok);
            box->button(QMessageBox::Ok)->click();
        });
        Finestra->HelpAboutItem->trigger();
        QVERIFY(Risponditore.Risposto());
        ImpostaTitoloApplicazione(QStringLiteral("Quillmere v0.9"));
    }

    void gestoreErrori_data()
    {
        QTest::addColumn<bool>("diProgramma");
        QTest::addColumn<QString>("messaggio");
        QTest::newRow("CErrore") << true << QString::fromUtf8(MessaggioBuffer);
        QTest::newRow("std::exception") << false << QStringLiteral("qualcosa è andato storto");
    }
    void gestoreErrori()
    {
        QFETCH(bool, diProgramma);
        QFETCH(QString, messaggio);
        const std::string testo = messaggio.toStdString();
        Guasto guasto([diProgramma, testo] {
            if (diProgramma)
                throw CErrore(testo);
            throw std::runtime_error(testo);
        });
        Risponditore.Rispondi([messaggio](QWidget *modale) {
            auto *box = qobject_cast<QMessageBox *>(modale);
            QVERIFY(box);
            QCOMPARE(box->windowTitle(), QStringLiteral("Quillmere v0.9"));
            QCOMPARE(box->text(), messaggio + QLatin1Char('.'));
            QCOMPARE(box->icon(), QMessageBox::Critical);
            QCOMPARE(box->standardButtons(), QMessageBox::Ok);
            box->button(QMessageBox::Ok)->click();
        });
        QEvent evento(QEvent::User);
        QCoreApplication::sendEvent(&guasto, &evento);
        QVERIFY(Risponditore.Risposto());
        // The program goes on.
        Finestra->FileNewItem->trigger();
        QCOMPARE(NumeroDocumenti(), 2);
    }

    // ---- Services, hints, status bar ------------------------------------

    void servizi()
    {
        Finestra->ImpostaTitolo(QStringLiteral("Completamento: 0% "));
        QCOMPARE(Finestra->windowTitle(), QStringLiteral("Completamento: 0% "));
        Chiudi(Attivo());
        Finestra->ImpostaTitolo(QStringLiteral("Quillmere v0.9"));
        QCOMPARE(Finestra->windowTitle(), QStringLiteral("Quillmere v0.9"));

        QLabel *tempi = Finestra->BarraDiStato->Pannello(2);
        Finestra->ScriviStato(2, QStringLiteral("\tTempo impiegato: 0:00.2"));
        QCOMPARE(Pannello(2), QStringLiteral("\tTempo impiegato: 0:00.2"));
        QCOMPARE(tempi->text(), QStringLiteral("Tempo impiegato: 0:00.2"));
        QCOMPARE(tempi->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        Finestra->ScriviStato(2, QStringLiteral("a sinistra"));
        QCOMPARE(tempi->text(), QStringLiteral("a sinistra"));
        QCOMPARE(tempi->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        QCOMPARE(Finestra->BarraDiStato->Pannello(1)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        Finestra->ScriviStato(3, QStringLiteral("fuori"));
        Finestra->ScriviStato(-1, QStringLiteral("fuori"));
        QCOMPARE(Pannello(0), QStringLiteral("Mandelbrot"));
        // Without a document there are no panels to fill.
        Finestra->AggiornaPannelli();
        QCOMPARE(Pannello(0), QStringLiteral("Mandelbrot"));
    }

    void pannelliDiStato()
    {
        TBarraDiStato *barra = Finestra->BarraDiStato;
        Finestra->resize(900, 600);
        QTRY_COMPARE(barra->Pannello(0)->width(), 150);
        QCOMPARE(barra->Pannello(1)->width(), 100);
        QVERIFY(barra->Pannello(2)->width() > 300);
        QVERIFY(barra->Pannello(1)->x() > barra->Pannello(0)->x());
        QVERIFY(barra->Pannello(2)->x() > barra->Pannello(1)->x());
    }

    void suggerimenti()
    {
        TBarraDiStato *barra = Finestra->BarraDiStato;
        Finestra->FileNewItem->showStatusText(Finestra->menuBar());
        QCOMPARE(barra->TestoSemplice, QStringLiteral("Create a new file"));
        Finestra->Window1->menuAction()->showStatusText(Finestra->menuBar());
        QCOMPARE(barra->TestoSemplice, QStringLiteral("Window related commands such as Tile and Cascade"));
        // Held, not shown: the three panels stay as they were.
        QVERIFY(barra->currentMessage().isEmpty());
        for (int i = 0; i < TBarraDiStato::NumeroPannelli; ++i)
            QVERIFY(barra->Pannello(i)->isVisible());
        QCOMPARE(barra->TestoPannello(0), QStringLiteral("Mandelbrot"));

        // "Open|": the short part is the tooltip, the long part is empty.
        auto *apri = Finestra->findChild<QToolButton *>(QStringLiteral("OpenBtn"));
        QCOMPARE(apri->toolTip(), QStringLiteral("Open"));
        QCOMPARE(apri->statusTip(), QString());
        QCOMPARE(Finestra->findChild<QToolButton *>(QStringLiteral("ExitBtn"))->toolTip(), QStringLiteral("Exit"));
        QCOMPARE(Finestra->findChild<QToolButton *>(QStringLiteral("CutBtn"))->toolTip(), QString());
    }

    // ---- Menus, toolbars and their controls -------------------------------

    void menu()
    {
        const QList<QAction *> barra = Finestra->menuBar()->actions();
        QStringList titoli;
        for (QAction *a : barra)
            titoli << a->text();
        QCOMPARE(titoli, (QStringList{"&File", "&Edit", "&Window", "&Help"}));
        QStringList file;
        for (QAction *a : Finestra->File1->actions())
            file << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(file, (QStringList{"&New", "&Open", "&Close", "&Save", "Save &As...", "-", "E&xit"}));
        QStringList finestra;
        for (QAction *a : Finestra->Window1->actions())
            if (a == Finestra->WindowRedrawItem || finestra.size() < 6)
                finestra << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(finestra, (QStringList{"&Cascade", "&Tile", "&Arrange Icons", "&Minimize All", "-", "Redraw"}));
        for (QMenu *m : {Finestra->File1, Finestra->Edit1, Finestra->Window1, Finestra->Help1})
            for (QAction *a : m->actions())
                QVERIFY2(a->shortcut().isEmpty(), qPrintable(a->text()));
    }

    void barre_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("titolo");
        QTest::addColumn<int>("area");
        QTest::addColumn<QString>("dock"); // its default dock, empty when it has none
        QTest::addColumn<bool>("chiudibile");
        QTest::newRow("Standard") << "BarraStandard" << "Standard" << int(Qt::TopToolBarArea) << "DockInAlto" << true;
        QTest::newRow("Controllo Disegno") << "ControlloDisegno" << "Controllo Disegno" << int(Qt::TopToolBarArea)
                                           << "DockInAlto" << true;
        QTest::newRow("Settaggi Insieme") << "Toolbar97" << "Settaggi Insieme" << int(Qt::LeftToolBarArea)
                                          << "DockInAlto" << false;
        QTest::newRow("Settaggi Finestra") << "Toolbar971" << "Settaggi Finestra" << int(Qt::LeftToolBarArea) << ""
                                           << true;
        QTest::newRow("Parametri Aggiuntivi") << "ParametriAggiuntivi" << "Parametri Aggiuntivi"
                                              << int(Qt::LeftToolBarArea) << "DockASinistra" << true;
    }
    void barre()
    {
        QFETCH(QString, nome);
        QFETCH(QString, titolo);
        QFETCH(int, area);
        QFETCH(QString, dock);
        QFETCH(bool, chiudibile);
        auto *barra = Finestra->findChild<TBarraStrumenti *>(nome);
        QVERIFY(barra);
        QCOMPARE(barra->windowTitle(), titolo);
        QCOMPARE(int(Finestra->toolBarArea(barra)), area);
        QCOMPARE(barra->DockPredefinito() ? barra->DockPredefinito()->objectName() : QString(), dock);
        const int predefinita = barra->AreaPredefinita();
        QVERIFY(!barra->isFloating());
        QVERIFY(barra->isVisible());

        // A double-click floats it as a small window titled with its caption.
        QTest::mouseDClick(barra, Qt::LeftButton, {}, QPoint(3, 3));
        QVERIFY(barra->isFloating());
        QVERIFY(barra->isVisible());
        QCOMPARE(barra->windowTitle(), titolo);
        QVERIFY(barra->windowFlags() & Qt::WindowTitleHint);
        QCOMPARE(bool(barra->windowFlags() & Qt::WindowCloseButtonHint), chiudibile);

        // Another docks it on its default dock, or leaves it floating.
        QTest::mouseDClick(barra, Qt::LeftButton, {}, QPoint(3, 3));
        if (predefinita == Qt::NoToolBarArea) {
            QVERIFY(barra->isFloating());
        } else {
            QVERIFY(!barra->isFloating());
            QCOMPARE(int(Finestra->toolBarArea(barra)), predefinita);
            QTest::mouseDClick(barra, Qt::LeftButton, {}, QPoint(3, 3));
            QVERIFY(barra->isFloating());
        }

        // Its close box closes it for good, when it has one.
        barra->close();
        QCOMPARE(barra->isVisible(), !chiudibile);
    }

    void barreNeiDock()
    {
        // The three docks of the layout, by name.
        const QList<QPair<QString, Qt::ToolBarArea>> dock{{QStringLiteral("DockInAlto"), Qt::TopToolBarArea},
                                                          {QStringLiteral("DockASinistra"), Qt::LeftToolBarArea},
                                                          {QStringLiteral("DockADestra"), Qt::RightToolBarArea}};
        for (const auto &[nome, lato] : dock) {
            const TDock *d = Finestra->findChild<TDock *>(nome);
            QVERIFY2(d, qPrintable(nome));
            QCOMPARE(d->Lato, lato);
        }
        // The buttons of "Standard" and the window's 14-pixel sans-serif text.
        QCOMPARE(Finestra->BarraStandard->widgetForAction(Finestra->OpenBtn)->width(), 30);
        for (QAction *b : {Finestra->SaveBtn, Finestra->PasteBtn, Finestra->CutBtn, Finestra->CopyBtn, Finestra->ExitBtn})
            QCOMPARE(Finestra->BarraStandard->widgetForAction(b)->width(), 31);
        QCOMPARE(Finestra->font().pixelSize(), 14);
        QCOMPARE(Finestra->font().styleHint(), QFont::SansSerif);
        Finestra->resize(1200, 900);
        QTRY_VERIFY(Finestra->BarraStandard->x() < Finestra->ControlloDisegno->x());
        QCOMPARE(Finestra->BarraStandard->y(), Finestra->ControlloDisegno->y());
        QVERIFY(Finestra->Toolbar97->y() < Finestra->Toolbar971->y());
        QVERIFY(Finestra->Toolbar971->y() < Finestra->ParametriAggiuntivi->y());
        QCOMPARE(Finestra->Toolbar97->x(), Finestra->ParametriAggiuntivi->x());
        // A floating toolbar dropped by its handle on the right edge docks there.
        TBarraStrumenti *barra = Finestra->ParametriAggiuntivi;
        barra->Sgancia();
        QVERIFY(barra->isFloating());
        const QWidget *area = Finestra->AreaDocumenti;
        // A click on it, even over a dock's edge, leaves it floating.
        barra->move(area->mapToGlobal(QPoint(2, area->height() / 2)) - QPoint(3, 3));
        QTest::mouseClick(barra, Qt::LeftButton, {}, QPoint(3, 3));
        QVERIFY(barra->isFloating());
        const QPoint destra = area->mapToGlobal(QPoint(area->width() - 5, area->height() / 2));
        QTest::mousePress(barra, Qt::LeftButton, {}, QPoint(3, 3));
        QMouseEvent muovi(QEvent::MouseMove, barra->mapFromGlobal(destra), destra, Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(barra, &muovi);
        QTest::mouseRelease(barra, Qt::LeftButton, {}, barra->mapFromGlobal(destra));
        QVERIFY(!barra->isFloating());
        QCOMPARE(Finestra->toolBarArea(barra), Qt::RightToolBarArea);
    }

    void trascinataFuoriFluttua()
    {
        // Dragged by its handle off the docks, a toolbar floats titled with its caption.
        Finestra->resize(1200, 900);
        TBarraStrumenti *barra = Finestra->ParametriAggiuntivi;
        const QPoint maniglia(barra->width() / 2, 8);
        const QWidget *area = Finestra->AreaDocumenti;
        const QPoint centro = area->mapToGlobal(area->rect().center());
        QTest::mousePress(barra, Qt::LeftButton, {}, maniglia);
        for (int passo = 1; passo <= 10; ++passo) {
            const QPoint globale = barra->mapToGlobal(maniglia) + (centro - barra->mapToGlobal(maniglia)) * passo / 10;
            QMouseEvent muovi(QEvent::MouseMove, barra->mapFromGlobal(globale), globale, Qt::NoButton, Qt::LeftButton, {});
            QApplication::sendEvent(barra, &muovi);
        }
        QTest::mouseRelease(barra, Qt::LeftButton, {}, barra->mapFromGlobal(centro));
        QVERIFY(barra->isFloating());
        QVERIFY(barra->isVisible());
        QVERIFY(barra->windowFlags() & Qt::WindowTitleHint);
        QCOMPARE(barra->windowTitle(), QStringLiteral("Parametri Aggiuntivi"));
        QVERIFY(barra->geometry().contains(centro));
    }

    void controlliDellePanoramiche()
    {
        Finestra->resize(1200, 900);
        QStringList frattali;
        for (int i = 0; i < Finestra->ComboBoxFrattale->count(); ++i)
            frattali << Finestra->ComboBoxFrattale->itemText(i);
        QCOMPARE(frattali, (QStringList{"Mandelbrot", "Julia", "Volterra-Lotka"}));
        QStringList interni;
        for (int i = 0; i < Finestra->ComboBoxColoreInterno->count(); ++i)
            interni << Finestra->ComboBoxColoreInterno->itemText(i);
        QCOMPARE(interni, (QStringList{"Nero", "Sfumato Log1"}));
        QVERIFY(!Finestra->ComboBoxFrattale->isEditable());
        QVERIFY(!Finestra->ComboBoxColoreInterno->isEditable());

        const QList<QPair<const char *, const char *>> etichette = {
            {"Label1", "Frattale: "}, {"Label2", "Colore Interno:"}, {"Label3", "Iterazioni:"},
            {"Label4", "X Min:"},     {"Label5", "X Max:"},          {"Label6", "Y Min:"},
            {"Label7", "Y Max:"},     {"Label8", "Param 1:"},        {"Label9", "Param 2:"}};
        for (const auto &[nome, testo] : etichette) {
            auto *etichetta = Finestra->findChild<QLabel *>(QString::fromLatin1(nome));
            QVERIFY2(etichetta, nome);
            QCOMPARE(etichetta->text(), QString::fromUtf8(testo));
        }
        for (const char *nome : {"ToolbarSep971", "ToolbarSep972", "ToolbarSep973", "ToolbarSep974", "ToolbarSep975",
                                 "ToolbarSep976", "ToolbarSep977", "ToolbarSep978"}) {
            auto *separatore = Finestra->findChild<QAction *>(QString::fromLatin1(nome));
            QVERIFY2(separatore && separatore->isSeparator(), nome);
        }

        // "Controllo Disegno" idle: Ridisegna shown, Stop ! and Attendi hidden.
        QCOMPARE(Finestra->LabelAttendi->text(), QStringLiteral("   Attendi..."));
        QVERIFY(Finestra->LabelAttendi->isHidden());
        QVERIFY(Finestra->LabelAttendi->font().italic());
        QCOMPARE(Finestra->BottoneRidisegna->text(), QStringLiteral("Ridisegna"));
        QVERIFY(Finestra->BottoneRidisegna->isVisible() && Finestra->BottoneRidisegna->isEnabled());
        QVERIFY(Finestra->BottoneRidisegna->isDefault());
        QCOMPARE(Finestra->BottoneFermaCalcolo->text(), QStringLiteral("Stop !"));
        QVERIFY(Finestra->BottoneFermaCalcolo->isHidden() && !Finestra->BottoneFermaCalcolo->isEnabled());

        // Tab orders: down the first toolbar, upwards through the window of the plane.
        Finestra->ComboBoxFrattale->setFocus();
        QTRY_VERIFY(Finestra->ComboBoxFrattale->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), Finestra->ComboBoxColoreInterno);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), Finestra->EditMaxIterazioni);
        Finestra->EditYMax->setFocus();
        for (QWidget *prossimo : {static_cast<QWidget *>(Finestra->EditYMin), static_cast<QWidget *>(Finestra->EditXMax),
                                  static_cast<QWidget *>(Finestra->EditXMin)}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), prossimo);
        }
        Finestra->EditParam1->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), Finestra->EditParam2);
    }

    void didascaliaConDocumentoIngrandito()
    {
        // The main window's caption reads exactly as set, also while a
        // document is maximized.
        TMDIChild *d = Attivo();
        Cornice(d)->showMaximized();
        QVERIFY(Cornice(d)->isMaximized());
        QCOMPARE(Finestra->windowTitle(), QStringLiteral("MDI Application"));
        Finestra->ImpostaTitolo(QStringLiteral("Completamento: 0% "));
        QCOMPARE(Finestra->windowTitle(), QStringLiteral("Completamento: 0% "));
        Finestra->FileNewItem->trigger();
        QCOMPARE(Finestra->windowTitle(), QStringLiteral("Completamento: 0% "));
        Cornice(d)->showNormal();
        QCOMPARE(Finestra->windowTitle(), QStringLiteral("Completamento: 0% "));
        QCOMPARE(Didascalia(d), QStringLiteral("Finestra %1").arg(Finestra->ContatoreFinestre - 2));
    }

    void ingranditoNelloSpazio()
    {
        // A maximized document is a square no larger than the area it lives
        // in, and so is the next one, maximized once the first has gone.
        Finestra->FileNewItem->trigger();
        TMDIChild *secondo = Attivo();
        TMDIChild *primo = Finestra->Documenti().first();
        Attiva(primo);
        Cornice(primo)->showMaximized();
        const QRect spazio = Finestra->AreaDocumenti->viewport()->rect();
        QVERIFY(spazio.width() != spazio.height());
        for (TMDIChild *d : {primo, secondo}) {
            QTRY_VERIFY(Cornice(d)->isMaximized());
            QTRY_COMPARE(Lato(d).width(), Lato(d).height());
            QVERIFY2(spazio.contains(Cornice(d)->geometry()), qPrintable(Didascalia(d)));
            QVERIFY(Lato(d).width() > 256);
            if (d == primo)
                Chiudi(primo);
        }
    }

    void nuovoDocumentoNonToccaLaCoppia()
    {
        Finestra->UltimaDimensione = QSize(123, 77);
        Finestra->FileNewItem->trigger();
        QCOMPARE(Lato(Attivo()), QSize(256, 256));
        QCOMPARE(Finestra->UltimaDimensione, QSize(123, 77));
    }

    void invioPremeRidisegna()
    {
        QSignalSpy premuto(Finestra->BottoneRidisegna, &QPushButton::clicked);
        Finestra->EditMaxIterazioni->setFocus();
        QTRY_VERIFY(Finestra->EditMaxIterazioni->hasFocus());
        QTest::keyClick(Finestra->EditMaxIterazioni, Qt::Key_Return);
        QCOMPARE(premuto.count(), 1);
        QVERIFY(Finito(Attivo()));
        Finestra->ComboBoxFrattale->setFocus();
        QTest::keyClick(Finestra->ComboBoxFrattale, Qt::Key_Enter);
        QCOMPARE(premuto.count(), 2);
        QVERIFY(Finito(Attivo()));
        // While a drawing runs the button is hidden and disabled: Enter does nothing.
        Scrivi(Finestra->EditMaxIterazioni, QStringLiteral("1000000"));
        QTest::keyClick(Finestra->EditMaxIterazioni, Qt::Key_Return);
        QCOMPARE(premuto.count(), 3);
        QVERIFY(AspettoOccupato());
        QTest::keyClick(Finestra->EditMaxIterazioni, Qt::Key_Return);
        QCOMPARE(premuto.count(), 3);
        Ferma();
    }
};

int main(int argc, char *argv[])
{
    TApplicazione applicazione(argc, argv);
    TestUi prova;
    return QTest::qExec(&prova, argc, argv);
}

#include "tst_ui.moc"
