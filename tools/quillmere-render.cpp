// Headless renderer: draws the picture a parameters file describes and writes
// it as a BMP, or as a PNG when the output's name ends in ".png".

#include "Disegno.h"
#include "Errore.h"
#include "FileParametri.h"
#include "FileDocumento.h"
#include "ImmagineQt.h"

#include <QImage>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include <fstream>
#include <iostream>

namespace {

int Uso()
{
    std::cerr << "uso: quillmere-render [--threads N] FILE_PARAMETRI USCITA.bmp\n"
                 "  --threads N  draw with N threads (default: one per processor core)\n";
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    int32_t fili = 0;
    std::vector<const char *> nomi;
    for (int a = 1; a < argc; ++a) {
        const std::string arg = argv[a];
        if (arg == "--threads" && a + 1 < argc) {
            char *fine = nullptr;
            const long n = std::strtol(argv[++a], &fine, 10);
            if (*fine != '\0' || n < 1 || n > 1024)
                return Uso();
            fili = int32_t(n);
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

    std::ifstream file(nomeParametri, std::ios::binary);
    if (!file) {
        std::cerr << "quillmere-render: impossibile aprire " << nomeParametri << '\n';
        return 1;
    }
    CParametri par;
    if (!LeggiParametri(file, par)) {
        std::cerr << "quillmere-render: " << nomeParametri << ": Il file dei parametri NON è valido!\n";
        return 1;
    }

    const int32_t W = par.Finestra.Larghezza;
    const int32_t H = par.Finestra.Altezza;
    if (W < 1 || H < 1) {
        std::cerr << "quillmere-render: dimensioni non valide: " << W << "x" << H << '\n';
        return 1;
    }

    try {
        QImage immagine(W, H, QImage::Format_RGB32);
        if (immagine.isNull())
            throw CErrore(MessaggioBuffer);
        immagine.fill(Qt::black);
        CImmagineQt vista(immagine);

        CDisegno disegno;
        disegno.AreaDisegno.Fili = fili;
        CDisegnatore &metodo = disegno.Prepara(par, &vista, W, H);
        CAreaDisegno &area = disegno.AreaDisegno;

        const auto inizio = std::chrono::steady_clock::now();
        metodo.Disegna(area);
        const double secondi = std::chrono::duration<double>(std::chrono::steady_clock::now() - inizio).count();

        // Whole or not at all, as the program saves: a full disk is reported
        // and leaves any earlier file as it was.
        QString errore;
        if (!ScriviFigura(immagine, nomeUscita, errore)) {
            std::cerr << "quillmere-render: " << nomeBmp << ": " << errore.toStdString() << '\n';
            return 1;
        }
        const double megapixel = double(W) * double(H) / 1e6;
        std::printf("%dx%d in %.3f s, %.2f Mpixel/s\n", W, H, secondi, secondi > 0 ? megapixel / secondi : 0.0);
    } catch (const std::exception &e) {
        std::cerr << "quillmere-render: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
