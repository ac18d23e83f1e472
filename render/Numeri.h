#pragma once

#include "Reale.h"

#include <QString>

#include <cstdint>

// The texts of the settings panels' numbers and their readings. Plane values
// are written and read in 80-bit arithmetic, with the decimal separator of
// the user's locale. The readings throw CErrore with the program's message.

// The decimal separator of the user's locale. Read it once at start-up and
// hand it to both the number texts and the readings, so that what the
// program writes it also reads.
QString SeparatoreDecimaleDiSistema();

// Decimal, "-" before a negative value, no grouping.
QString TestoIntero(int32_t valore);

// The value rounded to a double, then to at most 15 significant digits,
// trailing zeros dropped (the double 0.65 widened shows 0.65); a value no
// double holds, beyond its range or among its subnormals, with 15 digits of
// its own. Fixed notation from 0.0001 up to (not including) 10^15,
// otherwise "E" notation (1E-5, 1E15, -2.5E20); infinities and NaNs read
// "INF", "-INF" and "NAN". The text need not read back to the value: the
// panels keep the value of a field nobody edited.
QString TestoNumero(long double valore, const QString &separatore);

// A coordinate of the plane: a value of 64 bits as TestoNumero writes it,
// one of more bits with the digits its precision is written with (trailing
// zeros included), so that LeggiCoordinata gives it back exactly, precision
// included.
QString TestoCoordinata(const CReale &valore, const QString &separatore);

// Spaces before the number, then either a signed decimal in the 32-bit range
// or, unsigned, up to eight hexadecimal digits after "$", "x", "X", "0x" or
// "0X", taken as a 32-bit pattern; nothing may follow the last digit.
// Anything else: CErrore "'text' is not a valid integer value".
int32_t LeggiIntero(const QString &testo);

// Spaces before and after; a sign, digits with at most one decimal separator,
// and an exponent of "E" or "e", a sign and digits. The value is the nearest
// 80-bit one. Anything else, or a value beyond the 80-bit range: CErrore
// "'text' is not a valid floating point value".
long double LeggiNumero(const QString &testo, const QString &separatore);
// The same text as a coordinate of the plane: up to 21 significant digits the
// nearest 80-bit value, as LeggiNumero reads it; more, a value of the
// precision they carry (up to 20000 digits). Throws as LeggiNumero does.
CReale LeggiCoordinata(const QString &testo, const QString &separatore);
