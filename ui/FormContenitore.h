#pragma once

#include <QList>
#include <QMainWindow>
#include <QSize>
#include <QString>

#include <cstdint>

class QAction;
class QComboBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPushButton;
class QStyle;
class TBarraDiStato;
class TBarraStrumenti;
class TDock;
class TMDIChild;
struct CParametri;

// The program's main window: a multiple-document frame with the menus, the
// toolbars and their docks, and the status bar. It owns every document window,
// turns commands into operations on the active document, shows what the
// documents report through their signals and keeps the commands' enabled
// states in step with the number of open documents.
class TContenitore final : public QMainWindow
{
    Q_OBJECT

public:
    explicit TContenitore(QWidget *genitore = nullptr);
    ~TContenitore() override;

    // Opens a new document, numbered by ContatoreFinestre, and makes it the
    // active one. A non-empty name is the bitmap the document loads; when it
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

    // Puts a new document into the document area, in a window of its own
    // (not yet shown), and connects its signals; the area owns it from then on.
    QMdiSubWindow *AggiungiDocumento(TMDIChild *documento);
    // A new document of this window (sharing its last image size), not yet added.
    TMDIChild *CreaDocumento();

    // Services for the documents and their drawings.
    void ImpostaTitolo(const QString &testo);
    void ScriviStato(int pannello, const QString &testo);
    void AggiornaPannelli();

    // Drawing-control looks: busy ("   Attendi..." and "Stop !") and idle
    // ("Ridisegna"). They do not count calls: one MostraLibero ends any
    // number of MostraOccupato.
    void MostraOccupato();
    void MostraLibero();
    // The look of the active document: busy while it draws.
    void AggiornaControlloDisegno();

    // The settings panels show the active document; nothing without one.
    // Whatever was typed into them and not stored is replaced. The formula's
    // parameters shown are those of the formula given (-1: the document's).
    void DocumentoAPannelli(int formula = -1);
    // Stores the panels into the active document, field by field in the
    // panels' order; nothing without one. A text that cannot be read throws
    // CErrore: the fields before it stay stored, it and the ones after it
    // keep their old values.
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
    void ComboBoxFrattaleChange();
    void BottoneRidisegnaClick();
    void BottoneFermaCalcoloClick();

    // The document area.
    QMdiArea *AreaDocumenti = nullptr;

    // Menus and their items.
    QMenu *File1 = nullptr;
    QAction *FileNewItem = nullptr;
    QAction *FileOpenItem = nullptr;
    QAction *FileCloseItem = nullptr;
    QAction *FileSaveItem = nullptr;
    QAction *FileSaveAsItem = nullptr;
    QAction *N1 = nullptr;
    QAction *FileExitItem = nullptr;
    QMenu *Edit1 = nullptr;
    QAction *CutItem = nullptr;
    QAction *CopyItem = nullptr;
    QAction *PasteItem = nullptr;
    QMenu *Window1 = nullptr;
    QAction *WindowCascadeItem = nullptr;
    QAction *WindowTileItem = nullptr;
    QAction *WindowArrangeItem = nullptr;
    QAction *WindowMinimizeItem = nullptr;
    QAction *N2 = nullptr;
    QAction *WindowRedrawItem = nullptr;
    QMenu *Help1 = nullptr;
    QAction *HelpAboutItem = nullptr;

    // The docks of the toolbars.
    TDock *DockInAlto = nullptr;
    TDock *DockASinistra = nullptr;
    TDock *DockADestra = nullptr;

    // "Standard".
    TBarraStrumenti *BarraStandard = nullptr;
    QAction *OpenBtn = nullptr;
    QAction *SaveBtn = nullptr;
    QAction *ToolbarSep976 = nullptr;
    QAction *PasteBtn = nullptr;
    QAction *CutBtn = nullptr;
    QAction *CopyBtn = nullptr;
    QAction *ToolbarSep977 = nullptr;
    QAction *ExitBtn = nullptr;

    // "Controllo Disegno".
    TBarraStrumenti *ControlloDisegno = nullptr;
    QWidget *Panel4 = nullptr;
    QLabel *LabelAttendi = nullptr;
    QPushButton *BottoneRidisegna = nullptr;
    QPushButton *BottoneFermaCalcolo = nullptr;

    // "Settaggi Insieme".
    TBarraStrumenti *Toolbar97 = nullptr;
    QLabel *Label1 = nullptr;
    QComboBox *ComboBoxFrattale = nullptr;
    QAction *ToolbarSep972 = nullptr;
    QLabel *Label2 = nullptr;
    QComboBox *ComboBoxColoreInterno = nullptr;
    QAction *ToolbarSep971 = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *EditMaxIterazioni = nullptr;

    // "Settaggi Finestra".
    TBarraStrumenti *Toolbar971 = nullptr;
    QLabel *Label4 = nullptr;
    QLineEdit *EditXMin = nullptr;
    QAction *ToolbarSep973 = nullptr;
    QLabel *Label5 = nullptr;
    QLineEdit *EditXMax = nullptr;
    QAction *ToolbarSep974 = nullptr;
    QLabel *Label6 = nullptr;
    QLineEdit *EditYMin = nullptr;
    QAction *ToolbarSep975 = nullptr;
    QLabel *Label7 = nullptr;
    QLineEdit *EditYMax = nullptr;

    // "Parametri Aggiuntivi".
    TBarraStrumenti *ParametriAggiuntivi = nullptr;
    QLabel *Label8 = nullptr;
    QLineEdit *EditParam1 = nullptr;
    QAction *ToolbarSep978 = nullptr;
    QLabel *Label9 = nullptr;
    QLineEdit *EditParam2 = nullptr;

    TBarraDiStato *BarraDiStato = nullptr;
    QFileDialog *OpenDialog = nullptr;

    // The style of the documents' windows (see AggiungiDocumento).
    QStyle *StileDocumenti = nullptr;

    // The number NuovoDocumento gives the next document; never reset, and
    // the numbers of closed documents are not reused.
    int32_t ContatoreFinestre = 1;
    // The last image size a document's FormResize has seen, shared by all of
    // this window's documents; 0 x 0 at first.
    QSize UltimaDimensione{0, 0};

    // The decimal separator of the user's locale, read once when the window
    // is made; the panels write and read numbers with it.
    QString SeparatoreDecimale;

protected:
    bool event(QEvent *evento) override;
    // Enter in a toolbar, docked or floating on its own, presses "Ridisegna".
    bool eventFilter(QObject *oggetto, QEvent *evento) override;
    void showEvent(QShowEvent *evento) override;
    void closeEvent(QCloseEvent *evento) override;
    void keyPressEvent(QKeyEvent *evento) override;

private:
    // The layout, built once by the constructor.
    void CreaMenu();
    void CreaDock();
    void CreaBarraStandard();
    void CreaControlloDisegno();
    void CreaSettaggiInsieme();
    void CreaSettaggiFinestra();
    void CreaParametriAggiuntivi();
    // A change of the active document: the commands and the document's own handler.
    void FinestraAttivata(QMdiSubWindow *finestra);
    // The Window menu's list of the open documents, below its own items.
    void AggiornaElencoFinestre();
    // Enter that no control took presses "Ridisegna", the window's default
    // button, while it shows and is enabled. True when it was pressed.
    bool TastoInvio(QKeyEvent *evento);
    // A new, active document takes these settings at its own size, shows
    // them in the panels and draws them.
    void DisegnaImpostazioni(TMDIChild *documento, CParametri parametri);
    // Processes the pending paints of the main window and of a floating
    // drawing-control toolbar at once.
    void ElaboraDisegniInSospeso();
    // Whether what a document reports is shown: the active document's
    // drawing speaks first, any other when the active one is not drawing.
    bool Parla(TMDIChild *documento) const;
};
