#include "FormContenitore.h"

#include "Applicazione.h"
#include "BarraDiStato.h"
#include "BarraStrumenti.h"
#include "ControlloDisegno.h"
#include "Disposizione.h"
#include "Esporta.h"
#include "FileDocumento.h"
#include "FileParametri.h"
#include "MDIChild.h"
#include "Navigazione.h"
#include "Pannelli.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QProxyStyle>
#include <QShowEvent>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>

#include <algorithm>
#include <utility>

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

TContenitore::TContenitore(QWidget *genitore) : QMainWindow(genitore)
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

    // The docks; the right one starts empty, and the toolkit gives an empty
    // dock no room.
    DockInAlto = new TDock(QStringLiteral("DockInAlto"), Qt::TopToolBarArea, this);
    DockASinistra = new TDock(QStringLiteral("DockASinistra"), Qt::LeftToolBarArea, this);
    DockADestra = new TDock(QStringLiteral("DockADestra"), Qt::RightToolBarArea, this);

    CreaMenu();
    CreaBarraStandard();
    Controllo = new TControlloDisegno(this, DockInAlto);
    Navigazione = new TNavigazione(this, DockInAlto, Window1->menuAction());
    Pannelli = new TPannelli(this, DockInAlto, DockASinistra);
    Esporta = new TEsporta(this);

    BarraDiStato = new TBarraDiStato(this);
    setStatusBar(BarraDiStato);

    OpenDialog = new QFileDialog(this);
    OpenDialog->setObjectName(QStringLiteral("OpenDialog"));
    // The pictures the program saves, of both kinds, and the parameters
    // files, which open as the command line opens them.
    OpenDialog->setNameFilters({QStringLiteral("Pictures and parameters (*.bmp *.png *.Quillmere)"),
                                QStringLiteral("Pictures (*.bmp *.png)"), QStringLiteral("Parameters (*.Quillmere)")});
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
    connect(this, &TContenitore::DocumentoAttivoCambiato, Controllo, &TControlloDisegno::Segui);
    connect(this, &TContenitore::DocumentoAttivoCambiato, Navigazione, &TNavigazione::Segui);
    connect(Navigazione, &TNavigazione::Errore, this, &TContenitore::MostraErrore);
    connect(Esporta, &TEsporta::Errore, this, &TContenitore::MostraErrore);
    connect(Esporta, &TEsporta::Messaggio, this, &TContenitore::MostraMessaggio);
    connect(Pannelli, &TPannelli::FrattaleScelto, this,
            [this](int formula) { Protetto([&] { ComboBoxFrattaleChange(formula); }); });
    // A reading that fails, or a drawing that raises, ends in the error box.
    connect(Controllo, &TControlloDisegno::RidisegnaPremuto, this,
            [this] { Protetto([this] { BottoneRidisegnaClick(); }); });
    connect(Controllo, &TControlloDisegno::FermaPremuto, this, &TContenitore::BottoneFermaCalcoloClick);
    Controllo->InvioDa(this);
    for (QToolBar *barra : findChildren<QToolBar *>())
        Controllo->InvioDa(barra);
}

void TContenitore::FinestraAttivata(QMdiSubWindow *finestra)
{
    UpdateMenuItems();
    TMDIChild *documento = Documento(finestra);
    emit DocumentoAttivoCambiato(DocumentoAttivo());
    if (documento) {
        MostraStatoDi(documento);
        documento->FormActivate();
    }
}

void TContenitore::MostraStatoDi(TMDIChild *documento)
{
    if (documento != DocumentoAttivo() || documento->RipetiStato())
        return;
    // One that has never drawn has nothing to tell: what another
    // document's drawing under way wrote goes.
    const QList<TMDIChild *> documenti = Documenti();
    if (std::none_of(documenti.begin(), documenti.end(), [](const TMDIChild *d) { return d->InCalcolo(); }))
        return;
    ImpostaTitolo(documento->Titolo);
    ImpostaTitoloApplicazione(documento->Titolo);
    ScriviStato(1, TestoDimensione(documento->DimensioniImmagine().width(), documento->DimensioniImmagine().height()));
    ScriviStato(2, QString());
}

void TContenitore::FormDestroy()
{
    // The documents are destroyed after this object: nothing of theirs may reach it.
    disconnect(AreaDocumenti, nullptr, this, nullptr);
    for (TMDIChild *documento : Documenti()) {
        disconnect(documento, nullptr, this, nullptr);
        disconnect(documento, nullptr, Controllo, nullptr);
        disconnect(documento, nullptr, Navigazione, nullptr);
        disconnect(&documento->Navigazione(), nullptr, Navigazione, nullptr);
    }
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

// ---- Opening documents ------------------------------------------------------

TMDIChild *TContenitore::ApriDocumento(const QString &didascalia)
{
    auto *documento = new TMDIChild(UltimaDimensione);
    QMdiSubWindow *finestra = AreaDocumenti->addSubWindow(documento);
    finestra->setStyle(StileDocumenti);
    // Maximized, restored, back from an icon: the window stays inside the
    // area, and the document shows its picture at the size it now has.
    connect(finestra, &QMdiSubWindow::windowStateChanged, documento,
            [finestra, documento](Qt::WindowStates, Qt::WindowStates stato) {
                if (!(stato & (Qt::WindowMinimized | Qt::WindowMaximized)))
                    TieniDentro(finestra);
                documento->StatoFinestraCambiato(stato);
            });
    Collega(documento);
    documento->setWindowTitle(didascalia);
    finestra->show();
    AreaDocumenti->setActiveSubWindow(finestra);
    return documento;
}

void TContenitore::NuovoDocumento(const QString &nomeFile)
{
    const QString nome = nomeFile;
    TMDIChild *documento = ApriDocumento(tr("Finestra %1").arg(ContatoreFinestre));
    ++ContatoreFinestre;
    // A load that raises leaves the document open, its number used.
    if (!nome.isEmpty() && documento->Carica(nome) == TMDIChild::Caricamento::Fallito) {
        // Nothing could be shown: the program stays as it was, the number too.
        documento->Finestra()->close();
        --ContatoreFinestre;
        return;
    }
    DocumentoAPannelli();
}

void TContenitore::ApriRegione(const CParametri &parametri)
{
    // Numbered by the documents open, the new one included.
    TMDIChild *documento = ApriDocumento(tr("Finestra %1").arg(Documenti().size() + 1));
    documento->DisegnaImpostazioni(parametri);
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
    if (!LeggiFileParametri(nome, parametri, &motivo)) {
        const QString testo = TMDIChild::TestoParametriNonValidi();
        MostraMessaggio(motivo.isEmpty() ? testo : testo + '\n' + motivo);
        return;
    }
    TMDIChild *documento = ApriDocumento(tr("Finestra %1").arg(ContatoreFinestre));
    ++ContatoreFinestre;
    // Drawn at the new document's size, as a zoom is.
    documento->DisegnaImpostazioni(parametri);
}

void TContenitore::ApriFileDaFuori(const QStringList &nomi)
{
    QTimer::singleShot(0, this, [this, nomi] {
        for (const QString &nome : nomi)
            Protetto([&] { ApriFile(nome); });
    });
}

// ---- What documents report ----------------------------------------------------

void TContenitore::Collega(TMDIChild *documento)
{
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
    connect(documento, &TMDIChild::PannelliDaAggiornare, this, &TContenitore::AggiornaPannelli);
    connect(documento, &TMDIChild::RegioneScelta, this,
            [this](const CParametri &parametri) { Protetto([&] { ApriRegione(parametri); }); });
    connect(documento, &TMDIChild::Errore, this, &TContenitore::MostraErrore);
    connect(documento, &TMDIChild::Messaggio, this, &TContenitore::MostraMessaggio);
}

bool TContenitore::Parla(const TMDIChild *documento) const
{
    return documento == DocumentoAttivo();
}

void TContenitore::ImpostaTitolo(const QString &testo)
{
    setWindowTitle(testo);
}

void TContenitore::ScriviStato(int pannello, const QString &testo)
{
    BarraDiStato->ScriviPannello(pannello, testo);
}

void TContenitore::ImpostaTitoloApplicazione(const QString &testo)
{
    ::ImpostaTitoloApplicazione(testo);
}

void TContenitore::MostraMessaggio(const QString &testo)
{
    ::MostraMessaggio(testo);
}

void TContenitore::MostraErrore(const QString &messaggio)
{
    ::MostraErrore(messaggio);
}

// ---- The panels and the drawing -------------------------------------------------

void TContenitore::AggiornaPannelli()
{
    DocumentoAPannelli();
}

void TContenitore::DocumentoAPannelli(std::optional<int> formula)
{
    TMDIChild *documento = DocumentoAttivo();
    if (!documento)
        return;
    Pannelli->Mostra(documento->Parametri(), formula);
    ScriviStato(0, Pannelli->NomeFrattale());
    documento->Finestra()->repaint();
}

void TContenitore::PannelliADocumento()
{
    TMDIChild *documento = DocumentoAttivo();
    if (!documento)
        return;
    // What was read before a text that cannot be read stays stored.
    CParametri p = documento->Parametri();
    try {
        Pannelli->Leggi(p);
    } catch (...) {
        documento->ImpostaParametri(p);
        throw;
    }
    documento->ImpostaParametri(p);
}

void TContenitore::RidisegnaAttivo()
{
    if (TMDIChild *documento = DocumentoAttivo())
        documento->EseguiCalcolo();
}

void TContenitore::ComboBoxFrattaleChange(int formula)
{
    // The chosen formula's parameters show at once; the document takes the
    // choice only when the panels are stored, so that its picture, its files
    // and its zooms keep the formula it was drawn with.
    DocumentoAPannelli(formula);
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

// ---- Commands -----------------------------------------------------------------

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
    FileExportItem->setEnabled(documenti);
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
    // A parameters file opens drawn, as from the command line.
    ApriFile(scelti.first());
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

void TContenitore::FileExportItemClick()
{
    if (TMDIChild *documento = DocumentoAttivo())
        Esporta->Chiedi(*documento);
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
    DisponiACascata(AreaDocumenti);
}

void TContenitore::WindowTileItemClick()
{
    AffiancaDocumenti(AreaDocumenti);
}

void TContenitore::WindowArrangeItemClick()
{
    DisponiIcone(AreaDocumenti);
}

void TContenitore::WindowMinimizeItemClick()
{
    RiduciTutti(AreaDocumenti);
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
