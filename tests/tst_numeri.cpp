// The settings panels' number texts and readings.

#include "Errore.h"
#include "Numeri.h"

#include <QTest>

#include <cfloat>
#include <cmath>
#include <limits>
#include <vector>

Q_DECLARE_METATYPE(long double)

namespace {

const QString Punto = QStringLiteral(".");
const QString Virgola = QStringLiteral(",");

// The message of the error a reading raises, or an empty text when it reads.
template <typename Lettura>
QString Messaggio(Lettura lettura)
{
    try {
        lettura();
    } catch (const CErrore &e) {
        return QString::fromUtf8(e.what());
    }
    return QString();
}

} // namespace

class TestNumeri : public QObject
{
    Q_OBJECT

private slots:
    void testoIntero();
    void testoNumero_data();
    void testoNumero();
    void testoNumeroFuoriDalDouble();
    void leggiIntero_data();
    void leggiIntero();
    void leggiInteroRifiutato_data();
    void leggiInteroRifiutato();
    void leggiNumero_data();
    void leggiNumero();
    void leggiNumeroRifiutato_data();
    void leggiNumeroRifiutato();
    void leggiNumeroInOttantaBit_data();
    void leggiNumeroInOttantaBit();
    void andataERitorno();
    void separatoreDiSistema();
};

void TestNumeri::testoIntero()
{
    QCOMPARE(TestoIntero(120), QStringLiteral("120"));
    QCOMPARE(TestoIntero(0), QStringLiteral("0"));
    QCOMPARE(TestoIntero(-45), QStringLiteral("-45"));
    QCOMPARE(TestoIntero(1000000), QStringLiteral("1000000"));
    QCOMPARE(TestoIntero(std::numeric_limits<int32_t>::min()), QStringLiteral("-2147483648"));
}

void TestNumeri::testoNumero_data()
{
    QTest::addColumn<long double>("valore");
    QTest::addColumn<QString>("separatore");
    QTest::addColumn<QString>("testo");
    QTest::newRow("-2") << -2.0L << Punto << "-2";
    QTest::newRow("0.5") << 0.5L << Punto << "0.5";
    QTest::newRow("-1.25") << -1.25L << Punto << "-1.25";
    QTest::newRow("0.0001") << 0.0001L << Punto << "0.0001";
    QTest::newRow("0.00001") << 0.00001L << Punto << "1E-5";
    QTest::newRow("10^15") << 1e15L << Punto << "1E15";
    // The value rounded to a double, then to 15 digits: the doubles 0.65 and
    // 0.3 widened, and the extended values nearest to decimals, show those.
    QTest::newRow("0.65 da double") << static_cast<long double>(0.65) << Punto << "0.65";
    QTest::newRow("0.3 da double") << static_cast<long double>(0.3) << Punto << "0.3";
    QTest::newRow("0.1 esteso") << 0.1L << Punto << "0.1";
    QTest::newRow("0.65 esteso") << 0.65L << Punto << "0.65";
    // A zoomed corner one unit of the last place off a short decimal.
    QTest::newRow("angolo di uno zoom") << std::nextafter(0.19140625L, 1.0L) << Punto << "0.19140625";
    QTest::newRow("zero") << 0.0L << Punto << "0";
    QTest::newRow("meno zero") << -0.0L << Punto << "0";
    QTest::newRow("120") << 120.0L << Punto << "120";
    QTest::newRow("10^14, completato di zeri") << 1e14L << Punto << "100000000000000";
    QTest::newRow("15 cifre intere") << 999999999999999.0L << Punto << "999999999999999";
    QTest::newRow("arrotondato a 10^15") << 999999999999999.9L << Punto << "1E15";
    QTest::newRow("16 cifre") << 0.1234567890123456L << Punto << "0.123456789012346";
    QTest::newRow("123.456") << 123.456L << Punto << "123.456";
    QTest::newRow("0.000123") << 0.000123L << Punto << "0.000123";
    QTest::newRow("sotto 0.0001") << 0.0000999999L << Punto << "9.99999E-5";
    QTest::newRow("passo 2.5/256") << (2.5L / 256) << Punto << "0.009765625";
    QTest::newRow("un terzo") << (1.0L / 3) << Punto << "0.333333333333333";
    QTest::newRow("due terzi") << (-2.0L / 3) << Punto << "-0.666666666666667";
    QTest::newRow("10^100") << 1e100L << Punto << "1E100";
    QTest::newRow("-1.5E-7") << -1.5e-7L << Punto << "-1.5E-7";
    QTest::newRow("2.5E20") << 2.5e20L << Punto << "2.5E20";
    QTest::newRow("virgola") << -1.25L << Virgola << "-1,25";
    QTest::newRow("virgola, notazione E") << 1.5e-7L << Virgola << "1,5E-7";
    QTest::newRow("virgola, intero") << 1000.0L << Virgola << "1000";
    QTest::newRow("separatore arabo") << 0.5L << QStringLiteral("\u066B") << QStringLiteral("0\u066B5");
}

void TestNumeri::testoNumero()
{
    QFETCH(long double, valore);
    QFETCH(QString, separatore);
    QFETCH(QString, testo);
    QCOMPARE(TestoNumero(valore, separatore), testo);
}

void TestNumeri::testoNumeroFuoriDalDouble()
{
    // Values a double cannot hold get 15 digits of their own.
    QCOMPARE(TestoNumero(1e400L, Punto), QStringLiteral("1E400"));
    QCOMPARE(TestoNumero(-1.25e-400L, Punto), QStringLiteral("-1.25E-400"));
    QCOMPARE(TestoNumero(1.0L / 3 * 1e-310L, Punto), QStringLiteral("3.33333333333333E-311"));
    QCOMPARE(TestoNumero(2.0L / 3 * 1e4000L, Punto), QStringLiteral("6.66666666666667E3999"));
    QCOMPARE(TestoNumero(std::numeric_limits<long double>::infinity(), Punto), QStringLiteral("INF"));
    QCOMPARE(TestoNumero(-std::numeric_limits<long double>::infinity(), Punto), QStringLiteral("-INF"));
    QCOMPARE(TestoNumero(std::numeric_limits<long double>::quiet_NaN(), Punto), QStringLiteral("NAN"));
}

void TestNumeri::leggiIntero_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<int>("valore");
    QTest::newRow("12") << "12" << 12;
    QTest::newRow("spazi prima") << "   12" << 12;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("zeri iniziali") << "0012" << 12;
    QTest::newRow("più") << "+7" << 7;
    QTest::newRow("meno") << "-120" << -120;
    QTest::newRow("meno zero") << "-0" << 0;
    QTest::newRow("massimo") << "2147483647" << 2147483647;
    QTest::newRow("minimo") << "-2147483648" << std::numeric_limits<int>::min();
    QTest::newRow("$FF") << "$FF" << 255;
    QTest::newRow("$ff minuscolo") << "$ff" << 255;
    QTest::newRow("spazi e $") << "  $1A" << 26;
    QTest::newRow("x") << "x10" << 16;
    QTest::newRow("X") << "X10" << 16;
    QTest::newRow("0x") << "0x7fffffff" << 2147483647;
    QTest::newRow("0X, schema di 32 bit") << "0X80000000" << std::numeric_limits<int>::min();
    QTest::newRow("otto F") << "$FFFFFFFF" << -1;
    QTest::newRow("otto cifre con zeri") << "$0000000A" << 10;
}

void TestNumeri::leggiIntero()
{
    QFETCH(QString, testo);
    QFETCH(int, valore);
    QCOMPARE(LeggiIntero(testo), valore);
}

void TestNumeri::leggiInteroRifiutato_data()
{
    QTest::addColumn<QString>("testo");
    QTest::newRow("vuoto") << "";
    QTest::newRow("solo spazi") << "   ";
    QTest::newRow("spazio dopo") << "12 ";
    QTest::newRow("spazio in mezzo") << "1 2";
    QTest::newRow("lettera dopo") << "12a";
    QTest::newRow("decimali") << "1.5";
    QTest::newRow("solo segno") << "-";
    QTest::newRow("due segni") << "+-1";
    QTest::newRow("oltre il massimo") << "2147483648";
    QTest::newRow("sotto il minimo") << "-2147483649";
    QTest::newRow("molto lungo") << "99999999999999999999999999";
    QTest::newRow("$ senza cifre") << "$";
    QTest::newRow("0x senza cifre") << "0x";
    QTest::newRow("nove cifre esadecimali") << "$123456789";
    QTest::newRow("segno ed esadecimale") << "-$FF";
    QTest::newRow("più ed esadecimale") << "+0x1";
    QTest::newRow("cifra non esadecimale") << "0x1G";
    QTest::newRow("spazio dopo esadecimale") << "$FF ";
    QTest::newRow("cifre a larghezza piena") << QStringLiteral("\uFF11\uFF12");
    QTest::newRow("cifre arabo-indiche") << QStringLiteral("\u0661\u0662");
    QTest::newRow("accentata") << QStringLiteral("12\u00E8");
}

void TestNumeri::leggiInteroRifiutato()
{
    QFETCH(QString, testo);
    QCOMPARE(Messaggio([&] { LeggiIntero(testo); }),
             QLatin1Char('\'') + testo + QStringLiteral("' is not a valid integer value"));
}

void TestNumeri::leggiNumero_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QString>("separatore");
    QTest::addColumn<long double>("valore");
    QTest::newRow("-2") << "-2" << Punto << -2.0L;
    QTest::newRow("0.5") << "0.5" << Punto << 0.5L;
    QTest::newRow("1e3") << "1e3" << Punto << 1000.0L;
    QTest::newRow("1E-5") << "1E-5" << Punto << 1e-5L;
    QTest::newRow("esponente con segno") << "1.5e+3" << Punto << 1500.0L;
    QTest::newRow("spazi intorno") << "  -1.25  " << Punto << -1.25L;
    QTest::newRow("più") << "+0.65" << Punto << 0.65L;
    QTest::newRow("solo decimali") << ".5" << Punto << 0.5L;
    QTest::newRow("separatore finale") << "5." << Punto << 5.0L;
    QTest::newRow("zero negativo") << "-0" << Punto << 0.0L;
    QTest::newRow("virgola") << "1,5" << Virgola << 1.5L;
    QTest::newRow("virgola ed esponente") << "-0,65e1" << Virgola << -6.5L;
    QTest::newRow("separatore arabo") << QStringLiteral("1\u066B5") << QStringLiteral("\u066B") << 1.5L;
    QTest::newRow("massimo esteso") << "1.18973149535723176502e+4932" << Punto << LDBL_MAX;
    QTest::newRow("sottoflusso") << "1e-5000" << Punto << 0.0L;
}

void TestNumeri::leggiNumero()
{
    QFETCH(QString, testo);
    QFETCH(QString, separatore);
    QFETCH(long double, valore);
    QCOMPARE(LeggiNumero(testo, separatore), valore);
}

void TestNumeri::leggiNumeroRifiutato_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QString>("separatore");
    QTest::newRow("vuoto") << "" << Punto;
    QTest::newRow("solo spazi") << "   " << Punto;
    QTest::newRow("virgola col punto") << "1,5" << Punto;
    QTest::newRow("punto con la virgola") << "1.5" << Virgola;
    QTest::newRow("due separatori") << "1.5.3" << Punto;
    QTest::newRow("spazio in mezzo") << "1 5" << Punto;
    QTest::newRow("esponente senza cifre") << "1e" << Punto;
    QTest::newRow("esponente senza cifre, con segno") << "1e+" << Punto;
    QTest::newRow("solo esponente") << "e3" << Punto;
    QTest::newRow("solo separatore") << "." << Punto;
    QTest::newRow("solo segno") << "-" << Punto;
    QTest::newRow("due segni") << "--1" << Punto;
    QTest::newRow("lettere") << "abc" << Punto;
    QTest::newRow("lettera dopo") << "1.5x" << Punto;
    QTest::newRow("esadecimale") << "0x10" << Punto;
    QTest::newRow("infinito") << "inf" << Punto;
    QTest::newRow("nan") << "nan" << Punto;
    QTest::newRow("esponente decimale") << "1e1.5" << Punto;
    QTest::newRow("troppo grande") << "1e5000" << Punto;
    QTest::newRow("troppo grande negativo") << "-1.2e4932" << Punto;
    QTest::newRow("cifre a larghezza piena") << QStringLiteral("\uFF11.5") << Punto;
    QTest::newRow("separatore arabo col punto") << QStringLiteral("1\u066B5") << Punto;
    QTest::newRow("accentata") << QStringLiteral("\u00E8") << Punto;
}

void TestNumeri::leggiNumeroRifiutato()
{
    QFETCH(QString, testo);
    QFETCH(QString, separatore);
    QCOMPARE(Messaggio([&] { LeggiNumero(testo, separatore); }),
             QLatin1Char('\'') + testo + QStringLiteral("' is not a valid floating point value"));
}

void TestNumeri::leggiNumeroInOttantaBit_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<long double>("valore");
    // Each of these differs from the nearest double: the reading must not pass through one.
    QTest::newRow("0.1") << "0.1" << 0.1L;
    QTest::newRow("pi greco") << "3.14159265358979323846" << 3.14159265358979323846L;
    QTest::newRow("uno più 2^-63") << "1.0000000000000000001" << 1.0000000000000000001L;
    QTest::newRow("0.65") << "0.65" << 0.65L;
    QTest::newRow("-1.3e-2000") << "-1.3e-2000" << -1.3e-2000L;
    QTest::newRow("7e3000") << "7e3000" << 7e3000L;
}

void TestNumeri::leggiNumeroInOttantaBit()
{
    QFETCH(QString, testo);
    QFETCH(long double, valore);
    const long double letto = LeggiNumero(testo, Punto);
    QVERIFY(letto == valore);
    QVERIFY(letto != static_cast<long double>(static_cast<double>(valore)));
}

void TestNumeri::andataERitorno()
{
    // A value typed by hand, of at most 15 digits, shows as typed: it reads
    // back to itself, with either separator. Any other shows its 15 digits,
    // which read back to within 15 digits of it.
    const std::vector<long double> valori{-2.0L, 0.5L, -1.25L, 0.0001L, 1e-5L, 1e15L, 0.65L, 123.456L, 1e100L,
                                          0.1L, -0.7436438870371L, 1e-300L, 7.25e3000L};
    for (const QString &separatore : {Punto, Virgola})
        for (long double v : valori)
            QVERIFY2(LeggiNumero(TestoNumero(v, separatore), separatore) == v, qPrintable(TestoNumero(v, Punto)));
    uint64_t stato = 12345;
    for (int k = 0; k < 2000; ++k) {
        stato = stato * 6364136223846793005ULL + 1442695040888963407ULL;
        const long double v = std::ldexp(static_cast<long double>(stato | (uint64_t(1) << 63)), int(stato % 200) - 300);
        const QString testo = TestoNumero(v, Punto);
        const long double letto = LeggiNumero(testo, Punto);
        QVERIFY2(std::fabs(letto - v) <= std::fabs(v) * 6e-15L, qPrintable(testo));
        int cifre = 0;
        for (const QChar c : testo.left(testo.indexOf(QLatin1Char('E'))))
            cifre += c.isDigit() ? 1 : 0;
        QVERIFY2(cifre <= 15 + (std::fabs(v) < 1 ? 4 : 0), qPrintable(testo));
    }
    QCOMPARE(LeggiIntero(TestoIntero(-2147483647 - 1)), -2147483647 - 1);
}

void TestNumeri::separatoreDiSistema()
{
    // The test runs under the locale that CTest sets: C.UTF-8, and a second
    // time Italian, which writes decimals with a comma.
    const QByteArray lingua = qgetenv("LC_ALL");
    if (lingua.startsWith("it_IT"))
        QCOMPARE(SeparatoreDecimaleDiSistema(), Virgola);
    else if (lingua.startsWith("C"))
        QCOMPARE(SeparatoreDecimaleDiSistema(), Punto);
    else
        QSKIP("no expectation for this locale");
}

QTEST_APPLESS_MAIN(TestNumeri)
#include "tst_numeri.moc"
