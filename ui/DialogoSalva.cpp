#include "DialogoSalva.h"

#include "Applicazione.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace {

class CDialogoSalva final : public QFileDialog
{
public:
    explicit CDialogoSalva(QWidget *genitore) : QFileDialog(genitore) {}

    void accept() override
    {
        // A name typed without an extension takes the chosen kind's.
        // (The chosen filter reads without its patterns, which the dialog hides.)
        const bool png = selectedNameFilter().startsWith(QLatin1String("PNG"));
        setDefaultSuffix(png ? QStringLiteral("png") : QStringLiteral("bmp"));
        const QStringList scelti = selectedFiles();
        if (!scelti.isEmpty()) {
            const QFileInfo nome(scelti.first());
            if (!nome.isDir() && !nome.absoluteDir().exists()) {
                QMessageBox avviso(QMessageBox::Warning, windowTitle(),
                                   QCoreApplication::translate("TMDIChild", "La cartella %1 non esiste.")
                                       .arg(QDir::toNativeSeparators(nome.absolutePath())),
                                   QMessageBox::Ok, this);
                avviso.exec();
                return;
            }
        }
        QFileDialog::accept();
    }
};

} // namespace

QFileDialog *CreaDialogoSalva(QWidget *genitore, const QString &nomeOggetto, const QString &titolo, bool pngPrima)
{
    auto *dialogo = new CDialogoSalva(genitore);
    dialogo->setObjectName(nomeOggetto);
    dialogo->setWindowTitle(titolo);
    dialogo->setAcceptMode(QFileDialog::AcceptSave);
    dialogo->setFileMode(QFileDialog::AnyFile);
    // "All" shows every file, names without a dot too.
    const QString bitmap = QStringLiteral("Bitmap (*.bmp)");
    const QString png = QStringLiteral("PNG (*.png)");
    dialogo->setNameFilters({pngPrima ? png : bitmap, pngPrima ? bitmap : png, QStringLiteral("All (*)")});
    dialogo->setOption(QFileDialog::HideNameFilterDetails, true);
    dialogo->setDefaultSuffix(pngPrima ? QStringLiteral("png") : QStringLiteral("bmp"));
    // Replacing an existing file is asked about (the dialog's own question).
    dialogo->setOption(QFileDialog::DontConfirmOverwrite, false);
    ChiudiCompletamentiAllaFine(dialogo);
    return dialogo;
}
