#pragma once

#include <QString>

class QFileDialog;
class QWidget;

// The dialog that asks the name of a picture to save: "Bitmap", "PNG" and
// "All" to choose from (the first given first), a name typed without an
// extension takes the chosen kind's, replacing a file is asked about, and a
// name whose folder does not exist is refused with a message, the dialog
// staying open for another.
QFileDialog *CreaDialogoSalva(QWidget *genitore, const QString &nomeOggetto, const QString &titolo, bool pngPrima);
