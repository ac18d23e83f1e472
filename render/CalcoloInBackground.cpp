#include "CalcoloInBackground.h"

#include "AreaDisegno.h"
#include "Disegnatori.h"

#include <stdexcept>

CalcoloInBackground::CalcoloInBackground(CDisegnatore &disegnatore, CAreaDisegno &area)
    : Disegnatore(disegnatore), Area(area)
{
    if (Area.Cancello)
        throw std::logic_error("a drawing of this render area is already running");
    Area.Cancello = &Cancello;
}

CalcoloInBackground::~CalcoloInBackground()
{
    Ferma();
}

void CalcoloInBackground::Riprendi()
{
    if (Fermato)
        return;
    if (!Avviato) {
        // The worker counts as active before it exists, so that a Sospendi
        // right after this waits for it to reach its first checkpoint.
        Cancello.Entra();
        try {
            Thread = std::thread(&CalcoloInBackground::Corpo, this);
        } catch (...) {
            Cancello.Esci();
            throw;
        }
        Avviato = true;
        return;
    }
    Cancello.Riprendi();
}

void CalcoloInBackground::Sospendi()
{
    if (Avviato && !Fermato)
        Cancello.Sospendi();
}

void CalcoloInBackground::Ferma()
{
    if (Fermato)
        return;
    Fermato = true;
    Cancello.Ferma();
    if (Thread.joinable())
        Thread.join();
    Area.Cancello = nullptr;
    SegnaFinito();
}

void CalcoloInBackground::Termina()
{
    Ferma();
    if (Errore) {
        std::exception_ptr errore = Errore;
        Errore = nullptr;
        std::rethrow_exception(errore);
    }
}

bool CalcoloInBackground::AttendiFine(std::chrono::milliseconds durata)
{
    std::unique_lock<std::mutex> lock(MutexFine);
    return Fine.wait_for(lock, durata, [this] { return Finito.load(); });
}

bool CalcoloInBackground::InCorso(const CAreaDisegno &area)
{
    return area.Cancello != nullptr;
}

void CalcoloInBackground::Corpo()
{
    try {
        Disegnatore.Disegna(Area);
    } catch (...) {
        Errore = std::current_exception();
    }
    SegnaFinito();
    Cancello.Esci();
    if (AllaFine && !Cancello.Fermato())
        AllaFine();
}

void CalcoloInBackground::SegnaFinito()
{
    {
        std::lock_guard<std::mutex> lock(MutexFine);
        Finito.store(true);
    }
    Fine.notify_all();
}
