#include "Numeri.h"

#include "Errore.h"

#include <QLocale>

#include <cfloat>
#include <cmath>
#include <iomanip>
#include <locale>
#include <sstream>
#include <string>

namespace {

[[noreturn]] void NonIntero(const QString &testo)
{
    throw CErrore((QLatin1Char('\'') + testo + QStringLiteral("' is not a valid integer value")).toStdString());
}

[[noreturn]] void NonNumero(const QString &testo)
{
    throw CErrore((QLatin1Char('\'') + testo + QStringLiteral("' is not a valid floating point value")).toStdString());
}

bool Cifra(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

int CifraEsadecimale(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// The significant digits (at most quante, no trailing zeros) and the
// exponent e with the magnitude equal to 0.d1d2...dn x 10^e, of a finite
// nonzero value.
template <typename T>
void CifreEdEsponente(T grandezza, std::string &cifre, int &e, int quante)
{
    // The digits, correctly rounded, from the C library's scientific form:
    // "d.dddddddddddddde+XX".
    std::ostringstream os;
    os.imbue(std::locale::classic());
    os << std::scientific << std::setprecision(quante - 1) << grandezza;
    const std::string s = os.str();
    const std::string::size_type posE = s.find('e');
    cifre = s.substr(0, 1) + s.substr(2, posE - 2);
    e = std::stoi(s.substr(posE + 1)) + 1;
    const std::string::size_type ultima = cifre.find_last_not_of('0');
    cifre.erase(ultima + 1);
}

} // namespace

QString SeparatoreDecimaleDiSistema()
{
    return QLocale::system().decimalPoint();
}

QString TestoIntero(int32_t valore)
{
    return QString::number(valore);
}

namespace {

// The digits of a finite nonzero magnitude that the panels show: at most 15
// of the value rounded to a double; of the value itself where no double
// holds it (beyond the double's range, or among its subnormals, which keep
// too few bits for 15 digits).
void CifrePannello(long double grandezza, std::string &cifre, int &e)
{
    const double doppio = static_cast<double>(grandezza);
    if (std::isnormal(doppio))
        CifreEdEsponente(doppio, cifre, e, 15);
    else
        CifreEdEsponente(grandezza, cifre, e, 15);
}

} // namespace

namespace {

// ±0.d1d2...dn x 10^e in the panels' notation.
QString TestoDaCifre(bool negativo, const std::string &cifre, long e, const QString &separatore)
{
    const long n = long(cifre.size());
    QString testo;
    if (negativo)
        testo += QLatin1Char('-');
    if (e >= -3 && e <= 15) {
        if (e > 0) {
            testo += QString::fromLatin1(cifre.data(), std::min(n, e));
            if (n < e)
                testo += QString(e - n, QLatin1Char('0'));
            else if (n > e)
                testo += separatore + QString::fromLatin1(cifre.data() + e, n - e);
        } else {
            testo += QLatin1Char('0') + separatore + QString(-e, QLatin1Char('0')) + QString::fromLatin1(cifre.data(), n);
        }
    } else {
        testo += QLatin1Char(cifre[0]);
        if (n > 1)
            testo += separatore + QString::fromLatin1(cifre.data() + 1, n - 1);
        testo += QLatin1Char('E') + QString::number(e - 1);
    }
    return testo;
}

} // namespace

QString TestoNumero(long double valore, const QString &separatore)
{
    if (std::isnan(valore))
        return QStringLiteral("NAN");
    if (std::isinf(valore))
        return valore < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    const long double grandezza = std::fabs(valore);
    if (grandezza == 0.0L)
        return QStringLiteral("0");
    std::string cifre;
    int e = 0;
    CifrePannello(grandezza, cifre, e);
    return TestoDaCifre(valore < 0, cifre, e, separatore);
}

QString TestoCoordinata(const CReale &valore, const QString &separatore)
{
    if (valore.Precisione() <= 64)
        return TestoNumero(valore.Esteso(), separatore);
    const CCifre cifre = CifreDi(valore);
    if (cifre.Cifre.empty())
        return QStringLiteral("0");
    return TestoDaCifre(cifre.Negativo, cifre.Cifre, cifre.Esponente, separatore);
}

int32_t LeggiIntero(const QString &testo)
{
    const qsizetype n = testo.size();
    qsizetype i = 0;
    while (i < n && testo[i] == QLatin1Char(' '))
        ++i;
    if (i == n)
        NonIntero(testo);

    // Hexadecimal: "$", "x", "X", "0x" or "0X", then one to eight digits.
    qsizetype inizioEsadecimale = -1;
    if (testo[i] == QLatin1Char('$') || testo[i] == QLatin1Char('x') || testo[i] == QLatin1Char('X'))
        inizioEsadecimale = i + 1;
    else if (testo[i] == QLatin1Char('0') && i + 1 < n
             && (testo[i + 1] == QLatin1Char('x') || testo[i + 1] == QLatin1Char('X')))
        inizioEsadecimale = i + 2;
    if (inizioEsadecimale >= 0) {
        const qsizetype cifre = n - inizioEsadecimale;
        if (cifre < 1 || cifre > 8)
            NonIntero(testo);
        uint32_t valore = 0;
        for (qsizetype k = inizioEsadecimale; k < n; ++k) {
            const int c = CifraEsadecimale(testo[k]);
            if (c < 0)
                NonIntero(testo);
            valore = valore * 16 + uint32_t(c);
        }
        return static_cast<int32_t>(valore);
    }

    bool negativo = false;
    if (testo[i] == QLatin1Char('+') || testo[i] == QLatin1Char('-')) {
        negativo = testo[i] == QLatin1Char('-');
        ++i;
    }
    if (i == n)
        NonIntero(testo);
    int64_t valore = 0;
    for (; i < n; ++i) {
        if (!Cifra(testo[i]))
            NonIntero(testo);
        valore = valore * 10 + (testo[i].unicode() - u'0');
        if (valore > int64_t(1) << 31)
            NonIntero(testo);
    }
    if (negativo)
        valore = -valore;
    if (valore > INT32_MAX)
        NonIntero(testo);
    return static_cast<int32_t>(valore);
}

namespace {

// The number of a panel's text rewritten for the C locale: sign, digits,
// '.', exponent. Anything else raises the floating-point message.
std::string TestoC(const QString &testo, const QString &separatore)
{
    qsizetype inizio = 0;
    qsizetype fine = testo.size();
    while (inizio < fine && testo[inizio] == QLatin1Char(' '))
        ++inizio;
    while (fine > inizio && testo[fine - 1] == QLatin1Char(' '))
        --fine;

    // The number, rewritten for the C locale: sign, digits, '.', exponent.
    std::string numero;
    qsizetype i = inizio;
    if (i < fine && (testo[i] == QLatin1Char('+') || testo[i] == QLatin1Char('-')))
        numero += char(testo[i++].unicode());
    bool separatoreVisto = false;
    bool cifraVista = false;
    while (i < fine) {
        if (Cifra(testo[i])) {
            numero += char(testo[i++].unicode());
            cifraVista = true;
        } else if (!separatore.isEmpty() && !separatoreVisto
                   && QStringView(testo).mid(i, fine - i).startsWith(separatore)) {
            numero += '.';
            i += separatore.size();
            separatoreVisto = true;
        } else {
            break;
        }
    }
    if (!cifraVista)
        NonNumero(testo);
    if (i < fine && (testo[i] == QLatin1Char('E') || testo[i] == QLatin1Char('e'))) {
        numero += 'e';
        ++i;
        if (i < fine && (testo[i] == QLatin1Char('+') || testo[i] == QLatin1Char('-')))
            numero += char(testo[i++].unicode());
        bool cifraEsponente = false;
        while (i < fine && Cifra(testo[i])) {
            numero += char(testo[i++].unicode());
            cifraEsponente = true;
        }
        if (!cifraEsponente)
            NonNumero(testo);
    }
    if (i != fine)
        NonNumero(testo);
    return numero;
}

} // namespace

long double LeggiNumero(const QString &testo, const QString &separatore)
{
    const std::string numero = TestoC(testo, separatore);
    // The C library rounds the whole text to the nearest 80-bit value; a
    // value beyond the 80-bit range fails the stream.
    std::istringstream is(numero);
    is.imbue(std::locale::classic());
    long double valore = 0.0L;
    is >> valore;
    if (is.fail() || is.peek() != std::char_traits<char>::eof() || std::isinf(valore))
        NonNumero(testo);
    return valore;
}

CReale LeggiCoordinata(const QString &testo, const QString &separatore)
{
    CReale valore;
    if (!LeggiReale(TestoC(testo, separatore), valore))
        NonNumero(testo);
    return valore;
}
