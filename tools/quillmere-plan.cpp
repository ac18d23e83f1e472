// Planner of zoom movies and posters: writes the pictures of a movie or of a
// poster as a folder of parameters files and a list of jobs, one
// quillmere-render command line each, for GNU parallel or a Slurm job array
// to run on one machine or many; and puts the finished pictures together
// with ffmpeg or vips.

#include "FileDocumento.h"
#include "FinestrePiano.h"
#include "Piano.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int32_t MassimoFotogrammi = 99999;
constexpr int32_t LatoMassimoFigura = 32768;
constexpr int32_t LatoMassimoPoster = 1 << 20;
constexpr int32_t MassimoTiles = 1000;

// The usage, on standard error for a wrong command line (exit code 2), on
// standard output when asked for with --help (exit code 0).
int Uso(bool richiesto = false)
{
    (richiesto ? std::cout : std::cerr)
        << "uso: quillmere-plan movie PARAMETRI CARTELLA --frames N|--per-halving K --size WxH [OPZIONI]\n"
           "     quillmere-plan poster PARAMETRI CARTELLA --size WxH --tiles CxR [OPZIONI]\n"
           "     quillmere-plan join CARTELLA [--fps N] [--tiff]\n"
           "movie: frames from a start window to the window of PARAMETRI, centred on it,\n"
           "  each narrower than the one before by the same factor\n"
           "  --frames N          N frames (1 to 99999)\n"
           "  --per-halving K     K frames each time the width halves, instead of --frames\n"
           "  --from PARAMETRI0   start as wide as this file's window (default: -2 .. 0.5)\n"
           "  --method point|block  how frames are drawn (default: as PARAMETRI says)\n"
           "  --format png|bmp    frames as PNG (default) or as bitmaps, written faster\n"
           "poster: the window of PARAMETRI at WxH, drawn by the point method in C x R\n"
           "  tiles of equal size (W a multiple of C, H of R)\n"
           "both:\n"
           "  --width X           the window X wide around the centre of PARAMETRI's, with\n"
           "                      square pixels, instead of PARAMETRI's window\n"
           "  --limit N           iteration limit (default: PARAMETRI's)\n"
           "  --threads N         threads of each job (default: 1; run a job per core)\n"
           "  --renderer PROG     how jobs start quillmere-render (default: the one beside\n"
           "                      this program)\n"
           "join: the frames into CARTELLA/movie.mp4 (H.264) with ffmpeg, or the tiles into\n"
           "  CARTELLA/poster.png with vips\n"
           "  --fps N             frames per second of the movie (default: 30)\n"
           "  --tiff              the poster as a tiled TIFF, CARTELLA/poster.tif\n"
           "  --help              print this help and exit\n"
           "  --version           print the version and exit\n";
    return richiesto ? 0 : 2;
}

int Errore(const QString &messaggio)
{
    std::cerr << "quillmere-plan: " << messaggio.toStdString() << '\n';
    return 1;
}

// A whole number from minimo to massimo.
bool Intero(const std::string &testo, int64_t minimo, int64_t massimo, int32_t &valore)
{
    char *fine = nullptr;
    const long long n = std::strtoll(testo.c_str(), &fine, 10);
    if (testo.empty() || *fine != '\0' || n < minimo || n > massimo || !std::isdigit(uint8_t(testo[0])))
        return false;
    valore = int32_t(n);
    return true;
}

// "WxH", each side from 1 to massimo.
bool Lati(const std::string &testo, int32_t massimo, int32_t &w, int32_t &h)
{
    const size_t x = testo.find('x');
    return x != std::string::npos && Intero(testo.substr(0, x), 1, massimo, w)
        && Intero(testo.substr(x + 1), 1, massimo, h);
}

// A window that is neither empty nor inverted.
bool FinestraValida(const CBloccoFinestra &f)
{
    return mpfr_less_p(f.Min.re.Mp(), f.Max.re.Mp()) && mpfr_less_p(f.Min.im.Mp(), f.Max.im.Mp());
}

bool LeggiFinestra(const std::string &nome, CParametri &par, QString &errore)
{
    const QString file = QString::fromLocal8Bit(nome.c_str());
    if (!LeggiFileParametri(file, par)) {
        errore = file + QStringLiteral(": Il file dei parametri NON è valido!");
        return false;
    }
    if (!FinestraValida(par.Finestra)) {
        errore = file + QStringLiteral(": la finestra è vuota o rovesciata");
        return false;
    }
    return true;
}

// What the command line of a plan gives.
struct COpzioni
{
    std::vector<std::string> Nomi;
    std::map<std::string, std::string> Valori;
    bool Tiff = false;
};

// Splits the arguments after the command into names and options; false for an
// option that is unknown or lacks its value.
bool Opzioni(int argc, char **argv, const std::vector<std::string> &ammesse, COpzioni &o)
{
    for (int a = 2; a < argc; ++a) {
        const std::string arg = argv[a];
        if (arg == "--tiff" && std::find(ammesse.begin(), ammesse.end(), arg) != ammesse.end()) {
            o.Tiff = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            if (std::find(ammesse.begin(), ammesse.end(), arg) == ammesse.end() || a + 1 >= argc
                || o.Valori.count(arg))
                return false;
            o.Valori[arg] = argv[++a];
        } else {
            o.Nomi.push_back(arg);
        }
    }
    return true;
}

// The renderer beside this program, where there is one; else the name, for PATH.
QString RendererVicino()
{
    const QString vicino = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("quillmere-render"));
    return QFileInfo(vicino).isExecutable() ? vicino : QStringLiteral("quillmere-render");
}

// How to run the plan, for the user to copy.
void Istruzioni(const CPiano &piano, const QString &cartella)
{
    QString c = cartella;
    c.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    const std::string dir = "'" + c.toStdString() + "'";
    std::cout << "Plan of " << piano.Figure.size() << (piano.Poster ? " tiles" : " frames") << " in " << dir
              << " (jobs.txt: one job a line).\n"
                 "On this machine, a job per core, with a progress bar (again to resume):\n"
                 "  cd "
              << dir
              << " && parallel --bar --joblog joblog.txt --resume < jobs.txt\n"
                 "On the machines of nodes.txt, which see the folder at the same path:\n"
                 "  cd "
              << dir
              << " && parallel --sshloginfile nodes.txt --wd \"$PWD\" --bar --joblog joblog.txt --resume < jobs.txt\n"
                 "As a Slurm job array:\n"
                 "  cd "
              << dir
              << " && sbatch slurm.sbatch\n"
                 "Then:\n"
                 "  quillmere-plan join "
              << dir << '\n';
}

int Pianifica(int argc, char **argv, bool poster)
{
    COpzioni o;
    const std::vector<std::string> ammesse = poster
        ? std::vector<std::string>{"--size", "--tiles", "--width", "--limit", "--threads", "--renderer"}
        : std::vector<std::string>{"--frames", "--per-halving", "--size",    "--from",     "--method",
                                   "--format", "--width",       "--limit", "--threads", "--renderer"};
    if (!Opzioni(argc, argv, ammesse, o) || o.Nomi.size() != 2 || !o.Valori.count("--size"))
        return Uso();
    const auto valore = [&](const char *nome) { return o.Valori.count(nome) ? o.Valori[nome] : std::string(); };
    int32_t W = 0, H = 0, C = 1, R = 1, fili = 1, limite = -1, fotogrammi = 0;
    if (!Lati(valore("--size"), poster ? LatoMassimoPoster : LatoMassimoFigura, W, H)
        || (poster && !Lati(valore("--tiles"), MassimoTiles, C, R))
        || (o.Valori.count("--threads") && !Intero(valore("--threads"), 1, 1024, fili))
        || (o.Valori.count("--limit") && !Intero(valore("--limit"), 0, INT32_MAX, limite)))
        return Uso();
    int8_t metodo = -1;
    if (o.Valori.count("--method")) {
        if (valore("--method") != "point" && valore("--method") != "block")
            return Uso();
        metodo = valore("--method") == "point" ? 0 : 1;
    }
    const std::string formato = o.Valori.count("--format") ? valore("--format") : "png";
    if (formato != "png" && formato != "bmp")
        return Uso();
    double perDimezzamento = 0.0;
    if (!poster) {
        const bool numero = o.Valori.count("--frames");
        if (numero == bool(o.Valori.count("--per-halving")))
            return Uso();
        if (numero && !Intero(valore("--frames"), 1, MassimoFotogrammi, fotogrammi))
            return Uso();
        if (!numero) {
            char *fine = nullptr;
            perDimezzamento = std::strtod(valore("--per-halving").c_str(), &fine);
            if (*fine != '\0' || !(perDimezzamento > 0.0 && perDimezzamento <= 1000.0))
                return Uso();
        }
    }
    CReale larghezza;
    if (o.Valori.count("--width") && (!LeggiReale(valore("--width"), larghezza) || mpfr_sgn(larghezza.Mp()) <= 0))
        return Uso();
    if (poster && (W % C != 0 || H % R != 0 || W / C > LatoMassimoFigura || H / R > LatoMassimoFigura))
        return Errore(QStringLiteral("%1x%2 non si divide in %3x%4 tile uguali di al più %5 pixel per lato")
                          .arg(W)
                          .arg(H)
                          .arg(C)
                          .arg(R)
                          .arg(LatoMassimoFigura));

    QString errore;
    CParametri par;
    if (!LeggiFinestra(o.Nomi[0], par, errore))
        return Errore(errore);
    if (o.Valori.count("--width"))
        par.Finestra = FinestraCentrata(par.Finestra, larghezza, W, H);
    if (limite >= 0)
        par.Finestra.MaxIterazioni = limite;
    if (metodo >= 0)
        par.SceltaMetodo = metodo;
    par.Finestra.Larghezza = W;
    par.Finestra.Altezza = H;

    CPiano piano;
    if (poster) {
        piano = PianoPoster(par, W, H, C, R);
    } else {
        CParametri inizio;
        if (o.Valori.count("--from") && !LeggiFinestra(valore("--from"), inizio, errore))
            return Errore(errore);
        const CReale larghezza0 = LarghezzaFinestra(inizio.Finestra);
        if (fotogrammi == 0) {
            const int64_t n = FotogrammiPerDimezzamento(larghezza0, par.Finestra, perDimezzamento);
            if (n > MassimoFotogrammi)
                return Errore(QStringLiteral("servirebbero più di %1 fotogrammi").arg(MassimoFotogrammi));
            fotogrammi = int32_t(n);
        }
        // Frames keep the proportions of the last one: a window of other
        // proportions than the frames' stretches their pixels.
        const CReale altezza = DifferenzaEsatta(par.Finestra.Max.im, par.Finestra.Min.im);
        const double proporzioni = mpfr_get_d(altezza.Mp(), MPFR_RNDN)
            / mpfr_get_d(LarghezzaFinestra(par.Finestra).Mp(), MPFR_RNDN);
        if (std::fabs(proporzioni * W / H - 1.0) > 0.01)
            std::cerr << "quillmere-plan: attenzione: la finestra non ha le proporzioni di " << W << "x" << H
                      << ": i pixel non saranno quadrati (--width li fa quadrati)\n";
        piano = PianoFilm(par, larghezza0, fotogrammi, W, H);
    }
    piano.Fili = fili;
    if (!poster)
        piano.Formato = QString::fromStdString(formato);
    piano.Renderer =
        o.Valori.count("--renderer") ? QString::fromLocal8Bit(valore("--renderer").c_str()) : RendererVicino();
    const QString cartella = QString::fromLocal8Bit(o.Nomi[1].c_str());
    if (!ScriviPiano(piano, cartella, errore))
        return Errore(errore);
    Istruzioni(piano, QDir(cartella).absolutePath());
    return 0;
}

int Unisci(int argc, char **argv)
{
    COpzioni o;
    if (!Opzioni(argc, argv, {"--fps", "--tiff"}, o) || o.Nomi.size() != 1)
        return Uso();
    COpzioniUnione opzioni;
    opzioni.Tiff = o.Tiff;
    if (o.Valori.count("--fps") && !Intero(o.Valori["--fps"], 1, 1000, opzioni.FotogrammiAlSecondo))
        return Uso();
    QString uscita;
    QString errore;
    if (!UnisciPiano(QString::fromLocal8Bit(o.Nomi[0].c_str()), opzioni, uscita, errore))
        return Errore(errore);
    std::cout << "Wrote " << uscita.toStdString() << '\n';
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication::setLibraryPaths({});
    QCoreApplication applicazione(argc, argv);
    const std::string comando = argc > 1 ? argv[1] : "";
    if (comando == "--help")
        return Uso(true);
    if (comando == "--version") {
        std::cout << "quillmere-plan " QUILLMERE_VERSIONE "\n";
        return 0;
    }
    if (comando == "movie" || comando == "poster")
        return Pianifica(argc, argv, comando == "poster");
    if (comando == "join")
        return Unisci(argc, argv);
    return Uso();
}
