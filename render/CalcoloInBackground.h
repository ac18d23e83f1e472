#pragma once

#include "Cancello.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

class CAreaDisegno;
class CDisegnatore;

// One drawing of a render area on its own worker thread. The thread that
// owns this object controls the worker through the area's gate: it parks it
// at a checkpoint between pixels, lets it go on, or stops it for good.
class CalcoloInBackground
{
public:
    // Created suspended: no thread runs until the first Riprendi. Takes the
    // area's gate; throws std::logic_error when another drawing holds it.
    CalcoloInBackground(CDisegnatore &disegnatore, CAreaDisegno &area);
    // Stops the worker and joins its thread. An error the worker raised and
    // nobody collected with Termina is dropped.
    ~CalcoloInBackground();

    CalcoloInBackground(const CalcoloInBackground &) = delete;
    CalcoloInBackground &operator=(const CalcoloInBackground &) = delete;

    // Starts the worker the first time, afterwards lets a parked worker go on.
    // Does nothing once the worker has been stopped.
    void Riprendi();
    // Returns once the worker is parked at a checkpoint or has ended (at once
    // when it never started). Until the next Riprendi the worker touches
    // nothing, and everything it wrote is visible to this thread.
    void Sospendi();
    // Ends the worker for good: it leaves at its next checkpoint (a parked one
    // at once) and its thread is joined, so it never touches the area again.
    // Sets Finito. Safe to repeat.
    void Ferma();
    // Ferma, then raises on this thread whatever the worker raised.
    void Termina();

    // Sleeps up to durata, waking as soon as Finito is set; returns Finito.
    bool AttendiFine(std::chrono::milliseconds durata);

    // Whether a drawing holds the area's gate now.
    static bool InCorso(const CAreaDisegno &area);

    CDisegnatore &Disegnatore;
    CAreaDisegno &Area;
    // Set by the worker when Disegna has returned (or raised), or by Ferma.
    std::atomic<bool> Finito{false};
    // Called on the worker's thread once Finito is set, as its last act; not
    // when Ferma ends the worker. Set before the first Riprendi.
    std::function<void()> AllaFine;

private:
    void Corpo();
    void SegnaFinito();

    CCancello Cancello;
    std::thread Thread;
    bool Avviato = false;
    bool Fermato = false;
    std::exception_ptr Errore;  // written by the worker, read after the join
    std::mutex MutexFine;
    std::condition_variable Fine;
};
