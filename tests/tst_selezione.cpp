// The zoom rectangle and the window of the plane it selects.

#include "Selezione.h"

#include <QtTest>

class TestSelezione : public QObject
{
    Q_OBJECT

private slots:
    void ridimensiona_data();
    void ridimensiona();
    void finestra_data();
    void finestra();
    void finestraProfonda();
};

void TestSelezione::ridimensiona_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("W");
    QTest::addColumn<int>("H");
    QTest::addColumn<int>("larghezza");
    QTest::addColumn<int>("altezza");
    // Pressed at (128, 128) on a 256 x 256 picture.
    QTest::newRow("width wins") << 192 << 160 << 256 << 256 << 128 << 128;
    QTest::newRow("height wins") << 140 << 60 << 256 << 256 << 136 << 136;
    QTest::newRow("3 pixels: 10 x 10 minimum") << 131 << 128 << 256 << 256 << 10 << 10;
    QTest::newRow("up and left grows the same") << 64 << 96 << 256 << 256 << 128 << 128;
    QTest::newRow("past the edge") << 400 << 128 << 256 << 256 << 544 << 544;
    // On a 400 x 200 picture the rectangle is twice as wide as high.
    QTest::newRow("proportions, width") << 228 << 138 << 400 << 200 << 200 << 100;
    QTest::newRow("proportions, height") << 138 << 178 << 400 << 200 << 200 << 100;
    QTest::newRow("truncated proportions") << 135 << 128 << 300 << 200 << 14 << 10;
}

void TestSelezione::ridimensiona()
{
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(int, W);
    QFETCH(int, H);
    QFETCH(int, larghezza);
    QFETCH(int, altezza);
    CSelezione sel{128, 128, 5, 5};
    sel.Ridimensiona(x, y, W, H);
    QCOMPARE(sel.Larghezza, larghezza);
    QCOMPARE(sel.Altezza, altezza);
    QCOMPARE(sel.X, 128);
}

void TestSelezione::finestra_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("larghezza");
    QTest::addColumn<int>("altezza");
    QTest::addColumn<double>("x1");
    QTest::addColumn<double>("y1");
    QTest::addColumn<double>("x2");
    QTest::addColumn<double>("y2");
    // The default window, 2.5 x 2.5 on 256 x 256: one pixel is 2.5 / 256.
    QTest::newRow("128 x 128 drag") << 128 << 128 << 128 << 128 << -1.375 << -0.625 << -0.125 << 0.625;
    QTest::newRow("click: 4 pixels wide") << 128 << 128 << 5 << 5 << -0.76953125 << -0.01953125 << -0.73046875 << 0.01953125;
    QTest::newRow("top edge: centred on Y Max") << 0 << 0 << 10 << 10 << -2.048828125 << 1.201171875 << -1.951171875 << 1.298828125;
    QTest::newRow("low on the screen is low in the plane") << 128 << 192 << 64 << 64 << -1.0625 << -0.9375 << -0.4375 << -0.3125;
}

void TestSelezione::finestra()
{
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(int, larghezza);
    QFETCH(int, altezza);
    QFETCH(double, x1);
    QFETCH(double, y1);
    QFETCH(double, x2);
    QFETCH(double, y2);
    Complesso min, max;
    FinestraDaSelezione(CSelezione{x, y, larghezza, altezza}, {-2.0L, -1.25L}, {0.5L, 1.25L}, 256, 256, min, max);
    QCOMPARE(min, (Complesso{x1, y1}));
    QCOMPARE(max, (Complesso{x2, y2}));
}

void TestSelezione::finestraProfonda()
{
    // Deep in the plane the 80-bit order of operations decides the last bits.
    const Complesso min{-0.7436438870371587L, 0.1318259042053119L};
    const Complesso max{-0.7436438870371580L, 0.1318259042053126L};
    Complesso nmin, nmax;
    const CSelezione sel{100, 30, 20, 20};
    FinestraDaSelezione(sel, min, max, 256, 256, nmin, nmax);
    const long double dx = (max.re - min.re) / 256;
    const long double dy = (max.im - min.im) / 256;
    const long double cx = 100 * dx + min.re;
    const long double cy = max.im - 30 * dy;
    const long double mezza = (256 * dx) / (256.0L / 10);
    QCOMPARE(nmax.re, mezza + cx);
    QCOMPARE(nmin.re, cx - mezza);
    QCOMPARE(nmax.im, (256 * dy) / (256.0L / 10) + cy);
    QVERIFY(nmin.re < nmax.re && nmin.im < nmax.im);
    QVERIFY(nmin.re > min.re && nmax.im < max.im);
}

QTEST_APPLESS_MAIN(TestSelezione)
#include "tst_selezione.moc"
