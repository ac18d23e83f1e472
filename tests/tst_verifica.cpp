// The check of deep pictures against direct iteration: the direct iteration
// with its error bounds against plain MPFR loops and known orbits, the pixels'
// points against the engine's own, the special points, and a fixed sample of
// pictures that the engine must draw right at every pixel.

#include "Casi.h"
#include "Diretta.h"
#include "Disegno.h"
#include "Generatori.h"
#include "Motore.h"
#include "PuntiPixel.h"
#include "Verifica.h"

#include <QtTest>

#include <vector>

namespace {

CPuntoEsatto Punto(long double re, long double im)
{
    CPuntoEsatto p;
    p.Numeratore = CComplessoAlto(Complesso{re, im});
    return p;
}

// Records the point the engine iterated for each pixel.
class PuntiPixelMotore final : public CColoratoreEsterno, public CImmagine
{
public:
    PuntiPixelMotore(int32_t w, int32_t h) : W(w), Punti(size_t(w) * size_t(h)) {}
    // A colour of its own for every point, so that no block is filled.
    int32_t Colore(const CPunto &p) const override
    {
        Ultimo = p.c;
        return ++Quanti;
    }
    void ImpostaPixel(int32_t x, int32_t y, int32_t) override { Punti[size_t(y) * W + x] = Ultimo; }
    int32_t W;
    std::vector<Complesso> Punti;
    mutable Complesso Ultimo;
    mutable int32_t Quanti = 0;
};

// The pictures of the fixed sample, built from their special points.
CCaso Campione(int quale)
{
    const auto Trovato = [](bool vero) {
        if (!vero)
            qFatal("the sample's point was not found");
    };
    CCaso caso;
    caso.Numero = quale;
    CParametri &par = caso.Parametri;
    par.SceltaMetodo = int8_t(quale % 2 ? 0 : 1);
    const CComplessoAlto i(CReale(0.0L), CReale(1.0L));
    CMisiurewicz m;
    CComplessoAlto nucleo;
    double derivata = 0.0;
    switch (quale) {
    case 0:
        Trovato(TrovaMisiurewicz(CComplessoAlto(Complesso{-0.74982115706863455536L, 0.10065949381215762867L}), 31, 1,
                                 1152, m));
        par.Finestra = FinestraAttorno(m.c, 300, 47, 33, 5000, 0.23, -0.17);
        break;
    case 1:
        par.Finestra = FinestraAttorno(i, 30, 61, 61, 1000);
        break;
    case 2:
    case 3: {
        // The ball method 2^-200 left of M(25,3), then Newton's method.
        Trovato(TrovaMisiurewicz(CComplessoAlto(Complesso{-0.7463L, 0.1293L}), 25, 3, 512, m));
        CComplessoAlto c0 = m.c;
        CReale d = CReale::Zero(512);
        mpfr_set_ui_2exp(d.Mp(), 1, -200, MPFR_RNDN);
        mpfr_sub(c0.re.Mp(), c0.re.Mp(), d.Mp(), MPFR_RNDN);
        Trovato(PeriodoPalla(c0, -201.0, 1000, 512) == 216);
        Trovato(TrovaNucleo(c0, 216, 320, 704, nucleo));
        const double dimensione = Log2Dimensione(nucleo, 216) / 3.321928094887362;
        Trovato(dimensione > -124 && dimensione < -122);
        const double volte = quale == 2 ? 4.0 : 1.5;
        par.Finestra = FinestraAttorno(nucleo, -dimensione - std::log10(volte), 45 + quale, 40, 3000,
                                       quale == 3 ? 0.31 : 0.0, quale == 3 ? -0.12 : 0.0);
        break;
    }
    case 4: {
        par.SceltaFrattale = 1;
        par.FrattaleJulia.Param = {-0.75L, 0.09375L};
        const std::vector<bool> segni = {true, false, false, true, true, false};
        par.Finestra = FinestraAttorno(PreimmagineJulia(par.FrattaleJulia.Param, false, false, segni, 512, derivata),
                                       100, 39, 41, 3000, -0.2, 0.4);
        break;
    }
    case 5:
        par.SceltaFrattale = 1;
        par.FrattaleJulia.Param = {0.0L, 1.0L};
        par.Finestra = FinestraAttorno(i, 30, 64, 64, 1000);
        break;
    case 6:
        Trovato(TrovaMisiurewicz(CComplessoAlto(Complesso{-1.54L, 0.0L}), 3, 1, 512, m));
        Trovato(mpfr_zero_p(m.c.im.Mp()) != 0);
        par.Finestra = FinestraAttorno(m.c, 120, 40, 40, 3000, 0.1, 0.0);
        break;
    case 7:
        par.Finestra = FinestraAttorno(i, 3000, 64, 64, 30000, 0.1234, -0.2345);
        break;
    case 8:
        // The tip: a window round -2 whose centre escapes at once.
        par.Finestra = FinestraAttorno(CComplessoAlto(CReale(-2.0L), CReale(0.0L)), 40, 29, 29, 300, -0.3, 0.07);
        break;
    case 9: {
        // Julia of -2 near a preimage of 0, whose orbit then stays on 2.
        par.SceltaFrattale = 1;
        par.FrattaleJulia.Param = {-2.0L, 0.0L};
        par.Finestra = FinestraAttorno(PreimmagineJulia(par.FrattaleJulia.Param, true, false, {true, false, true},
                                                        512, derivata),
                                       40, 36, 36, 300, 0.2, 0.1);
        break;
    }
    case 10: {
        // Centred on M(7,1), multiplier 2^0.33, 10^-2195 (a random case):
        // the reference lingers on the cycle some 22 000 steps, each one
        // growing its error by 2^0.33, and its own pixel's count needs more
        // bits than its pixels' deviations.
        caso = GeneraCaso(2026, 135, OpzioniScritte(20, 4900));
        break;
    }
    }
    return caso;
}

} // namespace

class TestVerifica : public QObject
{
    Q_OBJECT

private slots:
    void diretta_data();
    void diretta();
    void comeIlCicloSemplice_data();
    void comeIlCicloSemplice();
    void puntiOttantaBit_data();
    void puntiOttantaBit();
    void puntoEsatto();
    void puntiSpeciali();
    void campione_data();
    void campione();
    void diagonaliDiJulia();
    void sulPuntoRespingente();
};

void TestVerifica::diretta_data()
{
    QTest::addColumn<double>("re");
    QTest::addColumn<double>("im");
    QTest::addColumn<bool>("julia");
    QTest::addColumn<int>("conteggio");
    QTest::addColumn<bool>("limitata"); // proved bounded before the limit
    // The formulas' own edge cases, then orbits that only a proof can end early.
    QTest::newRow("c = 3: one step") << 3.0 << 0.0 << false << 1 << false;
    QTest::newRow("c = -2: |c|^2 is 4, one step") << -2.0 << 0.0 << false << 1 << false;
    QTest::newRow("c = i: exact, never escapes") << 0.0 << 1.0 << false << 100000 << false;
    QTest::newRow("c = 0.5 + 0.5i escapes at z_4") << 0.5 << 0.5 << false << 5 << false;
    QTest::newRow("main cardioid: attracting fixed point") << -0.1 << 0.1 << false << 100000 << true;
    QTest::newRow("period-2 bulb: attracting 2-cycle") << -1.1 << 0.05 << false << 100000 << true;
    QTest::newRow("real, chaotic: the interval [-b, b]") << -1.9 << 0.0 << false << 100000 << true;
    QTest::newRow("Julia of -1 at 0.1: attracting 2-cycle") << 0.1 << 0.0 << true << 100000 << true;
}

void TestVerifica::diretta()
{
    QFETCH(double, re);
    QFETCH(double, im);
    QFETCH(bool, julia);
    QFETCH(int, conteggio);
    QFETCH(bool, limitata);
    const CFormulaDiretta f{julia, {-1.0L, 0.0L}};
    const CEsitoDiretto e = IteraDiretta(Punto(re, im), f, 100000, 128);
    QVERIFY(e.Certo);
    QCOMPARE(e.Conteggio, conteggio);
    QCOMPARE(e.Limitata, limitata);
    if (limitata)
        QVERIFY2(e.Passi < 2000, qPrintable(QString::number(e.Passi)));
    // Without the search of cycles the same count, the whole way.
    if (!limitata || re == -1.9)
        return;
    const CEsitoDiretto lunga = IteraDiretta(Punto(re, im), f, 5000, 128, false);
    QVERIFY(lunga.Certo);
    QCOMPARE(lunga.Conteggio, 5000);
}

void TestVerifica::comeIlCicloSemplice_data()
{
    QTest::addColumn<int>("quale");
    QTest::newRow("M(31,1), 10^-300") << 0;
    QTest::newRow("minibrot, 4 sizes") << 2;
    QTest::newRow("Julia, 10^-100") << 4;
    QTest::newRow("real axis, 10^-120") << 6;
}

void TestVerifica::comeIlCicloSemplice()
{
    // Every certain count is the count of the textbook MPFR loop at twice
    // the bits, and nearly every pixel is certain at the first precision.
    QFETCH(int, quale);
    const CCaso caso = Campione(quale);
    const CBloccoFinestra &f = caso.Parametri.Finestra;
    const mpfr_prec_t bit = PrecisioneDiretta(f);
    const CFormulaDiretta formula{caso.Parametri.SceltaFrattale == 1, caso.Parametri.FrattaleJulia.Param};
    int certi = 0;
    int diversi = 0;
    int provati = 0;
    std::vector<int32_t> visti;
    for (int32_t i = 1; i < f.Altezza; i += 5)
        for (int32_t j = 2; j < f.Larghezza; j += 5) {
            const CPuntoEsatto p = PuntoDelPixel(f, j, i);
            const CEsitoDiretto e = IteraDiretta(p, formula, f.MaxIterazioni, bit);
            ++provati;
            if (!e.Certo)
                continue;
            ++certi;
            diversi += PassiSemplici(p, formula, f.MaxIterazioni, 2 * bit + 64) != e.Conteggio;
            visti.push_back(e.Conteggio);
        }
    QCOMPARE(diversi, 0);
    QVERIFY(certi >= provati - 1);
    std::sort(visti.begin(), visti.end());
    QVERIFY(std::unique(visti.begin(), visti.end()) - visti.begin() > 5); // a picture of many counts
}

void TestVerifica::puntiOttantaBit_data()
{
    QTest::addColumn<int>("metodo");
    QTest::addColumn<int>("lato");
    QTest::newRow("point, 45") << 0 << 45;
    QTest::newRow("block, 45") << 1 << 45;
    QTest::newRow("block, 64") << 1 << 64;
}

void TestVerifica::puntiOttantaBit()
{
    // The 80-bit points are those the engine iterates, bit for bit: a
    // window whose every pixel escapes at once, so every pixel is computed.
    QFETCH(int, metodo);
    QFETCH(int, lato);
    CParametri par;
    par.Finestra = {{CReale(3.1L), CReale(2.2L)}, {CReale(3.1L + 0.37L), CReale(2.2L + 0.29L)}, lato, lato + 3, 50};
    par.SceltaMetodo = int8_t(metodo);
    CDisegno disegno;
    PuntiPixelMotore punti(lato, lato + 3);
    disegno.AreaDisegno.Fili = 1;
    CDisegnatore &m = disegno.Prepara(par, &punti, lato, lato + 3);
    disegno.AreaDisegno.Esterno = &punti;
    m.Disegna(disegno.AreaDisegno);
    for (int32_t i = 0; i < lato + 3; ++i)
        for (int32_t j = 0; j < lato; ++j) {
            const Complesso atteso = PuntoOttantaBit(par.Finestra, int8_t(metodo), j, i);
            QCOMPARE(punti.Punti[size_t(i) * lato + j], atteso);
        }
}

void TestVerifica::puntoEsatto()
{
    // The centre pixel of an even window centred on 0 + 1i is 0 + 1i exactly;
    // the others are the exact quotients.
    const CBloccoFinestra f = FinestraAttorno(CComplessoAlto(CReale(0.0L), CReale(1.0L)), 1000, 48, 48, 100);
    CPuntoEsatto p = PuntoDelPixel(f, 24, 24);
    CReale v = CReale::Zero(4096);
    QCOMPARE(mpfr_div_si(v.Mp(), p.Numeratore.re.Mp(), long(p.DivisoreRe), MPFR_RNDN), 0);
    QVERIFY(mpfr_zero_p(v.Mp()));
    QCOMPARE(mpfr_div_si(v.Mp(), p.Numeratore.im.Mp(), long(p.DivisoreIm), MPFR_RNDN), 0);
    QCOMPARE(mpfr_cmp_ui(v.Mp(), 1), 0);
    p = PuntoDelPixel(f, 1, 47);
    CReale atteso = DifferenzaEsatta(f.Max.re, f.Min.re);
    mpfr_div_si(v.Mp(), atteso.Mp(), 48, MPFR_RNDN);
    mpfr_add(v.Mp(), v.Mp(), f.Min.re.Mp(), MPFR_RNDN);
    mpfr_mul_si(v.Mp(), v.Mp(), 48, MPFR_RNDN);
    QVERIFY(mpfr_equal_p(v.Mp(), p.Numeratore.re.Mp()));
}

void TestVerifica::puntiSpeciali()
{
    // Newton's method: the Misiurewicz point i (preperiod 2, period 2), the
    // real nucleus of period 3, the preimage of 0 for Julia's i.
    CMisiurewicz m;
    QVERIFY(TrovaMisiurewicz(CComplessoAlto(Complesso{0.01L, 0.98L}), 2, 2, 512, m));
    QVERIFY(Log2Modulo(CComplessoAlto(DifferenzaEsatta(m.c.re, CReale(0.0L)), DifferenzaEsatta(m.c.im, CReale(1.0L))))
            < -500);
    QCOMPARE(m.Log2Moltiplicatore, 2.5); // |4 (1 + i)| = 2^2.5
    QVERIFY(!TrovaMisiurewicz(CComplessoAlto(Complesso{0.01L, 0.98L}), 1, 2, 512, m)); // i is not M(1,2)
    CComplessoAlto n;
    QVERIFY(TrovaNucleo(CComplessoAlto(Complesso{-1.75L, 0.0L}), 3, 128, 512, n));
    // c^3 + 2c^2 + c + 1 = 0.
    QCOMPARE(n.re.Esteso(), -1.754877666246692760049508896358528691894L);
    QVERIFY(mpfr_zero_p(n.im.Mp()));
    const double dimensione = Log2Dimensione(n, 3);
    QVERIFY(dimensione > -8 && dimensione < -4); // the island spans -1.786 .. -1.745
    // Newton's method for period 6 from there does not fall back on the period-3 nucleus.
    const CComplessoAlto tre = n;
    QVERIFY(!TrovaNucleo(CComplessoAlto(Complesso{-1.75L, 0.0L}), 6, 128, 512, n)
            || Log2Modulo(CComplessoAlto(DifferenzaEsatta(n.re, tre.re), DifferenzaEsatta(n.im, tre.im))) > -20);
    double derivata = 0.0;
    const CComplessoAlto w = PreimmagineJulia({0.0L, 1.0L}, true, false, {false}, 256, derivata);
    QCOMPARE(w.re.Esteso(), 0.7071067811865475244008443621048490392848L);
    QCOMPARE(w.im.Esteso(), -0.7071067811865475244008443621048490392848L);
    // The ball method finds the period of the nucleus near a point.
    QCOMPARE(PeriodoPalla(CComplessoAlto(Complesso{-1.76L, 0.001L}), -4.0, 100, 256), 3);
}

void TestVerifica::campione_data()
{
    QTest::addColumn<int>("quale");
    QTest::addColumn<int>("pixel"); // compared besides the centre one
    // A handful of pictures that the engine draws right today: each kind,
    // both methods, odd and even sizes, centred on their point or not.
    QTest::newRow("M(31,1) nearest -0.75 + 0.1i, 10^-300, block") << 0 << 60;
    QTest::newRow("0 + 1i, 10^-30, point") << 1 << 200;
    QTest::newRow("minibrot of period 216 near M(25,3), 4 sizes wide, point") << 2 << 40;
    QTest::newRow("the same minibrot, 1.5 sizes wide, off centre, block") << 3 << 40;
    QTest::newRow("Julia of -0.75 + 0.09375i, a preimage of its fixed point, 10^-100, block") << 4 << 100;
    QTest::newRow("Julia of i around i, 10^-30, point") << 5 << 200;
    QTest::newRow("real axis: M(3,1) on the axis, 10^-120, block") << 6 << 100;
    QTest::newRow("0 + 1i off centre, 10^-3000, point") << 7 << 6;
    QTest::newRow("round -2, 10^-40, block") << 8 << 200;
    QTest::newRow("Julia of -2 near a preimage of 0, 10^-40, point") << 9 << 200;
    QTest::newRow("the pixel on M(7,1) of multiplier 2^0.33, 10^-2195, point") << 10 << 0;
}

void TestVerifica::campione()
{
    // Every pixel of the sample is right (none is a knife edge here).
    QFETCH(int, quale);
    QFETCH(int, pixel);
    const CCaso caso = Campione(quale);
    COpzioniVerifica opzioni;
    opzioni.SecondiDiretti = 0.0;
    opzioni.PixelMinimi = pixel;
    const CEsitoCaso esito = VerificaCaso(caso, opzioni);
    QVERIFY2(esito.Sbagliati == 0, RigaCaso(caso, esito).c_str());
    QCOMPARE(esito.FiliDiLama, 0);
    QCOMPARE(esito.Confrontati, pixel + 1);
    QVERIFY(!esito.OttantaBit);
}

void TestVerifica::diagonaliDiJulia()
{
    // Julia of -2 centred on a preimage of 0: on the diagonals the pixels'
    // values pass 0 along a line of 45 degrees, where the real part of their
    // square cancels, and then stay on the circle |z| = 2, where the escape
    // turns on that part alone. Every diagonal pixel against the direct count.
    CParametri par;
    par.SceltaFrattale = 1;
    par.SceltaMetodo = 0;
    par.FrattaleJulia.Param = {-2.0L, 0.0L};
    double derivata = 0.0;
    const std::vector<bool> segni = {true, false, false, true, true, false, true, false};
    par.Finestra = FinestraAttorno(PreimmagineJulia(par.FrattaleJulia.Param, true, false, segni, 1024, derivata), 190,
                                   41, 41, 900);
    const CDisegnoMotore motore = ConteggiDelMotore(par, 1);
    QVERIFY(!motore.OttantaBit);
    const mpfr_prec_t bit = PrecisioneDiretta(par.Finestra);
    for (int32_t k = 0; k < 41; ++k)
        for (const int32_t j : {k, 40 - k}) {
            const CConteggioDiretto atteso = ContaPixel(par, j, k, false, bit);
            QVERIFY(atteso.Certo);
            QCOMPARE(motore.Conteggi[size_t(k) * 41 + size_t(j)], atteso.Conteggio);
        }
}

void TestVerifica::sulPuntoRespingente()
{
    // Julia of -0.25 - 0.0234375i, 10^-100 wide, centred on a preimage of its
    // repelling fixed point given to 1100 bits: the centre pixel's orbit stays
    // there some 860 steps, far longer than its neighbours' (its pixel
    // spacing is 2^-335), and then escapes; at the bits its neighbours need
    // it leaves the fixed point on the other side, towards the attracting
    // one, and never escapes. Every pixel against the direct count.
    CParametri par;
    par.SceltaFrattale = 1;
    par.SceltaMetodo = 0;
    par.FrattaleJulia.Param = {-0.25L, -0.0234375L};
    double derivata = 0.0;
    const CComplessoAlto centro = PreimmagineJulia(par.FrattaleJulia.Param, false, false, {false, false, false}, 1100,
                                                   derivata);
    // The corners to 1100 bits too, so that the centre is the preimage to them.
    CReale mezzo = CReale::Zero(64);
    mpfr_set_d(mezzo.Mp(), -100.0 * std::log2(10.0) - 1.0, MPFR_RNDN);
    mpfr_exp2(mezzo.Mp(), mezzo.Mp(), MPFR_RNDN);
    par.Finestra = {CComplessoAlto(CReale::Zero(1100), CReale::Zero(1100)),
                    CComplessoAlto(CReale::Zero(1100), CReale::Zero(1100)), 10, 10, 4000};
    mpfr_sub(par.Finestra.Min.re.Mp(), centro.re.Mp(), mezzo.Mp(), MPFR_RNDN);
    mpfr_add(par.Finestra.Max.re.Mp(), centro.re.Mp(), mezzo.Mp(), MPFR_RNDN);
    mpfr_sub(par.Finestra.Min.im.Mp(), centro.im.Mp(), mezzo.Mp(), MPFR_RNDN);
    mpfr_add(par.Finestra.Max.im.Mp(), centro.im.Mp(), mezzo.Mp(), MPFR_RNDN);
    const CDisegnoMotore motore = ConteggiDelMotore(par, 1);
    QVERIFY(!motore.OttantaBit);
    const mpfr_prec_t bit = PrecisioneDiretta(par.Finestra);
    for (int32_t i = 0; i < 10; ++i)
        for (int32_t j = 0; j < 10; ++j) {
            const CConteggioDiretto atteso = ContaPixel(par, j, i, false, bit);
            QVERIFY(atteso.Certo);
            QCOMPARE(motore.Conteggi[size_t(i) * 10 + size_t(j)], atteso.Conteggio);
        }
    QVERIFY2(motore.Conteggi[55] > 800 && motore.Conteggi[55] < 4000, qPrintable(QString::number(motore.Conteggi[55])));
}

QTEST_GUILESS_MAIN(TestVerifica)
#include "tst_verifica.moc"
