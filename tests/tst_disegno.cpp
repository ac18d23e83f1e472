// The render area and both drawing methods.

#include "AreaDisegno.h"
#include "Coloratori.h"
#include "Disegnatori.h"
#include "Errore.h"
#include "FileParametri.h"
#include "Frattali.h"
#include "Memoria.h"
#include "ImmagineQt.h"
#include "Scelte.h"
#include "ScelteColori.h"
#include "Specchio.h"

#include <QtTest>

#include <algorithm>
#include <vector>

namespace {

constexpr int32_t Rosso = 0xFF;

// A picture in memory that remembers every store, and the progress at that moment.
class ImmagineProva final : public CImmagine
{
public:
    ImmagineProva(int32_t w, int32_t h, const CAreaDisegno *area = nullptr)
        : W(w), H(h), Area(area), Pixel(size_t(w) * size_t(h), -7)
    {
    }
    void ImpostaPixel(int32_t x, int32_t y, int32_t colore) override
    {
        QVERIFY(x >= 0 && y >= 0 && x < W && y < H);
        Pixel[size_t(y) * W + x] = colore;
        if (Registra)
            Scritture.push_back({x, y, Area ? Area->Completamento : 0.0});
    }
    int32_t At(int32_t x, int32_t y) const { return Pixel[size_t(y) * W + x]; }

    struct Scrittura
    {
        int32_t x, y;
        double completamento;
    };
    int32_t W, H;
    const CAreaDisegno *Area;
    bool Registra = true; // only while one thread draws
    std::vector<int32_t> Pixel;
    std::vector<Scrittura> Scritture;
};

// Wraps a formula and remembers the points it was asked to iterate.
class FormulaContata final : public CFrattale
{
public:
    explicit FormulaContata(const CFrattale &f) : Vera(f) {}
    void ScriviParametri(std::ostream &) const override {}
    void LeggiParametri(std::istream &) override {}
    void Itera(CPunto &p) const override
    {
        Punti.push_back(p.c);
        Vera.Itera(p);
    }
    const CFrattale &Vera;
    mutable std::vector<Complesso> Punti;
};

// On the window 0 .. W x -H .. 0 pixel (j, i) stands for (j, -i), exactly.
// Column 0 and every pixel of even column and row escape after one step,
// the rest after two: a grid that looks uniform where it is not.
class FormulaGriglia final : public CFrattale
{
public:
    void ScriviParametri(std::ostream &) const override {}
    void LeggiParametri(std::istream &) override {}
    void Itera(CPunto &p) const override
    {
        const int64_t colonna = int64_t(p.c.re);
        const int64_t riga = -int64_t(p.c.im);
        p.z = p.c;
        p.Iterazioni = (colonna == 0 || (colonna % 2 == 0 && riga % 2 == 0)) ? 1 : 2;
    }
};

// A document's objects and an area set up the way a drawing sets it up.
struct Scena
{
    Mandelbrot mandelbrot;
    Julia julia;
    VolterraLotka volterra;
    CInternoSolido nero;
    CInternoLog log;
    CEsternoFasce fasce;
    CAreaDisegno area;

    Scena(int32_t w, int32_t h, int32_t limite, Complesso min = {-2.0L, -1.25L}, Complesso max = {0.5L, 1.25L})
    {
        PreparaTabelleDocumento(log, fasce);
        julia.Param = {-1.25L, 0.0L};
        area.Frattale = &mandelbrot;
        area.Interno = &log;
        area.Esterno = &fasce;
        area.Min = min;
        area.Max = max;
        area.Larghezza = w;
        area.Altezza = h;
        area.MaxIterazioni = limite;
        area.Fili = 1;
        area.PreparaBuffer(w, h);
    }
};

} // namespace

class TestDisegno : public QObject
{
    Q_OBJECT

private slots:
    void bufferNuovo();
    void bufferPiccolo();
    void memoriaAzzerata();
    void bufferTroppoGrande_data();
    void bufferTroppoGrande();
    void leggiOltreIBordi();
    void scritturaFuoriImmagine();

    void puntoPuntoMappa();
    void puntoPuntoPixel();
    void puntoPuntoCompletamento();

    void bloccoOrdineGrossolano();
    void bloccoUniforme_data();
    void bloccoUniforme();
    void bloccoPixel();
    void bloccoCompletamento();
    void metodiOgniDimensione_data();
    void metodiOgniDimensione();
    void dimensioniNulle_data();
    void dimensioniNulle();
    void bloccoAltezzaUno();

    void coppieComeItera_data();
    void coppieComeItera();
    void specchioComeItera();
    void bloccoBordoDestro_data();
    void bloccoBordoDestro();
    void piuFili_data();
    void piuFili();

    void renderer();
    void rendererScelte_data();
    void rendererScelte();
    void rendererRifiuta();
    void rendererOpzioni();
    void rendererProgresso();
};

void TestDisegno::bufferNuovo()
{
    CAreaDisegno area;
    QCOMPARE(area.CelleBuffer(), uint64_t(80000));
    area.Larghezza = area.Altezza = 256;
    area.PreparaBuffer(256, 256);
    QCOMPARE(area.CelleBuffer(), uint64_t(384 * 384));
    QCOMPARE(area.Completamento, 0.0001);
    for (int32_t riga = 0; riga < 576; ++riga)
        for (int32_t colonna = 0; colonna < 256; ++colonna)
            QCOMPARE(area.LeggiPixel(colonna, riga), 0);
}

void TestDisegno::bufferPiccolo()
{
    CAreaDisegno area;
    area.Larghezza = 3;
    area.Altezza = 2;
    area.PreparaBuffer(3, 2);
    QCOMPARE(area.CelleBuffer(), uint64_t(133 * 133));
    QCOMPARE(area.Larghezza, 3);
    QCOMPARE(area.Altezza, 2);
    area.PreparaBuffer(-40, 0);
    QCOMPARE(area.CelleBuffer(), uint64_t(133 * 133));
}

// Below and above a huge page: zeroed from end to end, writable to the last
// byte, and zeroed again when asked for after being written and released.
void TestDisegno::memoriaAzzerata()
{
    for (const size_t byte : {size_t(1), size_t(3 * 4096 + 5), (size_t(2) << 20) + 1, size_t(5) << 20}) {
        for (int volta = 0; volta < 2; ++volta) {
            CMemoriaAzzerata<unsigned char> m = AllocaAzzerata<unsigned char>(byte);
            QVERIFY(m);
            QVERIFY(std::all_of(m.get(), m.get() + byte, [](unsigned char b) { return b == 0; }));
            std::fill(m.get(), m.get() + byte, 0xA5);
        }
    }
    QVERIFY(!AllocaAzzerata<int32_t>(SIZE_MAX / 2));
    QVERIFY(!AllocaAzzerata<unsigned char>(SIZE_MAX - 4096));
}

void TestDisegno::bufferTroppoGrande_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::newRow("both at the 32-bit limit") << 0x7FFFFFFF << 0x7FFFFFFF;
    QTest::newRow("product past 32 bits") << 70000 << 70000 * 10;
}

void TestDisegno::bufferTroppoGrande()
{
    QFETCH(int, w);
    QFETCH(int, h);
    CAreaDisegno area;
    area.Larghezza = w;
    area.Altezza = h;
    try {
        area.PreparaBuffer(w, h);
        QFAIL("no error raised");
    } catch (const CErrore &e) {
        QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("Fallita allocazione del buffer per l'immagine"));
    }
    QCOMPARE(area.CelleBuffer(), uint64_t(0));
    // Without a buffer nothing is read or written out of bounds.
    QCOMPARE(area.LeggiPixel(5, 5), 0);
    area.ScriviPixel(Rosso, 5, 5);
    area.Larghezza = area.Altezza = 16;
    area.PreparaBuffer(16, 16);
    QCOMPARE(area.CelleBuffer(), uint64_t(144 * 144));
}

void TestDisegno::leggiOltreIBordi()
{
    Scena s(20, 10, 120);
    ImmagineProva img(20, 10);
    s.area.Immagine = &img;
    s.area.ScriviPixel(Rosso, 0, 4);
    s.area.ScriviPixel(0x1234, 7, 9);
    // A column at the width is the start of the next row.
    QCOMPARE(s.area.LeggiPixel(20, 3), Rosso);
    QCOMPARE(s.area.LeggiPixel(27, 8), 0x1234);
    // Rows past the height lie in the zeroed spare room.
    QCOMPARE(s.area.LeggiPixel(3, 10), 0);
    QCOMPARE(s.area.LeggiPixel(19, 17), 0);
    QCOMPARE(img.At(0, 4), Rosso);
}

void TestDisegno::scritturaFuoriImmagine()
{
    Scena s(20, 10, 120);
    ImmagineProva img(20, 10);
    s.area.Immagine = &img;
    s.area.ScriviPixel(Rosso, 20, 0);  // would land on (0, 1)
    s.area.ScriviPixel(Rosso, 3, 10);  // spare room
    s.area.ScriviPixel(Rosso, -1, 2);  // would land on (19, 1)
    s.area.ScriviPixel(Rosso, 2, -1);
    QCOMPARE(s.area.LeggiPixel(0, 1), 0);
    QCOMPARE(s.area.LeggiPixel(3, 10), 0);
    QCOMPARE(s.area.LeggiPixel(19, 1), 0);
    QVERIFY(img.Scritture.empty());
}

void TestDisegno::puntoPuntoMappa()
{
    Scena s(256, 256, 120);
    FormulaContata contata(s.mandelbrot);
    s.area.Frattale = &contata;
    MetodoPuntoPunto().Disegna(s.area);
    QCOMPARE(contata.Punti.size(), size_t(256 * 256));
    const long double dx = 2.5L / 256;
    const long double dy = -2.5L / 256;
    QCOMPARE(contata.Punti[0], (Complesso{-2.0L, 1.25L}));
    QCOMPARE(contata.Punti[1], (Complesso{-2.0L + dx, 1.25L}));
    QCOMPARE(contata.Punti[256], (Complesso{-2.0L, 1.25L + dy}));
    QCOMPARE(contata.Punti[255].re, 0.5L - dx); // the last column stops one step short of Max
    QCOMPARE(contata.Punti[256 * 255].im, -1.25L - dy);

    // On a window whose steps are not exact, the real part is summed along the row.
    Scena t(3, 1, 1, {0.0L, 0.0L}, {0.3L, 1.0L});
    FormulaContata c2(t.mandelbrot);
    t.area.Frattale = &c2;
    MetodoPuntoPunto().Disegna(t.area);
    const long double d = 0.3L / 3;
    QCOMPARE(c2.Punti[2].re, d + (d + 0.0L));
}

void TestDisegno::puntoPuntoPixel()
{
    // On the window -1..1 x -1..1 at 8 x 8 the steps are 0.25 and every point is exact.
    Scena s(8, 8, 120, {-1.0L, -1.0L}, {1.0L, 1.0L});
    ImmagineProva img(8, 8);
    s.area.Immagine = &img;
    MetodoPuntoPunto().Disegna(s.area);
    const CTabellaColori &fasce = s.fasce.Tabella;
    QCOMPARE(img.At(0, 0), fasce.Colore(3));           // (-1, 1) escapes after 3 steps
    QCOMPARE(img.At(1, 0), fasce.Colore(3));           // (-0.75, 1) too
    QCOMPARE(img.At(4, 4), Rosso);                      // 0: z = c, entry 0
    QCOMPARE(img.At(4, 0), s.log.Tabella.Colore(6));    // (0, 1): z = -i after 120 steps, s = 4
    QCOMPARE(img.At(0, 4), Rosso);                      // (-1, 0): back at -1 after an even count
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 8; ++x)
            QCOMPARE(s.area.LeggiPixel(x, y), img.At(x, y));

    // The black interior colourer.
    Scena n(8, 8, 120, {-1.0L, -1.0L}, {1.0L, 1.0L});
    n.area.Interno = &n.nero;
    ImmagineProva img2(8, 8);
    n.area.Immagine = &img2;
    MetodoPuntoPunto().Disegna(n.area);
    QCOMPARE(img2.At(4, 0), 0);
    QCOMPARE(img2.At(0, 0), fasce.Colore(3));
}

void TestDisegno::puntoPuntoCompletamento()
{
    Scena s(7, 3, 10);
    MetodoPuntoPunto().Disegna(s.area);
    const double r = double(100.0L / 3);
    QCOMPARE(s.area.Completamento, ((0.0001 + r) + r) + r);
    QVERIFY(s.area.Completamento > 100.0);
}

void TestDisegno::bloccoOrdineGrossolano()
{
    Scena s(16, 16, 120);
    FormulaContata contata(s.mandelbrot);
    s.area.Frattale = &contata;
    ImmagineProva img(16, 16);
    s.area.Immagine = &img;
    MetodoBlocco().Disegna(s.area);
    const long double dx = 2.5L / 16;
    const long double dy = -2.5L / 16;
    const long double u = 8 * dx;
    QVERIFY(contata.Punti.size() >= 4);
    QCOMPARE(contata.Punti[0], (Complesso{-2.0L, 1.25L}));
    QCOMPARE(contata.Punti[1], (Complesso{u + -2.0L, 1.25L}));
    QCOMPARE(contata.Punti[2], (Complesso{-2.0L, 1.25L + 8 * dy}));
    QCOMPARE(contata.Punti[3], (Complesso{u + -2.0L, 1.25L + 8 * dy}));
    QCOMPARE(img.Scritture[0].x, 0);
    QCOMPARE(img.Scritture[1].x, 8);
    QCOMPARE(img.Scritture[2].y, 8);
    QCOMPARE(img.Scritture[3].x, 8);
    QCOMPARE(img.Scritture[3].y, 8);
}

void TestDisegno::bloccoUniforme_data()
{
    QTest::addColumn<bool>("nero");
    QTest::addColumn<int>("chiamate");
    // Red everywhere: the border blocks of every pass are computed, since the
    // values read beyond the right and bottom edges are 0.
    QTest::newRow("one colour that is not 0") << false << 316;
    // Black everywhere: those reads match too, so only the top row and the
    // left column of blocks are computed: 16 + 3 x (7 + 15 + 31).
    QTest::newRow("black") << true << 175;
}

void TestDisegno::bloccoUniforme()
{
    QFETCH(bool, nero);
    QFETCH(int, chiamate);
    Scena s(32, 32, 0); // limit 0: every point is interior, with z = c
    if (nero)
        s.area.Interno = &s.nero;
    FormulaContata contata(s.mandelbrot);
    s.area.Frattale = &contata;
    ImmagineProva img(32, 32);
    s.area.Immagine = &img;
    MetodoBlocco().Disegna(s.area);
    QCOMPARE(int(contata.Punti.size()), chiamate);
    for (int32_t c : img.Pixel)
        QCOMPARE(c, nero ? 0 : Rosso);
}

void TestDisegno::bloccoPixel()
{
    Scena s(8, 8, 120, {-1.0L, -1.0L}, {1.0L, 1.0L});
    ImmagineProva img(8, 8);
    s.area.Immagine = &img;
    FormulaContata contata(s.mandelbrot);
    s.area.Frattale = &contata;
    MetodoBlocco().Disegna(s.area);
    // The first refinement moves from the corner (-1, 1) by half a block at a time.
    QCOMPARE(contata.Punti[1], (Complesso{0.0L, 1.0L}));
    QCOMPARE(contata.Punti[2], (Complesso{0.0L, 0.0L}));
    QCOMPARE(contata.Punti[3], (Complesso{-1.0L, 0.0L}));
    QCOMPARE(img.At(0, 0), s.fasce.Tabella.Colore(3));
    QCOMPARE(img.At(4, 0), s.log.Tabella.Colore(6));
    QCOMPARE(img.At(4, 4), Rosso);
    QCOMPARE(img.At(0, 4), Rosso);
    for (int32_t c : img.Pixel)
        QVERIFY(c != -7);
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 8; ++x)
            QCOMPARE(s.area.LeggiPixel(x, y), img.At(x, y));
}

void TestDisegno::bloccoCompletamento()
{
    Scena s(256, 256, 60);
    ImmagineProva img(256, 256, &s.area);
    s.area.Immagine = &img;
    MetodoBlocco().Disegna(s.area);
    // Each refinement pass begins by storing the pixel half a block right of (0, 0).
    const auto inizio = [&](int32_t x) {
        for (const auto &w : img.Scritture)
            if (w.y == 0 && w.x == x)
                return w.completamento;
        return -1.0;
    };
    QCOMPARE(inizio(4), 0.0001 + 1.5625);
    QCOMPARE(inizio(2), 0.0001 + 6.25);
    QCOMPARE(inizio(1), 0.0001 + 25.0);
    QCOMPARE(s.area.Completamento, 0.0001 + 100.0);
}

void TestDisegno::metodiOgniDimensione_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("metodo");
    for (int metodo = 0; metodo < 2; ++metodo)
        for (const auto &d : {std::pair{1, 1}, {13, 7}, {9, 30}, {33, 17}, {64, 1}, {1, 40}, {100, 99}}) {
            const QByteArray nome = QByteArray::number(d.first) + "x" + QByteArray::number(d.second)
                + (metodo ? " block" : " point");
            QTest::newRow(nome.constData()) << d.first << d.second << metodo;
        }
}

void TestDisegno::metodiOgniDimensione()
{
    // Every pixel is set, once or more, and only pixels inside the image.
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(int, metodo);
    Scena s(w, h, 120);
    s.area.Frattale = &s.julia;
    ImmagineProva img(w, h);
    s.area.Immagine = &img;
    MetodoPuntoPunto punto;
    MetodoBlocco blocco;
    DisegnatoreDaScelta(int8_t(metodo), punto, blocco).Disegna(s.area);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            QVERIFY(img.At(x, y) != -7);
            QCOMPARE(s.area.LeggiPixel(x, y), img.At(x, y));
        }
    // Nothing reached the spare room below the image.
    for (int32_t x = 0; x < w + 8; ++x)
        QCOMPARE(s.area.LeggiPixel(x, h), 0);
    QVERIFY(s.area.Completamento > 99.0 || metodo == 1);
}

void TestDisegno::dimensioniNulle_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::newRow("0 x 0") << 0 << 0;
    QTest::newRow("256 x 0") << 256 << 0;
    QTest::newRow("0 x 256") << 0 << 256;
    QTest::newRow("negative") << -5 << 10;
}

void TestDisegno::dimensioniNulle()
{
    QFETCH(int, w);
    QFETCH(int, h);
    for (int metodo = 0; metodo < 2; ++metodo) {
        Scena s(w, h, 120);
        FormulaContata contata(s.mandelbrot);
        s.area.Frattale = &contata;
        MetodoPuntoPunto punto;
        MetodoBlocco blocco;
        DisegnatoreDaScelta(int8_t(metodo), punto, blocco).Disegna(s.area);
        QVERIFY(contata.Punti.empty());
        QCOMPARE(s.area.Completamento, 0.0001);
    }
}

void TestDisegno::bloccoAltezzaUno()
{
    // The last pass's divisor (1 x 1 x 1) / 2 is 0: that pass adds no progress.
    Scena s(16, 1, 120);
    ImmagineProva img(16, 1);
    s.area.Immagine = &img;
    MetodoBlocco().Disegna(s.area);
    for (int32_t c : img.Pixel)
        QVERIFY(c != -7);
    const double coarse = 100.0 / 8;   // one row, divisor 1 x 8
    const double primo = 75.0 / 2;     // (1 x 4 x 4) / 8
    const double secondo = 75.0 / 1;   // (1 x 2 x 2) / 4
    QCOMPARE(s.area.Completamento, ((0.0001 + coarse) + primo) + secondo);
}

void TestDisegno::coppieComeItera_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("limite");
    QTest::addColumn<int>("formula");
    QTest::addColumn<bool>("minuscola");
    for (int formula = 0; formula < 2; ++formula)
        for (const int limite : {0, 1, 2, 3, 120, 1000})
            for (const auto &d : {std::pair{64, 48}, {37, 19}, {1, 5}}) {
                const QByteArray nome = QByteArray::number(d.first) + "x" + QByteArray::number(d.second) + " limit "
                    + QByteArray::number(limite) + (formula ? " Julia" : " Mandelbrot");
                QTest::newRow(nome.constData()) << d.first << d.second << limite << formula << false;
            }
    // Points so close to 0 that a pair of doubles cannot hold them.
    QTest::newRow("tiny window, Mandelbrot") << 40 << 30 << 50 << 0 << true;
    QTest::newRow("tiny window, Julia") << 40 << 30 << 50 << 1 << true;
}

void TestDisegno::coppieComeItera()
{
    // Mandelbrot and Julia pictures are computed two or three orbits at a time; a
    // wrapped formula takes the one-point Itera. Both draw the same pictures.
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(int, limite);
    QFETCH(int, formula);
    QFETCH(bool, minuscola);
    // The window is symmetric about the real axis, and partly through its
    // centre: the points of one side may come from their mirror images.
    for (int metodo = 0; metodo < 2; ++metodo) {
        uint64_t riflessi = 0;
        const auto disegna = [&](bool avvolta, int fili = 1) {
            Scena s(w, h, limite, {-1.5L, -1.0L}, {0.5L, 1.0L});
            s.area.Fili = fili;
            if (minuscola) {
                s.area.Min = {-3e-310L, -2e-310L};
                s.area.Max = {3e-310L, 2e-310L};
                s.julia.Param = {-0.8L, 1e-320L / 3};
            }
            s.julia.Param = {-0.8L, 0.156L};
            CFrattale &vera = formula ? static_cast<CFrattale &>(s.julia) : s.mandelbrot;
            FormulaContata contata(vera);
            s.area.Frattale = avvolta ? static_cast<CFrattale *>(&contata) : &vera;
            ImmagineProva img(w, h);
            img.Registra = fili == 1;
            s.area.Immagine = &img;
            MetodoPuntoPunto punto;
            MetodoBlocco blocco;
            DisegnatoreDaScelta(int8_t(metodo), punto, blocco).Disegna(s.area);
            riflessi = s.area.PuntiRiflessi;
            std::vector<int32_t> pixel = img.Pixel;
            for (int32_t y = 0; y < h + 9; ++y)
                for (int32_t x = 0; x < w; ++x)
                    pixel.push_back(s.area.LeggiPixel(x, y));
            return pixel;
        };
        const std::vector<int32_t> attese = disegna(true);
        QCOMPARE(disegna(false), attese);
        // Rows 48 apart on this window mirror exactly often enough; others
        // may not at all (each point is then computed).
        if (w == 64 && limite > 0 && formula == 0)
            QVERIFY(riflessi > 0);
        QCOMPARE(disegna(false, 2), attese);
    }
}

void TestDisegno::specchioComeItera()
{
    // A point found from its mirror image has the count and the final value,
    // bit for bit, that its own orbit gives: across the real axis for
    // Mandelbrot (where an imaginary part that cancels is +0 on both sides,
    // as at re = -0.5 after one step), through the centre for Julia.
    Scena s(8, 8, 300, {-2.0L, -2.0L}, {2.0L, 2.0L});
    s.julia.Param = {-0.8L, 0.156L};
    const auto itera = [&](const CFrattale &f, long double re, long double im) {
        CPunto p;
        p.c = {re, im};
        p.MaxIterazioni = s.area.MaxIterazioni;
        f.Itera(p);
        return p;
    };
    const long double punti[][2] = {{-0.5L, 0.375L}, {-0.5L, 1.5L}, {0.25L, 0.125L}, {-0.75L, 0.1L}, {-1.0L, 0.3L}};
    // One step: the first point's final value is then that zero.
    for (const int32_t limite : {300, 1}) {
        for (const CFrattale *f : {static_cast<const CFrattale *>(&s.mandelbrot), static_cast<const CFrattale *>(&s.julia)}) {
            const bool julia = f == &s.julia;
            s.area.Frattale = f;
            s.area.MaxIterazioni = limite;
            CSpecchio specchio(s.area, 1, true);
            QVERIFY(specchio.Attivo());
            specchio.NuovaPassata();
            for (int32_t k = 0; k < 5; ++k)
                specchio.Ricorda(itera(*f, punti[k][0], punti[k][1]), k, 1);
            // The mirror of pixel (k, 1) is (k, 7), or (8 - k, 7) through the centre.
            const auto cerca = [&](int32_t k, long double re, long double im, CPunto &p) {
                return specchio.Cerca(julia ? -re : re, im, julia ? 8 - k : k, 7, p);
            };
            CPunto trovato;
            QVERIFY(!cerca(0, punti[0][0], -punti[0][1], trovato)); // its row has not finished the pass
            specchio.RigaFinita(1);
            for (int32_t k = 0; k < 5; ++k) {
                QVERIFY(cerca(k, punti[k][0], -punti[k][1], trovato));
                const CPunto atteso = itera(*f, julia ? -punti[k][0] : punti[k][0], -punti[k][1]);
                QCOMPARE(trovato.Iterazioni, atteso.Iterazioni);
                QVERIFY(StessoValore(trovato.z.re, atteso.z.re) && StessoValore(trovato.z.im, atteso.z.im));
                // Not quite the mirror image: left to be computed.
                QVERIFY(!cerca(k, punti[k][0], std::nextafter(-punti[k][1], 0.0L), trovato));
            }
            specchio.NuovaPassata();
            QVERIFY(!cerca(0, punti[0][0], -punti[0][1], trovato)); // a new pass, not finished yet
        }
    }
}

void TestDisegno::bloccoBordoDestro_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::newRow("even width") << 200 << 64;
    QTest::newRow("odd width") << 201 << 63;
}

void TestDisegno::bloccoBordoDestro()
{
    // In the last pass the last block of a row reads its lower-right neighbour
    // past the right edge, on column 0 three rows down: a pixel that the next
    // row of blocks sets in the same pass. Drawn row after row it is still 0
    // there, so the block is computed rather than filled; several threads
    // must decide the same, whatever the other rows have drawn meanwhile.
    QFETCH(int, w);
    QFETCH(int, h);
    FormulaGriglia griglia;
    const auto disegna = [&](int fili) {
        Scena s(w, h, 10, {0.0L, -static_cast<long double>(h)}, {static_cast<long double>(w), 0.0L});
        s.area.Frattale = &griglia;
        s.area.Fili = fili;
        ImmagineProva img(w, h);
        img.Registra = false;
        s.area.Immagine = &img;
        MetodoBlocco().Disegna(s.area);
        return img.Pixel;
    };
    const std::vector<int32_t> uno = disegna(1);
    const CTabellaColori tabella;
    // Drawn row after row, the last column's odd pixels are computed.
    const int32_t ultima = (w % 2 == 0) ? w - 1 : w - 2;
    QCOMPARE(uno[size_t(1) * w + ultima], tabella.Colore(2));
    for (int fili : {2, 3, 4})
        QCOMPARE(disegna(fili), uno);
}

void TestDisegno::piuFili_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("formula");
    QTest::addColumn<int>("metodo");
    for (int metodo = 0; metodo < 2; ++metodo)
        for (const auto &d : {std::pair{64, 64}, {61, 45}, {3, 50}, {50, 3}, {1, 9}, {130, 17}, {17, 130}}) {
            for (int formula = 0; formula < 3; ++formula) {
                const QByteArray nome = QByteArray::number(d.first) + "x" + QByteArray::number(d.second)
                    + " formula " + QByteArray::number(formula) + (metodo ? " block" : " point");
                QTest::newRow(nome.constData()) << d.first << d.second << formula << metodo;
            }
        }
}

void TestDisegno::piuFili()
{
    // Any number of threads draws the picture one thread draws, pixel for
    // pixel, with the same buffer and the same progress.
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(int, formula);
    QFETCH(int, metodo);
    const auto disegna = [&](int fili, std::vector<int32_t> &buffer, double &completamento) {
        // Windows where the block method's fill decisions matter: the edge
        // of the set, and wide uniform regions.
        Scena s(w, h, 200, {-1.9L, -1.1L}, {0.6L, 1.2L});
        if (formula == 2)
            s.area.Min = {0.1L, 0.1L}, s.area.Max = {3.0L, 2.5L};
        s.volterra.Param1 = static_cast<long double>(0.65);
        s.volterra.Param2 = static_cast<long double>(0.3);
        s.area.Frattale = &FrattaleDaScelta(int8_t(formula), s.mandelbrot, s.julia, s.volterra);
        s.area.Interno = formula == 1 ? static_cast<CColoratoreInterno *>(&s.nero) : &s.log;
        s.area.Fili = fili;
        ImmagineProva img(w, h);
        img.Registra = false;
        s.area.Immagine = &img;
        MetodoPuntoPunto punto;
        MetodoBlocco blocco;
        DisegnatoreDaScelta(int8_t(metodo), punto, blocco).Disegna(s.area);
        buffer.clear();
        for (int32_t y = 0; y < h + 10; ++y)
            for (int32_t x = 0; x < w; ++x)
                buffer.push_back(s.area.LeggiPixel(x, y));
        completamento = s.area.Completamento;
        return img.Pixel;
    };
    std::vector<int32_t> buffer1, bufferN;
    double completamento1 = 0, completamentoN = 0;
    const std::vector<int32_t> uno = disegna(1, buffer1, completamento1);
    for (int fili : {2, 3, 4, 7}) {
        QCOMPARE(disegna(fili, bufferN, completamentoN), uno);
        QCOMPARE(bufferN, buffer1);
        QCOMPARE(completamentoN, completamento1);
    }
}

void TestDisegno::renderer()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const auto &d : {std::pair{0, 0}, {1, 1}, {2, 0}}) {
        const int metodo = d.first ? 1 : 0;
        CParametri par;
        par.Finestra = {{-0.7454L, 0.1308L}, {-0.7434L, 0.1328L}, 37, 29, 300};
        par.SceltaFrattale = int8_t(d.second == 0 ? d.first : 2);
        par.SceltaInterno = int8_t(d.second);
        par.SceltaMetodo = int8_t(metodo);
        if (par.SceltaFrattale == 2)
            par.Finestra = {{0.2L, 0.2L}, {3.0L, 3.0L}, 37, 29, 300};
        const QString nome = dir.filePath(QString("p%1.Quillmere").arg(d.first));
        // The format follows the output's name: the second picture is a PNG.
        const bool png = d.first == 1;
        const QString bmp = dir.filePath(QString("p%1.%2").arg(d.first).arg(png ? "png" : "bmp"));
        {
            QFile f(nome);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray::fromStdString(TestoParametri(par)));
        }
        QProcess proc;
        proc.start(QStringLiteral(QUILLMERE_RENDER), {nome, bmp});
        QVERIFY(proc.waitForFinished(60000));
        QCOMPARE(proc.exitCode(), 0);
        QVERIFY(proc.readAllStandardOutput().contains("Mpixel/s"));
        QFile uscita(bmp);
        QVERIFY(uscita.open(QIODevice::ReadOnly));
        QVERIFY(uscita.read(4).startsWith(png ? "\x89PNG" : "BM"));
        QImage letta(bmp);
        QCOMPARE(letta.size(), QSize(37, 29));

        Scena s(37, 29, 300, par.Finestra.Min.Esteso(), par.Finestra.Max.Esteso());
        s.area.Frattale = &FrattaleDaScelta(par.SceltaFrattale, s.mandelbrot, s.julia, par.FrattaleVolterraLotka);
        s.area.Interno = &InternoDaScelta(par.SceltaInterno, s.nero, s.log);
        ImmagineProva img(37, 29);
        s.area.Immagine = &img;
        MetodoPuntoPunto punto;
        MetodoBlocco blocco;
        DisegnatoreDaScelta(par.SceltaMetodo, punto, blocco).Disegna(s.area);
        for (int32_t y = 0; y < 29; ++y)
            for (int32_t x = 0; x < 37; ++x)
                QCOMPARE(CImmagineQt::ColoreDaQRgb(letta.pixel(x, y)), img.At(x, y));
    }
}

void TestDisegno::rendererScelte_data()
{
    // Choices the program never writes (formula, interior, exterior, method),
    // the ones a drawing takes for them, and others whose picture differs
    // (none for the method: both methods draw the same picture). An exterior
    // the program does not know draws the bands, one of the palettes (1 to
    // 4) its own colours.
    QTest::addColumn<QByteArray>("scritte");
    QTest::addColumn<QByteArray>("risolte");
    QTest::addColumn<QByteArray>("altre");
    QTest::newRow("formula 9") << QByteArray("9 1 0 1") << QByteArray("2 1 0 1") << QByteArray("0 1 0 1");
    QTest::newRow("formula -1") << QByteArray("-1 1 0 1") << QByteArray("2 1 0 1") << QByteArray("1 1 0 1");
    QTest::newRow("formula 256, 8 bits of 0") << QByteArray("256 1 0 1") << QByteArray("0 1 0 1")
                                              << QByteArray("2 1 0 1");
    QTest::newRow("formula 257, 8 bits of 1") << QByteArray("257 0 0 0") << QByteArray("1 0 0 0")
                                              << QByteArray("2 0 0 0");
    QTest::newRow("interior 5") << QByteArray("0 5 0 0") << QByteArray("0 1 0 0") << QByteArray("0 0 0 0");
    QTest::newRow("exterior 9") << QByteArray("1 1 9 1") << QByteArray("1 1 0 1") << QByteArray("1 0 0 1");
    QTest::newRow("exterior 257, 8 bits of 1") << QByteArray("0 1 257 1") << QByteArray("0 1 1 1")
                                               << QByteArray("0 1 0 1");
    QTest::newRow("method 7") << QByteArray("0 0 0 7") << QByteArray("0 0 0 1") << QByteArray();
}

void TestDisegno::rendererScelte()
{
    QFETCH(QByteArray, scritte);
    QFETCH(QByteArray, risolte);
    QFETCH(QByteArray, altre);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // The edge of the set, and points of the Volterra-Lotka map that stay.
    const auto disegna = [&](const QByteArray &scelte) {
        const QString nome = dir.filePath(QString::fromLatin1(scelte).replace(' ', '_') + ".Quillmere");
        const QString bmp = nome + ".bmp";
        QFile f(nome);
        if (!f.open(QIODevice::WriteOnly))
            return QImage();
        f.write("0.9 -1.9 -1.1 0.6 1.2 40 36 150 " + scelte + " -0.8 0.156 0.65 0.3");
        f.close();
        QProcess proc;
        proc.start(QStringLiteral(QUILLMERE_RENDER), {nome, bmp});
        if (!proc.waitForFinished(60000) || proc.exitCode() != 0)
            return QImage();
        return QImage(bmp);
    };
    const QImage attesa = disegna(risolte);
    QVERIFY(!attesa.isNull());
    QCOMPARE(disegna(scritte), attesa);
    if (!altre.isEmpty())
        QVERIFY(disegna(altre) != attesa);
}

void TestDisegno::rendererRifiuta()
{
    QTemporaryDir dir;
    const QString nome = dir.filePath("rotto.Quillmere");
    const QString bmp = dir.filePath("rotto.bmp");
    for (const QByteArray &testo : {QByteArray("1.0 -2 -1.25 0.5 1.25 8 8 10 0 1 0 1 -1.25 0 0.65 0.3"),
                                    QByteArray("0.9 -2 -1.25 0.5 1.25 8 8 10 0 1 0 1 -1.25 0 0.65"),
                                    QByteArray("0.9 -2 -1.25 0.5 1.25 0 8 10 0 1 0 1 -1.25 0 0.65 0.3")}) {
        QFile f(nome);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(testo);
        f.close();
        QProcess proc;
        proc.start(QStringLiteral(QUILLMERE_RENDER), {nome, bmp});
        QVERIFY(proc.waitForFinished(60000));
        QCOMPARE(proc.exitCode(), 1);
        QVERIFY(proc.readAllStandardError().endsWith('\n'));
        QVERIFY(!QFile::exists(bmp));
    }
    QProcess proc;
    proc.start(QStringLiteral(QUILLMERE_RENDER), {dir.filePath("manca.Quillmere"), bmp});
    QVERIFY(proc.waitForFinished(60000));
    QCOMPARE(proc.exitCode(), 1);
    // A picture that cannot be written is reported, and nothing is left.
    const QString valido = dir.filePath("valido.Quillmere");
    QFile f(valido);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray::fromStdString(TestoParametri(CParametri())));
    f.close();
    proc.start(QStringLiteral(QUILLMERE_RENDER), {valido, dir.filePath("manca/x.bmp")});
    QVERIFY(proc.waitForFinished(60000));
    QCOMPARE(proc.exitCode(), 1);
    QVERIFY(proc.readAllStandardError().endsWith('\n'));
    QVERIFY(!QFile::exists(dir.filePath("manca")));
}

namespace {

// A parameters file of a Mandelbrot window inside the set, drawn point by
// point at that size and limit; returns its name.
QString FileInterno(const QTemporaryDir &dir, int lato, int limite)
{
    CParametri par;
    // Beside the cusp at 0.25, where orbits neither escape nor repeat for
    // billions of steps: every pixel costs the whole limit.
    par.Finestra = {{0.25L, -1e-18L}, {0.25L + 1e-17L, 1e-18L}, lato, lato, limite};
    par.SceltaMetodo = 0;
    const QString nome = dir.filePath(QString("interno%1.Quillmere").arg(limite));
    QFile f(nome);
    if (f.open(QIODevice::WriteOnly))
        f.write(QByteArray::fromStdString(TestoParametri(par)));
    return nome;
}

} // namespace

void TestDisegno::rendererOpzioni()
{
    // --help and --version print on standard output and end well.
    for (const QString &opzione : {QStringLiteral("--help"), QStringLiteral("--version")}) {
        QProcess proc;
        proc.start(QStringLiteral(QUILLMERE_RENDER), {opzione, QStringLiteral("ignored")});
        QVERIFY(proc.waitForFinished(60000));
        QCOMPARE(proc.exitStatus(), QProcess::NormalExit);
        QCOMPARE(proc.exitCode(), 0);
        QVERIFY(proc.readAllStandardError().isEmpty());
        const QByteArray uscita = proc.readAllStandardOutput();
        QVERIFY(uscita.startsWith(opzione == "--help" ? "uso: quillmere-render" : "quillmere-render 0.9\n"));
    }
    // A drawing of a few seconds' work on a pipe: no progress line.
    QTemporaryDir dir;
    QProcess proc;
    proc.start(QStringLiteral(QUILLMERE_RENDER),
               {"--threads", "1", FileInterno(dir, 16, 2000000), dir.filePath("interno.bmp")});
    QVERIFY(proc.waitForFinished(120000));
    QCOMPARE(proc.exitCode(), 0);
    QVERIFY(proc.readAllStandardError().isEmpty());
}

void TestDisegno::rendererProgresso()
{
    // On a terminal (script gives it one), a drawing that lasts shows its
    // progress on a line of its own, rewritten in place. The drawing would
    // take minutes: the test ends the session once two updates have shown.
    const QString script = QStandardPaths::findExecutable(QStringLiteral("script"));
    if (script.isEmpty())
        QSKIP("no script(1) to give the renderer a terminal");
    QTemporaryDir dir;
    const QString uscita = dir.filePath("lungo.png");
    const QString comando = QString("'%1' --threads 1 '%2' '%3'")
                                .arg(QStringLiteral(QUILLMERE_RENDER), FileInterno(dir, 256, 1000000), uscita);
    QProcess proc;
    proc.start(script, {"-qec", comando, "/dev/null"});
    QByteArray testo;
    QVERIFY(QTest::qWaitFor(
        [&] {
            testo += proc.readAllStandardOutput();
            return testo.count("% \r") >= 2 || proc.state() == QProcess::NotRunning;
        },
        120000));
    QVERIFY2(testo.startsWith("\rquillmere-render: "), testo.constData());
    QVERIFY(!testo.contains('\n'));
    // Ending the session ends the drawing.
    proc.terminate();
    QVERIFY(proc.waitForFinished(60000));
    QVERIFY(!QFile::exists(uscita));
}

QTEST_GUILESS_MAIN(TestDisegno)
#include "tst_disegno.moc"
