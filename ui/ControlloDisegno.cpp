#include "ControlloDisegno.h"

#include "BarraStrumenti.h"
#include "MDIChild.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>

TControlloDisegno::TControlloDisegno(QMainWindow *finestra, const TDock *alto) : QObject(finestra), Finestra(finestra)
{
    setObjectName(QStringLiteral("Controllo"));
    Barra = new TBarraStrumenti(tr("Controllo Disegno"), QStringLiteral("ControlloDisegno"), alto, true, finestra);
    finestra->addToolBar(Qt::TopToolBarArea, Barra);

    auto *Panel4 = new QWidget(Barra);
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

    QWidget::setTabOrder(BottoneRidisegna, BottoneFermaCalcolo);
    Barra->addWidget(Panel4);

    connect(BottoneRidisegna, &QPushButton::clicked, this, &TControlloDisegno::RidisegnaPremuto);
    connect(BottoneFermaCalcolo, &QPushButton::clicked, this, &TControlloDisegno::FermaPremuto);
}

void TControlloDisegno::Segui(TMDIChild *documento)
{
    disconnect(SuOccupato);
    disconnect(SuLibero);
    Seguito = documento;
    if (documento) {
        SuOccupato = connect(documento, &TMDIChild::Occupato, this, &TControlloDisegno::Aggiorna);
        SuLibero = connect(documento, &TMDIChild::Libero, this, &TControlloDisegno::Aggiorna);
    }
    Aggiorna();
}

void TControlloDisegno::Aggiorna()
{
    const bool occupato = Seguito && Seguito->InCalcolo();
    if (occupato == BottoneFermaCalcolo->isEnabled())
        return;
    if (occupato)
        MostraOccupato();
    else
        MostraLibero();
}

void TControlloDisegno::MostraOccupato()
{
    LabelAttendi->show();
    BottoneRidisegna->setEnabled(false);
    BottoneRidisegna->hide();
    LabelAttendi->repaint();
    BottoneFermaCalcolo->show();
    BottoneFermaCalcolo->setEnabled(true);
    ElaboraDisegniInSospeso();
}

void TControlloDisegno::MostraLibero()
{
    ElaboraDisegniInSospeso();
    LabelAttendi->hide();
    BottoneRidisegna->show();
    BottoneRidisegna->setEnabled(true);
    BottoneFermaCalcolo->hide();
    BottoneFermaCalcolo->setEnabled(false);
}

void TControlloDisegno::ElaboraDisegniInSospeso()
{
    QCoreApplication::sendPostedEvents(Finestra, QEvent::UpdateRequest);
    QWidget *barra = Barra->window();
    if (barra != Finestra)
        QCoreApplication::sendPostedEvents(barra, QEvent::UpdateRequest);
}

void TControlloDisegno::InvioDa(QWidget *destinatario)
{
    destinatario->installEventFilter(this);
}

bool TControlloDisegno::eventFilter(QObject *oggetto, QEvent *evento)
{
    // A key reaches the main window or a toolbar when the control that had
    // it left it.
    if (evento->type() == QEvent::KeyPress && TastoInvio(static_cast<QKeyEvent *>(evento)))
        return true;
    return QObject::eventFilter(oggetto, evento);
}

bool TControlloDisegno::TastoInvio(QKeyEvent *evento)
{
    if (evento->key() != Qt::Key_Return && evento->key() != Qt::Key_Enter)
        return false;
    // As a dialog's default button: no modifier, save the keypad's on Enter.
    const Qt::KeyboardModifiers modificatori = evento->modifiers();
    if (modificatori != Qt::NoModifier && !(modificatori == Qt::KeypadModifier && evento->key() == Qt::Key_Enter))
        return false;
    // The button's own look: hidden during a drawing. A closed toolbar hides
    // it too, but Enter still draws then.
    if (BottoneRidisegna->isHidden() || !BottoneRidisegna->isEnabled())
        return false;
    evento->accept();
    BottoneRidisegna->click();
    return true;
}
