#include "BarraStrumenti.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMainWindow>
#include <QMouseEvent>

namespace {

// How far from an edge of the document area a dropped toolbar docks there.
constexpr int MargineAggancio = 24;

} // namespace

TBarraStrumenti::TBarraStrumenti(const QString &titolo, const QString &nome, const TDock *predefinito,
                                 bool chiudibile, QMainWindow *finestra)
    : QToolBar(titolo, finestra), Principale(finestra), Predefinito(predefinito), ConChiusura(chiudibile)
{
    setObjectName(nome);
    setAllowedAreas(Qt::TopToolBarArea | Qt::LeftToolBarArea | Qt::RightToolBarArea);
    // The toolkit's own floating toolbars are bare windows: a toolbar dragged
    // off the docks goes back, and this class floats it as a titled window.
    setFloatable(false);
}

void TBarraStrumenti::Sgancia()
{
    if (Fluttuante)
        return;
    const QPoint posizione = mapToGlobal(QPoint(0, 0));
    Fluttua(posizione);
}

void TBarraStrumenti::Fluttua(const QPoint &posizione)
{
    // Out of the main window's layout, the toolbar is a window of its own
    // that only this class moves and docks.
    Principale->removeToolBar(this);
    Qt::WindowFlags tipo = Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (ConChiusura)
        tipo |= Qt::WindowCloseButtonHint;
    setWindowFlags(tipo);
    Fluttuante = true;
    Trascina = false;
    Spostata = false;
    adjustSize();
    move(posizione);
    show();
}

QAction *TBarraStrumenti::Separatore(const char *nome)
{
    QAction *separatore = addSeparator();
    separatore->setObjectName(QString::fromLatin1(nome));
    return separatore;
}

void TBarraStrumenti::Aggancia()
{
    if (Predefinito)
        AgganciaIn(Predefinito->Lato);
}

void TBarraStrumenti::AgganciaIn(Qt::ToolBarArea area)
{
    Trascina = false;
    Spostata = false;
    Fluttuante = false;
    Principale->addToolBar(area, this);
    show();
}

Qt::ToolBarArea TBarraStrumenti::AreaSotto(const QPoint &globale) const
{
    const QWidget *centro = Principale->centralWidget();
    if (!centro || !Principale->geometry().contains(globale))
        return Qt::NoToolBarArea;
    const QRect documenti(centro->mapToGlobal(QPoint(0, 0)), centro->size());
    if (globale.y() < documenti.top() + MargineAggancio)
        return Qt::TopToolBarArea;
    if (globale.x() < documenti.left() + MargineAggancio)
        return Qt::LeftToolBarArea;
    if (globale.x() > documenti.right() - MargineAggancio)
        return Qt::RightToolBarArea;
    return Qt::NoToolBarArea;
}

bool TBarraStrumenti::EventoFluttuante(QEvent *evento)
{
    switch (evento->type()) {
    case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent *>(evento)->button() == Qt::LeftButton) {
            Trascina = false;
            Aggancia();
        }
        return true;
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(evento);
        if (mouse->button() == Qt::LeftButton) {
            Trascina = true;
            Spostata = false;
            Inizio = mouse->globalPosition().toPoint();
            Presa = Inizio - pos();
        }
        return true;
    }
    case QEvent::MouseMove:
        if (Trascina) {
            const QPoint punto = static_cast<QMouseEvent *>(evento)->globalPosition().toPoint();
            if ((punto - Inizio).manhattanLength() >= QApplication::startDragDistance())
                Spostata = true;
            if (Spostata)
                move(punto - Presa);
        }
        return true;
    case QEvent::MouseButtonRelease:
        if (Trascina && static_cast<QMouseEvent *>(evento)->button() == Qt::LeftButton) {
            Trascina = false;
            // A click is not a drop: only a toolbar that was dragged docks.
            if (Spostata) {
                const QPoint punto = static_cast<QMouseEvent *>(evento)->globalPosition().toPoint();
                const Qt::ToolBarArea area = AreaSotto(punto);
                if (area != Qt::NoToolBarArea)
                    AgganciaIn(area);
            }
        }
        return true;
    default:
        return false;
    }
}

bool TBarraStrumenti::event(QEvent *evento)
{
    if (Fluttuante) {
        if (EventoFluttuante(evento))
            return true;
        return QToolBar::event(evento);
    }
    if (evento->type() == QEvent::MouseButtonDblClick) {
        const auto *mouse = static_cast<QMouseEvent *>(evento);
        if (mouse->button() != Qt::LeftButton)
            return QToolBar::event(evento);
        // The first click of the pair may have started a drag of the handle:
        // end it before the toolbar leaves the layout.
        QMouseEvent rilascio(QEvent::MouseButtonRelease, mouse->position(), mouse->globalPosition(), Qt::LeftButton,
                             Qt::NoButton, mouse->modifiers());
        QToolBar::event(&rilascio);
        Sgancia();
        return true;
    }
    if (evento->type() == QEvent::MouseButtonPress) {
        const auto *mouse = static_cast<QMouseEvent *>(evento);
        if (mouse->button() == Qt::LeftButton) {
            Trascina = true;
            Inizio = mouse->globalPosition().toPoint();
            Presa = mouse->position().toPoint();
        }
    }
    const bool gestito = QToolBar::event(evento);
    if (evento->type() == QEvent::MouseButtonRelease && Trascina) {
        Trascina = false;
        // Dragged by its handle off the docks: the toolkit has put it back,
        // and it floats where it was dropped.
        const QPoint punto = static_cast<QMouseEvent *>(evento)->globalPosition().toPoint();
        if ((punto - Inizio).manhattanLength() >= QApplication::startDragDistance() && FuoriDaiDock(punto))
            Fluttua(punto - Presa);
    }
    return gestito;
}

bool TBarraStrumenti::FuoriDaiDock(const QPoint &globale) const
{
    const QWidget *centro = Principale->centralWidget();
    if (!Principale->geometry().contains(globale) || !centro)
        return true;
    const QRect documenti(centro->mapToGlobal(QPoint(0, 0)), centro->size());
    return documenti.adjusted(MargineAggancio, MargineAggancio, -MargineAggancio, -MargineAggancio).contains(globale);
}

void TBarraStrumenti::closeEvent(QCloseEvent *evento)
{
    if (ConChiusura)
        evento->accept();
    else
        evento->ignore();
}
