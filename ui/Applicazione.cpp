#include "Applicazione.h"

#include "IconaQuillmere.h"
#include "TestiCalcolo.h"

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
    ImpostaLingua(LocaleUtente());
}

bool TApplicazione::ImpostaLingua(const QLocale &locale)
{
    removeTranslator(&Traduzione);
    if (!InInglese(locale))
        return false;
    // Built into the program, so found wherever it is installed.
    return Traduzione.load(QStringLiteral(":/i18n/quillmere_en.qm")) && installTranslator(&Traduzione);
}

bool InInglese(const QLocale &locale)
{
    if (locale.language() == QLocale::C)
        return false;
    const QStringList lingue = locale.uiLanguages();
    return !lingue.isEmpty() && QLocale(lingue.first()).language() == QLocale::English;
}

QLocale LocaleUtente()
{
    QByteArray nome = qgetenv("LC_ALL");
    if (nome.isEmpty())
        nome = qgetenv("LC_MESSAGES");
    if (nome.isEmpty())
        nome = qgetenv("LANG");
    if (nome.isEmpty() || nome == "C" || nome == "POSIX" || nome.startsWith("C."))
        return QLocale::c();
    return QLocale::system();
}

bool TApplicazione::notify(QObject *destinatario, QEvent *evento)
{
    try {
        return QApplication::notify(destinatario, evento);
    } catch (const std::exception &errore) {
        MostraErrore(TestoErrore(errore));
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
