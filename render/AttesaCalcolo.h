#pragma once

#include <QString>

#include <cstdint>

class CAreaDisegno;
class CDisegnatore;

// What the render job needs of the document that draws: its times and stop
// request, and the services it calls while it polls the worker. All of it is
// used on the user-interface thread only, never while the worker computes.
class CDocumentoCalcolo
{
public:
    int64_t TempoImpiegato = 0; // ms, elapsed time of the current or last drawing
    int64_t TempoPrevisto = 0;  // ms, estimated total time; 0 means no estimate
    bool StopRichiesto = false; // the user asked the running drawing to stop

    // Handles every pending user-interface event. A nested drawing of another
    // document may run in here; this document must stay alive throughout.
    virtual void ElaboraEventi() = 0;
    // Shows the image as drawn so far, at once.
    virtual void RidisegnaImmagine() = 0;
    // The main window's caption.
    virtual void ImpostaTitolo(const QString &testo) = 0;
    // The application's title.
    virtual void ImpostaTitoloApplicazione(const QString &testo) = 0;
    // Writes the size and the times into the status bar (TestoDimensione, TestoTempi).
    virtual void AggiornaStato() = 0;
    // The idle state of the document and of the drawing controls.
    virtual void ModoLibero() = 0;

protected:
    CDocumentoCalcolo() = default;
    CDocumentoCalcolo(const CDocumentoCalcolo &) = default;
    CDocumentoCalcolo &operator=(const CDocumentoCalcolo &) = default;
    ~CDocumentoCalcolo() = default;
};

// Runs one drawing of the area on a worker thread and polls it from this
// thread until it ends or the document asks it to stop, then leaves the
// document's texts and idle state behind. The area must be ready (buffer
// prepared, picture cleared) and the document in its busy state, with its
// times and stop request cleared. Every 200 ms the worker is parked while
// events are handled, the image is repainted every 3 s and the progress
// texts are written every 0.6 s. A stop ends the worker for good and its
// thread is joined before anything else happens. Whatever the drawing
// method raised is raised here, after the idle state has been restored.
// Throws std::logic_error, touching nothing, when a drawing of this area
// is already running.
void AttendiCalcolo(CDocumentoCalcolo &documento, CDisegnatore &disegnatore, CAreaDisegno &area,
                    const QString &titolo);
