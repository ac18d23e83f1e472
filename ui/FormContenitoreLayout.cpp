// The main window's layout: menus, toolbars and their controls.

#include "FormContenitore.h"

#include "Applicazione.h"
#include "BarraStrumenti.h"

#include <QAction>
#include <QComboBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

namespace {

// A menu item with its caption, hint and handler.
QAction *Voce(QMenu *menu, const char *nome, const char *testo, const char *suggerimento, bool abilitata)
{
    QAction *voce = menu->addAction(QString::fromUtf8(testo));
    voce->setObjectName(QString::fromLatin1(nome));
    voce->setStatusTip(QString::fromUtf8(suggerimento));
    voce->setEnabled(abilitata);
    return voce;
}

QMenu *Menu(QMenuBar *barra, const char *nome, const char *testo, const char *suggerimento)
{
    QMenu *menu = barra->addMenu(QString::fromUtf8(testo));
    menu->setObjectName(QString::fromLatin1(nome));
    menu->menuAction()->setObjectName(QString::fromLatin1(nome));
    menu->menuAction()->setStatusTip(QString::fromUtf8(suggerimento));
    return menu;
}

QAction *Separatore(QToolBar *barra, const char *nome)
{
    QAction *separatore = barra->addSeparator();
    separatore->setObjectName(QString::fromLatin1(nome));
    return separatore;
}

// The glyphs of the clipboard buttons, drawn when the desktop's icon theme has none.
enum class Glifo { Incolla, Taglia, Copia };

QIcon DisegnaGlifo(Glifo glifo)
{
    QPixmap figura(24, 24);
    figura.fill(Qt::transparent);
    QPainter p(&figura);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.2));
    switch (glifo) {
    case Glifo::Incolla:
        p.setBrush(QColor(0xB0, 0x80, 0x40));
        p.drawRoundedRect(QRectF(4.5, 3.5, 15, 18), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7.5, 6.5, 9, 12));
        p.setBrush(Qt::gray);
        p.drawRect(QRectF(9.5, 2.5, 5, 3));
        break;
    case Glifo::Taglia: {
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(7.5, 17.5), 3.5, 3.5);
        p.drawEllipse(QPointF(16.5, 17.5), 3.5, 3.5);
        p.setPen(QPen(Qt::black, 1.6));
        p.drawLine(QPointF(9.5, 14.5), QPointF(17, 2.5));
        p.drawLine(QPointF(14.5, 14.5), QPointF(7, 2.5));
        break;
    }
    case Glifo::Copia:
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3.5, 3.5, 11, 14));
        p.drawRect(QRectF(9.5, 7.5, 11, 14));
        break;
    }
    return QIcon(figura);
}

QIcon IconaTema(const char *nome, Glifo glifo)
{
    const QIcon tema = QIcon::fromTheme(QString::fromLatin1(nome));
    return tema.isNull() ? DisegnaGlifo(glifo) : tema;
}

// A button of "Standard": the hint "Open|" has the tooltip "Open" and an
// empty long part; the clipboard buttons show no tooltip.
QAction *Bottone(QToolBar *barra, const char *nome, const QIcon &icona, const char *suggerimento, bool conTooltip,
                 bool abilitato, int larghezza = 31)
{
    QAction *bottone = barra->addAction(icona, conTooltip ? QString::fromUtf8(suggerimento) : QString());
    bottone->setObjectName(QString::fromLatin1(nome));
    bottone->setStatusTip(QString());
    bottone->setEnabled(abilitato);
    if (QWidget *pulsante = barra->widgetForAction(bottone)) {
        pulsante->setObjectName(QString::fromLatin1(nome));
        pulsante->setFixedSize(larghezza, 31);
    }
    return bottone;
}

// The labels of the settings toolbars: 17-pixel text.
// testo is translated: the Italian ones are marked for the translation tools.
QLabel *Etichetta(QToolBar *barra, const char *nome, const char *testo)
{
    auto *etichetta = new QLabel(TContenitore::tr(testo), barra);
    etichetta->setObjectName(QString::fromLatin1(nome));
    etichetta->setAlignment(Qt::AlignCenter);
    QFont carattere = etichetta->font();
    carattere.setPixelSize(17);
    etichetta->setFont(carattere);
    barra->addWidget(etichetta);
    return etichetta;
}

QComboBox *Elenco(QToolBar *barra, const char *nome, const QStringList &voci)
{
    auto *elenco = new QComboBox(barra);
    elenco->setObjectName(QString::fromLatin1(nome));
    elenco->addItems(voci);
    elenco->setCurrentIndex(-1);
    elenco->setFixedWidth(136);
    barra->addWidget(elenco);
    return elenco;
}

QLineEdit *Campo(QToolBar *barra, const char *nome, const char *testo, int larghezza)
{
    auto *campo = new QLineEdit(QString::fromUtf8(testo), barra);
    campo->setObjectName(QString::fromLatin1(nome));
    campo->setFixedWidth(larghezza);
    barra->addWidget(campo);
    return campo;
}

} // namespace

void TContenitore::CreaMenu()
{
    QMenuBar *MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));

    File1 = Menu(MainMenu1, "File1", "&File", "File related commands");
    FileNewItem = Voce(File1, "FileNewItem", "&New", "Create a new file", true);
    FileOpenItem = Voce(File1, "FileOpenItem", "&Open", "Open an existing file", true);
    FileCloseItem = Voce(File1, "FileCloseItem", "&Close", "Close current file", true);
    FileSaveItem = Voce(File1, "FileSaveItem", "&Save", "Save current file", false);
    FileSaveAsItem = Voce(File1, "FileSaveAsItem", "Save &As...", "Save current file as...", false);
    N1 = File1->addSeparator();
    N1->setObjectName(QStringLiteral("N1"));
    FileExitItem = Voce(File1, "FileExitItem", "E&xit", "Exit the application", true);

    Edit1 = Menu(MainMenu1, "Edit1", "&Edit", "");
    CutItem = Voce(Edit1, "CutItem", "Cu&t", "Cut to clipboard", false);
    CopyItem = Voce(Edit1, "CopyItem", "&Copy", "Copy to clipboard", false);
    PasteItem = Voce(Edit1, "PasteItem", "&Paste", "Paste from clipboard", false);

    Window1 = Menu(MainMenu1, "Window1", "&Window", "Window related commands such as Tile and Cascade");
    WindowCascadeItem = Voce(Window1, "WindowCascadeItem", "&Cascade", "Arrange windows to overlap", true);
    WindowTileItem = Voce(Window1, "WindowTileItem", "&Tile", "Arrange windows without overlap", true);
    WindowArrangeItem =
        Voce(Window1, "WindowArrangeItem", "&Arrange Icons", "Arrange window icons at bottom of main window", true);
    WindowMinimizeItem = Voce(Window1, "WindowMinimizeItem", "&Minimize All", "Minimize all windows", true);
    N2 = Window1->addSeparator();
    N2->setObjectName(QStringLiteral("N2"));
    WindowRedrawItem = Voce(Window1, "WindowRedrawItem", "Redraw", "", true);

    Help1 = Menu(MainMenu1, "Help1", "&Help", "Help topics");
    HelpAboutItem = Voce(Help1, "HelpAboutItem", "&About", "", true);

    connect(FileNewItem, &QAction::triggered, this, [this] { GestisciErrori([this] { FileNewItemClick(); }); });
    connect(FileOpenItem, &QAction::triggered, this, [this] { GestisciErrori([this] { FileOpenItemClick(); }); });
    connect(FileCloseItem, &QAction::triggered, this, &TContenitore::FileCloseItemClick);
    connect(FileSaveItem, &QAction::triggered, this, [this] { GestisciErrori([this] { FileSaveItemClick(); }); });
    connect(FileSaveAsItem, &QAction::triggered, this, [this] { GestisciErrori([this] { FileSaveAsItemClick(); }); });
    connect(FileExitItem, &QAction::triggered, this, &TContenitore::FileExitItemClick);
    connect(CutItem, &QAction::triggered, this, &TContenitore::CutItemClick);
    connect(CopyItem, &QAction::triggered, this, &TContenitore::CopyItemClick);
    connect(PasteItem, &QAction::triggered, this, &TContenitore::PasteItemClick);
    connect(WindowCascadeItem, &QAction::triggered, this, &TContenitore::WindowCascadeItemClick);
    connect(WindowTileItem, &QAction::triggered, this, &TContenitore::WindowTileItemClick);
    connect(WindowArrangeItem, &QAction::triggered, this, &TContenitore::WindowArrangeItemClick);
    connect(WindowMinimizeItem, &QAction::triggered, this, &TContenitore::WindowMinimizeItemClick);
    connect(WindowRedrawItem, &QAction::triggered, this, &TContenitore::WindowRedrawItemClick);
    connect(HelpAboutItem, &QAction::triggered, this, &TContenitore::HelpAboutItemClick);
    connect(Window1, &QMenu::aboutToShow, this, &TContenitore::AggiornaElencoFinestre);
}

void TContenitore::CreaDock()
{
    // The right dock starts empty; the toolkit gives an empty dock no room.
    DockInAlto = new TDock(QStringLiteral("DockInAlto"), Qt::TopToolBarArea, this);
    DockASinistra = new TDock(QStringLiteral("DockASinistra"), Qt::LeftToolBarArea, this);
    DockADestra = new TDock(QStringLiteral("DockADestra"), Qt::RightToolBarArea, this);
}

void TContenitore::CreaBarraStandard()
{
    BarraStandard = new TBarraStrumenti(QStringLiteral("Standard"), QStringLiteral("BarraStandard"),
                                        DockInAlto, true, this);
    BarraStandard->setIconSize(QSize(22, 22));
    addToolBar(DockInAlto->Lato, BarraStandard);

    QStyle *stile = style();
    OpenBtn = Bottone(BarraStandard, "OpenBtn", stile->standardIcon(QStyle::SP_DialogOpenButton), "Open", true, true, 30);
    SaveBtn =
        Bottone(BarraStandard, "SaveBtn", stile->standardIcon(QStyle::SP_DialogSaveButton), "Save", true, false);
    ToolbarSep976 = Separatore(BarraStandard, "ToolbarSep976");
    PasteBtn = Bottone(BarraStandard, "PasteBtn", IconaTema("edit-paste", Glifo::Incolla), "Paste", false, false);
    CutBtn = Bottone(BarraStandard, "CutBtn", IconaTema("edit-cut", Glifo::Taglia), "Cut", false, false);
    CopyBtn = Bottone(BarraStandard, "CopyBtn", IconaTema("edit-copy", Glifo::Copia), "Copy", false, false);
    ToolbarSep977 = Separatore(BarraStandard, "ToolbarSep977");
    ExitBtn = Bottone(BarraStandard, "ExitBtn", stile->standardIcon(QStyle::SP_DialogCloseButton), "Exit", true, true);

    connect(OpenBtn, &QAction::triggered, this, [this] { GestisciErrori([this] { FileOpenItemClick(); }); });
    connect(SaveBtn, &QAction::triggered, this, [this] { GestisciErrori([this] { FileSaveItemClick(); }); });
    // The Copy button copies as Edit > Copy does; Cut and Paste have nothing to do.
    connect(CopyBtn, &QAction::triggered, this, &TContenitore::CopyItemClick);
    connect(ExitBtn, &QAction::triggered, this, &TContenitore::FileExitItemClick);
}

void TContenitore::CreaControlloDisegno()
{
    ControlloDisegno = new TBarraStrumenti(tr("Controllo Disegno"), QStringLiteral("ControlloDisegno"),
                                           DockInAlto, true, this);
    addToolBar(DockInAlto->Lato, ControlloDisegno);

    Panel4 = new QWidget(ControlloDisegno);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    Panel4->setFixedSize(252, 35);

    LabelAttendi = new QLabel(tr("   Attendi..."), Panel4);
    LabelAttendi->setObjectName(QStringLiteral("LabelAttendi"));
    LabelAttendi->setGeometry(0, 0, 252, 35);
    LabelAttendi->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont carattere = LabelAttendi->font();
    carattere.setPixelSize(30);
    carattere.setItalic(true);
    LabelAttendi->setFont(carattere);
    LabelAttendi->hide();

    BottoneRidisegna = new QPushButton(tr("Ridisegna"), Panel4);
    BottoneRidisegna->setObjectName(QStringLiteral("BottoneRidisegna"));
    BottoneRidisegna->setGeometry(8, 6, 89, 25);
    BottoneRidisegna->setDefault(true);

    BottoneFermaCalcolo = new QPushButton(QStringLiteral("Stop !"), Panel4);
    BottoneFermaCalcolo->setObjectName(QStringLiteral("BottoneFermaCalcolo"));
    BottoneFermaCalcolo->setGeometry(160, 6, 81, 25);
    BottoneFermaCalcolo->setEnabled(false);
    BottoneFermaCalcolo->hide();

    setTabOrder(BottoneRidisegna, BottoneFermaCalcolo);
    ControlloDisegno->addWidget(Panel4);
}

void TContenitore::CreaSettaggiInsieme()
{
    Toolbar97 = new TBarraStrumenti(tr("Settaggi Insieme"), QStringLiteral("Toolbar97"),
                                    DockInAlto, false, this);
    addToolBar(DockASinistra->Lato, Toolbar97);

    Label1 = Etichetta(Toolbar97, "Label1", QT_TR_NOOP("Frattale: "));
    ComboBoxFrattale = Elenco(Toolbar97, "ComboBoxFrattale",
                              {QStringLiteral("Mandelbrot"), QStringLiteral("Julia"), QStringLiteral("Volterra-Lotka")});
    ToolbarSep972 = Separatore(Toolbar97, "ToolbarSep972");
    Label2 = Etichetta(Toolbar97, "Label2", QT_TR_NOOP("Colore Interno:"));
    ComboBoxColoreInterno =
        Elenco(Toolbar97, "ComboBoxColoreInterno", {tr("Nero"), tr("Sfumato Log1")});
    ToolbarSep971 = Separatore(Toolbar97, "ToolbarSep971");
    Label3 = Etichetta(Toolbar97, "Label3", QT_TR_NOOP("Iterazioni:"));
    EditMaxIterazioni = Campo(Toolbar97, "EditMaxIterazioni", "520", 136);

    setTabOrder(ComboBoxFrattale, ComboBoxColoreInterno);
    setTabOrder(ComboBoxColoreInterno, EditMaxIterazioni);
}

void TContenitore::CreaSettaggiFinestra()
{
    Toolbar971 = new TBarraStrumenti(tr("Settaggi Finestra"), QStringLiteral("Toolbar971"),
                                     nullptr, true, this);
    addToolBar(DockASinistra->Lato, Toolbar971);

    Label4 = Etichetta(Toolbar971, "Label4", "X Min:");
    EditXMin = Campo(Toolbar971, "EditXMin", "EditXMin", 153);
    ToolbarSep973 = Separatore(Toolbar971, "ToolbarSep973");
    Label5 = Etichetta(Toolbar971, "Label5", "X Max:");
    EditXMax = Campo(Toolbar971, "EditXMax", "EditXMax", 153);
    ToolbarSep974 = Separatore(Toolbar971, "ToolbarSep974");
    Label6 = Etichetta(Toolbar971, "Label6", "Y Min:");
    EditYMin = Campo(Toolbar971, "EditYMin", "EditYMin", 153);
    ToolbarSep975 = Separatore(Toolbar971, "ToolbarSep975");
    Label7 = Etichetta(Toolbar971, "Label7", "Y Max:");
    EditYMax = Campo(Toolbar971, "EditYMax", "EditYMax", 153);

    // Upwards, from Y Max to X Min.
    setTabOrder(EditYMax, EditYMin);
    setTabOrder(EditYMin, EditXMax);
    setTabOrder(EditXMax, EditXMin);
}

void TContenitore::CreaParametriAggiuntivi()
{
    ParametriAggiuntivi = new TBarraStrumenti(tr("Parametri Aggiuntivi"),
                                              QStringLiteral("ParametriAggiuntivi"), DockASinistra, true, this);
    addToolBar(DockASinistra->Lato, ParametriAggiuntivi);

    Label8 = Etichetta(ParametriAggiuntivi, "Label8", "Param 1:");
    EditParam1 = Campo(ParametriAggiuntivi, "EditParam1", "EditParam1", 153);
    ToolbarSep978 = Separatore(ParametriAggiuntivi, "ToolbarSep978");
    Label9 = Etichetta(ParametriAggiuntivi, "Label9", "Param 2:");
    EditParam2 = Campo(ParametriAggiuntivi, "EditParam2", "EditParam2", 153);

    setTabOrder(EditParam1, EditParam2);
}
