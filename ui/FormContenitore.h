#pragma once

#include "Applicazione.h"

#include <QList>
#include <QMainWindow>
#include <QSize>
#include <QString>

#include <cstdint>
#include <optional>
#include <utility>

class QAction;
class QFileDialog;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QStyle;
class TBarraDiStato;
class TBarraStrumenti;
class TControlloDisegno;
class TDock;
class TEsporta;
class TMDIChild;
class TNavigazione;
class TPannelli;
struct CParametri;

// The program's main window: a multiple-document frame that owns every
// document window and turns the user's commands into operations on the
// active document. What a document reports reaches the user through it; the
// settings panels (TPannelli), the drawing control (TControlloDisegno) and
// the arrangement of the documents (Disposizione.h) are each a job of their
// own that it puts together. Its widgets are its own: the tests reach them
// by name (Elemento).
class TContenitore final : public QMainWindow
{
    Q_OBJECT

public:
    explicit TContenitore(QWidget *genitore = nullptr);
    ~TContenitore() override;

    // Opens a new document, numbered by ContatoreFinestre, and makes it the
    // active one. A non-empty name is the picture the document loads; when it
    // cannot be read the document closes again and its number is not used.
    void NuovoDocumento(const QString &nomeFile);

    // Opens a file handed to the program from outside (its command line, a
    // file manager): a parameters file (a name ending in ".Quillmere") opens
    // a new document with its settings and draws it at once; any other file
    // opens as File > Open opens a picture, with the parameters file beside
    // it. What cannot be read is reported as File > Open reports it and
    // changes nothing else.
    void ApriFile(const QString &nome);
    // Opens the files one after the other, from the event loop: the call
    // returns at once, and the window shows before any message does. An
    // error of one file is shown and the next one still opens.
    void ApriFileDaFuori(const QStringList &nomi);

    // Opens a new document with these settings (a zoom's source settings and
    // its selected region), captioned by the number of open documents, and
    // starts drawing it. Throws CErrore when the document or its buffer
    // cannot be allocated (a document already shown stays open, undrawn).
    void ApriRegione(const CParametri &parametri);

    // The main window's caption and a status panel's text.
    void ImpostaTitolo(const QString &testo);
    void ScriviStato(int pannello, const QString &testo);
    // The panels show the active document; nothing without one.
    void AggiornaPannelli();

    // The settings panels show the active document (the parameters of the
    // formula given, else of its own), and status panel 0 the formula's
    // name; nothing without one. Whatever was typed and not stored is
    // replaced.
    void DocumentoAPannelli(std::optional<int> formula = std::nullopt);
    // Stores the panels into the active document (TPannelli::Leggi); nothing
    // without one. A text that cannot be read throws CErrore: the fields
    // before it stay stored, it and the ones after it keep their old values.
    void PannelliADocumento();
    // Runs the active document's redraw; nothing without one.
    void RidisegnaAttivo();
    // Keeps the application's current hint, without showing it.
    void MostraSuggerimento(const QString &suggerimento);
    // Enables the commands that need a document when one is open.
    void UpdateMenuItems();

    // The active document, or null.
    TMDIChild *DocumentoAttivo() const;
    // The open documents in the frame's order (the order of creation).
    QList<TMDIChild *> Documenti() const;

    // A control, command, toolbar or dock of the layout by its object name
    // ("EditXMin", "FileNewItem", "Toolbar971", "DockInAlto", the panels
    // "Pannelli"), for the tests; null when there is none of that kind.
    template <typename T>
    T *Elemento(const QString &nome) const
    {
        return findChild<T *>(nome);
    }

    // Event handlers.
    void FormCreate();
    void FormShow();
    bool FormCloseQuery();
    void FormDestroy();
    void FileNewItemClick();
    void FileOpenItemClick();
    void FileCloseItemClick();
    void FileSaveItemClick();
    void FileSaveAsItemClick();
    // File > "Esporta immagine...": the active document's picture at a size
    // the user gives (TEsporta); nothing without one.
    void FileExportItemClick();
    void FileExitItemClick();
    void CutItemClick();
    void CopyItemClick();
    void PasteItemClick();
    void WindowCascadeItemClick();
    void WindowTileItemClick();
    void WindowArrangeItemClick();
    void WindowMinimizeItemClick();
    void WindowRedrawItemClick();
    void HelpAboutItemClick();
    void ComboBoxFrattaleChange(int formula);
    void BottoneRidisegnaClick();
    void BottoneFermaCalcoloClick();

    // The number NuovoDocumento gives the next document; never reset, and
    // the numbers of closed documents are not reused.
    int32_t ContatoreFinestre = 1;
    // The last image size a document's FormResize has seen, shared by all of
    // this window's documents; 0 x 0 at first.
    QSize UltimaDimensione{0, 0};

signals:
    // The active document changed (null: none is open): what follows the
    // active document, as the drawing control does, connects here.
    void DocumentoAttivoCambiato(TMDIChild *documento);

protected:
    bool event(QEvent *evento) override;
    void showEvent(QShowEvent *evento) override;
    void closeEvent(QCloseEvent *evento) override;

private:
    // The layout, built once by the constructor (FormContenitoreLayout.cpp).
    void CreaMenu();
    void CreaBarraStandard();
    // Runs a command's handler: what it raises is shown in the error box
    // before it can reach the toolkit's frames.
    template <typename Azione>
    void Protetto(Azione &&azione);
    // The one way a document opens: made, connected, captioned, shown in
    // front and made the active one.
    TMDIChild *ApriDocumento(const QString &didascalia);
    // What a document reports, shown or not.
    void Collega(TMDIChild *documento);
    // Whether what a document reports of its drawing is shown: the active
    // document's alone, so that the captions and the status bar always tell
    // of the document the user sees.
    bool Parla(const TMDIChild *documento) const;
    // The captions and the status bar tell of the newly active document.
    void MostraStatoDi(TMDIChild *documento);
    // The application title (the text of the task-bar entry, the caption of
    // message boxes); a message box and the error box over this window.
    void ImpostaTitoloApplicazione(const QString &testo);
    void MostraMessaggio(const QString &testo);
    void MostraErrore(const QString &messaggio);
    // A change of the active document: the commands, the drawing control
    // and the document's own handler.
    void FinestraAttivata(QMdiSubWindow *finestra);
    // The Window menu's list of the open documents, below its own items.
    void AggiornaElencoFinestre();

    QMdiArea *AreaDocumenti = nullptr;
    // The style of the documents' windows (see ApriDocumento).
    QStyle *StileDocumenti = nullptr;
    TDock *DockInAlto = nullptr;
    TDock *DockASinistra = nullptr;
    TDock *DockADestra = nullptr;
    TPannelli *Pannelli = nullptr;
    TControlloDisegno *Controllo = nullptr;
    TNavigazione *Navigazione = nullptr;
    TEsporta *Esporta = nullptr;
    TBarraDiStato *BarraDiStato = nullptr;
    QFileDialog *OpenDialog = nullptr;

    // The menus and the buttons of "Standard" that the handlers use.
    QMenu *Window1 = nullptr;
    QAction *FileCloseItem = nullptr;
    QAction *FileSaveItem = nullptr;
    QAction *FileSaveAsItem = nullptr;
    QAction *FileExportItem = nullptr;
    QAction *CutItem = nullptr;
    QAction *CopyItem = nullptr;
    QAction *PasteItem = nullptr;
    QAction *WindowCascadeItem = nullptr;
    QAction *WindowTileItem = nullptr;
    QAction *WindowArrangeItem = nullptr;
    QAction *WindowMinimizeItem = nullptr;
    QAction *WindowRedrawItem = nullptr;
    QAction *SaveBtn = nullptr;
    QAction *CutBtn = nullptr;
    QAction *CopyBtn = nullptr;
    QAction *PasteBtn = nullptr;
};

template <typename Azione>
void TContenitore::Protetto(Azione &&azione)
{
    GestisciErrori(std::forward<Azione>(azione), [this](const QString &messaggio) { MostraErrore(messaggio); });
}
