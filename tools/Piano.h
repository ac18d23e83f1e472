#pragma once

#include "FileParametri.h"
#include "Reale.h"

#include <QRect>
#include <QString>

#include <cstdint>
#include <vector>

// A plan: the pictures of a zoom movie or of a poster as independent jobs,
// in a folder that every machine drawing them shares.
//
//   plan.txt                   what the plan is (kind, frames or tiles, size)
//   jobs.txt                   one shell command line per picture, run from the folder
//   slurm.sbatch               the same jobs as a Slurm job array (log/ holds its output)
//   frames/f00001.png          a movie's frames, each with its parameters file
//   frames/f00001.png.Quillmere  beside it, as the program saves pictures
//   poster.png.Quillmere       a poster's whole picture
//   tiles/r000c000.png         its tiles in rows, each with its parameters file
//
// A job draws its picture with quillmere-render, which writes it whole or not
// at all, and draws nothing when the picture is there already: a job killed
// halfway leaves nothing, running the plan again draws only what is missing,
// and two runners at once at worst draw a picture twice.
struct CPiano
{
    bool Poster = false;
    // The size of a frame, or of the whole poster.
    int32_t Larghezza = 0;
    int32_t Altezza = 0;
    // A poster's tiles across and down.
    int32_t Colonne = 1;
    int32_t Righe = 1;
    // A poster's whole picture.
    CParametri Intero;
    // The frames in order, or the tiles row by row, each with its own window
    // (a tile's is its exact part of the whole window).
    std::vector<CParametri> Figure;
    // Threads each job draws with.
    int32_t Fili = 1;
    // How the job lines start the renderer (a path, or a name looked up in PATH).
    QString Renderer = QStringLiteral("quillmere-render");
    // A movie's frames as PNG ("png"), or as bitmaps ("bmp": written faster,
    // several times larger); a poster's tiles are PNG, which vips reads.
    QString Formato = QStringLiteral("png");
};

// A zoom movie of `fotogrammi` W x H frames with fine's settings, from a
// window larghezza0 wide to fine's window (FinestraFotogramma).
CPiano PianoFilm(const CParametri &fine, const CReale &larghezza0, int32_t fotogrammi, int32_t W, int32_t H);

// A poster: par's window at W x H, drawn by the point method (the block
// method's fill decisions read pixels beyond a tile's edges, so its tiles
// would not put together its whole picture), cut into C x R tiles of equal
// size; W and H must be multiples of C and R.
CPiano PianoPoster(const CParametri &par, int32_t W, int32_t H, int32_t C, int32_t R);

// The picture of frame or tile k, relative to the folder; the rectangle of
// the whole poster that tile k covers.
QString NomeFigura(const CPiano &piano, size_t k);
QRect ParteTile(const CPiano &piano, size_t k);

// Job k's command line, run from the folder.
QString RigaLavoro(const CPiano &piano, size_t k);

// Writes the plan into the folder, making it when missing. A folder that
// holds another plan (a different plan.txt, or a picture's parameters file
// that is not this plan's) is refused before anything is written; the same
// plan again only writes its files anew, keeping the pictures drawn. False
// and the reason when something cannot be written.
bool ScriviPiano(const CPiano &piano, const QString &cartella, QString &errore);

// How a finished plan is put together.
struct COpzioniUnione
{
    int32_t FotogrammiAlSecondo = 30;
    bool Tiff = false; // a poster as a tiled TIFF instead of a PNG
};

// Makes the movie (cartella/movie.mp4, H.264, with ffmpeg) or the poster
// (cartella/poster.png with vips, or poster.tif) of a finished plan, writing
// beside and renaming at the end, so that a failure leaves any earlier one as
// it was. The tools' own messages go to standard error. False and the reason
// when the folder holds no plan, a picture is missing, a tool is missing or
// fails.
bool UnisciPiano(const QString &cartella, const COpzioniUnione &opzioni, QString &uscita, QString &errore);
