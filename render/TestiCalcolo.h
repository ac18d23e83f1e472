#pragma once

#include <QString>

#include <cstdint>
#include <exception>

// The texts a drawing shows in the captions and the status bar, in the
// user's language (the program's Italian, or its translation).

// A duration in milliseconds: "m:ss.d", "h:mm:ss.d" or "Dgg,h:mm:ss.d".
QString FormattaTempo(int64_t ms);

// The estimated total time of a drawing after t milliseconds at the given
// progress in percent: t x 100 / progress in extended precision, truncated.
// No progress gives 0 (no estimate); an estimate beyond 64 bits is held at
// the largest value.
int64_t StimaTempoPrevisto(int64_t t, double completamento);

// The progress as the captions show it: "%.1f", with a full stop.
QString TestoPercentuale(double completamento);

// The main window's caption during a drawing.
QString TestoCompletamento(double completamento, int64_t tempoPrevisto);

// Status panel 1: the image control's size, "256x256".
QString TestoDimensione(int32_t larghezza, int32_t altezza);

// Status panel 2: the elapsed time, with the estimate while there is one.
// The leading tab centres the text in its panel.
QString TestoTempi(int64_t tempoImpiegato, int64_t tempoPrevisto);

// The message of an error, as the user reads it: the engine's own messages
// (Italian texts of a library without Qt) are translated here.
QString TestoErrore(const std::exception &errore);
