#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>

// The gate between the drawing threads and the thread that controls them.
// Drawing threads pass a checkpoint once per computed pixel; there they park
// when the controller asks them to, and leave for good when it stops them.
// While every drawing thread is parked the controller may read and write the
// render area freely: the gate's mutex orders those accesses.
class CCancello
{
public:
    // Drawing thread, once per pixel: false means the drawing must end now.
    bool Punto()
    {
        if (Stato.load(std::memory_order_acquire) == InCorsa)
            return true;
        return Attendi();
    }

    // Drawing thread: true while nothing is asked of the drawing threads, so
    // that the next checkpoint would return at once. A cheap look, for loops
    // that keep values in registers and pass the checkpoint only when asked.
    bool SenzaRichieste() const { return Stato.load(std::memory_order_acquire) == InCorsa; }

    // Drawing threads announce themselves before they start and leave when done.
    void Entra();
    void Esci();

    // Controller: returns once every drawing thread is parked or gone.
    void Sospendi();
    // Controller: lets parked threads go on.
    void Riprendi();
    // Controller: every thread leaves at its next checkpoint (parked ones at once).
    void Ferma();

    bool Fermato() const { return Stato.load(std::memory_order_acquire) == Fermo; }

private:
    enum : int { InCorsa, Sosta, Fermo };

    bool Attendi();

    std::atomic<int> Stato{InCorsa};
    std::mutex Mutex;
    std::condition_variable Condizione;
    int Attivi = 0;
    int Parcheggiati = 0;
};
