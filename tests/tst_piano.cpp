// Plans of movies and posters: the windows of frames and tiles, a tile drawn
// as its part of the whole picture, and the planner's answers to bad input.
// The engines that run plans (GNU parallel, Slurm, ffmpeg, vips) are tested
// by prova_film.sh and prova_slurm.sh.

#include "Disegno.h"
#include "FileDocumento.h"
#include "FinestrePiano.h"
#include "ImmagineQt.h"
#include "Ritaglio.h"

#include <QtTest>

#include <QProcess>
#include <QTemporaryDir>

Q_DECLARE_METATYPE(CParametri)

namespace {

CParametri Campione(const char *nome)
{
    CParametri par;
    const bool letto = LeggiFileParametri(QStringLiteral(QUILLMERE_SORGENTI "/samples/") + QLatin1String(nome), par);
    Q_ASSERT(letto);
    return par;
}

// The window centred on c, `larghezza` wide (decimal texts), at W x H.
CBloccoFinestra Intorno(const CBloccoFinestra &f, const char *re, const char *im, const char *larghezza, int32_t W,
                        int32_t H)
{
    CBloccoFinestra punto = f;
    CReale l;
    const bool letti = LeggiReale(re, punto.Min.re) && LeggiReale(im, punto.Min.im) && LeggiReale(larghezza, l);
    Q_ASSERT(letti);
    punto.Max = punto.Min;
    return FinestraCentrata(punto, l, W, H);
}

// The sample's centre, `larghezza` wide, at W x H.
CParametri Attorno(const char *nome, const char *larghezza, int32_t W, int32_t H)
{
    CParametri par = Campione(nome);
    CReale l;
    LeggiReale(larghezza, l);
    par.Finestra = FinestraCentrata(par.Finestra, l, W, H);
    return par;
}

// a + x (b - a) / n, worked out at 4096 bits and rounded to `bit` bits: the
// corner of a part of a window by other steps than the planner's.
CReale Frazione(const CReale &a, const CReale &b, int64_t x, int64_t n, mpfr_prec_t bit)
{
    CReale r = CReale::Zero(4096);
    mpfr_sub(r.Mp(), b.Mp(), a.Mp(), MPFR_RNDN);
    mpfr_mul_si(r.Mp(), r.Mp(), long(x), MPFR_RNDN);
    mpfr_div_si(r.Mp(), r.Mp(), long(n), MPFR_RNDN);
    mpfr_add(r.Mp(), r.Mp(), a.Mp(), MPFR_RNDN);
    mpfr_prec_round(r.Mp(), bit, MPFR_RNDN);
    return r;
}

// A quotient of two values, as a double.
double Rapporto(const CReale &a, const CReale &b)
{
    CReale r = CReale::Zero(256);
    mpfr_div(r.Mp(), a.Mp(), b.Mp(), MPFR_RNDN);
    return mpfr_get_d(r.Mp(), MPFR_RNDN);
}

// The whole picture, drawn by the engine as the renderer draws it.
QImage Intera(const CParametri &par)
{
    const int32_t W = par.Finestra.Larghezza;
    const int32_t H = par.Finestra.Altezza;
    QImage figura(W, H, QImage::Format_RGB32);
    CImmagineQt vista(figura);
    CDisegno disegno;
    CDisegnatore &metodo = disegno.Prepara(par, &vista, W, H);
    metodo.Disegna(disegno.AreaDisegno);
    return figura;
}

struct CEsito
{
    int Stato = -1;
    QString Errore;
};

CEsito Esegui(const QString &programma, const QStringList &argomenti, const QString &path = QString())
{
    QProcess processo;
    if (!path.isNull()) {
        QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
        ambiente.insert(QStringLiteral("PATH"), path);
        processo.setProcessEnvironment(ambiente);
    }
    processo.start(programma, argomenti);
    if (!processo.waitForFinished(120000) || processo.exitStatus() != QProcess::NormalExit)
        return {};
    return {processo.exitCode(), QString::fromUtf8(processo.readAllStandardError())};
}

void Scrivi(const QString &nome, const QByteArray &testo)
{
    QFile file(nome);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(testo);
}

} // namespace

class TestPiano : public QObject
{
    Q_OBJECT

private slots:
    void tile_data();
    void tile();
    void fotogrammi_data();
    void fotogrammi();
    void fotogrammiPerDimezzamento();
    void ritaglio_data();
    void ritaglio();
    void aiutoEVersione();
    void righeDiComando_data();
    void righeDiComando();
    void unioneImpossibile();
};

void TestPiano::tile_data()
{
    QTest::addColumn<CParametri>("par");
    QTest::addColumn<int>("colonne");
    QTest::addColumn<int>("righe");
    QTest::addColumn<bool>("profonda");
    QTest::newRow("default window") << Campione("default.Quillmere") << 4 << 4 << false;
    CParametri seahorse = Campione("seahorse.Quillmere");
    seahorse.Finestra.Larghezza = 1000;
    seahorse.Finestra.Altezza = 600;
    QTest::newRow("decimal corners, 5 x 3") << seahorse << 5 << 3 << false;
    QTest::newRow("10^-50") << Attorno("profondo.Quillmere", "1e-50", 512, 512) << 4 << 2 << true;
}

void TestPiano::tile()
{
    QFETCH(CParametri, par);
    QFETCH(int, colonne);
    QFETCH(int, righe);
    QFETCH(bool, profonda);
    const CBloccoFinestra &f = par.Finestra;
    const int32_t w = f.Larghezza / colonne;
    const int32_t h = f.Altezza / righe;
    for (int r = 0; r < righe; ++r) {
        for (int c = 0; c < colonne; ++c) {
            const CBloccoFinestra t = SottoFinestra(f, c * w, r * h, w, h);
            QCOMPARE(t.Larghezza, w);
            QCOMPARE(t.Altezza, h);
            QCOMPARE(t.MaxIterazioni, f.MaxIterazioni);
            // 80-bit corners while the tile is drawn in 80 bits.
            const mpfr_prec_t bit = t.Min.re.Precisione();
            QCOMPARE(bit > 64, profonda);
            QVERIFY(t.Min.re == Frazione(f.Min.re, f.Max.re, c * w, f.Larghezza, bit));
            QVERIFY(t.Max.re == Frazione(f.Min.re, f.Max.re, (c + 1) * w, f.Larghezza, bit));
            QVERIFY(t.Max.im == Frazione(f.Max.im, f.Min.im, r * h, f.Altezza, bit));
            QVERIFY(t.Min.im == Frazione(f.Max.im, f.Min.im, (r + 1) * h, f.Altezza, bit));
        }
    }
}

void TestPiano::fotogrammi_data()
{
    QTest::addColumn<CParametri>("fine");
    QTest::addColumn<int>("n");
    QTest::newRow("to 10^-40") << Attorno("profondo.Quillmere", "1e-40", 64, 48) << 24;
    QTest::newRow("into the seahorse valley") << Campione("seahorse.Quillmere") << 7;
    // Outwards: the start narrower than the end.
    QTest::newRow("outwards") << Attorno("default.Quillmere", "40", 64, 64) << 5;
}

void TestPiano::fotogrammi()
{
    QFETCH(CParametri, fine);
    QFETCH(int, n);
    const CBloccoFinestra &f = fine.Finestra;
    const CReale larghezza0(2.5L);
    const double rapporto = Rapporto(LarghezzaFinestra(f), larghezza0);
    const double proporzioni = Rapporto(DifferenzaEsatta(f.Max.im, f.Min.im), LarghezzaFinestra(f));
    const CReale centro = SommaEsatta(f.Min.re, f.Max.re);
    const CReale centroIm = SommaEsatta(f.Min.im, f.Max.im);
    for (int k = 0; k < n; ++k) {
        const CBloccoFinestra q = FinestraFotogramma(larghezza0, f, k, n, 32, 24);
        QCOMPARE(q.Larghezza, 32);
        QCOMPARE(q.Altezza, 24);
        // 80-bit corners lie within a sixteenth of a pixel of the exact ones;
        // deeper ones far closer.
        const double scarto = q.Min.re.Precisione() > 64 ? 1e-12 : 1.0 / (8 * 32);
        const CReale larghezza = LarghezzaFinestra(q);
        // As wide as the start times the same factor for every frame, with the
        // end's proportions, centred on the end.
        QVERIFY(qAbs(Rapporto(larghezza, larghezza0) / std::pow(rapporto, double(k) / (n - 1)) - 1.0) < scarto);
        QVERIFY(qAbs(Rapporto(DifferenzaEsatta(q.Max.im, q.Min.im), larghezza) / proporzioni - 1.0) < scarto);
        QVERIFY(qAbs(Rapporto(DifferenzaEsatta(SommaEsatta(q.Min.re, q.Max.re), centro), larghezza)) < scarto);
        QVERIFY(qAbs(Rapporto(DifferenzaEsatta(SommaEsatta(q.Min.im, q.Max.im), centroIm), larghezza)) < scarto);
    }
    const CBloccoFinestra ultima = FinestraFotogramma(larghezza0, f, n - 1, n, 32, 24);
    QVERIFY(ultima.Min == f.Min && ultima.Max == f.Max);
    QCOMPARE(ultima.Min.re.Precisione(), f.Min.re.Precisione());
}

void TestPiano::fotogrammiPerDimezzamento()
{
    CBloccoFinestra f = Campione("default.Quillmere").Finestra;
    f.Min = CComplessoAlto(Complesso{-0.5L, -0.5L});
    f.Max = CComplessoAlto(Complesso{-0.5L + 2.5L / 1024, -0.5L + 2.5L / 1024});
    // Ten halvings from 2.5: 3 frames each, and the first.
    QCOMPARE(FotogrammiPerDimezzamento(CReale(2.5L), f, 3.0), int64_t(31));
    QCOMPARE(FotogrammiPerDimezzamento(CReale(2.5L), f, 0.25), int64_t(4));
    QCOMPARE(FotogrammiPerDimezzamento(CReale(2.5L / 1024), f, 3.0), int64_t(1));
    QCOMPARE(FotogrammiPerDimezzamento(CReale(2.5L / 1024 / 4), f, 3.0), int64_t(7));
}

void TestPiano::ritaglio_data()
{
    QTest::addColumn<CParametri>("par");
    QTest::addColumn<QRect>("parte");
    // Sizes that are not powers of two: a tile's own window would start its
    // sums from other values than the whole picture's rows do.
    CParametri base = Campione("default.Quillmere");
    base.SceltaMetodo = 0;
    base.Finestra.Larghezza = 96;
    base.Finestra.Altezza = 72;
    QTest::newRow("default window, inside") << base << QRect(13, 7, 40, 30);
    QTest::newRow("default window, one pixel") << base << QRect(95, 71, 1, 1);
    CParametri seahorse = Campione("seahorse.Quillmere");
    seahorse.SceltaMetodo = 0;
    seahorse.Finestra.Larghezza = 120;
    seahorse.Finestra.Altezza = 90;
    QTest::newRow("decimal corners, at the edges") << seahorse << QRect(80, 50, 40, 40);
    CParametri julia = Campione("julia.Quillmere");
    julia.SceltaMetodo = 0;
    julia.Finestra.Larghezza = 100;
    julia.Finestra.Altezza = 60;
    QTest::newRow("Julia") << julia << QRect(30, 0, 50, 60);
    CParametri volterra = base;
    volterra.SceltaFrattale = 2;
    volterra.Finestra.MaxIterazioni = 60;
    QTest::newRow("Volterra-Lotka") << volterra << QRect(50, 20, 46, 40);
    CParametri profonda = Attorno("profondo.Quillmere", "1e-50", 96, 80);
    profonda.SceltaMetodo = 0;
    QTest::newRow("10^-50") << profonda << QRect(0, 40, 50, 40);
    // A boundary point of the Julia set of -0.123 + 0.745i.
    CParametri profondaJulia = julia;
    profondaJulia.FrattaleJulia.Param = {-0.123L, 0.745L};
    profondaJulia.Finestra = Intorno(julia.Finestra, "0.339409221267559810550298", "0.1", "1e-18", 64, 64);
    QTest::newRow("Julia, 10^-18") << profondaJulia << QRect(10, 20, 30, 44);
}

void TestPiano::ritaglio()
{
    QFETCH(CParametri, par);
    QFETCH(QRect, parte);
    QImage figura;
    DisegnaRitaglio(par, parte, 2, figura);
    QCOMPARE(figura.size(), parte.size());
    QCOMPARE(figura, Intera(par).copy(parte));
    // A part of one colour would tell little.
    bool colori = false;
    for (int y = 0; y < figura.height(); ++y)
        for (int x = 0; x < figura.width(); ++x)
            colori = colori || figura.pixel(x, y) != figura.pixel(0, 0);
    QVERIFY(colori || parte.width() * parte.height() == 1);

}

void TestPiano::aiutoEVersione()
{
    for (const char *opzione : {"--help", "--version"}) {
        QProcess processo;
        processo.start(QStringLiteral(QUILLMERE_PLAN), {QLatin1String(opzione)});
        QVERIFY(processo.waitForFinished(60000));
        QCOMPARE(processo.exitCode(), 0);
        QVERIFY(processo.readAllStandardError().isEmpty());
        const QByteArray uscita = processo.readAllStandardOutput();
        QVERIFY(uscita.startsWith(qstrcmp(opzione, "--help") == 0 ? "uso: quillmere-plan" : "quillmere-plan 0.9\n"));
    }
}

void TestPiano::righeDiComando_data()
{
    QTest::addColumn<QStringList>("argomenti");
    QTest::addColumn<int>("stato");
    QTest::addColumn<QString>("messaggio");
    const QString campione = QStringLiteral(QUILLMERE_SORGENTI "/samples/default.Quillmere");
    QTest::newRow("no size") << QStringList{"movie", campione, "d", "--frames", "3"} << 2 << "uso:";
    QTest::newRow("frames and frames per halving")
        << QStringList{"movie", campione, "d", "--frames", "3", "--per-halving", "2", "--size", "8x8"} << 2 << "uso:";
    QTest::newRow("no frames") << QStringList{"movie", campione, "d", "--frames", "0", "--size", "8x8"} << 2 << "uso:";
    QTest::newRow("size") << QStringList{"movie", campione, "d", "--frames", "3", "--size", "8x-8"} << 2 << "uso:";
    QTest::newRow("format") << QStringList{"movie", campione, "d", "--frames", "3", "--size", "8x8", "--format", "gif"}
                            << 2 << "uso:";
    QTest::newRow("no tiles") << QStringList{"poster", campione, "d", "--size", "8x8", "--tiles", "0x2"} << 2
                              << "uso:";
    const QStringList poster{"poster", campione, "d", "--size", "8x8", "--tiles", "2x2"};
    QTest::newRow("unknown option") << poster + QStringList{"--x", "1"} << 2 << "uso:";
    QTest::newRow("zero width") << poster + QStringList{"--width", "0"} << 2 << "uso:";
    QTest::newRow("tiles that do not divide")
        << QStringList{"poster", campione, "d", "--size", "100x100", "--tiles", "3x3"} << 1 << "non si divide";
    QTest::newRow("missing file") << QStringList{"movie", "manca.Quillmere", "d", "--frames", "2", "--size", "8x8"} << 1
                                  << "NON è valido";
    QTest::newRow("empty window") << QStringList{"movie", "vuota.Quillmere", "d", "--frames", "2", "--size", "8x8"} << 1
                                  << "vuota";
    QTest::newRow("folder below a file") << QStringList{"movie", campione, "file/d", "--frames", "2", "--size", "8x8"}
                                         << 1 << "impossibile creare";
    QTest::newRow("another plan") << QStringList{"movie", campione, "piano", "--frames", "3", "--size", "8x8"} << 1
                                  << "un altro piano";
    QTest::newRow("join, no plan") << QStringList{"join", "."} << 1 << "non contiene un piano";
    QTest::newRow("join, missing frames") << QStringList{"join", "piano"} << 1 << "mancano 2 figure su 2";
}

void TestPiano::righeDiComando()
{
    QFETCH(QStringList, argomenti);
    QFETCH(int, stato);
    QFETCH(QString, messaggio);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir::setCurrent(dir.path()));
    Scrivi(QStringLiteral("file"), "no folder\n");
    CParametri vuota;
    vuota.Finestra.Max = vuota.Finestra.Min;
    Scrivi(QStringLiteral("vuota.Quillmere"), QByteArray::fromStdString(TestoParametri(vuota)));
    const QString campione = QStringLiteral(QUILLMERE_SORGENTI "/samples/default.Quillmere");
    const QStringList piano{"movie", campione, "piano", "--frames", "2", "--size", "8x8"};
    QCOMPARE(Esegui(QStringLiteral(QUILLMERE_PLAN), piano).Stato, 0);
    const QStringList prima = QDir(QStringLiteral("piano/frames")).entryList(QDir::Files);
    const CEsito esito = Esegui(QStringLiteral(QUILLMERE_PLAN), argomenti);
    QCOMPARE(esito.Stato, stato);
    QVERIFY2(esito.Errore.contains(messaggio), qPrintable(esito.Errore));
    QVERIFY(esito.Errore.endsWith(QLatin1Char('\n')));
    // Nothing written where the plan was refused.
    QCOMPARE(QDir(QStringLiteral("piano/frames")).entryList(QDir::Files), prima);
    QVERIFY(!QFileInfo::exists(QStringLiteral("d")));
}

// A plan whose pictures are there, joined where ffmpeg and vips are not.
void TestPiano::unioneImpossibile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString campione = QStringLiteral(QUILLMERE_SORGENTI "/samples/default.Quillmere");
    const QString film = dir.filePath(QStringLiteral("film"));
    const QString poster = dir.filePath(QStringLiteral("poster"));
    QCOMPARE(Esegui(QStringLiteral(QUILLMERE_PLAN),
                    {"movie", campione, film, "--frames", "2", "--size", "8x8", "--format", "bmp"})
                 .Stato,
             0);
    QCOMPARE(Esegui(QStringLiteral(QUILLMERE_PLAN), {"poster", campione, poster, "--size", "8x8", "--tiles", "2x1"})
                 .Stato,
             0);
    for (const QString &piano : {film, poster}) {
        QProcess lavori;
        lavori.setWorkingDirectory(piano);
        lavori.start(QStringLiteral("bash"), {QStringLiteral("jobs.txt")});
        QVERIFY(lavori.waitForFinished(60000));
        QCOMPARE(lavori.exitCode(), 0);
    }
    QVERIFY(QFileInfo(film + QStringLiteral("/frames/f00002.bmp")).isFile());
    const QString nessuno = dir.filePath(QStringLiteral("vuota"));
    QVERIFY(QDir().mkpath(nessuno));
    const CEsito senzaFfmpeg = Esegui(QStringLiteral(QUILLMERE_PLAN), {"join", film}, nessuno);
    QCOMPARE(senzaFfmpeg.Stato, 1);
    QVERIFY2(senzaFfmpeg.Errore.contains("ffmpeg non trovato"), qPrintable(senzaFfmpeg.Errore));
    const CEsito senzaVips = Esegui(QStringLiteral(QUILLMERE_PLAN), {"join", poster, "--tiff"}, nessuno);
    QCOMPARE(senzaVips.Stato, 1);
    QVERIFY2(senzaVips.Errore.contains("vips non trovato"), qPrintable(senzaVips.Errore));
    QVERIFY(QDir(film).entryList({"*.mp4*"}, QDir::Files | QDir::Hidden).isEmpty());
    QVERIFY(QDir(poster).entryList({"*.tif*"}, QDir::Files | QDir::Hidden).isEmpty());
}

QTEST_GUILESS_MAIN(TestPiano)
#include "tst_piano.moc"
