// Headless renderer: draws the picture a parameters file describes and writes it as a BMP.

#include "Coloratori.h"
#include "Disegnatori.h"
#include "Errore.h"
#include "FileParametri.h"
#include "ImmagineQt.h"
#include "Scelte.h"

#include <QCoreApplication>
#include <QImage>
#include <QImageWriter>

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
    // The picture is written by the built-in BMP writer: no image plugin needs
    // looking for (a writer otherwise loads every one it finds).
    QCoreApplication::setLibraryPaths({});
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
        CInternoSolido solido;
        CInternoLog log;
        CEsternoFasce fasce;
        PreparaTabelleDocumento(log, fasce);
        MetodoPuntoPunto puntoPunto;
        MetodoBlocco blocco;

        // Not cleared: both methods draw every pixel of the image.
        QImage immagine(W, H, QImage::Format_RGB32);
        if (immagine.isNull())
            throw CErrore(MessaggioBuffer);
        CImmagineQt vista(immagine);

        CAreaDisegno area;
        area.Frattale = &FrattaleDaScelta(par.SceltaFrattale, par.FrattaleMandelbrot, par.FrattaleJulia,
                                          par.FrattaleVolterraLotka);
        area.Interno = &InternoDaScelta(par.SceltaInterno, solido, log);
        area.Esterno = &EsternoDaScelta(par.SceltaEsterno, fasce);
        area.Immagine = &vista;
        area.Min = par.Finestra.Min;
        area.Max = par.Finestra.Max;
        area.Larghezza = W;
        area.Altezza = H;
        area.MaxIterazioni = par.Finestra.MaxIterazioni;
        area.Fili = fili;
        area.PreparaBuffer(W, H);
        CDisegnatore &metodo = DisegnatoreDaScelta(par.SceltaMetodo, puntoPunto, blocco);

        const auto inizio = std::chrono::steady_clock::now();
        metodo.Disegna(area);
        const double secondi = std::chrono::duration<double>(std::chrono::steady_clock::now() - inizio).count();

        QImageWriter writer(nomeUscita, "bmp");
        if (!writer.write(immagine)) {
            std::cerr << "quillmere-render: " << nomeBmp << ": " << writer.errorString().toStdString() << '\n';
            return 1;
        }
        const double megapixel = double(W) * double(H) / 1e6;
        std::printf("%dx%d in %.3f s, %.2f Mpixel/s\n", W, H, secondi, secondi > 0 ? megapixel / secondi : 0.0);
    } catch (const CErrore &e) {
        std::cerr << "quillmere-render: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
