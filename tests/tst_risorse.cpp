// The icon built into the program: every size is there, drawn at its own size,
// on a transparent ground.

#include "IconaQuillmere.h"

#include <QImage>
#include <QPixmap>
#include <QtTest>

class TestRisorse : public QObject
{
    Q_OBJECT

private slots:
    void ogniLato_data();
    void ogniLato();
};

void TestRisorse::ogniLato_data()
{
    QTest::addColumn<int>("lato");
    for (const int lato : {16, 32, 48, 64, 128, 256})
        QTest::addRow("%dx%d", lato, lato) << lato;
}

void TestRisorse::ogniLato()
{
    QFETCH(int, lato);
    const QSize dimensione(lato, lato);

    const QImage disegno(QStringLiteral(":/quillmere/quillmere-%1.png").arg(lato));
    QVERIFY2(!disegno.isNull(), "the picture is not among the resources");
    QCOMPARE(disegno.size(), dimensione);
    QVERIFY(disegno.hasAlphaChannel());
    // Rounded corners: the corner pixel is clear, the middle is painted.
    QCOMPARE(qAlpha(disegno.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(disegno.pixel(lato / 2, lato / 2)), 255);

    const QIcon icona = IconaQuillmere();
    QVERIFY(icona.availableSizes().contains(dimensione));
    // Asked for this size, the icon gives the picture drawn for it, not another one scaled.
    // (Compared premultiplied, as a pixmap keeps it.)
    const QImage data = icona.pixmap(dimensione).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(data.size(), dimensione);
    QVERIFY(data == disegno.convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

QTEST_MAIN(TestRisorse)
#include "tst_risorse.moc"
