// The main window's own layout: the menus and the "Standard" toolbar. The
// settings panels and the drawing control build their own toolbars.

#include "FormContenitore.h"

#include "BarraStrumenti.h"

#include <QAction>
#include <QIcon>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

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
// empty long part.
QAction *Bottone(QToolBar *barra, const char *nome, const QIcon &icona, const char *suggerimento, bool abilitato,
                 int larghezza = 31)
{
    QAction *bottone = barra->addAction(icona, QString::fromUtf8(suggerimento));
    bottone->setObjectName(QString::fromLatin1(nome));
    bottone->setStatusTip(QString());
    bottone->setEnabled(abilitato);
    if (QWidget *pulsante = barra->widgetForAction(bottone)) {
        pulsante->setObjectName(QString::fromLatin1(nome));
        pulsante->setFixedSize(larghezza, 31);
    }
    return bottone;
}

} // namespace

void TContenitore::CreaMenu()
{
    QMenuBar *MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));

    auto *File1 = Menu(MainMenu1, "File1", "&File", "File related commands");
    auto *FileNewItem = Voce(File1, "FileNewItem", "&New", "Create a new file", true);
    auto *FileOpenItem = Voce(File1, "FileOpenItem", "&Open", "Open an existing file", true);
    FileCloseItem = Voce(File1, "FileCloseItem", "&Close", "Close current file", true);
    FileSaveItem = Voce(File1, "FileSaveItem", "&Save", "Save current file", false);
    FileSaveAsItem = Voce(File1, "FileSaveAsItem", "Save &As...", "Save current file as...", false);
    FileExportItem = File1->addAction(tr("&Esporta immagine..."));
    FileExportItem->setObjectName(QStringLiteral("FileExportItem"));
    FileExportItem->setStatusTip(tr("Disegna l'immagine a una dimensione a scelta e la salva"));
    FileExportItem->setEnabled(false);
    auto *N1 = File1->addSeparator();
    N1->setObjectName(QStringLiteral("N1"));
    auto *FileExitItem = Voce(File1, "FileExitItem", "E&xit", "Exit the application", true);

    auto *Edit1 = Menu(MainMenu1, "Edit1", "&Edit", "");
    CutItem = Voce(Edit1, "CutItem", "Cu&t", "Cut to clipboard", false);
    CopyItem = Voce(Edit1, "CopyItem", "&Copy", "Copy to clipboard", false);
    PasteItem = Voce(Edit1, "PasteItem", "&Paste", "Paste from clipboard", false);

    Window1 = Menu(MainMenu1, "Window1", "&Window", "Window related commands such as Tile and Cascade");
    WindowCascadeItem = Voce(Window1, "WindowCascadeItem", "&Cascade", "Arrange windows to overlap", true);
    WindowTileItem = Voce(Window1, "WindowTileItem", "&Tile", "Arrange windows without overlap", true);
    WindowArrangeItem =
        Voce(Window1, "WindowArrangeItem", "&Arrange Icons", "Arrange window icons at bottom of main window", true);
    WindowMinimizeItem = Voce(Window1, "WindowMinimizeItem", "&Minimize All", "Minimize all windows", true);
    auto *N2 = Window1->addSeparator();
    N2->setObjectName(QStringLiteral("N2"));
    WindowRedrawItem = Voce(Window1, "WindowRedrawItem", "Redraw", "", true);

    // The usual keys of the commands that have them elsewhere.
    FileNewItem->setShortcut(QKeySequence::New);
    FileOpenItem->setShortcut(QKeySequence::Open);
    FileSaveItem->setShortcut(QKeySequence::Save);
    CopyItem->setShortcut(QKeySequence::Copy);

    auto *Help1 = Menu(MainMenu1, "Help1", "&Help", "Help topics");
    auto *HelpAboutItem = Voce(Help1, "HelpAboutItem", "&About", "", true);

    connect(FileNewItem, &QAction::triggered, this, [this] { Protetto([this] { FileNewItemClick(); }); });
    connect(FileOpenItem, &QAction::triggered, this, [this] { Protetto([this] { FileOpenItemClick(); }); });
    connect(FileCloseItem, &QAction::triggered, this, &TContenitore::FileCloseItemClick);
    connect(FileSaveItem, &QAction::triggered, this, [this] { Protetto([this] { FileSaveItemClick(); }); });
    connect(FileSaveAsItem, &QAction::triggered, this, [this] { Protetto([this] { FileSaveAsItemClick(); }); });
    connect(FileExportItem, &QAction::triggered, this, [this] { Protetto([this] { FileExportItemClick(); }); });
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

void TContenitore::CreaBarraStandard()
{
    auto *BarraStandard = new TBarraStrumenti(QStringLiteral("Standard"), QStringLiteral("BarraStandard"),
                                              DockInAlto, true, this);
    BarraStandard->setIconSize(QSize(22, 22));
    addToolBar(DockInAlto->Lato, BarraStandard);

    QStyle *stile = style();
    QAction *OpenBtn =
        Bottone(BarraStandard, "OpenBtn", stile->standardIcon(QStyle::SP_DialogOpenButton), "Open", true, 30);
    SaveBtn = Bottone(BarraStandard, "SaveBtn", stile->standardIcon(QStyle::SP_DialogSaveButton), "Save", false);
    BarraStandard->Separatore("ToolbarSep976");
    PasteBtn = Bottone(BarraStandard, "PasteBtn", IconaTema("edit-paste", Glifo::Incolla), "Paste", false);
    CutBtn = Bottone(BarraStandard, "CutBtn", IconaTema("edit-cut", Glifo::Taglia), "Cut", false);
    CopyBtn = Bottone(BarraStandard, "CopyBtn", IconaTema("edit-copy", Glifo::Copia), "Copy", false);
    BarraStandard->Separatore("ToolbarSep977");
    QAction *ExitBtn =
        Bottone(BarraStandard, "ExitBtn", stile->standardIcon(QStyle::SP_DialogCloseButton), "Exit", true);

    connect(OpenBtn, &QAction::triggered, this, [this] { Protetto([this] { FileOpenItemClick(); }); });
    connect(SaveBtn, &QAction::triggered, this, [this] { Protetto([this] { FileSaveItemClick(); }); });
    // The Copy button copies as Edit > Copy does; Cut and Paste have nothing to do.
    connect(CopyBtn, &QAction::triggered, this, &TContenitore::CopyItemClick);
    connect(ExitBtn, &QAction::triggered, this, &TContenitore::FileExitItemClick);
}
