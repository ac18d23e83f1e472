#include "Piano.h"

#include "FileDocumento.h"
#include "FinestrePiano.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include <sys/resource.h>

namespace {

const QString NomePiano = QStringLiteral("plan.txt");
const QString NomeLavori = QStringLiteral("jobs.txt");
const QString NomeSlurm = QStringLiteral("slurm.sbatch");
const QString NomeIntero = QStringLiteral("poster.png.Quillmere");
// Slurm's largest array index by default (MaxArraySize = 1001).
constexpr size_t MassimoSchiera = 1000;

// A word as the shell reads it back: as it is when it holds only characters
// the shell takes literally, else in single quotes.
QString Citato(const QString &parola)
{
    static const QString Sicuri = QStringLiteral("/._-+,=:@%");
    const bool sicura = !parola.isEmpty() && std::all_of(parola.begin(), parola.end(), [](QChar c) {
        return (c.unicode() < 128 && c.isLetterOrNumber()) || Sicuri.contains(c);
    });
    if (sicura)
        return parola;
    QString citata = parola;
    citata.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + citata + QLatin1Char('\'');
}

// Writes a whole file beside and renames it over the old one.
bool ScriviTesto(const QString &nome, const QByteArray &testo, QString &errore)
{
    QSaveFile file(nome);
    if (file.open(QIODevice::WriteOnly) && file.write(testo) == testo.size() && file.flush() && file.commit())
        return true;
    errore = nome + QStringLiteral(": ") + file.errorString();
    return false;
}

QByteArray Contenuto(const QString &nome)
{
    QFile file(nome);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray TestoPiano(const CPiano &piano)
{
    QByteArray testo = "quillmere-plan 0.9\n";
    const QByteArray lato = QByteArray::number(piano.Larghezza) + 'x' + QByteArray::number(piano.Altezza);
    if (piano.Poster)
        testo += "kind poster\nsize " + lato + "\ntiles " + QByteArray::number(piano.Colonne) + 'x'
            + QByteArray::number(piano.Righe) + '\n';
    else
        testo += "kind movie\nframes " + QByteArray::number(qsizetype(piano.Figure.size())) + "\nsize " + lato
            + "\nformat " + piano.Formato.toUtf8() + '\n';
    return testo;
}

// The script of the job array: task T runs line T of the job list, and lines
// T + passo, T + 2 passo, ... of a list longer than the array can be.
QByteArray TestoSlurm(const CPiano &piano)
{
    const size_t righe = piano.Figure.size();
    const size_t passo = std::min(righe, MassimoSchiera);
    return QStringLiteral(
               "#!/bin/bash\n"
               "# The jobs of a Quillmere plan as a Slurm job array: array task T runs line T\n"
               "# of jobs.txt, and lines T + passo, T + 2 passo, ... where the list is longer\n"
               "# than an array can be. Submit it from the plan's folder, which every node\n"
               "# must see at the same path:\n"
               "#   sbatch slurm.sbatch\n"
               "# Running it again draws only the pictures that are missing.\n"
               "#SBATCH --job-name=quillmere\n"
               "#SBATCH --array=1-%2\n"
               "#SBATCH --ntasks=1\n"
               "#SBATCH --cpus-per-task=%3\n"
               "#SBATCH --output=log/slurm-%A_%a.txt\n"
               "righe=%1\n"
               "passo=%2\n"
               "# An array made larger with sbatch --array runs a line a task.\n"
               "[ \"${SLURM_ARRAY_TASK_MAX:-0}\" -gt \"$passo\" ] && passo=$SLURM_ARRAY_TASK_MAX\n"
               "if [ ! -f jobs.txt ]; then\n"
               "    echo \"quillmere: $PWD holds no jobs.txt: submit from the plan's folder\" >&2\n"
               "    exit 1\n"
               "fi\n"
               "stato=0\n"
               "for ((riga = SLURM_ARRAY_TASK_ID; riga <= righe; riga += passo)); do\n"
               "    bash -c \"$(sed -n \"${riga}p\" jobs.txt)\" || stato=1\n"
               "done\n"
               "exit $stato\n")
        .arg(righe)
        .arg(passo)
        .arg(piano.Fili)
        .toUtf8();
}

} // namespace

CPiano PianoFilm(const CParametri &fine, const CReale &larghezza0, int32_t fotogrammi, int32_t W, int32_t H)
{
    CPiano piano;
    piano.Larghezza = W;
    piano.Altezza = H;
    piano.Figure.reserve(size_t(fotogrammi));
    for (int32_t k = 0; k < fotogrammi; ++k) {
        CParametri par = fine;
        par.Finestra = FinestraFotogramma(larghezza0, fine.Finestra, k, fotogrammi, W, H);
        piano.Figure.push_back(std::move(par));
    }
    return piano;
}

CPiano PianoPoster(const CParametri &par, int32_t W, int32_t H, int32_t C, int32_t R)
{
    CPiano piano;
    piano.Poster = true;
    piano.Larghezza = W;
    piano.Altezza = H;
    piano.Colonne = C;
    piano.Righe = R;
    piano.Intero = par;
    piano.Intero.SceltaMetodo = 0;
    piano.Intero.Finestra.Larghezza = W;
    piano.Intero.Finestra.Altezza = H;
    piano.Figure.reserve(size_t(C) * size_t(R));
    for (size_t k = 0; k < size_t(C) * size_t(R); ++k) {
        const QRect parte = ParteTile(piano, k);
        CParametri tile = piano.Intero;
        tile.Finestra = SottoFinestra(piano.Intero.Finestra, parte.x(), parte.y(), parte.width(), parte.height());
        piano.Figure.push_back(std::move(tile));
    }
    return piano;
}

QString NomeFigura(const CPiano &piano, size_t k)
{
    const size_t colonne = size_t(piano.Colonne);
    if (piano.Poster)
        return QString::asprintf("tiles/r%03dc%03d.png", int(k / colonne), int(k % colonne));
    return QString::asprintf("frames/f%05d.", int(k + 1)) + piano.Formato;
}

QRect ParteTile(const CPiano &piano, size_t k)
{
    const int32_t w = piano.Larghezza / piano.Colonne;
    const int32_t h = piano.Altezza / piano.Righe;
    return QRect(int32_t(k % size_t(piano.Colonne)) * w, int32_t(k / size_t(piano.Colonne)) * h, w, h);
}

QString RigaLavoro(const CPiano &piano, size_t k)
{
    const QString figura = NomeFigura(piano, k);
    QString riga = Citato(piano.Renderer) + QStringLiteral(" --skip-existing --threads ") + QString::number(piano.Fili);
    if (piano.Poster) {
        const QRect p = ParteTile(piano, k);
        return riga + QStringLiteral(" --region %1,%2,%3x%4 ").arg(p.x()).arg(p.y()).arg(p.width()).arg(p.height())
            + NomeIntero + QLatin1Char(' ') + figura;
    }
    return riga + QLatin1Char(' ') + NomeFileParametri(figura) + QLatin1Char(' ') + figura;
}

bool ScriviPiano(const CPiano &piano, const QString &cartella, QString &errore)
{
    const QDir dir(cartella);
    const QString sottocartella = piano.Poster ? QStringLiteral("tiles") : QStringLiteral("frames");
    // Another plan's pictures would pass for this one's: refused before anything is written.
    const QByteArray testoPiano = TestoPiano(piano);
    const QString piano0 = dir.filePath(NomePiano);
    if (QFileInfo::exists(piano0) && Contenuto(piano0) != testoPiano) {
        errore = cartella + QStringLiteral(": contiene un altro piano; scegli una cartella nuova");
        return false;
    }
    std::vector<std::pair<QString, QByteArray>> parametri;
    if (piano.Poster)
        parametri.emplace_back(dir.filePath(NomeIntero), QByteArray::fromStdString(TestoParametri(piano.Intero)));
    for (size_t k = 0; k < piano.Figure.size(); ++k)
        parametri.emplace_back(dir.filePath(NomeFileParametri(NomeFigura(piano, k))),
                               QByteArray::fromStdString(TestoParametri(piano.Figure[k])));
    for (const auto &[nome, testo] : parametri) {
        if (QFileInfo::exists(nome) && Contenuto(nome) != testo) {
            errore = nome + QStringLiteral(": è di un altro piano; scegli una cartella nuova");
            return false;
        }
    }
    for (const QString &nome : {sottocartella, QStringLiteral("log")}) {
        std::error_code codice;
        std::filesystem::create_directories(QFile::encodeName(dir.filePath(nome)).toStdString(), codice);
        if (codice) {
            errore = dir.filePath(nome) + QStringLiteral(": impossibile creare la cartella: ")
                + QString::fromLocal8Bit(codice.message().c_str());
            return false;
        }
    }
    // The plan first, so that a plan cut short is completed by the same plan only.
    if (!ScriviTesto(piano0, testoPiano, errore))
        return false;
    for (const auto &[nome, testo] : parametri)
        if (Contenuto(nome) != testo && !ScriviTesto(nome, testo, errore))
            return false;
    QByteArray lavori;
    for (size_t k = 0; k < piano.Figure.size(); ++k)
        lavori += RigaLavoro(piano, k).toUtf8() + '\n';
    return ScriviTesto(dir.filePath(NomeLavori), lavori, errore)
        && ScriviTesto(dir.filePath(NomeSlurm), TestoSlurm(piano), errore);
}

namespace {

// What join needs of plan.txt.
struct CDescrizione
{
    bool Poster = false;
    int64_t Fotogrammi = 0;
    int32_t Colonne = 0;
    int32_t Righe = 0;
    int32_t Larghezza = 0;
    int32_t Altezza = 0;
    QByteArray Formato = "png";
};

// "WxH" with both sides at least 1.
bool LeggiLati(const QByteArray &testo, int32_t &w, int32_t &h)
{
    const QList<QByteArray> lati = testo.split('x');
    bool okW = false;
    bool okH = false;
    if (lati.size() == 2) {
        w = lati[0].toInt(&okW);
        h = lati[1].toInt(&okH);
    }
    return okW && okH && w > 0 && h > 0;
}

bool LeggiPiano(const QString &nome, CDescrizione &d)
{
    const QList<QByteArray> righe = Contenuto(nome).split('\n');
    if (righe.value(0) != "quillmere-plan 0.9")
        return false;
    QByteArray genere;
    bool ok = true;
    for (const QByteArray &riga : righe.mid(1)) {
        const QList<QByteArray> campi = riga.split(' ');
        const QByteArray chiave = campi.value(0);
        const QByteArray valore = campi.value(1);
        if (chiave == "kind")
            genere = valore;
        else if (chiave == "frames")
            d.Fotogrammi = valore.toLongLong(&ok);
        else if (chiave == "size")
            ok = LeggiLati(valore, d.Larghezza, d.Altezza);
        else if (chiave == "tiles")
            ok = LeggiLati(valore, d.Colonne, d.Righe);
        else if (chiave == "format") {
            d.Formato = valore;
            ok = valore == "png" || valore == "bmp";
        }
        if (!ok)
            return false;
    }
    d.Poster = genere == "poster";
    if (d.Poster)
        return d.Colonne > 0 && d.Larghezza > 0;
    return genere == "movie" && d.Fotogrammi > 0;
}

// Runs a tool to the end, its messages on our own standard error. False and
// the reason when it is missing or fails.
bool Esegui(const QString &cartella, const QString &programma, const QString &pacchetto, const QStringList &argomenti,
            QString &errore)
{
    const QString percorso = QStandardPaths::findExecutable(programma);
    if (percorso.isEmpty()) {
        errore = programma + QStringLiteral(" non trovato: installalo (Debian: apt-get install ") + pacchetto
            + QLatin1Char(')');
        return false;
    }
    QProcess processo;
    processo.setWorkingDirectory(cartella);
    processo.setProcessChannelMode(QProcess::ForwardedChannels);
    processo.setStandardInputFile(QProcess::nullDevice());
    processo.start(percorso, argomenti);
    if (!processo.waitForFinished(-1) || processo.exitStatus() != QProcess::NormalExit || processo.exitCode() != 0) {
        errore = programma + QStringLiteral(" non è riuscito");
        if (processo.exitStatus() == QProcess::NormalExit)
            errore += QStringLiteral(" (stato %1)").arg(processo.exitCode());
        return false;
    }
    return true;
}

// vips opens every tile at once: as many files as the system lets a process have.
void PiuFileAperti()
{
    rlimit limite{};
    if (getrlimit(RLIMIT_NOFILE, &limite) == 0 && limite.rlim_cur < limite.rlim_max) {
        limite.rlim_cur = limite.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limite);
    }
}

} // namespace

bool UnisciPiano(const QString &cartella, const COpzioniUnione &opzioni, QString &uscita, QString &errore)
{
    const QDir dir(cartella);
    CDescrizione d;
    if (!LeggiPiano(dir.filePath(NomePiano), d)) {
        errore = cartella + QStringLiteral(": non contiene un piano (plan.txt)");
        return false;
    }
    CPiano piano;
    piano.Poster = d.Poster;
    piano.Colonne = std::max(d.Colonne, 1);
    piano.Righe = std::max(d.Righe, 1);
    piano.Larghezza = d.Larghezza;
    piano.Altezza = d.Altezza;
    piano.Formato = QString::fromLatin1(d.Formato);
    const int64_t figure = d.Poster ? int64_t(d.Colonne) * d.Righe : d.Fotogrammi;
    QStringList nomi;
    QString primaMancante;
    int64_t mancanti = 0;
    for (int64_t k = 0; k < figure; ++k) {
        const QString nome = NomeFigura(piano, size_t(k));
        if (!QFileInfo(dir.filePath(nome)).isFile() && mancanti++ == 0)
            primaMancante = nome;
        nomi << nome;
    }
    if (mancanti > 0) {
        errore = QStringLiteral("mancano %1 figure su %2 (la prima: %3): esegui di nuovo i lavori del piano")
                     .arg(mancanti)
                     .arg(figure)
                     .arg(primaMancante);
        return false;
    }
    QString finale;
    QString provvisorio;
    bool fatto = false;
    if (!d.Poster) {
        finale = QStringLiteral("movie.mp4");
        provvisorio = QStringLiteral(".movie.mp4.part");
        // yuv420p, which every player reads, needs even sides.
        const QString fotogrammi = QStringLiteral("frames/f%05d.") + piano.Formato;
        fatto = Esegui(dir.path(), QStringLiteral("ffmpeg"), QStringLiteral("ffmpeg"),
                       {"-nostdin", "-hide_banner", "-loglevel", "error", "-y", "-framerate",
                        QString::number(opzioni.FotogrammiAlSecondo), "-start_number", "1", "-i", fotogrammi,
                        "-frames:v", QString::number(figure), "-vf", "pad=ceil(iw/2)*2:ceil(ih/2)*2", "-c:v", "libx264",
                        "-pix_fmt", "yuv420p", "-crf", "18", "-movflags", "+faststart", "-f", "mp4", provvisorio},
                       errore);
    } else {
        finale = opzioni.Tiff ? QStringLiteral("poster.tif") : QStringLiteral("poster.png");
        provvisorio = opzioni.Tiff ? QStringLiteral(".poster.part.tif") : QStringLiteral(".poster.part.png");
        // Past 4 GB a TIFF needs 64-bit offsets.
        const bool grande = int64_t(d.Larghezza) * d.Altezza * 3 > (int64_t(3) << 30);
        const QString destinazione = opzioni.Tiff
            ? provvisorio + QStringLiteral("[tile,tile-width=256,tile-height=256,compression=deflate")
                + (grande ? QStringLiteral(",bigtiff]") : QStringLiteral("]"))
            : provvisorio;
        PiuFileAperti();
        fatto = Esegui(dir.path(), QStringLiteral("vips"), QStringLiteral("libvips-tools"),
                       {"arrayjoin", nomi.join(QLatin1Char(' ')), destinazione, "--across", QString::number(d.Colonne)},
                       errore);
    }
    if (!fatto) {
        QFile::remove(dir.filePath(provvisorio));
        return false;
    }
    if (std::rename(QFile::encodeName(dir.filePath(provvisorio)).constData(),
                    QFile::encodeName(dir.filePath(finale)).constData())
        != 0) {
        errore = dir.filePath(finale) + QStringLiteral(": impossibile scriverlo");
        QFile::remove(dir.filePath(provvisorio));
        return false;
    }
    uscita = dir.filePath(finale);
    return true;
}
