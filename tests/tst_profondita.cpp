// Depth: numbers of any precision as text, the parameters file's corners,
// the 80-bit threshold and the zoom conversion of deep windows.

#include "FileParametri.h"
#include "Profondita.h"
#include "Reale.h"
#include "Selezione.h"

#include <QtTest>

#include <sstream>

namespace {

CReale Leggi(const QString &testo)
{
    CReale v;
    if (!LeggiReale(testo.toStdString(), v))
        qFatal("not a number: %s", qPrintable(testo));
    return v;
}

// The window 10^-esponente wide and high centred on (re, im).
CBloccoFinestra Attorno(const QString &re, const QString &im, int esponente, int32_t lato, int32_t limite)
{
    const mpfr_prec_t bit = (mpfr_prec_t(esponente * 3.33) + 160) / 64 * 64;
    CBloccoFinestra f{{}, {}, lato, lato, limite};
    const QString mezzo = QStringLiteral("5e-%1").arg(esponente + 1);
    for (int k = 0; k < 4; ++k) {
        CReale &v = k == 0 ? f.Min.re : k == 1 ? f.Min.im : k == 2 ? f.Max.re : f.Max.im;
        v = CReale::Zero(bit);
        mpfr_set_str(v.Mp(), qPrintable(k % 2 ? im : re), 10, MPFR_RNDN);
        (k < 2 ? mpfr_sub : mpfr_add)(v.Mp(), v.Mp(), Leggi(mezzo).Mp(), MPFR_RNDN);
    }
    return f;
}

} // namespace

class TestProfondita : public QObject
{
    Q_OBJECT

private slots:
    void precisioneDalTesto_data();
    void precisioneDalTesto();
    void cifre_data();
    void cifre();
    void file();
    void soglia_data();
    void soglia();
    void zoom_data();
    void zoom();
};

void TestProfondita::precisioneDalTesto_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<int>("bit"); // 0: refused
    const QString venti = QString(19999, QLatin1Char('7'));
    QTest::newRow("80 bits") << "-0.7436438870371" << 64;
    QTest::newRow("21 digits") << "1.23456789012345678901e-300" << 64;
    QTest::newRow("leading zeros do not count") << "0.0000000000000000000000000001" << 64;
    QTest::newRow("22 digits") << "-0.1234567890123456789012" << 128;
    QTest::newRow("trailing zeros count") << "1.000000000000000000000" << 128;
    QTest::newRow("40 digits") << "1234567890123456789012345678901234567890" << 128;
    QTest::newRow("41 digits") << "1.2345678901234567890123456789012345678901e-5" << 192;
    QTest::newRow("20000 digits") << "0." + venti + "7" << 66432;
    QTest::newRow("20001 digits") << "0." + venti + "77" << 0;
    QTest::newRow("beyond 80 bits") << "1e99999" << 0;
    QTest::newRow("beyond 80 bits, 30 digits") << "1.00000000000000000000000000001e99999" << 0;
    QTest::newRow("no digits") << "-.e5" << 0;
    QTest::newRow("exponent without digits") << "1.0000000000000000000000000001e" << 0;
    QTest::newRow("two points") << "1.2.3" << 0;
}

void TestProfondita::precisioneDalTesto()
{
    QFETCH(QString, testo);
    QFETCH(int, bit);
    CReale v(7.0L);
    QCOMPARE(LeggiReale(testo.toStdString(), v), bit != 0);
    if (bit == 0) {
        QCOMPARE(v, CReale(7.0L)); // left alone
        return;
    }
    QCOMPARE(int(v.Precisione()), bit);
    if (bit == 64)
        QCOMPARE(v.Esteso(), std::strtold(qPrintable(testo), nullptr)); // as the program always read it
    // Written with the digits of its precision, it reads back exactly, precision included.
    const std::string scritto = TestoReale(v);
    CReale riletto;
    QVERIFY(LeggiReale(scritto, riletto));
    QCOMPARE(riletto, v);
    QCOMPARE(riletto.Precisione(), v.Precisione());
    if (bit > 64)
        QCOMPARE(CifreDi(v).Cifre.size(), size_t(CifrePrecisione(bit)));
    QCOMPARE(TestoReale(riletto), scritto);
}

void TestProfondita::cifre_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QString>("cifre");
    QTest::addColumn<int>("esponente");
    QTest::newRow("80 bits") << "-1.25e-5" << "125" << -4;
    QTest::newRow("integer") << "120" << "12" << 3;
    // 1 + 2^-100 exactly: 101 digits, so 384 bits, written with 117.
    const QString esatto = "10000000000000000000000000000007888609052210118054117285652827862296732064351090230047702789306640625";
    QTest::newRow("deep") << "1." + esatto.mid(1) << esatto + QString(16, QLatin1Char('0')) << 1;
}

void TestProfondita::cifre()
{
    QFETCH(QString, testo);
    QFETCH(QString, cifre);
    QFETCH(int, esponente);
    const CReale v = Leggi(testo);
    const CCifre c = CifreDi(v);
    QCOMPARE(c.Negativo, testo.startsWith('-'));
    QCOMPARE(QString::fromStdString(c.Cifre), cifre);
    QCOMPARE(c.Esponente, long(esponente));
    CReale letto;
    QVERIFY(RealeDaCifre(c, letto));
    QCOMPARE(letto, v);
    QCOMPARE(letto.Precisione(), v.Precisione());
    // Leading zeros are not significant; anything but digits is refused.
    QVERIFY(RealeDaCifre({c.Negativo, "000" + c.Cifre, c.Esponente + 3}, letto));
    QCOMPARE(letto, v);
    QVERIFY(!RealeDaCifre({false, "12a", 0}, letto));
}

void TestProfondita::file()
{
    // Lines 2-5 carry the corners' digits and read back exactly, precision
    // included; the other lines are those of any file.
    CParametri par;
    par.Finestra = Attorno("0", "1", 300, 256, 5000);
    const std::string testo = TestoParametri(par);
    const QStringList righe = QString::fromStdString(testo).split("\r\n");
    QCOMPARE(righe.size(), 17);
    QCOMPARE(righe.at(1), QString::fromStdString(TestoReale(par.Finestra.Min.re)));
    QStringList altre = QString::fromStdString(TestoParametri(CParametri())).split("\r\n");
    altre[7] = "5000";
    QCOMPARE(righe.mid(5), altre.mid(5));
    std::istringstream in(testo);
    CParametri letto;
    QVERIFY(LeggiParametri(in, letto));
    for (const auto &[a, b] : {std::pair{&letto.Finestra.Min, &par.Finestra.Min}, {&letto.Finestra.Max, &par.Finestra.Max}}) {
        QCOMPARE(*a, *b);
        QCOMPARE(a->re.Precisione(), b->re.Precisione());
        QCOMPARE(a->im.Precisione(), b->im.Precisione());
    }
    QCOMPARE(TestoParametri(letto), testo);

    // Windows of 80-bit corners are read as they always were, inverted ones too.
    std::istringstream oggi("0.9 1 0.5 -1 -0.5 64 32 500 1 0 0 0 0.285 0.01 0.5 0.25");
    QVERIFY(LeggiParametri(oggi, letto));
    QCOMPARE(letto.Finestra.Min, (CComplessoAlto{1.0L, 0.5L}));
}

void TestProfondita::soglia_data()
{
    QTest::addColumn<QString>("xMin");
    QTest::addColumn<QString>("xMax");
    QTest::addColumn<int>("lato");
    QTest::addColumn<bool>("oltre");
    // Pixel spacing against 2^-60 of the largest corner.
    const QString sotto = "0.49999999999999988897769753748434595763683319091796875"; // 0.5 - 2^-53
    QTest::newRow("default window") << "-2" << "0.5" << 256 << false;
    QTest::newRow("1e-15 at 256") << "-0.7500000000000005" << "-0.7499999999999995" << 256 << false;
    QTest::newRow("1e-16 at 256") << "-0.75000000000000005" << "-0.74999999999999995" << 256 << true;
    QTest::newRow("spacing 2^-60 of 0.5") << sotto << "0.5" << 256 << false;
    QTest::newRow("just below") << sotto << "0.5" << 257 << true;
    QTest::newRow("1e-300 near 0") << "-5e-301" << "5e-301" << 256 << false;
    QTest::newRow("empty") << "0.5" << "0.5" << 256 << false;
    QTest::newRow("inverted, deep") << "-0.74999999999999995" << "-0.75000000000000005" << 256 << true;
}


void TestProfondita::soglia()
{
    QFETCH(QString, xMin);
    QFETCH(QString, xMax);
    QFETCH(int, lato);
    QFETCH(bool, oltre);
    // The same side in both directions, so that either one decides alike.
    const CComplessoAlto min{Leggi(xMin), Leggi(xMin)};
    const CComplessoAlto max{Leggi(xMax), Leggi(xMax)};
    QCOMPARE(Oltre80Bit(min, max, lato, lato), oltre);
}


void TestProfondita::zoom_data()
{
    QTest::addColumn<int>("esponente"); // 0: the default window
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("lato");
    QTest::newRow("80 bits") << 0 << 128 << 128 << 128;
    QTest::newRow("10^-30") << 30 << 100 << 60 << 10;
    QTest::newRow("10^-300, past the edge") << 300 << -20 << 300 << 50;
}


void TestProfondita::zoom()
{
    QFETCH(int, esponente);
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(int, lato);
    const CSelezione sel{x, y, lato, lato};
    const CBloccoFinestra f = esponente ? Attorno("0", "1", esponente, 256, 100) : CParametri().Finestra;
    CComplessoAlto min;
    CComplessoAlto max;
    FinestraEsattaDaSelezione(sel, f.Min, f.Max, 256, 256, min, max);
    if (!esponente) {
        // The 80-bit conversion, corners of 64 bits.
        Complesso min80;
        Complesso max80;
        FinestraDaSelezione(sel, f.Min.Esteso(), f.Max.Esteso(), 256, 256, min80, max80);
        QCOMPARE(min, CComplessoAlto(min80));
        QCOMPARE(max, CComplessoAlto(max80));
        QCOMPARE(int(min.re.Precisione()), 64);
        return;
    }
    // Each corner is the exact region's corner rounded once: compare with the
    // formula in far more bits, rounded to the corner's precision.
    const mpfr_prec_t molti = 16384;
    const auto atteso = [&](const CReale &a, const CReale &b, int pixel, long spostamento, const CReale &corner) {
        CReale r = CReale::Zero(molti);
        mpfr_sub(r.Mp(), b.Mp(), a.Mp(), MPFR_RNDN);
        mpfr_div_si(r.Mp(), r.Mp(), pixel, MPFR_RNDN);
        mpfr_mul_si(r.Mp(), r.Mp(), spostamento, MPFR_RNDN);
        mpfr_add(r.Mp(), r.Mp(), a.Mp(), MPFR_RNDN);
        mpfr_prec_round(r.Mp(), corner.Precisione(), MPFR_RNDN);
        return r == corner;
    };
    const int h = lato / 2;
    QVERIFY(atteso(f.Min.re, f.Max.re, 256, x + h, max.re));
    QVERIFY(atteso(f.Min.re, f.Max.re, 256, x - h, min.re));
    QVERIFY(atteso(f.Max.im, f.Min.im, 256, y - h, max.im));
    QVERIFY(atteso(f.Max.im, f.Min.im, 256, y + h, min.im));
    // A corner's last bit is at most 2^-32 of a pixel of a 65536-pixel picture of the new window.
    const CReale larghezza = DifferenzaEsatta(max.re, min.re);
    for (const CReale *v : {&min.re, &min.im, &max.re, &max.im}) {
        QCOMPARE(v->Precisione() % 64, 0);
        QVERIFY(mpfr_get_exp(v->Mp()) - v->Precisione() <= mpfr_get_exp(larghezza.Mp()) - 1 - 16 - 32);
    }
}

QTEST_GUILESS_MAIN(TestProfondita)
#include "tst_profondita.moc"
