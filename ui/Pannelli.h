#pragma once

#include <QObject>
#include <QString>

#include <optional>

struct CParametri;
class QComboBox;
class QLineEdit;
class QMainWindow;
class TDock;

// The settings panels: the toolbars "Settaggi Insieme", "Settaggi Finestra"
// and "Parametri Aggiuntivi" of the main window, a view of one document's
// settings at a time. They keep no settings of their own: they show
// settings, and read what the user changed back into settings. Which list
// item is which formula or colouring, and how each field is written and
// read, is theirs alone. Another control goes here, beside its toolbar's
// fields, with its line in Mostra and in Leggi.
class TPannelli final : public QObject
{
    Q_OBJECT

public:
    // Builds the three toolbars into the main window's left dock; alto and
    // sinistra are the default docks of the first and the third.
    TPannelli(QMainWindow *finestra, const TDock *alto, const TDock *sinistra);

    // Shows the settings, with the parameters of that formula (none: of
    // their own). Whatever was typed and not stored is replaced.
    void Mostra(const CParametri &parametri, std::optional<int> formula = std::nullopt);
    // Reads the panels into parametri, field by field in the panels' order:
    // the formula, the interior colouring, the limit, the window of the plane
    // (as a whole), the formula's parameters. A field the user has not
    // edited since it was shown keeps the value parametri holds, to the last
    // bit, and so does a list with no item chosen. A text that cannot be
    // read throws CErrore: the fields before it are stored in parametri, it
    // and the later ones keep their values.
    void Leggi(CParametri &parametri) const;

    // The name of the formula shown; empty when the settings' formula is
    // none of the list's.
    QString NomeFrattale() const;
    // The decimal separator of the user's locale, read once at start: the
    // panels write and read numbers with it.
    const QString &Separatore() const { return SeparatoreDecimale; }

signals:
    // The user chose a formula in the list (the panels' own showing raises
    // nothing): the settings are to be shown with its parameters.
    void FrattaleScelto(int formula);

private:
    void CreaSettaggiInsieme(QMainWindow *finestra, const TDock *alto);
    void CreaSettaggiFinestra(QMainWindow *finestra);
    void CreaParametriAggiuntivi(QMainWindow *finestra, const TDock *sinistra);

    const QString SeparatoreDecimale;

    QComboBox *ComboBoxFrattale = nullptr;
    QComboBox *ComboBoxColoreInterno = nullptr;
    QLineEdit *EditMaxIterazioni = nullptr;
    QLineEdit *EditXMin = nullptr;
    QLineEdit *EditXMax = nullptr;
    QLineEdit *EditYMin = nullptr;
    QLineEdit *EditYMax = nullptr;
    QLineEdit *EditParam1 = nullptr;
    QLineEdit *EditParam2 = nullptr;
};
