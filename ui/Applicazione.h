#pragma once

#include "TestiCalcolo.h"

#include <QApplication>
#include <QLocale>
#include <QString>
#include <QTranslator>

#include <exception>

// The program's title, as the documents set it and as message boxes without
// a caption of their own show it.
inline constexpr const char *TitoloProgramma = "Quillmere v0.9";

// The application object. Its default error handler: an exception that leaves
// an event handler is shown as its message followed by a full stop, and the
// program goes on.
class TApplicazione final : public QApplication
{
    Q_OBJECT

public:
    TApplicazione(int &argc, char **argv);

    bool notify(QObject *destinatario, QEvent *evento) override;

    // Speaks English to a user of that locale (see InInglese), or the
    // program's Italian to any other; true when the English translation is
    // in use. Windows made afterwards show the language chosen.
    bool ImpostaLingua(const QLocale &locale);

    // The application title (the text of the program's task-bar entry).
    QString Titolo = QString::fromUtf8(TitoloProgramma);

private:
    QTranslator Traduzione;
};

// Whether a user of this locale reads the program in English: when the first
// language of the user interface is English. Every other, the "C" locale
// included, keeps the program's Italian texts.
bool InInglese(const QLocale &locale);
// The user's locale as the language of the messages: the "C" locale when
// LC_ALL, else LC_MESSAGES, else LANG names it (or nothing does), as the C
// library decides, whatever LANGUAGE says; else the system's locale.
QLocale LocaleUtente();

// The application title; the program's title while no TApplicazione exists.
QString TitoloApplicazione();
// Sets the application title and shows it as the main window's task-bar text.
void ImpostaTitoloApplicazione(const QString &titolo);

// The folder the user last opened or saved a picture in, kept between runs
// in the user's settings (nothing else is kept); empty before the first, or
// when that folder is gone.
QString UltimaCartella();
// Remembers the folder of a file just opened or saved.
void RicordaCartella(const QString &nomeFile);

// A modal plain message with an OK button and the application title as caption.
void MostraMessaggio(const QString &messaggio);

// A modal box with a stop icon, an OK button, the application title as
// caption and the message followed by a full stop.
void MostraErrore(const QString &messaggio);

class QFileDialog;
// A file dialog that closes while the completion list of its name field
// shows leaves that list open, holding the keyboard (Alt+F no longer opens
// the File menu): from then on, the dialog closes its list when it closes.
void ChiudiCompletamentiAllaFine(QFileDialog *dialogo);

// Runs the work of a handler that a toolkit signal calls, handing what it
// raises, as the user reads it, to mostra. The toolkit's widget library is
// built without exception support: an exception unwinding through its
// frames would skip their clean-up (leaked events, guards left set), so it
// is stopped here, before it reaches them.
template <typename Azione, typename Mostra>
void GestisciErrori(Azione &&azione, Mostra &&mostra)
{
    try {
        azione();
    } catch (const std::exception &errore) {
        mostra(TestoErrore(errore));
    }
}
