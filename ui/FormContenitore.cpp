#include "FormContenitore.h"

#include "Applicazione.h"
#include "BarraDiStato.h"
#include "BarraStrumenti.h"
#include "Immagine.h"
#include "FileDocumento.h"
#include "FileParametri.h"
#include "Numeri.h"
#include "MDIChild.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QShowEvent>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

#include <algorithm>

namespace {

// The hourglass over the whole application for as long as it lives.
class CCursoreAttesa
{
public:
    CCursoreAttesa() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CCursoreAttesa() { QApplication::restoreOverrideCursor(); }
    CCursoreAttesa(const CCursoreAttesa &) = delete;
    CCursoreAttesa &operator=(const CCursoreAttesa &) = delete;
};

// The documents' window style: a maximized document keeps its own title bar,
// so the toolkit neither moves its buttons into the menu bar nor appends its
// caption to the main window's.
class CStileDocumenti final : public QProxyStyle
{
public:
    int styleHint(StyleHint suggerimento, const QStyleOption *opzione, const QWidget *widget,
                  QStyleHintReturn *ritorno) const override
    {
        if (suggerimento == SH_Workspace_FillSpaceOnMaximize)
            return 1;
        return QProxyStyle::styleHint(suggerimento, opzione, widget, ritorno);
    }
};

TMDIChild *Documento(const QMdiSubWindow *finestra)
{
    return finestra ? qobject_cast<TMDIChild *>(finestra->widget()) : nullptr;
}

} // namespace

TContenitore::TContenitore(QWidget *genitore)
    : QMainWindow(genitore), SeparatoreDecimale(SeparatoreDecimaleDiSistema())
{
    setObjectName(QStringLiteral("Contenitore"));
    setWindowTitle(QStringLiteral("MDI Application"));
    resize(772, 525);
    // A closed toolbar stays closed: no menu of toolbars to show it again.
    setContextMenuPolicy(Qt::NoContextMenu);
    // The window's text: 14-pixel sans-serif, which its controls take on.
    QFont carattere(QStringLiteral("Sans Serif"));
    carattere.setStyleHint(QFont::SansSerif);
    carattere.setPixelSize(14);
    setFont(carattere);

    AreaDocumenti = new QMdiArea(this);
    AreaDocumenti->setObjectName(QStringLiteral("AreaDocumenti"));
    setCentralWidget(AreaDocumenti);
    // Made after the area, so destroyed after the documents that use it.
    StileDocumenti = new CStileDocumenti;
    StileDocumenti->setParent(this);

    CreaMenu();
    CreaDock();
    CreaBarraStandard();
    CreaControlloDisegno();
    CreaSettaggiInsieme();
    CreaSettaggiFinestra();
    CreaParametriAggiuntivi();

    BarraDiStato = new TBarraDiStato(this);
    setStatusBar(BarraDiStato);

    OpenDialog = new QFileDialog(this);
    OpenDialog->setObjectName(QStringLiteral("OpenDialog"));
    // The pictures the program saves, of both kinds.
    OpenDialog->setNameFilter(QStringLiteral("Pictures (*.bmp *.png)"));
    OpenDialog->setFileMode(QFileDialog::ExistingFile);
    OpenDialog->setAcceptMode(QFileDialog::AcceptOpen);
    ChiudiCompletamentiAllaFine(OpenDialog);

    FormCreate();
}

TContenitore::~TContenitore()
{
    FormDestroy();
}

void TContenitore::FormCreate()
{
    connect(AreaDocumenti, &QMdiArea::subWindowActivated, this, &TContenitore::FinestraAttivata);
    // Only the user's choice: the panels' own selection of the active
    // document's formula raises nothing.
    connect(ComboBoxFrattale, &QComboBox::activated, this,
            [this] { GestisciErrori([this] { ComboBoxFrattaleChange(); }); });
    // A reading that fails, or a drawing that raises, ends here in the error box.
    connect(BottoneRidisegna, &QPushButton::clicked, this,
            [this] { GestisciErrori([this] { BottoneRidisegnaClick(); }); });
    connect(BottoneFermaCalcolo, &QPushButton::clicked, this, &TContenitore::BottoneFermaCalcoloClick);
    // A floating toolbar is a window of its own, where a key the controls
    // leave goes no further than the toolbar.
    for (QToolBar *barra : findChildren<QToolBar *>())
        barra->installEventFilter(this);
}

void TContenitore::FinestraAttivata(QMdiSubWindow *finestra)
{
    UpdateMenuItems();
    AggiornaControlloDisegno();
    if (TMDIChild *documento = Documento(finestra))
        documento->FormActivate();
}

void TContenitore::FormDestroy()
{
    // The documents are destroyed after this object: nothing of theirs may reach it.
    disconnect(AreaDocumenti, nullptr, this, nullptr);
    for (TMDIChild *documento : Documenti())
        disconnect(documento, nullptr, this, nullptr);
}

void TContenitore::FormShow()
{
    NuovoDocumento(QString());
}

bool TContenitore::FormCloseQuery()
{
    QMessageBox domanda(QMessageBox::NoIcon, QStringLiteral("Warning!"), QStringLiteral("Are you sure you want to quit?"),
                        QMessageBox::Yes | QMessageBox::No, this);
    return domanda.exec() == QMessageBox::Yes;
}

bool TContenitore::event(QEvent *evento)
{
    if (evento->type() == QEvent::StatusTip) {
        MostraSuggerimento(static_cast<QStatusTipEvent *>(evento)->tip());
        return true;
    }
    return QMainWindow::event(evento);
}

void TContenitore::showEvent(QShowEvent *evento)
{
    QMainWindow::showEvent(evento);
    // The window system's own show events (coming back from minimized) are not a start.
    if (!evento->spontaneous())
        FormShow();
}

void TContenitore::closeEvent(QCloseEvent *evento)
{
    if (!FormCloseQuery()) {
        evento->ignore();
        return;
    }
    // Every drawing ends, its threads joined, before the program leaves.
    for (TMDIChild *documento : Documenti())
        documento->FermaCalcolo();
    evento->accept();
}

bool TContenitore::TastoInvio(QKeyEvent *evento)
{
    if (evento->key() != Qt::Key_Return && evento->key() != Qt::Key_Enter)
        return false;
    // As a dialog's default button: no modifier, save the keypad's on Enter.
    const Qt::KeyboardModifiers modificatori = evento->modifiers();
    if (modificatori != Qt::NoModifier && !(modificatori == Qt::KeypadModifier && evento->key() == Qt::Key_Enter))
        return false;
    // The button's own look: hidden during a drawing. A closed toolbar hides
    // it too, but Enter still draws then.
    if (BottoneRidisegna->isHidden() || !BottoneRidisegna->isEnabled())
        return false;
    evento->accept();
    BottoneRidisegna->click();
    return true;
}

void TContenitore::keyPressEvent(QKeyEvent *evento)
{
    if (TastoInvio(evento))
        return;
    QMainWindow::keyPressEvent(evento);
}

bool TContenitore::eventFilter(QObject *oggetto, QEvent *evento)
{
    // A key reaches a toolbar when the control that had it left it.
    if (evento->type() == QEvent::KeyPress && qobject_cast<QToolBar *>(oggetto) &&
        TastoInvio(static_cast<QKeyEvent *>(evento)))
        return true;
    return QMainWindow::eventFilter(oggetto, evento);
}

void TContenitore::NuovoDocumento(const QString &nomeFile)
{
    const QString nome = nomeFile;
    TMDIChild *documento = CreaDocumento();
    QMdiSubWindow *finestra = AggiungiDocumento(documento);
    documento->setWindowTitle(tr("Finestra %1").arg(ContatoreFinestre));
    ++ContatoreFinestre;
    finestra->show();
    AreaDocumenti->setActiveSubWindow(finestra);
    // A load that raises leaves the document open, its number used.
    if (!nome.isEmpty() && documento->Carica(nome) == TMDIChild::Caricamento::Fallito) {
        // Nothing could be shown: the program stays as it was, the number too.
        finestra->close();
        --ContatoreFinestre;
        return;
    }
    DocumentoAPannelli();
}

void TContenitore::ApriFile(const QString &nome)
{
    // An empty argument names no file.
    if (nome.isEmpty())
        return;
    if (!nome.endsWith(QLatin1String(".Quillmere"), Qt::CaseInsensitive)) {
        NuovoDocumento(nome);
        return;
    }
    // The settings first: a file that is not valid opens no document and
    // uses no number.
    CParametri parametri;
    QString motivo;
    if (!LeggiFileParametri(nome, parametri, &motivo) || parametri.Finestra.Larghezza < 0
        || parametri.Finestra.Altezza < 0) {
        const QString testo = TMDIChild::TestoParametriNonValidi();
        MostraMessaggio(motivo.isEmpty() ? testo : testo + '\n' + motivo);
        return;
    }
    NuovoDocumento(QString());
    // Drawn at the new document's size, as a zoom is.
    DisegnaImpostazioni(Documenti().last(), parametri);
}

void TContenitore::ApriFileDaFuori(const QStringList &nomi)
{
    QTimer::singleShot(0, this, [this, nomi] {
        for (const QString &nome : nomi)
            GestisciErrori([&] { ApriFile(nome); });
    });
}

void TContenitore::ApriRegione(const CParametri &parametri)
{
    TMDIChild *documento = CreaDocumento();
    QMdiSubWindow *finestra = AggiungiDocumento(documento);
    documento->setWindowTitle(tr("Finestra %1").arg(Documenti().size()));
    finestra->show();
    AreaDocumenti->setActiveSubWindow(finestra);
    DisegnaImpostazioni(documento, parametri);
}

void TContenitore::DisegnaImpostazioni(TMDIChild *documento, CParametri parametri)
{
    // The size is the new document's own.
    CAreaDisegno &area = documento->AreaDisegno;
    parametri.Finestra.Larghezza = area.Larghezza;
    parametri.Finestra.Altezza = area.Altezza;
    documento->ImpostaParametri(parametri);
    area.PreparaBuffer(area.Larghezza, area.Altezza);
    DocumentoAPannelli();
    documento->EseguiCalcolo();
}

TMDIChild *TContenitore::CreaDocumento()
{
    return new TMDIChild(UltimaDimensione);
}

QMdiSubWindow *TContenitore::AggiungiDocumento(TMDIChild *documento)
{
    QMdiSubWindow *finestra = AreaDocumenti->addSubWindow(documento);
    finestra->setStyle(StileDocumenti);
    // What a document reports; whatever a handler raises ends in the error box.
    connect(documento, &TMDIChild::TitoloCambiato, this, [this, documento](const QString &testo) {
        if (Parla(documento))
            ImpostaTitolo(testo);
    });
    connect(documento, &TMDIChild::TitoloApplicazioneCambiato, this, [this, documento](const QString &testo) {
        if (Parla(documento))
            ImpostaTitoloApplicazione(testo);
    });
    connect(documento, &TMDIChild::StatoCambiato, this, [this, documento](int pannello, const QString &testo) {
        if (Parla(documento))
            ScriviStato(pannello, testo);
    });
    connect(documento, &TMDIChild::Occupato, this, &TContenitore::AggiornaControlloDisegno);
    connect(documento, &TMDIChild::Libero, this, &TContenitore::AggiornaControlloDisegno);
    connect(documento, &TMDIChild::PannelliDaAggiornare, this, &TContenitore::AggiornaPannelli);
    connect(documento, &TMDIChild::RegioneScelta, this,
            [this](const CParametri &parametri) { GestisciErrori([&] { ApriRegione(parametri); }); });
    connect(documento, &TMDIChild::ErroreDisegno, this, [](const QString &messaggio) { MostraErrore(messaggio); });
    return finestra;
}

bool TContenitore::Parla(TMDIChild *documento) const
{
    const TMDIChild *attivo = DocumentoAttivo();
    return documento == attivo || !attivo || !attivo->InCalcolo();
}

void TContenitore::ImpostaTitolo(const QString &testo)
{
    setWindowTitle(testo);
}

void TContenitore::ScriviStato(int pannello, const QString &testo)
{
    BarraDiStato->ScriviPannello(pannello, testo);
}

void TContenitore::AggiornaPannelli()
{
    DocumentoAPannelli();
}

void TContenitore::MostraOccupato()
{
    LabelAttendi->show();
    BottoneRidisegna->setEnabled(false);
    BottoneRidisegna->hide();
    LabelAttendi->repaint();
    BottoneFermaCalcolo->show();
    BottoneFermaCalcolo->setEnabled(true);
    ElaboraDisegniInSospeso();
}

void TContenitore::MostraLibero()
{
    ElaboraDisegniInSospeso();
    LabelAttendi->hide();
    BottoneRidisegna->show();
    BottoneRidisegna->setEnabled(true);
    BottoneFermaCalcolo->hide();
    BottoneFermaCalcolo->setEnabled(false);
}

void TContenitore::AggiornaControlloDisegno()
{
    const TMDIChild *attivo = DocumentoAttivo();
    const bool occupato = attivo && attivo->InCalcolo();
    if (occupato == BottoneFermaCalcolo->isEnabled())
        return;
    if (occupato)
        MostraOccupato();
    else
        MostraLibero();
}

void TContenitore::ElaboraDisegniInSospeso()
{
    QCoreApplication::sendPostedEvents(this, QEvent::UpdateRequest);
    QWidget *barra = ControlloDisegno->window();
    if (barra != this)
        QCoreApplication::sendPostedEvents(barra, QEvent::UpdateRequest);
}

void TContenitore::DocumentoAPannelli(int formula)
{
    TMDIChild *documento = DocumentoAttivo();
    if (!documento)
        return;
    const CParametri &p = documento->Parametri();
    if (formula < 0)
        formula = p.SceltaFrattale;
    ComboBoxFrattale->setCurrentIndex(formula);
    ScriviStato(0, ComboBoxFrattale->currentText());
    ComboBoxColoreInterno->setCurrentIndex(p.SceltaInterno);
    EditMaxIterazioni->setText(TestoIntero(p.Finestra.MaxIterazioni));
    EditXMin->setText(TestoCoordinata(p.Finestra.Min.re, SeparatoreDecimale));
    EditXMax->setText(TestoCoordinata(p.Finestra.Max.re, SeparatoreDecimale));
    EditYMin->setText(TestoCoordinata(p.Finestra.Min.im, SeparatoreDecimale));
    EditYMax->setText(TestoCoordinata(p.Finestra.Max.im, SeparatoreDecimale));
    switch (formula) {
    case 1:
        EditParam1->setText(TestoNumero(p.FrattaleJulia.Param.re, SeparatoreDecimale));
        EditParam2->setText(TestoNumero(p.FrattaleJulia.Param.im, SeparatoreDecimale));
        break;
    case 2:
        EditParam1->setText(TestoNumero(p.FrattaleVolterraLotka.Param1, SeparatoreDecimale));
        EditParam2->setText(TestoNumero(p.FrattaleVolterraLotka.Param2, SeparatoreDecimale));
        break;
    default:
        EditParam1->clear();
        EditParam2->clear();
        break;
    }
    // A deep window's corners are longer than their fields: their first
    // digits show.
    for (QLineEdit *campo : {EditXMin, EditXMax, EditYMin, EditYMax, EditParam1, EditParam2})
        campo->setCursorPosition(0);
    documento->Finestra()->repaint();
}

void TContenitore::PannelliADocumento()
{
    TMDIChild *documento = DocumentoAttivo();
    if (!documento)
        return;
    // Field by field in the panels' order: what was read before a text that
    // cannot be read stays stored, that field and the later ones do not.
    CParametri p = documento->Parametri();
    const auto memorizza = [&] { documento->ImpostaParametri(p); };
    try {
        p.SceltaFrattale = static_cast<int8_t>(ComboBoxFrattale->currentIndex());
        p.SceltaInterno = static_cast<int8_t>(ComboBoxColoreInterno->currentIndex());
        p.Finestra.MaxIterazioni = LeggiIntero(EditMaxIterazioni->text());
        // The window of the plane changes only as a whole.
        CReale xMin = LeggiCoordinata(EditXMin->text(), SeparatoreDecimale);
        CReale xMax = LeggiCoordinata(EditXMax->text(), SeparatoreDecimale);
        CReale yMin = LeggiCoordinata(EditYMin->text(), SeparatoreDecimale);
        CReale yMax = LeggiCoordinata(EditYMax->text(), SeparatoreDecimale);
        p.Finestra.Min = CComplessoAlto(std::move(xMin), std::move(yMin));
        p.Finestra.Max = CComplessoAlto(std::move(xMax), std::move(yMax));
        switch (p.SceltaFrattale) {
        case 1: {
            const long double re = LeggiNumero(EditParam1->text(), SeparatoreDecimale);
            const long double im = LeggiNumero(EditParam2->text(), SeparatoreDecimale);
            p.FrattaleJulia.Param = Complesso{re, im};
            break;
        }
        case 2:
            // Each parameter as soon as it has been read.
            p.FrattaleVolterraLotka.Param1 = LeggiNumero(EditParam1->text(), SeparatoreDecimale);
            p.FrattaleVolterraLotka.Param2 = LeggiNumero(EditParam2->text(), SeparatoreDecimale);
            break;
        default:
            break;
        }
    } catch (...) {
        memorizza();
        throw;
    }
    memorizza();
}

void TContenitore::RidisegnaAttivo()
{
    if (TMDIChild *documento = DocumentoAttivo())
        documento->EseguiCalcolo();
}

void TContenitore::ComboBoxFrattaleChange()
{
    // The chosen formula's parameters show at once; the document takes the
    // choice only when the panels are stored, so that its picture, its files
    // and its zooms keep the formula it was drawn with.
    if (DocumentoAttivo())
        DocumentoAPannelli(ComboBoxFrattale->currentIndex());
}

void TContenitore::BottoneRidisegnaClick()
{
    // A drawing document's settings stay as they are until it has ended.
    if (TMDIChild *documento = DocumentoAttivo(); documento && documento->InCalcolo())
        return;
    PannelliADocumento();
    RidisegnaAttivo();
}

void TContenitore::BottoneFermaCalcoloClick()
{
    if (TMDIChild *documento = DocumentoAttivo())
        documento->FermaCalcolo();
}

void TContenitore::MostraSuggerimento(const QString &suggerimento)
{
    BarraDiStato->TestoSemplice = suggerimento;
}

void TContenitore::UpdateMenuItems()
{
    const bool documenti = !Documenti().isEmpty();
    for (QAction *comando : {FileCloseItem, FileSaveItem, FileSaveAsItem, CutItem, CopyItem, PasteItem, SaveBtn, CutBtn,
                             CopyBtn, PasteBtn, WindowCascadeItem, WindowTileItem, WindowArrangeItem,
                             WindowMinimizeItem, WindowRedrawItem})
        comando->setEnabled(documenti);
}

TMDIChild *TContenitore::DocumentoAttivo() const
{
    return Documento(AreaDocumenti->currentSubWindow());
}

QList<TMDIChild *> TContenitore::Documenti() const
{
    QList<TMDIChild *> documenti;
    for (QMdiSubWindow *finestra : AreaDocumenti->subWindowList())
        if (TMDIChild *documento = Documento(finestra))
            documenti.append(documento);
    return documenti;
}

void TContenitore::AggiornaElencoFinestre()
{
    const QList<QAction *> voci = Window1->actions();
    const auto primaVoce = std::find(voci.begin(), voci.end(), WindowRedrawItem);
    for (auto voce = primaVoce == voci.end() ? voci.end() : primaVoce + 1; voce != voci.end(); ++voce) {
        Window1->removeAction(*voce);
        (*voce)->deleteLater();
    }
    const QList<QMdiSubWindow *> finestre = AreaDocumenti->subWindowList();
    if (finestre.isEmpty())
        return;
    Window1->addSeparator();
    for (QMdiSubWindow *finestra : finestre) {
        QString titolo = finestra->windowTitle();
        titolo.replace(QLatin1Char('&'), QLatin1String("&&"));
        QAction *voce = Window1->addAction(titolo);
        voce->setCheckable(true);
        voce->setChecked(finestra == AreaDocumenti->currentSubWindow());
        connect(voce, &QAction::triggered, this, [this, bersaglio = QPointer<QMdiSubWindow>(finestra)] {
            if (bersaglio)
                AreaDocumenti->setActiveSubWindow(bersaglio);
        });
    }
}

void TContenitore::FileNewItemClick()
{
    NuovoDocumento(QString());
}

void TContenitore::FileOpenItemClick()
{
    if (const QString cartella = UltimaCartella(); !cartella.isEmpty())
        OpenDialog->setDirectory(cartella);
    if (OpenDialog->exec() != QDialog::Accepted)
        return;
    const QStringList scelti = OpenDialog->selectedFiles();
    if (scelti.isEmpty())
        return;
    RicordaCartella(scelti.first());
    NuovoDocumento(scelti.first());
}

void TContenitore::FileCloseItemClick()
{
    if (QMdiSubWindow *finestra = AreaDocumenti->currentSubWindow())
        finestra->close();
}

void TContenitore::FileSaveItemClick()
{
    if (TMDIChild *documento = DocumentoAttivo())
        documento->Salva();
}

void TContenitore::FileSaveAsItemClick()
{
    FileSaveItemClick();
}

void TContenitore::FileExitItemClick()
{
    close();
}

void TContenitore::CutItemClick()
{
}

void TContenitore::CopyItemClick()
{
    // The picture as it shows now, as drawn so far while a drawing runs.
    if (TMDIChild *documento = DocumentoAttivo())
        QGuiApplication::clipboard()->setImage(documento->Figura());
}

void TContenitore::PasteItemClick()
{
}

void TContenitore::WindowCascadeItemClick()
{
    // Each document keeps its size, so its image stays as it is; the active
    // document ends on top.
    const int passo = style()->pixelMetric(QStyle::PM_TitleBarHeight);
    const QSize spazio = AreaDocumenti->viewport()->size();
    QPoint angolo(0, 0);
    QMdiSubWindow *attiva = AreaDocumenti->currentSubWindow();
    QList<QMdiSubWindow *> finestre = AreaDocumenti->subWindowList(QMdiArea::StackingOrder);
    finestre.removeOne(attiva);
    if (attiva)
        finestre.append(attiva);
    for (QMdiSubWindow *finestra : finestre) {
        if (finestra->isMinimized())
            continue;
        if (finestra->isMaximized())
            finestra->showNormal();
        if (angolo.y() + finestra->height() > spazio.height() && angolo.y() > 0)
            angolo = QPoint(0, 0);
        finestra->move(angolo);
        finestra->raise();
        angolo += QPoint(passo, passo);
    }
}

void TContenitore::WindowTileItemClick()
{
    // Horizontal strips, one under the other, each as tall as its share of
    // the area and as wide as its square image: no two documents overlap, and
    // no image needs squaring afterwards. Minimized documents stay in their
    // line along the bottom, which the strips leave free.
    WindowArrangeItemClick();
    int fondo = AreaDocumenti->viewport()->height();
    QList<QMdiSubWindow *> aperte;
    for (QMdiSubWindow *finestra : AreaDocumenti->subWindowList()) {
        if (finestra->isMinimized())
            fondo = std::min(fondo, finestra->y());
        else
            aperte.append(finestra);
    }
    if (aperte.isEmpty())
        return;
    const int larghezza = AreaDocumenti->viewport()->width();
    const int striscia = std::max(fondo / int(aperte.size()), 1);
    int y = 0;
    for (QMdiSubWindow *finestra : aperte) {
        if (finestra->isMaximized())
            finestra->showNormal();
        TMDIChild *documento = Documento(finestra);
        const QSize cornice = documento ? finestra->size() - documento->Immagine->size() : QSize(0, 0);
        const int lato = std::max(std::min(striscia - cornice.height(), larghezza - cornice.width()), 1);
        finestra->setGeometry(0, y, lato + cornice.width(), lato + cornice.height());
        y += striscia;
    }
}

void TContenitore::WindowArrangeItemClick()
{
    const QSize spazio = AreaDocumenti->viewport()->size();
    int x = 0;
    int fondo = spazio.height();
    for (QMdiSubWindow *finestra : AreaDocumenti->subWindowList()) {
        if (!finestra->isMinimized())
            continue;
        if (x > 0 && x + finestra->width() > spazio.width()) {
            x = 0;
            fondo -= finestra->height();
        }
        finestra->move(x, fondo - finestra->height());
        x += finestra->width();
    }
}

void TContenitore::WindowMinimizeItemClick()
{
    const QList<QMdiSubWindow *> finestre = AreaDocumenti->subWindowList();
    for (auto i = finestre.size() - 1; i >= 0; --i)
        finestre[i]->showMinimized();
}

void TContenitore::WindowRedrawItemClick()
{
    TMDIChild *documento = DocumentoAttivo();
    if (!documento)
        return;
    const CCursoreAttesa clessidra;
    documento->RidisegnaDaBuffer();
}

void TContenitore::HelpAboutItemClick()
{
    QMessageBox informazioni(QMessageBox::NoIcon, TitoloApplicazione(), tr("Quillmere versione 0.9"),
                             QMessageBox::Ok, this);
    informazioni.exec();
}
