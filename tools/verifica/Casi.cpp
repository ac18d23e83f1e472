#include "Casi.h"

#include "Generatori.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <sstream>

namespace {

constexpr double Log2Di10 = 3.321928094887362;

uint64_t Mescola(uint64_t x)
{
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

mpfr_prec_t Per64(double bit)
{
    return mpfr_prec_t(std::ceil(std::max(bit, 128.0) / 64.0)) * 64;
}

// The bits a point must carry for a window 10^-esponente wide around it.
mpfr_prec_t BitPunto(double esponente)
{
    return Per64(esponente * Log2Di10 + 7.0 + 96.0);
}

std::string Testo(double v, int cifre = 4)
{
    std::ostringstream os;
    os.precision(cifre);
    os << v;
    return os.str();
}

// A Mandelbrot point of a random start, or of a real one.
CComplessoAlto PartenzaCasuale(CCasuale &r, bool reale)
{
    if (reale)
        return CComplessoAlto(CReale(static_cast<long double>(r.Uniforme(-2.0, 0.25))), CReale(0.0L));
    return CComplessoAlto(CReale(static_cast<long double>(r.Uniforme(-2.1, 0.6))),
                          CReale(static_cast<long double>(r.Uniforme(-1.3, 1.3))));
}

// A random Misiurewicz point to bit bits, of preperiod 2 to 24 and period
// 1 to 4 (real ones when reale).
bool MisiurewiczCasuale(CCasuale &r, bool reale, mpfr_prec_t bit, CMisiurewicz &m)
{
    for (int tentativo = 0; tentativo < 400; ++tentativo) {
        const int pre = r.Intero(2, reale ? 12 : 24);
        const int periodo = r.Intero(1, reale ? 3 : 4);
        if (TrovaMisiurewicz(PartenzaCasuale(r, reale), pre, periodo, 128, m) && m.Log2Moltiplicatore > 0.2)
            return TrovaMisiurewicz(m.c, pre, periodo, bit, m);
    }
    return false;
}

// Pixels near a Misiurewicz point, 10^-esponente away, are about
// 10^-esponente |dz_m/dc| away from its cycle at step m, and leave it after
// about this many steps.
double PassiMisiurewicz(const CMisiurewicz &m, double esponente)
{
    const double distanza = esponente * Log2Di10 - m.Log2Derivata;
    return m.Preperiodo + m.Periodo * std::max(0.0, distanza) / m.Log2Moltiplicatore + 30.0;
}

// A limit around the counts the neighbourhood needs.
int32_t Limite(CCasuale &r, double passi, const COpzioniCasi &o)
{
    return int32_t(std::clamp(passi * r.LogUniforme(0.6, 3.0), 50.0, double(o.LimiteMassimo)));
}

// A minibrot's limit: some periods, few where a period is long (its
// interior pixels take the whole limit, in the engine and in the check).
int32_t LimiteMinibrot(CCasuale &r, int periodo, double esponente, const COpzioniCasi &o)
{
    const double volte = esponente > 1000.0 ? r.LogUniforme(2.5, 5.0) : r.LogUniforme(3.0, 30.0);
    return int32_t(std::clamp(periodo * volte, 100.0, double(o.LimiteMassimo)));
}

// The deepest window around a point whose pixels escape within the limit, or esponente.
double Raggiungibile(double esponente, const COpzioniCasi &o, const std::function<double(double)> &passi)
{
    while (esponente > 20.0 && passi(esponente) > 0.9 * o.LimiteMassimo)
        esponente = std::max(20.0, esponente * 0.9);
    return esponente;
}

} // namespace

CCasuale::CCasuale(uint64_t seme, uint64_t flusso) : Stato(Mescola(Mescola(seme) ^ (flusso * 0xd1b54a32d192ed03ULL)))
{
}

uint64_t CCasuale::Bit64()
{
    Stato += 0x9e3779b97f4a7c15ULL;
    return Mescola(Stato);
}

double CCasuale::Uniforme(double a, double b)
{
    return a + (b - a) * double(Bit64() >> 11) * 0x1p-53;
}

double CCasuale::LogUniforme(double a, double b)
{
    return std::exp(Uniforme(std::log(a), std::log(b)));
}

int32_t CCasuale::Intero(int32_t a, int32_t b)
{
    return a + int32_t(Bit64() % uint64_t(int64_t(b) - a + 1));
}

bool CCasuale::Moneta(double p)
{
    return Uniforme(0.0, 1.0) < p;
}

const char *NomeTipo(CTipo t)
{
    switch (t) {
    case CTipo::Misiurewicz:
        return "Misiurewicz";
    case CTipo::Minibrot:
        return "minibrot";
    case CTipo::Julia:
        return "Julia";
    case CTipo::AsseReale:
        return "real axis";
    }
    return "";
}

CBloccoFinestra FinestraAttorno(const CComplessoAlto &centro, double esponente, int32_t W, int32_t H, int32_t limite,
                                double fx, double fy)
{
    CReale larghezza = CReale::Zero(64);
    mpfr_set_d(larghezza.Mp(), -esponente * Log2Di10, MPFR_RNDN);
    mpfr_exp2(larghezza.Mp(), larghezza.Mp(), MPFR_RNDN);
    CReale altezza = CReale::Zero(64);
    mpfr_mul_si(altezza.Mp(), larghezza.Mp(), H, MPFR_RNDN);
    mpfr_div_si(altezza.Mp(), altezza.Mp(), W, MPFR_RNDN);
    const double grandezza = std::max({Log2Modulo(centro), -esponente * Log2Di10, -1e9});
    const mpfr_prec_t bit = Per64(grandezza + esponente * Log2Di10 + std::log2(double(W)) + 64.0);
    CBloccoFinestra f{CComplessoAlto(CReale::Zero(bit), CReale::Zero(bit)),
                      CComplessoAlto(CReale::Zero(bit), CReale::Zero(bit)), W, H, limite};
    CReale c = CReale::Zero(bit + 64), t = CReale::Zero(64);
    for (int parte = 0; parte < 2; ++parte) {
        const CReale &lato = parte == 0 ? larghezza : altezza;
        mpfr_mul_d(t.Mp(), lato.Mp(), parte == 0 ? fx : fy, MPFR_RNDN);
        mpfr_add(c.Mp(), (parte == 0 ? centro.re : centro.im).Mp(), t.Mp(), MPFR_RNDN);
        mpfr_div_2ui(t.Mp(), lato.Mp(), 1, MPFR_RNDN);
        mpfr_sub(parte == 0 ? f.Min.re.Mp() : f.Min.im.Mp(), c.Mp(), t.Mp(), MPFR_RNDN);
        mpfr_add(parte == 0 ? f.Max.re.Mp() : f.Max.im.Mp(), c.Mp(), t.Mp(), MPFR_RNDN);
    }
    return f;
}

namespace {

// A point near a Mandelbrot point: centro + 2^log2Distanza e^(i angolo), to bit bits.
CComplessoAlto Vicino(const CComplessoAlto &centro, double log2Distanza, double angolo, mpfr_prec_t bit)
{
    CComplessoAlto c(CReale::Zero(bit), CReale::Zero(bit));
    CReale d = CReale::Zero(64);
    mpfr_set_d(d.Mp(), std::exp2(log2Distanza - std::floor(log2Distanza)), MPFR_RNDN);
    mpfr_mul_2si(d.Mp(), d.Mp(), long(std::floor(log2Distanza)), MPFR_RNDN);
    CReale t = CReale::Zero(64);
    mpfr_mul_d(t.Mp(), d.Mp(), std::cos(angolo), MPFR_RNDN);
    mpfr_add(c.re.Mp(), centro.re.Mp(), t.Mp(), MPFR_RNDN);
    if (angolo != 0.0 && angolo != M_PI) {
        mpfr_mul_d(t.Mp(), d.Mp(), std::sin(angolo), MPFR_RNDN);
        mpfr_add(c.im.Mp(), centro.im.Mp(), t.Mp(), MPFR_RNDN);
    } else {
        mpfr_set(c.im.Mp(), centro.im.Mp(), MPFR_RNDN);
    }
    return c;
}

// A minibrot about 10^-esponente / finestra wide, found near a random
// Misiurewicz point at about the square root of that distance: its period by
// the ball method, its nucleus by Newton's method. Sets esponente to that of
// a window finestra times the minibrot's size.
bool MinibrotCasuale(CCasuale &r, bool reale, double &esponente, const COpzioniCasi &o, CComplessoAlto &nucleo,
                     int &periodo, std::string &descrizione)
{
    for (int tentativo = 0; tentativo < 12; ++tentativo) {
        CMisiurewicz m;
        if (!MisiurewiczCasuale(r, reale, 128, m))
            continue;
        const double finestra = r.LogUniforme(2.0, 40.0);
        const double log2Distanza = -(esponente * Log2Di10 - std::log2(finestra)) / 2.0 + r.Uniforme(-2.0, 2.0);
        const mpfr_prec_t bitVicino = Per64(-log2Distanza + 96.0);
        if (!TrovaMisiurewicz(m.c, m.Preperiodo, m.Periodo, bitVicino, m))
            continue;
        const double angolo = reale ? (r.Moneta(0.5) ? 0.0 : M_PI) : r.Uniforme(0.0, 2.0 * M_PI);
        const CComplessoAlto c0 = Vicino(m.c, log2Distanza, angolo, bitVicino);
        periodo = PeriodoPalla(c0, log2Distanza - 1.0, o.LimiteMassimo * 2 / 5, bitVicino);
        if (periodo < 2)
            continue;
        if (!TrovaNucleo(c0, periodo, bitVicino, Per64(-2.0 * log2Distanza + 160.0), nucleo))
            continue;
        const double dimensione = Log2Dimensione(nucleo, periodo);
        if (!(dimensione < log2Distanza))
            continue;
        esponente = -(dimensione + std::log2(finestra)) / Log2Di10;
        if (esponente < 20.0)
            continue;
        const mpfr_prec_t bit = BitPunto(esponente);
        if (bit > nucleo.re.Precisione() && !TrovaNucleo(nucleo, periodo, nucleo.re.Precisione(), bit, nucleo))
            continue;
        descrizione = "nucleus p " + std::to_string(periodo) + " size 2^" + Testo(dimensione, 6) + " near M("
            + std::to_string(m.Preperiodo) + "," + std::to_string(m.Periodo) + ")";
        return true;
    }
    return false;
}

// A Julia constant: a multiple of 2^-8 in or near the Mandelbrot set (its
// critical orbit stays bounded for at least 8 steps) that the parameters
// file writes exactly (its six significant digits).
Complesso CostanteJulia(CCasuale &r)
{
    for (;;) {
        const Complesso k{r.Intero(-512, 128) / 256.0L, r.Intero(-300, 300) / 256.0L};
        long double x = 0.0L, y = 0.0L;
        int n = 0;
        while (n < 64 && x * x + y * y < 4.0L) {
            const long double t = x * x - y * y + k.re;
            y = 2.0L * x * y + k.im;
            x = t;
            ++n;
        }
        if (n < 8)
            continue;
        CParametri p;
        p.FrattaleJulia.Param = k;
        std::istringstream testo(TestoParametri(p));
        CParametri letto;
        if (LeggiParametri(testo, letto) && letto.FrattaleJulia.Param == k)
            return k;
    }
}

std::string TestoComplesso(const Complesso &k)
{
    return Testo(double(k.re), 8) + (k.im < 0 ? "" : "+") + Testo(double(k.im), 8) + "i";
}

} // namespace

COpzioniCasi OpzioniScritte(double da, double finoA)
{
    COpzioniCasi o;
    const double bande[3] = {0.50, 0.42, 0.08};
    const double tipi[QuantiTipi] = {0.30, 0.25, 0.25, 0.20};
    std::copy(bande, bande + 3, o.PesiBande);
    std::copy(tipi, tipi + QuantiTipi, o.PesiTipi);
    o.EsponenteMinimo = da;
    o.EsponenteMassimo = finoA;
    o.LimiteMassimo = 100000;
    return o;
}

CCaso GeneraCaso(uint64_t seme, int32_t numero, const COpzioniCasi &o)
{
    const auto inizio = std::chrono::steady_clock::now();
    CCasuale r(seme, uint64_t(numero));
    CCaso caso;
    caso.Numero = numero;

    // Depth, kind, size, method and offset, always drawn in this order.
    double bande[3][2] = {{20.0, 300.0}, {300.0, 4900.0}, {4900.0, 19000.0}};
    double pesi[3];
    double totale = 0.0;
    for (int b = 0; b < 3; ++b) {
        bande[b][0] = std::max(bande[b][0], o.EsponenteMinimo);
        bande[b][1] = std::min(bande[b][1], o.EsponenteMassimo);
        totale += pesi[b] = bande[b][0] < bande[b][1] ? o.PesiBande[b] : 0.0;
    }
    double x = r.Uniforme(0.0, totale);
    int banda = 0;
    while (banda < 2 && (x >= pesi[banda] || pesi[banda] == 0.0))
        x -= pesi[banda++];
    double esponente = r.Uniforme(bande[banda][0], bande[banda][1]);
    double totaleTipi = 0.0;
    for (double p : o.PesiTipi)
        totaleTipi += p;
    x = r.Uniforme(0.0, totaleTipi);
    int tipo = 0;
    while (tipo < QuantiTipi - 1 && x >= o.PesiTipi[tipo])
        x -= o.PesiTipi[tipo++];
    caso.Tipo = CTipo(tipo);
    const int32_t W = r.Intero(15, 129);
    const int32_t H = r.Moneta(1.0 / 3.0) ? W : r.Intero(15, 129);
    caso.Parametri.SceltaMetodo = int8_t(r.Intero(0, 1));
    const bool centrato = r.Moneta(1.0 / 3.0);
    const double fx = centrato ? 0.0 : r.Uniforme(-0.5, 0.5);
    double fy = centrato ? 0.0 : r.Uniforme(-0.5, 0.5);

    CComplessoAlto centro;
    double passi = 0.0;
    int32_t limite = 0;
    switch (caso.Tipo) {
    case CTipo::Misiurewicz:
    case CTipo::AsseReale: {
        const bool reale = caso.Tipo == CTipo::AsseReale;
        const int sotto = reale ? r.Intero(0, 2) : 1;
        if (reale && r.Moneta(0.5))
            fy = 0.0; // symmetric about the axis
        if (sotto == 0) {
            // Just right of the tip at -2 (z: -2, 2, 2, ..., multiplier 4, dz_2/dc = -3).
            const double scostamento = r.LogUniforme(0.02, 20.0);
            const auto passiPunta = [](double e) { return 2.0 + (e * Log2Di10 - std::log2(3.0)) / 2.0 + 30.0; };
            esponente = Raggiungibile(esponente, o, passiPunta);
            CComplessoAlto meno2(CReale(-2.0L), CReale(0.0L));
            centro = Vicino(meno2, -esponente * Log2Di10 + std::log2(scostamento), 0.0, BitPunto(esponente));
            passi = passiPunta(esponente);
            caso.Descrizione = "-2 + " + Testo(scostamento, 3) + " widths";
        } else if (sotto == 1) {
            CMisiurewicz m;
            for (int tentativo = 0; tentativo < 6; ++tentativo) {
                if (!MisiurewiczCasuale(r, reale, 128, m))
                    continue;
                const double e = Raggiungibile(esponente, o, [&](double v) { return PassiMisiurewicz(m, v); });
                if (e > 0.5 * esponente || tentativo == 5) {
                    esponente = e;
                    break;
                }
            }
            TrovaMisiurewicz(m.c, m.Preperiodo, m.Periodo, BitPunto(esponente), m);
            centro = m.c;
            passi = PassiMisiurewicz(m, esponente);
            caso.Descrizione = "M(" + std::to_string(m.Preperiodo) + "," + std::to_string(m.Periodo)
                + "), multiplier 2^" + Testo(m.Log2Moltiplicatore, 3);
        } else {
            int periodo = 0;
            if (!MinibrotCasuale(r, true, esponente, o, centro, periodo, caso.Descrizione))
                return GeneraCaso(seme ^ 0x5bd1e995u, numero, o); // rare: another draw
            limite = LimiteMinibrot(r, periodo, esponente, o);
            break;
        }
        limite = Limite(r, passi, o);
        break;
    }
    case CTipo::Minibrot: {
        int periodo = 0;
        if (!MinibrotCasuale(r, false, esponente, o, centro, periodo, caso.Descrizione))
            return GeneraCaso(seme ^ 0x5bd1e995u, numero, o);
        limite = LimiteMinibrot(r, periodo, esponente, o);
        break;
    }
    case CTipo::Julia: {
        caso.Parametri.SceltaFrattale = 1;
        const bool critico = r.Moneta(0.25);
        Complesso k;
        bool seconda = false;
        double log2Moltiplicatore = 0.0;
        int preperiodo = 0, periodo = 1;
        if (critico) {
            // Constants whose critical orbit lands on a repelling cycle: i and
            // -i (cycle of period 2 from step 2, multiplier 4 sqrt 2), -2 (2, 4).
            const int scelta = r.Intero(0, 2);
            k = scelta == 0 ? Complesso{0.0L, 1.0L} : scelta == 1 ? Complesso{0.0L, -1.0L} : Complesso{-2.0L, 0.0L};
            preperiodo = 2;
            periodo = scelta == 2 ? 1 : 2;
            log2Moltiplicatore = scelta == 2 ? 2.0 : 2.5;
        } else {
            do {
                k = CostanteJulia(r);
                seconda = r.Moneta(0.5);
                log2Moltiplicatore = Log2MoltiplicatoreJulia(k, seconda);
            } while (log2Moltiplicatore < 0.1);
        }
        const int n = critico ? r.Intero(0, 12) : r.Intero(0, 20);
        std::vector<bool> segni;
        for (int s = 0; s < n; ++s)
            segni.push_back(r.Moneta(0.5));
        double log2Derivata = 0.0;
        PreimmagineJulia(k, critico, seconda, segni, 128, log2Derivata);
        // Pixels 10^-e away reach the fixed point (or 0, whose next step squares the distance) n steps later.
        const auto passiJulia = [&](double e) {
            const double vicino = std::max(0.0, e * Log2Di10 - log2Derivata) * (critico ? 2.0 : 1.0);
            return n + preperiodo + periodo * vicino / log2Moltiplicatore + 30.0;
        };
        esponente = Raggiungibile(esponente, o, passiJulia);
        centro = PreimmagineJulia(k, critico, seconda, segni, BitPunto(esponente), log2Derivata);
        caso.Parametri.FrattaleJulia.Param = k;
        caso.Descrizione = "Julia k " + TestoComplesso(k) + ", preimage " + std::to_string(n) + " of "
            + (critico ? "0" : "the fixed point");
        limite = Limite(r, passiJulia(esponente), o);
        break;
    }
    }
    caso.Esponente = esponente;
    caso.Parametri.Finestra = FinestraAttorno(centro, esponente, W, H, limite, fx, fy);
    if (centrato)
        caso.Descrizione += ", centred";
    caso.SecondiGenerazione = std::chrono::duration<double>(std::chrono::steady_clock::now() - inizio).count();
    return caso;
}

std::vector<CCaso> CasiFissi(int fondo)
{
    std::vector<CCaso> casi;
    CMisiurewicz m;
    const CComplessoAlto partenza(CReale(-0.74982115706863455536L), CReale(0.10065949381215762867L));
    const struct
    {
        bool Misiurewicz;
        int Esponente;
        int32_t Limite;
    } scene[] = {{false, 30, 1000}, {false, 300, 5000}, {false, 3000, 30000},
                 {true, 30, 2000},  {true, 300, 5000},  {true, 3000, 30000}};
    for (const auto &s : scene) {
        if (s.Esponente > fondo)
            continue;
        CCaso caso;
        caso.Numero = int32_t(casi.size());
        caso.Esponente = s.Esponente;
        caso.Tipo = CTipo::Misiurewicz;
        CComplessoAlto centro(CReale(0.0L), CReale(1.0L));
        caso.Descrizione = "0 + 1i, M(2,2), centred";
        if (s.Misiurewicz) {
            TrovaMisiurewicz(partenza, 31, 1, BitPunto(s.Esponente), m);
            centro = m.c;
            caso.Descrizione = "M(31,1) nearest -0.75 + 0.1i, centred";
        }
        caso.Parametri.SceltaMetodo = 0;
        caso.Parametri.Finestra = FinestraAttorno(centro, s.Esponente, 64, 64, s.Limite);
        casi.push_back(std::move(caso));
    }
    return casi;
}

namespace {

// A known case's settings: Mandelbrot unless julia, the point method.
CCaso Noto(CTipo tipo, std::string descrizione, double esponente, const CBloccoFinestra &finestra, bool julia = false,
           Complesso k = {})
{
    CCaso caso;
    caso.Tipo = tipo;
    caso.Descrizione = std::move(descrizione);
    caso.Esponente = esponente;
    caso.Parametri.Finestra = finestra;
    caso.Parametri.SceltaMetodo = 0;
    caso.Parametri.SceltaFrattale = julia ? 1 : 0;
    caso.Parametri.FrattaleJulia.Param = k;
    return caso;
}

// The nucleus of period p that the ball method finds 2^-log2Distanza from the
// Misiurewicz point M(25,3) nearest -0.7463 + 0.1293i, at angolo, to bit bits.
CComplessoAlto NucleoVicinoA07463(int p, double log2Distanza, double angolo, mpfr_prec_t bit)
{
    CMisiurewicz m;
    TrovaMisiurewicz(CComplessoAlto(CReale(-0.7463L), CReale(0.1293L)), 25, 3, Per64(log2Distanza + 128.0), m);
    const CComplessoAlto c0 = Vicino(m.c, -log2Distanza, angolo, m.c.re.Precisione());
    CComplessoAlto nucleo;
    if (PeriodoPalla(c0, -log2Distanza - 1.0, 5000, m.c.re.Precisione()) != p
        || !TrovaNucleo(c0, p, m.c.re.Precisione(), bit, nucleo))
        return m.c; // not reached: the search is deterministic
    return nucleo;
}

// A corner written with cifre significant digits, and read back as a file would.
CReale ConCifre(const CReale &v, int cifre, int zeri)
{
    mpfr_exp_t e = 0;
    char *s = mpfr_get_str(nullptr, &e, 10, size_t(cifre), v.Mp(), MPFR_RNDN);
    std::string testo = s;
    mpfr_free_str(s);
    const bool negativo = testo[0] == '-';
    testo = (negativo ? "-0." : "0.") + testo.substr(negativo ? 1 : 0) + std::string(size_t(zeri), '0') + "e"
        + std::to_string(long(e));
    CReale r;
    LeggiReale(testo, r);
    return r;
}

} // namespace

std::vector<CCaso> CasiNoti()
{
    std::vector<CCaso> casi;
    const CComplessoAlto i(CReale(0.0L), CReale(1.0L));
    // Minibrots: 2Z falls below the double range where the orbit returns near 0.
    casi.push_back(Noto(CTipo::Minibrot, "nucleus p 873 near -0.7463 + 0.1293i (by M(25,3)), centred", 709,
                        FinestraAttorno(NucleoVicinoA07463(873, 866, M_PI / 2, BitPunto(709)), 709, 64, 64, 20000)));
    casi.push_back(Noto(CTipo::Minibrot, "nucleus p 775 near -0.7463 + 0.1293i (by M(25,3)), centred", 627,
                        FinestraAttorno(NucleoVicinoA07463(775, 762, 0.0, BitPunto(627)), 627, 64, 64, 20000)));
    // Around 0 + 1i: patches of wrong counts; the pixel on 0 + 1i itself (48 pixels).
    for (int esponente : {305, 1000, 2000})
        for (int32_t lato : {47, 48})
            casi.push_back(Noto(CTipo::Misiurewicz, "0 + 1i, centred", esponente,
                                FinestraAttorno(i, esponente, lato, lato, 8000)));
    // The 10^-1000 window with the 1004 digits it needs, and with zeros up to 2034.
    for (int32_t lato : {47, 48}) {
        CBloccoFinestra f = FinestraAttorno(i, 1000, lato, lato, 8000);
        CBloccoFinestra lunga = f;
        for (int k = 0; k < 4; ++k) {
            CReale &v = k == 0 ? f.Min.re : k == 1 ? f.Min.im : k == 2 ? f.Max.re : f.Max.im;
            CReale &w = k == 0 ? lunga.Min.re : k == 1 ? lunga.Min.im : k == 2 ? lunga.Max.re : lunga.Max.im;
            w = ConCifre(v, 1004, 2034 - 1004);
            v = ConCifre(v, 1004, 0);
        }
        casi.push_back(Noto(CTipo::Misiurewicz, "0 + 1i, corners of 1004 digits", 1000, f));
        casi.push_back(Noto(CTipo::Misiurewicz, "0 + 1i, the same corners with zeros to 2034 digits", 1000, lunga));
    }
    // Julia of i near the critical point: around (sqrt 2 / 2)(1 - i), whose next step is 0, and at 0.
    const Complesso ki{0.0L, 1.0L};
    double derivata = 0.0;
    for (const auto &[esponente, limite] : {std::pair{30, 1000}, std::pair{2600, 20000}})
        casi.push_back(Noto(CTipo::Julia, "Julia k i, (sqrt 2 / 2)(1 - i), centred", esponente,
                            FinestraAttorno(PreimmagineJulia(ki, true, false, {false}, BitPunto(esponente), derivata),
                                            esponente, 64, 64, limite),
                            true, ki));
    casi.push_back(Noto(CTipo::Julia, "Julia k i, 0, centred", 30,
                        FinestraAttorno(CComplessoAlto(CReale(0.0L), CReale(0.0L)), 30, 64, 64, 1000), true, ki));
    // The tip at -2: a square just right of it, on the real axis.
    const double punta = -200.0 * Log2Di10 + std::log2(0.5 + 1.0 / 1024.0);
    casi.push_back(Noto(CTipo::AsseReale, "-2 + 0.501 widths (just right of -2), on the axis", 200,
                        FinestraAttorno(Vicino(CComplessoAlto(CReale(-2.0L), CReale(0.0L)), punta, 0.0, BitPunto(200)),
                                        200, 31, 31, 2000)));
    // Past the range of 80-bit differences.
    for (int esponente : {4950, 5000, 19990})
        casi.push_back(Noto(CTipo::Misiurewicz, "0 + 1i, off centre", esponente,
                            FinestraAttorno(i, esponente, 64, 64, 60000, 0.1234, -0.2345)));
    // Random cases that showed faults: the centre pixel of a window centred
    // on a Misiurewicz point (the reference point's own count), a minibrot
    // at 10^-660, a Julia window whose orbits pass -2 after 0, a pixel that
    // strays from the reference for hundreds of chaotic steps.
    const struct
    {
        uint64_t Seme;
        int32_t Numero;
        double Da, FinoA;
        int Tipo; // -1: any
    } casuali[] = {{1, 9, 20, 4900, -1}, {3, 10, 600, 4900, 1}, {1, 34, 20, 4900, -1}, {2026, 1509, 20, 4900, -1}};
    for (const auto &c : casuali) {
        COpzioniCasi o = OpzioniScritte(c.Da, c.FinoA);
        if (c.Tipo >= 0)
            for (int t = 0; t < QuantiTipi; ++t)
                o.PesiTipi[t] = t == c.Tipo ? 1.0 : 0.0;
        casi.push_back(GeneraCaso(c.Seme, c.Numero, o));
        casi.back().Descrizione += " (random case " + std::to_string(c.Numero) + " of seed " + std::to_string(c.Seme) + ")";
    }
    for (size_t k = 0; k < casi.size(); ++k)
        casi[k].Numero = int32_t(k);
    return casi;
}
