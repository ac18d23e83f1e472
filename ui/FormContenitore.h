#pragma once

#include "Complesso.h"

#include <QList>
#include <QMainWindow>
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
class TContenitore;
class TMDIChild;

// The main window, for every part of the program that needs it; null while
// none exists.
extern TContenitore *Contenitore;
// The number NuovoDocumento gives the next document; never reset, never reused.
extern int32_t ContatoreFinestre;

// The program's main window: a multiple-document frame with the menus, the
// toolbars and their docks, and the status bar. It owns every document window,
// turns commands into operations on the active document and keeps the
// commands' enabled states in step with the number of open documents.
class TContenitore final : public QMainWindow
{
    Q_OBJECT

public:
    explicit TContenitore(QWidget *genitore = nullptr);
    ~TContenitore() override;

    // Opens a new document, numbered by ContatoreFinestre, and makes it the
    // active one. A non-empty name is the bitmap the document loads.
    void NuovoDocumento(const QString &nomeFile);

    // Opens the region Min .. Max of the plane in a new document with the
    // active document's formula, colourings, method, formula parameters and
    // the given limit, captioned by the number of open documents, and draws
    // it at once. Throws CErrore when the document or its buffer cannot be
    // allocated (a document already shown stays open, undrawn), and whatever
    // the drawing raised. Nothing without an active document.
    void ApriRegione(const Complesso &Min, const Complesso &Max, int32_t MaxIterazioni);

    // Puts a new document into the document area, in a window of its own
    // (not yet shown); the area owns it from then on.
    QMdiSubWindow *AggiungiDocumento(TMDIChild *documento);

    // Services for the documents and the drawings; they act on Contenitore
    // and do nothing while there is none.
    static void ImpostaTitolo(const QString &testo);
    static void ScriviStato(int pannello, const QString &testo);
    static void AggiornaPannelli();

    // Drawing-control looks: busy ("   Attendi..." and "Stop !") and idle
    // ("Ridisegna"). They do not count calls: one MostraLibero ends any
    // number of MostraOccupato.
    static void MostraOccupato();
    static void MostraLibero();

    // The settings panels show the active document; nothing without one.
    // Whatever was typed into them and not stored is replaced.
    void DocumentoAPannelli();
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
    // Processes the pending paints of the main window and of a floating
    // drawing-control toolbar at once.
    void ElaboraDisegniInSospeso();
};
