#pragma once

#include "FileParametri.h"

#include <QObject>
#include <QSize>
#include <QString>

#include <cstdint>

class QDialog;
class QFileDialog;
class QSpinBox;
class QWidget;
class TMDIChild;

// File > "Esporta immagine...": what the active document shows, drawn at a
// size the user gives, independent of the window on screen, and saved as a
// PNG or a bitmap with its parameters file. Each export is a drawing of its
// own on worker threads (CEsportazione), with a progress dialog that can
// stop it; the program stays usable meanwhile, and the document may change
// or close. Larger pictures than one drawing holds are refused, with the
// poster tool to draw them. Its dialogs are the main window's children
// ("DialogoEsporta", "SaveDialogEsporta", "ProgressoEsporta").
class TEsporta final : public QObject
{
    Q_OBJECT

public:
    explicit TEsporta(QWidget *finestra);

    // Asks the size, then the name, and starts the export; nothing when the
    // user cancels.
    void Chiedi(const TMDIChild &documento);
    // Starts an export of what a picture of the size shown shows with these
    // settings, at larghezza x altezza, to be saved under nome; returns at
    // once. False, with the reason reported (Messaggio, Errore), when it
    // cannot start.
    bool Avvia(const CParametri &parametri, QSize mostrata, int32_t larghezza, int32_t altezza, const QString &nome);
    // Exports under way.
    int InCorso() const { return Attive; }

signals:
    void Errore(const QString &messaggio);
    void Messaggio(const QString &testo);
    // An export ended: saved, or not (stopped, or failed and reported).
    void Conclusa(const QString &nome, bool salvata);

private:
    void CreaDialogo();

    QWidget *Finestra;
    QDialog *Dimensioni = nullptr;
    QSpinBox *Larghezza = nullptr;
    QSpinBox *Altezza = nullptr;
    QFileDialog *Nome = nullptr;
    int Attive = 0;
};
