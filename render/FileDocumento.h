#pragma once

#include "FileParametri.h"

#include <QImage>
#include <QIODevice>
#include <QString>

// A saved document is a pair of files: the picture, as a Windows bitmap or a
// PNG, under the name the user chose, and the parameters file beside it, named
// by appending ".Quillmere" to the picture's whole name.

QString NomeFileParametri(const QString &nomeBitmap);

// A picture's format follows its name: PNG for a name that ends in ".png"
// (in any case), a Windows bitmap for every other name.
enum class FormatoFigura { Bitmap, Png };
FormatoFigura FormatoDaNome(const QString &nome);

// Each file is written completely or not at all (written beside, then renamed
// over the old one): a failure leaves any file already there untouched.
// On failure they return false and the reason.
bool ScriviBitmap(const QImage &immagine, const QString &nome, QString &errore);
bool ScriviFileParametri(const CParametri &parametri, const QString &nome, QString &errore);
// The picture in the format its name gives.
bool ScriviFigura(const QImage &immagine, const QString &nome, QString &errore);

// Reads a Windows bitmap (any of its common variants) as a true-colour
// picture; false and the reason when the file is missing or is not a bitmap
// that can be read.
bool LeggiBitmap(const QString &nome, QImage &immagine, QString &errore);
bool LeggiBitmap(QIODevice *dispositivo, QImage &immagine, QString &errore);
// The same for a picture in the format its name gives (a PNG cut short or
// damaged is refused too). Only plain files are read: a folder, a device or
// a pipe is refused with a reason, never waited on.
bool LeggiFigura(const QString &nome, QImage &immagine, QString &errore);
bool LeggiFigura(QIODevice *dispositivo, FormatoFigura formato, QImage &immagine, QString &errore);

// Reads a whole parameters file; false, leaving parametri untouched, when the
// file is missing, is not a plain file, is too large to be one, is not a
// valid parameters file or gives a negative picture size. motivo, where
// given, gets why beyond that, when there is more to say
// (TestoCifreOltreIlLimite), else an empty text.
bool LeggiFileParametri(const QString &nome, CParametri &parametri, QString *motivo = nullptr);

// Why a parameters file whose window is deeper than the program draws is
// refused, and why a zoom that would go there is.
QString TestoCifreOltreIlLimite();
QString TestoZoomOltreIlLimite();
