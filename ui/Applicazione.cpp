#include "Applicazione.h"

#include "IconaQuillmere.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QMessageBox>
#include <QSettings>

#include <exception>

TApplicazione::TApplicazione(int &argc, char **argv) : QApplication(argc, argv)
{
    // The program's own icon on every window and message box, and the
    // launcher it belongs to (desktops match running windows to it by name).
    setWindowIcon(IconaQuillmere());
    setDesktopFileName(QStringLiteral("io.github.quillmere.Quillmere"));
    // Where the user's settings are kept: ~/.config/Quillmere/Quillmere.conf.
    setOrganizationName(QStringLiteral("Quillmere"));
    setApplicationName(QStringLiteral("Quillmere"));
}

bool TApplicazione::notify(QObject *destinatario, QEvent *evento)
{
    try {
        return QApplication::notify(destinatario, evento);
    } catch (const std::exception &errore) {
        MostraErrore(QString::fromUtf8(errore.what()));
    }
    return false;
}

QString TitoloApplicazione()
{
    if (const auto *app = qobject_cast<const TApplicazione *>(QCoreApplication::instance()))
        return app->Titolo;
    return QString::fromUtf8(TitoloProgramma);
}

void ImpostaTitoloApplicazione(const QString &titolo)
{
    if (auto *app = qobject_cast<TApplicazione *>(QCoreApplication::instance()))
        app->Titolo = titolo;
    // The task-bar entry is the main window's.
    for (QWidget *finestra : QApplication::topLevelWidgets())
        if (qobject_cast<QMainWindow *>(finestra))
            finestra->setWindowIconText(titolo);
}

namespace {
const QString ChiaveCartella = QStringLiteral("UltimaCartella");
} // namespace

QString UltimaCartella()
{
    const QString cartella = QSettings().value(ChiaveCartella).toString();
    return !cartella.isEmpty() && QDir(cartella).exists() ? cartella : QString();
}

void RicordaCartella(const QString &nomeFile)
{
    QSettings().setValue(ChiaveCartella, QFileInfo(nomeFile).absolutePath());
}

void MostraMessaggio(const QString &messaggio)
{
    QMessageBox box(QMessageBox::NoIcon, TitoloApplicazione(), messaggio, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

void MostraErrore(const QString &messaggio)
{
    QMessageBox box(QMessageBox::Critical, TitoloApplicazione(), messaggio + QLatin1Char('.'), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

void ChiudiCompletamentiAllaFine(QFileDialog *dialogo)
{
    QObject::connect(dialogo, &QDialog::finished, dialogo, [dialogo] {
        for (QCompleter *completamento : dialogo->findChildren<QCompleter *>())
            if (QAbstractItemView *elenco = completamento->popup())
                elenco->hide();
    });
}
