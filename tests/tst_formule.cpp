// Formulas, colour tables, colourers and the parameters file.

#include "Coloratori.h"
#include "Errore.h"
#include "FileParametri.h"
#include "Frattali.h"
#include "Orbite.h"
#include "Scelte.h"
#include "ScelteColori.h"

#include <QtTest>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <sstream>

namespace {

CPunto Itera(const CFrattale &f, long double re, long double im, int32_t limite)
{
    CPunto p;
    p.c = {re, im};
    p.z = {99.0L, 99.0L}; // ignored on entry
    p.MaxIterazioni = limite;
    f.Itera(p);
    return p;
}

int32_t Rgb(int r, int g, int b)
{
    return r + g * 256 + b * 65536;
}

// The plain loop of z <- z^2 + k, step after step as the formulas define it:
// what every faster path must give bit for bit.
struct CFinale
{
    long double re, im;
    int32_t n;
};

CFinale CicloSemplice(long double zr, long double zi, long double kr, long double ki, int32_t max)
{
    long double m = 0.0L;
    int32_t n = 0;
    while (n < max && m < 4.0L) {
        const long double x2 = zr * zr;
        const long double y2 = zi * zi;
        const long double nr = (x2 - y2) + kr;
        zi = (zr * 2.0L) * zi + ki;
        zr = nr;
        m = x2 + y2;
        ++n;
    }
    return {zr, zi, n};
}

// Bit for bit: a zero's sign counts.
bool StessiBit(long double a, long double b)
{
    return std::memcmp(&a, &b, 10) == 0;
}

CPunto Punto(long double cre, long double cim, long double zre, long double zim, int32_t n = 0)
{
    CPunto p;
    p.c = {cre, cim};
    p.z = {zre, zim};
    p.Iterazioni = n;
    p.MaxIterazioni = n;
    return p;
}

} // namespace

class TestFormule : public QObject
{
    Q_OBJECT

private slots:
    void mandelbrot_data();
    void mandelbrot();
    void julia();
    void coppie();
    void cicli_data();
    void cicli();
    void volterraLotka();
    void volterraLotkaBordoIncluso();

    void tabellaNuova();
    void tabellaDocumento();
    void tabellaCasiLimite();
    void fasce();
    void sfumatoLog_data();
    void sfumatoLog();
    void nero();
    void conteggioContinuo_data();
    void conteggioContinuo();
    void tavolozze();

    void fileNuovoDocumento();
    void fileNumeri_data();
    void fileNumeri();
    void fileAngoliProfondi();
    void fileLettura_data();
    void fileLettura();
    void fileScelte_data();
    void fileScelte();
    void fileDanneggiato_data();
    void fileDanneggiato();
    void operatoriFlusso();
};

void TestFormule::mandelbrot_data()
{
    QTest::addColumn<double>("re");
    QTest::addColumn<double>("im");
    QTest::addColumn<int>("limite");
    QTest::addColumn<int>("iterazioni");
    QTest::addColumn<double>("zre");
    QTest::addColumn<double>("zim");

    QTest::newRow("limit 0: no step") << 0.3 << -0.2 << 0 << 0 << 0.3 << -0.2;
    QTest::newRow("negative limit: no step") << 5.0 << 5.0 << -3 << 0 << 5.0 << 5.0;
    QTest::newRow("origin is interior") << 0.0 << 0.0 << 120 << 120 << 0.0 << 0.0;
    QTest::newRow("(3,0) escapes after one step") << 3.0 << 0.0 << 120 << 1 << 12.0 << 0.0;
    QTest::newRow("(-2,0): |c|^2 = 4 ends the loop") << -2.0 << 0.0 << 120 << 1 << 2.0 << 0.0;
    QTest::newRow("(1,0): 1, 2, 5") << 1.0 << 0.0 << 120 << 2 << 5.0 << 0.0;
    QTest::newRow("(0,1): period 2, odd limit") << 0.0 << 1.0 << 7 << 7 << -1.0 << 1.0;
    QTest::newRow("(0,1): period 2, even limit") << 0.0 << 1.0 << 120 << 120 << 0.0 << -1.0;
    // Found periodic early: the largest limit costs no more.
    QTest::newRow("(0,1): period 2, largest limit") << 0.0 << 1.0 << 2147483647 << 2147483647 << -1.0 << 1.0;
    QTest::newRow("origin, largest limit") << 0.0 << 0.0 << 2147483647 << 2147483647 << 0.0 << 0.0;
    QTest::newRow("(-1,1): three steps") << -1.0 << 1.0 << 120 << 3 << -9.0 << -5.0;
}

void TestFormule::mandelbrot()
{
    QFETCH(double, re);
    QFETCH(double, im);
    QFETCH(int, limite);
    QFETCH(int, iterazioni);
    QFETCH(double, zre);
    QFETCH(double, zim);
    const CPunto p = Itera(Mandelbrot(), re, im, limite);
    QCOMPARE(p.Iterazioni, iterazioni);
    QCOMPARE(double(p.z.re), zre);
    QCOMPARE(double(p.z.im), zim);
    QCOMPARE(p.c, (Complesso{re, im}));
}

void TestFormule::julia()
{
    Julia j;
    j.Param = {-1.25L, 0.0L};
    CPunto p = Itera(j, 0, 0, 2);
    QCOMPARE(p.Iterazioni, 2);
    QCOMPARE(double(p.z.re), 0.3125); // 0, -1.25, 0.3125
    p = Itera(j, 0, 0, 120);
    QCOMPARE(p.Iterazioni, 120);
    // With the constant 1 the orbit of 0 runs 0, 1, 2, 5: the step from 2
    // (squared modulus 4) is the last one.
    j.Param = {1.0L, 0.0L};
    p = Itera(j, 0, 0, 120);
    QCOMPARE(p.Iterazioni, 3);
    QCOMPARE(double(p.z.re), 5.0);
    // The constant, not the point, is added at each step.
    j.Param = {0.0L, 0.0L};
    p = Itera(j, 0.5L, 0, 120);
    QCOMPARE(p.Iterazioni, 120);
    QVERIFY(p.z.re < 1e-30L);
}

void TestFormule::coppie()
{
    // Orbits iterated in a batch, two or three at a time, end exactly where Itera ends
    // each one: same count, same final value, whatever the neighbours do.
    std::vector<Complesso> punti = {{0, 0}, {-2, 0}, {3, 0}, {0, 1}, {-0.75L, 0.1L}, {0.25L, 0}, {-1.25L, 0},
                                    {0.2501L, 0}, {-0.7436438870371587L, 0.1318259042053119L}, {2, 2}, {-0.1L, 0.65L}};
    uint64_t stato = 12345;
    for (int k = 0; k < 400; ++k) {
        stato = stato * 6364136223846793005ull + 1442695040888963407ull;
        const long double re = -2.2L + (stato >> 11) * (2.9L / 9007199254740992.0L);
        stato = stato * 6364136223846793005ull + 1442695040888963407ull;
        const long double im = -1.4L + (stato >> 11) * (2.8L / 9007199254740992.0L);
        punti.push_back({re, im});
    }
    // The same points rounded to doubles: batches whose constants are all
    // doubles take a path of their own.
    std::vector<Complesso> arrotondati;
    for (const Complesso &c : punti)
        arrotondati.push_back({static_cast<double>(c.re), static_cast<double>(c.im)});
    for (const std::vector<Complesso> *insieme : {&punti, &arrotondati}) {
        for (const int32_t limite : {0, 1, 2, 7, 300}) {
            // Batches of every size from empty to all the points, as the drawing
            // methods hand them in.
            for (const size_t lotto : {size_t(0), size_t(1), size_t(2), size_t(3), size_t(64), insieme->size()}) {
                for (size_t inizio = 0; inizio + lotto <= insieme->size(); inizio += std::max<size_t>(lotto, 1)) {
                    std::vector<COrbita> orbite(lotto);
                    for (size_t k = 0; k < lotto; ++k) {
                        const Complesso &c = (*insieme)[inizio + k];
                        QVERIFY(orbite[k].Imposta(c.re, c.im, c.re, c.im));
                        orbite[k].n = -5;
                    }
                    IteraLotto(orbite.data(), int32_t(lotto), limite);
                    for (size_t k = 0; k < lotto; ++k) {
                        const Complesso &c = (*insieme)[inizio + k];
                        const CPunto atteso = Itera(Mandelbrot(), c.re, c.im, limite);
                        QCOMPARE(orbite[k].n, atteso.Iterazioni);
                        QCOMPARE(orbite[k].zr.Reale, atteso.z.re);
                        QCOMPARE(orbite[k].zi.Reale, atteso.z.im);
                    }
                    if (lotto == 0)
                        break;
                }
            }
        }
    }
    // A constant of its own makes it Julia's step.
    // The second constant is a pair of doubles.
    for (const Complesso costante : {Complesso{-0.8L, 0.156L}, Complesso{-0.75L, 0.125L}}) {
        Julia j;
        j.Param = costante;
        COrbita o[3];
        const Complesso inizi[3] = {{0.3L, -0.2L}, {0.0L, 0.0L}, {1.5L, 1.5L}};
        for (int k = 0; k < 3; ++k) {
            QVERIFY(o[k].Imposta(inizi[k].re, inizi[k].im, j.Param.re, j.Param.im));
        }
        IteraLotto(o, 3, 50);
        for (int k = 0; k < 3; ++k) {
            const CPunto atteso = Itera(j, inizi[k].re, inizi[k].im, 50);
            QCOMPARE(o[k].n, atteso.Iterazioni);
            QCOMPARE(o[k].zr.Reale, atteso.z.re);
            QCOMPARE(o[k].zi.Reale, atteso.z.im);
        }
    }

    // Values are held as two doubles only where their sum is exact.
    COrbita c;
    QVERIFY(c.Imposta(-0.7436438870371587394L, 1.0L / 3.0L, 0.1L, -0.1L));
    QCOMPARE(static_cast<long double>(c.zr.Parti[0]) + c.zr.Parti[1], -0.7436438870371587394L);
    QCOMPARE(static_cast<long double>(c.kr[0]) + c.kr[1], 0.1L);
    QVERIFY(!c.Imposta(1e400L, 0.0L, 0.0L, 0.0L));
    QVERIFY(!c.Imposta(0.0L, 0.0L, 0.0L, -1e-4000L));
    QVERIFY(!c.Imposta(0.0L, 3e-308L + 1e-320L / 3, 0.0L, 0.0L));
    // A negative zero stays one.
    QVERIFY(c.Imposta(-0.0L, 0.0L, -0.0L, 1.0L));
    QVERIFY(std::signbit(static_cast<long double>(c.zr.Parti[0]) + c.zr.Parti[1]));
    QVERIFY(std::signbit(static_cast<long double>(c.kr[0]) + c.kr[1]));
    QVERIFY(!std::signbit(static_cast<long double>(c.zi.Parti[0]) + c.zi.Parti[1]));
}

void TestFormule::cicli_data()
{
    // An orbit from z0 with the constant k (Mandelbrot where they are the
    // same point), the limits to try, and the steps by which its value has
    // surely repeated (0: not within any limit here).
    QTest::addColumn<double>("zr");
    QTest::addColumn<double>("zi");
    QTest::addColumn<double>("kr");
    QTest::addColumn<double>("ki");
    QTest::addColumn<QList<int>>("limiti");
    QTest::addColumn<int>("ripete");
    // Around the first save (after 128 steps) and the first comparisons.
    const QList<int> presto{1, 127, 128, 129, 130, 143, 144, 145, 146, 147, 160, 161, 257, 1000000, 1000001};
    QTest::newRow("0: fixed from the start") << 0.0 << 0.0 << 0.0 << 0.0 << presto << 1;
    QTest::newRow("-1: period 2 from the start") << -1.0 << 0.0 << -1.0 << 0.0 << presto << 2;
    QTest::newRow("i: period 2 after a step") << 0.0 << 1.0 << 0.0 << 1.0 << presto << 3;
    // Equal values whose zeros differ in sign: -1 - 0i goes (0, +0), (-1, +0),
    // (0, -0), (-1, -0), so its period is 4, not 2.
    QTest::newRow("-1 - 0i: a zero's sign") << -1.0 << -0.0 << -1.0 << -0.0 << presto << 4;
    QTest::newRow("Julia -0.12 + 0.75i: period 3") << 0.1 << 0.2 << -0.12 << 0.75 << presto << 55;
    QTest::newRow("period 506 from step 22231")
        << 0.25063510334024475 << -7.9864659748289657e-05 << 0.25063510334024475 << -7.9864659748289657e-05
        << QList<int>{22736, 22737, 22738, 22739, 100000, 100003} << 22737;
    QTest::newRow("period 2860 from step 97838")
        << -0.74899241897559565 << -0.028656757702719433 << -0.74899241897559565 << -0.028656757702719433
        << QList<int>{100697, 100698, 100699, 500000} << 100698;
    // Parabolic: creeps towards 0.5 and never repeats within these limits.
    QTest::newRow("0.25: never repeats") << 0.25 << 0.0 << 0.25 << 0.0 << QList<int>{300000} << 0;
}

void TestFormule::cicli()
{
    // The cycle check of every path (Itera, the three-orbit x87 routine for
    // constants that are doubles, the two-orbit one beside a constant that
    // is not, the portable loop) ends every orbit exactly where the plain
    // loop ends it.
    QFETCH(double, zr);
    QFETCH(double, zi);
    QFETCH(double, kr);
    QFETCH(double, ki);
    QFETCH(QList<int>, limiti);
    QFETCH(int, ripete);
    const bool mandelbrot = zr == kr && zi == ki;
    // A neighbour whose constant no double holds, escaping at once or late.
    const long double fuori = 0.3L + 0x1p-60L;
    for (const int limite : limiti) {
        const CFinale atteso = CicloSemplice(zr, zi, kr, ki, limite);
        const auto controlla = [&](long double re, long double im, int32_t n) {
            QCOMPARE(n, atteso.n);
            QVERIFY2(StessiBit(re, atteso.re) && StessiBit(im, atteso.im), qPrintable(QString::number(limite)));
        };
        // Spared steps: none before the value repeats, some well after.
        const auto risparmio = [&](int32_t risparmiati) {
            if (ripete == 0 || limite < ripete)
                QCOMPARE(risparmiati, 0);
            else if (limite > 4 * ripete + 4096)
                QVERIFY(risparmiati > 0);
        };

        Julia j;
        j.Param = {kr, ki};
        CPunto p;
        p.c = {zr, zi};
        p.MaxIterazioni = limite;
        CEsitoOrbita esito;
        QVERIFY(mandelbrot ? Mandelbrot().Itera(p, CSosta(), esito) : j.Itera(p, CSosta(), esito));
        controlla(p.z.re, p.z.im, p.Iterazioni);
        risparmio(esito.Risparmiati);

        for (const bool tre : {true, false}) {
            std::vector<COrbita> lotto(5);
            for (COrbita &o : lotto)
                QVERIFY(o.Imposta(zr, zi, kr, ki));
            if (!tre) {
                QVERIFY(lotto[1].Imposta(fuori, 2.0L, fuori, 2.0L));
                QVERIFY(lotto[3].Imposta(-0.75L + 0x1p-60L, 0.01L, -0.75L + 0x1p-60L, 0.01L));
            }
            QVERIFY(IteraLotto(lotto.data(), int32_t(lotto.size()), limite));
            for (const size_t k : {size_t(0), size_t(2), size_t(4)}) {
                controlla(lotto[k].zr.Reale, lotto[k].zi.Reale, lotto[k].n);
                risparmio(lotto[k].Risparmiati);
            }
            if (!tre) {
                const CFinale vicino = CicloSemplice(fuori, 2.0L, fuori, 2.0L, limite);
                QCOMPARE(lotto[1].n, vicino.n);
                QVERIFY(StessiBit(lotto[1].zr.Reale, vicino.re));
            }
        }
    }
}

void TestFormule::volterraLotka()
{
    CParametri par; // the document's defaults
    const VolterraLotka &v = par.FrattaleVolterraLotka;
    QCOMPARE(v.Param1, static_cast<long double>(0.65));
    QVERIFY(v.Param1 != 0.65L); // the widened double, not the nearest extended value

    CPunto p = Itera(v, 1, 1, 50);
    QCOMPARE(p.Iterazioni, 50);
    QCOMPARE(p.z, (Complesso{1.0L, 1.0L}));
    p = Itera(v, 0, 0, 50);
    QCOMPARE(p.Iterazioni, 50);
    QCOMPARE(p.z, (Complesso{0.0L, 0.0L}));
    // Fixed points are found periodic: the largest limit costs no more.
    p = Itera(v, 1, 1, 2147483647);
    QCOMPARE(p.Iterazioni, 2147483647);
    QCOMPARE(p.z, (Complesso{1.0L, 1.0L}));

    // From (600, 0): e = 0, a = 600, b = 0, so y stays 0 and x = h*(600 + x1) + 600.
    p = Itera(v, 600, 0, 50);
    QCOMPARE(p.Iterazioni, 1);
    const long double x1 = 600.0L * v.Param2 + 600.0L;
    QCOMPARE(p.z.re, (v.Param1 * 0.5L) * (600.0L + x1) + 600.0L);
    QCOMPARE(p.z.im, 0.0L);
}

void TestFormule::volterraLotkaBordoIncluso()
{
    // With both step lengths 0 the point never moves, so |x| + |y| is that of c.
    VolterraLotka v;
    CPunto p = Itera(v, 250, 250, 40);
    QCOMPARE(p.Iterazioni, 40); // s = 500 goes on
    p = Itera(v, 250, 250, 2147483647);
    QCOMPARE(p.Iterazioni, 2147483647);
    QCOMPARE(p.z, (Complesso{250.0L, 250.0L}));
    p = Itera(v, 250, 250.5L, 40);
    QCOMPARE(p.Iterazioni, 1); // s > 500 ends after the first step
    p = Itera(v, -250.5L, -250, 40);
    QCOMPARE(p.Iterazioni, 1);
}

void TestFormule::tabellaNuova()
{
    const CTabellaColori t;
    QCOMPARE(t.Conteggio(), 32);
    QCOMPARE(t.Colore(0), Rgb(255, 0, 0));
    QCOMPARE(t.Colore(1), Rgb(247, 7, 0));
    QCOMPARE(t.Colore(2), Rgb(239, 15, 0));
    QCOMPARE(t.Colore(3), Rgb(231, 23, 0));
    QCOMPARE(t.Colore(16), Rgb(127, 127, 0));
    QCOMPARE(t.Colore(31), Rgb(7, 247, 0));
}

void TestFormule::tabellaDocumento()
{
    CInternoLog log;
    CEsternoFasce fasce;
    PreparaTabelleDocumento(log, fasce);
    QCOMPARE(fasce.Tabella.Conteggio(), 32);
    QCOMPARE(fasce.Tabella.Colore(31), Rgb(7, 247, 0));
    QCOMPARE(log.Tabella.Conteggio(), 64);
    QCOMPARE(log.Tabella.Colore(0), Rgb(255, 0, 0));
    QCOMPARE(log.Tabella.Colore(1), Rgb(255, 3, 0));
    QCOMPARE(log.Tabella.Colore(2), Rgb(255, 7, 0));
    QCOMPARE(log.Tabella.Colore(3), Rgb(255, 11, 0));
    QCOMPARE(log.Tabella.Colore(32), Rgb(255, 127, 0));
    QCOMPARE(log.Tabella.Colore(63), Rgb(255, 251, 0));
    for (int i = 0; i < 64; ++i)
        QCOMPARE(log.Tabella.Colore(i), Rgb(255, 255 * i / 64, 0));
}

void TestFormule::tabellaCasiLimite()
{
    CTabellaColori t;
    // Bits 24-31 play no part.
    t.ColoreIniziale = int32_t(0xFF0000FFu);
    t.Ricalcola();
    QCOMPARE(t.Colore(0), 0xFF);

    // Entries keep the old gradient until the rebuild.
    t.ColoreIniziale = t.ColoreFinale = Rgb(10, 20, 30);
    t.NumeroColori = 5;
    QCOMPARE(t.Conteggio(), 32);
    t.Ricalcola();
    QCOMPARE(t.Conteggio(), 5);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(t.Colore(i), Rgb(10, 20, 30));

    // A one-entry table holds the start colour, and both table colourers return it.
    CInternoLog log;
    CEsternoFasce fasce;
    log.Tabella.ColoreIniziale = fasce.Tabella.ColoreIniziale = Rgb(1, 2, 3);
    log.Tabella.NumeroColori = fasce.Tabella.NumeroColori = 1;
    log.Tabella.Ricalcola();
    fasce.Tabella.Ricalcola();
    QCOMPARE(fasce.Colore(Punto(0, 0, 9, 9, 17)), Rgb(1, 2, 3));
    QCOMPARE(log.Colore(Punto(0, 0, 0.1L, 0, 17)), Rgb(1, 2, 3));

    // An empty table: the colourers give black instead of dividing by zero.
    fasce.Tabella.NumeroColori = 0;
    fasce.Tabella.Ricalcola();
    QCOMPARE(fasce.Tabella.Conteggio(), 0);
    QCOMPARE(fasce.Colore(Punto(0, 0, 9, 9, 17)), 0);

    // A table that cannot be allocated raises the program's error and holds nothing.
    fasce.Tabella.NumeroColori = -1;
    try {
        fasce.Tabella.Ricalcola();
        QFAIL("no error raised");
    } catch (const CErrore &e) {
        QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("Fallita allocazione memoria per tabella dei colori"));
    }
    QCOMPARE(fasce.Tabella.Conteggio(), 0);
    fasce.Tabella.NumeroColori = 32;
    fasce.Tabella.ColoreIniziale = 0xFF;
    fasce.Tabella.Ricalcola();
    QCOMPARE(fasce.Tabella.Colore(31), Rgb(7, 247, 0));
}

void TestFormule::fasce()
{
    const CEsternoFasce f;
    QCOMPARE(f.Colore(Punto(0, 0, 0, 0, 0)), Rgb(255, 0, 0));
    QCOMPARE(f.Colore(Punto(0, 0, 0, 0, 32)), Rgb(255, 0, 0));
    QCOMPARE(f.Colore(Punto(0, 0, 0, 0, 1)), Rgb(247, 7, 0));
    QCOMPARE(f.Colore(Punto(0, 0, 0, 0, 33)), Rgb(247, 7, 0));
    QCOMPARE(f.Colore(Punto(0, 0, 0, 0, 16)), Rgb(127, 127, 0));
}

void TestFormule::sfumatoLog_data()
{
    QTest::addColumn<double>("dx");
    QTest::addColumn<double>("dy");
    QTest::addColumn<int>("indice");

    QTest::newRow("z = c") << 0.0 << 0.0 << 0;
    QTest::newRow("s = 1") << 1.0 << 0.0 << 0;
    QTest::newRow("s = 0.5") << 0.5 << 0.5 << 3;
    QTest::newRow("s = 2") << 1.0 << 1.0 << 3;     // n = -3: the magnitude counts
    QTest::newRow("s = 0.01") << 0.1 << 0.0 << 23;
    QTest::newRow("s = 1e-10") << 1e-5 << 0.0 << 51; // n = 115
    QTest::newRow("s = 4") << 0.0 << -2.0 << 6;     // 5 ln 4 = 6.93, truncated
    // Below the double range the extended logarithm carries the cycle on:
    // 5 x 921.03 = 4605, and 4605 mod 64 = 61.
    QTest::newRow("s = 1e-400") << 0.0 << 0.0 << -1;
}

void TestFormule::sfumatoLog()
{
    QFETCH(double, dx);
    QFETCH(double, dy);
    QFETCH(int, indice);
    CInternoLog log;
    CEsternoFasce fasce;
    PreparaTabelleDocumento(log, fasce);
    CPunto p = Punto(0.25L, -0.5L, 0.25L + dx, -0.5L + dy, 120);
    if (indice < 0) {
        p = Punto(0, 0, 1e-200L, 0, 120);
        indice = 61;
    }
    QCOMPARE(log.Colore(p), log.Tabella.Colore(indice));
}

void TestFormule::nero()
{
    const CInternoSolido nero;
    QCOMPARE(nero.Colore(Punto(0, 0, 0.5L, 0.5L, 120)), 0);
    QCOMPARE(nero.Colore(Punto(3, 4, 0, 0, 7)), 0);
}

void TestFormule::conteggioContinuo_data()
{
    // Points along a ray towards the set, from |c| = 2 across many counts:
    // the continuous count is that of the orbit followed far beyond the
    // bailout, where j - log2(log2 |z_j|) has settled, smooth across the
    // boundaries between counts, where the iteration count jumps.
    QTest::addColumn<long double>("angolo");
    QTest::addColumn<bool>("julia");
    QTest::newRow("left, below the axis") << -2.8L << false;
    QTest::newRow("towards the period-3 bulb") << 1.9L << false;
    QTest::newRow("above the cardioid") << 1.3L << false;
    QTest::newRow("right, past the cusp") << 0.05L << false;
    QTest::newRow("Julia -0.8 + 0.156i") << 0.7L << true;
}

void TestFormule::conteggioContinuo()
{
    QFETCH(long double, angolo);
    QFETCH(bool, julia);
    const Mandelbrot m;
    Julia j;
    j.Param = {-0.8L, 0.156L};
    int32_t prima = -1;
    int salti = 0;
    for (long double r = 2.0L; r > 0.3L; r -= 0.0005L) {
        const long double cr = r * std::cos(angolo);
        const long double ci = r * std::sin(angolo);
        const CPunto p = Itera(julia ? static_cast<const CFrattale &>(j) : m, cr, ci, 1000);
        if (p.Iterazioni == 1000)
            break;
        // The same orbit, on until |z| passes 10^30.
        const Complesso k = julia ? j.Param : p.c;
        long double zr = cr, zi = ci;
        int32_t passi = 0;
        while (zr * zr + zi * zi < 1e60L) {
            const long double nr = zr * zr - zi * zi + k.re;
            zi = 2.0L * zr * zi + k.im;
            zr = nr;
            ++passi;
        }
        const double lontano = double(passi) - double(std::log2(std::log2(std::sqrt(zr * zr + zi * zi))));
        const double continuo = ConteggioContinuo(p, k);
        QVERIFY2(std::fabs(continuo - lontano) < 1e-3,
                 qPrintable(QStringLiteral("r %1: %2, %3").arg(double(r)).arg(continuo).arg(lontano)));
        salti += int(prima >= 0 && p.Iterazioni != prima);
        prima = p.Iterazioni;
    }
    // The ray crossed several counts.
    QVERIFY(salti >= 5);
}

void TestFormule::tavolozze()
{
    // Each palette runs through its colours without a seam where the cycle
    // closes, never leaves the range its neighbouring entries span by more
    // than a rounding, and starts dark: the count 0 lands on the first entry.
    const CTavolozze tavolozze;
    const auto canale = [](int32_t colore, int k) { return (colore >> (8 * k)) & 0xFF; };
    for (int n = 1; n <= CTavolozze::Numero; ++n) {
        const CTavolozza &t = tavolozze.Tavolozza(n);
        int luce = 0;
        for (int32_t i = 0; i < CTavolozza::Voci; ++i) {
            const int32_t a = t.Colore(i);
            const int32_t b = t.Colore((i + 1) % CTavolozza::Voci);
            QCOMPARE(a & ~0xFFFFFF, 0);
            for (int k = 0; k < 3; ++k)
                QVERIFY2(std::abs(canale(a, k) - canale(b, k)) <= 12,
                         qPrintable(QStringLiteral("palette %1, entry %2").arg(n).arg(i)));
            luce = std::max(luce, canale(a, 0) + canale(a, 1) + canale(a, 2));
        }
        const int32_t primo = t.Colore(0);
        QVERIFY(canale(primo, 0) + canale(primo, 1) + canale(primo, 2) < 160);
        QVERIFY(luce > 600);
        // By the iteration count, where the formula has no continuous one.
        CEsternoSfumato sfumato;
        sfumato.Imposta(t);
        QCOMPARE(sfumato.Colore(Punto(0, 0, 100, 0, 0)), primo);
        QCOMPARE(sfumato.Colore(Punto(0, 0, 100, 0, 5)), t.Colore(5 * 32));
        QCOMPARE(sfumato.Colore(Punto(0, 0, 100, 0, 37)), t.Colore(5 * 32));
    }
}

void TestFormule::fileNuovoDocumento()
{
    const CParametri par;
    const std::string atteso = "0.9\r\n-2\r\n-1.25\r\n0.5\r\n1.25\r\n256\r\n256\r\n120\r\n"
                               "0\r\n1\r\n0\r\n1\r\n-1.25\r\n0\r\n0.65\r\n0.3\r\n";
    QCOMPARE(QString::fromStdString(TestoParametri(par)), QString::fromStdString(atteso));
}

void TestFormule::fileNumeri_data()
{
    QTest::addColumn<double>("valore");
    QTest::addColumn<QString>("testo");
    QTest::newRow("-2") << -2.0 << "-2";
    QTest::newRow("1e-4") << 0.0001 << "0.0001";
    QTest::newRow("1e-5") << 0.00001 << "1e-05";
    QTest::newRow("123456") << 123456.0 << "123456";
    QTest::newRow("1234567") << 1234567.0 << "1.23457e+06";
    QTest::newRow("-0.7436438870371") << -0.7436438870371 << "-0.743644";
    QTest::newRow("0.3 widened") << 0.3 << "0.3";
}

void TestFormule::fileNumeri()
{
    // Parameters other than the corners keep the six-digit general form.
    QFETCH(double, valore);
    QFETCH(QString, testo);
    CParametri par;
    par.FrattaleVolterraLotka.Param2 = valore;
    const QStringList righe = QString::fromStdString(TestoParametri(par)).split("\r\n");
    QCOMPARE(righe.size(), 17);
    QCOMPARE(righe.at(15), testo);
}

void TestFormule::fileAngoliProfondi()
{
    CParametri par;
    // A window 1e-18 wide: about twenty units in the last place of the 80-bit corners.
    par.Finestra.Min = {-0.743643887037158704L, 0.131825904205311970L};
    par.Finestra.Max = {-0.743643887037158703L, 0.131825904205311971L};
    par.FrattaleJulia.Param = {-0.7436438870371L, 0.285L};
    const std::string testo = TestoParametri(par);
    const QStringList righe = QString::fromStdString(testo).split("\r\n");
    QVERIFY(righe.at(1).size() > 10); // more digits where six would not read back
    QCOMPARE(righe.at(12), QStringLiteral("-0.743644"));
    QCOMPARE(righe.at(13), QStringLiteral("0.285"));

    std::istringstream in(testo);
    CParametri letto;
    QVERIFY(LeggiParametri(in, letto));
    QCOMPARE(letto.Finestra.Min, par.Finestra.Min);
    QCOMPARE(letto.Finestra.Max, par.Finestra.Max);
    QVERIFY(letto.Finestra.Min.re != letto.Finestra.Max.re);
    QCOMPARE(letto.FrattaleJulia.Param.re, -0.743644L);

    // Corners that six digits already carry exactly are written as before.
    QVERIFY(QString::fromStdString(TestoParametri(CParametri())).startsWith("0.9\r\n-2\r\n-1.25\r\n"));
}

void TestFormule::fileLettura_data()
{
    QTest::addColumn<QString>("testo");
    QTest::newRow("CR LF") << "0.9\r\n-1\r\n-0.5\r\n1\r\n0.5\r\n64\r\n32\r\n500\r\n1\r\n0\r\n0\r\n0\r\n0.285\r\n0.01\r\n0.5\r\n0.25\r\n";
    QTest::newRow("LF") << "0.9\n-1\n-0.5\n1\n0.5\n64\n32\n500\n1\n0\n0\n0\n0.285\n0.01\n0.5\n0.25\n";
    QTest::newRow("one line") << "0.9 -1 -0.5 1 0.5 64 32 500 1 0 0 0 0.285 0.01 0.5 0.25";
    QTest::newRow("version 0.90, blank lines") << "0.90\n\n-1\n  -0.5\n1\n0.5\n64\n32\n500\n1\n0\n0\n0\n0.285\n0.01\n0.5\n0.25\n\n";
}

void TestFormule::fileLettura()
{
    QFETCH(QString, testo);
    std::istringstream in(testo.toStdString());
    CParametri par;
    QVERIFY(LeggiParametri(in, par));
    QCOMPARE(par.Finestra.Min, (Complesso{-1.0L, -0.5L}));
    QCOMPARE(par.Finestra.Max, (Complesso{1.0L, 0.5L}));
    QCOMPARE(par.Finestra.Larghezza, 64);
    QCOMPARE(par.Finestra.Altezza, 32);
    QCOMPARE(par.Finestra.MaxIterazioni, 500);
    QCOMPARE(int(par.SceltaFrattale), 1);
    QCOMPARE(int(par.SceltaInterno), 0);
    QCOMPARE(int(par.SceltaMetodo), 0);
    QCOMPARE(par.FrattaleJulia.Param, (Complesso{0.285L, 0.01L}));
    QCOMPARE(par.FrattaleVolterraLotka.Param1, 0.5L);
    QCOMPARE(par.FrattaleVolterraLotka.Param2, 0.25L);
}

void TestFormule::fileScelte_data()
{
    // The four choices as the file gives them; what the document keeps (their
    // low 8 bits); what a drawing uses: formula 0 Mandelbrot, 1 Julia, any
    // other Volterra-Lotka; interior 0 black, any other the shading; method 0
    // point by point, any other block; exterior 1 to 4 a palette, 0 and any
    // other value the bands.
    QTest::addColumn<QList<int>>("scritte");
    QTest::addColumn<QList<int>>("tenute");
    QTest::addColumn<int>("frattale");
    QTest::addColumn<int>("interno");
    QTest::addColumn<int>("metodo");
    QTest::addColumn<int>("esterno");
    QTest::newRow("as written") << QList<int>{1, 0, 0, 0} << QList<int>{1, 0, 0, 0} << 1 << 0 << 0 << 0;
    QTest::newRow("formula 9") << QList<int>{9, 1, 0, 1} << QList<int>{9, 1, 0, 1} << 2 << 1 << 1 << 0;
    QTest::newRow("formula -1") << QList<int>{-1, 1, 0, 1} << QList<int>{-1, 1, 0, 1} << 2 << 1 << 1 << 0;
    QTest::newRow("formula 300") << QList<int>{300, 1, 0, 1} << QList<int>{44, 1, 0, 1} << 2 << 1 << 1 << 0;
    QTest::newRow("formula 256") << QList<int>{256, 1, 0, 1} << QList<int>{0, 1, 0, 1} << 0 << 1 << 1 << 0;
    QTest::newRow("formula 257") << QList<int>{257, 1, 0, 1} << QList<int>{1, 1, 0, 1} << 1 << 1 << 1 << 0;
    QTest::newRow("interior 5") << QList<int>{0, 5, 0, 1} << QList<int>{0, 5, 0, 1} << 0 << 1 << 1 << 0;
    QTest::newRow("interior -256") << QList<int>{0, -256, 0, 1} << QList<int>{0, 0, 0, 1} << 0 << 0 << 1 << 0;
    QTest::newRow("exterior 1") << QList<int>{0, 1, 1, 1} << QList<int>{0, 1, 1, 1} << 0 << 1 << 1 << 1;
    QTest::newRow("exterior 4") << QList<int>{0, 1, 4, 1} << QList<int>{0, 1, 4, 1} << 0 << 1 << 1 << 1;
    QTest::newRow("exterior 5") << QList<int>{0, 1, 5, 1} << QList<int>{0, 1, 5, 1} << 0 << 1 << 1 << 0;
    QTest::newRow("exterior 257") << QList<int>{0, 1, 257, 1} << QList<int>{0, 1, 1, 1} << 0 << 1 << 1 << 1;
    QTest::newRow("exterior -7") << QList<int>{0, 1, -7, 1} << QList<int>{0, 1, -7, 1} << 0 << 1 << 1 << 0;
    QTest::newRow("method 7") << QList<int>{0, 1, 0, 7} << QList<int>{0, 1, 0, 7} << 0 << 1 << 1 << 0;
    QTest::newRow("method 512") << QList<int>{0, 1, 0, 512} << QList<int>{0, 1, 0, 0} << 0 << 1 << 0 << 0;
    QTest::newRow("method -2147483648") << QList<int>{0, 1, 0, INT32_MIN} << QList<int>{0, 1, 0, 0} << 0 << 1 << 0
                                        << 0;
}

void TestFormule::fileScelte()
{
    QFETCH(QList<int>, scritte);
    QFETCH(QList<int>, tenute);
    QFETCH(int, frattale);
    QFETCH(int, interno);
    QFETCH(int, metodo);
    QFETCH(int, esterno);
    QString testo = QStringLiteral("0.9 -1 -0.5 1 0.5 64 32 500");
    for (const int scelta : scritte)
        testo += QLatin1Char(' ') + QString::number(scelta);
    testo += QStringLiteral(" 0.285 0.01 0.5 0.25");
    std::istringstream in(testo.toStdString());
    CParametri par;
    QVERIFY(LeggiParametri(in, par));
    QCOMPARE((QList<int>{par.SceltaFrattale, par.SceltaInterno, par.SceltaEsterno, par.SceltaMetodo}), tenute);
    // Everything after the choices is read as well.
    QCOMPARE(par.FrattaleVolterraLotka.Param2, 0.25L);

    const Mandelbrot m;
    const Julia j;
    const VolterraLotka v;
    const CFrattale *formule[] = {&m, &j, &v};
    QCOMPARE(&FrattaleDaScelta(par.SceltaFrattale, m, j, v), formule[frattale]);
    CInternoSolido nero;
    CInternoLog log;
    CColoratoreInterno *interni[] = {&nero, &log};
    QCOMPARE(&InternoDaScelta(par.SceltaInterno, nero, log), interni[interno]);
    CEsternoFasce fasce;
    CEsternoSfumato sfumato;
    const CTavolozze tavolozze;
    CColoratoreEsterno *esterni[] = {&fasce, &sfumato};
    QCOMPARE(&EsternoDaScelta(par.SceltaEsterno, fasce, sfumato, tavolozze, m), esterni[esterno]);
    MetodoPuntoPunto punto;
    MetodoBlocco blocco;
    CDisegnatore *metodi[] = {&punto, &blocco};
    QCOMPARE(&DisegnatoreDaScelta(par.SceltaMetodo, punto, blocco), metodi[metodo]);

    // Written back as kept, and read back the same.
    std::istringstream di_nuovo(TestoParametri(par));
    CParametri riletto;
    QVERIFY(LeggiParametri(di_nuovo, riletto));
    QCOMPARE((QList<int>{riletto.SceltaFrattale, riletto.SceltaInterno, riletto.SceltaEsterno, riletto.SceltaMetodo}),
             tenute);
}

void TestFormule::fileDanneggiato_data()
{
    QTest::addColumn<QString>("testo");
    QTest::newRow("empty") << "";
    QTest::newRow("version 1.0") << "1.0 -1 -0.5 1 0.5 64 32 500 1 0 0 0 0.285 0.01 0.5 0.25";
    QTest::newRow("not a number") << "zero -1 -0.5 1 0.5 64 32 500 1 0 0 0 0.285 0.01 0.5 0.25";
    QTest::newRow("truncated") << "0.9 -1 -0.5 1 0.5 64 32 500 1 0 0 0 0.285 0.01 0.5";
    QTest::newRow("letters in a corner") << "0.9 -1 abc 1 0.5 64 32 500 1 0 0 0 0.285 0.01 0.5 0.25";
    QTest::newRow("width beyond 32 bits") << "0.9 -1 -0.5 1 0.5 99999999999 32 500 1 0 0 0 0.285 0.01 0.5 0.25";
    QTest::newRow("choice beyond 32 bits") << "0.9 -1 -0.5 1 0.5 64 32 500 4294967296 0 0 0 0.285 0.01 0.5 0.25";
    QTest::newRow("choice not a number") << "0.9 -1 -0.5 1 0.5 64 32 500 1 x 0 0 0.285 0.01 0.5 0.25";
    QTest::newRow("corner beyond 80 bits") << "0.9 -1e99999 -0.5 1 0.5 64 32 500 1 0 0 0 0.285 0.01 0.5 0.25";
    QTest::newRow("corner of 20001 digits") << "0.9 -1." + QString(19999, '0') + "1 -0.5 1 0.5 64 32 500 1 0 0 0 0.285 0.01 0.5 0.25";
    QTest::newRow("inverted at full precision") << "0.9 1.0000000000000000000000001 -0.5 1 0.5 64 32 500 1 0 0 0 0.285 0.01 0.5 0.25";
    QTest::newRow("empty at full precision") << "0.9 -1 0.5000000000000000000000000 1 0.5 64 32 500 1 0 0 0 0.285 0.01 0.5 0.25";
}

void TestFormule::fileDanneggiato()
{
    QFETCH(QString, testo);
    std::istringstream in(testo.toStdString());
    CParametri par;
    par.FrattaleJulia.Param = {7.0L, 7.0L};
    QVERIFY(!LeggiParametri(in, par));
    // Nothing was applied.
    const CParametri nuovo;
    QCOMPARE(par.Finestra.Min, nuovo.Finestra.Min);
    QCOMPARE(par.Finestra.Larghezza, 256);
    QCOMPARE(int(par.SceltaFrattale), 0);
    QCOMPARE(par.FrattaleJulia.Param, (Complesso{7.0L, 7.0L}));
}

void TestFormule::operatoriFlusso()
{
    std::ostringstream out;
    Julia j;
    j.Param = {0.5L, -0.25L};
    out << Complesso{1.5L, -2.0L} << j << Mandelbrot();
    QCOMPARE(QString::fromStdString(out.str()), QStringLiteral("1.5\n-2\n0.5\n-0.25\n"));

    std::istringstream in("3 4\n-0.5 0.125");
    Complesso c;
    Julia letta;
    in >> c >> letta;
    QVERIFY(bool(in));
    QCOMPARE(c, (Complesso{3.0L, 4.0L}));
    QCOMPARE(letta.Param, (Complesso{-0.5L, 0.125L}));
}

QTEST_APPLESS_MAIN(TestFormule)
#include "tst_formule.moc"
