#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <memory>

class CAreaDisegno;
class CDisegnatore;
class CalcoloInBackground;

// One document's drawings, overseen from the user-interface thread's event
// loop while a worker computes: every 200 ms the worker is parked while the
// progress is read, every 0.6 s the progress texts are written, every 3 s the
// picture is repainted, and it goes on at once. Nothing here waits on the
// worker except a stop, which ends it for good at its next checkpoint, a few
// milliseconds away. The time counts whole polling periods: a drawing that
// ends or is stopped within a period counts that period whole.
class CSessioneDisegno final : public QObject
{
    Q_OBJECT

public:
    // titolo: the program's title, the tail of the application title during
    // a drawing and the caption after it.
    explicit CSessioneDisegno(const QString &titolo);
    // Stops a running drawing and joins its threads.
    ~CSessioneDisegno() override;

    // Starts a drawing of the area with that method. The area must be ready
    // (buffer prepared, picture cleared) and stay alive and untouched by
    // this thread, save while parked, until Finito. Throws
    // std::logic_error, changing nothing, while a drawing runs or when
    // another drawing holds the area.
    void Avvia(CDisegnatore &disegnatore, CAreaDisegno &area);
    // Ends the running drawing now: its threads are joined before this
    // returns and the drawing ends as it would at its last poll (Finito is
    // emitted from here). Asked from a handler of this session's signals
    // during a poll, it takes effect as the poll ends. Nothing when no
    // drawing runs.
    void Ferma();

    bool InCorso() const { return Calcolo != nullptr; }
    // Parks the worker until the matching Riprendi, so that this thread may
    // read and write the area and its picture; calls nest. Nothing when no
    // drawing runs.
    void Sospendi();
    void Riprendi();

    int64_t TempoImpiegato() const { return Impiegato; } // ms, of the running or last drawing
    int64_t TempoPrevisto() const { return Previsto; }   // ms, estimated total; 0: no estimate
    // The caption and the application's title last sent (Titolo,
    // TitoloApplicazione); empty before the first drawing.
    const QString &UltimoTitolo() const { return Ultimo; }
    const QString &UltimoTitoloApplicazione() const { return UltimoApplicazione; }

signals:
    // The main window's caption and the application's title.
    void Titolo(const QString &testo);
    void TitoloApplicazione(const QString &testo);
    // Shows the picture as drawn so far, at once; the worker is parked meanwhile.
    void Ridisegna();
    // The times changed: the status texts are to be written.
    void Tempi();
    // The drawing has ended or was stopped; its threads are gone. errore: what
    // the drawing raised, empty when nothing.
    void Finito(const QString &errore);

private:
    void Controlla();
    // contaIlPeriodo: the period under way counts whole.
    void Fine(bool contaIlPeriodo);

    QString TitoloProgramma;
    QTimer Orologio;
    std::unique_ptr<CalcoloInBackground> Calcolo;
    int Soste = 0;
    uint64_t Disegni = 0; // drawings started, the last one's number
    bool InControllo = false;
    bool FermaDopoIlControllo = false;
    int64_t Impiegato = 0;
    int64_t Previsto = 0;
    QString Ultimo;
    QString UltimoApplicazione;
};

// Parks a session's worker for as long as it lives; nothing without a drawing.
class CSostaSessione
{
public:
    explicit CSostaSessione(CSessioneDisegno &sessione) : Sessione(sessione) { Sessione.Sospendi(); }
    ~CSostaSessione() { Sessione.Riprendi(); }
    CSostaSessione(const CSostaSessione &) = delete;
    CSostaSessione &operator=(const CSostaSessione &) = delete;

private:
    CSessioneDisegno &Sessione;
};
