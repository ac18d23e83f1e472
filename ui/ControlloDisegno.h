#pragma once

#include <QMetaObject>
#include <QObject>
#include <QPointer>

class QKeyEvent;
class QLabel;
class QMainWindow;
class QPushButton;
class QWidget;
class TBarraStrumenti;
class TDock;
class TMDIChild;

// The toolbar "Controllo Disegno": "Ridisegna", which asks for the active
// document to be drawn, and "Stop !", which asks for its drawing to end; and
// Enter, which presses "Ridisegna" from anywhere in the main window. It
// follows the active document: idle it shows "Ridisegna", while that
// document draws "   Attendi..." and "Stop !".
class TControlloDisegno final : public QObject
{
    Q_OBJECT

public:
    TControlloDisegno(QMainWindow *finestra, const TDock *alto);

    // The document whose drawing the looks follow (null: none, idle).
    void Segui(TMDIChild *documento);

    // The busy and idle looks. They do not count calls: one MostraLibero
    // ends any number of MostraOccupato.
    void MostraOccupato();
    void MostraLibero();

    // Enter, with no modifier (the keypad's Enter with its own), that no
    // control took and that reaches this widget presses "Ridisegna" while it
    // shows and is enabled. For the main window and each of its toolbars: a
    // floating toolbar is a window of its own, where a key goes no further.
    void InvioDa(QWidget *destinatario);

signals:
    void RidisegnaPremuto();
    void FermaPremuto();

protected:
    bool eventFilter(QObject *oggetto, QEvent *evento) override;

private:
    // The look of the followed document: busy while it draws.
    void Aggiorna();
    // True when the key pressed "Ridisegna".
    bool TastoInvio(QKeyEvent *evento);
    // Processes the pending paints of the main window and of the toolbar,
    // floating or not, at once.
    void ElaboraDisegniInSospeso();

    QMainWindow *Finestra;
    TBarraStrumenti *Barra = nullptr;
    QLabel *LabelAttendi = nullptr;
    QPushButton *BottoneRidisegna = nullptr;
    QPushButton *BottoneFermaCalcolo = nullptr;

    QPointer<TMDIChild> Seguito;
    QMetaObject::Connection SuOccupato;
    QMetaObject::Connection SuLibero;
};
