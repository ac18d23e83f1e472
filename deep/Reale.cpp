#include "Reale.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <istream>
#include <locale>
#include <ostream>
#include <sstream>

CReale::CReale(long double v)
{
    mpfr_init2(V, 64);
    mpfr_set_ld(V, v, MPFR_RNDN);
}

CReale::CReale(const CReale &altro)
{
    mpfr_init2(V, altro.Precisione());
    mpfr_set(V, altro.V, MPFR_RNDN);
}

CReale::CReale(CReale &&altro) noexcept
{
    mpfr_init2(V, 64);
    mpfr_set_zero(V, 1);
    mpfr_swap(V, altro.V);
}

CReale &CReale::operator=(const CReale &altro)
{
    if (this != &altro) {
        mpfr_set_prec(V, altro.Precisione());
        mpfr_set(V, altro.V, MPFR_RNDN);
    }
    return *this;
}

CReale &CReale::operator=(CReale &&altro) noexcept
{
    mpfr_swap(V, altro.V);
    return *this;
}

CReale::~CReale()
{
    mpfr_clear(V);
}

CReale CReale::Zero(mpfr_prec_t bit)
{
    CReale r;
    mpfr_set_prec(r.V, bit);
    mpfr_set_zero(r.V, 1);
    return r;
}

bool operator==(const CReale &a, const CReale &b)
{
    return mpfr_equal_p(a.Mp(), b.Mp()) != 0;
}

bool operator==(const CComplessoAlto &a, const CComplessoAlto &b)
{
    return a.re == b.re && a.im == b.im;
}

void ScriviRealeEsatto(std::ostream &os, long double v)
{
    const std::streamsize base = std::max<std::streamsize>(os.precision(), 1);
    std::string testo;
    for (std::streamsize cifre = std::min<std::streamsize>(base, 21); ; ++cifre) {
        std::ostringstream out;
        out.imbue(std::locale::classic());
        out.flags(os.flags() & ~std::ios_base::floatfield);
        out.precision(cifre);
        out << v;
        testo = out.str();
        std::istringstream in(testo);
        in.imbue(std::locale::classic());
        long double letto = 0.0L;
        if (cifre >= 21 || ((in >> letto) && letto == v))
            break;
    }
    os << testo;
}

namespace {

// The weight of a nonzero finite value's lowest bit, as a power of 2.
mpfr_exp_t UltimoBit(mpfr_srcptr x)
{
    return mpfr_get_exp(x) - mpfr_exp_t(mpfr_get_prec(x));
}

// a + b or a - b at a precision that holds every bit of the result.
CReale SommaSegnata(const CReale &a, const CReale &b, bool differenza)
{
    if (!mpfr_regular_p(a.Mp()) || !mpfr_regular_p(b.Mp())) {
        // Zeros (and values that are not numbers) need no room of their own.
        const mpfr_prec_t bit = std::max(a.Precisione(), b.Precisione());
        CReale r = CReale::Zero(bit);
        if (differenza)
            mpfr_sub(r.Mp(), a.Mp(), b.Mp(), MPFR_RNDN);
        else
            mpfr_add(r.Mp(), a.Mp(), b.Mp(), MPFR_RNDN);
        return r;
    }
    const mpfr_exp_t alto = std::max(mpfr_get_exp(a.Mp()), mpfr_get_exp(b.Mp())) + 1;
    const mpfr_exp_t basso = std::min(UltimoBit(a.Mp()), UltimoBit(b.Mp()));
    CReale r = CReale::Zero(std::min<mpfr_prec_t>(MPFR_PREC_MAX, mpfr_prec_t(alto - basso)));
    if (differenza)
        mpfr_sub(r.Mp(), a.Mp(), b.Mp(), MPFR_RNDN);
    else
        mpfr_add(r.Mp(), a.Mp(), b.Mp(), MPFR_RNDN);
    return r;
}

} // namespace

CReale SommaEsatta(const CReale &a, const CReale &b)
{
    return SommaSegnata(a, b, false);
}

CReale DifferenzaEsatta(const CReale &a, const CReale &b)
{
    return SommaSegnata(a, b, true);
}

CReale ProdottoEsatto(const CReale &a, int64_t n)
{
    static_assert(sizeof(long) >= sizeof(int64_t), "MPFR takes the factor as a long");
    // A 64-bit factor adds at most 64 bits.
    CReale r = CReale::Zero(a.Precisione() + 64);
    mpfr_mul_si(r.Mp(), a.Mp(), long(n), MPFR_RNDN);
    return r;
}

int CifrePrecisione(mpfr_prec_t bit)
{
    return int(mpfr_get_str_ndigits(10, bit));
}

namespace {

// Longer texts are not numbers this program can use, whatever they hold.
constexpr size_t LunghezzaMassima = size_t(1) << 20;

// The precision of a text with n > 21 significant digits.
mpfr_prec_t PrecisioneDaCifre(size_t n)
{
    // 64 k bits take about 19.27 k digits: start just below and go up.
    mpfr_prec_t k = std::max<mpfr_prec_t>(2, mpfr_prec_t(double(n) / 19.3) - 1);
    while (size_t(CifrePrecisione(64 * k)) < n)
        ++k;
    return 64 * k;
}

// A value of at most 64 bits that an 80-bit real holds exactly.
bool Esteso80(const CReale &v, long double &x)
{
    if (v.Precisione() > 64)
        return false;
    x = v.Esteso();
    return !mpfr_number_p(v.Mp()) || mpfr_cmp_ld(v.Mp(), x) == 0;
}

// The significant digits of a mantissa (sign, digits, at most one '.').
size_t CifreSignificative(const std::string &testo, size_t fine)
{
    size_t n = 0;
    bool iniziate = false;
    for (size_t k = 0; k < fine; ++k) {
        const char c = testo[k];
        if (c < '0' || c > '9')
            continue;
        iniziate = iniziate || c != '0';
        if (iniziate)
            ++n;
    }
    return n;
}

// The value of a C-locale number text whose characters the stream's own
// extraction would take. Up to 21 significant digits the stream itself
// converts it, as it always has; beyond, MPFR at the precision of the rule.
bool DaTesto(const std::string &testo, CReale &v)
{
    const size_t posE = testo.find_first_of("eE");
    const size_t cifre = CifreSignificative(testo, posE == std::string::npos ? testo.size() : posE);
    if (cifre <= size_t(CifreEsteso)) {
        std::istringstream in(testo);
        in.imbue(std::locale::classic());
        long double x = 0.0L;
        if (!(in >> x) || std::isinf(x))
            return false;
        v = CReale(x);
        return true;
    }
    if (cifre > size_t(MassimoCifre))
        return false;
    CReale letto = CReale::Zero(PrecisioneDaCifre(cifre));
    char *fine = nullptr;
    mpfr_strtofr(letto.Mp(), testo.c_str(), &fine, 10, MPFR_RNDN);
    if (fine == testo.c_str() || *fine != '\0' || !mpfr_number_p(letto.Mp()) || std::isinf(letto.Esteso()))
        return false;
    v = std::move(letto);
    return true;
}

// Takes, after white space, the characters that the stream's extraction of a
// floating-point value takes in the classic locale: a sign, the mantissa
// (leading zeros kept as one), an exponent after a digit. False (failbit
// set) when nothing can start.
bool EstraiNumero(std::istream &is, std::string &testo)
{
    const std::istream::sentry sentinella(is);
    if (!sentinella)
        return false;
    std::streambuf *buffer = is.rdbuf();
    using Tratti = std::char_traits<char>;
    int c = buffer->sgetc();
    bool fine = Tratti::eq_int_type(c, Tratti::eof());
    const auto avanti = [&] {
        c = buffer->snextc();
        fine = Tratti::eq_int_type(c, Tratti::eof());
    };

    if (!fine && (c == '+' || c == '-')) {
        testo += char(c);
        avanti();
    }
    bool mantissa = false;
    while (!fine && c == '0') {
        if (!mantissa)
            testo += '0';
        mantissa = true;
        avanti();
    }
    bool punto = false;
    bool esponente = false;
    while (!fine && testo.size() <= LunghezzaMassima) {
        if (c >= '0' && c <= '9') {
            testo += char(c);
            mantissa = true;
        } else if (c == '.' && !punto && !esponente) {
            testo += '.';
            punto = true;
        } else if ((c == 'e' || c == 'E') && !esponente && mantissa) {
            testo += 'e';
            esponente = true;
            avanti();
            if (fine)
                break;
            if (c != '+' && c != '-')
                continue;
            testo += char(c);
        } else {
            break;
        }
        avanti();
    }
    if (fine)
        is.setstate(std::ios_base::eofbit);
    if (testo.size() > LunghezzaMassima) {
        is.setstate(std::ios_base::failbit);
        return false;
    }
    return true;
}

} // namespace

CCifre CifreDi(const CReale &v)
{
    CCifre c;
    c.Negativo = mpfr_signbit(v.Mp()) != 0;
    if (mpfr_zero_p(v.Mp()) || !mpfr_number_p(v.Mp()))
        return c;
    long double x = 0.0L;
    if (Esteso80(v, x)) {
        // The digits of the text the file has always held.
        std::ostringstream os;
        os.imbue(std::locale::classic());
        ScriviRealeEsatto(os, x);
        const std::string testo = os.str();
        const size_t posE = testo.find('e');
        const std::string mantissa = testo.substr(0, posE);
        long esponente = posE == std::string::npos ? 0 : std::stol(testo.substr(posE + 1));
        const size_t punto = mantissa.find('.');
        // Digits before the point raise the exponent.
        for (size_t k = 0; k < (punto == std::string::npos ? mantissa.size() : punto); ++k)
            if (mantissa[k] >= '0' && mantissa[k] <= '9')
                ++esponente;
        for (const char d : mantissa)
            if (d >= '0' && d <= '9')
                c.Cifre += d;
        // Leading zeros lower it.
        const size_t prima = c.Cifre.find_first_not_of('0');
        esponente -= long(prima);
        c.Cifre.erase(0, prima);
        c.Cifre.erase(c.Cifre.find_last_not_of('0') + 1);
        c.Esponente = esponente;
        return c;
    }
    const mpfr_prec_t bit = std::max<mpfr_prec_t>(128, (v.Precisione() + 63) / 64 * 64);
    mpfr_exp_t e = 0;
    char *cifre = mpfr_get_str(nullptr, &e, 10, size_t(CifrePrecisione(bit)), v.Mp(), MPFR_RNDN);
    c.Cifre = cifre + (cifre[0] == '-' ? 1 : 0);
    mpfr_free_str(cifre);
    c.Esponente = long(e);
    return c;
}

bool RealeDaCifre(const CCifre &c, CReale &v)
{
    if (c.Cifre.find_first_not_of("0123456789") != std::string::npos)
        return false;
    std::string testo = c.Negativo ? "-0." : "0.";
    testo += c.Cifre.empty() ? "0" : c.Cifre;
    testo += 'e' + std::to_string(c.Esponente);
    return DaTesto(testo, v);
}

std::string TestoReale(const CReale &v)
{
    std::ostringstream os;
    os.imbue(std::locale::classic());
    ScriviReale(os, v);
    return os.str();
}

CReale RealeDelTesto(const CReale &v)
{
    if (v.Precisione() <= 64 || !mpfr_regular_p(v.Mp()))
        return v;
    // The fewest significant digits that read back to v at its precision:
    // the number its text stood for, whatever zeros followed it.
    const auto legge = [&](size_t n, CReale &r) {
        mpfr_exp_t e = 0;
        char *cifre = mpfr_get_str(nullptr, &e, 10, n, v.Mp(), MPFR_RNDN);
        std::string testo = cifre;
        mpfr_free_str(cifre);
        const bool negativo = testo[0] == '-';
        if (negativo)
            testo.erase(0, 1);
        testo = std::string(negativo ? "-0." : "0.") + testo + "e" + std::to_string(long(e));
        mpfr_strtofr(r.Mp(), testo.c_str(), nullptr, 10, MPFR_RNDN);
    };
    size_t basso = 1;
    size_t alto = size_t(CifrePrecisione(std::max<mpfr_prec_t>(v.Precisione(), 128)));
    CReale prova = CReale::Zero(v.Precisione());
    while (basso < alto) {
        const size_t n = (basso + alto) / 2;
        legge(n, prova);
        if (prova == v)
            alto = n;
        else
            basso = n + 1;
    }
    // Read as a text of that many digits is: at the precision they imply.
    CReale r = CReale::Zero(basso <= size_t(CifreEsteso) ? 64 : PrecisioneDaCifre(basso));
    legge(basso, r);
    return r;
}

void ScriviReale(std::ostream &os, const CReale &v)
{
    long double x = 0.0L;
    // Zero reads back at 64 bits whatever its precision was.
    if (Esteso80(v, x) || mpfr_zero_p(v.Mp())) {
        ScriviRealeEsatto(os, v.Esteso());
        return;
    }
    // The general form of C with every digit kept: fixed notation while the
    // decimal exponent X of d.ddd is at least -4 and below the digit count.
    const CCifre c = CifreDi(v);
    const long n = long(c.Cifre.size());
    const long X = c.Esponente - 1;
    std::string testo = c.Negativo ? "-" : "";
    if (X < -4 || X >= n) {
        testo += c.Cifre[0];
        testo += '.';
        testo.append(c.Cifre, 1, std::string::npos);
        const long a = X < 0 ? -X : X;
        testo += X < 0 ? "e-" : "e+";
        if (a < 10)
            testo += '0';
        testo += std::to_string(a);
    } else if (X >= 0) {
        testo.append(c.Cifre, 0, size_t(X + 1));
        if (n > X + 1) {
            testo += '.';
            testo.append(c.Cifre, size_t(X + 1), std::string::npos);
        }
    } else {
        testo += "0.";
        testo.append(size_t(-X - 1), '0');
        testo += c.Cifre;
    }
    os << testo;
}

bool LeggiReale(const std::string &testo, CReale &v)
{
    if (testo.empty() || std::isspace(static_cast<unsigned char>(testo[0])))
        return false;
    std::istringstream in(testo);
    in.imbue(std::locale::classic());
    CReale letto;
    if (!LeggiReale(in, letto) || in.peek() != std::char_traits<char>::eof())
        return false;
    v = std::move(letto);
    return true;
}

std::istream &LeggiReale(std::istream &is, CReale &v, bool *troppeCifre)
{
    std::string testo;
    if (!EstraiNumero(is, testo))
        return is;
    CReale letto;
    if (!DaTesto(testo, letto)) {
        if (troppeCifre) {
            const size_t posE = testo.find_first_of("eE");
            *troppeCifre = CifreSignificative(testo, posE == std::string::npos ? testo.size() : posE)
                > size_t(MassimoCifre);
        }
        is.setstate(std::ios_base::failbit);
        return is;
    }
    v = std::move(letto);
    return is;
}
