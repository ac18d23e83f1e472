#pragma once

#include <stdexcept>
#include <string>

// The program's error exception: carries the message shown to the user.
class CErrore : public std::runtime_error
{
public:
    explicit CErrore(const std::string &messaggio) : std::runtime_error(messaggio) {}
};

inline constexpr const char *MessaggioBuffer = "Fallita allocazione del buffer per l'immagine";
inline constexpr const char *MessaggioTabella = "Fallita allocazione memoria per tabella dei colori";
