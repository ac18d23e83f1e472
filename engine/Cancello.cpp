#include "Cancello.h"

void CCancello::Entra()
{
    std::lock_guard<std::mutex> lock(Mutex);
    ++Attivi;
}

void CCancello::Esci()
{
    {
        std::lock_guard<std::mutex> lock(Mutex);
        --Attivi;
    }
    Condizione.notify_all();
}

bool CCancello::Attendi()
{
    std::unique_lock<std::mutex> lock(Mutex);
    if (Stato.load(std::memory_order_relaxed) == Fermo)
        return false;
    ++Parcheggiati;
    Condizione.notify_all();
    Condizione.wait(lock, [this] { return Stato.load(std::memory_order_relaxed) != Sosta; });
    --Parcheggiati;
    return Stato.load(std::memory_order_relaxed) != Fermo;
}

void CCancello::Sospendi()
{
    std::unique_lock<std::mutex> lock(Mutex);
    if (Stato.load(std::memory_order_relaxed) == Fermo)
        Condizione.wait(lock, [this] { return Parcheggiati == 0 && Attivi == 0; });
    else {
        Stato.store(Sosta, std::memory_order_release);
        Condizione.wait(lock, [this] { return Parcheggiati == Attivi; });
    }
}

void CCancello::Riprendi()
{
    {
        std::lock_guard<std::mutex> lock(Mutex);
        if (Stato.load(std::memory_order_relaxed) == Sosta)
            Stato.store(InCorsa, std::memory_order_release);
    }
    Condizione.notify_all();
}

void CCancello::Ferma()
{
    {
        std::lock_guard<std::mutex> lock(Mutex);
        Stato.store(Fermo, std::memory_order_release);
    }
    Condizione.notify_all();
}
