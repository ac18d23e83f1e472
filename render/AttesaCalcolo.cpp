#include "AttesaCalcolo.h"

#include "AreaDisegno.h"
#include "CalcoloInBackground.h"
#include "TestiCalcolo.h"

namespace {
constexpr int64_t Intervallo = 200;     // ms between polls
constexpr int64_t OgniRidisegno = 3000; // ms between repaints
constexpr int64_t OgniTesto = 600;      // ms between progress texts
} // namespace

void AttendiCalcolo(CDocumentoCalcolo &documento, CDisegnatore &disegnatore, CAreaDisegno &area,
                    const QString &titolo)
{
    CalcoloInBackground calcolo(disegnatore, area);
    calcolo.Riprendi();
    documento.ImpostaTitolo(QStringLiteral("Completamento: 0% "));

    // t counts whole polling periods, whatever the events and texts cost.
    int64_t t = 0;
    while (!calcolo.Finito) {
        t += Intervallo;
        documento.TempoImpiegato = t;
        calcolo.AttendiFine(std::chrono::milliseconds(Intervallo));
        calcolo.Sospendi();
        documento.ElaboraEventi();
        if (t % OgniRidisegno == 0)
            documento.RidisegnaImmagine();
        if (t % OgniTesto == 0) {
            documento.TempoPrevisto = StimaTempoPrevisto(t, area.Completamento);
            documento.ImpostaTitolo(TestoCompletamento(area.Completamento, documento.TempoPrevisto));
            documento.AggiornaStato();
            documento.ImpostaTitoloApplicazione(TestoPercentuale(area.Completamento) + QStringLiteral("% ") + titolo);
        }
        if (documento.StopRichiesto) {
            calcolo.Ferma();
            documento.RidisegnaImmagine();
        } else {
            calcolo.Riprendi();
        }
    }
    // The worker has set Finito and touches nothing more; joining here makes
    // sure it is gone before the image is shown.
    calcolo.Ferma();

    documento.ImpostaTitolo(titolo);
    documento.ImpostaTitoloApplicazione(titolo);
    documento.RidisegnaImmagine();
    documento.TempoPrevisto = 0;
    documento.AggiornaStato();
    documento.ModoLibero();
    calcolo.Termina();
}
