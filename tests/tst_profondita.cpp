// Depth: numbers of any precision as text, the 80-bit threshold, the zoom
// conversion of deep windows, and drawing past 80 bits by perturbation.

#include "CalcoloInBackground.h"
#include "Disegno.h"
#include "Errore.h"
#include "Esteso.h"
#include "FileDocumento.h"
#include "FileParametri.h"
#include "FinestraTrasformata.h"
#include "Perturbazione.h"
#include "Profondita.h"
#include "Reale.h"
#include "SelezioneEsatta.h"
#include "Verifica.h"

#include <QtTest>

#include <climits>
#include <sstream>
#include <vector>

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
    CReale mezzo = CReale::Zero(bit);
    mpfr_set_str(mezzo.Mp(), qPrintable(QStringLiteral("5e-%1").arg(esponente + 1)), 10, MPFR_RNDN);
    for (int k = 0; k < 4; ++k) {
        CReale &v = k == 0 ? f.Min.re : k == 1 ? f.Min.im : k == 2 ? f.Max.re : f.Max.im;
        v = CReale::Zero(bit);
        mpfr_set_str(v.Mp(), qPrintable(k % 2 ? im : re), 10, MPFR_RNDN);
        (k < 2 ? mpfr_sub : mpfr_add)(v.Mp(), v.Mp(), mezzo.Mp(), MPFR_RNDN);
    }
    return f;
}

// A picture in memory.
class ImmagineMemoria final : public CImmagine
{
public:
    ImmagineMemoria(int32_t w, int32_t h) : W(w), Pixel(size_t(w) * size_t(h), -1) {}
    void ImpostaPixel(int32_t x, int32_t y, int32_t colore) override { Pixel[size_t(y) * W + x] = colore; }
    int32_t W;
    std::vector<int32_t> Pixel;
};

// Colourers that give a pixel its iteration count for colour.
class InternoConteggio final : public CColoratoreInterno
{
public:
    int32_t Colore(const CPunto &p) const override { return p.Iterazioni; }
};
class EsternoConteggio final : public CColoratoreEsterno
{
public:
    int32_t Colore(const CPunto &p) const override { return p.Iterazioni; }
};

// A colourer whose colour stands for the whole result of a pixel: its count
// and every bit of its final value.
class Impronta final : public CColoratoreEsterno
{
public:
    int32_t Colore(const CPunto &p) const override { return Di(p); }
    static int32_t Di(const CPunto &p)
    {
        const long double valori[2] = {p.z.re, p.z.im};
        const unsigned char *b = reinterpret_cast<const unsigned char *>(valori);
        uint32_t h = uint32_t(p.Iterazioni) * 2654435761u;
        for (size_t k = 0; k < sizeof valori; ++k)
            if (k % 16 < 10) // the 80 bits of each value, not the padding
                h = (h ^ b[k]) * 16777619u;
        return int32_t(h & 0x7FFFFFFF);
    }
};

// A document's settings and the drawing wired from them.
struct Tela
{
    Tela(const CBloccoFinestra &finestra, int8_t formula = 0, int8_t metodo = 0, int32_t fili = 1)
        : Immagine(finestra.Larghezza, finestra.Altezza)
    {
        Parametri.Finestra = finestra;
        Parametri.SceltaFrattale = formula;
        Parametri.SceltaMetodo = metodo;
        Parametri.FrattaleJulia.Param = {0.0L, 1.0L};
        Disegno.AreaDisegno.Fili = fili;
        Metodo = &Disegno.Prepara(Parametri, &Immagine, finestra.Larghezza, finestra.Altezza);
    }
    // Iteration counts instead of colours.
    Tela &Conta()
    {
        Disegno.AreaDisegno.Interno = &Interno;
        Disegno.AreaDisegno.Esterno = &Esterno;
        return *this;
    }
    std::vector<int32_t> Disegna()
    {
        Metodo->Disegna(Disegno.AreaDisegno);
        return Immagine.Pixel;
    }

    CParametri Parametri;
    ImmagineMemoria Immagine;
    CDisegno Disegno;
    CDisegnatore *Metodo;
    InternoConteggio Interno;
    EsternoConteggio Esterno;
    Impronta Impronte;
};

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
    void ottantaBitComePrima_data();
    void ottantaBitComePrima();
    void zoom_data();
    void zoom();
    void trasformate_data();
    void trasformate();
    void perturbazioneComeMpfr_data();
    void perturbazioneComeMpfr();
    void comeDaSolo_data();
    void comeDaSolo();
    void interno();
    void juliaAttornoAZero();
    void filiEMetodi();
    void cicliComeSenza_data();
    void cicliComeSenza();
    void stessaFinestraStessoDisegno();
    void riferimentoTenuto();
    void oltreIlLimite();
    void fermataDuranteIlRiferimento();
    void riferimentoTroppoGrande();
    void esponentiInLinea();
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
    const QString esatto = "1000000000000000000000000000000788860905221011805411728565282786229673206"
                           "4351090230047702789306640625";
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
    for (const auto &[a, b] :
         {std::pair{&letto.Finestra.Min, &par.Finestra.Min}, {&letto.Finestra.Max, &par.Finestra.Max}}) {
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

void TestProfondita::ottantaBitComePrima_data()
{
    QTest::addColumn<QString>("re");
    QTest::addColumn<QString>("im");
    QTest::addColumn<int>("lato");
    QTest::newRow("0 + 1i at 96") << "0" << "1" << 96;
    QTest::newRow("seahorse at 128") << "-0.743643887037158704752191506114774" << "0.131825904205311970493132056385139"
                                     << 128;
    QTest::newRow("-0.75 + 0.1i at 200") << "-0.75" << "0.1" << 200;
    QTest::newRow("-1.9 at 256") << "-1.9" << "0" << 256;
}

void TestProfondita::ottantaBitComePrima()
{
    // Windows 10^-15 wide are drawn by the 80-bit path exactly as an area
    // without a full-precision window draws them.
    QFETCH(QString, re);
    QFETCH(QString, im);
    QFETCH(int, lato);
    for (int8_t metodo : {0, 1}) {
        Tela profonda(Attorno(re, im, 15, lato, 500), 0, metodo);
        Tela ottanta(Attorno(re, im, 15, lato, 500), 0, metodo);
        ottanta.Disegno.AreaDisegno.Calcolatore = nullptr;
        QCOMPARE(profonda.Disegna(), ottanta.Disegna());
        QVERIFY(!profonda.Disegno.AreaDisegno.Calcolatore);
    }
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

void TestProfondita::trasformate_data()
{
    // A window 10^-esponente wide about 0 + 1i (0: the default window; -1:
    // one 2^24 wide; 19990: one 2^-66400 wide, past what a file holds),
    // made anew by a zoom about pixel (x, y) of a 256 x 256 picture by
    // 2^passi, a move by (x, y) quarters, or widened to x by y pixels; the
    // precision the corners come with (64: 80-bit values, -1: as deep as
    // the new window needs), 0 where it is refused.
    QTest::addColumn<int>("esponente");
    QTest::addColumn<QString>("come");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("passi");
    QTest::addColumn<int>("precisione");
    QTest::newRow("80 bits, in") << 0 << "zoom" << 64 << 200 << 1 << 64;
    QTest::newRow("80 bits, out by 8") << 0 << "zoom" << 13 << 250 << -8 << 64;
    QTest::newRow("10^-30, in by 16") << 30 << "zoom" << 255 << 0 << 16 << -1;
    QTest::newRow("10^-300, out") << 300 << "zoom" << 100 << 7 << -1 << -1;
    QTest::newRow("10^-20, out by 16: back to 80 bits") << 20 << "zoom" << 128 << 128 << -16 << 64;
    QTest::newRow("10^-300, moved left and up") << 300 << "sposta" << -1 << 1 << 0 << -1;
    QTest::newRow("80 bits, widened to 4000 x 3000") << 0 << "amplia" << 4000 << 3000 << 0 << 64;
    QTest::newRow("10^-300, widened to 300 x 2000") << 300 << "amplia" << 300 << 2000 << 0 << -1;
    QTest::newRow("2^-66400, in by 16: past the cap") << 19990 << "zoom" << 128 << 128 << 16 << 0;
    QTest::newRow("2^24 wide, out by 10: too wide") << -1 << "zoom" << 128 << 128 << -10 << 0;
}

void TestProfondita::trasformate()
{
    QFETCH(int, esponente);
    QFETCH(QString, come);
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(int, passi);
    QFETCH(int, precisione);
    CBloccoFinestra f =
        esponente > 0 && esponente < 5000 ? Attorno("0", "1", esponente, 256, 100) : CParametri().Finestra;
    if (esponente < 0) {
        f.Min = Complesso{-0x1p23L, -0x1p23L};
        f.Max = Complesso{0x1p23L, 0x1p23L};
    } else if (esponente >= 5000) {
        for (int k = 0; k < 4; ++k) {
            CReale &v = k == 0 ? f.Min.re : k == 1 ? f.Min.im : k == 2 ? f.Max.re : f.Max.im;
            v = CReale::Zero(66560);
            mpfr_set_si_2exp(v.Mp(), k < 2 ? -1 : 1, -66400, MPFR_RNDN);
            if (k % 2)
                mpfr_add_ui(v.Mp(), v.Mp(), 1, MPFR_RNDN);
        }
    }
    const CTrasformazione t = come == "zoom" ? ZoomAttorno(x, y, 256, 256, passi)
        : come == "sposta"                   ? Spostamento(x, y)
                                             : Ampliamento(256, 256, x, y);
    const int32_t W = come == "amplia" ? x : 256;
    const int32_t H = come == "amplia" ? y : 256;
    CComplessoAlto min = f.Min;
    CComplessoAlto max = f.Max;
    const EsitoFinestra esito = FinestraTrasformata(f.Min, f.Max, t, W, H, min, max);
    if (!precisione) {
        QCOMPARE(int(esito), int(esponente < 0 ? EsitoFinestra::TroppoAmpia : EsitoFinestra::OltreIlLimite));
        QCOMPARE(min, f.Min);
        return;
    }
    QCOMPARE(int(esito), int(EsitoFinestra::Fatta));
    // Each corner is the one the geometry gives, in far more bits, rounded
    // once: lo' = a + p (b - a) / q, from a corner a towards b.
    const auto verso = [](const CReale &a, const CReale &b, long p, long q) {
        CReale r = CReale::Zero(8192);
        mpfr_sub(r.Mp(), b.Mp(), a.Mp(), MPFR_RNDN);
        mpfr_mul_si(r.Mp(), r.Mp(), p, MPFR_RNDN);
        mpfr_div_si(r.Mp(), r.Mp(), q, MPFR_RNDN);
        mpfr_add(r.Mp(), r.Mp(), a.Mp(), MPFR_RNDN);
        return r;
    };
    const auto uguale = [](CReale atteso, const CReale &angolo) {
        mpfr_prec_round(atteso.Mp(), angolo.Precisione(), MPFR_RNDN);
        return atteso == angolo;
    };
    // The new corners as fractions p / q of the old sides, from X Min
    // rightwards and from Y Max downwards.
    long px1, px2, py2, py1, q;
    if (come == "zoom") {
        // The point under the pixel stays; the sides become 2^-passi of what they were.
        const long n = passi > 0 ? 1L << passi : 1, m = passi < 0 ? 1L << -passi : 1;
        q = 256 * n;
        px1 = x * (n - m), px2 = px1 + 256 * m, py2 = y * (n - m), py1 = py2 + 256 * m;
    } else if (come == "sposta") {
        q = 4, px1 = x, px2 = 4 + x, py2 = -y, py1 = 4 - y;
    } else {
        // One side kept, the other as long as the new proportions ask, about the centre.
        const long corto = std::min(x, y), lungo = std::max(x, y);
        q = 2 * corto;
        px1 = corto - (x > y ? lungo : corto), px2 = q - px1;
        py2 = corto - (x > y ? corto : lungo), py1 = q - py2;
    }
    QVERIFY(uguale(verso(f.Min.re, f.Max.re, px1, q), min.re));
    QVERIFY(uguale(verso(f.Min.re, f.Max.re, px2, q), max.re));
    QVERIFY(uguale(verso(f.Max.im, f.Min.im, py1, q), min.im));
    QVERIFY(uguale(verso(f.Max.im, f.Min.im, py2, q), max.im));
    const CReale larghezza = DifferenzaEsatta(max.re, min.re);
    for (const CReale *v : {&min.re, &min.im, &max.re, &max.im}) {
        if (precisione > 0) {
            QCOMPARE(int(v->Precisione()), precisione);
            continue;
        }
        // The last bit at most 2^-32 of a pixel of a 65536-pixel picture of the new window.
        QCOMPARE(v->Precisione() % 64, 0);
        QVERIFY(mpfr_get_exp(v->Mp()) - v->Precisione() <= mpfr_get_exp(larghezza.Mp()) - 1 - 16 - 32);
    }
}

void TestProfondita::perturbazioneComeMpfr_data()
{
    QTest::addColumn<int>("formula");
    QTest::addColumn<QString>("re");
    QTest::addColumn<QString>("im");
    QTest::newRow("Mandelbrot, 0 + 1i") << 0 << "0" << "1";
    QTest::newRow("Julia of i, around i") << 1 << "0" << "1";
}

void TestProfondita::perturbazioneComeMpfr()
{
    // Pictures 10^-30 wide around boundary points, leaping over stretches of
    // steps and taking every step: every count is that of the pixel's own
    // orbit, iterated directly in high precision (certain at every pixel here).
    QFETCH(int, formula);
    QFETCH(QString, re);
    QFETCH(QString, im);
    const int32_t lato = 64;
    Tela t(Attorno(re, im, 30, lato, 1000), int8_t(formula));
    const std::vector<int32_t> conteggi = t.Conta().Disegna();
    QVERIFY(t.Disegno.Profondo.Riferimento.Pronto);
    QVERIFY(t.Disegno.Profondo.Riferimento.Avvio.Salti.Massimo > 0);
    Tela passi(t.Parametri.Finestra, int8_t(formula));
    passi.Disegno.Profondo.Riferimento.SaltiAmmessi = false;
    const std::vector<int32_t> conteggiPassi = passi.Conta().Disegna();

    const mpfr_prec_t bit = PrecisioneDiretta(t.Parametri.Finestra);
    int uguali = 0;
    int ugualiPassi = 0;
    int alLimite = 0;
    for (int32_t i = 0; i < lato; ++i)
        for (int32_t j = 0; j < lato; ++j) {
            const CConteggioDiretto atteso = ContaPixel(t.Parametri, j, i, false, bit);
            QVERIFY(atteso.Certo);
            uguali += conteggi[size_t(i) * lato + j] == atteso.Conteggio;
            ugualiPassi += conteggiPassi[size_t(i) * lato + j] == atteso.Conteggio;
            alLimite += atteso.Conteggio == 1000;
        }
    QCOMPARE(uguali, lato * lato);
    QCOMPARE(ugualiPassi, lato * lato);
    QVERIFY(alLimite < lato * lato / 100); // a picture of escaping pixels
}

void TestProfondita::comeDaSolo_data()
{
    QTest::addColumn<int>("formula");
    QTest::addColumn<QString>("re");
    QTest::addColumn<QString>("im");
    QTest::addColumn<int>("esponente");
    QTest::addColumn<int>("lato");
    QTest::addColumn<bool>("specchio");
    QTest::newRow("Mandelbrot, 0 + 1i") << 0 << "0" << "1" << 30 << 48 << false;
    QTest::newRow("Julia of i, around i") << 1 << "0" << "1" << 30 << 48 << false;
    // Symmetric about the real axis: with the axis on a row, or between two.
    QTest::newRow("right of -2, even") << 0 << "-1.9999999999999999999999999999995" << "0" << 30 << 48 << true;
    QTest::newRow("right of -2, odd") << 0 << "-1.9999999999999999999999999999995" << "0" << 30 << 47 << true;
    QTest::newRow("Julia of i, around 0") << 1 << "0" << "0" << 30 << 47 << true;
    // Differences below the 80-bit steps' range, scaled.
    QTest::newRow("Mandelbrot, 0 + 1i, 10^-5000") << 0 << "0.37e-5000" << "1.00000000000000000000000000000002" << 5000
                                                  << 12 << false;
}

void TestProfondita::comeDaSolo()
{
    // Every pixel of a drawing, two at a time where the processor allows or
    // taken from its mirror image, is bit for bit the pixel computed alone.
    QFETCH(int, formula);
    QFETCH(QString, re);
    QFETCH(QString, im);
    QFETCH(int, esponente);
    QFETCH(int, lato);
    QFETCH(bool, specchio);
    const int32_t limite = esponente > 1000 ? 20000 : 1000;
    for (int8_t metodo : {0, 1}) {
        Tela t(Attorno(re, im, esponente, lato, limite), int8_t(formula), metodo);
        t.Disegno.AreaDisegno.Interno = &t.Interno;
        t.Disegno.AreaDisegno.Esterno = &t.Impronte;
        const std::vector<int32_t> pixel = t.Disegna();
        QCOMPARE(t.Disegno.AreaDisegno.PuntiRiflessi > 0, specchio);
        for (int32_t i = 0; i < lato; ++i)
            for (int32_t j = 0; j < lato; ++j) {
                const int32_t colore = pixel[size_t(i) * lato + j];
                CPunto p;
                QVERIFY(t.Disegno.Profondo.IteraPixel(t.Disegno.AreaDisegno, j, i, p));
                // The block method fills some pixels from their neighbours.
                if (metodo == 0 || colore == (p.Iterazioni == limite ? limite : Impronta::Di(p)))
                    QCOMPARE(colore, p.Iterazioni == limite ? limite : Impronta::Di(p));
            }
    }
}

void TestProfondita::juliaAttornoAZero()
{
    // A Julia window round 0 but not centred on it: its pixels' squares are
    // lost in 80 bits beside the constant, so it goes deep; a wide one does not.
    Julia j;
    j.Param = {0.0L, 1.0L};
    QVERIFY(DisegnoProfondo(Attorno("0.3e-900", "0", 900, 29, 1000), j, 29, 29));
    QVERIFY(!DisegnoProfondo(Attorno("0.03", "0", 1, 256, 1000), j, 256, 256));
}

void TestProfondita::interno()
{
    // Inside the main cardioid every pixel reaches the limit, and the shading
    // is that of the pixel's own point rounded to 80 bits and its final value.
    Tela t(Attorno("-0.1", "0.1", 30, 32, 300));
    const std::vector<int32_t> colori = t.Disegna();
    QVERIFY(t.Disegno.Profondo.Riferimento.Pronto);
    const CRiferimento &rif = t.Disegno.Profondo.Riferimento;
    Mandelbrot m;
    for (int32_t i = 0; i < 32; ++i)
        for (int32_t j = 0; j < 32; ++j) {
            CPunto p;
            p.c = {rif.CentroRe[0] + (rif.CentroRe[1] + (2 * j - rif.ColonnaCentro2) * rif.MezzoPassoX.Valore()),
                   rif.CentroIm[0] + (rif.CentroIm[1] + (2 * i - rif.RigaCentro2) * rif.MezzoPassoY.Valore())};
            p.MaxIterazioni = 300;
            m.Itera(p);
            QCOMPARE(p.Iterazioni, 300);
            QCOMPARE(colori[size_t(i) * 32 + j], t.Disegno.ColoratoreLog.Colore(p));
        }
}

void TestProfondita::filiEMetodi()
{
    // The same picture on every thread count, and the progress of the 80-bit path.
    const CBloccoFinestra f = Attorno("0", "1", 30, 61, 1000);
    for (int8_t metodo : {0, 1}) {
        Tela uno(f, 0, metodo, 1);
        const std::vector<int32_t> pixel = uno.Disegna();
        for (int32_t fili : {2, 3}) {
            Tela molti(f, 0, metodo, fili);
            QCOMPARE(molti.Disegna(), pixel);
            QCOMPARE(molti.Disegno.AreaDisegno.Completamento, uno.Disegno.AreaDisegno.Completamento);
        }
        Tela ottanta(CBloccoFinestra{f.Min, f.Max, 61, 61, 1000}, 0, metodo, 1);
        ottanta.Disegno.AreaDisegno.Calcolatore = nullptr;
        ottanta.Disegna();
        QCOMPARE(uno.Disegno.AreaDisegno.Completamento, ottanta.Disegno.AreaDisegno.Completamento);
    }
}

void TestProfondita::cicliComeSenza_data()
{
    QTest::addColumn<QString>("re");
    QTest::addColumn<QString>("im");
    QTest::addColumn<int>("esponente");
    QTest::addColumn<bool>("salti");
    QTest::addColumn<int>("periodo");
    // Inside the main cardioid, taking every step; near a minibrot of period
    // 8007, leaping.
    QTest::newRow("cardioid") << "-0.1" << "0.1" << 30 << false << 1;
    QTest::newRow("minibrot") << "-0.74364388703715870475219150611477977821525620794"
                              << "0.131825904205311970493132056385140678972952279328" << 27 << true << 8007;
}

void TestProfondita::cicliComeSenza()
{
    // At the limit 100000, pixels whose computation turns periodic on a
    // periodic reference end early: the picture is that of taking every
    // step, bit for bit, the final values included.
    QFETCH(QString, re);
    QFETCH(QString, im);
    QFETCH(int, esponente);
    QFETCH(bool, salti);
    QFETCH(int, periodo);
    const CBloccoFinestra f = Attorno(re, im, esponente, 24, 100000);
    std::vector<int32_t> pixel[2];
    for (int cicli = 0; cicli < 2; ++cicli) {
        Tela t(f);
        t.Disegno.Profondo.Riferimento.SaltiAmmessi = salti;
        t.Disegno.Profondo.Riferimento.CicliAmmessi = cicli;
        t.Disegno.AreaDisegno.Interno = &t.Interno;
        t.Disegno.AreaDisegno.Esterno = &t.Impronte;
        pixel[cicli] = t.Disegna();
        // The reference repeats itself bit for bit; for the cardioid's fixed
        // point, with its last bits every other step.
        QVERIFY(t.Disegno.Profondo.Riferimento.Avvio.Periodo % periodo == 0);
        QVERIFY(t.Disegno.Profondo.Riferimento.Avvio.Periodo > 0);
        QCOMPARE(t.Disegno.AreaDisegno.PassiRisparmiati > 0, bool(cicli));
    }
    QCOMPARE(pixel[1], pixel[0]);
}

void TestProfondita::stessaFinestraStessoDisegno()
{
    // A window read with the digits it needs, or with trailing zeros that add
    // precision and nothing else, draws the same picture, bit for bit.
    const CBloccoFinestra f = Attorno("0.37e-1000", "1.00000000000000000000000000000002", 1000, 24, 5000);
    CBloccoFinestra zeri = f;
    for (CReale *v : {&zeri.Min.re, &zeri.Min.im, &zeri.Max.re, &zeri.Max.im}) {
        LeggiReale(TestoReale(*v) == "0" ? "0" : TestoReale(*v).insert(TestoReale(*v).find('e') == std::string::npos
                                                                            ? TestoReale(*v).size()
                                                                            : TestoReale(*v).find('e'),
                                                                        std::string(1030, '0')),
                   *v);
        QVERIFY(v->Precisione() > f.Min.re.Precisione());
    }
    Tela a(f), b(zeri);
    for (Tela *t : {&a, &b}) {
        t->Disegno.AreaDisegno.Interno = &t->Interno;
        t->Disegno.AreaDisegno.Esterno = &t->Impronte;
    }
    QCOMPARE(a.Disegna(), b.Disegna());
}

void TestProfondita::riferimentoTenuto()
{
    // A drawing of the same settings keeps its reference orbits; one of
    // other settings draws what a fresh drawing of them draws.
    CBloccoFinestra f = Attorno("-0.75", "0.1", 40, 32, 1000);
    Tela t(f);
    const std::vector<int32_t> prima = t.Conta().Disegna();
    t.Disegno.Prepara(t.Parametri, &t.Immagine, 32, 32);
    QVERIFY(t.Disegno.Profondo.Riferimento.Pronto);
    QCOMPARE(t.Conta().Disegna(), prima);
    for (int k = 0; k < 2; ++k) {
        if (k == 0)
            t.Parametri.Finestra.MaxIterazioni = 3000;
        else
            t.Parametri.SceltaFrattale = 1;
        t.Disegno.Prepara(t.Parametri, &t.Immagine, 32, 32);
        QVERIFY(!t.Disegno.Profondo.Riferimento.Pronto);
        Tela nuova(t.Parametri.Finestra, t.Parametri.SceltaFrattale);
        QCOMPARE(t.Conta().Disegna(), nuova.Conta().Disegna());
    }
}

void TestProfondita::oltreIlLimite()
{
    // A corner of more digits than the program draws is refused, saying so;
    // a zoom that would need them is refused too.
    QTemporaryDir cartella;
    for (int cifre : {MassimoCifre, MassimoCifre + 1}) {
        const QString nome = cartella.filePath(QStringLiteral("f%1.Quillmere").arg(cifre));
        QFile file(nome);
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QByteArray x = "0." + QByteArray(cifre, '1');
        file.write("0.9\n0\n0\n" + x + "\n" + x + "\n8\n8\n100\n0\n1\n0\n1\n-1.25\n0\n0.65\n0.3\n");
        file.close();
        CParametri letti;
        QString motivo;
        const bool valido = LeggiFileParametri(nome, letti, &motivo);
        QCOMPARE(valido, cifre <= MassimoCifre);
        QCOMPARE(motivo, valido ? QString() : TestoCifreOltreIlLimite());
    }
    // A window 10^-19982 wide: zooming into a tenth of it goes past the cap.
    const CBloccoFinestra f = Attorno("0", "1", 19982, 64, 100);
    CSelezione sel;
    sel.X = 32;
    sel.Y = 32;
    CComplessoAlto min, max;
    sel.Larghezza = sel.Altezza = 64;
    QVERIFY(FinestraEsattaDaSelezione(sel, f.Min, f.Max, 64, 64, min, max));
    sel.Larghezza = sel.Altezza = 6;
    QVERIFY(!FinestraEsattaDaSelezione(sel, f.Min, f.Max, 64, 64, min, max));
}

void TestProfondita::fermataDuranteIlRiferimento()
{
    // A reference orbit of sixteen million steps of ten thousand bits: the
    // drawing parks and stops inside it (or the test runs out of time).
    Tela t(Attorno("-0.1", "0.1", 3000, 64, 1 << 24));
    CalcoloInBackground calcolo(*t.Metodo, t.Disegno.AreaDisegno);
    calcolo.Riprendi();
    calcolo.Sospendi();
    QCOMPARE(t.Disegno.AreaDisegno.Completamento, 0.0001);
    calcolo.Riprendi();
    calcolo.Termina();
    QVERIFY(!t.Disegno.Profondo.Riferimento.Pronto);
    QCOMPARE(t.Immagine.Pixel, std::vector<int32_t>(64 * 64, -1));
}

void TestProfondita::riferimentoTroppoGrande()
{
    // A limit whose reference orbit cannot be held is refused before anything
    // changes; in 80 bits the same limit needs no reference at all.
    Tela t(Attorno("0", "1", 30, 64, 100));
    t.Disegna();
    const std::vector<int32_t> prima = t.Immagine.Pixel;
    CAreaDisegno &area = t.Disegno.AreaDisegno;
    const int32_t pixel = area.LeggiPixel(10, 10);
    t.Parametri.Finestra.MaxIterazioni = INT32_MAX;
    try {
        t.Disegno.Prepara(t.Parametri, &t.Immagine, 64, 64);
        QFAIL("a reference of 2^31 steps was reserved");
    } catch (const CErrore &e) {
        QCOMPARE(QString::fromUtf8(e.what()), QString::fromUtf8(MessaggioBuffer));
    }
    QCOMPARE(area.LeggiPixel(10, 10), pixel);
    QCOMPARE(t.Immagine.Pixel, prima);

    t.Parametri.Finestra = Attorno("0", "1", 10, 64, INT32_MAX);
    t.Disegno.Prepara(t.Parametri, &t.Immagine, 64, 64);
    QCOMPARE(t.Disegno.Profondo.Riferimento.Passi(), int64_t(0));
}

void TestProfondita::esponentiInLinea()
{
    // The inline exponent routines are the library's, bit for bit: normal
    // values, subnormals, zero, infinities, and scalings into and out of range.
    const long double minimo = LDBL_MIN, massimo = LDBL_MAX, sub = LDBL_TRUE_MIN * 3.0L;
    const long double valori[] = {1.0L, -1.5L, 0x1.fffffffffffffffep-1L, minimo, -minimo, massimo, sub, -sub,
                                  0.0L, -0.0L, 1e-4000L, -7e4000L, HUGE_VALL, -HUGE_VALL};
    const int scale[] = {0, 1, -1, 63, -64, 16383, -16382, -16445, 16384, -16500, 40000, -40000};
    for (const long double v : valori) {
        if (v != 0.0L && std::isfinite(v))
            QCOMPARE(Ilogb80(v), std::ilogb(v));
        for (const int n : scale) {
            const long double a = Ldexp80(v, n), b = std::ldexp(v, n);
            QVERIFY2(std::memcmp(&a, &b, 10) == 0, qPrintable(QString::number(double(v)) + " " + QString::number(n)));
        }
    }
}

QTEST_GUILESS_MAIN(TestProfondita)
#include "tst_profondita.moc"
