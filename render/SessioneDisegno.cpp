#include "SessioneDisegno.h"

#include "AreaDisegno.h"
#include "CalcoloInBackground.h"
#include "TestiCalcolo.h"

#include <exception>
#include <stdexcept>
#include <utility>

namespace {
constexpr int64_t Intervallo = 200;     // ms between polls
constexpr int64_t OgniRidisegno = 3000; // ms between repaints
constexpr int64_t OgniTesto = 600;      // ms between progress texts
} // namespace

CSessioneDisegno::CSessioneDisegno(const QString &titolo) : TitoloProgramma(titolo)
{
    Orologio.setInterval(int(Intervallo));
    Orologio.callOnTimeout(this, &CSessioneDisegno::Controlla);
}

CSessioneDisegno::~CSessioneDisegno()
{
    // The worker's own end may have queued a call to Fine: this object goes
    // before it is delivered, and the toolkit drops it.
    Calcolo.reset();
}

void CSessioneDisegno::Avvia(CDisegnatore &disegnatore, CAreaDisegno &area)
{
    if (Calcolo)
        throw std::logic_error("a drawing of this session is already running");
    auto calcolo = std::make_unique<CalcoloInBackground>(disegnatore, area);
    // From the worker, once it has ended: the session learns at once instead
    // of at its next poll.
    // A drawing stopped just as it ended may still have its call queued:
    // only the call of the drawing under way ends it.
    const uint64_t disegno = ++Disegni;
    calcolo->AllaFine = [this, disegno] {
        QMetaObject::invokeMethod(
            this,
            [this, disegno] {
                if (disegno == Disegni)
                    Fine(true);
            },
            Qt::QueuedConnection);
    };
    Impiegato = 0;
    Previsto = 1;
    Calcolo = std::move(calcolo);
    if (Soste == 0)
        Calcolo->Riprendi();
    Orologio.start();
    Ultimo = tr("Completamento: 0% ");
    emit Titolo(Ultimo);
}

void CSessioneDisegno::Ferma()
{
    if (!Calcolo)
        return;
    // Asked from a handler of the poll's own signals: the poll ends first.
    if (InControllo) {
        FermaDopoIlControllo = true;
        return;
    }
    Calcolo->Ferma();
    // The stop takes effect in the current period, which counts whole.
    Fine(true);
}

void CSessioneDisegno::Sospendi()
{
    if (Soste++ == 0 && Calcolo)
        Calcolo->Sospendi();
}

void CSessioneDisegno::Riprendi()
{
    if (Soste > 0 && --Soste == 0 && Calcolo)
        Calcolo->Riprendi();
}

void CSessioneDisegno::Controlla()
{
    if (!Calcolo)
        return;
    // The worker ended within the period just gone.
    if (Calcolo->Finito) {
        Fine(true);
        return;
    }
    Impiegato += Intervallo;
    InControllo = true;
    {
        const CSostaSessione sosta(*this);
        if (Impiegato % OgniRidisegno == 0)
            emit Ridisegna();
        if (Impiegato % OgniTesto == 0) {
            const double completamento = Calcolo->Area.Completamento;
            Previsto = StimaTempoPrevisto(Impiegato, completamento);
            Ultimo = TestoCompletamento(completamento, Previsto);
            emit Titolo(Ultimo);
            emit Tempi();
            UltimoApplicazione = TestoPercentuale(completamento) + QStringLiteral("% ") + TitoloProgramma;
            emit TitoloApplicazione(UltimoApplicazione);
        }
    }
    InControllo = false;
    // A stop asked meanwhile belongs to the period just counted.
    if (std::exchange(FermaDopoIlControllo, false)) {
        Calcolo->Ferma();
        Fine(false);
    }
}

void CSessioneDisegno::Fine(bool contaIlPeriodo)
{
    if (!Calcolo)
        return;
    Orologio.stop();
    if (contaIlPeriodo)
        Impiegato += Intervallo;
    QString errore;
    try {
        Calcolo->Termina();
    } catch (const std::exception &e) {
        errore = TestoErrore(e);
    } catch (...) {
        errore = tr("Errore sconosciuto durante il disegno");
    }
    Calcolo.reset();
    Ultimo = TitoloProgramma;
    UltimoApplicazione = TitoloProgramma;
    emit Titolo(TitoloProgramma);
    emit TitoloApplicazione(TitoloProgramma);
    emit Ridisegna();
    Previsto = 0;
    emit Tempi();
    emit Finito(errore);
}
