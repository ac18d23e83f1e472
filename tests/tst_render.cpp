// The render job: the worker thread, its parking and stopping, the drawing
// session with its polls, times and texts.

#include "AreaDisegno.h"
#include "CalcoloInBackground.h"
#include "Coloratori.h"
#include "Cronologia.h"
#include "Disegnatori.h"
#include "Errore.h"
#include "Frattali.h"
#include "ImmagineQt.h"
#include "SessioneDisegno.h"
#include "TestiCalcolo.h"

#include <QImage>
#include <QStringList>
#include <QTest>

#include <atomic>
#include <functional>
#include <limits>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {

const QString Titolo = QStringLiteral("Quillmere v0.9");

// Colourers with one fixed colour each, so that every computed pixel shows.
class InternoFisso final : public CColoratoreInterno
{
public:
    int32_t Colore(const CPunto &) const override { return 0x0000FF; }
};

class EsternoFisso final : public CColoratoreEsterno
{
public:
    int32_t Colore(const CPunto &) const override { return 0x00FF00; }
};

// A formula that fails on its first point.
class FormulaCheFallisce final : public CFrattale
{
public:
    void ScriviParametri(std::ostream &) const override {}
    void LeggiParametri(std::istream &) override {}
    void Itera(CPunto &) const override { throw CErrore("Errore di prova"); }
};

// Runs a real method and records when it was entered and when it returned.
class MetodoSpia final : public CDisegnatore
{
public:
    explicit MetodoSpia(CDisegnatore &metodo) : Metodo(metodo) {}
    void Disegna(CAreaDisegno &area) override
    {
        Entrato = true;
        Metodo.Disegna(area);
        Uscito = true;
    }

    CDisegnatore &Metodo;
    std::atomic<bool> Entrato{false};
    std::atomic<bool> Uscito{false};
};

// A drawing that makes no progress at all until it is stopped.
class MetodoFermo final : public CDisegnatore
{
public:
    void Disegna(CAreaDisegno &area) override
    {
        while (area.Continua()) {
        }
    }
};

// A drawing that ends, without drawing, as soon as it is let go.
class MetodoARilascio final : public CDisegnatore
{
public:
    void Disegna(CAreaDisegno &area) override
    {
        while (!Via.load())
            if (!area.Continua())
                return;
    }

    std::atomic<bool> Via{false};
};

// A render area with its picture, ready for a Mandelbrot drawing.
struct Disegno
{
    Disegno(int32_t larghezza, int32_t altezza, int32_t limite, Complesso min, Complesso max)
        : Immagine(larghezza, altezza, QImage::Format_RGB32), Vista(Immagine), Spia(Punto)
    {
        Immagine.fill(Qt::black);
        Area.Frattale = &Formula;
        Area.Interno = &Interno;
        Area.Esterno = &Esterno;
        Area.Immagine = &Vista;
        Area.Min = min;
        Area.Max = max;
        Area.Larghezza = larghezza;
        Area.Altezza = altezza;
        Area.MaxIterazioni = limite;
        Area.PreparaBuffer(larghezza, altezza);
    }

    // Beside the cusp at 0.25, where orbits neither escape nor repeat: every
    // pixel costs the whole limit. A batch of orbits is stored after some
    // million steps (soon, also in a sanitizer's build); the whole picture
    // takes billions.
    static std::unique_ptr<Disegno> Lento(int32_t limite = 20000)
    {
        return std::make_unique<Disegno>(512, 512, limite, Complesso{0.25L, -1e-18L}, Complesso{0.25L + 1e-17L, 1e-18L});
    }
    // The default window, small and quick.
    static std::unique_ptr<Disegno> Rapido()
    {
        return std::make_unique<Disegno>(16, 16, 50, Complesso{-2.0L, -1.25L}, Complesso{0.5L, 1.25L});
    }

    // What the drawing has produced so far; read only while the worker is parked or gone.
    struct Stato
    {
        std::vector<int32_t> Buffer;
        QImage Immagine;
        double Completamento;
        bool operator==(const Stato &o) const
        {
            return Buffer == o.Buffer && Immagine == o.Immagine && Completamento == o.Completamento;
        }
        bool operator!=(const Stato &o) const { return !(*this == o); }
    };
    Stato Fotografia() const
    {
        Stato s{{}, Immagine.copy(), Area.Completamento};
        for (int32_t i = 0; i < Area.Altezza; ++i)
            for (int32_t j = 0; j < Area.Larghezza; ++j)
                s.Buffer.push_back(Area.LeggiPixel(j, i));
        return s;
    }
    int PixelDisegnati() const
    {
        int n = 0;
        for (int32_t i = 0; i < Area.Altezza; ++i)
            for (int32_t j = 0; j < Area.Larghezza; ++j)
                n += Area.LeggiPixel(j, i) != 0;
        return n;
    }

    Mandelbrot Formula;
    InternoFisso Interno;
    EsternoFisso Esterno;
    QImage Immagine;
    CImmagineQt Vista;
    CAreaDisegno Area;
    MetodoPuntoPunto Punto;
    MetodoSpia Spia;
};

// A drawing session that records, in order, everything it signals.
struct Registrata
{
    Registrata()
    {
        QObject::connect(&Sessione, &CSessioneDisegno::Titolo, [this](const QString &t) { Registro << "titolo:" + t; });
        QObject::connect(&Sessione, &CSessioneDisegno::TitoloApplicazione,
                         [this](const QString &t) { Registro << "applicazione:" + t; });
        QObject::connect(&Sessione, &CSessioneDisegno::Ridisegna, [this] { Registro << QStringLiteral("ridisegna"); });
        QObject::connect(&Sessione, &CSessioneDisegno::Tempi, [this] {
            const int64_t impiegato = Sessione.TempoImpiegato();
            const int64_t previsto = Sessione.TempoPrevisto();
            Registro << QStringLiteral("stato:%1/%2:").arg(impiegato).arg(previsto) + TestoTempi(impiegato, previsto);
            if (AiTempi)
                AiTempi(impiegato);
        });
        QObject::connect(&Sessione, &CSessioneDisegno::Finito, [this](const QString &e) { Registro << "finito:" + e; });
    }
    // Starts the drawing and waits for its end.
    void Disegna(CDisegnatore &metodo, CAreaDisegno &area)
    {
        Sessione.Avvia(metodo, area);
        QVERIFY(QTest::qWaitFor([this] { return !Sessione.InCorso(); }, 120000));
    }

    CSessioneDisegno Sessione{Titolo};
    QStringList Registro;
    std::function<void(int64_t)> AiTempi;
};

// What every drawing signals as it ends: the titles back, the picture shown,
// the times, the end with its error.
QStringList Fine(int64_t tempo, const QString &errore = QString())
{
    return {QStringLiteral("titolo:") + Titolo, QStringLiteral("applicazione:") + Titolo, QStringLiteral("ridisegna"),
            QStringLiteral("stato:%1/0:").arg(tempo) + TestoTempi(tempo, 0), QStringLiteral("finito:") + errore};
}

} // namespace

class TestRender : public QObject
{
    Q_OBJECT

private slots:
    void formattaTempo_data();
    void formattaTempo();
    void stimaTempoPrevisto_data();
    void stimaTempoPrevisto();
    void testiDiStato();

    void creatoSospeso();
    void distruttoreFermaEAttende();
    void attendiFineSiSvegliaAllaFine();
    void erroreDelCalcoloRaggiungeChiControlla_data();
    void erroreDelCalcoloRaggiungeChiControlla();

    void disegnoCompletoLasciaITesti();
    void fineNelPrimoPeriodo();
    void stimeETestiNelTempo();
    void stopImmediato();
    void lavoratoreParcheggiatoNonAvanza();
    void dueDisegniInsieme();
    void secondoDisegnoDellaStessaAreaRifiutato();
    void erroreDelDisegnoDopoLoStatoLibero_data();
    void erroreDelDisegnoDopoLoStatoLibero();
    void fermoNelMezzoDiUnOrbita_data();
    void fermoNelMezzoDiUnOrbita();

    void cronologia();
};

void TestRender::formattaTempo_data()
{
    QTest::addColumn<qint64>("ms");
    QTest::addColumn<QString>("testo");
    QTest::newRow("zero") << qint64(0) << "0:00.0";
    QTest::newRow("200") << qint64(200) << "0:00.2";
    QTest::newRow("1234") << qint64(1234) << "0:01.2";
    QTest::newRow("61000") << qint64(61000) << "1:01.0";
    QTest::newRow("un'ora") << qint64(3600000) << "1:00:00.0";
    QTest::newRow("giorno e ora") << qint64(90061100) << "1gg,1:01:01.1";
    QTest::newRow("sotto il decimo") << qint64(99) << "0:00.0";
    QTest::newRow("quasi un minuto") << qint64(59999) << "0:59.9";
    QTest::newRow("quasi un'ora") << qint64(3599999) << "59:59.9";
    QTest::newRow("quasi un giorno") << qint64(86399999) << "23:59:59.9";
    QTest::newRow("un giorno") << qint64(86400000) << "1gg,0:00:00.0";
    QTest::newRow("prima stima") << qint64(599999999) << "6gg,22:39:59.9";
    QTest::newRow("oltre 31 bit") << qint64(2399999999) << "27gg,18:39:59.9";
    QTest::newRow("2^32") << qint64(4294967296) << "49gg,17:02:47.2";
}

void TestRender::formattaTempo()
{
    QFETCH(qint64, ms);
    QFETCH(QString, testo);
    QCOMPARE(FormattaTempo(ms), testo);
}

void TestRender::stimaTempoPrevisto_data()
{
    QTest::addColumn<qint64>("t");
    QTest::addColumn<double>("completamento");
    QTest::addColumn<qint64>("stima");
    // The double 0.0001 lies slightly above 1/10000, so each estimate falls
    // just short of t x 10^6 and is truncated to one millisecond less.
    QTest::newRow("600 al valore iniziale") << qint64(600) << 0.0001 << qint64(599999999);
    QTest::newRow("2400 al valore iniziale") << qint64(2400) << 0.0001 << qint64(2399999999);
    QTest::newRow("3000 al valore iniziale") << qint64(3000) << 0.0001 << qint64(2999999999);
    QTest::newRow("a metà") << qint64(600) << 50.0 << qint64(1200);
    QTest::newRow("finito") << qint64(1800) << 100.0 << qint64(1800);
    QTest::newRow("un terzo") << qint64(1000) << 30.0 << qint64(3333);
    QTest::newRow("senza progresso") << qint64(600) << 0.0 << qint64(0);
    QTest::newRow("oltre 64 bit") << qint64(600) << 1e-300 << std::numeric_limits<qint64>::max();
}

void TestRender::stimaTempoPrevisto()
{
    QFETCH(qint64, t);
    QFETCH(double, completamento);
    QFETCH(qint64, stima);
    QCOMPARE(StimaTempoPrevisto(t, completamento), stima);
}

void TestRender::testiDiStato()
{
    QCOMPARE(TestoDimensione(256, 256), QStringLiteral("256x256"));
    QCOMPARE(TestoDimensione(640, 0), QStringLiteral("640x0"));
    QCOMPARE(TestoTempi(200, 0), QStringLiteral("\tTempo impiegato: 0:00.2"));
    // Before the first estimate the job holds TempoPrevisto at 1.
    QCOMPARE(TestoTempi(0, 1), QStringLiteral("\tTempo impiegato/previsto: 0:00.0 / 0:00.0"));
    QCOMPARE(TestoTempi(61000, 3600000), QStringLiteral("\tTempo impiegato/previsto: 1:01.0 / 1:00:00.0"));
    QCOMPARE(TestoPercentuale(0.0001), QStringLiteral("0.0"));
    QCOMPARE(TestoPercentuale(12.34), QStringLiteral("12.3"));
    QCOMPARE(TestoPercentuale(100.0001), QStringLiteral("100.0"));
    QCOMPARE(TestoCompletamento(0.0001, 599999999),
             QStringLiteral("Completamento: 0.0%   Tempo stimato: 6gg,22:39:59.9 secs."));
    QCOMPARE(TestoCompletamento(42.25, 1234), QStringLiteral("Completamento: 42.2%   Tempo stimato: 0:01.2 secs."));
}

void TestRender::creatoSospeso()
{
    auto d = Disegno::Rapido();
    {
        CalcoloInBackground calcolo(d->Spia, d->Area);
        QVERIFY(CalcoloInBackground::InCorso(d->Area));
        calcolo.Sospendi();
        QVERIFY(!calcolo.Finito);
    }
    QVERIFY(!d->Spia.Entrato);
    QVERIFY(!CalcoloInBackground::InCorso(d->Area));
    QCOMPARE(d->PixelDisegnati(), 0);
}

void TestRender::distruttoreFermaEAttende()
{
    auto d = Disegno::Lento();
    {
        CalcoloInBackground calcolo(d->Spia, d->Area);
        calcolo.Riprendi();
        QVERIFY(QTest::qWaitFor([&] { return d->Spia.Entrato.load(); }));
    }
    // Disegna has returned before the destructor did: the thread was stopped
    // and joined, not left behind.
    QVERIFY(d->Spia.Uscito);
    QVERIFY(!CalcoloInBackground::InCorso(d->Area));
    QVERIFY(d->Area.Completamento < 100.0);
}

void TestRender::attendiFineSiSvegliaAllaFine()
{
    auto d = Disegno::Rapido();
    CalcoloInBackground calcolo(d->Spia, d->Area);
    calcolo.Riprendi();
    // Would hang far beyond the test's time limit if the wait did not end with the drawing.
    QVERIFY(calcolo.AttendiFine(std::chrono::hours(1)));
    QVERIFY(d->Spia.Uscito);
    calcolo.Termina();
    QCOMPARE(d->PixelDisegnati(), 16 * 16);

    auto lento = Disegno::Lento();
    CalcoloInBackground fermo(lento->Punto, lento->Area);
    fermo.Riprendi();
    fermo.Sospendi();
    QVERIFY(!fermo.AttendiFine(std::chrono::milliseconds(1)));
    fermo.Ferma();
    QVERIFY(fermo.Finito);
    QVERIFY(fermo.AttendiFine(std::chrono::milliseconds(0)));
}

// The drawing on one thread, and shared among two.
static void FiliDelDisegno()
{
    QTest::addColumn<int>("fili");
    QTest::newRow("un filo") << 1;
    QTest::newRow("due fili") << 2;
}

void TestRender::erroreDelCalcoloRaggiungeChiControlla_data()
{
    FiliDelDisegno();
}

void TestRender::erroreDelCalcoloRaggiungeChiControlla()
{
    QFETCH(int, fili);
    auto d = Disegno::Rapido();
    d->Area.Fili = fili;
    FormulaCheFallisce fallisce;
    d->Area.Frattale = &fallisce;
    CalcoloInBackground calcolo(d->Punto, d->Area);
    calcolo.Riprendi();
    QVERIFY(calcolo.AttendiFine(std::chrono::hours(1)));
    try {
        calcolo.Termina();
        QFAIL("the worker's error was not raised");
    } catch (const CErrore &e) {
        QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("Errore di prova"));
    }
    QVERIFY(!CalcoloInBackground::InCorso(d->Area));
    calcolo.Termina(); // raised once only
}

void TestRender::disegnoCompletoLasciaITesti()
{
    auto d = Disegno::Rapido();
    Registrata r;
    r.Disegna(d->Spia, d->Area);
    QVERIFY(d->Spia.Uscito);
    QCOMPARE(d->PixelDisegnati(), 16 * 16);
    const int64_t t = r.Sessione.TempoImpiegato();
    QVERIFY(t > 0 && t % 200 == 0);
    QCOMPARE(r.Sessione.TempoPrevisto(), int64_t(0));
    QCOMPARE(r.Registro.first(), QStringLiteral("titolo:Completamento: 0% "));
    const QStringList fine = Fine(t);
    QCOMPARE(r.Registro.mid(r.Registro.size() - fine.size()), fine);
    QVERIFY(!CalcoloInBackground::InCorso(d->Area));

    // The picture is the one the method draws on its own.
    auto diretto = Disegno::Rapido();
    diretto->Punto.Disegna(diretto->Area);
    QVERIFY(diretto->Fotografia() == d->Fotografia());
}

void TestRender::fineNelPrimoPeriodo()
{
    // A drawing that ends at once ends the session at once, its first period
    // counted whole. A worker that a loaded machine kept from running for a
    // whole period is legal too, and only checked for its accounting.
    bool visto = false;
    for (int prova = 0; prova < 20 && !visto; ++prova) {
        auto d = Disegno::Rapido();
        MetodoARilascio metodo;
        metodo.Via = true;
        Registrata r;
        r.Disegna(metodo, d->Area);
        const int64_t t = r.Sessione.TempoImpiegato();
        QVERIFY(t > 0 && t % 200 == 0);
        visto = t == 200;
        if (visto)
            QCOMPARE(r.Registro, QStringList{QStringLiteral("titolo:Completamento: 0% ")} + Fine(200));
    }
    QVERIFY(visto);
}

void TestRender::stimeETestiNelTempo()
{
    // No progress at all for 3 s: every estimate is made at the start value
    // 0.0001. The stop is asked while the poll at 3000 ms writes its texts.
    auto d = Disegno::Rapido();
    MetodoFermo metodo;
    Registrata r;
    r.AiTempi = [&](int64_t t) {
        if (t == 3000)
            r.Sessione.Ferma();
    };
    r.Disegna(metodo, d->Area);

    const QString applicazione = QStringLiteral("applicazione:0.0% Quillmere v0.9");
    auto stima = [](const char *tempo) {
        return QStringLiteral("titolo:Completamento: 0.0%   Tempo stimato: ") + QLatin1String(tempo)
               + QStringLiteral(" secs.");
    };
    const QStringList atteso = QStringList{
        QStringLiteral("titolo:Completamento: 0% "),
        stima("6gg,22:39:59.9"),
        QStringLiteral("stato:600/599999999:\tTempo impiegato/previsto: 0:00.6 / 6gg,22:39:59.9"),
        applicazione,
        stima("13gg,21:19:59.9"),
        QStringLiteral("stato:1200/1199999999:\tTempo impiegato/previsto: 0:01.2 / 13gg,21:19:59.9"),
        applicazione,
        stima("20gg,19:59:59.9"),
        QStringLiteral("stato:1800/1799999999:\tTempo impiegato/previsto: 0:01.8 / 20gg,19:59:59.9"),
        applicazione,
        // Beyond 2^31 - 1 ms: held and shown whole.
        stima("27gg,18:39:59.9"),
        QStringLiteral("stato:2400/2399999999:\tTempo impiegato/previsto: 0:02.4 / 27gg,18:39:59.9"),
        applicazione,
        // At 3000 ms the repaint comes before the texts.
        QStringLiteral("ridisegna"),
        stima("34gg,17:19:59.9"),
        QStringLiteral("stato:3000/2999999999:\tTempo impiegato/previsto: 0:03.0 / 34gg,17:19:59.9"),
        applicazione,
    } + Fine(3000);
    QCOMPARE(r.Registro, atteso);
    QCOMPARE(r.Sessione.TempoImpiegato(), int64_t(3000));
}

void TestRender::stopImmediato()
{
    auto d = Disegno::Lento();
    Registrata r;
    r.Sessione.Avvia(d->Spia, d->Area);
    QVERIFY(QTest::qWaitFor([&] {
        const CSostaSessione sosta(r.Sessione);
        return d->PixelDisegnati() > 0;
    }));
    r.Sessione.Ferma();
    // The worker is gone when the stop returns, and the session has ended.
    QVERIFY(d->Spia.Uscito);
    QVERIFY(!r.Sessione.InCorso());
    QVERIFY(!CalcoloInBackground::InCorso(d->Area));
    const int64_t t = r.Sessione.TempoImpiegato();
    QVERIFY(t > 0 && t % 200 == 0);
    const QStringList fine = Fine(t);
    QCOMPARE(r.Registro.mid(r.Registro.size() - fine.size()), fine);
    // Nothing is drawn after the stop, short of the whole image.
    const Disegno::Stato alloStop = d->Fotografia();
    QTest::qWait(300);
    QVERIFY(d->Fotografia() == alloStop);
    QVERIFY(d->Area.Completamento < 100.0);

    // A new drawing of the same area can start at once.
    d->Area.PreparaBuffer(d->Area.Larghezza, d->Area.Altezza);
    r.Sessione.Avvia(d->Punto, d->Area);
    QVERIFY(r.Sessione.InCorso());
    r.Sessione.Ferma();
    QCOMPARE(r.Registro.last(), QStringLiteral("finito:"));
}

void TestRender::lavoratoreParcheggiatoNonAvanza()
{
    auto d = Disegno::Lento();
    Registrata r;
    r.Sessione.Avvia(d->Punto, d->Area);
    Disegno::Stato primo;
    {
        const CSostaSessione sosta(r.Sessione);
        primo = d->Fotografia();
        // Give a worker that was not parked every chance to show itself.
        QVERIFY(!QTest::qWaitFor([&] { return d->Fotografia() != primo; }, 300));
    }
    // Once let go it goes on drawing.
    QVERIFY(QTest::qWaitFor([&] {
        const CSostaSessione sosta(r.Sessione);
        return d->Fotografia() != primo;
    }));
    r.Sessione.Ferma();
}

void TestRender::dueDisegniInsieme()
{
    // Two sessions draw side by side; stopping one leaves the other drawing.
    auto primo = Disegno::Lento();
    auto secondo = Disegno::Lento();
    Registrata a;
    Registrata b;
    a.Sessione.Avvia(primo->Punto, primo->Area);
    b.Sessione.Avvia(secondo->Punto, secondo->Area);
    const auto progredisce = [](Registrata &r, const Disegno &d) {
        Disegno::Stato prima;
        {
            const CSostaSessione sosta(r.Sessione);
            prima = d.Fotografia();
        }
        return QTest::qWaitFor([&] {
            const CSostaSessione sosta(r.Sessione);
            return d.Fotografia() != prima;
        });
    };
    QVERIFY(progredisce(a, *primo));
    QVERIFY(progredisce(b, *secondo));
    a.Sessione.Ferma();
    QVERIFY(!a.Sessione.InCorso());
    QVERIFY(b.Sessione.InCorso());
    QVERIFY(progredisce(b, *secondo));
    b.Sessione.Ferma();
}

void TestRender::secondoDisegnoDellaStessaAreaRifiutato()
{
    auto d = Disegno::Lento();
    Registrata r;
    r.Sessione.Avvia(d->Spia, d->Area);
    Registrata seconda;
    QVERIFY_THROWS_EXCEPTION(std::logic_error, seconda.Sessione.Avvia(d->Punto, d->Area));
    QVERIFY_THROWS_EXCEPTION(std::logic_error, r.Sessione.Avvia(d->Punto, d->Area));
    QVERIFY(seconda.Registro.isEmpty());
    QVERIFY(r.Sessione.InCorso());
    r.Sessione.Ferma();
    QVERIFY(!CalcoloInBackground::InCorso(d->Area));
}

void TestRender::erroreDelDisegnoDopoLoStatoLibero_data()
{
    FiliDelDisegno();
}

void TestRender::erroreDelDisegnoDopoLoStatoLibero()
{
    QFETCH(int, fili);
    auto d = Disegno::Rapido();
    d->Area.Fili = fili;
    FormulaCheFallisce fallisce;
    d->Area.Frattale = &fallisce;
    Registrata r;
    r.Disegna(d->Punto, d->Area);
    // The titles are restored, and the error comes with the end.
    const QStringList fine = Fine(r.Sessione.TempoImpiegato(), QStringLiteral("Errore di prova"));
    QCOMPARE(r.Registro.mid(r.Registro.size() - fine.size()), fine);
    QVERIFY(!CalcoloInBackground::InCorso(d->Area));
}

void TestRender::fermoNelMezzoDiUnOrbita_data()
{
    QTest::addColumn<int>("formula");
    QTest::addColumn<bool>("minuscola");
    QTest::newRow("Mandelbrot, two orbits at a time") << 0 << false;
    QTest::newRow("Julia, three orbits at a time") << 1 << false;
    QTest::newRow("Julia, a start no pair of doubles holds") << 1 << true;
    QTest::newRow("Volterra-Lotka") << 2 << false;
}

void TestRender::fermoNelMezzoDiUnOrbita()
{
    // At the largest limit every orbit here runs its 2147483647 steps: no
    // pixel can be done within the first poll's 200 ms (no processor does
    // ten billion dependent steps a second). The workers must park inside
    // their first orbits for the poll, and leave them for a stop: then
    // nothing is drawn. Were the checkpoint only between pixels, the stop
    // would wait for minutes and find pixels drawn.
    QFETCH(int, formula);
    QFETCH(bool, minuscola);
    for (const int fili : {1, 2}) {
        auto d = Disegno::Lento(std::numeric_limits<int32_t>::max());
        d->Area.Fili = fili;
        // Julia's constant 0.25: its orbits creep towards 0.5 from anywhere near 0.
        Julia julia;
        julia.Param = {0.25L, 0.0L};
        // Steps so short that an orbit hardly moves, and never comes back.
        VolterraLotka volterra;
        volterra.Param1 = volterra.Param2 = 1e-9L;
        if (formula == 1) {
            d->Area.Frattale = &julia;
            const long double lato = minuscola ? 1e-310L : 0.1L;
            d->Area.Min = {-lato, -lato};
            d->Area.Max = {lato, lato};
        } else if (formula == 2) {
            d->Area.Frattale = &volterra;
            d->Area.Min = {0.5L, 0.5L};
            d->Area.Max = {0.6L, 0.6L};
        }
        Registrata r;
        r.Sessione.Avvia(d->Punto, d->Area);
        QVERIFY(QTest::qWaitFor([&] { return r.Sessione.TempoImpiegato() >= 200; }));
        r.Sessione.Ferma();
        QCOMPARE(r.Sessione.TempoImpiegato() % 200, int64_t(0));
        QCOMPARE(d->PixelDisegnati(), 0);
        QCOMPARE(d->Area.Completamento, 0.0001);
        QVERIFY(!CalcoloInBackground::InCorso(d->Area));
    }
}

void TestRender::cronologia()
{
    // Back and forward as a browser's: settings with limits 1, 2, 3 drawn.
    const auto impostazioni = [](int32_t limite) {
        CParametri p;
        p.Finestra.MaxIterazioni = limite;
        return p;
    };
    const auto limite = [](const CParametri *p) { return p ? p->Finestra.MaxIterazioni : -1; };
    CCronologia c;
    QVERIFY(!c.PuoIndietro() && !c.PuoAvanti());
    QCOMPARE(limite(c.Indietro()), -1);
    for (int32_t k : {1, 2, 3})
        c.Registra(impostazioni(k));
    // The same settings again, at another size: no new entry.
    CParametri altraDimensione = impostazioni(3);
    altraDimensione.Finestra.Larghezza = 999;
    c.Registra(altraDimensione);
    QCOMPARE(c.Numero(), size_t(3));
    QCOMPARE(limite(c.Indietro()), 2);
    QCOMPARE(limite(c.Indietro()), 1);
    QCOMPARE(limite(c.Indietro()), -1);
    QCOMPARE(limite(c.Avanti()), 2);
    QVERIFY(c.PuoIndietro() && c.PuoAvanti());
    // Drawn anew after a step back: what was ahead goes.
    c.Registra(impostazioni(4));
    QVERIFY(!c.PuoAvanti());
    QCOMPARE(c.Numero(), size_t(3));
    QCOMPARE(limite(c.Indietro()), 2);
    // Each setting tells: the colouring alone makes another entry.
    CParametri colori = impostazioni(2);
    colori.SceltaEsterno = 3;
    c.Registra(colori);
    QCOMPARE(c.Posizione(), size_t(2));
    // The oldest go beyond the most kept.
    for (int32_t k = 10; k < 10 + int32_t(CCronologia::Massimo); ++k)
        c.Registra(impostazioni(k));
    QCOMPARE(c.Numero(), CCronologia::Massimo);
    QCOMPARE(c.Posizione(), CCronologia::Massimo - 1);
}

QTEST_GUILESS_MAIN(TestRender)
#include "tst_render.moc"
