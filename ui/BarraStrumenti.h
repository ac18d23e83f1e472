#pragma once

#include <QPoint>
#include <QToolBar>

class QMainWindow;

// A dock of the main window: one of its toolbar areas, under the name the
// layout gives it.
class TDock final : public QObject
{
    Q_OBJECT

public:
    TDock(const QString &nome, Qt::ToolBarArea lato, QObject *genitore) : QObject(genitore), Lato(lato)
    {
        setObjectName(nome);
    }

    const Qt::ToolBarArea Lato;
};

// A toolbar of the main window. It docks in the top, left and right areas and
// floats as a small window titled with its caption, with a close button when
// it has one. Double-clicking a docked toolbar floats it; double-clicking a
// floating one docks it in its default area, or leaves it floating when it has
// none. Dragged by its handle, a docked toolbar moves between the docks or,
// dropped away from them, floats; a floating one dropped near an edge of the
// document area docks there.
class TBarraStrumenti final : public QToolBar
{
    Q_OBJECT

public:
    // predefinito: the default dock, null when the toolbar has none.
    TBarraStrumenti(const QString &titolo, const QString &nome, const TDock *predefinito, bool chiudibile,
                    QMainWindow *finestra);

    // Floats the toolbar where it stands on the screen.
    void Sgancia();
    // Docks it in its default area; without one it stays as it is.
    void Aggancia();
    // Docks it in that area (floating or not).
    void AgganciaIn(Qt::ToolBarArea area);

    // Adds a separator line under that name.
    QAction *Separatore(const char *nome);

    const TDock *DockPredefinito() const { return Predefinito; }
    Qt::ToolBarArea AreaPredefinita() const { return Predefinito ? Predefinito->Lato : Qt::NoToolBarArea; }
    bool Chiudibile() const { return ConChiusura; }

protected:
    bool event(QEvent *evento) override;
    void closeEvent(QCloseEvent *evento) override;

private:
    // Makes the toolbar a small titled window with its top-left corner there.
    void Fluttua(const QPoint &posizione);
    bool EventoFluttuante(QEvent *evento);
    // The dock under a point of the screen, if any.
    Qt::ToolBarArea AreaSotto(const QPoint &globale) const;
    // Whether a toolbar dropped there floats: outside the main window, or
    // over the documents away from the docks' edges.
    bool FuoriDaiDock(const QPoint &globale) const;

    QMainWindow *Principale;
    const TDock *Predefinito;
    bool ConChiusura;
    // Floating as a titled window of its own (the toolkit's own dragging
    // makes it a bare window for a while).
    bool Fluttuante = false;
    // Dragging by the handle: the button is down, the toolbar has moved far
    // enough to be a drag, where it was pressed on the screen and where on
    // the toolbar.
    bool Trascina = false;
    bool Spostata = false;
    QPoint Inizio;
    QPoint Presa;
};
