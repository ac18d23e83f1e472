#pragma once

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QStringList>

class QAction;
class QActionGroup;
class QMainWindow;
class QMenu;
class QWidget;
class TBarraStrumenti;
class TDock;
class TMDIChild;

// The toolbar "Navigazione" and the menu "Vista": back and forward through
// the settings the active document has drawn, zoom about its centre, moves
// by a quarter of its window, and its exterior colouring. It follows the
// active document as the drawing control does. Back and forward have their
// keys anywhere in the main window (Alt+Left, Alt+Right); those of the zoom
// and the moves are the document's own (TMDIChild::keyPressEvent).
class TNavigazione final : public QObject
{
    Q_OBJECT

public:
    // The menu goes into the main window's menu bar before prima.
    TNavigazione(QMainWindow *finestra, const TDock *alto, QAction *prima);

    // The document the commands act on (null: none; they are disabled).
    void Segui(TMDIChild *documento);

    // The names of the exterior colourings, in the order of their values.
    static QStringList NomiColori();

signals:
    // A move that raised, for the program's error box.
    void Errore(const QString &messaggio);

private:
    // The commands' states for the followed document.
    void Aggiorna();
    // Runs a move on the followed document; what it raises is reported (Errore).
    template <typename Azione>
    void SulDocumento(Azione &&azione);

    TBarraStrumenti *Barra = nullptr;
    QAction *IndietroItem = nullptr;
    QAction *AvantiItem = nullptr;
    QList<QAction *> Movimenti;
    QActionGroup *Colori = nullptr;

    QPointer<TMDIChild> Seguito;
    QList<QMetaObject::Connection> Connessioni;
};
