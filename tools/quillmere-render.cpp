// Headless renderer: draws the picture a parameters file describes and writes
// it as a BMP, or as a PNG when the output's name ends in ".png"; or only a
// rectangle of that picture, exactly as the whole drawing computes its pixels.

#include "CalcoloInBackground.h"
#include "Disegno.h"
#include "Errore.h"
#include "FileParametri.h"
#include "FileDocumento.h"
#include "ImmagineQt.h"
#include "Memoria.h"
#include "Ritaglio.h"
#include "TestiCalcolo.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include <fstream>
#include <iostream>

#include <unistd.h>

namespace {

// The usage, on standard error for a wrong command line (exit code 2), on
// standard output when asked for with --help (exit code 0).
int Uso(bool richiesto = false)
{
    (richiesto ? std::cout : std::cerr)
        << "uso: quillmere-render [--threads N] [--region X,Y,WxH] [--skip-existing]\n"
           "                        FILE_PARAMETRI USCITA.bmp|USCITA.png\n"
           "  --threads N        draw with N threads (default: one per processor core)\n"
           "  --region X,Y,WxH   draw only the W x H pixels from column X and row Y of the\n"
           "                     picture, each as the point method computes it in the whole\n"
           "  --skip-existing    draw nothing when USCITA exists already\n"
           "  --help             print this help and exit\n"
           "  --version          print the version and exit\n"
           "The picture is written as a PNG when USCITA ends in .png, as a BMP otherwise.\n";
    return richiesto ? 0 : 2;
}

// Draws on worker threads while this thread waits. When standard error is a
// terminal and the drawing has taken more than a second, a progress line
// there is rewritten in place every fifth of a second (the workers parked
// while it is read), and cleared at the end. Raises what the drawing raised.
void Disegna(CDisegnatore &metodo, CAreaDisegno &area)
{
    using namespace std::chrono;
    const bool terminale = isatty(STDERR_FILENO) == 1;
    const auto inizio = steady_clock::now();
    bool mostrata = false;
    CalcoloInBackground calcolo(metodo, area);
    calcolo.Riprendi();
    while (!calcolo.AttendiFine(milliseconds(200))) {
        if (!terminale || steady_clock::now() - inizio < seconds(1))
            continue;
        calcolo.Sospendi();
        const double completamento = area.Completamento;
        calcolo.Riprendi();
        std::cerr << "\rquillmere-render: " << TestoPercentuale(completamento).toStdString() << "% " << std::flush;
        mostrata = true;
    }
    if (mostrata)
        std::cerr << "\r\033[K" << std::flush;
    calcolo.Termina();
}

// Writes the picture, whole or not at all, as the program saves: a full disk
// is reported and leaves any earlier file as it was. Then the size and the
// speed of the drawing. Returns the exit status.
int Scrivi(const QImage &figura, const QString &nome, const char *nomeStampato, double secondi)
{
    QString errore;
    if (!ScriviFigura(figura, nome, errore)) {
        std::cerr << "quillmere-render: " << nomeStampato << ": " << errore.toStdString() << '\n';
        return 1;
    }
    const double megapixel = double(figura.width()) * double(figura.height()) / 1e6;
    std::printf("%dx%d in %.3f s, %.2f Mpixel/s\n", figura.width(), figura.height(), secondi,
                secondi > 0 ? megapixel / secondi : 0.0);
    return 0;
}

// "X,Y,WxH": a rectangle with its corner at or past (0, 0) and sides of at
// least one pixel. False when the text is not one.
bool LeggiParte(const std::string &testo, QRect &parte)
{
    long x = 0, y = 0, w = 0, h = 0;
    int letti = 0;
    const int campi = std::sscanf(testo.c_str(), "%ld,%ld,%ldx%ld%n", &x, &y, &w, &h, &letti);
    constexpr long Massimo = 0x7FFFFFFF;
    if (campi != 4 || size_t(letti) != testo.size() || x < 0 || y < 0 || w < 1 || h < 1 || x > Massimo - w
        || y > Massimo - h || testo.find_first_of(" +-") != std::string::npos)
        return false;
    parte = QRect(int(x), int(y), int(w), int(h));
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    // The picture is written by the built-in BMP writer: no image plugin needs
    // looking for (a writer otherwise loads every one it finds).
    QCoreApplication::setLibraryPaths({});
    int32_t fili = 0;
    bool saltaEsistenti = false;
    QRect parte; // null: the whole picture
    std::vector<const char *> nomi;
    for (int a = 1; a < argc; ++a) {
        const std::string arg = argv[a];
        if (arg == "--help") {
            return Uso(true);
        } else if (arg == "--version") {
            std::cout << "quillmere-render " QUILLMERE_VERSIONE "\n";
            return 0;
        } else if (arg == "--threads" && a + 1 < argc) {
            char *fine = nullptr;
            const long n = std::strtol(argv[++a], &fine, 10);
            if (*fine != '\0' || n < 1 || n > 1024)
                return Uso();
            fili = int32_t(n);
        } else if (arg == "--region" && a + 1 < argc) {
            if (!LeggiParte(argv[++a], parte))
                return Uso();
        } else if (arg == "--skip-existing") {
            saltaEsistenti = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return Uso();
        } else {
            nomi.push_back(argv[a]);
        }
    }
    if (nomi.size() != 2)
        return Uso();
    const char *nomeParametri = nomi[0];
    const char *nomeBmp = nomi[1];
    const QString nomeUscita = QString::fromLocal8Bit(nomeBmp);
    // A picture is written whole or not at all, so one that is there is done.
    if (saltaEsistenti && QFileInfo::exists(nomeUscita)) {
        std::printf("%s c'è già: non ridisegnata\n", nomeBmp);
        return 0;
    }

    std::ifstream file(nomeParametri, std::ios::binary);
    if (!file) {
        std::cerr << "quillmere-render: impossibile aprire " << nomeParametri << '\n';
        return 1;
    }
    CParametri par;
    bool troppeCifre = false;
    if (!LeggiParametri(file, par, &troppeCifre)) {
        std::cerr << "quillmere-render: " << nomeParametri << ": Il file dei parametri NON è valido!\n";
        if (troppeCifre)
            std::cerr << "quillmere-render: " << qPrintable(TestoCifreOltreIlLimite()) << '\n';
        return 1;
    }

    const int32_t W = par.Finestra.Larghezza;
    const int32_t H = par.Finestra.Altezza;
    if (W < 1 || H < 1) {
        std::cerr << "quillmere-render: dimensioni non valide: " << W << "x" << H << '\n';
        return 1;
    }
    if (!parte.isNull() && !QRect(0, 0, W, H).contains(parte)) {
        std::cerr << "quillmere-render: la parte " << parte.x() << "," << parte.y() << "," << parte.width() << "x"
                  << parte.height() << " esce dalla figura di " << W << "x" << H << '\n';
        return 1;
    }

    try {
        if (!parte.isNull()) {
            QImage figura;
            const auto inizio = std::chrono::steady_clock::now();
            DisegnaRitaglio(par, parte, fili, figura);
            const double secondi = std::chrono::duration<double>(std::chrono::steady_clock::now() - inizio).count();
            return Scrivi(figura, nomeUscita, nomeBmp, secondi);
        }
        // The pixels in memory of the kind the drawing's buffers take
        // (Memoria.h); the image only borrows them, and goes first.
        const size_t riga = size_t(W) * 4;
        const CMemoriaAzzerata<uchar> pixel = AllocaAzzerata<uchar>(riga * size_t(H));
        QImage immagine(pixel.get(), W, H, qsizetype(riga), QImage::Format_RGB32);
        if (!pixel || immagine.isNull())
            throw CErrore(MessaggioBuffer);
        CImmagineQt vista(immagine);

        CDisegno disegno;
        disegno.AreaDisegno.Fili = fili;
        CDisegnatore &metodo = disegno.Prepara(par, &vista, W, H);
        CAreaDisegno &area = disegno.AreaDisegno;

        const auto inizio = std::chrono::steady_clock::now();
        Disegna(metodo, area);
        const double secondi = std::chrono::duration<double>(std::chrono::steady_clock::now() - inizio).count();

        return Scrivi(immagine, nomeUscita, nomeBmp, secondi);
    } catch (const std::exception &e) {
        std::cerr << "quillmere-render: " << e.what() << '\n';
        return 1;
    }
}
