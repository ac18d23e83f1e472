#pragma once

#include <QApplication>
#include <QString>

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

    // The application title (the text of the program's task-bar entry).
    QString Titolo = QString::fromUtf8(TitoloProgramma);
};

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

// Runs the work of a handler that a toolkit signal calls, showing what it
// raises as the default handler does. The toolkit's widget library is built
// without exception support: an exception unwinding through its frames would
// skip their clean-up (leaked events, guards left set), so it is stopped here,
// before it reaches them.
template <typename Azione>
void GestisciErrori(Azione &&azione)
{
    try {
        azione();
    } catch (const std::exception &errore) {
        MostraErrore(QString::fromUtf8(errore.what()));
    }
}
