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
    return Immagine(documento)->size();
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
        return {Comando("FileCloseItem"),      Comando("FileSaveItem"),       Comando("FileSaveAsItem"),
                Comando("CutItem"),            Comando("CopyItem"),           Comando("PasteItem"),
                Comando("SaveBtn"),            Comando("CutBtn"),             Comando("CopyBtn"),
                Comando("PasteBtn"),           Comando("WindowCascadeItem"),  Comando("WindowTileItem"),
                Comando("WindowArrangeItem"),  Comando("WindowMinimizeItem"), Comando("WindowRedrawItem")};
    }
    QList<QAction *> ComandiSempre() const
    {
        return {Comando("FileNewItem"), Comando("FileOpenItem"), Comando("FileExitItem"),
                Comando("HelpAboutItem"), Comando("OpenBtn"), Comando("ExitBtn")};
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
        QCOMPARE(Elenco("ComboBoxFrattale")->currentText(), QStringLiteral("Mandelbrot"));
        QCOMPARE(Elenco("ComboBoxColoreInterno")->currentText(), QStringLiteral("Sfumato Log1"));
        QCOMPARE(TitoloApplicazione(), QStringLiteral("Quillmere v0.9"));
        // The program's own icon, at the small sizes too.
        QVERIFY(!Finestra->windowIcon().isNull());
        QVERIFY(Finestra->windowIcon().availableSizes().contains(QSize(16, 16)));

        // A black 256 x 256 picture, stretched to a 256 x 256 control.
        QCOMPARE(Lato(primo), QSize(256, 256));
        const QImage figura = Immagine(primo)->Bitmap();
        QCOMPARE(figura.size(), QSize(256, 256));
        QCOMPARE(figura.format(), QImage::Format_RGB32);
        for (int y = 0; y < figura.height(); ++y)
            for (int x = 0; x < figura.width(); ++x)
                QCOMPARE(figura.pixel(x, y), qRgb(0, 0, 0));
        QVERIFY(Immagine(primo)->Stirata());
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
        QVERIFY(!d->Selezione().InSelezione);
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
        const auto comando = [&nascosta](const char *nome) {
            return nascosta.Elemento<QAction>(QString::fromLatin1(nome));
        };
        for (const char *nome : {"FileNewItem", "FileOpenItem", "FileCloseItem", "FileExitItem", "WindowCascadeItem",
                                 "WindowTileItem", "WindowArrangeItem", "WindowMinimizeItem", "WindowRedrawItem",
                                 "HelpAboutItem", "OpenBtn", "ExitBtn"})
            QVERIFY2(comando(nome) && comando(nome)->isEnabled(), nome);
        for (const char *nome : {"FileSaveItem", "FileSaveAsItem", "CutItem", "CopyItem", "PasteItem", "SaveBtn",
                                 "PasteBtn", "CutBtn", "CopyBtn"})
            QVERIFY2(comando(nome) && !comando(nome)->isEnabled(), nome);
        QCOMPARE(nascosta.Elemento<TBarraDiStato>(QStringLiteral("BarraDiStato"))->TestoPannello(0),
                 QStringLiteral("TipoFrattale"));
        QCOMPARE(nascosta.Elemento<QComboBox>(QStringLiteral("ComboBoxFrattale"))->currentIndex(), -1);
        QCOMPARE(nascosta.Elemento<QLineEdit>(QStringLiteral("EditMaxIterazioni"))->text(), QStringLiteral("520"));
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
        Comando("FileNewItem")->trigger();
        QCOMPARE(Didascalia(Attivo()), QStringLiteral("Finestra %1").arg(n));
        Comando("FileNewItem")->trigger();
        TMDIChild *terzo = Attivo();
        QCOMPARE(Didascalia(terzo), QStringLiteral("Finestra %1").arg(n + 1));

        // A cancelled Open uses no number.
        Risponditore.Rispondi([](QWidget *modale) {
            QVERIFY(qobject_cast<QFileDialog *>(modale));
            static_cast<QFileDialog *>(modale)->reject();
        });
        Comando("OpenBtn")->trigger();
        QVERIFY(Risponditore.Risposto());
        QCOMPARE(NumeroDocumenti(), 3);
        QCOMPARE(Finestra->ContatoreFinestre, n + 2);

        // An accepted Open opens a document with the next number.
        Risponditore.Rispondi([&bitmap](QWidget *modale) {
            auto *dialogo = qobject_cast<QFileDialog *>(modale);
            QVERIFY(dialogo);
            QCOMPARE(dialogo->nameFilters().value(1), QStringLiteral("Pictures (*.bmp *.png)"));
            // The name typed into the dialog's text field.
            auto *nome = dialogo->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            QVERIFY(nome);
            nome->setText(bitmap);
            static_cast<QDialog *>(dialogo)->accept();
        });
        Comando("FileOpenItem")->trigger();
        QVERIFY(Risponditore.Risposto());
        QCOMPARE(NumeroDocumenti(), 4);
        QCOMPARE(Didascalia(Attivo()), QStringLiteral("Finestra %1").arg(n + 2));

        // Closing a document frees no number.
        Chiudi(terzo);
        QCOMPARE(NumeroDocumenti(), 3);
        Comando("FileNewItem")->trigger();
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
            Comando("FileNewItem")->trigger();
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
        const QImage prima = Immagine(d)->Bitmap();
        QClipboard *appunti = QGuiApplication::clipboard();
        for (QAction *a : {Comando("CopyItem"), Comando("CopyBtn")}) {
            appunti->clear();
            QVERIFY(a->isEnabled());
            a->trigger();
            QCOMPARE(appunti->image().convertToFormat(QImage::Format_RGB32), prima);
        }
        appunti->clear();
        for (QAction *a : {Comando("CutItem"), Comando("PasteItem"), Comando("CutBtn"), Comando("PasteBtn")}) {
            QVERIFY(a->isEnabled());
            a->trigger();
        }
        QVERIFY(appunti->image().isNull());
        QCOMPARE(NumeroDocumenti(), 1);
        QCOMPARE(Attivo(), d);
        QCOMPARE(Immagine(d)->Bitmap(), prima);
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
        Comando("FileNewItem")->trigger();
        TMDIChild *secondo = Attivo();
        QVERIFY(secondo != primo);
        scegli(secondo, 1, 0);
        scegli(primo, 2, 1);

        Attiva(primo);
        QCOMPARE(Pannello(0), QStringLiteral("Volterra-Lotka"));
        QCOMPARE(Elenco("ComboBoxColoreInterno")->currentText(), QStringLiteral("Sfumato Log1"));
        Attiva(secondo);
        QCOMPARE(Pannello(0), QStringLiteral("Julia"));
        QCOMPARE(Elenco("ComboBoxFrattale")->currentIndex(), 1);
        QCOMPARE(Elenco("ComboBoxColoreInterno")->currentText(), QStringLiteral("Nero"));

        // A choice outside the list selects nothing and shows an empty name.
        scegli(secondo, 7, 0);
        Finestra->AggiornaPannelli();
        QCOMPARE(Elenco("ComboBoxFrattale")->currentIndex(), -1);
        QCOMPARE(Pannello(0), QString());
    }

    void chiudiSoloIlDocumentoAttivo()
    {
        TMDIChild *primo = Attivo();
        Comando("FileNewItem")->trigger();
        TMDIChild *secondo = Attivo();
        QPointer<TMDIChild> guardiaPrimo(primo);
        QPointer<TMDIChild> guardiaSecondo(secondo);
        Comando("FileCloseItem")->trigger();
        QTRY_VERIFY(guardiaSecondo.isNull());
        QVERIFY(!guardiaPrimo.isNull());
        QCOMPARE(Finestra->Documenti(), QList<TMDIChild *>{primo});
        QCOMPARE(Attivo(), primo);
        // The document's own close box destroys it too.
        Cornice(primo)->close();
        QTRY_VERIFY(guardiaPrimo.isNull());
        QCOMPARE(NumeroDocumenti(), 0);
        QVERIFY(!Comando("FileCloseItem")->isEnabled());
    }

    void elencoFinestre()
    {
        TMDIChild *primo = Attivo();
        Comando("FileNewItem")->trigger();
        Comando("FileNewItem")->trigger();
        TMDIChild *terzo = Attivo();
        emit Elemento<QMenu>("Window1")->aboutToShow();

        const QList<QAction *> voci = Elemento<QMenu>("Window1")->actions();
        const qsizetype dopo = voci.indexOf(Comando("WindowRedrawItem")) + 1;
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
        emit Elemento<QMenu>("Window1")->aboutToShow();
        QCOMPARE(Elemento<QMenu>("Window1")->actions().size(), voci.size());
    }

    // ---- Arranging ------------------------------------------------------

    void minimizzaEDisponiIcone()
    {
        Comando("FileNewItem")->trigger();
        Comando("FileNewItem")->trigger();
        const QList<QMdiSubWindow *> finestre = AreaDocumenti()->subWindowList();
        QCOMPARE(finestre.size(), 3);
        Comando("WindowMinimizeItem")->trigger();
        for (QMdiSubWindow *f : finestre)
            QVERIFY(f->isMinimized());

        // Icons dragged anywhere go back into a line along the bottom.
        finestre[0]->move(100, 30);
        finestre[2]->move(5, 5);
        Comando("WindowArrangeItem")->trigger();
        const int fondo = AreaDocumenti()->viewport()->height();
        for (int i = 0; i < finestre.size(); ++i) {
            QCOMPARE(finestre[i]->geometry().bottom() + 1, fondo);
            for (int j = 0; j < i; ++j)
                QVERIFY(!finestre[i]->geometry().intersects(finestre[j]->geometry()));
        }
    }

    void affiancaSenzaSovrapporre()
    {
        Comando("FileNewItem")->trigger();
        Comando("FileNewItem")->trigger();
        Comando("WindowTileItem")->trigger();
        const QList<QMdiSubWindow *> finestre = AreaDocumenti()->subWindowList();
        const QRect area = AreaDocumenti()->viewport()->rect();
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
        Comando("FileNewItem")->trigger();
        Comando("FileNewItem")->trigger();
        Attiva(Finestra->Documenti().first());
        QMdiSubWindow *attiva = AreaDocumenti()->currentSubWindow();
        QList<QSize> dimensioni;
        for (QMdiSubWindow *f : AreaDocumenti()->subWindowList())
            dimensioni << f->size();
        Comando("WindowCascadeItem")->trigger();
        const QList<QMdiSubWindow *> pila = AreaDocumenti()->subWindowList(QMdiArea::StackingOrder);
        QCOMPARE(pila.last(), attiva);
        QCOMPARE(AreaDocumenti()->currentSubWindow(), attiva);
        for (int i = 1; i < pila.size(); ++i) {
            const QPoint passo = pila[i]->pos() - pila[i - 1]->pos();
            QVERIFY(passo.x() > 0);
            QCOMPARE(passo.x(), passo.y());
        }
        QList<QSize> dopo;
        for (QMdiSubWindow *f : AreaDocumenti()->subWindowList())
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
        Comando("FileNewItem")->trigger();
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
        const QImage disegnata = Immagine(d)->Bitmap();
        QVERIFY(disegnata.pixel(0, 0) != qRgb(0, 0, 0));  // (-2, 1.25) escapes at once
        std::vector<int32_t> buffer;
        for (uint64_t i = 0; i < d->AreaDisegno.CelleBuffer(); ++i)
            buffer.push_back(d->AreaDisegno.LeggiPixel(int32_t(i % 256), int32_t(i / 256)));

        // Paint over the picture, as a zoom's rectangle would.
        Immagine(d)->ColoreRiempimento = 0xFFFFFF;
        Immagine(d)->RiempiRettangolo(10, 10, 100, 100);
        Immagine(d)->ColoreRiempimento = 0;
        QVERIFY(Immagine(d)->Bitmap() != disegnata);
        const QStringList pannelli{Pannello(0), Pannello(1), Pannello(2)};

        Comando("WindowRedrawItem")->trigger();
        QCOMPARE(Immagine(d)->Bitmap(), disegnata);
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
        Immagine(d)->ImpostaStirata(false);
        Immagine(d)->ImpostaDimensioniBitmap(600, 600);

        Comando("WindowRedrawItem")->trigger();
        const QImage figura = Immagine(d)->Bitmap();
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
        Comando("WindowRedrawItem")->trigger();
        QCOMPARE(Immagine(d)->Bitmap().size(), QSize(600, 600));
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
        Comando("FileNewItem")->trigger();
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
            Comando("FileExitItem")->trigger();
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
        Comando("HelpAboutItem")->trigger();
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
        Comando("FileNewItem")->trigger();
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

        QLabel *tempi = BarraDiStato()->Pannello(2);
        Finestra->ScriviStato(2, QStringLiteral("\tTempo impiegato: 0:00.2"));
        QCOMPARE(Pannello(2), QStringLiteral("\tTempo impiegato: 0:00.2"));
        QCOMPARE(tempi->text(), QStringLiteral("Tempo impiegato: 0:00.2"));
        QCOMPARE(tempi->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        Finestra->ScriviStato(2, QStringLiteral("a sinistra"));
        QCOMPARE(tempi->text(), QStringLiteral("a sinistra"));
        QCOMPARE(tempi->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        QCOMPARE(BarraDiStato()->Pannello(1)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        Finestra->ScriviStato(3, QStringLiteral("fuori"));
        Finestra->ScriviStato(-1, QStringLiteral("fuori"));
        QCOMPARE(Pannello(0), QStringLiteral("Mandelbrot"));
        // Without a document there are no panels to fill.
        Finestra->AggiornaPannelli();
        QCOMPARE(Pannello(0), QStringLiteral("Mandelbrot"));
    }

    void pannelliDiStato()
    {
        TBarraDiStato *barra = BarraDiStato();
        Finestra->resize(900, 600);
        QTRY_COMPARE(barra->Pannello(0)->width(), 150);
        QCOMPARE(barra->Pannello(1)->width(), 100);
        QVERIFY(barra->Pannello(2)->width() > 300);
        QVERIFY(barra->Pannello(1)->x() > barra->Pannello(0)->x());
        QVERIFY(barra->Pannello(2)->x() > barra->Pannello(1)->x());
    }

    void suggerimenti()
    {
        TBarraDiStato *barra = BarraDiStato();
        Comando("FileNewItem")->showStatusText(Finestra->menuBar());
        QCOMPARE(barra->TestoSemplice, QStringLiteral("Create a new file"));
        Elemento<QMenu>("Window1")->menuAction()->showStatusText(Finestra->menuBar());
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
        // The clipboard buttons say what they are, as the others do.
        for (const char *nome : {"PasteBtn", "CutBtn", "CopyBtn"})
            QCOMPARE(Finestra->findChild<QToolButton *>(QString::fromLatin1(nome))->toolTip(),
                     QString::fromLatin1(nome).chopped(3));
    }

    // ---- Menus, toolbars and their controls -------------------------------

    void menu()
    {
        const QList<QAction *> barra = Finestra->menuBar()->actions();
        QStringList titoli;
        for (QAction *a : barra)
            titoli << a->text();
        // The menu of the moves and colours stands between Edit and Window.
        QCOMPARE(titoli, (QStringList{"&File", "&Edit", "&Vista", "&Window", "&Help"}));
        QStringList file;
        for (QAction *a : Elemento<QMenu>("File1")->actions())
            file << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(file, (QStringList{"&New", "&Open", "&Close", "&Save", "Save &As...", "&Esporta immagine...", "-",
                                    "E&xit"}));
        QStringList finestra;
        for (QAction *a : Elemento<QMenu>("Window1")->actions())
            if (a == Comando("WindowRedrawItem") || finestra.size() < 6)
                finestra << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(finestra, (QStringList{"&Cascade", "&Tile", "&Arrange Icons", "&Minimize All", "-", "Redraw"}));
        // The usual keys, and no others.
        const QHash<QString, QKeySequence> tasti{{"FileNewItem", QKeySequence::New},
                                                 {"FileOpenItem", QKeySequence::Open},
                                                 {"FileSaveItem", QKeySequence::Save},
                                                 {"CopyItem", QKeySequence::Copy}};
        for (QMenu *m : {Elemento<QMenu>("File1"), Elemento<QMenu>("Edit1"), Elemento<QMenu>("Window1"), Elemento<QMenu>("Help1")})
            for (QAction *a : m->actions())
                QVERIFY2(a->shortcut() == tasti.value(a->objectName()), qPrintable(a->text()));
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
        QCOMPARE(Barra("BarraStandard")->widgetForAction(Comando("OpenBtn"))->width(), 30);
        for (QAction *b : {Comando("SaveBtn"), Comando("PasteBtn"), Comando("CutBtn"), Comando("CopyBtn"), Comando("ExitBtn")})
            QCOMPARE(Barra("BarraStandard")->widgetForAction(b)->width(), 31);
        QCOMPARE(Finestra->font().pixelSize(), 14);
        QCOMPARE(Finestra->font().styleHint(), QFont::SansSerif);
        Finestra->resize(1200, 900);
        QTRY_VERIFY(Barra("BarraStandard")->x() < Barra("ControlloDisegno")->x());
        QCOMPARE(Barra("BarraStandard")->y(), Barra("ControlloDisegno")->y());
        QVERIFY(Barra("Toolbar97")->y() < Barra("Toolbar971")->y());
        QVERIFY(Barra("Toolbar971")->y() < Barra("ParametriAggiuntivi")->y());
        QCOMPARE(Barra("Toolbar97")->x(), Barra("ParametriAggiuntivi")->x());
        // A floating toolbar dropped by its handle on the right edge docks there.
        TBarraStrumenti *barra = Barra("ParametriAggiuntivi");
        barra->Sgancia();
        QVERIFY(barra->isFloating());
        const QWidget *area = AreaDocumenti();
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
        TBarraStrumenti *barra = Barra("ParametriAggiuntivi");
        const QPoint maniglia(barra->width() / 2, 8);
        const QWidget *area = AreaDocumenti();
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
        for (int i = 0; i < Elenco("ComboBoxFrattale")->count(); ++i)
            frattali << Elenco("ComboBoxFrattale")->itemText(i);
        QCOMPARE(frattali, (QStringList{"Mandelbrot", "Julia", "Volterra-Lotka"}));
        QStringList interni;
        for (int i = 0; i < Elenco("ComboBoxColoreInterno")->count(); ++i)
            interni << Elenco("ComboBoxColoreInterno")->itemText(i);
        QCOMPARE(interni, (QStringList{"Nero", "Sfumato Log1"}));
        QVERIFY(!Elenco("ComboBoxFrattale")->isEditable());
        QVERIFY(!Elenco("ComboBoxColoreInterno")->isEditable());

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
        QCOMPARE(Elemento<QLabel>("LabelAttendi")->text(), QStringLiteral("   Attendi..."));
        QVERIFY(Elemento<QLabel>("LabelAttendi")->isHidden());
        QVERIFY(Elemento<QLabel>("LabelAttendi")->font().italic());
        QCOMPARE(Bottone("BottoneRidisegna")->text(), QStringLiteral("Ridisegna"));
        QVERIFY(Bottone("BottoneRidisegna")->isVisible() && Bottone("BottoneRidisegna")->isEnabled());
        QVERIFY(Bottone("BottoneRidisegna")->isDefault());
        QCOMPARE(Bottone("BottoneFermaCalcolo")->text(), QStringLiteral("Stop !"));
        QVERIFY(Bottone("BottoneFermaCalcolo")->isHidden() && !Bottone("BottoneFermaCalcolo")->isEnabled());

        // Tab orders: down the first toolbar, upwards through the window of the plane.
        Elenco("ComboBoxFrattale")->setFocus();
        QTRY_VERIFY(Elenco("ComboBoxFrattale")->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), Elenco("ComboBoxColoreInterno"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), Campo("EditMaxIterazioni"));
        Campo("EditYMax")->setFocus();
        for (QWidget *prossimo : {static_cast<QWidget *>(Campo("EditYMin")), static_cast<QWidget *>(Campo("EditXMax")),
                                  static_cast<QWidget *>(Campo("EditXMin"))}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), prossimo);
        }
        Campo("EditParam1")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), Campo("EditParam2"));
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
        Comando("FileNewItem")->trigger();
        QCOMPARE(Finestra->windowTitle(), QStringLiteral("Completamento: 0% "));
        Cornice(d)->showNormal();
        QCOMPARE(Finestra->windowTitle(), QStringLiteral("Completamento: 0% "));
        QCOMPARE(Didascalia(d), QStringLiteral("Finestra %1").arg(Finestra->ContatoreFinestre - 2));
    }

    void ingranditoNelloSpazio()
    {
        // A maximized document is a square no larger than the area it lives
        // in, and so is the next one, maximized once the first has gone.
        Comando("FileNewItem")->trigger();
        TMDIChild *secondo = Attivo();
        TMDIChild *primo = Finestra->Documenti().first();
        Attiva(primo);
        Cornice(primo)->showMaximized();
        const QRect spazio = AreaDocumenti()->viewport()->rect();
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
        Comando("FileNewItem")->trigger();
        QCOMPARE(Lato(Attivo()), QSize(256, 256));
        QCOMPARE(Finestra->UltimaDimensione, QSize(123, 77));
    }

    void invioPremeRidisegna()
    {
        QSignalSpy premuto(Bottone("BottoneRidisegna"), &QPushButton::clicked);
        Campo("EditMaxIterazioni")->setFocus();
        QTRY_VERIFY(Campo("EditMaxIterazioni")->hasFocus());
        QTest::keyClick(Campo("EditMaxIterazioni"), Qt::Key_Return);
        QCOMPARE(premuto.count(), 1);
        QVERIFY(Finito(Attivo()));
        Elenco("ComboBoxFrattale")->setFocus();
        QTest::keyClick(Elenco("ComboBoxFrattale"), Qt::Key_Enter);
        QCOMPARE(premuto.count(), 2);
        QVERIFY(Finito(Attivo()));
        // While a drawing runs the button is hidden and disabled: Enter does nothing.
        Scrivi(Campo("EditMaxIterazioni"), QStringLiteral("1000000"));
        QTest::keyClick(Campo("EditMaxIterazioni"), Qt::Key_Return);
        QCOMPARE(premuto.count(), 3);
        QVERIFY(AspettoOccupato());
        QTest::keyClick(Campo("EditMaxIterazioni"), Qt::Key_Return);
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
